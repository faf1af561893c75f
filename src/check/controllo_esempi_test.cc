// The examples of the authors' reference of the source formats: each one
// raises exactly the fault or warning the page says, at the line it says,
// and the compile records the same code. The page cannot go stale.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/compila.h"
#include "check/controllo.h"
#include "compiler/tipi_record.h"

namespace scenario {
namespace {

const Identita kId{"Linea_Esempio", "7"};

// The files an example is checked with when it gives only one of them.
const char kLineaBase[] = "[generale]\nlunghezza percorso, 10000\n[fine]\n";
const char kTrenoBase[] =
    "[generale]\n[aderenze]\naderenza, 0, 100\n[vel_limite]\nvelocita, 0, 100\n[fine]\n";

struct Esempio {
  int riga_md = 0;  // where the block starts in the page
  std::string info;
  bool linea = false;                 // the block is the line file (else the train file)
  bool solo = false;                  // the other file is absent
  std::optional<std::string> coppia;  // the line file given just before
  std::string testo;
  std::optional<int32_t> errore;
  std::optional<std::string> avviso;
  std::optional<int> riga;
};

void PrintTo(const Esempio& e, std::ostream* os) {
  *os << "docs/sorgenti.md:" << e.riga_md << " ```" << e.info;
}

std::vector<Esempio> esempi() {
  std::ifstream in(SCENARIO_SORGENTI_MD);
  EXPECT_TRUE(in.good()) << SCENARIO_SORGENTI_MD;
  std::vector<Esempio> tutti;
  std::optional<std::string> coppia;
  std::string riga;
  int n = 0;
  while (std::getline(in, riga)) {
    ++n;
    if (riga.rfind("```linea", 0) != 0 && riga.rfind("```treno", 0) != 0) continue;
    Esempio e;
    e.riga_md = n;
    e.info = riga.substr(3);
    std::istringstream parole(e.info);
    std::string p;
    parole >> p;
    e.linea = p == "linea";
    bool di_coppia = false;
    while (parole >> p) {
      const size_t uguale = p.find('=');
      const std::string k = p.substr(0, uguale);
      const std::string v = uguale == std::string::npos ? "" : p.substr(uguale + 1);
      if (k == "solo") {
        e.solo = true;
      } else if (k == "coppia") {
        di_coppia = true;
      } else if (k == "errore") {
        e.errore = std::stoi(v);
      } else if (k == "avviso") {
        e.avviso = v;
      } else if (k == "riga") {
        e.riga = std::stoi(v);
      } else {
        ADD_FAILURE() << "docs/sorgenti.md:" << n << ": unknown word " << p;
      }
    }
    while (std::getline(in, riga) && riga != "```") {
      ++n;
      e.testo += riga + "\n";
    }
    ++n;
    if (di_coppia) {
      coppia = e.testo;
      continue;
    }
    if (!e.linea && coppia) e.coppia = std::move(coppia);
    coppia.reset();
    tutti.push_back(std::move(e));
  }
  return tutti;
}

ArchivioMemoria archivio(const Esempio& e) {
  ArchivioMemoria a;
  if (e.linea) {
    a.metti(nome_sorgente_linea(kId), e.testo);
    if (!e.solo) a.metti(nome_sorgente_treno(kId), kTrenoBase);
  } else {
    a.metti(nome_sorgente_treno(kId), e.testo);
    if (!e.solo) a.metti(nome_sorgente_linea(kId), e.coppia.value_or(kLineaBase));
  }
  return a;
}

std::string elenco(const std::vector<Diagnostica>& dd) {
  std::string s;
  for (const Diagnostica& d : dd) {
    s += "  " + d.file + ":" + std::to_string(d.riga) + ":" + std::to_string(d.colonna) + " " +
         (d.errore() ? "errore " + std::to_string(d.codice)
                     : "-W" + std::string(nome_avviso(d.avviso))) +
         ": " + d.messaggio + "\n";
  }
  return s;
}

class EsempioDellaPagina : public ::testing::TestWithParam<Esempio> {};

TEST_P(EsempioDellaPagina, RaisesWhatThePageSays) {
  const Esempio& e = GetParam();
  // A `solo` example is about the file that is not there.
  const std::string file = e.linea != e.solo ? nome_sorgente_linea(kId) : nome_sorgente_treno(kId);
  const std::vector<Diagnostica> dd = controlla(archivio(e), kId);
  const auto al_posto = [&](const Diagnostica& d) {
    return d.file == file && (!e.riga || d.riga == *e.riga);
  };
  bool trovato = false;
  for (const Diagnostica& d : dd) {
    if (d.errore()) {
      EXPECT_TRUE(e.errore && d.codice == *e.errore) << "an error the page does not name\n"
                                                     << elenco(dd);
      trovato |= e.errore && d.codice == *e.errore && al_posto(d);
    } else if (e.avviso && nome_avviso(d.avviso) == *e.avviso) {
      trovato |= al_posto(d);
    }
  }
  if (e.errore || e.avviso) {
    EXPECT_TRUE(trovato) << "not raised where the page says\n" << elenco(dd);
  } else {
    EXPECT_TRUE(dd.empty()) << "a clean example that is not clean\n" << elenco(dd);
  }

  // The compile agrees: the same code, or no fault at all.
  ArchivioMemoria copia = archivio(e);
  const Compilazione c = memorizza_percorso(copia, kId, 1);
  const int32_t registrato =
      c.errore_timbri != Codice::nessuno ? numero(c.errore_timbri) : c.errore.numero_errore;
  EXPECT_EQ(registrato, e.errore.value_or(0));
}

INSTANTIATE_TEST_SUITE_P(Sorgenti, EsempioDellaPagina, ::testing::ValuesIn(esempi()));

// Every fault code and every warning has its example on the page.
TEST(PaginaDeiSorgenti, HasAnExampleOfEveryCodeAndWarning) {
  std::set<int32_t> codici;
  std::set<std::string> avvisi_visti;
  for (const Esempio& e : esempi()) {
    if (e.errore) codici.insert(*e.errore);
    if (e.avviso) avvisi_visti.insert(*e.avviso);
  }
  for (const int32_t c : {101, 102, 1,  3, 4,  5,  103, 15, 6,  21, 2,  8,  9,    10,
                          16,  22,  24, 7, 17, 18, 19,  20, 11, 12, 13, 25, 1250, 1251}) {
    EXPECT_TRUE(codici.count(c)) << "no example of fault " << c;
  }
  for (const Avviso a : avvisi()) {
    EXPECT_TRUE(avvisi_visti.count(std::string(nome_avviso(a))))
        << "no example of -W" << nome_avviso(a);
  }
}

// The page's keyword tables name every record kind, in the order the reader
// tries them, with the words it looks for and how they are compared: read
// against the compiler's own table, the page cannot list a keyword the
// reader does not take, or leave one out.
TEST(PaginaDeiSorgenti, KeywordTablesAreTheReadersTable) {
  struct Riga {
    int riga_md;
    std::set<std::string> parole;
    std::optional<std::string> maiuscole;  // the Case column, where there is one
  };
  const auto celle = [](const std::string& r) {
    std::vector<std::string> cc;
    std::istringstream in(r.substr(1));
    std::string c;
    while (std::getline(in, c, '|')) cc.push_back(c);
    return cc;
  };
  std::ifstream in(SCENARIO_SORGENTI_MD);
  ASSERT_TRUE(in.good()) << SCENARIO_SORGENTI_MD;
  std::vector<Riga> righe;
  std::string r;
  int n = 0;
  // The columns of the keyword table being read, npos outside one.
  constexpr size_t kNessuna = std::string::npos;
  size_t colonna = kNessuna, colonna_maiuscole = kNessuna;
  while (std::getline(in, r)) {
    ++n;
    if (r.rfind("|", 0) != 0) {
      colonna = kNessuna;
      continue;
    }
    const std::vector<std::string> cc = celle(r);
    if (colonna == kNessuna) {
      colonna_maiuscole = kNessuna;
      for (size_t k = 0; k < cc.size(); ++k) {
        if (cc[k].find("words the field must hold") != std::string::npos ||
            cc[k].find("Keyword field holds") != std::string::npos) {
          colonna = k;
        }
        if (cc[k] == " Case ") colonna_maiuscole = k;
      }
      continue;
    }
    if (r.rfind("|---", 0) == 0 || colonna >= cc.size()) continue;
    Riga riga{n, {}, std::nullopt};
    const std::string& c = cc[colonna];
    size_t a = c.find('`');
    while (a != std::string::npos) {
      const size_t b = c.find('`', a + 1);
      if (b == std::string::npos) break;
      riga.parole.insert(c.substr(a + 1, b - a - 1));
      a = c.find('`', b + 1);
    }
    if (colonna_maiuscole < cc.size()) riga.maiuscole = cc[colonna_maiuscole];
    righe.push_back(std::move(riga));
  }

  const auto tipi = tipi_record();
  ASSERT_EQ(righe.size(), tipi.size());
  for (size_t i = 0; i < tipi.size(); ++i) {
    const DefinizioneRecord& d = tipi[i];
    SCOPED_TRACE("docs/sorgenti.md:" + std::to_string(righe[i].riga_md) + " " +
                 std::string(d.nome));
    std::set<std::string> parole{std::string(d.parola)};
    if (!d.seconda_parola.empty()) parole.insert(std::string(d.seconda_parola));
    EXPECT_EQ(righe[i].parole, parole);
    const std::string maiuscole = righe[i].maiuscole.value_or(" any ");
    EXPECT_EQ(maiuscole, d.confronto == Confronto::esatto ? " small letters " : " any ");
  }
}

}  // namespace
}  // namespace scenario

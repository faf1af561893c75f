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
#include "compiler/controllo.h"

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

}  // namespace
}  // namespace scenario

// The check against the compile: it finds no error exactly when the compile
// records none, over many faults made in the carried texts; what it says of
// the carried texts themselves; and what it does not touch.
#include "check/controllo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "compiler/compila.h"
#include "emit/emittitori.h"
#include "generatore/generatore.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

const Identita kId{"Lanvero_Ostrel", "24817"};

std::string testo_portato(std::string_view nome) {
  for (const Emittitore& e : emittitori()) {
    if (nome == e.nome) return e.contenuto();
  }
  return {};
}

std::vector<std::string> righe(const std::string& t) { return test::spezza(t, "\r\n"); }

std::string unisci(const std::vector<std::string>& rr) {
  std::string t;
  for (const std::string& r : rr) t += r + "\r\n";
  return t;
}

ArchivioMemoria archivio(const std::string& linea, const std::string& treno) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(kId), linea);
  a.metti(nome_sorgente_treno(kId), treno);
  return a;
}

bool con_errori(const std::vector<Diagnostica>& dd) {
  for (const Diagnostica& d : dd) {
    if (d.errore()) return true;
  }
  return false;
}

// A fixed generator: the same faults on every machine.
struct Caso {
  uint64_t x = 0x2545F4914F6CDD1Du;
  uint64_t operator()(uint64_t n) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x % n;
  }
};

// One change to one line: the kinds of slip an author makes.
void cambia(std::vector<std::string>& rr, Caso& caso) {
  static const char* const kValori[] = {"0",   "-1",    "25",  "49",   "50",      "99999999",
                                        "300", "x",     "",    "1.5",  "1000001", "-12800",
                                        "7",   "65536", "255", "2000", "32768",   " "};
  const size_t i = caso(rr.size());
  std::string& r = rr[i];
  switch (caso(6)) {
    case 0: rr.erase(rr.begin() + static_cast<ptrdiff_t>(i)); break;
    case 1: rr.insert(rr.begin() + static_cast<ptrdiff_t>(i), r); break;
    case 2: {  // one field replaced
      std::vector<size_t> virgole;
      for (size_t k = 0; k < r.size(); ++k) {
        if (r[k] == ',') virgole.push_back(k);
      }
      if (virgole.empty()) break;
      const size_t k = caso(virgole.size());
      const size_t fine = k + 1 < virgole.size() ? virgole[k + 1] : r.size();
      r = r.substr(0, virgole[k] + 1) + " " + kValori[caso(std::size(kValori))] + r.substr(fine);
      break;
    }
    case 3: r = r.substr(0, r.rfind(',') == std::string::npos ? 0 : r.rfind(',')); break;
    case 4: r.insert(caso(r.size() + 1), "-"); break;
    case 5:
      if (i + 1 < rr.size()) std::swap(r, rr[i + 1]);
      break;
  }
}

TEST(Controllo, FindsNoErrorExactlyWhenTheCompileRecordsNone) {
  const std::vector<std::string> linea = righe(testo_portato("dati_linea"));
  const std::vector<std::string> treno = righe(testo_portato("dati_treno"));
  ASSERT_FALSE(linea.empty());
  Caso caso;
  int con_guasto = 0;
  for (int n = 0; n < 400; ++n) {
    std::vector<std::string> l = linea;
    std::vector<std::string> t = treno;
    for (uint64_t k = caso(3) + 1; k > 0; --k) cambia(caso(2) == 0 ? l : t, caso);
    const ArchivioMemoria a = archivio(unisci(l), unisci(t));
    ArchivioMemoria copia = a;
    const Compilazione c = memorizza_percorso(copia, kId, 1);
    const bool guasto = c.errore.numero_errore != 0 || c.errore_timbri != Codice::nessuno;
    const std::vector<Diagnostica> dd = controlla(a, kId);
    ASSERT_EQ(con_errori(dd), guasto)
        << "case " << n << ", compile " << c.errore.numero_errore << "\n"
        << unisci(l) << "\n"
        << unisci(t);
    con_guasto += guasto;
  }
  // Both sides of the rule were tried.
  EXPECT_GT(con_guasto, 50);
  EXPECT_LT(con_guasto, 350);
}

// The carried texts compile cleanly; what the check says of them is kept
// here, so that a new warning on them is a decision.
TEST(Controllo, CarriedTextsWarnOnlyOfStationsZones) {
  const std::vector<Diagnostica> dd =
      controlla(archivio(testo_portato("dati_linea"), testo_portato("dati_treno")), kId);
  std::vector<std::tuple<std::string, int, std::string>> visti;
  for (const Diagnostica& d : dd) {
    EXPECT_FALSE(d.errore()) << d.messaggio;
    visti.emplace_back(d.file, d.riga, nome_avviso(d.avviso));
  }
  const std::string l = "Lanvero_Ostrel_linea.txt";
  const std::string t = "Lanvero_Ostrel_24817-.txt";
  EXPECT_EQ(visti, (std::vector<std::tuple<std::string, int, std::string>>{
                       {l, 156, "cambio-in-stazione"},
                       {l, 185, "cambio-in-stazione"},
                       {l, 188, "cambio-in-stazione"},
                       {t, 12, "cambio-in-stazione"},
                       {t, 19, "cambio-in-stazione"},
                       {t, 23, "cambio-in-stazione"},
                       {t, 44, "sovrapposizione"},
                   }));
}

// The benchmarks' scenarios compile without fault: the check finds no
// error in them either.
TEST(Controllo, GeneratedScenariosHaveNoError) {
  for (const ScenarioGenerato& g : {genera_scenario_breve(), genera_scenario_massimo()}) {
    ArchivioMemoria a;
    a.metti(nome_sorgente_linea(g.id), g.linea);
    a.metti(nome_sorgente_treno(g.id), g.treno);
    for (const Diagnostica& d : controlla(a, g.id)) {
      EXPECT_FALSE(d.errore()) << d.file << ":" << d.riga << ": " << d.messaggio;
    }
  }
}

TEST(Controllo, LeavesItsSourcesAndNamesThemAsTold) {
  const ArchivioMemoria a = archivio("[generale]\r\nlunghezza percorso, 1000001\r\n", "x");
  OpzioniControllo o;
  o.cartella = "dir/";
  const std::vector<Diagnostica> dd = controlla(a, kId, o);
  ASSERT_EQ(dd.size(), 1u);
  EXPECT_EQ(dd[0].file, "dir/Lanvero_Ostrel_linea.txt");
  EXPECT_EQ(dd[0].codice, 1);
  EXPECT_EQ(dd[0].riga, 2);
  EXPECT_EQ(dd[0].colonna, 21);  // the length, the field that is wrong
  EXPECT_EQ(a.leggi(nome_sorgente_linea(kId)), "[generale]\r\nlunghezza percorso, 1000001\r\n");
  EXPECT_EQ(a.leggi(nome_sorgente_treno(kId)), "x");
}

TEST(Controllo, SwitchesWarningsOff) {
  const ArchivioMemoria a = archivio(
      "[generale]\r\nlunghezza percorso, 10000\r\n[pendenze]\r\npendenza, 1025, 3\r\n"
      "pendenz, 2000, 0\r\n[fine]\r\n",
      "[generale]\r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\nvelocita, 0, 100\r\n"
      "[fine]\r\n");
  const auto nomi = [](const std::vector<Diagnostica>& dd) {
    std::vector<std::string> n;
    for (const Diagnostica& d : dd) n.emplace_back(nome_avviso(d.avviso));
    return n;
  };
  EXPECT_EQ(nomi(controlla(a, kId)), (std::vector<std::string>{"griglia", "parola-sconosciuta"}));
  OpzioniControllo o;
  o.spenti.set(static_cast<size_t>(Avviso::griglia));
  EXPECT_EQ(nomi(controlla(a, kId, o)), (std::vector<std::string>{"parola-sconosciuta"}));
  EXPECT_EQ(avviso_di_nome("parola-sconosciuta"), Avviso::parola_sconosciuta);
  EXPECT_EQ(avviso_di_nome("boh"), std::nullopt);
  for (const Avviso w : avvisi()) EXPECT_EQ(avviso_di_nome(nome_avviso(w)), w);
}

// What the check says grows with the records, never with their pairs: 60
// slowdowns that all overlap each other give one warning each, the first
// overlapped named and the others counted.
TEST(Controllo, OverlapsAreSaidOncePerSlowdown) {
  std::string treno = "[generale]\r\n[rallentamenti]\r\n";
  for (int k = 0; k < 60; ++k) {
    treno += "rallentamento, " + std::to_string(10000 + 1000 * k) + ", 70, " +
             std::to_string(70000 + 50 * k) + ", 0, 1, 0\r\n";
  }
  treno += "[fine]\r\n";
  const std::vector<Diagnostica> dd =
      controlla(archivio("[generale]\r\nlunghezza percorso, 200000\r\n[fine]\r\n", treno), kId);
  std::vector<std::string> sovrapposizioni;
  for (const Diagnostica& d : dd) {
    if (!d.errore() && d.avviso == Avviso::sovrapposizione) sovrapposizioni.push_back(d.messaggio);
  }
  ASSERT_EQ(sovrapposizioni.size(), 59u);
  EXPECT_EQ(sovrapposizioni[0],
            "il rallentamento (da 11000 a 81050 m) si sovrappone a quello di riga 3");
  EXPECT_EQ(sovrapposizioni[1],
            "il rallentamento (da 12000 a 82100 m) si sovrappone a quello di riga 3 e a un altro");
  EXPECT_EQ(sovrapposizioni[58],
            "il rallentamento (da 69000 a 141950 m) si sovrappone a quello di riga 3 e ad altri "
            "58 rallentamenti");
}

}  // namespace
}  // namespace scenario

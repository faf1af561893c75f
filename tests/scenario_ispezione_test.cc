// scenario inspect on the real executable: what it prints is what the files
// hold (checked by a reader of its own, in Python), and a file that is not
// a compiled one is refused with the offset where it goes wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "format/lettori.h"
#include "tests/compilati.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"
#include "tests/support/impronta.h"
#include "tests/support/python.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::kStrumento;
using test::leggi;

// Runs inspect --json on `file` in `dir` and the independent reader on the
// file and the JSON; the reader's verdict, empty when they agree.
std::string confronta(const fs::path& dir, const std::string& file, const std::string& righe = "") {
  std::string da, a;
  std::istringstream(righe) >> da >> a;
  const std::string opzioni = righe.empty() ? "" : " --from " + da + " --to " + a;
  const auto u = esegui(avvio(kStrumento, "inspect --json" + opzioni + " '" + file + "'"), dir);
  if (u.stato != 0) return "inspect ended with " + std::to_string(u.stato) + ": " + u.err;
  test::scrivi(dir / "inspect.json", u.out);
  test::Avvio py{test::kPython,
                 {SCENARIO_SORGENTI "/tests/confronta_ispezione.py", file, "inspect.json"}};
  if (!da.empty()) py.argomenti.insert(py.argomenti.end(), {da, a});
  const auto v = esegui(py, dir);
  fs::remove(dir / "inspect.json");
  return v.stato == 0 ? "" : v.out + v.err;
}

TEST(InspectJson, TheCarriedScenarioAsItIs) {
  SALTA_SENZA_PYTHON();
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  for (const std::string& f : nomi_binari({"Lanvero_Ostrel", "24817"})) {
    EXPECT_EQ(confronta(dir.percorso(), f), "") << f;
  }
  EXPECT_EQ(confronta(dir.percorso(), "Lanvero_Ostrel_24817.dat", "848 903"), "");
  EXPECT_EQ(confronta(dir.percorso(), "Lanvero_Ostrel_linea.dat", "97990 200000"), "");
  EXPECT_EQ(confronta(dir.percorso(), "Lanvero_Ostrel_24817.sim", "80 80"), "");
}

std::string sostituisci(std::string s, const std::string& da, const std::string& a) {
  const size_t p = s.find(da);
  EXPECT_NE(p, std::string::npos) << da;
  if (p != std::string::npos) s.replace(p, da.size(), a);
  return s;
}

// The generator's scenarios, the longest legal one among them, and some
// whose compile recorded a fault: the files then hold empty plan points,
// half-filled tables, or no plan at all.
TEST(InspectJson, GeneratedScenariosAsTheyAre) {
  SALTA_SENZA_PYTHON();
  struct Caso {
    std::string nome;
    ScenarioGenerato g;
    std::string opzioni;
    int stato;
  };
  const ScenarioGenerato breve = genera_scenario_breve();
  ScenarioGenerato ripetizione = breve;  // code 3: nothing traced, only empty points
  ripetizione.linea = sostituisci(breve.linea, "ripetizione segnali 4 codici,    1250",
                                  "ripetizione segnali 4 codici,    1275");
  ScenarioGenerato curva = breve;  // code 103: the trace stops half way
  curva.linea = sostituisci(breve.linea, "[pendenze]", "curvax,  50000,  100\r\n[pendenze]");
  ScenarioGenerato segnale = breve;  // code 16: the train half stops at a signal
  const size_t s = breve.treno.find("segnale,");
  segnale.treno.insert(s, breve.treno.substr(s, breve.treno.find('\n', s) + 1 - s));
  const Caso casi[] = {
      {"short", breve, "", 0},
      {"maximal", genera_scenario_massimo(), "", 0},
      {"repetition zone fault", ripetizione, "", 1},
      {"curve fault", curva, "", 1},
      {"signal fault", segnale, "", 1},
      {"no plan", breve, "--no-plan", 0},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva dir;
    ASSERT_EQ(test::compila_generato(c.g, dir.percorso(), c.opzioni), c.stato);
    int file = 0;
    for (const std::string& f : nomi_binari(c.g.id)) {
      if (!fs::exists(dir.percorso() / f)) continue;
      ++file;
      EXPECT_EQ(confronta(dir.percorso(), f), "") << f;
    }
    EXPECT_EQ(file, c.opzioni.empty() ? 3 : 2);
  }
}

std::vector<std::string> righe(const std::string& s) {
  std::vector<std::string> r;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) r.push_back(l);
  return r;
}

// The columns an author greps.
TEST(Inspect, TextRowsAnAuthorCanGrep) {
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  const auto celle = esegui(avvio(kStrumento, "inspect Lanvero_Ostrel_24817.dat"), dir.percorso());
  ASSERT_EQ(celle.stato, 0) << celle.err;
  const auto r = righe(celle.out);
  ASSERT_EQ(r.size(), 1962u);
  // Numbers right-aligned under their names, the code's name last.
  const size_t significato = r[0].find("significato");
  size_t segnali = 0;
  for (size_t i = 1; i < r.size(); ++i) {
    const std::string& l = r[i];
    ASSERT_GT(l.size(), significato) << l;
    EXPECT_EQ(l.substr(significato - 3, 3).find_first_not_of("0123456789"), 1u) << l;
    segnali += l.compare(significato, 8, "segnale ") == 0;
  }
  EXPECT_EQ(segnali, 32u);
  // The signal written at 1600 m: cell 33, 1650 m from the start, shown
  // with the position its author wrote; the cell's speed in km/h.
  EXPECT_EQ(r[34].substr(0, 19), "   33         1650 ");
  EXPECT_EQ(r[34].compare(significato, 27, "segnale scritto_a=1600m asp"), 0) << r[34];
  EXPECT_NE(r[34].find(" velocita_treno=120km/h "), std::string::npos) << r[34];
  // The slowdown written from 42600 to 45100 m, at those positions.
  EXPECT_NE(celle.out.find("  inizio_rallentamento scritto_a=42600m velocita=70km/h "),
            std::string::npos);
  EXPECT_NE(celle.out.find("  fine_rallentamento scritto_a=45100m velocita=70km/h "),
            std::string::npos);

  const auto testata = esegui(
      avvio(kStrumento, "inspect Lanvero_Ostrel_24817.sim --from 18 --to 18"), dir.percorso());
  ASSERT_EQ(testata.stato, 0) << testata.err;
  const auto t = righe(testata.out);
  ASSERT_EQ(t.size(), 2u);
  // A station: its name, its zone in metres, its time as hh:mm:ss.
  EXPECT_NE(t[1].find("  \"OSTREL\"  stazione nome=\"OSTREL\" "), std::string::npos) << t[1];
  EXPECT_NE(t[1].find(" inizio_zona=88150m fine_zona=88650m posizione=88400m orario=18:16:00 "),
            std::string::npos)
      << t[1];

  const auto piano =
      esegui(avvio(kStrumento, "inspect Lanvero_Ostrel_linea.dat --from 97998"), dir.percorso());
  EXPECT_EQ(piano.out,
            "punto                   x0                 x1\n"
            "97998  -25154.389779352947  80981.27494560354\n"
            "97999                vuoto              vuoto\n"
            "98000                vuoto              vuoto\n");
}

// A plan's views pinned byte for byte, the carried plan's and the longest
// line's, whole and from a row on: what they were when the plan was read
// whole. They are written as the plan is read, in bounded memory: the
// longest line's 20 MB plan within an address space of 32 MB.
TEST(Inspect, PlanViewsKeepTheirBytesInBoundedMemory) {
  CartellaProva portato, massimo;
  test::compila_portato(portato.percorso());
  const ScenarioGenerato g = genera_scenario_massimo();
  ASSERT_EQ(test::compila_generato(g, massimo.percorso()), 0);
  struct Caso {
    const CartellaProva& dir;
    std::string argomenti;
    std::string digest;
  };
  const Caso casi[] = {
      {portato, "Lanvero_Ostrel_linea.dat",
       "a032cebbe029d083eae2929a633324addc08304b0d3a2cfb95c3955c7d758d36"},
      {portato, "--json Lanvero_Ostrel_linea.dat",
       "5be23586b0846b0b61624795309b03cd586493e7edfacc034e7bfbb32e3f7fee"},
      {portato, "Lanvero_Ostrel_linea.dat --from 1023 --to 70000",
       "8b8773fe6cce077800c0f98ed57a0f196a32d4452bb740acd33bfe7b0690ac0f"},
      {portato, "--json Lanvero_Ostrel_linea.dat --from 97999",
       "e4451c1ce6beb46d6eadc7ad4a1e9c72fc06b4ed2fc8a1c3ad911d84b93f3633"},
      {massimo, "Linea_Massima_linea.dat",
       "bc01a08d6cc59727773cd0a7e9c688f5487f38191e4b4f59fce50f59e822ec48"},
      {massimo, "--json Linea_Massima_linea.dat",
       "f03b38c2925c1d58f45acdb8bf0ec37ab0e3dbf06a15b741497eb3bcedd4dd1a"},
      {massimo, "Linea_Massima_linea.dat --from 1006000",
       "0136d1d4332ac413db742cb9a95d26d447135271f8cbad1754e0c8219cdd3f8a"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.argomenti);
    test::Avvio a = avvio(kStrumento, "inspect " + c.argomenti);
#if !defined(__SANITIZE_ADDRESS__)  // its shadow memory alone is more than the limit
    a.limite_memoria = 32 << 20;
#endif
    const auto u = esegui(a, c.dir.percorso());
    ASSERT_EQ(u.stato, 0) << u.err;
    EXPECT_EQ(test::sha256(u.out), c.digest);
  }
}

// A file that is not a compiled one: the offset and what was expected
// there, exit 1, nothing on standard output.
TEST(Inspect, FilesThatAreNotCompiledOnes) {
  CartellaProva portato;
  test::compila_portato(portato.percorso());
  const std::string testata = leggi(portato.percorso() / "Lanvero_Ostrel_24817.sim");
  const std::string celle = leggi(portato.percorso() / "Lanvero_Ostrel_24817.dat");
  const std::string piano = leggi(portato.percorso() / "Lanvero_Ostrel_linea.dat");
  struct Caso {
    std::string nome;
    std::string bytes;
    std::string messaggio;
  };
  std::string etichetta = piano;
  etichetta[8] = 9;
  // The last value (an empty one) cut, or with a wrong tag: found before a
  // row is written.
  const size_t ultimo = piano.size() - 2;
  std::string etichetta_ultima = piano;
  etichetta_ultima[ultimo] = 9;
  const Caso casi[] = {
      {"a.sim", testata.substr(0, testata.size() - 1),
       "a.sim (testata): offset 4946: atteso `valore_quattro` della voce 86 (4 byte), ma il "
       "file finisce all'offset 4949"},
      {"a.sim", testata + "x", "offset 4950: attesa la fine del file dopo la voce 86"},
      {"a.sim", "", "offset 0: atteso `codice` della voce 0"},
      {"a.dat", celle + std::string(7, '\0'),
       "a.dat (file di celle): offset 29415: attesa la cella 1961"},
      {"a.dat", testata.substr(0, 4949), "offset 4935: attesa la cella 329 (15 byte)"},
      {"a_linea.dat", etichetta,
       "a_linea.dat (planimetria della linea): offset 8: etichetta 9 del valore 2"},
      {"a_linea.dat", piano.substr(0, 98), "offset 98: il file finisce dopo 11 valori"},
      {"a_linea.dat", piano.substr(0, piano.size() - 1),
       "offset " + std::to_string(ultimo) + ": atteso l'etichetta del valore 196001 (2 byte), " +
           "ma il file finisce all'offset " + std::to_string(piano.size() - 1)},
      {"a_linea.dat", etichetta_ultima,
       "offset " + std::to_string(ultimo) + ": etichetta 9 del valore 196001"},
      {"a_linea.dat", piano + std::string(2, '\0'), "il file finisce dopo 196003 valori"},
      {"a_linea.dat", piano.substr(0, 100),
       "offset 100: atteso il reale del valore 11 (8 byte), ma il file finisce all'offset 100"},
      {"a.dat", piano.substr(0, 15 * 200), "offset 16: `dato_uno` della cella 1 vale 0"},
      {"a.txt", celle, "a.txt: il nome non finisce con _linea.dat, .sim o .dat"},
      {"a.sim", celle,
       "a.sim (testata): offset 25918: atteso il `testo` della voce 3, lungo quanto dice la sua "
       "lunghezza (6912 byte), ma il file finisce all'offset 29415 (il contenuto e' quello di: "
       "file di celle)"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.messaggio);
    CartellaProva dir;
    test::scrivi(dir.percorso() / c.nome, c.bytes);
    for (const std::string json : {"", " --json"}) {
      const auto u = esegui(avvio(kStrumento, "inspect" + json + " " + c.nome), dir.percorso());
      EXPECT_EQ(u.stato, 1);
      EXPECT_EQ(u.out, "");
      EXPECT_NE(u.err.find(c.messaggio), std::string::npos) << u.err;
      EXPECT_EQ(std::count(u.err.begin(), u.err.end(), '\n'), 1) << u.err;
    }
  }
}

// A cell file beside a header of another compile, or a plan given with
// one: refused in one line naming both, in either view. Alone, each file
// is still shown.
TEST(Inspect, FilesOfAnotherCompile) {
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  for (const test::FileDiscorde& d : test::prepara_discordi(dir.percorso())) {
    SCOPED_TRACE(d.cartella);
    const std::string file = d.cartella + "/" + d.file;
    const std::string testata = d.cartella + "/Lanvero_Ostrel_24817.sim";
    for (const std::string json : {"", " --json"}) {
      const auto u =
          esegui(avvio(kStrumento, "inspect" + json + " " + file + " --testata " + testata),
                 dir.percorso());
      EXPECT_EQ(u.stato, 1) << u.err;
      EXPECT_EQ(u.out, "");
      EXPECT_EQ(u.err.rfind("scenario inspect: " + file + " non va con " + testata + ": ", 0), 0u)
          << u.err;
      EXPECT_NE(u.err.find(d.motivo), std::string::npos) << u.err;
      EXPECT_EQ(std::count(u.err.begin(), u.err.end(), '\n'), 1) << u.err;
    }
    // A cell file finds its header beside it.
    if (d.file.ends_with("24817.dat")) {
      const auto u = esegui(avvio(kStrumento, "inspect " + file), dir.percorso());
      EXPECT_EQ(u.stato, 1) << u.err;
      EXPECT_NE(u.err.find(testata), std::string::npos) << u.err;
    }
    fs::remove(dir.percorso() / testata);
    EXPECT_EQ(esegui(avvio(kStrumento, "inspect " + file), dir.percorso()).stato, 0);
  }
  // The carried files go together.
  const auto u = esegui(avvio(kStrumento,
                              "inspect Lanvero_Ostrel_linea.dat --to 3 --testata "
                              "Lanvero_Ostrel_24817.sim"),
                        dir.percorso());
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.err, "");
}

// Random bytes under every name, of every length up to a few cells: always
// refused, never a crash.
TEST(Inspect, RandomBytesAreRefused) {
  CartellaProva dir;
  std::mt19937 caso(2024);
  for (int i = 0; i < 12; ++i) {
    std::string b(std::uniform_int_distribution<size_t>(0, 3000)(caso), '\0');
    for (char& c : b) c = static_cast<char>(caso());
    for (const std::string nome : {"r.sim", "r.dat", "r_linea.dat"}) {
      test::scrivi(dir.percorso() / nome, b);
      const auto u = esegui(avvio(kStrumento, "inspect " + nome), dir.percorso());
      EXPECT_EQ(u.stato, 1) << nome << " " << b.size() << u.err;
      EXPECT_NE(u.err.find(": offset "), std::string::npos) << u.err;
    }
  }
}

// A file larger than any compiled one of its kind is refused from its
// size, before it is read: one byte over the largest, and a sparse 2 GB
// file. The largest size itself is read, and refused for its bytes.
TEST(Inspect, FilesLargerThanAnyOfTheirKind) {
  CartellaProva dir;
  const std::pair<std::string, TipoFile> casi[] = {{"a.sim", TipoFile::testata},
                                                   {"a.dat", TipoFile::celle},
                                                   {"a_linea.dat", TipoFile::planimetria}};
  for (const auto& [nome, tipo] : casi) {
    const fs::path file = dir.percorso() / nome;
    const std::uintmax_t massimo = massimo_byte(tipo);
    for (const std::uintmax_t n : {massimo, massimo + 1, std::uintmax_t{2} << 30}) {
      test::scrivi(file, "");
      fs::resize_file(file, n);
      const auto u = esegui(avvio(kStrumento, "inspect " + nome), dir.percorso());
      EXPECT_EQ(u.stato, 1) << u.err;
      EXPECT_EQ(u.out, "");
      const std::string rifiuto = ": offset " + std::to_string(massimo) + ": il file e' lungo " +
                                  std::to_string(n) +
                                  " byte, piu' di ogni file compilato del suo tipo (al massimo " +
                                  std::to_string(massimo) + " byte): non e' letto\n";
      EXPECT_EQ(u.err.ends_with(rifiuto), n > massimo) << nome << " " << n << ": " << u.err;
    }
    fs::remove(file);
  }
}

TEST(Inspect, CommandLineAndPlatformFaults) {
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  struct Caso {
    std::string argomenti;
    int stato;
    std::string messaggio;
  };
  fs::create_directory(dir.percorso() / "cartella.sim");
  const Caso casi[] = {
      {"manca.dat", 1, "scenario inspect: manca.dat: il file non esiste"},
      {"cartella.sim", 3, "scenario inspect: impossibile leggere cartella.sim: "},
      {"Lanvero_Ostrel_24817.dat --from x", 64, "--from vuole un numero di riga da 0 in su: x"},
      {"Lanvero_Ostrel_24817.dat --to -1", 64, "--to vuole un numero di riga da 0 in su: -1"},
      {"Lanvero_Ostrel_24817.dat --from 5 --to 4", 64, "--from viene dopo --to"},
      {"", 64, "scenario inspect: argomenti mancanti: inspect vuole FILE"},
      {"a.dat b.dat", 64, "scenario inspect: argomento in piu': b.dat (inspect vuole FILE)"},
  };
  for (const Caso& c : casi) {
    const auto u = esegui(avvio(kStrumento, "inspect " + c.argomenti), dir.percorso());
    EXPECT_EQ(u.stato, c.stato) << c.argomenti << u.err;
    EXPECT_NE(u.err.find(c.messaggio), std::string::npos) << c.argomenti << ": " << u.err;
    EXPECT_EQ(u.out, "");
  }
}

}  // namespace
}  // namespace scenario

// The author tool, run as its users run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "tests/support/cartella.h"
#include "tests/support/compila.h"
#include "tests/support/esegui.h"
#include "tests/support/immutabile.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::CartellaProva;
using test::esegui;
using test::leggi;

const std::string kTool = SCENARIO_TOOL_PATH;

const char kLinea[] =
    "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
    "indicatori_vmax,  1250,  110,  120,  125,  0,  110,  120,  125,  0\r\n[fine]\r\n";
const char kTreno[] = "[generale]\r\n[fine]\r\n";

class Compile : public ::testing::Test {
 protected:
  void sorgenti(const std::string& linea, const std::string& treno = kTreno) {
    test::scrivi(dir.percorso() / "Prova_linea.txt", linea);
    test::scrivi(dir.percorso() / "Prova_7-.txt", treno);
  }
  test::Uscita compila(const std::string& opzioni = "") {
    return esegui("'" + kTool + "' compile Prova 7 " + opzioni, dir.percorso());
  }
  CartellaProva dir;
};

TEST_F(Compile, WritesTheBinariesAndKeepsTheSources) {
  sorgenti(kLinea);
  const auto u = compila();
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=0 posizione_errore=0");
  EXPECT_EQ(test::nomi(dir.percorso()),
            (std::vector<std::string>{"Prova_7-.txt", "Prova_7.dat", "Prova_7.sim",
                                      "Prova_linea.dat", "Prova_linea.txt"}));
  EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.txt"), kLinea);
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.dat").size(), 15u * 181);
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.dat")[15 * 26], 6);  // the indicator's cell
}

TEST_F(Compile, NoPlanLeavesTheLinePlanOut) {
  sorgenti(kLinea);
  const auto u = esegui("'" + kTool + "' compile --no-plan --dir . Prova 7", dir.percorso());
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_FALSE(fs::exists(dir.percorso() / "Prova_linea.dat"));
  EXPECT_TRUE(fs::exists(dir.percorso() / "Prova_7.dat"));
}

TEST_F(Compile, DataFaultIsReportedWithItsSource) {
  sorgenti(
      "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
      "cartello_indicatore,  1250,   (X)\r\n"
      "indicatori_vmax,  1250,  1, 1, 1, 0, 1, 1, 1, 0\r\n[fine]\r\n");
  const auto u = compila();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=21 posizione_errore=1250");
  EXPECT_NE(u.out.find("Prova_linea.txt:5:"), std::string::npos) << u.out;
  EXPECT_TRUE(fs::exists(dir.percorso() / "Prova_7.sim"));

  sorgenti("[generale]\r\nlunghezza percorso,    2000\r\n[pendenze]\r\npendenza, 0, 1.5\r\n");
  const auto v = compila();
  EXPECT_EQ(v.stato, 1);
  EXPECT_EQ(v.out.substr(0, v.out.find('\n')), "numero_errore=25 posizione_errore=0");
  EXPECT_NE(v.out.find("Prova_linea.txt:4:"), std::string::npos) << v.out;
}

TEST_F(Compile, MissingSourcesWriteNothing) {
  const auto u = compila();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=101 posizione_errore=0");
  EXPECT_TRUE(test::nomi(dir.percorso()).empty());
}

TEST_F(Compile, StampFaultWritesNothing) {
  sorgenti(
      "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
      "indicatori_vmax,  0,  1,  0,  0,  0,  0,  0,  0,  0\r\n[fine]\r\n");
  test::scrivi(dir.percorso() / "Prova_7.dat", "vecchio");
  const auto u = compila();
  EXPECT_EQ(u.stato, 2);
  EXPECT_EQ(u.err, " Errore n. 1250\n");
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.dat"), "vecchio");
  EXPECT_FALSE(fs::exists(dir.percorso() / "Prova_7.sim"));
}

// After a fault, the lines below the first: the fault as the check reports
// it, at the field that is wrong and in Italian, then which binary files this
// run wrote, so that an older one is never taken for the new one.
TEST_F(Compile, LinesAfterTheFirstSayWhatWhereAndWhichFiles) {
  const auto righe = [](const std::string& out) { return test::spezza(out, "\n"); };
  sorgenti(
      "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
      "cartello_indicatore,  1250,   (X)\r\n"
      "indicatori_vmax,  1250,  1, 1, 1, 0, 1, 1, 1, 0\r\n[fine]\r\n");
  EXPECT_EQ(righe(compila().out),
            (std::vector<std::string>{
                "numero_errore=21 posizione_errore=1250",
                "Prova_linea.txt:5:19: error: indicatore di velocita su una cella occupata: la "
                "cella 26 ha gia' cartello_indicatore di riga 4 (posizione 1250 m) [errore 21]",
                "file scritti: Prova_linea.dat Prova_7.sim Prova_7.dat"}));

  sorgenti("[generale]\r\nlunghezza percorso,    2000\r\n[pendenze]\r\npendenza, 0, 1.5\r\n");
  EXPECT_EQ(righe(compila("--no-plan").out).at(1),
            "Prova_linea.txt:4:14: error: dato illeggibile o fuori dai limiti: '1.5' non e' un "
            "numero intero [errore 25]");
  EXPECT_EQ(righe(compila("--no-plan").out).at(2), "file scritti: Prova_7.sim Prova_7.dat");

  sorgenti(kLinea, "[generale]\r\n[rallentamenti]\r\nrallentamento, 0, 60, 500, 0, 0, 0\r\n");
  const auto timbro = compila("--dir .");
  EXPECT_EQ(timbro.stato, 2);
  EXPECT_EQ(righe(timbro.out),
            (std::vector<std::string>{
                "numero_errore=0 posizione_errore=0",
                "./Prova_7-.txt: error: timbro di formato gia presente: la cella 1, riservata al "
                "timbro di formato, contiene gia' 60, scritto da rallentamento di riga 3, che "
                "cade nella cella 1 [errore 1250]",
                "nessun file scritto"}));

  fs::remove(dir.percorso() / "Prova_7-.txt");
  for (const char* f : {"Prova_linea.dat", "Prova_7.sim", "Prova_7.dat"}) {
    fs::remove(dir.percorso() / f);
  }
  EXPECT_EQ(righe(compila("--dir .").out).at(1),
            "./Prova_7-.txt: error: file del treno mancante: ./Prova_7-.txt [errore 25]");

  fs::remove(dir.percorso() / "Prova_linea.txt");
  EXPECT_EQ(righe(compila().out),
            (std::vector<std::string>{
                "numero_errore=101 posizione_errore=0",
                "Prova_linea.txt: error: file della linea mancante: Prova_linea.txt [errore 101]",
                "nessun file scritto"}));
}

TEST_F(Compile, PlatformFailures) {
  // A source that is there but cannot be read: nothing is printed to
  // standard output, the message names it.
  fs::create_directory(dir.percorso() / "Prova_linea.txt");
  const auto l = compila();
  EXPECT_EQ(l.stato, 3);
  EXPECT_EQ(l.out, "");
  EXPECT_EQ(l.err,
            "impossibile leggere ./Prova_linea.txt: " + std::string(std::strerror(EISDIR)) + "\n");
  fs::remove(dir.percorso() / "Prova_linea.txt");
  // An output that cannot be replaced: the message names it.
  sorgenti(kLinea);
  fs::create_directory(dir.percorso() / "Prova_7.dat");
  const auto u = compila();
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.err,
            "impossibile scrivere ./Prova_7.dat: " + std::string(std::strerror(EISDIR)) + "\n");
  EXPECT_TRUE(fs::exists(dir.percorso() / "Prova_7.sim"));  // finished before
}

// Bad sources, as an author meets them: the first line printed, the exit
// status, and what is left in the folder. The sources always stay; the
// binaries are written whenever the cell table exists and the stamps pass,
// and otherwise the older ones stay as they were.
TEST(IngressiErrati, WhatIsLeftOnDisk) {
  struct Caso {
    std::string nome;
    std::string linea;
    std::string treno;
    std::string prima_riga;
    bool scritti;
  };
  const std::string generale = "[generale]\r\nlunghezza percorso, 2000\r\n";
  std::string cartelli = "[indicazioni]\r\n";
  for (int k = 1; k <= 80; ++k) {
    cartelli += "cartello_indicatore, " + std::to_string(50 * k) + ", (C)\r\n";
  }
  std::string spazzatura(10 << 20, '\0');
  uint32_t x = 1;
  for (char& c : spazzatura) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 23);
  const std::string stazione =
      "[generale]\r\nstazione, 1000, 25, 100, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, S\r\n";
  const Caso casi[] = {
      {"linea vuota", "", kTreno, "numero_errore=25 posizione_errore=0", false},
      {"treno vuoto", kLinea, "", "numero_errore=25 posizione_errore=0", true},
      {"senza [generale]", "lunghezza percorso, 2000\r\n", kTreno,
       "numero_errore=102 posizione_errore=0", false},
      {"10 MB di spazzatura", spazzatura, kTreno, "numero_errore=102 posizione_errore=0", false},
      {"lunghezza oltre 32 bit", "[generale]\r\nlunghezza percorso, 2147483648\r\n", kTreno,
       "numero_errore=25 posizione_errore=0", false},
      {"lunghezza oltre il massimo", "[generale]\r\nlunghezza percorso, 1000001\r\n", kTreno,
       "numero_errore=1 posizione_errore=0", false},
      {"oltre la linea", generale + "[pendenze]\r\npendenza, 8901, 1\r\n", kTreno,
       "numero_errore=15 posizione_errore=8901", true},
      {"curva oltre il piano", generale + "[curve]\r\ncurvad2, 8800, 500\r\n", kTreno,
       "numero_errore=103 posizione_errore=0", true},
      {"81 cartelli", generale + cartelli + "cartello_indicatore, 4100, (C)\r\n", kTreno,
       "numero_errore=25 posizione_errore=0", true},
      {"stazione senza voce libera", generale + cartelli, stazione,
       "numero_errore=10 posizione_errore=0", true},
  };
  const std::vector<std::string> binari = {"Prova_7.dat", "Prova_7.sim", "Prova_linea.dat"};
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva dir;
    test::scrivi(dir.percorso() / "Prova_linea.txt", c.linea);
    test::scrivi(dir.percorso() / "Prova_7-.txt", c.treno);
    for (const std::string& b : binari) test::scrivi(dir.percorso() / b, "vecchio");
    const auto u = esegui("'" + kTool + "' compile Prova 7", dir.percorso());
    EXPECT_EQ(u.stato, 1) << u.err;
    EXPECT_EQ(u.out.substr(0, u.out.find('\n')), c.prima_riga);
    EXPECT_EQ(test::nomi(dir.percorso()),
              (std::vector<std::string>{"Prova_7-.txt", "Prova_7.dat", "Prova_7.sim",
                                        "Prova_linea.dat", "Prova_linea.txt"}));
    EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.txt"), c.linea);
    EXPECT_EQ(leggi(dir.percorso() / "Prova_7-.txt"), c.treno);
    for (const std::string& b : binari) {
      EXPECT_EQ(leggi(dir.percorso() / b) != "vecchio", c.scritti) << b;
    }
    if (c.scritti) {
      EXPECT_EQ(leggi(dir.percorso() / "Prova_7.dat").size(), 15u * 181);
    }
  }
}

// The outputs of `compile` in the order it writes them.
const std::vector<std::string> kBinari = {"Prova_linea.dat", "Prova_7.sim", "Prova_7.dat"};

std::string vecchio(const std::string& nome) { return "vecchio " + nome; }

// Platform faults of `compile`. Every case runs in a folder of its own that
// holds the two sources and an older file under each output name.
class GuastoCompile : public Compile {
 protected:
  void SetUp() override {
    sorgenti(kLinea);
    for (const std::string& b : kBinari) test::scrivi(dir.percorso() / b, vecchio(b));
  }

  // The binaries of kLinea, compiled once in a folder of their own.
  static const std::string& finito(size_t i) {
    static const std::vector<std::string> attesi = [] {
      CartellaProva d;
      test::scrivi(d.percorso() / "Prova_linea.txt", kLinea);
      test::scrivi(d.percorso() / "Prova_7-.txt", kTreno);
      EXPECT_EQ(esegui("'" + kTool + "' compile Prova 7", d.percorso()).stato, 0);
      std::vector<std::string> a;
      a.reserve(kBinari.size());
      for (const std::string& b : kBinari) a.push_back(leggi(d.percorso() / b));
      return a;
    }();
    return attesi.at(i);
  }

  // The compile stopped on output f: it says which and why; the outputs
  // before f are finished, those after f keep their older content, the
  // sources stay, and nothing else is left. Output f is the caller's.
  void fermato_su(size_t f, const test::Uscita& u, int motivo) {
    SCOPED_TRACE(kBinari[f]);
    EXPECT_EQ(u.stato, 3) << u.err;
    EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=0 posizione_errore=0");
    EXPECT_NE(u.err.find(kBinari[f]), std::string::npos) << u.err;
    EXPECT_NE(u.err.find(std::strerror(motivo)), std::string::npos) << u.err;
    EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.txt"), kLinea);
    EXPECT_EQ(leggi(dir.percorso() / "Prova_7-.txt"), kTreno);
    for (size_t i = 0; i < kBinari.size(); ++i) {
      if (i != f) {
        EXPECT_EQ(leggi(dir.percorso() / kBinari[i]), i < f ? finito(i) : vecchio(kBinari[i]));
      }
    }
    EXPECT_EQ(test::nomi(dir.percorso()),
              (std::vector<std::string>{"Prova_7-.txt", "Prova_7.dat", "Prova_7.sim",
                                        "Prova_linea.dat", "Prova_linea.txt"}));
  }
};

// The same faults on each output in turn, each in a folder of its own.
class GuastoSuUnBinario : public GuastoCompile, public ::testing::WithParamInterface<size_t> {};

TEST_P(GuastoSuUnBinario, DirectoryUnderItsName) {
  const size_t f = GetParam();
  const fs::path ostacolo = dir.percorso() / kBinari[f];
  fs::remove(ostacolo);
  fs::create_directory(ostacolo);
  test::scrivi(ostacolo / "dentro", "resta");
  fermato_su(f, compila(), EISDIR);
  EXPECT_EQ(leggi(ostacolo / "dentro"), "resta");
}

TEST_P(GuastoSuUnBinario, ImmutableOlderFileStaysWhole) {
  const size_t f = GetParam();
  test::Immutabile blocco(dir.percorso() / kBinari[f]);
  if (!blocco.attivo()) GTEST_SKIP() << "chattr +i is not available here";
  fermato_su(f, compila(), EPERM);
  EXPECT_EQ(leggi(dir.percorso() / kBinari[f]), vecchio(kBinari[f]));
}

INSTANTIATE_TEST_SUITE_P(Binari, GuastoSuUnBinario, ::testing::Range<size_t>(0, 3),
                         [](const auto& info) {
                           std::string n = kBinari[info.param];
                           std::replace(n.begin(), n.end(), '.', '_');
                           return n;
                         });

TEST_F(GuastoCompile, FolderThatCannotBeWritten) {
  {
    test::Immutabile blocco(dir.percorso());
    if (!blocco.attivo()) GTEST_SKIP() << "chattr +i is not available here";
    fermato_su(0, compila(), EPERM);
    EXPECT_EQ(leggi(dir.percorso() / kBinari[0]), vecchio(kBinari[0]));
  }
  // A folder named through a regular file holds no sources: a data fault,
  // and nothing is written anywhere.
  const auto u = compila("--dir Prova_linea.txt/sotto");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=101 posizione_errore=0");
  EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.txt"), kLinea);
}

// A full disk, as a limit on the size of any file the tool writes.
TEST_F(GuastoCompile, FullDisk) {
  // The line plan (179964 bytes) does not fit in 100000.
  ASSERT_GT(finito(0).size(), 100000u);
  fermato_su(0, esegui("'" + kTool + "' compile Prova 7", dir.percorso(), 100000), EFBIG);
  EXPECT_EQ(leggi(dir.percorso() / kBinari[0]), vecchio(kBinari[0]));
}

TEST_F(GuastoCompile, FullDiskWithoutPlan) {
  // On a 200 km line the header file fits in 16 KB, the cell file (4141
  // cells) does not.
  sorgenti("[generale]\r\nlunghezza percorso, 200000\r\n[fine]\r\n");
  const auto u = esegui("'" + kTool + "' compile Prova 7 --no-plan", dir.percorso(), 16384);
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=0 posizione_errore=0");
  EXPECT_NE(u.err.find("Prova_7.dat"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find(std::strerror(EFBIG)), std::string::npos) << u.err;
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.sim").size(), 87u * 34 + 5 + 1);
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.dat"), vecchio("Prova_7.dat"));
  EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.dat"), vecchio("Prova_linea.dat"));
  EXPECT_EQ(test::nomi(dir.percorso()),
            (std::vector<std::string>{"Prova_7-.txt", "Prova_7.dat", "Prova_7.sim",
                                      "Prova_linea.dat", "Prova_linea.txt"}));
}

TEST_F(GuastoCompile, ReadOnlyOlderOutputsAreReplaced) {
  for (const std::string& b : kBinari) {
    fs::permissions(dir.percorso() / b, fs::perms::owner_read | fs::perms::group_read);
  }
  EXPECT_EQ(compila().stato, 0);
  for (size_t i = 0; i < kBinari.size(); ++i) {
    EXPECT_EQ(leggi(dir.percorso() / kBinari[i]), finito(i)) << kBinari[i];
  }
}

// Outputs that are symbolic links are replaced, never followed; sources
// that are links are read through them and left alone.
TEST_F(GuastoCompile, SymbolicLinks) {
  CartellaProva fuori;
  test::scrivi(fuori.percorso() / "linea.txt", kLinea);
  test::scrivi(fuori.percorso() / "treno.txt", kTreno);
  test::scrivi(fuori.percorso() / "Prova_linea.dat", "altrove");
  fs::create_directory(fuori.percorso() / "cartella");
  for (const char* s : {"Prova_linea.txt", "Prova_7-.txt"}) fs::remove(dir.percorso() / s);
  fs::create_symlink(fuori.percorso() / "linea.txt", dir.percorso() / "Prova_linea.txt");
  fs::create_symlink(fuori.percorso() / "treno.txt", dir.percorso() / "Prova_7-.txt");
  for (const std::string& b : kBinari) fs::remove(dir.percorso() / b);
  fs::create_symlink(fuori.percorso() / "Prova_linea.dat", dir.percorso() / kBinari[0]);
  fs::create_symlink(fuori.percorso() / "Prova_7.sim", dir.percorso() / kBinari[1]);  // dangling
  fs::create_directory_symlink(fuori.percorso() / "cartella", dir.percorso() / kBinari[2]);

  const auto u = compila();
  EXPECT_EQ(u.stato, 0) << u.err;
  for (size_t i = 0; i < kBinari.size(); ++i) {
    EXPECT_FALSE(fs::is_symlink(dir.percorso() / kBinari[i])) << kBinari[i];
    EXPECT_EQ(leggi(dir.percorso() / kBinari[i]), finito(i)) << kBinari[i];
  }
  EXPECT_TRUE(fs::is_symlink(dir.percorso() / "Prova_linea.txt"));
  EXPECT_TRUE(fs::is_symlink(dir.percorso() / "Prova_7-.txt"));
  EXPECT_EQ(test::nomi(fuori.percorso()),
            (std::vector<std::string>{"Prova_linea.dat", "cartella", "linea.txt", "treno.txt"}));
  EXPECT_EQ(leggi(fuori.percorso() / "Prova_linea.dat"), "altrove");
  EXPECT_EQ(leggi(fuori.percorso() / "linea.txt"), kLinea);
  EXPECT_TRUE(fs::is_empty(fuori.percorso() / "cartella"));
}

// emit under another identity's names: the carried bytes, never over a
// text that is already there unless --force is given.
TEST(Emit, AnotherIdentityAndNoSilentReplacement) {
  CartellaProva portato;
  ASSERT_EQ(esegui("'" + kTool + "' emit", portato.percorso()).stato, 0);
  CartellaProva dir;
  const std::string emit = "'" + kTool + "' emit --linea Mia_Linea --treno 101";
  ASSERT_EQ(esegui(emit, dir.percorso()).stato, 0);
  const std::vector<std::string> nomi = {"Mia_Linea_101-.txt", "Mia_Linea_101_note.txt",
                                         "Mia_Linea_101_rallentamenti.txt",
                                         "Mia_Linea_101_scheda_treno.txt", "Mia_Linea_linea.txt"};
  ASSERT_EQ(test::nomi(dir.percorso()), nomi);
  EXPECT_EQ(leggi(dir.percorso() / "Mia_Linea_linea.txt"),
            leggi(portato.percorso() / "Lanvero_Ostrel_linea.txt"));
  EXPECT_EQ(leggi(dir.percorso() / "Mia_Linea_101-.txt"),
            leggi(portato.percorso() / "Lanvero_Ostrel_24817-.txt"));

  // An author's edit survives a second emit; one existing text is enough to
  // refuse them all.
  test::scrivi(dir.percorso() / "Mia_Linea_101-.txt", "modificato");
  fs::remove(dir.percorso() / "Mia_Linea_linea.txt");
  const auto rifiutato = esegui(emit, dir.percorso());
  EXPECT_EQ(rifiutato.stato, 1);
  EXPECT_NE(rifiutato.err.find("Mia_Linea_101-.txt esiste gia'"), std::string::npos)
      << rifiutato.err;
  EXPECT_NE(rifiutato.err.find("nessun file scritto"), std::string::npos) << rifiutato.err;
  EXPECT_EQ(leggi(dir.percorso() / "Mia_Linea_101-.txt"), "modificato");
  EXPECT_FALSE(fs::exists(dir.percorso() / "Mia_Linea_linea.txt"));

  EXPECT_EQ(esegui(emit + " --force", dir.percorso()).stato, 0);
  EXPECT_EQ(test::nomi(dir.percorso()), nomi);
  EXPECT_EQ(leggi(dir.percorso() / "Mia_Linea_101-.txt"),
            leggi(portato.percorso() / "Lanvero_Ostrel_24817-.txt"));

  // The carried names are protected the same way.
  EXPECT_EQ(esegui("'" + kTool + "' emit", portato.percorso()).stato, 1);
}

TEST(Uso, BadCommandLines) {
  CartellaProva dir;
  const char* casi[] = {
      "",
      "boh",
      "compile",
      "compile Prova",
      "compile Prova 7 8",
      "compile ../x 7",
      "compile 'a b' 7",
      "compile a\\\\b 7",
      "compile c: 7",
      "compile Prova \"$(printf '\\350')\"",  // a byte beyond ASCII
      "compile Prova 7 --dir",
      "compile Prova 7 --piano",
      "emit extra",
      "emit --no-plan",
      "emit --linea a/b",
      "emit --treno ''",
      "emit --linea",
  };
  for (const char* c : casi) {
    const auto u = esegui("'" + kTool + "' " + c, dir.percorso());
    EXPECT_EQ(u.stato, 64) << c;
    EXPECT_NE(u.err.find("scenario compile"), std::string::npos) << c;
  }
  EXPECT_TRUE(test::nomi(dir.percorso()).empty());
}

TEST(Uso, Help) {
  CartellaProva dir;
  const auto u = esegui("'" + kTool + "' --help", dir.percorso());
  EXPECT_EQ(u.stato, 0);
  EXPECT_NE(u.out.find("scenario compile LINEA TRENO [--dir DIR] [--no-plan]"), std::string::npos);
  EXPECT_NE(u.out.find("scenario emit [--dir DIR]"), std::string::npos);
}

TEST(Uso, VersionAndTheHelpOfOneCommand) {
  CartellaProva dir;
  const auto v = esegui("'" + kTool + "' --version", dir.percorso());
  EXPECT_EQ(v.stato, 0);
  EXPECT_EQ(v.out.rfind("scenario ", 0), 0u) << v.out;
  const auto h = esegui("'" + kTool + "' compile --help", dir.percorso());
  EXPECT_EQ(h.stato, 0);
  EXPECT_EQ(h.out.rfind("Uso: scenario compile LINEA TRENO [--dir DIR] [--no-plan]\n", 0), 0u)
      << h.out;
  EXPECT_NE(h.out.find("--no-plan"), std::string::npos);
  EXPECT_TRUE(test::nomi(dir.percorso()).empty());
}

// Output that cannot be written is a failure, never a silent success.
TEST(Uso, UnwritableStandardOutputIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  CartellaProva dir;
  for (const char* c : {"--help", "--version", "compile --help"}) {
    const auto u = esegui("{ '" + kTool + "' " + c + " >/dev/full; }", dir.percorso());
    EXPECT_EQ(u.stato, 3) << c;
    EXPECT_NE(u.err.find("standard output"), std::string::npos) << c << ": " << u.err;
  }
}

}  // namespace
}  // namespace scenario

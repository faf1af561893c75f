// The author tool, run as its users run it.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <thread>

#include "platform/blocco_cartella.h"
#include "platform/scrittura.h"
#include "tests/support/cartella.h"
#include "tests/support/chiamate.h"
#include "tests/support/compila.h"
#include "tests/support/esegui.h"
#include "tests/support/protezione.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::leggi;

const std::string kTool = SCENARIO_TOOL_PATH;

const char kLinea[] =
    "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
    "indicatori_vmax,  1250,  110,  120,  125,  0,  110,  120,  125,  0\r\n[fine]\r\n";
const char kTreno[] = "[generale]\r\n[fine]\r\n";
// What compile prints after its first line when the system stopped it.
const std::string kInterrotta = "compilazione interrotta da un errore del sistema\n";

class Compile : public ::testing::Test {
 protected:
  void sorgenti(const std::string& linea, const std::string& treno = kTreno) {
    test::scrivi(dir.percorso() / "Prova_linea.txt", linea);
    test::scrivi(dir.percorso() / "Prova_7-.txt", treno);
  }
  test::Uscita compila(const std::string& opzioni = "") {
    return esegui(avvio(kTool, "compile Prova 7 " + opzioni), dir.percorso());
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
  const auto u = esegui(avvio(kTool, "compile --no-plan --dir . Prova 7"), dir.percorso());
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
  EXPECT_EQ(
      righe(timbro.out),
      (std::vector<std::string>{
          "numero_errore=0 posizione_errore=0",
          "./Prova_7-.txt:3:16: error: timbro di formato gia' presente: la cella 1, riservata "
          "al "
          "timbro di formato, contiene gia' 60, scritto da rallentamento di riga 3, che "
          "cade nella cella 1 [errore 1250]",
          "nessun file scritto"}));

  // A cell taken by a record of the other file names that file.
  sorgenti(kLinea, "[generale]\r\n[segnali]\r\nsegnale, 1250, 1, 4, 1, 0, 0, 0, 0,0,0, 0\r\n");
  EXPECT_EQ(righe(compila().out).at(1),
            "Prova_7-.txt:3:10: error: segnale su una cella occupata: la cella 26 ha gia' "
            "indicatori_vmax di riga 4 di Prova_linea.txt (posizione 1250 m) [errore 16]");

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
  // The first line all the same: nothing was compiled, nothing recorded.
  EXPECT_EQ(l.out, "numero_errore=0 posizione_errore=0\n" + kInterrotta);
  EXPECT_EQ(l.err, "scenario compile: impossibile leggere ./Prova_linea.txt: " +
                       scenario::motivo_errno(EISDIR) + "\n");
  fs::remove(dir.percorso() / "Prova_linea.txt");
  // An output that cannot be replaced: the message names it, and the
  // others are not made either.
  sorgenti(kLinea);
  fs::create_directory(dir.percorso() / "Prova_7.dat");
  const auto u = compila();
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.out, "numero_errore=0 posizione_errore=0\n" + kInterrotta);
  EXPECT_EQ(u.err, "scenario compile: impossibile scrivere ./Prova_7.dat: " +
                       scenario::motivo_errno(EISDIR) + "\n");
  EXPECT_FALSE(fs::exists(dir.percorso() / "Prova_7.sim"));
  EXPECT_FALSE(fs::exists(dir.percorso() / "Prova_linea.dat"));
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
    const auto u = esegui(avvio(kTool, "compile Prova 7"), dir.percorso());
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

// The outputs of `compile` in the order it writes them, the header last.
const std::vector<std::string> kBinari = {"Prova_linea.dat", "Prova_7.dat", "Prova_7.sim"};

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
      EXPECT_EQ(esegui(avvio(kTool, "compile Prova 7"), d.percorso()).stato, 0);
      std::vector<std::string> a;
      a.reserve(kBinari.size());
      for (const std::string& b : kBinari) a.push_back(leggi(d.percorso() / b));
      return a;
    }();
    return attesi.at(i);
  }

  // The compile stopped on output f: it says which and why; the other
  // outputs keep their older content (the three go as one set), the
  // sources stay, and nothing else is left. Output f is the caller's.
  void fermato_su(size_t f, const test::Uscita& u, int motivo) {
    SCOPED_TRACE(kBinari[f]);
    EXPECT_EQ(u.stato, 3) << u.err;
    EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=0 posizione_errore=0");
    EXPECT_NE(u.err.find(kBinari[f]), std::string::npos) << u.err;
    EXPECT_NE(u.err.find(scenario::motivo_errno(motivo)), std::string::npos) << u.err;
    EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.txt"), kLinea);
    EXPECT_EQ(leggi(dir.percorso() / "Prova_7-.txt"), kTreno);
    for (size_t i = 0; i < kBinari.size(); ++i) {
      if (i != f) {
        EXPECT_EQ(leggi(dir.percorso() / kBinari[i]), vecchio(kBinari[i]));
      }
    }
    EXPECT_EQ(test::nomi(dir.percorso()),
              (std::vector<std::string>{"Prova_7-.txt", "Prova_7.dat", "Prova_7.sim",
                                        "Prova_linea.dat", "Prova_linea.txt"}));
  }
};

// `compile` on the layer with the test fault hook: each read, deletion,
// rename and flush of a run fails in turn, once. A source that cannot be
// read is the system's failure, never fault 25; after any one failure the
// three outputs are all older or all new, the sources stay, and the
// message names the file (or the folder) and the reason.
TEST_F(GuastoCompile, EverySystemCallFailsInTurn) {
  const std::string kToolProva = SCENARIO_TOOL_PROVA_PATH;
  std::vector<test::ChiamataContata> chiamate;
  {
    CartellaProva d;
    test::scrivi(d.percorso() / "Prova_linea.txt", kLinea);
    test::scrivi(d.percorso() / "Prova_7-.txt", kTreno);
    for (const std::string& b : kBinari) test::scrivi(d.percorso() / b, vecchio(b));
    CartellaProva registro;
    test::Avvio a = avvio(kToolProva, "compile Prova 7 --dir " + d.percorso().string());
    a.ambiente = {{"SCENARIO_PROVA_TRACCIA", (registro / "chiamate").string()}};
    ASSERT_EQ(esegui(a, d.percorso()).stato, 0);
    chiamate = test::leggi_chiamate(leggi(registro / "chiamate"), d.percorso());
  }
  std::map<std::string, int> per_tipo;
  for (const test::ChiamataContata& c : chiamate) ++per_tipo[c.tipo];
  // The two sources read and deleted (the compile's copies of them), the
  // three renames and flushes, the folder's flush, the three older copies
  // deleted.
  EXPECT_EQ(per_tipo["lettura"], 2);
  EXPECT_EQ(per_tipo["rinomina"], 3);
  EXPECT_EQ(per_tipo["flush"], 3 + 1);
  EXPECT_EQ(per_tipo["eliminazione"], 2 + 3);
  const int motivi[] = {EIO, EACCES, EBUSY, ENOSPC};
  for (const test::ChiamataContata& c : chiamate) {
    const int e = motivi[static_cast<size_t>(c.numero) % std::size(motivi)];
    SCOPED_TRACE(std::to_string(c.numero) + " " + c.tipo + " " + c.percorso.string() + ": " +
                 scenario::motivo_errno(e));
    CartellaProva d;
    test::scrivi(d.percorso() / "Prova_linea.txt", kLinea);
    test::scrivi(d.percorso() / "Prova_7-.txt", kTreno);
    for (const std::string& b : kBinari) test::scrivi(d.percorso() / b, vecchio(b));
    test::Avvio a = avvio(kToolProva, "compile Prova 7 --dir " + d.percorso().string());
    a.ambiente = {test::guasto_alla(c.numero, e)};
    const test::Uscita u = esegui(a, d.percorso());
    EXPECT_EQ(u.stato, 3) << u.out << u.err;
    EXPECT_EQ(u.err.rfind("scenario compile: impossibile ", 0), 0u) << u.err;
    EXPECT_NE(u.err.find(std::string(": ") + scenario::motivo_errno(e)), std::string::npos)
        << u.err;
    const bool temporaneo = nome_temporaneo(c.percorso.filename().string());
    EXPECT_NE(u.err.find(test::nominato(c, d.percorso(), temporaneo, kPrefissoTemporaneo).string()),
              std::string::npos)
        << u.err;
    size_t vecchi = 0;
    size_t nuovi = 0;
    for (size_t i = 0; i < kBinari.size(); ++i) {
      const std::string bytes = leggi(d.percorso() / kBinari[i]);
      vecchi += bytes == vecchio(kBinari[i]);
      nuovi += bytes == finito(i);
    }
    EXPECT_TRUE(vecchi == 3 || nuovi == 3) << vecchi << " older, " << nuovi << " new";
    if (c.tipo == "lettura") {
      EXPECT_EQ(vecchi, 3u);
      EXPECT_EQ(u.out.find("numero_errore"), std::string::npos) << u.out;
    }
    EXPECT_EQ(leggi(d.percorso() / "Prova_linea.txt"), kLinea);
    EXPECT_EQ(leggi(d.percorso() / "Prova_7-.txt"), kTreno);
  }
}

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

TEST_P(GuastoSuUnBinario, ProtectedOlderFileStaysWhole) {
  const size_t f = GetParam();
  test::Protezione blocco(dir.percorso() / kBinari[f]);
  if (!blocco.attiva()) GTEST_SKIP() << blocco.perche_no();
  fermato_su(f, compila(), blocco.errno_atteso());
  EXPECT_EQ(leggi(dir.percorso() / kBinari[f]), vecchio(kBinari[f]));
}

INSTANTIATE_TEST_SUITE_P(Binari, GuastoSuUnBinario, ::testing::Range<size_t>(0, 3),
                         [](const auto& info) {
                           std::string n = kBinari[info.param];
                           std::replace(n.begin(), n.end(), '.', '_');
                           return n;
                         });

TEST_F(GuastoCompile, FolderThatCannotBeWritten) {
  test::Protezione blocco(dir.percorso());
  if (!blocco.attiva()) GTEST_SKIP() << blocco.perche_no();
  fermato_su(0, compila(), blocco.errno_atteso());
  EXPECT_EQ(leggi(dir.percorso() / kBinari[0]), vecchio(kBinari[0]));
}

// DIR that is missing or not a folder: status 3, and the message names it;
// an empty DIR is a bad command line. Nothing is written anywhere. The same
// for every command that takes a folder.
TEST_F(GuastoCompile, DirThatIsNoFolder) {
  struct Caso {
    std::string dir;
    int stato;
    std::string nominato;
    int motivo;
  };
  const Caso casi[] = {
      {"manca", 3, "manca", ENOENT},
      {"Prova_linea.txt", 3, "Prova_linea.txt", ENOTDIR},
      {"Prova_linea.txt/sotto", 3, "Prova_linea.txt/sotto", ENOTDIR},
      {"''", 64, "--dir", 0},
      {"=", 64, "--dir", 0},
  };
  const std::vector<std::string> prima = test::nomi(dir.percorso());
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.dir);
    const auto u = compila(c.dir == "=" ? "--dir=" : "--dir " + c.dir);
    EXPECT_EQ(u.stato, c.stato) << u.err;
    EXPECT_EQ(u.out, "");
    EXPECT_NE(u.err.find(c.nominato), std::string::npos) << u.err;
    if (c.motivo != 0) {
      EXPECT_EQ(u.err, "scenario compile: impossibile usare la cartella " + c.nominato + ": " +
                           scenario::motivo_errno(c.motivo) + "\n");
    }
    const std::string opzione = c.dir == "=" ? "--dir=" : "--dir " + c.dir;
    // The commands that only read there refuse it alike.
    for (const std::string comando : {"emit", "check Prova 7", "pack Prova 7", "plot Prova 7"}) {
      const auto e = esegui(avvio(kTool, comando + " " + opzione), dir.percorso());
      EXPECT_EQ(e.stato, c.stato) << comando << ": " << e.err;
      EXPECT_EQ(e.out, "") << comando;
      EXPECT_NE(e.err.find(c.nominato), std::string::npos) << comando << ": " << e.err;
      if (c.motivo != 0) {
        EXPECT_EQ(e.err, "scenario " + comando.substr(0, comando.find(' ')) +
                             ": impossibile usare la cartella " + c.nominato + ": " +
                             scenario::motivo_errno(c.motivo) + "\n")
            << comando;
      }
    }
  }
  EXPECT_EQ(test::nomi(dir.percorso()), prima);
  EXPECT_EQ(leggi(dir.percorso() / "Prova_linea.txt"), kLinea);
}

// A full disk, as a limit on the size of any file the tool writes.
TEST_F(GuastoCompile, FullDisk) {
  // The line plan (179964 bytes) does not fit in 100000.
  ASSERT_GT(finito(0).size(), 100000u);
  test::Avvio a = avvio(kTool, "compile Prova 7");
  a.limite_file = 100000;
  fermato_su(0, esegui(a, dir.percorso()), EFBIG);
  EXPECT_EQ(leggi(dir.percorso() / kBinari[0]), vecchio(kBinari[0]));
}

TEST_F(GuastoCompile, FullDiskWithoutPlan) {
  // On a 200 km line the header file fits in 16 KB, the cell file (4141
  // cells) does not: neither is replaced.
  sorgenti("[generale]\r\nlunghezza percorso, 200000\r\n[fine]\r\n");
  test::Avvio a = avvio(kTool, "compile Prova 7 --no-plan");
  a.limite_file = 16384;
  const auto u = esegui(a, dir.percorso());
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=0 posizione_errore=0");
  EXPECT_NE(u.err.find("Prova_7.dat"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find(scenario::motivo_errno(EFBIG)), std::string::npos) << u.err;
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.sim"), vecchio("Prova_7.sim"));
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
  ASSERT_EQ(esegui(avvio(kTool, "emit"), portato.percorso()).stato, 0);
  CartellaProva dir;
  const test::Avvio emit = avvio(kTool, "emit --linea Mia_Linea --treno 101");
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

  test::Avvio forzato = emit;
  forzato.argomenti.push_back("--force");
  EXPECT_EQ(esegui(forzato, dir.percorso()).stato, 0);
  EXPECT_EQ(test::nomi(dir.percorso()), nomi);
  EXPECT_EQ(leggi(dir.percorso() / "Mia_Linea_101-.txt"),
            leggi(portato.percorso() / "Lanvero_Ostrel_24817-.txt"));

  // The carried names are protected the same way.
  EXPECT_EQ(esegui(avvio(kTool, "emit"), portato.percorso()).stato, 1);
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
    const auto u = esegui(avvio(kTool, c), dir.percorso());
    EXPECT_EQ(u.stato, 64) << c;
    EXPECT_NE(u.err.find("\n\nUso:"), std::string::npos) << c;
  }
  EXPECT_TRUE(test::nomi(dir.percorso()).empty());
}

// A bad command line says what is wrong and what was probably meant, then
// the usage of that command alone; with no command known, the tool's.
TEST(Uso, MistypedWordsAreNamedWithWhatWasMeant) {
  CartellaProva dir;
  struct Caso {
    const char* riga;
    std::string err;  // the first line
    const char* uso;  // what the next lines start with
  };
  const Caso casi[] = {
      {"chek Prova 7", "scenario: comando sconosciuto: chek (forse 'check'?)", "Uso:\n  scenario "},
      {"chek", "scenario: comando sconosciuto: chek (forse 'check'?)", "Uso:\n  scenario "},
      {"compil Prova 7", "scenario: comando sconosciuto: compil (forse 'compile'?)",
       "Uso:\n  scenario "},
      {"boh", "scenario: comando sconosciuto: boh", "Uso:\n  scenario "},
      {"check Prova 7 -Wno-grigila",
       "scenario check: avviso sconosciuto: -Wno-grigila (forse '-Wno-griglia'?)",
       "Uso: scenario check LINEA TRENO "},
      {"pack Prova 7 -Werror=parola-sconsciuta",
       "scenario pack: avviso sconosciuto: -Werror=parola-sconsciuta (forse "
       "'-Werror=parola-sconosciuta'?)",
       "Uso: scenario pack LINEA TRENO "},
      {"check Prova 7 --formt=json",
       "scenario check: opzione sconosciuta: --formt=json (forse '--format'?)",
       "Uso: scenario check LINEA TRENO "},
      {"check Prova 7 -Werorr", "scenario check: opzione sconosciuta: -Werorr (forse '-Werror'?)",
       "Uso: scenario check LINEA TRENO "},
      {"check Prova 7 extra", "scenario check: argomento in piu': extra (check vuole LINEA TRENO)",
       "Uso: scenario check LINEA TRENO "},
      {"check Prova", "scenario check: argomenti mancanti: check vuole LINEA TRENO",
       "Uso: scenario check LINEA TRENO "},
      {"plot Prova 7 --outptu x.svg",
       "scenario plot: opzione sconosciuta: --outptu (forse '--output'?)",
       "Uso: scenario plot LINEA TRENO "},
      {"emit --froce", "scenario emit: opzione sconosciuta: --froce (forse '--force'?)",
       "Uso: scenario emit [--dir DIR] "},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.riga);
    const auto u = esegui(avvio(kTool, c.riga), dir.percorso());
    EXPECT_EQ(u.stato, 64);
    EXPECT_EQ(u.out, "");
    const std::string atteso = c.err + "\n\n" + c.uso;
    EXPECT_EQ(u.err.substr(0, atteso.size()), atteso) << u.err;
    // One command's usage names no other.
    if (std::string_view(c.uso).starts_with("Uso: ")) {
      EXPECT_EQ(std::count(u.err.begin(), u.err.end(), '\n'), 4) << u.err;
    }
  }
  EXPECT_TRUE(test::nomi(dir.percorso()).empty());
}

TEST(Uso, Help) {
  CartellaProva dir;
  const auto u = esegui(avvio(kTool, "--help"), dir.percorso());
  EXPECT_EQ(u.stato, 0);
  EXPECT_NE(u.out.find("scenario compile LINEA TRENO [--dir DIR] [--no-plan]"), std::string::npos);
  EXPECT_NE(u.out.find("scenario emit [--dir DIR]"), std::string::npos);
  EXPECT_NE(u.out.find("scenario watch LINEA TRENO [--dir DIR]\n"), std::string::npos) << u.out;
  // No command's line names the identity twice.
  EXPECT_EQ(u.out.find("LINEA TRENO LINEA TRENO"), std::string::npos) << u.out;
}

// Output that cannot be written is a platform failure, never a silent
// success; `compile` then writes no binary file.
TEST(Uscita, StandardOutputThatCannotBeWritten) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  CartellaProva dir;
  test::scrivi(dir.percorso() / "Prova_linea.txt", kLinea);
  test::scrivi(dir.percorso() / "Prova_7-.txt", kTreno);
  const std::string atteso =
      ": impossibile scrivere lo standard output: " + scenario::motivo_errno(ENOSPC) + "\n";
  const std::pair<const char*, const char*> casi[] = {{"compile Prova 7", "scenario compile"},
                                                      {"--help", "scenario"}};
  for (const auto& [comando, prefisso] : casi) {
    SCOPED_TRACE(comando);
    test::Avvio a = avvio(kTool, comando);
    a.uscita = "/dev/full";
    const auto u = esegui(a, dir.percorso());
    EXPECT_EQ(u.stato, 3);
    EXPECT_EQ(u.err, prefisso + atteso);
  }
  EXPECT_EQ(test::nomi(dir.percorso()),
            (std::vector<std::string>{"Prova_7-.txt", "Prova_linea.txt"}));
}

// Names are checked against the folder's own limit before anything: a long
// identity whose names fit compiles (its temporary names are short), one
// whose names do not fit is a bad command line and touches nothing.
TEST(Nomi, IdentityIsCheckedAgainstTheFolderLimit) {
  CartellaProva dir;
  const long limite = pathconf(dir.percorso().c_str(), _PC_NAME_MAX);
  ASSERT_GT(limite, 60);
  // The train source, LINEA_TRENO-.txt, is the longest name compile uses.
  const std::string linea(static_cast<size_t>(limite) - 60, 'L');
  const std::string entra(50, '4');  // 60 - 50 - 6 bytes to spare
  const std::string fuori(55, '4');  // one byte too many
  test::scrivi(dir.percorso() / (linea + "_linea.txt"), kLinea);
  test::scrivi(dir.percorso() / (linea + "_" + entra + "-.txt"), kTreno);
  const auto u = esegui(avvio(kTool, "compile " + linea + " " + entra), dir.percorso());
  EXPECT_EQ(u.stato, 0) << u.err;
  for (const std::string& b :
       {linea + "_linea.dat", linea + "_" + entra + ".sim", linea + "_" + entra + ".dat"}) {
    EXPECT_TRUE(fs::is_regular_file(dir.percorso() / b)) << b;
  }
  const std::vector<std::string> prima = test::nomi(dir.percorso());
  const auto v = esegui(avvio(kTool, "compile " + linea + " " + fuori), dir.percorso());
  EXPECT_EQ(v.stato, 64);
  EXPECT_EQ(v.out, "");
  EXPECT_NE(v.err.find(linea + "_" + fuori + "-.txt"), std::string::npos) << v.err;
  EXPECT_NE(v.err.find(std::to_string(limite + 1) + " caratteri"), std::string::npos) << v.err;
  EXPECT_EQ(test::nomi(dir.percorso()), prima);
  // emit writes the same names: the same bad command line, the same status.
  const auto w =
      esegui(avvio(kTool, "emit --linea " + linea + " --treno " + fuori), dir.percorso());
  EXPECT_EQ(w.stato, 64) << w.err;
  EXPECT_EQ(w.err.rfind("scenario emit: ", 0), 0u) << w.err;
  EXPECT_EQ(test::nomi(dir.percorso()), prima);
}

// Running out of memory names the file being read: status 3, the first
// line and that the run was stopped, nothing written.
TEST(Memoria, OutOfMemoryNamesTheFileBeingRead) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  CartellaProva dir;
  test::scrivi(dir.percorso() / "Prova_linea.txt", kLinea + std::string(100 << 20, ' '));
  test::scrivi(dir.percorso() / "Prova_7-.txt", kTreno);
  test::Avvio a = avvio(kTool, "compile Prova 7");
  a.limite_memoria = 64 << 20;
  const auto u = esegui(a, dir.percorso());
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.out, "numero_errore=0 posizione_errore=0\n" + kInterrotta);
  EXPECT_EQ(u.err, "scenario compile: impossibile leggere " +
                       (fs::path(".") / "Prova_linea.txt").string() + ": memoria esaurita\n");
  EXPECT_EQ(test::nomi(dir.percorso()),
            (std::vector<std::string>{"Prova_7-.txt", "Prova_linea.txt"}));
#endif
}

// The plan is written as it is traced, never held whole: the longest line
// compiles, and writes its 20 MB plan, in less address space than that.
TEST(Memoria, TheLongestPlanNeedsNoMemoryOfItsSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  CartellaProva dir;
  test::scrivi(dir.percorso() / "Prova_linea.txt",
               "[generale]\r\nlunghezza percorso, 1000000\r\n[fine]\r\n");
  test::scrivi(dir.percorso() / "Prova_7-.txt", kTreno);
  test::Avvio a = avvio(kTool, "compile Prova 7");
  a.limite_memoria = 16 << 20;
  const auto u = esegui(a, dir.percorso());
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(fs::file_size(dir.percorso() / "Prova_linea.dat"), 20139964u);
#endif
}

// `compile` waits while another run holds the folder, then compiles.
TEST(Concorrenza, CompileWaitsForTheFolder) {
  CartellaProva dir;
  test::scrivi(dir.percorso() / "Prova_linea.txt", kLinea);
  test::scrivi(dir.percorso() / "Prova_7-.txt", kTreno);
  auto blocco = std::make_unique<BloccoCartella>(dir.percorso(), std::chrono::milliseconds(0));
  std::thread liberatore([&blocco] {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    blocco.reset();
  });
  const auto inizio = std::chrono::steady_clock::now();
  const auto u = esegui(avvio(kTool, "compile Prova 7"), dir.percorso());
  const auto durata = std::chrono::steady_clock::now() - inizio;
  liberatore.join();
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_GE(durata, std::chrono::milliseconds(700));
  EXPECT_TRUE(fs::exists(dir.percorso() / "Prova_7.sim"));
}

TEST(Uso, VersionAndTheHelpOfOneCommand) {
  CartellaProva dir;
  const auto v = esegui(avvio(kTool, "--version"), dir.percorso());
  EXPECT_EQ(v.stato, 0);
  EXPECT_EQ(v.out.rfind("scenario ", 0), 0u) << v.out;
  const auto h = esegui(avvio(kTool, "compile --help"), dir.percorso());
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
    test::Avvio a = avvio(kTool, c);
    a.uscita = "/dev/full";
    const auto u = esegui(a, dir.percorso());
    EXPECT_EQ(u.stato, 3) << c;
    EXPECT_NE(u.err.find("standard output"), std::string::npos) << c << ": " << u.err;
  }
}

// A train file in which no field holds "[generale]" fails exactly as a
// missing train file: code 25, and the same three files. A train file whose
// last field is the heading is no fault.
TEST(Treno, WithoutItsHeadingFailsAsAMissingTrainFile) {
  const auto compila = [](const std::optional<std::string>& treno, test::Uscita* u) {
    CartellaProva dir;
    test::scrivi(dir.percorso() / "Prova_linea.txt", kLinea);
    if (treno) test::scrivi(dir.percorso() / "Prova_7-.txt", *treno);
    *u = esegui(avvio(kTool, "compile Prova 7"), dir.percorso());
    std::vector<std::string> binari;
    for (const std::string& b : kBinari) binari.push_back(leggi(dir.percorso() / b));
    return binari;
  };
  test::Uscita u;
  const std::vector<std::string> senza_treno = compila(std::nullopt, &u);
  ASSERT_EQ(u.stato, 1);
  ASSERT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=25 posizione_errore=0");
  std::string rumore(20 << 10, '\0');
  uint32_t x = 7;
  for (char& c : rumore) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  for (const std::string& treno : {std::string("x"), rumore, std::string("velocita, 0, 30\r\n")}) {
    SCOPED_TRACE(treno.substr(0, 20));
    ASSERT_EQ(rumore.find("[generale]"), std::string::npos);
    EXPECT_EQ(compila(treno, &u), senza_treno);
    EXPECT_EQ(u.stato, 1);
    EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=25 posizione_errore=0");
  }
  compila(std::string("velocita\r\n[GENERALE]"), &u);
  EXPECT_EQ(u.stato, 0) << u.out;
}

// A number beyond its place is shown in full in the report, as written.
TEST(Numeri, OutOfRangeValueIsShownInFull) {
  CartellaProva dir;
  const std::string nove(10000, '9');
  test::scrivi(dir.percorso() / "Prova_linea.txt",
               "[generale]\r\nlunghezza percorso, " + nove + "\r\n[fine]\r\n");
  test::scrivi(dir.percorso() / "Prova_7-.txt", kTreno);
  const auto u = esegui(avvio(kTool, "compile Prova 7"), dir.percorso());
  EXPECT_EQ(u.stato, 1);
  EXPECT_NE(u.out.find("Prova_linea.txt:2:21: error: dato illeggibile o fuori dai limiti: valore " +
                       nove + " fuori dai limiti"),
            std::string::npos)
      << u.out.substr(0, 300);
}

}  // namespace
}  // namespace scenario

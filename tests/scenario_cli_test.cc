// The author tool, run as its users run it.
#include <gtest/gtest.h>

#include "app/cartella_prova.h"
#include "tests/esegui.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::CartellaProva;
using prova::leggi;
using testing::esegui;

const std::string kTool = SCENARIO_TOOL_PATH;

const char kLinea[] =
    "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
    "indicatori_vmax,  1250,  110,  120,  125,  0,  110,  120,  125,  0\r\n[fine]\r\n";
const char kTreno[] = "[generale]\r\n[fine]\r\n";

class Compile : public ::testing::Test {
 protected:
  void sorgenti(const std::string& linea, const std::string& treno = kTreno) {
    prova::scrivi(dir.percorso() / "Prova_linea.txt", linea);
    prova::scrivi(dir.percorso() / "Prova_7-.txt", treno);
  }
  testing::Uscita compila(const std::string& opzioni = "") {
    return esegui("'" + kTool + "' compile Prova 7 " + opzioni, dir.percorso());
  }
  CartellaProva dir;
};

TEST_F(Compile, WritesTheBinariesAndKeepsTheSources) {
  sorgenti(kLinea);
  const auto u = compila();
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out.substr(0, u.out.find('\n')), "numero_errore=0 posizione_errore=0");
  EXPECT_EQ(prova::nomi(dir.percorso()),
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
  EXPECT_TRUE(prova::nomi(dir.percorso()).empty());
}

TEST_F(Compile, StampFaultWritesNothing) {
  sorgenti(
      "[generale]\r\nlunghezza percorso,    2000\r\n[cartelli]\r\n"
      "indicatori_vmax,  0,  1,  0,  0,  0,  0,  0,  0,  0\r\n[fine]\r\n");
  prova::scrivi(dir.percorso() / "Prova_7.dat", "vecchio");
  const auto u = compila();
  EXPECT_EQ(u.stato, 2);
  EXPECT_EQ(u.err, " Errore n. 1250\n");
  EXPECT_EQ(leggi(dir.percorso() / "Prova_7.dat"), "vecchio");
  EXPECT_FALSE(fs::exists(dir.percorso() / "Prova_7.sim"));
}

TEST_F(Compile, PlatformFailures) {
  // A source that is there but cannot be read.
  fs::create_directory(dir.percorso() / "Prova_linea.txt");
  EXPECT_EQ(compila().stato, 3);
  fs::remove(dir.percorso() / "Prova_linea.txt");
  // An output that cannot be replaced: the message names it.
  sorgenti(kLinea);
  fs::create_directory(dir.percorso() / "Prova_7.dat");
  const auto u = compila();
  EXPECT_EQ(u.stato, 3);
  EXPECT_NE(u.err.find("Prova_7.dat"), std::string::npos) << u.err;
  EXPECT_TRUE(fs::exists(dir.percorso() / "Prova_7.sim"));  // finished before
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
  };
  for (const char* c : casi) {
    const auto u = esegui("'" + kTool + "' " + c, dir.percorso());
    EXPECT_EQ(u.stato, 64) << c;
    EXPECT_NE(u.err.find("scenario compile"), std::string::npos) << c;
  }
  EXPECT_TRUE(prova::nomi(dir.percorso()).empty());
}

TEST(Uso, Help) {
  CartellaProva dir;
  const auto u = esegui("'" + kTool + "' --help", dir.percorso());
  EXPECT_EQ(u.stato, 0);
  EXPECT_NE(u.out.find("scenario compile LINEA TRENO [--dir DIR] [--no-plan]"), std::string::npos);
  EXPECT_NE(u.out.find("scenario emit [--dir DIR]"), std::string::npos);
}

}  // namespace
}  // namespace scenario

// The installer, copied into a fresh folder and started there as its users
// start it.
#include <gtest/gtest.h>

#include "app/cartella_prova.h"
#include "tests/esegui.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::CartellaProva;
using prova::leggi;

const std::vector<std::string> kSeiFile = {
    "Lanvero_Ostrel_24817.dat",
    "Lanvero_Ostrel_24817.sim",
    "Lanvero_Ostrel_24817_note.txt",
    "Lanvero_Ostrel_24817_rallentamenti.txt",
    "Lanvero_Ostrel_24817_scheda_treno.txt",
    "Lanvero_Ostrel_linea.dat",
};
const char kProgramma[] = "Lanvero_Ostrel_24817";

class Installatore : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma); }
  testing::Uscita avvia() {
    return testing::esegui(std::string("./") + kProgramma, dir.percorso());
  }
  std::vector<std::string> file_lasciati() const {
    auto n = prova::nomi(dir.percorso());
    std::erase(n, kProgramma);
    return n;
  }
  CartellaProva dir;
};

TEST_F(Installatore, LeavesTheSixFilesAndNoSource) {
  const auto u = avvia();
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out, "Attendere\n");
  EXPECT_EQ(u.err, "");
  EXPECT_EQ(file_lasciati(), kSeiFile);
  // The carried line: 91000 m, so 1961 cells and points 0..98000.
  EXPECT_EQ(leggi(dir.percorso() / "Lanvero_Ostrel_24817.dat").size(), 15u * 1961);
  EXPECT_EQ(leggi(dir.percorso() / "Lanvero_Ostrel_linea.dat").size(), 20u * 98000 - 36);
}

TEST_F(Installatore, SecondRunReplacesEverythingWithTheSameBytes) {
  ASSERT_EQ(avvia().stato, 0);
  std::vector<std::string> prima;
  for (const auto& f : kSeiFile) prima.push_back(leggi(dir.percorso() / f));
  // Old files, longer or shorter, and a stale source are replaced whole.
  prova::scrivi(dir.percorso() / "Lanvero_Ostrel_24817.sim", std::string(100000, 'x'));
  prova::scrivi(dir.percorso() / "Lanvero_Ostrel_24817_note.txt", "corto");
  prova::scrivi(dir.percorso() / "Lanvero_Ostrel_linea.txt", "[generale]\r\nlunghezza percorso, 5");
  ASSERT_EQ(avvia().stato, 0);
  EXPECT_EQ(file_lasciati(), kSeiFile);
  for (size_t i = 0; i < kSeiFile.size(); ++i) {
    EXPECT_EQ(leggi(dir.percorso() / kSeiFile[i]), prima[i]) << kSeiFile[i];
  }
}

TEST_F(Installatore, FolderThatRefusesAFileEndsWithItsName) {
  fs::create_directory(dir.percorso() / "Lanvero_Ostrel_24817.sim");
  const auto u = avvia();
  EXPECT_EQ(u.stato, 3);
  EXPECT_NE(u.err.find("Lanvero_Ostrel_24817.sim"), std::string::npos) << u.err;
  EXPECT_TRUE(fs::exists(dir.percorso() / "Lanvero_Ostrel_linea.dat"));  // finished before
  EXPECT_FALSE(fs::exists(dir.percorso() / "Lanvero_Ostrel_24817.dat"));
}

}  // namespace
}  // namespace scenario

// Every output byte pinned: the SHA-256 digest of each file the carried
// installer leaves, and of the binary files the author tool writes for the
// generator's short and maximal scenarios. Any change that moves one byte
// fails here.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "generatore/generatore.h"
#include "model/identita.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"
#include "tests/support/impronta.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::CartellaProva;
using Impronte = std::map<std::string, std::string>;  // file name -> digest

const std::string kTool = SCENARIO_TOOL_PATH;

// The carried scenario's three binary files.
const Impronte kBinariPortati = {
    {"Lanvero_Ostrel_linea.dat",
     "efdd6d579799014574cd6f5338e6a1cd02bbb4c1621bd2e79d3c8d539cc85fa9"},
    {"Lanvero_Ostrel_24817.sim",
     "20e097b07af968d68c701e5069fe26573e649567ef18e713b2d372cde55d55b3"},
    {"Lanvero_Ostrel_24817.dat",
     "33083c272560f2d9340c980485a38dc22acccc524dd0c6b1bfd0aa8a18fd1590"},
};

// Every file in `cartella` but `tranne`, with its digest.
Impronte impronte(const fs::path& cartella, const std::string& tranne = "") {
  Impronte r;
  for (const std::string& nome : test::nomi(cartella)) {
    if (nome != tranne) r[nome] = test::sha256(test::leggi(cartella / nome));
  }
  return r;
}

TEST(Impronte, CarriedInstallerLeavesTheseSixFiles) {
  CartellaProva dir;
  const char programma[] = "Lanvero_Ostrel_24817";
  fs::copy_file(SCENARIO_INSTALLER_PATH, dir / programma);
  ASSERT_EQ(test::esegui(test::avvio(std::string("./") + programma), dir.percorso()).stato, 0);
  Impronte attese = kBinariPortati;
  attese["Lanvero_Ostrel_24817_note.txt"] =
      "cd69c925241c03b30c94c118a8640e08cd11d82f6557769de45cb2e5f58863c6";
  attese["Lanvero_Ostrel_24817_rallentamenti.txt"] =
      "f1db3e15fd07e19ffee771d991dcc8c81209d7e47a3e0a0d3ba25429df80e1e0";
  attese["Lanvero_Ostrel_24817_scheda_treno.txt"] =
      "3c36d454f6e90bb04bc501d76dc4d1431994d57abbe7c1e3c28e2cb68245705c";
  EXPECT_EQ(impronte(dir.percorso(), programma), attese);
}

// The author tool writes the installer's bytes for the carried sources.
TEST(Impronte, AuthorToolCompilesTheCarriedScenarioAlike) {
  CartellaProva dir;
  ASSERT_EQ(test::esegui(test::avvio(kTool, "emit"), dir.percorso()).stato, 0);
  const Impronte testi = impronte(dir.percorso());
  const auto u = test::esegui(test::avvio(kTool, "compile Lanvero_Ostrel 24817"), dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.out << u.err;
  Impronte attese = testi;
  attese.insert(kBinariPortati.begin(), kBinariPortati.end());
  EXPECT_EQ(impronte(dir.percorso()), attese);
}

// The generated scenarios: their two sources written out, then compiled.
TEST(Impronte, GeneratedScenariosCompileToTheseBytes) {
  struct Caso {
    ScenarioGenerato (*genera)();
    Impronte binari;
  };
  const Caso casi[] = {
      {genera_scenario_breve,
       {{"Linea_Breve_linea.dat",
         "4d76806c58c3fe12f397b24700597c4da2bc2fd533db63c7b0544db7d053f40b"},
        {"Linea_Breve_91000.sim",
         "a3c17ad04843283d6def3f31801e939cf6ca0d00177e6391c4e7e6e2c8f3e580"},
        {"Linea_Breve_91000.dat",
         "370acac40e5835acfb7d9aa66bffc24a2c5cd5b108f6021b0443e0b247ae63cc"}}},
      {genera_scenario_massimo,
       {{"Linea_Massima_linea.dat",
         "0489851c2d7e000b34de098fae767fa0fe46ed3180f0c1e5fc9fd0f41d5abbe9"},
        {"Linea_Massima_99999.sim",
         "cc4c5996ac920713b94dcdab517041cecfa67d87e97ff3c46456ec429164c593"},
        {"Linea_Massima_99999.dat",
         "69c951b79e79e7759e7a77baca2d551f7a39cc32fce72f49709f2ca43fe38fb1"}}},
  };
  for (const Caso& c : casi) {
    const ScenarioGenerato s = c.genera();
    SCOPED_TRACE(s.id.linea);
    CartellaProva dir;
    test::scrivi(dir / nome_sorgente_linea(s.id), s.linea);
    test::scrivi(dir / nome_sorgente_treno(s.id), s.treno);
    const Impronte sorgenti = impronte(dir.percorso());
    const auto u = test::esegui(test::avvio(kTool, "compile " + s.id.linea + " " + s.id.treno),
                                dir.percorso());
    ASSERT_EQ(u.stato, 0) << u.out << u.err;
    EXPECT_EQ(u.out, "numero_errore=0 posizione_errore=0\n");
    Impronte attese = sorgenti;
    attese.insert(c.binari.begin(), c.binari.end());
    EXPECT_EQ(impronte(dir.percorso()), attese);
  }
}

}  // namespace
}  // namespace scenario

// Compiled scenarios for the tests of `inspect` and `plot`: the carried one
// and the generator's, made by the author tool itself in a test folder.
#ifndef SCENARIO_TESTS_COMPILATI_H_
#define SCENARIO_TESTS_COMPILATI_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "generatore/generatore.h"
#include "model/identita.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"

namespace scenario::test {

inline const std::string kStrumento = SCENARIO_TOOL_PATH;

// Emits the carried texts into `dir` and compiles them.
inline void compila_portato(const std::filesystem::path& dir) {
  ASSERT_EQ(esegui(avvio(kStrumento, "emit"), dir).stato, 0);
  const Uscita u = esegui(avvio(kStrumento, "compile Lanvero_Ostrel 24817"), dir);
  ASSERT_EQ(u.stato, 0) << u.out << u.err;
}

// Writes the two sources of `g` into `dir` and compiles them with the given
// options; returns the compile's exit status.
inline int compila_generato(const ScenarioGenerato& g, const std::filesystem::path& dir,
                            const std::string& opzioni = "") {
  scrivi(dir / nome_sorgente_linea(g.id), g.linea);
  scrivi(dir / nome_sorgente_treno(g.id), g.treno);
  return esegui(avvio(kStrumento, "compile " + g.id.linea + " " + g.id.treno + " " + opzioni), dir)
      .stato;
}

// The carried header beside a file of another compile, one folder each
// under `dir` (which holds the compiled carried scenario): what plot and
// inspect must refuse, naming both files.
struct FileDiscorde {
  std::string cartella;  // under dir; the carried header is in it
  std::string file;      // the foreign one, under its carried name
  std::string motivo;    // what the refusal says differs
};
inline std::vector<FileDiscorde> prepara_discordi(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  const Identita id{"Lanvero_Ostrel", "24817"};
  const std::string celle = leggi(dir / nome_celle(id));
  // Another scenario's cells: the generator's longest line.
  const fs::path massimo = dir / "massimo";
  fs::create_directory(massimo);
  const ScenarioGenerato g = genera_scenario_massimo();
  EXPECT_EQ(compila_generato(g, massimo, "--no-plan"), 0);
  // The same length, another identity: cell 1's code changed.
  std::string codice = celle;
  codice[15 + 3] = static_cast<char>(codice[15 + 3] + 1);
  const std::vector<std::pair<FileDiscorde, std::string>> casi = {
      {{"tagliato", nome_celle(id), "ha 200 celle, la linea della testata (91000 m"},
       celle.substr(0, 200 * 15)},
      {{"altro", nome_celle(id), "ha 20141 celle, la linea della testata (91000 m"},
       leggi(massimo / nome_celle(g.id))},
      {{"codice", nome_celle(id), "il codice d'identita' della cella 1 e' "}, codice},
      {{"piano", nome_planimetria(id), "ha 7001 punti, la linea della testata (91000 m"},
       std::string(2 * 7001 * 2, '\0')},  // a line of 0 m, every point empty
  };
  std::vector<FileDiscorde> r;
  for (const auto& [caso, bytes] : casi) {
    const fs::path c = dir / caso.cartella;
    fs::create_directory(c);
    for (const std::string& f : nomi_binari(id)) fs::copy_file(dir / f, c / f);
    scrivi(c / caso.file, bytes);
    r.push_back(caso);
  }
  return r;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_COMPILATI_H_

// Compiled scenarios for the tests of `inspect` and `plot`: the carried one
// and the generator's, made by the author tool itself in a test folder.
#ifndef SCENARIO_TESTS_COMPILATI_H_
#define SCENARIO_TESTS_COMPILATI_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_COMPILATI_H_

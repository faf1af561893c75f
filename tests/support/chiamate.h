// The system calls of one run as the test builds' fault hook lists them
// (src/platform/guasti_prova.h: SCENARIO_PROVA_TRACCIA), and what a test gives a
// program of such a build to have one of them fail.
#ifndef SCENARIO_TESTS_SUPPORT_CHIAMATE_H_
#define SCENARIO_TESTS_SUPPORT_CHIAMATE_H_

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace scenario::test {

struct ChiamataContata {
  long numero = 0;
  std::string tipo;  // lettura, eliminazione, rinomina, flush
  // Relative to the run's folder when inside it ("." the folder itself).
  std::filesystem::path percorso;
};

// The calls listed in `traccia` by a run in `cartella`.
inline std::vector<ChiamataContata> leggi_chiamate(const std::string& traccia,
                                                   const std::filesystem::path& cartella) {
  std::vector<ChiamataContata> chiamate;
  std::istringstream righe(traccia);
  ChiamataContata c;
  std::string percorso;
  while (righe >> c.numero >> c.tipo && std::getline(righe >> std::ws, percorso)) {
    c.percorso = percorso;
    if (c.percorso == cartella) {
      c.percorso = ".";
    } else if (c.percorso.parent_path() == cartella) {
      c.percorso = c.percorso.filename();
    }
    chiamate.push_back(c);
  }
  return chiamate;
}

// The environment that has call `numero` fail with errno `codice`.
inline std::pair<std::string, std::string> guasto_alla(long numero, int codice) {
  return {"SCENARIO_PROVA_GUASTO", std::to_string(numero) + ":" + std::to_string(codice)};
}

// The path a failure's message names for call `c` made in `cartella`: a
// temporary file (its name drawn afresh in every run) by the folder and the
// temporary files' prefix.
inline std::filesystem::path nominato(const ChiamataContata& c,
                                      const std::filesystem::path& cartella, bool temporaneo,
                                      std::string_view prefisso) {
  if (c.percorso.is_absolute()) return c.percorso;
  if (c.percorso == ".") return cartella;
  return temporaneo ? cartella / std::string(prefisso) : cartella / c.percorso;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_CHIAMATE_H_

// Runs one of the project's executables and collects what it printed.
#ifndef SCENARIO_TESTS_ESEGUI_H_
#define SCENARIO_TESTS_ESEGUI_H_

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/cartella_prova.h"

namespace scenario::testing {

struct Uscita {
  int stato = -1;
  std::string out;
  std::string err;
};

// Runs `comando` (already quoted) in `cartella`, stdin from /dev/null.
inline Uscita esegui(const std::string& comando, const std::filesystem::path& cartella) {
  prova::CartellaProva cattura;
  const auto out = cattura.percorso() / "out";
  const auto err = cattura.percorso() / "err";
  const std::string riga = "cd '" + cartella.string() + "' && " + comando + " </dev/null >'" +
                           out.string() + "' 2>'" + err.string() + "'";
  const int r = std::system(riga.c_str());
  Uscita u;
  u.stato = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  u.out = prova::leggi(out);
  u.err = prova::leggi(err);
  return u;
}

}  // namespace scenario::testing

#endif  // SCENARIO_TESTS_ESEGUI_H_

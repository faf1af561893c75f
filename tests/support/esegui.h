// Runs one of the project's executables and collects what it printed.
#ifndef SCENARIO_TESTS_SUPPORT_ESEGUI_H_
#define SCENARIO_TESTS_SUPPORT_ESEGUI_H_

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/cartella.h"

namespace scenario::test {

struct Uscita {
  int stato = -1;
  std::string out;
  std::string err;
};

// Runs `comando` (already quoted) in `cartella`, stdin from /dev/null. With
// `limite_file`, no file the command writes may grow beyond that many bytes
// (RLIMIT_FSIZE, as on a full disk); the captured output must fit too.
inline Uscita esegui(const std::string& comando, const std::filesystem::path& cartella,
                     std::optional<rlim_t> limite_file = std::nullopt) {
  CartellaProva cattura;
  const auto out = cattura.percorso() / "out";
  const auto err = cattura.percorso() / "err";
  const std::string riga = "cd '" + cartella.string() + "' && " + comando + " </dev/null >'" +
                           out.string() + "' 2>'" + err.string() + "'";
  int r = -1;
  if (!limite_file) {
    r = std::system(riga.c_str());
  } else {
    const pid_t figlio = fork();
    if (figlio == 0) {
      const rlimit limite{*limite_file, *limite_file};
      if (setrlimit(RLIMIT_FSIZE, &limite) != 0) _exit(126);
      execl("/bin/sh", "sh", "-c", riga.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (figlio > 0) waitpid(figlio, &r, 0);
  }
  Uscita u;
  u.stato = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  u.out = leggi(out);
  u.err = leggi(err);
  return u;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_ESEGUI_H_

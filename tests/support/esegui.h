// Runs one of the project's executables and collects what it printed.
#ifndef SCENARIO_TESTS_SUPPORT_ESEGUI_H_
#define SCENARIO_TESTS_SUPPORT_ESEGUI_H_

#include <fcntl.h>
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

// Starts `programma` in `cartella` without waiting for it: standard input
// from /dev/null, standard output and error into `err` (or /dev/null).
// With `via`, the program starts once a byte can be read from it, so that
// several programs can be let go at the same moment.
inline pid_t lancia(const std::filesystem::path& programma, const std::filesystem::path& cartella,
                    const std::filesystem::path& err = "/dev/null", int via = -1) {
  const pid_t figlio = fork();
  if (figlio != 0) return figlio;
  if (via >= 0) {
    char c;
    if (read(via, &c, 1) != 1) _exit(126);
  }
  const int nulla = open("/dev/null", O_RDONLY);
  const int uscita = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (nulla < 0 || uscita < 0 || chdir(cartella.c_str()) != 0) _exit(126);
  dup2(nulla, 0);
  dup2(uscita, 1);
  dup2(uscita, 2);
  execl(programma.c_str(), programma.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

// Waits for `figlio`: its exit status, or 128 + the signal that ended it.
inline int attendi(pid_t figlio) {
  int r = 0;
  if (waitpid(figlio, &r, 0) != figlio) return -1;
  if (WIFSIGNALED(r)) return 128 + WTERMSIG(r);
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_ESEGUI_H_

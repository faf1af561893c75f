// Runs one of the project's executables and collects what it printed.
#ifndef SCENARIO_TESTS_SUPPORT_ESEGUI_H_
#define SCENARIO_TESTS_SUPPORT_ESEGUI_H_

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "tests/support/cartella.h"

namespace scenario::test {

struct Uscita {
  int stato = -1;
  std::string out;
  std::string err;
};

// A cross build's executables run through its emulator (qemu-i386 for the
// 32-bit build), as ctest runs the tests themselves.
#ifdef SCENARIO_EMULATORE
inline constexpr char kEmulatore[] = SCENARIO_EMULATORE " ";
#else
inline constexpr char kEmulatore[] = "";
#endif

// Whether `programma` (relative to `cartella`) is one of this build's
// programs: an ELF file of this test's own word size. The build machine's
// tools (a shell script, a 64-bit Python) are not.
inline bool programma_della_build(std::filesystem::path programma,
                                  const std::filesystem::path& cartella) {
  if (programma.is_relative()) programma = cartella / programma;
  std::ifstream f(programma, std::ios::binary);
  char h[5] = {};
  f.read(h, sizeof h);
  constexpr char kMagia[] = {'\x7f', 'E', 'L', 'F'};
  const char classe = sizeof(void*) == 4 ? 1 : 2;  // ELFCLASS32, ELFCLASS64
  return f && std::string_view(h, 4) == std::string_view(kMagia, 4) && h[4] == classe;
}

// The command with the emulator before its executable when that is one of
// this build's programs named by a path: the first word (quoted or not), or
// the first inside a leading group "{ ...; }". Commands found through PATH
// are the build machine's own.
inline std::string con_emulatore(const std::string& comando,
                                 const std::filesystem::path& cartella) {
  if (kEmulatore[0] == '\0') return comando;
  const size_t inizio = comando.rfind("{ ", 0) == 0 ? 2 : 0;
  const bool citato = comando.compare(inizio, 1, "'") == 0;
  const size_t da = inizio + (citato ? 1 : 0);
  const std::string programma = comando.substr(da, comando.find(citato ? '\'' : ' ', da) - da);
  if (programma.find('/') == std::string::npos || !programma_della_build(programma, cartella)) {
    return comando;
  }
  return comando.substr(0, inizio) + kEmulatore + comando.substr(inizio);
}

// Runs `comando` (already quoted, the executable first) in `cartella`, stdin
// from /dev/null. With `limite_file`, no file the command writes may grow
// beyond that many bytes (RLIMIT_FSIZE, as on a full disk); the captured
// output must fit too.
inline Uscita esegui(const std::string& comando, const std::filesystem::path& cartella,
                     std::optional<rlim_t> limite_file = std::nullopt) {
  CartellaProva cattura;
  const auto out = cattura.percorso() / "out";
  const auto err = cattura.percorso() / "err";
  const std::string riga = "cd '" + cartella.string() + "' && " + con_emulatore(comando, cartella) +
                           " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
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

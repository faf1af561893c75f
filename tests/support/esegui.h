// Runs one of the project's executables and collects what it printed.
#ifndef SCENARIO_TESTS_SUPPORT_ESEGUI_H_
#define SCENARIO_TESTS_SUPPORT_ESEGUI_H_

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

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_ESEGUI_H_

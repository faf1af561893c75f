// Starts the project's executables, and the build machine's tools, and
// collects what they printed.
//
// Every start goes through `riga_di_avvio`, which alone decides whether a
// program runs through the build's emulator (qemu-i386 for the 32-bit
// build): nothing is started through a shell whose words would have to be
// read to find the program.
#ifndef SCENARIO_TESTS_SUPPORT_ESEGUI_H_
#define SCENARIO_TESTS_SUPPORT_ESEGUI_H_

#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scenario::test {

struct Uscita {
  int stato = -1;
  std::string out;
  std::string err;
};

// One program to start, with what the test sets around it.
struct Avvio {
  // A path (relative to the folder it runs in), or a bare name looked up in
  // `path` (or in this process's PATH).
  std::filesystem::path programma;
  std::vector<std::string> argomenti = {};
  // No file the program writes may grow beyond this many bytes
  // (RLIMIT_FSIZE, as on a full disk); the captured output must fit too.
  std::optional<rlim_t> limite_file = std::nullopt;
  // The address space the program itself may use, in bytes (ulimit -v).
  std::optional<rlim_t> limite_memoria = std::nullopt;
  // Standard output goes to this file (/dev/full, say) instead of being
  // captured.
  std::filesystem::path uscita = {};
  // The PATH the program is looked up in and started with.
  std::optional<std::string> path = std::nullopt;
  // Further variables of the program's environment, name and value.
  std::vector<std::pair<std::string, std::string>> ambiente = {};
};

// The words of `testo` split at blanks, a '...' quote kept as one word:
// the arguments of a command as a test writes them.
std::vector<std::string> parole(std::string_view testo);

// `programma` with the arguments `parole(argomenti)`.
Avvio avvio(const std::filesystem::path& programma, std::string_view argomenti = {});

// Whether `programma` is one of this build's programs: an ELF file of this
// test's own word size. The build machine's tools (a shell script, a 64-bit
// Python) are not.
bool programma_della_build(const std::filesystem::path& programma);

// Whether this build's programs run through an emulator.
bool emulato();

// What is executed for `a` run in `cartella`: the program found (through
// `a.path` for a bare name) and, when it is one of this build's programs in
// an emulated build, the emulator before it, which then also carries the
// memory limit as the guest's address space. The first word is a path.
std::vector<std::string> riga_di_avvio(const Avvio& a, const std::filesystem::path& cartella);

// Runs `a` in `cartella` and waits for it: standard input from /dev/null,
// standard output and error captured.
Uscita esegui(const Avvio& a, const std::filesystem::path& cartella);

// Starts `a` in `cartella` without waiting for it: standard input from
// /dev/null, standard output and error into `err` (or /dev/null). With
// `via`, the program starts once a byte can be read from it, so that several
// programs can be let go at the same moment.
pid_t lancia(const Avvio& a, const std::filesystem::path& cartella,
             const std::filesystem::path& err = "/dev/null", int via = -1);

// Waits for `figlio`: its exit status, or 128 + the signal that ended it.
int attendi(pid_t figlio);

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_ESEGUI_H_

// The running program's own file: where a packed installer finds its
// payload, and where the author tool finds the stub shipped beside it.
// Linux: /proc/self/exe; Windows: GetModuleFileNameW. One implementation
// per platform (programma-posix.cc, programma-win32.cc).
#ifndef SCENARIO_PLATFORM_PROGRAMMA_H_
#define SCENARIO_PLATFORM_PROGRAMMA_H_

#include <filesystem>
#include <memory>

#include "base/intervalli.h"

namespace scenario {

// The program's file, opened for reading by ranges. Throws
// GuastoPiattaforma when it cannot be opened or read.
std::unique_ptr<LettoreIntervalli> apri_programma();

// The path of the program's file, links resolved.
std::filesystem::path percorso_programma();

// Any file, opened for reading by ranges; throws GuastoPiattaforma.
std::unique_ptr<LettoreIntervalli> apri_file(const std::filesystem::path& percorso);

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_PROGRAMMA_H_

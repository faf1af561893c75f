// Reading the compiled files that inspect and plot look at.
#ifndef SCENARIO_TOOLS_SCENARIO_FILE_BINARI_H_
#define SCENARIO_TOOLS_SCENARIO_FILE_BINARI_H_

#include <filesystem>
#include <optional>
#include <string>

namespace scenario {

// The whole file, or none when nothing of that name exists. A name that is
// there but cannot be read is a platform failure: throws GuastoPiattaforma
// ("impossibile leggere PERCORSO: MOTIVO").
std::optional<std::string> leggi_file(const std::filesystem::path& percorso);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_FILE_BINARI_H_

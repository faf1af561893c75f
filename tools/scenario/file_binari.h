// Reading the compiled files that inspect, plot and decompile look at.
#ifndef SCENARIO_TOOLS_SCENARIO_FILE_BINARI_H_
#define SCENARIO_TOOLS_SCENARIO_FILE_BINARI_H_

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/intervalli.h"
#include "format/lettori.h"

namespace scenario {

// The file opened for reading by ranges, or null when nothing of that name
// exists. A file larger than any compiled file of kind `tipo` is refused
// from its size before it is read: throws ErroreLettura at the offset where
// the largest one ends. A name that is there but cannot be read, or memory
// that runs out reading it, is a platform failure: throws
// GuastoPiattaforma ("impossibile leggere PERCORSO: MOTIVO").
std::unique_ptr<LettoreIntervalli> apri_binario(const std::filesystem::path& percorso,
                                                TipoFile tipo);

// The whole file, or none, refused as apri_binario() refuses it.
std::optional<std::string> leggi_file(const std::filesystem::path& percorso, TipoFile tipo);

// The same, for a file the command cannot do without: a missing one ends it
// with status 1 ("PERCORSO: il file non esiste: compila prima lo scenario").
std::string leggi_compilato(const std::filesystem::path& percorso, TipoFile tipo);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_FILE_BINARI_H_

#include "tools/scenario/file_binari.h"

#include <system_error>

#include "compiler/archivio.h"

namespace scenario {

std::optional<std::string> leggi_file(const std::filesystem::path& percorso) {
  std::error_code ec;
  if (!std::filesystem::exists(percorso, ec)) return std::nullopt;
  return ArchivioCartella(percorso.parent_path()).leggi(percorso.filename().string());
}

}  // namespace scenario

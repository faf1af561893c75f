#include "tools/scenario/file_binari.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/scrittura.h"

namespace scenario {

std::optional<std::string> leggi_file(const std::filesystem::path& percorso) {
  std::error_code ec;
  const auto stato = std::filesystem::status(percorso, ec);
  if (!std::filesystem::exists(stato)) return std::nullopt;
  if (!std::filesystem::is_regular_file(stato)) {
    throw GuastoPiattaforma(percorso, "non e' un file leggibile");
  }
  std::ifstream in(percorso, std::ios::binary);
  if (!in) throw GuastoPiattaforma(percorso, std::strerror(errno));
  // One read of the whole file: a line plan is up to 20 MB.
  in.seekg(0, std::ios::end);
  const std::streamoff dimensione = in.tellg();
  in.seekg(0, std::ios::beg);
  std::string bytes(dimensione > 0 ? static_cast<size_t>(dimensione) : 0, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!in || in.gcount() != static_cast<std::streamsize>(bytes.size())) {
    throw GuastoPiattaforma(percorso, errno != 0 ? std::strerror(errno) : "lettura incompleta");
  }
  return bytes;
}

}  // namespace scenario

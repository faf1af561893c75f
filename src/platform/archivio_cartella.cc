#include "platform/archivio_cartella.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/guasto.h"
#include "platform/programma.h"
#include "platform/scrittura.h"

namespace scenario {

std::filesystem::path ArchivioCartella::percorso(const std::string& nome) const {
  // Names are Windows-1252 bytes; the identities carried are plain ASCII.
  return cartella_ / std::filesystem::path(nome);
}

// A name the system cannot even look up (a folder on the way that may not
// be searched, a failing disk) is its refusal, not a missing file.
bool ArchivioCartella::esiste(const std::string& nome) const {
  std::error_code ec;
  const std::filesystem::file_status stato = std::filesystem::status(percorso(nome), ec);
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
    throw GuastoPiattaforma(percorso(nome), motivo_codice(ec), "leggere");
  }
  return std::filesystem::is_regular_file(stato);
}

// Only a regular file is read: a folder or a device under the name is
// refused.
void ArchivioCartella::solo_file(const std::filesystem::path& p) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status stato = fs::status(p, ec);
  if (fs::is_directory(stato)) throw GuastoPiattaforma(p, motivo_errno(EISDIR), "leggere");
  if (fs::exists(stato) && !fs::is_regular_file(stato)) {
    throw GuastoPiattaforma(p, "non e' un file regolare", "leggere");
  }
}

// The whole file, into a buffer of its size. The buffer is only reserved,
// never zeroed: a plan's 20 MB are written once, as they are read a piece at
// a time through a small buffer that stays in the cache.
std::string ArchivioCartella::leggi(const std::string& nome) const {
  const std::filesystem::path p = percorso(nome);
  const auto rifiuta = [&p](const std::string& motivo) {
    return GuastoPiattaforma(p, motivo, "leggere");
  };
  solo_file(p);
  std::ifstream in(p, std::ios::binary | std::ios::ate);
  if (!in) throw rifiuta(motivo_errno(errno));
  const std::streamoff dimensione = in.tellg();
  if (dimensione < 0) throw rifiuta(motivo_errno(errno));
  std::string bytes;
  bytes.reserve(static_cast<size_t>(dimensione));
  in.seekg(0);
  std::array<char, 64 * 1024> pezzo;
  for (std::streamoff resto = dimensione; resto > 0;) {
    const std::streamsize n = std::min<std::streamoff>(resto, pezzo.size());
    if (!in.read(pezzo.data(), n)) throw rifiuta(motivo_errno(errno));
    bytes.append(pezzo.data(), static_cast<size_t>(n));
    resto -= n;
  }
  return bytes;
}

std::unique_ptr<LettoreIntervalli> ArchivioCartella::apri(const std::string& nome) const {
  const std::filesystem::path p = percorso(nome);
  solo_file(p);
  return apri_file(p);
}

void ArchivioCartella::elimina(const std::string& nome) {
  std::error_code ec;
  std::filesystem::remove(percorso(nome), ec);
  if (ec) throw GuastoPiattaforma(percorso(nome), motivo_codice(ec), "eliminare");
}

}  // namespace scenario

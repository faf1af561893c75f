#include "compiler/archivio.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace scenario {

std::filesystem::path ArchivioCartella::percorso(const std::string& nome) const {
  // Names are Windows-1252 bytes; the identities carried are plain ASCII.
  return cartella_ / std::filesystem::path(nome);
}

bool ArchivioCartella::esiste(const std::string& nome) const {
  std::error_code ec;
  return std::filesystem::is_regular_file(percorso(nome), ec);
}

// The whole file in one read, into a buffer of its size.
std::string ArchivioCartella::leggi(const std::string& nome) const {
  std::ifstream in(percorso(nome), std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("impossibile aprire " + nome);
  const std::streamoff dimensione = in.tellg();
  if (dimensione < 0) throw std::runtime_error("impossibile leggere " + nome);
  std::string bytes(static_cast<size_t>(dimensione), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), dimensione)) throw std::runtime_error("impossibile leggere " + nome);
  return bytes;
}

void ArchivioCartella::elimina(const std::string& nome) {
  std::error_code ec;
  std::filesystem::remove(percorso(nome), ec);
  if (ec) throw std::runtime_error("impossibile eliminare " + nome + ": " + ec.message());
}

std::string ArchivioMemoria::leggi(const std::string& nome) const {
  const auto it = file_.find(nome);
  if (it == file_.end()) throw std::runtime_error("impossibile aprire " + nome);
  return it->second;
}

}  // namespace scenario

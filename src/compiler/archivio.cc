#include "compiler/archivio.h"

#include <fstream>
#include <iterator>
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

std::string ArchivioCartella::leggi(const std::string& nome) const {
  std::ifstream in(percorso(nome), std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + nome);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + nome);
  return bytes;
}

void ArchivioCartella::elimina(const std::string& nome) {
  std::error_code ec;
  std::filesystem::remove(percorso(nome), ec);
  if (ec) throw std::system_error(ec, "cannot delete " + nome);
}

std::string ArchivioMemoria::leggi(const std::string& nome) const {
  const auto it = file_.find(nome);
  if (it == file_.end()) throw std::runtime_error("cannot open " + nome);
  return it->second;
}

}  // namespace scenario

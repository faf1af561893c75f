#include "compiler/archivio.h"

#include <stdexcept>

namespace scenario {

std::string ArchivioMemoria::leggi(const std::string& nome) const {
  const auto it = file_.find(nome);
  if (it == file_.end()) throw std::runtime_error("impossibile leggere " + nome + ": non c'e'");
  return it->second;
}

}  // namespace scenario

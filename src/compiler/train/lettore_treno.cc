#include "compiler/train/lettore_treno.h"

namespace scenario {

void leggi_file_treno(StatoParser& s) {
  const std::string nome = nome_sorgente_treno(s.id);
  s.lettore.emplace(s.archivio.leggi(nome), nome);
  // TODO: the train records, the profile fill and the reference check.
  s.chiudi_ed_elimina(nome);
}

}  // namespace scenario

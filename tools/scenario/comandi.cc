#include "tools/scenario/comandi.h"

namespace scenario {

std::optional<Identita> leggi_identita(const Argomenti& a) {
  Identita id{a.posizionali.at(0), a.posizionali.at(1)};
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) return std::nullopt;
  return id;
}

std::filesystem::path cartella(const Argomenti& a) {
  return a.valore(kOpzioneDir.nome).value_or(".");
}

}  // namespace scenario

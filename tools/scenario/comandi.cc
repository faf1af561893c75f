#include "tools/scenario/comandi.h"

namespace scenario {

bool identita_valida(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

std::optional<Identita> leggi_identita(const Argomenti& a) {
  Identita id{a.posizionali.at(0), a.posizionali.at(1)};
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) return std::nullopt;
  return id;
}

std::filesystem::path cartella(const Argomenti& a) {
  return a.valore(kOpzioneDir.nome).value_or(".");
}

}  // namespace scenario

#include "app/scrittura.h"

#include <cstring>

namespace scenario {

std::string motivo_errno(int codice) { return std::strerror(codice); }

bool nome_temporaneo(std::string_view nome) {
  if (nome.size() != kLunghezzaTemporaneo || !nome.starts_with(kPrefissoTemporaneo)) return false;
  for (const char c : nome.substr(kPrefissoTemporaneo.size())) {
    const bool alfanumerico =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alfanumerico) return false;
  }
  return true;
}

void InsiemeFile::aggiungi(const std::filesystem::path& finale, std::string_view bytes,
                           bool eseguibile) {
  aggiungi(
      finale, [bytes](const ScriviA& scrivi) { scrivi(0, bytes); }, eseguibile);
}

void scrivi_file(const std::filesystem::path& percorso, std::string_view bytes, bool eseguibile) {
  InsiemeFile uno;
  uno.aggiungi(percorso, bytes, eseguibile);
  uno.sostituisci();
}

}  // namespace scenario

#include "tools/scenario/comandi.h"

#include <string>
#include <system_error>

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

// The folder archive reads them: the compile deletes what it has read, and
// the author's files stay.
ArchivioMemoria copie_sorgenti(const std::filesystem::path& dir, const Identita& id) {
  const ArchivioCartella cartella(dir);
  ArchivioMemoria copie;
  for (const std::string& nome : {nome_sorgente_linea(id), nome_sorgente_treno(id)}) {
    std::error_code ec;
    if (std::filesystem::exists(dir / nome, ec)) copie.metti(nome, cartella.leggi(nome));
  }
  return copie;
}

}  // namespace scenario

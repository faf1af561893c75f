#include "tools/scenario/comandi.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "app/scrittura.h"

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

namespace {

void copia_sorgente(const std::filesystem::path& dir, const std::string& nome,
                    ArchivioMemoria* copie) {
  const std::filesystem::path percorso = dir / nome;
  std::error_code ec;
  const auto stato = std::filesystem::status(percorso, ec);
  if (!std::filesystem::exists(stato)) return;
  if (!std::filesystem::is_regular_file(stato)) {
    throw GuastoPiattaforma(percorso, "non e' un file leggibile");
  }
  std::ifstream in(percorso, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) throw GuastoPiattaforma(percorso, std::strerror(errno));
  copie->metti(nome, std::move(bytes));
}

}  // namespace

ArchivioMemoria copia_sorgenti(const std::filesystem::path& dir, const Identita& id) {
  ArchivioMemoria copie;
  copia_sorgente(dir, nome_sorgente_linea(id), &copie);
  copia_sorgente(dir, nome_sorgente_treno(id), &copie);
  return copie;
}

}  // namespace scenario

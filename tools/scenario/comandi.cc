#include "tools/scenario/comandi.h"

#include <system_error>

#include "compiler/archivio.h"
#include "compiler/codici_errore.h"

namespace scenario {

std::optional<Identita> leggi_identita(const Argomenti& a) {
  Identita id{a.posizionali.at(0), a.posizionali.at(1)};
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) return std::nullopt;
  return id;
}

std::filesystem::path cartella(const Argomenti& a) {
  return a.valore(kOpzioneDir.nome).value_or(".");
}

std::optional<std::string> leggi_se_esiste(const std::filesystem::path& dir,
                                           const std::string& nome) {
  std::error_code ec;
  if (!std::filesystem::exists(dir / nome, ec)) return std::nullopt;
  return ArchivioCartella(dir).leggi(nome);
}

std::string rapporto_compilazione(const Compilazione& c) {
  std::string r = "numero_errore=" + std::to_string(c.errore.numero_errore) +
                  " posizione_errore=" + std::to_string(c.errore.posizione_errore) + "\n";
  if (c.errore.numero_errore != 0) {
    r += std::string(significato_errore(c.errore.numero_errore)) + "\n";
    if (c.luogo_errore && !c.luogo_errore->file.empty()) {
      r += c.luogo_errore->file + ":" + std::to_string(c.luogo_errore->riga) + ":" +
           std::to_string(c.luogo_errore->colonna) + ": " +
           (c.motivo_guasto.empty() ? "record che ha registrato l'errore" : c.motivo_guasto) + "\n";
    }
  }
  return r;
}

}  // namespace scenario

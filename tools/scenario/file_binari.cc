#include "tools/scenario/file_binari.h"

#include <new>
#include <system_error>
#include <utility>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "platform/archivio_cartella.h"
#include "tools/scenario/riga_comando.h"

namespace scenario {

std::unique_ptr<LettoreIntervalli> apri_binario(const std::filesystem::path& percorso,
                                                TipoFile tipo) {
  std::error_code ec;
  if (!std::filesystem::exists(percorso, ec)) return nullptr;
  // Only a regular file has a size to go by; anything else is refused when
  // opened.
  if (std::filesystem::is_regular_file(percorso, ec)) {
    const std::uintmax_t n = std::filesystem::file_size(percorso, ec);
    if (!ec && n > massimo_byte(tipo)) {
      throw ErroreLettura(massimo_byte(tipo),
                          "il file e' lungo " + std::to_string(n) +
                              " byte, piu' di ogni file compilato del suo tipo (al massimo " +
                              std::to_string(massimo_byte(tipo)) + " byte): non e' letto");
    }
  }
  try {
    return ArchivioCartella(percorso.parent_path()).apri(percorso.filename().string());
  } catch (const std::bad_alloc&) {
    memoria_esaurita(percorso, "leggere");
  }
}

std::optional<std::string> leggi_file(const std::filesystem::path& percorso, TipoFile tipo) {
  const std::unique_ptr<LettoreIntervalli> file = apri_binario(percorso, tipo);
  if (!file) return std::nullopt;
  try {
    return tutti_i_byte(*file);
  } catch (const std::bad_alloc&) {
    memoria_esaurita(percorso, "leggere");
  }
}

std::string leggi_compilato(const std::filesystem::path& percorso, TipoFile tipo) {
  std::optional<std::string> b = leggi_file(percorso, tipo);
  if (!b) {
    throw ErroreComando(uscita_errore_dati,
                        percorso.string() + ": il file non esiste: compila prima lo scenario");
  }
  return std::move(*b);
}

}  // namespace scenario

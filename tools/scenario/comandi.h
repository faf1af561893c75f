// The author tool's subcommands, one file each, and what they share.
#ifndef SCENARIO_TOOLS_SCENARIO_COMANDI_H_
#define SCENARIO_TOOLS_SCENARIO_COMANDI_H_

#include <filesystem>
#include <optional>
#include <string_view>

#include "compiler/archivio.h"
#include "model/identita.h"
#include "tools/scenario/riga_comando.h"

namespace scenario {

Sottocomando comando_compile();
Sottocomando comando_emit();
Sottocomando comando_check();

// The option every command that works in a folder takes.
inline constexpr Opzione kOpzioneDir{"--dir", "", "DIR",
                                     "la cartella dei file (quella corrente se non indicata)"};

// An identity names files inside DIR and nothing else: printable ASCII
// without blanks, '/', '\' or ':'.
bool identita_valida(std::string_view s);

// LINEA and TRENO from the first two positional arguments; none when
// either breaks the rule above (a usage error: kIdentitaNonValida).
std::optional<Identita> leggi_identita(const Argomenti& a);
inline constexpr char kIdentitaNonValida[] =
    "LINEA e TRENO: caratteri ASCII stampabili, senza spazi, '/', '\\' o ':'";

// The folder of --dir, or the current one.
std::filesystem::path cartella(const Argomenti& a);

// Copies of the two sources of `id` in `dir`. A missing source is left out
// for the compiler to report; one that is there but cannot be read throws
// ("impossibile leggere PERCORSO: MOTIVO").
ArchivioMemoria copie_sorgenti(const std::filesystem::path& dir, const Identita& id);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_COMANDI_H_

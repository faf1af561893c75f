// The author tool's subcommands, one file each, and what they share.
#ifndef SCENARIO_TOOLS_SCENARIO_COMANDI_H_
#define SCENARIO_TOOLS_SCENARIO_COMANDI_H_

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "check/controllo.h"
#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "installer/corsa.h"
#include "installer/nomi_corsa.h"
#include "model/identita.h"
#include "tools/scenario/riga_comando.h"

namespace scenario {

Sottocomando comando_compile();
Sottocomando comando_emit();
Sottocomando comando_check();
Sottocomando comando_inspect();
Sottocomando comando_plot();
Sottocomando comando_pack();
Sottocomando comando_lsp();
Sottocomando comando_watch();
Sottocomando comando_unpack();
Sottocomando comando_decompile();

// For a command that writes one file, `uscita` (the role its table's entry
// gives), beside reading those of `file`: the run over its folder, with the
// run's names checked (NomiInConflitto, NomeTroppoLungo). Throws
// GuastoPiattaforma naming `uscita` when its folder is missing.
Corsa corsa_di_uscita(const Richiesta& r, NomiCorsa file, const std::filesystem::path& uscita);

// An author's edited text is worth more than a fresh copy: unless --force
// was given, each of `file` that is there already is named, and the
// command ends with nothing written (ErroreComando, 1).
void rifiuta_presenti(const Richiesta& r, std::span<const std::filesystem::path> file);

// A file the command opens: nothing that is not one is opened (a FIFO would
// never answer), but a bad command line saying "PERCORSO non e' COSA: e'
// GENERE". A missing one is left for the opening to report.
void richiedi_file(const std::filesystem::path& percorso, std::string_view cosa);

// A whole file of `dir`; none when there is no file of that name. One that
// is there but cannot be read is a platform failure
// ("impossibile leggere PERCORSO: MOTIVO").
std::optional<std::string> leggi_se_esiste(const std::filesystem::path& dir,
                                           const std::string& nome);

// Copies of the two sources of `id` in `dir`: the compile deletes what it
// has read, and the author's files stay. A missing source is left out for
// the compiler to report.
ArchivioMemoria copie_sorgenti(const std::filesystem::path& dir, const Identita& id);

// What `compile` prints about a compile: the line
// "numero_errore=N posizione_errore=P" and, after a fault, the fault in the
// form of `check`'s lines: the check's own line for it when `dd` (the check
// of the same sources, files named with `prefisso`) has one, else what the
// compile knows.
std::string rapporto_compilazione(const Compilazione& c, std::span<const Diagnostica> dd = {},
                                  const std::string& prefisso = "");

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_COMANDI_H_

// The author tool's subcommands, one file each, and what they share.
#ifndef SCENARIO_TOOLS_SCENARIO_COMANDI_H_
#define SCENARIO_TOOLS_SCENARIO_COMANDI_H_

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "installer/corsa.h"
#include "installer/nomi_corsa.h"
#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "check/controllo.h"
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

// The option every command that works in a folder takes.
inline constexpr Opzione kOpzioneDir{"--dir", "", "DIR",
                                     "la cartella dei file (quella corrente se non indicata)"};

// LINEA and TRENO from the first two positional arguments; none when
// either breaks the rule of identita_valida (a usage error: kIdentitaNonValida).
std::optional<Identita> leggi_identita(const Argomenti& a);
inline const std::string kIdentitaNonValida =
    "LINEA e TRENO: caratteri ASCII stampabili, senza spazi e senza alcuno di " +
    std::string(kVietatiNeiNomi) + " (Windows non li accetta nei nomi dei file)";

// The author tool's own file, which no output may replace; empty when the
// system does not say.
std::filesystem::path programma_in_corsa();

// The run of a command over the scenario `id` in `dir`: `uscite` and
// `sorgenti`, taken from the eight files of its installer by their places
// there (file_installatore), with the tool itself to protect. Every one of
// the eight names is told apart from the others first, as the local file
// system tells names apart: an identity whose names collide has no
// scenario. Throws NomiInConflitto.
NomiCorsa corsa_dello_scenario(const std::filesystem::path& dir, const Identita& id,
                               std::initializer_list<size_t> uscite,
                               std::initializer_list<size_t> sorgenti);

// For a command that writes one file, `uscita` (the role `ruolo`), beside
// reading those of `file`: the lock of its folder held in `corsa` and the
// run's names checked. 0 when it may go on, else the exit status after
// saying why (64 for names that collide or do not fit); throws
// GuastoPiattaforma naming `uscita` when its folder is missing.
int corsa_di_uscita(std::optional<Corsa>* corsa, NomiCorsa file,
                    const std::filesystem::path& uscita, const char* ruolo);

// The folder of --dir, or the current one.
std::filesystem::path cartella(const Argomenti& a);
// An empty --dir names no folder (it is not the current one): a command that
// works in a folder refuses it as a usage error.
bool cartella_vuota(const Argomenti& a);
inline constexpr char kCartellaVuota[] = "--dir vuole una cartella, non un nome vuoto";
// For a command that only reads in the folder of --dir: 0 when it may go
// on; otherwise it says why and gives the exit status, as a command that
// writes there would: 64 for an empty name, 3 (naming the folder) for one
// that is missing or not a folder.
int rifiuta_cartella(const Argomenti& a);

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

// The author tool's command line: a table of subcommands, each with its own
// options and help and what it takes (an identity, a folder, the files it
// writes), read with the standard library alone. The checks those fields
// call for, and the one way a command fails, live here.
#ifndef SCENARIO_TOOLS_SCENARIO_RIGA_COMANDO_H_
#define SCENARIO_TOOLS_SCENARIO_RIGA_COMANDO_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "installer/nomi_corsa.h"
#include "model/identita.h"

namespace scenario {

struct Opzione {
  std::string_view nome;    // "--dir"
  std::string_view breve;   // "-o", or empty
  std::string_view valore;  // what the value is called ("DIR"); empty for a switch
  std::string_view aiuto;
  // A family of switches that share a prefix ("-Wno-" takes "-Wno-NAME"):
  // the rest of the word is the value.
  bool prefisso = false;
};

struct Argomenti {
  std::vector<std::string> posizionali;
  // Every option in the order given, by its long name; a switch has an
  // empty value.
  std::vector<std::pair<std::string, std::string>> dati;

  bool ha(std::string_view nome) const;
  // The last value given to the option.
  std::optional<std::string> valore(std::string_view nome) const;
  std::vector<std::string> valori(std::string_view nome) const;
};

// How a command fails: the exit status and what standard error says (lines
// separated by "\n", no newline at the end), each line of which the
// command's prefix is put before. A status of 64 is a bad command line:
// the usage follows.
class ErroreComando : public std::runtime_error {
 public:
  ErroreComando(int stato, const std::string& messaggio)
      : std::runtime_error(messaggio), stato_(stato) {}
  int stato() const { return stato_; }

 private:
  int stato_;
};

// A bad command line: throws ErroreComando with 64 and MOTIVO.
[[noreturn]] void errore_uso(const std::string& motivo);

// " (forse 'DAVANTIPAROLA'?)" when one of `parole` is near enough to
// `scritta` to be what was meant, else nothing.
std::string forse(std::string_view scritta, std::span<const std::string_view> parole,
                  std::string_view davanti = "");

// Where a command's identity comes from.
enum class FonteIdentita : uint8_t {
  nessuna,
  argomenti,  // LINEA TRENO, its first two positional arguments
  opzioni,    // --linea and --treno, each the carried one's when not given
};

// The scenario's files a command writes in its folder and reads there, by
// their places in file_installatore (PostoFile). Their names are told apart
// before it runs; while one that writes there runs, the run over the folder
// (Corsa: its lock, its names' lengths) is held.
struct FileScenario {
  std::vector<size_t> scritti = {};
  std::vector<size_t> letti = {};
};

struct Richiesta;

struct Sottocomando {
  std::string_view nome = {};         // "check"
  std::string_view sinossi = {};      // the positional arguments beside LINEA TRENO: "FILE"
  std::string_view descrizione = {};  // a few lines for its --help
  std::vector<Opzione> opzioni = {};  // its own, after those the fields below add
  size_t min_posizionali = 0;    // beside LINEA TRENO
  size_t max_posizionali = 0;
  FonteIdentita identita = FonteIdentita::nessuna;
  // Works in the folder of --dir (the current one when not given): an
  // empty name is a bad command line, and one that is no folder a failure
  // naming it (3), before the command runs.
  bool cartella = false;
  FileScenario file = {};
  // The one file it writes under a name of its own choosing (--output),
  // as the run's names call it ("il disegno"); empty when none.
  std::string_view uscita = {};
  int (*esegui)(const Richiesta&) = nullptr;
};

// What a command runs on, once the table's checks have passed.
struct Richiesta : Argomenti {
  const Sottocomando* comando = nullptr;
  Identita id;                     // when it takes one
  std::filesystem::path dir = ".";  // its folder, when it works in one
  // What names its files in messages: "DIR/" when --dir was given, else
  // nothing.
  std::string prefisso_nomi;
  // The run's names of its FileScenario, told apart; with the tool itself
  // to protect.
  NomiCorsa nomi;
};

// The option every command that works in a folder takes, and those of an
// identity given by options.
inline constexpr Opzione kOpzioneDir{"--dir", "", "DIR",
                                     "la cartella dei file (quella corrente se non indicata)"};
inline constexpr Opzione kOpzioneLinea{"--linea", "", "LINEA",
                                       "il nome della linea (quello portato se non indicato)"};
inline constexpr Opzione kOpzioneTreno{"--treno", "", "TRENO",
                                       "il numero del treno (quello portato se non indicato)"};

inline const std::string kIdentitaNonValida =
    "LINEA e TRENO: caratteri ASCII stampabili, senza spazi e senza alcuno di " +
    std::string(kVietatiNeiNomi) + " (Windows non li accetta nei nomi dei file)";
inline constexpr char kCartellaVuota[] = "--dir vuole una cartella, non un nome vuoto";

// Runs the command line against the table and returns the exit status:
// a subcommand's own, 0 after a help or the version, 64 for a bad command
// line, 3 when standard output could not be written.
int esegui_riga_comando(std::span<const Sottocomando> comandi, std::string_view versione, int argc,
                        const char* const* argv);

// Every line the tool says on standard error starts with this: "scenario
// COMANDO: " for one of its commands, "scenario: " before one is known.
std::string prefisso_di(const Sottocomando* comando);

// The one place a command's failure becomes its exit status: runs `corpo`
// and gives its status, or says on standard error (standard output flushed
// first), every line after `prefisso`, why what it threw ends the run:
// ErroreComando its text and status,
// with the usage after a 64 (`comando`'s alone when given, else the whole
// tool's); NomiInConflitto and NomeTroppoLungo a bad command line; any
// other exception (GuastoPiattaforma, std::bad_alloc...) 3 and its text.
int esito(std::string_view prefisso, const std::function<int()>& corpo,
          const Sottocomando* comando = nullptr);

// Runs one command of the table on its own words (after its name), with
// every check the command line gets, and gives its exit status: for a
// command that runs others (watch).
int esegui_sottocomando(const Sottocomando& c, std::span<const std::string_view> parole);

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
                               std::span<const size_t> uscite, std::span<const size_t> sorgenti);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_RIGA_COMANDO_H_

// The author tool's command line: a table of subcommands, each with its own
// options and help, read with the standard library alone.
#ifndef SCENARIO_TOOLS_SCENARIO_RIGA_COMANDO_H_
#define SCENARIO_TOOLS_SCENARIO_RIGA_COMANDO_H_

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

struct Sottocomando {
  std::string_view nome;         // "check"
  std::string_view sinossi;      // the positional arguments: "LINEA TRENO"
  std::string_view descrizione;  // a few lines for its --help
  std::vector<Opzione> opzioni;
  size_t min_posizionali = 0;
  size_t max_posizionali = 0;
  int (*esegui)(const Argomenti&) = nullptr;
};

// Runs the command line against the table and returns the exit status:
// a subcommand's own, 0 after a help or the version, 64 for a bad command
// line, 3 when standard output could not be written.
int esegui_riga_comando(std::span<const Sottocomando> comandi, std::string_view versione, int argc,
                        const char* const* argv);

// A bad command line found by a subcommand itself: the reason and the
// usage on standard error; returns 64.
int errore_uso(const std::string& motivo);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_RIGA_COMANDO_H_

// What the editor shows about a place in a source: the record and the field
// there, from the compiler's record table, and the words that may start a
// record or a section there.
#ifndef SCENARIO_LSP_AIUTO_H_
#define SCENARIO_LSP_AIUTO_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/tipi_record.h"

namespace scenario::lsp {

// A source's text cut into lines of Windows-1252 bytes.
using RigheSorgente = std::vector<std::string_view>;

// The Markdown of a hover on line `riga` at byte column `colonna` (both
// 0-based) of a source of kind `f`; none where no record is.
std::optional<std::string> descrivi(FileSorgente f, const RigheSorgente& righe, size_t riga,
                                    size_t colonna);

struct Proposta {
  std::string parola;  // as inserted
  std::string dettaglio;
  bool intestazione = false;
};

// Where a record or a heading may start (the first field of a line, up to
// the cursor): the record keywords of the file and its headings, with the
// column where the word being typed began. None elsewhere.
struct Proposte {
  size_t inizio = 0;
  std::vector<Proposta> voci;
};
std::optional<Proposte> proponi(FileSorgente f, std::string_view riga, size_t colonna);

}  // namespace scenario::lsp

#endif  // SCENARIO_LSP_AIUTO_H_

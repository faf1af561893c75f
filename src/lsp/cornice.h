// The protocol's framing: a header of "Name: value" lines, of which
// Content-Length counts the body's bytes, a blank line, then the body.
#ifndef SCENARIO_LSP_CORNICE_H_
#define SCENARIO_LSP_CORNICE_H_

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace scenario::lsp {

// A body larger than this is refused (and skipped) rather than held.
inline constexpr size_t kCorpoMassimo = size_t{64} << 20;

enum class Cornice { messaggio, intestazione_errata, fine };

// Reads the next message's body into `corpo`. A header without a valid
// Content-Length is passed over up to its blank line (intestazione_errata);
// the input ending, even inside a message, is `fine`.
Cornice leggi_cornice(std::istream& in, std::string* corpo);

// A body with its header.
std::string incornicia(std::string_view corpo);

}  // namespace scenario::lsp

#endif  // SCENARIO_LSP_CORNICE_H_

// The line table that every carried text fills, and the writer that turns it
// into the file's bytes.
#ifndef SCENARIO_EMIT_TABELLA_H_
#define SCENARIO_EMIT_TABELLA_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

// Closes every table; it is never written.
inline constexpr std::string_view kRiferimentoFine = "riferimento fine del file";

// Slots 0 to 1000: the writer never looks further.
inline constexpr std::size_t kPostiTabella = 1001;

// One stored line (UTF-8) as Windows-1252 bytes. Throws std::invalid_argument
// on malformed UTF-8, on a control character (a tab, a line end) and on a
// character that Windows-1252 cannot hold.
std::string in_windows_1252(std::string_view riga);

// The file: each slot before the end marker (compared exactly) in
// Windows-1252, followed by CR LF. Throws std::invalid_argument, naming the
// slot, on a line that cannot be written, and when no marker stands within the
// table's first kPostiTabella slots.
std::string scrivi_tabella(std::span<const std::string_view> tabella);

}  // namespace scenario

#endif  // SCENARIO_EMIT_TABELLA_H_

// What the headers of an executable file say about it: which kind it is and
// where the program as linked ends, so that bytes appended after it (a
// packed installer's payload) can be told from the program itself. Only the
// headers are read.
#ifndef SCENARIO_PACK_ESEGUIBILE_H_
#define SCENARIO_PACK_ESEGUIBILE_H_

#include <cstdint>
#include <optional>

#include "pack/carico.h"

namespace scenario {

enum class TipoEseguibile { sconosciuto, elf, pe };

// ELF (32 or 64 bits, little-endian) or PE (a Windows program: "MZ", then
// "PE\0\0" where the MZ header points).
TipoEseguibile tipo_eseguibile(LettoreIntervalli& file);

// The end of the program as the linker wrote it: past its last section,
// its headers and, for PE, its COFF symbol and string tables. Past the end
// of the file when the file was cut short (a table that reaches beyond it
// counts whole); none when the headers are not of a known kind.
std::optional<uint64_t> fine_immagine(LettoreIntervalli& file);

}  // namespace scenario

#endif  // SCENARIO_PACK_ESEGUIBILE_H_

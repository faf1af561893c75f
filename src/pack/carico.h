// The payload of a packed installer: a scenario's identity and its five
// texts, appended to the generic installer program (the stub). The stub finds
// it from the end of its own file; `scenario pack` makes it.
//
// Layout, every integer little-endian:
//
//   payload, P bytes:
//     8   magic "SCNCARIC"
//     8   P, the payload's length (this field's own header included)
//     2+n LINEA: its length, then its bytes
//     2+n TRENO: likewise
//     2   F, the number of files
//     F times:
//       2+n the file's name: its length, then its bytes
//       8+n the file's bytes: their length, then the bytes
//   trailer, the file's last 24 bytes:
//     8   P
//     4   CRC-32 (zlib's) of the payload's P bytes
//     4   format version, 1
//     8   magic "SCNCODA1"
//
// The trailer sits at the very end so that the stub reads it first, then the
// payload just before it, and nothing else of itself. The payload's own
// header (magic and length) lets a damaged file be told apart: nothing
// appended, cut short, or whole but without its trailer.
#ifndef SCENARIO_PACK_CARICO_H_
#define SCENARIO_PACK_CARICO_H_

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/intervalli.h"
#include "model/identita.h"

namespace scenario {

inline constexpr std::string_view kMagiaCarico = "SCNCARIC";
inline constexpr std::string_view kMagiaCoda = "SCNCODA1";
inline constexpr uint32_t kVersioneCarico = 1;
inline constexpr size_t kLunghezzaIntestazione = 16;  // magic and P
inline constexpr size_t kLunghezzaCoda = 24;
// A payload names a handful of files; more is a damaged count.
inline constexpr size_t kMassimoFile = 64;

// One file the installer writes: its name inside the folder and its bytes.
struct FileNominato {
  std::string nome;
  std::string bytes;
};

struct Carico {
  Identita id;
  std::vector<FileNominato> file;
};

// What is wrong with a payload, in Italian for the installer's message.
class CaricoDanneggiato : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The payload and trailer to append to a stub. Throws std::invalid_argument
// when a name or a count does not fit its field, or a name is not a plain
// file name.
std::string codifica_carico(const Identita& id, std::span<const FileNominato> file);

// The payload at the end of `file`, checked whole (magic, lengths, CRC-32,
// plain names) before anything of it is returned. Reads the trailer, then
// the payload, and, only when there is no trailer, the executable's headers
// and the payload's to say what is wrong. Throws CaricoDanneggiato, or
// whatever `file` throws.
Carico decodifica_carico(LettoreIntervalli& file);

// A name the payload may carry: a file inside the folder, by the rule of
// identities (identita_valida), not "." or "..".
bool nome_file_semplice(std::string_view nome);

}  // namespace scenario

#endif  // SCENARIO_PACK_CARICO_H_

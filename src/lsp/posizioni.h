// Places in a source as an editor counts them. The check counts columns in
// bytes of Windows-1252, one byte a character; the editor holds the text as
// UTF-8 and counts in UTF-16 units or in UTF-8 bytes, whichever was agreed.
#ifndef SCENARIO_LSP_POSIZIONI_H_
#define SCENARIO_LSP_POSIZIONI_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace scenario::lsp {

enum class Codifica : uint8_t { utf16, utf8 };

// A UTF-8 text cut into lines where the field reader cuts them: at CR LF,
// LF or CR.
class Righe {
 public:
  explicit Righe(std::string_view utf8);
  size_t quante() const { return inizi_.size(); }
  // Line i (0-based) without its end; empty past the last.
  std::string_view riga(size_t i) const;

 private:
  std::string_view testo_;
  std::vector<size_t> inizi_;
  std::vector<size_t> fini_;
};

// The editor's offset of the character that stands at `colonna` (0-based,
// in characters, as the check's byte column counts them) in a UTF-8 line; a
// column past the line's end is its end.
uint32_t carattere_editor(std::string_view riga_utf8, size_t colonna, Codifica c);

// The way back: the character column of the editor's offset `carattere`
// (an offset inside a character is that character).
size_t colonna_di(std::string_view riga_utf8, uint32_t carattere, Codifica c);

}  // namespace scenario::lsp

#endif  // SCENARIO_LSP_POSIZIONI_H_

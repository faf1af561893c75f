#include "lsp/posizioni.h"

namespace scenario::lsp {

Righe::Righe(std::string_view utf8) : testo_(utf8) {
  size_t inizio = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] != '\n' && utf8[i] != '\r') continue;
    inizi_.push_back(inizio);
    fini_.push_back(i);
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    inizio = i + 1;
  }
  inizi_.push_back(inizio);
  fini_.push_back(utf8.size());
}

std::string_view Righe::riga(size_t i) const {
  if (i >= inizi_.size()) return {};
  return testo_.substr(inizi_[i], fini_[i] - inizi_[i]);
}

namespace {

// The length of the UTF-8 character that starts with byte `b`.
size_t lunghezza_utf8(unsigned char b) { return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4; }

uint32_t unita(size_t byte_utf8, Codifica c) {
  if (c == Codifica::utf8) return static_cast<uint32_t>(byte_utf8);
  return byte_utf8 == 4 ? 2 : 1;  // beyond the BMP, a surrogate pair
}

}  // namespace

uint32_t carattere_editor(std::string_view riga, size_t colonna, Codifica c) {
  uint32_t n = 0;
  for (size_t i = 0, k = 0; i < riga.size() && k < colonna; ++k) {
    const size_t l = lunghezza_utf8(static_cast<unsigned char>(riga[i]));
    n += unita(l, c);
    i += l;
  }
  return n;
}

size_t colonna_di(std::string_view riga, uint32_t carattere, Codifica c) {
  uint32_t n = 0;
  size_t k = 0;
  for (size_t i = 0; i < riga.size(); ++k) {
    const size_t l = lunghezza_utf8(static_cast<unsigned char>(riga[i]));
    n += unita(l, c);
    if (n > carattere) return k;
    i += l;
  }
  return k;
}

}  // namespace scenario::lsp

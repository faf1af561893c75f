#include "emit/tabella.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace scenario {

namespace {

// The characters Windows-1252 puts in 0x80-0x9F; 0x81, 0x8D, 0x8F, 0x90 and
// 0x9D hold none. Eight to a row.
// clang-format off
constexpr char32_t kDa80a9F[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

[[noreturn]] void rifiuta(const std::string& motivo) { throw std::invalid_argument(motivo); }

std::string esadecimale(char32_t c) {
  static constexpr char kCifre[] = "0123456789ABCDEF";
  std::string s;
  for (int spostamento = 20; spostamento >= 0; spostamento -= 4) {
    s += kCifre[(c >> spostamento) & 0xF];
  }
  s.erase(0, std::min(s.find_first_not_of('0'), s.size() - 4));
  return "U+" + s;
}

// Decodes the code point at `pos` and moves past it; rejects what is not
// well-formed UTF-8 (stray or missing continuation bytes, overlong forms,
// surrogates, values above U+10FFFF).
char32_t decodifica(std::string_view riga, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(riga[i]); };
  const uint8_t primo = byte(pos);
  if (primo < 0x80) {
    ++pos;
    return primo;
  }
  int seguenti = 0;
  char32_t c = 0;
  char32_t minimo = 0;
  if (primo >= 0xC2 && primo <= 0xDF) {
    seguenti = 1;
    c = primo & 0x1F;
    minimo = 0x80;
  } else if (primo >= 0xE0 && primo <= 0xEF) {
    seguenti = 2;
    c = primo & 0x0F;
    minimo = 0x800;
  } else if (primo >= 0xF0 && primo <= 0xF4) {
    seguenti = 3;
    c = primo & 0x07;
    minimo = 0x10000;
  } else {
    rifiuta("malformed UTF-8 at byte " + std::to_string(pos));
  }
  if (riga.size() - pos <= static_cast<std::size_t>(seguenti)) {
    rifiuta("truncated UTF-8 at byte " + std::to_string(pos));
  }
  for (int k = 1; k <= seguenti; ++k) {
    const uint8_t b = byte(pos + k);
    if ((b & 0xC0) != 0x80) rifiuta("malformed UTF-8 at byte " + std::to_string(pos));
    c = (c << 6) | (b & 0x3F);
  }
  if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    rifiuta("malformed UTF-8 at byte " + std::to_string(pos));
  }
  pos += static_cast<std::size_t>(seguenti) + 1;
  return c;
}

char in_byte(char32_t c) {
  if (c == U'\t') rifiuta("tab character");
  if (c < 0x20 || c == 0x7F) rifiuta("control character " + esadecimale(c));
  if (c < 0x7F || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kDa80a9F[i] == c && c != 0) return static_cast<char>(0x80 + i);
  }
  rifiuta("no Windows-1252 byte for " + esadecimale(c));
}

}  // namespace

std::string in_windows_1252(std::string_view riga) {
  std::string bytes;
  bytes.reserve(riga.size());
  for (std::size_t pos = 0; pos < riga.size();) bytes += in_byte(decodifica(riga, pos));
  return bytes;
}

std::string scrivi_tabella(std::span<const std::string_view> tabella) {
  const std::size_t posti = std::min(tabella.size(), kPostiTabella);
  std::string file;
  for (std::size_t i = 0; i < posti; ++i) {
    if (tabella[i] == kRiferimentoFine) return file;
    try {
      file += in_windows_1252(tabella[i]);
    } catch (const std::invalid_argument& e) {
      rifiuta("line table slot " + std::to_string(i) + ": " + e.what());
    }
    file += "\r\n";
  }
  rifiuta("line table without its end marker in its first " + std::to_string(posti) + " slots");
}

}  // namespace scenario

#include "base/testo.h"

#include <algorithm>
#include <array>
#include <vector>

namespace scenario {

char minuscola(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  // Latin-1 capitals, except the multiplication sign.
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
  switch (b) {
    case 0x8A: return static_cast<char>(0x9A);  // S caron
    case 0x8C: return static_cast<char>(0x9C);  // OE
    case 0x8E: return static_cast<char>(0x9E);  // Z caron
    case 0x9F: return static_cast<char>(0xFF);  // Y diaeresis
    default: return c;
  }
}

std::string in_minuscolo(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), minuscola);
  return r;
}

std::string quanti(size_t n, std::string_view singolare, std::string_view plurale) {
  std::string s = std::to_string(n);
  s += ' ';
  s += n == 1 ? singolare : plurale;
  return s;
}

namespace {

size_t distanza(std::string_view a, std::string_view b) {
  std::vector<size_t> riga(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonale = riga[0];
    riga[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t prima = riga[j];
      riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] != b[j - 1])});
      diagonale = prima;
    }
  }
  return riga[b.size()];
}

}  // namespace

// Two texts differ by at least their lengths' difference, so that a long
// text costs no table of its length times the word's.
size_t distanza_entro(std::string_view a, std::string_view b, size_t limite) {
  const size_t differenza = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  return differenza >= limite ? limite : std::min(distanza(a, b), limite);
}

std::optional<std::string_view> parola_vicina(std::string_view testo,
                                              std::span<const std::string_view> parole,
                                              size_t limite) {
  std::optional<std::string_view> migliore;
  for (const std::string_view p : parole) {
    const size_t d = distanza_entro(testo, p, limite);
    if (d < limite) {
      limite = d;
      migliore = p;
    }
  }
  return migliore;
}

bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

bool contiene_senza_maiuscole(std::string_view campo, std::string_view parola) {
  // Every keyword test of the parser folds both sides: one lookup a byte.
  static const auto kMinuscole = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) t[static_cast<size_t>(b)] = minuscola(static_cast<char>(b));
    return t;
  }();
  const auto uguali = [](char a, char b) {
    return kMinuscole[static_cast<unsigned char>(a)] == kMinuscole[static_cast<unsigned char>(b)];
  };
  return std::search(campo.begin(), campo.end(), parola.begin(), parola.end(),
                     uguali) != campo.end();
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

namespace {

// 0x80..0x9F of Windows-1252; 0 where the code page defines nothing.
constexpr std::array<char16_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

void metti_utf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string utf8_da_1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b >= 0x80 && b < 0xA0 && kAlti[b - 0x80] != 0) c = kAlti[b - 0x80];
    metti_utf8(c, &out);
  }
  return out;
}

std::string in_1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += n;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char byte = '?';
    for (size_t k = 0; k < kAlti.size(); ++k) {
      // The five bytes the code page leaves undefined came in as the C1
      // control of the same value.
      if (kAlti[k] == c || (kAlti[k] == 0 && c == 0x80 + k)) byte = static_cast<char>(0x80 + k);
    }
    out.push_back(byte);
  }
  return out;
}

}  // namespace scenario

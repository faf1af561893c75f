#include "model/testo.h"

#include <algorithm>
#include <array>

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

}  // namespace scenario

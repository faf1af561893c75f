// piano_rumoroso N FILE [zigzag|sei]: a line plan file of N points that no
// compile writes, all noise, for timing `scenario plot` on it: a zigzag
// across the whole height that dies away (x0 = p, x1 = +-115000 (1 - p/N)),
// or a six-point pattern over and over at the same height.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "model/piano.h"
#include "base/coding.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "uso: piano_rumoroso N FILE [zigzag|sei]\n");
    return 64;
  }
  const size_t n = std::strtoull(argv[1], nullptr, 10);
  const bool sei = argc == 4 && std::string_view(argv[3]) == "sei";
  constexpr double kSei[] = {0, 1, -1, 0.7, -0.7, 0};
  const auto x1 = [&](size_t p) {
    if (sei) return 115000 * kSei[p % 6];
    return (p % 2 == 0 ? 1 : -1) * 115000 * (1 - static_cast<double>(p) / static_cast<double>(n));
  };
  constexpr size_t kLarghezza = scenario::larghezza_valore(scenario::TipoValore::reale);
  constexpr auto kReale = static_cast<uint16_t>(scenario::TipoValore::reale);
  std::string b(2 * n * kLarghezza, '\0');
  for (size_t p = 0; p < n; ++p) {
    scenario::EncodeTaggedDouble(&b[p * kLarghezza], kReale, static_cast<double>(p));
    scenario::EncodeTaggedDouble(&b[(n + p) * kLarghezza], kReale, x1(p));
  }
  std::ofstream out(argv[2], std::ios::binary);
  out.write(b.data(), static_cast<std::streamsize>(b.size()));
  return out ? 0 : 3;
}

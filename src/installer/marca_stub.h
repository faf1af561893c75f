// The mark every stub carries in its image, so that `scenario pack` appends
// a scenario only to this project's stub: any other program (the author tool
// itself, a system program, a bare executable header) lacks it. The author
// tool searches for the mark, so it must never carry it itself: the mark is
// kept here with each byte complemented; the stub alone holds its plain
// bytes, made at compile time, and the tool makes them at run time.
#ifndef SCENARIO_INSTALLER_MARCA_STUB_H_
#define SCENARIO_INSTALLER_MARCA_STUB_H_

#include <array>
#include <cstddef>
#include <string>

namespace scenario {

template <size_t N>
constexpr std::array<unsigned char, N - 1> complementa(const char (&testo)[N]) {
  std::array<unsigned char, N - 1> r{};
  for (size_t i = 0; i + 1 < N; ++i) r[i] = static_cast<unsigned char>(~testo[i]);
  return r;
}

inline constexpr auto kMarcaStubComplementata = complementa("scenario-stub/marca:1:c7e2a95d0b34");

// The plain mark, as the stub holds it.
template <size_t N>
constexpr std::array<char, N> marca_in_chiaro(const std::array<unsigned char, N>& c) {
  std::array<char, N> r{};
  for (size_t i = 0; i < N; ++i) r[i] = static_cast<char>(static_cast<unsigned char>(~c[i]));
  return r;
}

// The plain mark, made at run time: read through a volatile pointer, so
// that no compiler folds it into a constant of the program that asks.
inline std::string marca_stub() {
  const volatile unsigned char* c = kMarcaStubComplementata.data();
  std::string r(kMarcaStubComplementata.size(), '\0');
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<char>(static_cast<unsigned char>(~c[i]));
  return r;
}

}  // namespace scenario

#endif  // SCENARIO_INSTALLER_MARCA_STUB_H_

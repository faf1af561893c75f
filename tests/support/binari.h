// For tests of the binary readers and of the picture: line plan bytes made
// value by value, and the numbers of an SVG attribute.
#ifndef SCENARIO_TESTS_SUPPORT_BINARI_H_
#define SCENARIO_TESTS_SUPPORT_BINARI_H_

#include <bit>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "model/piano.h"
#include "output/coding.h"

namespace scenario::test {

// One tagged plan value as the plan file holds it.
inline void metti_valore(std::string* b, TipoValore t, double v) {
  PutFixed16(b, static_cast<uint16_t>(t));
  if (t == TipoValore::intero) PutFixed16(b, static_cast<uint16_t>(static_cast<int16_t>(v)));
  if (t == TipoValore::reale) {
    const auto bits = std::bit_cast<uint64_t>(v);
    PutFixed32(b, static_cast<uint32_t>(bits));
    PutFixed32(b, static_cast<uint32_t>(bits >> 32));
  }
}

// The numbers in the value of attribute `nome` of the first element at or
// after `da` that has it: "M1 2.5 3-4" gives 1, 2.5, 3, -4.
inline std::vector<double> numeri_attributo(const std::string& svg, size_t da,
                                            const std::string& nome) {
  const size_t a = svg.find(" " + nome + "=\"", da) + nome.size() + 3;
  const std::string valore = svg.substr(a, svg.find('"', a) - a);
  std::vector<double> v;
  for (size_t i = 0; i < valore.size();) {
    if (std::isdigit(static_cast<unsigned char>(valore[i])) || valore[i] == '-') {
      size_t fine;
      v.push_back(std::stod(valore.substr(i), &fine));
      i += fine;
    } else {
      ++i;
    }
  }
  return v;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_BINARI_H_

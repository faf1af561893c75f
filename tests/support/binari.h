// For tests of the binary readers and of the picture: line plan bytes made
// value by value, and the numbers of an SVG attribute.
#ifndef SCENARIO_TESTS_SUPPORT_BINARI_H_
#define SCENARIO_TESTS_SUPPORT_BINARI_H_

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "model/piano.h"
#include "base/coding.h"

namespace scenario::test {

// One tagged plan value as the plan file holds it.
inline void metti_valore(std::string* b, TipoValore t, double v) {
  char buf[10];
  const auto tag = static_cast<uint16_t>(t);
  if (t == TipoValore::intero) {
    EncodeTaggedFixed16(buf, tag, static_cast<uint16_t>(static_cast<int16_t>(v)));
  } else if (t == TipoValore::reale) {
    EncodeTaggedDouble(buf, tag, v);
  } else {
    EncodeFixed16(buf, tag);
  }
  b->append(buf, larghezza_valore(t));
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

// nearest(): every real-to-whole conversion rounds to the nearest whole
// number, a half going to the even neighbour. The values rounded are always
// quotients of whole numbers, so the rounding is done exactly on the
// fraction, never on a binary float that cannot hold it.
#ifndef SCENARIO_BASE_ARROTONDA_H_
#define SCENARIO_BASE_ARROTONDA_H_

#include <cstdint>

namespace scenario {

// nearest(num / den), den > 0.
constexpr int64_t vicino(int64_t num, int64_t den) {
  int64_t q = num / den;
  int64_t r = num % den;
  if (r < 0) {  // floor division
    r += den;
    q -= 1;
  }
  // Compare the remainder with half the divisor without dividing.
  const int64_t doppio = 2 * r;
  if (doppio > den || (doppio == den && (q % 2 != 0))) q += 1;
  return q;
}

}  // namespace scenario

#endif  // SCENARIO_BASE_ARROTONDA_H_

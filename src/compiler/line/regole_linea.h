// How the line file's records pack and join what they store: the rules the
// compile applies, and decompile reads back to tell which record gave a
// cell or a plan point.
#ifndef SCENARIO_COMPILER_LINE_REGOLE_LINEA_H_
#define SCENARIO_COMPILER_LINE_REGOLE_LINEA_H_

#include <cstdint>

namespace scenario {

// The curve classes: the digit a curve's keyword holds and the curvature
// each plan point of it turns by (to the right; a field holding an 's'
// turns left).
struct ClasseCurva {
  char cifra;
  double c;
};
inline constexpr ClasseCurva kClassiCurva[] = {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004},
                                               {'4', 0.001},  {'5', 0.002},  {'6', 0.003}};

// A speed indicator packs each rank as nearest((first group's speed x 100
// + second group's) / 5).
inline constexpr int32_t kPesoPrimoGruppo = 100;
inline constexpr int32_t kPassoIndicatore = 5;

// A structure that starts this close after the previous one's end joins it,
// and is then of the joined type.
inline constexpr int64_t kUnioneMontagne = 150;
inline constexpr int32_t kTipoMontagnaUnita = 3;
// A structure type above this is a long one, of the type less this.
inline constexpr int32_t kTipoMontagnaLunga = 10;

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_REGOLE_LINEA_H_

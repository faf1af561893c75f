// The binary files' fixed facts: the size of their records, the format
// stamps a compiled file carries, and the table sizes a compiled line can
// have. The writers, the readers and the compiler read them from here.
#ifndef SCENARIO_MODEL_FORMATO_H_
#define SCENARIO_MODEL_FORMATO_H_

#include <cstddef>
#include <cstdint>

#include "model/modello.h"

namespace scenario {

// The format stamps: header entry kVoceLinea's `intero_uno` and cell 1's
// `dato_uno` in every compiled file.
constexpr int16_t kTimbroTestata = 610;
constexpr int16_t kTimbroCelle = 5121;

// Bytes of one cell, and of one header entry whose text is empty.
constexpr size_t kBytesCella = 15;
constexpr size_t kBytesVoceVuota = 34;

// A line of m metres has the cells 0..cella_finale(m + run-off) and the
// plan points 0..m + run-off: a line of 0 m the fewest, the longest line
// the most.
constexpr size_t celle_di_linea(int32_t metri) {
  return static_cast<size_t>(cella_finale(metri + kMetriProlungamento)) + 1;
}
constexpr size_t punti_di_linea(int32_t metri) {
  return static_cast<size_t>(metri + kMetriProlungamento) + 1;
}
constexpr size_t kMinimoCelle = celle_di_linea(0);
constexpr size_t kMassimoCelle = celle_di_linea(kLunghezzaMassima);
constexpr size_t kMinimoPunti = punti_di_linea(0);
constexpr size_t kMassimoPunti = punti_di_linea(kLunghezzaMassima);
// 7000 / 50 + 1 and 1007000 / 50 + 1 cells; 7000 + 1 and 1007000 + 1 points.
static_assert(kMinimoCelle == 141 && kMassimoCelle == 20141);
static_assert(kMinimoPunti == 7001 && kMassimoPunti == 1007001);

}  // namespace scenario

#endif  // SCENARIO_MODEL_FORMATO_H_

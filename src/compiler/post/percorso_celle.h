// The cell walk: code points around signals and slowdowns.
#ifndef SCENARIO_COMPILER_POST_PERCORSO_CELLE_H_
#define SCENARIO_COMPILER_POST_PERCORSO_CELLE_H_

#include <cstdint>
#include <vector>

#include "model/modello.h"

namespace scenario {

// The smaller of two values, x on a tie.
int32_t minimo(int32_t x, int32_t y);

// Walks cells 1 to N - 2 once, adding code points; records 11, 12 or 13
// where a code point has no free cell.
void percorri_celle(std::vector<Cella>& celle, RecordErrore& errore);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_POST_PERCORSO_CELLE_H_

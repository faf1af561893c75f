// The cell walk: code points around signals and slowdowns.
#ifndef SCENARIO_COMPILER_POST_PERCORSO_CELLE_H_
#define SCENARIO_COMPILER_POST_PERCORSO_CELLE_H_

#include <cstdint>
#include <vector>

#include "compiler/codici_errore.h"
#include "model/modello.h"

namespace scenario {

// The smaller of two values, x on a tie.
int32_t minimo(int32_t x, int32_t y);

// Watches the walk for the check of an author's sources: each code point
// and each fault, with the cell of the signal or slowdown start it is for.
class OsservatorePercorso {
 public:
  virtual ~OsservatorePercorso() = default;
  virtual void punto(int32_t cella, int32_t origine) = 0;
  virtual void guasto(Codice codice, int32_t cella, int32_t origine) = 0;
};

// Walks cells 1 to N - 2 once, adding code points; records 11, 12 or 13
// where a code point has no free cell.
void percorri_celle(std::vector<Cella>& celle, RecordErrore& errore,
                    OsservatorePercorso* osservatore = nullptr);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_POST_PERCORSO_CELLE_H_

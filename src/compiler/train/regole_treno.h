// Where the train file's records put their marks beside the cell of their
// position: the rules the compile places them by, and the check reads back
// to tell which record coded a cell.
#ifndef SCENARIO_COMPILER_TRAIN_REGOLE_TRENO_H_
#define SCENARIO_COMPILER_TRAIN_REGOLE_TRENO_H_

#include <cstdint>

#include "model/modello.h"

namespace scenario {

// A slowdown's warning stands kMetriAvviso (modello.h) before its start,
// and only a slowdown that starts beyond this position warns the driver.
constexpr int32_t kInizioAvvisi = 1500;
// The pre-warning cells a slowdown asks for, directly below its warning
// cell.
constexpr int kCellePreavviso = 4;

// A station of this type or above has no stop mark.
constexpr int kTipoSenzaFermata = 25;

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_REGOLE_TRENO_H_

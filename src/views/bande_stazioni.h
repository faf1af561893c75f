// The stations' band: each zone with its name in the first free row above
// it, the stop marks (cells of code 10) under it.
#ifndef SCENARIO_VIEWS_BANDE_STAZIONI_H_
#define SCENARIO_VIEWS_BANDE_STAZIONI_H_

#include "views/bande.h"

namespace scenario::disegno {

void banda_stazioni(Bande& b);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_BANDE_STAZIONI_H_

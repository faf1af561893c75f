// The bands of the line's profile, cell by cell: the train's speed limit
// with the slowdowns, the altitude and gradient, the adhesion and the
// structures.
#ifndef SCENARIO_VIEWS_BANDE_PROFILO_H_
#define SCENARIO_VIEWS_BANDE_PROFILO_H_

#include "views/bande.h"

namespace scenario::disegno {

// `velocita_treno` x 5 km/h, and each slowdown's speed (`dato_uno` of its
// start cell) from its start cell to its end cell.
void banda_velocita(Bande& b);
// The gradients summed over the cells, relative to the line's start.
void banda_altimetria(Bande& b);
// `pendenza` - 100 per mille; a cell holding 0 was reached by no gradient
// and is left out.
void banda_pendenza(Bande& b);
void banda_aderenza(Bande& b);
// Runs of cells with the same non-zero `struttura`, one colour per type.
void banda_strutture(Bande& b);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_BANDE_PROFILO_H_

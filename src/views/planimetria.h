// The ground plan panel: the track thinned to the drawing's size, the
// stations at their points, kilometre ticks along the track.
#ifndef SCENARIO_VIEWS_PLANIMETRIA_H_
#define SCENARIO_VIEWS_PLANIMETRIA_H_

#include <vector>

#include "views/geometria_piano.h"
#include "views/progressive.h"
#include "views/stazioni.h"
#include "views/svg.h"

namespace scenario::disegno {

// Draws the panel that starts at y = cima: kilometres in the stretches
// `tr` of the line's chainage, its end at `fine` metres.
void disegna_pianta(Svg& svg, const Pianta& pi, double cima, const std::vector<Stazione>& st,
                    const std::vector<Tratto>& tr, double fine);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_PLANIMETRIA_H_

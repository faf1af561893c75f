// The ground plan panel: the track thinned to the drawing's size, the
// stations at their points, kilometre ticks along the track.
#ifndef SCENARIO_VIEWS_PLANIMETRIA_H_
#define SCENARIO_VIEWS_PLANIMETRIA_H_

#include <vector>

#include "views/geometria_piano.h"
#include "views/stazioni.h"
#include "views/svg.h"

namespace scenario::disegno {

// The plan points the panel needs in pixels, beside its track: the
// stations' and the kilometre ticks', with those that give their
// directions.
std::vector<size_t> punti_chiesti(const Pianta& pi, const std::vector<Stazione>& st);

// Draws the panel that starts at y = cima.
void disegna_pianta(Svg& svg, const Pianta& pi, double cima, const std::vector<Stazione>& st);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_PLANIMETRIA_H_

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

// How the panel counts along the track: the stretches of the line's
// chainage, and the line's end in metres from the start (the run-off
// after it).
struct Chilometri {
  std::vector<Tratto> tratti;
  double fine = 0;
};

// The plan points the panel needs in pixels, beside its track: the
// stations', the kilometre ticks', the changes of reference and the line's
// end, with those that give their directions, and the run-off's.
std::vector<size_t> punti_chiesti(const Pianta& pi, const std::vector<Stazione>& st,
                                  const Chilometri& km);

// Draws the panel that starts at y = cima.
void disegna_pianta(Svg& svg, const Pianta& pi, double cima, const std::vector<Stazione>& st,
                    const Chilometri& km);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_PLANIMETRIA_H_

// The ground plan's geometry: the plan points turned so that the line runs
// from left (its start) to right, fitted into the panel, in pieces where
// the plan has gaps.
#ifndef SCENARIO_VIEWS_GEOMETRIA_PIANO_H_
#define SCENARIO_VIEWS_GEOMETRIA_PIANO_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "format/lettori.h"
#include "views/semplifica.h"

namespace scenario::disegno {

struct Pianta {
  // Pieces of traced line (a gap in the plan splits them), in pixels.
  std::vector<std::vector<Punto2>> pezzi;
  // Every drawable point in pixels, by plan point; NaN where none.
  std::vector<double> px, py;
  double altezza = 0;  // of the panel
  double pixel_per_metro = 0;
};

// Turns the plan so that its main direction runs across, start on the left,
// and fits it into the panel that starts at y = cima. Only points that hold
// two finite values are drawn; none when fewer than two do or they all
// coincide.
std::optional<Pianta> pianta(const PianoLetto& piano, double cima);

// The direction of the track at plan point p, from the drawable points
// within `raggio` of it; none where there are too few.
std::optional<std::pair<double, double>> direzione(const Pianta& pi, size_t p, size_t raggio);

// The nearest drawable plan point to p.
std::optional<size_t> punto_vicino(const Pianta& pi, int64_t p);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_GEOMETRIA_PIANO_H_

// A picture of a compiled scenario: one self-contained SVG document with the
// ground plan and, under it, bands along one shared chainage axis.
#ifndef SCENARIO_VIEWS_DISEGNO_H_
#define SCENARIO_VIEWS_DISEGNO_H_

#include <string>
#include <vector>

#include "base/intervalli.h"
#include "format/lettori.h"
#include "model/modello.h"

namespace scenario {

// Draws the scenario of the header table `testata` and the cells `celle`;
// `piano` is the line plan, or null when there is none (no ground plan
// then). Every chainage is in metres from the line's start; cell i stands
// for the 50 m from i x 50.
//
// What each part reads:
// - ground plan: the plan points that hold two finite values, turned so
//   that the line runs from left (its start) to right, its shape and the
//   side of every curve kept; kilometre ticks every so many kilometres of
//   track, and each station at the point of its position (`valore_tre`).
// - stations: header entries 1, 2, ... up to the first empty entry or the
//   first board text: zone from `valore_uno` to `valore_due`, position
//   `valore_tre`, name `testo`, type `codice`, time `valore_quattro`; the
//   stop marks are the cells of code 10.
// - speed limit: `velocita_treno` x 5 km/h, cell by cell, with each
//   slowdown's speed (`dato_uno` of its start cell) from its start cell to
//   its end cell.
// - gradient: `pendenza` - 100 per mille (a cell holding 0 was reached by no
//   gradient and is left out); altitude: the gradients summed over the
//   cells, relative to the line's start.
// - adhesion: `aderenza`; structures: runs of cells with the same non-zero
//   `struttura`, one colour per type.
// - marks: signals (code 1), slowdowns (warning 4, start 3, end 2,
//   pre-warnings 5), speed indicators (6), code points (12, 13) and boards
//   (14), each at its cell, with a <title> that says what it is. Marks
//   closer than the drawing can show apart share one symbol and one title.
//
// The drawing keeps a fixed size; the plan polyline and the cell series are
// thinned to what that size can show, so the longest line's picture stays
// small.
std::string disegna_scenario(const Testata& testata, const std::vector<Cella>& celle,
                             const PianoLetto* piano);
// The same picture with the plan read from its file as the drawing goes
// (a few times over, never held whole); `indice` is the file's.
std::string disegna_scenario(const Testata& testata, const std::vector<Cella>& celle,
                             LettoreIntervalli& piano, const IndicePiano& indice);

}  // namespace scenario

#endif  // SCENARIO_VIEWS_DISEGNO_H_

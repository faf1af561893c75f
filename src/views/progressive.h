// The kilometres the driver reads on the posts: from each chainage
// reference's position on, the metres from the start plus its signed
// distance; before the first, the metres from the start. The axes of the
// bands and the ground plan's ticks both count in them.
#ifndef SCENARIO_VIEWS_PROGRESSIVE_H_
#define SCENARIO_VIEWS_PROGRESSIVE_H_

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "model/modello.h"

namespace scenario::disegno {

struct Progressiva {
  double da;      // metres from the start
  double scarto;  // added to them from there on
};

// The header's chainage references, in order along the line.
std::vector<Progressiva> progressive(const Testata& t);

// A stretch read in one reference: [da, a) metres from the start, read as
// metres + scarto.
struct Tratto {
  double da;
  double a;
  double scarto;
};

// The stretches from 0 to `totale` metres, a new one at each reference
// that starts before `fine` (the line's end: the run-off keeps the last).
std::vector<Tratto> tratti(const std::vector<Progressiva>& rif, double fine, double totale);

// "12+800": kilometres and metres, as on the posts.
std::string km_e_metri(double m);

// What a change of reference's title says: where it is and the kilometre
// read on either side of it.
std::string cambio_di_progressiva(const Tratto& prima, const Tratto& dopo);

// Calls f(metres from the start, kilometre read) at every whole multiple
// of `passo` kilometres, as read, of each stretch.
template <class F>
void ogni_km(const std::vector<Tratto>& tr, int64_t passo, F&& f) {
  const double m_passo = static_cast<double>(passo) * 1000;
  for (const Tratto& t : tr) {
    const double primo = std::ceil((t.da + t.scarto) / m_passo) * m_passo;
    for (double letto = primo; letto - t.scarto < t.a; letto += m_passo) {
      f(letto - t.scarto, static_cast<int64_t>(std::llround(letto / 1000)));
    }
  }
}

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_PROGRESSIVE_H_

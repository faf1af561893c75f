// Thinning a polyline to what a drawing can show: Douglas-Peucker, and the
// envelope by pixel columns for what no tolerance thins.
#ifndef SCENARIO_VIEWS_SEMPLIFICA_H_
#define SCENARIO_VIEWS_SEMPLIFICA_H_

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace scenario::disegno {

struct Punto2 {
  double x, y;
  size_t p;  // plan point
};

// The radial pass of sfoltisci(), made as the points of a polyline come:
// a point between the first and the last stays when it is at least
// `tolleranza` from the one kept before it.
class Radiale {
 public:
  explicit Radiale(double tolleranza) : tolleranza_(tolleranza) {}
  void aggiungi(const Punto2& q) {
    if (visti_ == 0) {
      tenuti_.push_back(q);
    } else {
      if (visti_ >= 2 && lontano(ultimo_, tenuti_.back())) tenuti_.push_back(ultimo_);
      ultimo_ = q;
    }
    ++visti_;
  }
  size_t visti() const { return visti_; }
  // The points kept, the last one seen with them; the pass starts again.
  std::vector<Punto2> chiudi() {
    if (visti_ >= 2) tenuti_.push_back(ultimo_);
    std::vector<Punto2> r = std::move(tenuti_);
    tenuti_.clear();
    visti_ = 0;
    return r;
  }

 private:
  // Whether q is at least the tolerance from u, as std::hypot says: its
  // square roots are asked only where the squares are too near to tell.
  bool lontano(const Punto2& q, const Punto2& u) const {
    const double dx = q.x - u.x, dy = q.y - u.y;
    const double d2 = dx * dx + dy * dy, t2 = tolleranza_ * tolleranza_;
    if (d2 > t2 * (1 + 1e-9)) return true;
    if (d2 < t2 * (1 - 1e-9)) return false;
    return std::hypot(dx, dy) >= tolleranza_;
  }

  double tolleranza_;
  std::vector<Punto2> tenuti_;
  Punto2 ultimo_{};
  size_t visti_ = 0;
};

// Douglas-Peucker after a radial pass: points nearer than `tolleranza` to the
// last kept one go first (linear), then the polyline keeps only the points
// that stand out from it by more than `tolleranza`. A split far off the
// middle of its stretch costs the whole stretch again, so that noise would
// make the splits quadratic. Once the work passes 64 looks per point (a
// traced line takes a few tens at most: the plain splits, and so every
// compiled line's picture, stay as they are), a lopsided split also keeps
// its stretch's middle point, and every stretch is then at most three
// quarters of the one before it: the work stays O(n log n) on any input,
// and a point dropped is still within `tolleranza` of the line kept.
std::vector<Punto2> sfoltisci(const std::vector<Punto2>& in, double tolleranza);
// The same once the radial pass is made: what sfoltisci(in, t) returns is
// sfoltisci_radiale(the radial pass of in at t, t).
std::vector<Punto2> sfoltisci_radiale(const std::vector<Punto2>& radiale, double tolleranza);

// The last resort for a plan that no tolerance thins (all noise): in each
// pixel column a run of points keeps its first, lowest, highest and last,
// so that the drawing keeps its envelope, as the cell series do.
std::vector<Punto2> inviluppo(const std::vector<Punto2>& in);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_SEMPLIFICA_H_

#include "views/semplifica.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace scenario::disegno {

namespace {

// The square of q's distance from the segment a-b: squares compare as the
// distances do, without a square root per point.
double distanza2_segmento(const Punto2& q, const Punto2& a, const Punto2& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double l2 = dx * dx + dy * dy;
  const double qx = q.x - a.x, qy = q.y - a.y;
  if (l2 == 0) return qx * qx + qy * qy;
  const double t = std::clamp((qx * dx + qy * dy) / l2, 0.0, 1.0);
  const double ex = qx - t * dx, ey = qy - t * dy;
  return ex * ex + ey * ey;
}

}  // namespace

std::vector<Punto2> sfoltisci(const std::vector<Punto2>& in, double tolleranza) {
  if (in.size() <= 2) return in;
  Radiale radiale(tolleranza);
  for (const Punto2& q : in) radiale.aggiungi(q);
  return sfoltisci_radiale(radiale.chiudi(), tolleranza);
}

std::vector<Punto2> sfoltisci_radiale(const std::vector<Punto2>& radiale, double tolleranza) {
  if (radiale.size() <= 2) return radiale;
  const size_t n = radiale.size();
  const double soglia = tolleranza * tolleranza;
  const size_t bilanciato = 64 * n;  // looks at points before splits are balanced
  size_t lavoro = 0;
  std::vector<char> tieni(n, 0);
  tieni.front() = tieni.back() = 1;
  std::vector<std::pair<size_t, size_t>> pila = {{0, n - 1}};
  while (!pila.empty()) {
    const auto [a, b] = pila.back();
    pila.pop_back();
    double peggiore = -1;
    size_t dove_peggiore = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double d = distanza2_segmento(radiale[i], radiale[a], radiale[b]);
      if (d > peggiore) peggiore = d, dove_peggiore = i;
    }
    lavoro += b - a;
    if (peggiore <= soglia) continue;
    tieni[dove_peggiore] = 1;
    const size_t quarto = (b - a) / 4;
    if (lavoro > bilanciato && (dove_peggiore - a < quarto || b - dove_peggiore < quarto)) {
      const size_t mezzo = a + (b - a) / 2;
      tieni[mezzo] = 1;
      const auto [x, y] = std::minmax(dove_peggiore, mezzo);
      pila.push_back({a, x});
      if (x != y) pila.push_back({x, y});
      pila.push_back({y, b});
    } else {
      pila.push_back({a, dove_peggiore});
      pila.push_back({dove_peggiore, b});
    }
  }
  std::vector<Punto2> r;
  for (size_t i = 0; i < n; ++i) {
    if (tieni[i]) r.push_back(radiale[i]);
  }
  return r;
}

std::vector<Punto2> inviluppo(const std::vector<Punto2>& in) {
  std::vector<Punto2> r;
  for (size_t i = 0; i < in.size();) {
    const double colonna = std::floor(in[i].x);
    size_t j = i, basso = i, alto = i;
    for (; j < in.size() && std::floor(in[j].x) == colonna; ++j) {
      if (in[j].y < in[basso].y) basso = j;
      if (in[j].y > in[alto].y) alto = j;
    }
    const auto [primo, secondo] = std::minmax(basso, alto);
    for (const size_t k : {i, primo, secondo, j - 1}) {
      if (r.empty() || r.back().p != in[k].p) r.push_back(in[k]);
    }
    i = j;
  }
  return r;
}

}  // namespace scenario::disegno

#include "views/geometria_piano.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "views/quadro.h"

namespace scenario::disegno {

namespace {

bool disegnabile(const PianoLetto& piano, size_t p) {
  return piano.x0[p].tipo != TipoValore::vuoto && piano.x1[p].tipo != TipoValore::vuoto &&
         std::isfinite(piano.x0[p].valore) && std::isfinite(piano.x1[p].valore);
}

}  // namespace

std::optional<Pianta> pianta(const PianoLetto& piano, double cima) {
  const size_t n = piano.punti();
  // The main direction of the points (their principal axis).
  double sx = 0, sy = 0, k = 0;
  size_t primo = n, ultimo = n;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) continue;
    sx += piano.x0[p].valore;
    sy += piano.x1[p].valore;
    k += 1;
    if (primo == n) primo = p;
    ultimo = p;
  }
  if (k < 2) return std::nullopt;
  const double mx = sx / k, my = sy / k;
  double sxx = 0, syy = 0, sxy = 0;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) continue;
    const double dx = piano.x0[p].valore - mx, dy = piano.x1[p].valore - my;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  double angolo = 0.5 * std::atan2(2 * sxy, sxx - syy);
  if (!std::isfinite(angolo)) angolo = 0;
  // x0 across, x1 up: the plan as a map, turned by -angolo.
  auto ruota = [&](double a, double b, double ang) {
    const double c = std::cos(ang), s = std::sin(ang);
    return std::pair{(a - mx) * c + (b - my) * s, -(a - mx) * s + (b - my) * c};
  };
  if (ruota(piano.x0[primo].valore, piano.x1[primo].valore, angolo).first >
      ruota(piano.x0[ultimo].valore, piano.x1[ultimo].valore, angolo).first) {
    angolo += std::numbers::pi;
  }
  double minx = INFINITY, maxx = -INFINITY, miny = INFINITY, maxy = -INFINITY;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) continue;
    const auto [u, v] = ruota(piano.x0[p].valore, piano.x1[p].valore, angolo);
    minx = std::min(minx, u), maxx = std::max(maxx, u);
    miny = std::min(miny, v), maxy = std::max(maxy, v);
  }
  const double larghezza = kDestra - 60, altezza_massima = 520;
  const double estensione = std::max(maxx - minx, maxy - miny);
  if (!std::isfinite(estensione) || estensione <= 0) return std::nullopt;
  const double scala = std::min(larghezza / std::max(maxx - minx, estensione * 1e-3),
                                altezza_massima / std::max(maxy - miny, estensione * 1e-3));
  if (!std::isfinite(scala) || scala <= 0) return std::nullopt;
  Pianta r;
  r.pixel_per_metro = scala;
  const double alto = (maxy - miny) * scala;
  r.altezza = alto + 110;
  const double ox = 60 + (larghezza - (maxx - minx) * scala) / 2;
  const double oy = cima + 55 + alto;  // where miny lands
  r.px.assign(n, NAN);
  r.py.assign(n, NAN);
  std::vector<Punto2> pezzo;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) {
      if (pezzo.size() > 0) r.pezzi.push_back(std::move(pezzo));
      pezzo.clear();
      continue;
    }
    const auto [u, v] = ruota(piano.x0[p].valore, piano.x1[p].valore, angolo);
    const double x = ox + (u - minx) * scala, y = oy - (v - miny) * scala;
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    r.px[p] = x;
    r.py[p] = y;
    pezzo.push_back({x, y, p});
  }
  if (!pezzo.empty()) r.pezzi.push_back(std::move(pezzo));
  return r;
}

std::optional<std::pair<double, double>> direzione(const Pianta& pi, size_t p, size_t raggio) {
  const size_t a = p >= raggio ? p - raggio : 0;
  const size_t b = std::min(pi.px.size() - 1, p + raggio);
  size_t da = a, a_ = b;
  while (da < p && std::isnan(pi.px[da])) ++da;
  while (a_ > p && std::isnan(pi.px[a_])) --a_;
  if (std::isnan(pi.px[da]) || std::isnan(pi.px[a_]) || da == a_) return std::nullopt;
  const double dx = pi.px[a_] - pi.px[da], dy = pi.py[a_] - pi.py[da];
  const double l = std::hypot(dx, dy);
  if (l == 0) return std::nullopt;
  return std::pair{dx / l, dy / l};
}

std::optional<size_t> punto_vicino(const Pianta& pi, int64_t p) {
  const int64_t n = static_cast<int64_t>(pi.px.size());
  if (n == 0) return std::nullopt;
  p = std::clamp<int64_t>(p, 0, n - 1);
  for (int64_t d = 0; d < n; ++d) {
    if (p - d >= 0 && !std::isnan(pi.px[static_cast<size_t>(p - d)])) {
      return static_cast<size_t>(p - d);
    }
    if (p + d < n && !std::isnan(pi.px[static_cast<size_t>(p + d)])) {
      return static_cast<size_t>(p + d);
    }
    if (p - d < 0 && p + d >= n) break;
  }
  return std::nullopt;
}

}  // namespace scenario::disegno

#include "views/geometria_piano.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "views/quadro.h"

namespace scenario::disegno {

namespace {

bool disegnabile(const ValorePiano& x0, const ValorePiano& x1) {
  return x0.tipo != TipoValore::vuoto && x1.tipo != TipoValore::vuoto &&
         std::isfinite(x0.valore) && std::isfinite(x1.valore);
}

// Points walked in runs of this many from a file.
constexpr size_t kRun = 4096;

// A piece of track as its points come, the radial pass made.
class InCorso {
 public:
  void aggiungi(const Punto2& q) { radiale_.aggiungi(q); }
  bool vuoto() const { return radiale_.visti() == 0; }
  Pezzo chiudi() {
    const size_t punti = radiale_.visti();
    return Pezzo{radiale_.chiudi(), punti};
  }

 private:
  Radiale radiale_{kTolleranzaPianta};
};

}  // namespace

void PuntiDaFile::percorri(const Passo& passo) {
  PuntiPiano p(file_, indice_);
  std::vector<ValorePiano> x0(std::min(kRun, indice_.punti)), x1(x0.size());
  for (size_t da = 0; da < indice_.punti; da += kRun) {
    const size_t n = std::min(kRun, indice_.punti - da);
    for (size_t i = 0; i < n; ++i) p.prossimo(x0[i], x1[i]);
    passo(da, std::span(x0).first(n), std::span(x1).first(n));
  }
}

double Pianta::x(size_t p) const {
  const auto i = std::lower_bound(chiesti.begin(), chiesti.end(), p);
  return i != chiesti.end() && *i == p ? dove[static_cast<size_t>(i - chiesti.begin())].first
                                       : NAN;
}

double Pianta::y(size_t p) const {
  const auto i = std::lower_bound(chiesti.begin(), chiesti.end(), p);
  return i != chiesti.end() && *i == p ? dove[static_cast<size_t>(i - chiesti.begin())].second
                                       : NAN;
}

std::optional<Pianta> pianta(FontePunti& fonte, double cima, const PuntiChiesti& chiesti) {
  const size_t n = fonte.punti();
  Pianta r;
  r.disegnabile.assign(n, false);
  // The main direction of the points (their principal axis).
  double sx = 0, sy = 0, k = 0;
  size_t primo = n;
  ValorePiano primo_x0, primo_x1, ultimo_x0, ultimo_x1;
  fonte.percorri([&](size_t da, std::span<const ValorePiano> x0, std::span<const ValorePiano> x1) {
    for (size_t i = 0; i < x0.size(); ++i) {
      if (!disegnabile(x0[i], x1[i])) continue;
      r.disegnabile[da + i] = true;
      sx += x0[i].valore;
      sy += x1[i].valore;
      k += 1;
      if (primo == n) primo = da + i, primo_x0 = x0[i], primo_x1 = x1[i];
      ultimo_x0 = x0[i], ultimo_x1 = x1[i];
    }
  });
  if (k < 2) return std::nullopt;
  const double mx = sx / k, my = sy / k;
  double sxx = 0, syy = 0, sxy = 0;
  fonte.percorri([&](size_t, std::span<const ValorePiano> x0, std::span<const ValorePiano> x1) {
    for (size_t i = 0; i < x0.size(); ++i) {
      if (!disegnabile(x0[i], x1[i])) continue;
      const double dx = x0[i].valore - mx, dy = x1[i].valore - my;
      sxx += dx * dx;
      syy += dy * dy;
      sxy += dx * dy;
    }
  });
  double angolo = 0.5 * std::atan2(2 * sxy, sxx - syy);
  if (!std::isfinite(angolo)) angolo = 0;
  // x0 across, x1 up: the plan as a map, turned by -angolo.
  auto ruota = [&](double a, double b, double c, double s) {
    return std::pair{(a - mx) * c + (b - my) * s, -(a - mx) * s + (b - my) * c};
  };
  {
    const double c = std::cos(angolo), s = std::sin(angolo);
    if (ruota(primo_x0.valore, primo_x1.valore, c, s).first >
        ruota(ultimo_x0.valore, ultimo_x1.valore, c, s).first) {
      angolo += std::numbers::pi;
    }
  }
  const double c = std::cos(angolo), s = std::sin(angolo);
  double minx = INFINITY, maxx = -INFINITY, miny = INFINITY, maxy = -INFINITY;
  fonte.percorri([&](size_t, std::span<const ValorePiano> x0, std::span<const ValorePiano> x1) {
    for (size_t i = 0; i < x0.size(); ++i) {
      if (!disegnabile(x0[i], x1[i])) continue;
      const auto [u, v] = ruota(x0[i].valore, x1[i].valore, c, s);
      minx = std::min(minx, u), maxx = std::max(maxx, u);
      miny = std::min(miny, v), maxy = std::max(maxy, v);
    }
  });
  const double larghezza = kDestra - 60, altezza_massima = 520;
  const double estensione = std::max(maxx - minx, maxy - miny);
  if (!std::isfinite(estensione) || estensione <= 0) return std::nullopt;
  const double scala = std::min(larghezza / std::max(maxx - minx, estensione * 1e-3),
                                altezza_massima / std::max(maxy - miny, estensione * 1e-3));
  if (!std::isfinite(scala) || scala <= 0) return std::nullopt;
  r.pixel_per_metro = scala;
  const double alto = (maxy - miny) * scala;
  r.altezza = alto + 110;
  const double ox = 60 + (larghezza - (maxx - minx) * scala) / 2;
  const double oy = cima + 55 + alto;  // where miny lands

  std::vector<size_t> voluti = chiesti(r);
  std::sort(voluti.begin(), voluti.end());
  voluti.erase(std::unique(voluti.begin(), voluti.end()), voluti.end());
  std::erase_if(voluti, [&r](size_t p) { return p >= r.punti() || !r.disegnabile[p]; });
  std::vector<std::pair<double, double>> dove(voluti.size(), {NAN, NAN});
  size_t prossimo = 0;  // in voluti
  InCorso pezzo;
  fonte.percorri([&](size_t da, std::span<const ValorePiano> x0, std::span<const ValorePiano> x1) {
    for (size_t i = 0; i < x0.size(); ++i) {
      const size_t p = da + i;
      if (!disegnabile(x0[i], x1[i])) {
        if (!pezzo.vuoto()) r.pezzi.push_back(pezzo.chiudi());
        continue;
      }
      const auto [u, v] = ruota(x0[i].valore, x1[i].valore, c, s);
      const double x = ox + (u - minx) * scala, y = oy - (v - miny) * scala;
      if (!std::isfinite(x) || !std::isfinite(y)) continue;
      if (prossimo < voluti.size() && voluti[prossimo] == p) dove[prossimo++] = {x, y};
      pezzo.aggiungi({x, y, p});
    }
  });
  if (!pezzo.vuoto()) r.pezzi.push_back(pezzo.chiudi());
  r.chiesti = std::move(voluti);
  r.dove = std::move(dove);
  return r;
}

std::optional<std::pair<size_t, size_t>> estremi(const Pianta& pi, size_t p, size_t raggio) {
  const size_t a = p >= raggio ? p - raggio : 0;
  const size_t b = std::min(pi.punti() - 1, p + raggio);
  size_t da = a, a_ = b;
  while (da < p && !pi.disegnabile[da]) ++da;
  while (a_ > p && !pi.disegnabile[a_]) --a_;
  if (!pi.disegnabile[da] || !pi.disegnabile[a_] || da == a_) return std::nullopt;
  return std::pair{da, a_};
}

std::optional<std::pair<double, double>> direzione(const Pianta& pi, size_t p, size_t raggio) {
  const auto e = estremi(pi, p, raggio);
  if (!e) return std::nullopt;
  const auto [da, a_] = *e;
  const double dx = pi.x(a_) - pi.x(da), dy = pi.y(a_) - pi.y(da);
  const double l = std::hypot(dx, dy);
  if (l == 0) return std::nullopt;
  return std::pair{dx / l, dy / l};
}

std::optional<size_t> punto_vicino(const Pianta& pi, int64_t p) {
  const int64_t n = static_cast<int64_t>(pi.punti());
  if (n == 0) return std::nullopt;
  p = std::clamp<int64_t>(p, 0, n - 1);
  for (int64_t d = 0; d < n; ++d) {
    if (p - d >= 0 && pi.disegnabile[static_cast<size_t>(p - d)]) {
      return static_cast<size_t>(p - d);
    }
    if (p + d < n && pi.disegnabile[static_cast<size_t>(p + d)]) {
      return static_cast<size_t>(p + d);
    }
    if (p - d < 0 && p + d >= n) break;
  }
  return std::nullopt;
}

}  // namespace scenario::disegno

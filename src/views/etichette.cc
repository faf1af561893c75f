#include "views/etichette.h"

#include <algorithm>
#include <cmath>

namespace scenario::disegno {

namespace {

constexpr double kLarghezzaLettera = 0.62;  // a capital's width per unit of text size

size_t lettere(std::string_view utf8) {
  size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

double larghezza_testo(std::string_view utf8, double corpo) {
  return static_cast<double>(lettere(utf8)) * corpo * kLarghezzaLettera;
}

Riquadro riquadro_testo(double x, double y, std::string_view utf8, double corpo,
                        std::string_view ancora) {
  const double w = larghezza_testo(utf8, corpo);
  const double x0 = ancora == "middle" ? x - w / 2 : ancora == "end" ? x - w : x;
  return {x0, y - corpo * 0.8, x0 + w, y + corpo * 0.25};
}

bool Etichette::libero(const Riquadro& r) const {
  for (const Riquadro& o : presi_) {
    if (r.tocca(o)) return false;
  }
  return true;
}

void Etichette::binario(double ax, double ay, double bx, double by) {
  const double l = std::hypot(bx - ax, by - ay);
  const int passi = static_cast<int>(std::min(l, 4000.0)) + 1;
  for (int i = 0; i <= passi; ++i) {
    const double t = static_cast<double>(i) / passi;
    if (const auto k = quadretto(ax + t * (bx - ax), ay + t * (by - ay))) mappa_[*k] = true;
  }
}

bool Etichette::sul_binario(const Riquadro& r) const {
  for (double y = std::floor(r.y0); y <= r.y1 + 1; y += kQuadretto) {
    for (double x = std::floor(r.x0); x <= r.x1 + 1; x += kQuadretto) {
      const auto k = quadretto(x, y);
      if (k && mappa_[*k]) return true;
    }
  }
  return false;
}

std::optional<size_t> Etichette::quadretto(double x, double y) const {
  if (!(x >= 0 && y >= 0)) return std::nullopt;
  const int c = static_cast<int>(x / kQuadretto), r = static_cast<int>(y / kQuadretto);
  if (c >= kColonne || r >= kRighe) return std::nullopt;
  return static_cast<size_t>(r) * kColonne + static_cast<size_t>(c);
}

bool etichetta_accanto(Svg& svg, Etichette& occupate, double x, double y, double dx, double dy,
                       std::string_view testo, double corpo, std::string_view altro,
                       std::initializer_list<double> distanze, bool sul_binario) {
  // Normal to the track; labels go above first.
  double nx = -dy, ny = dx;
  if (ny > 0) nx = -nx, ny = -ny;
  constexpr double kBordo = 8;
  // Last of all, a label that would cross the drawing's edge (a long name
  // at a line's end) slides along it to inside, rather than go missing.
  for (const bool scorri : {false, true}) {
    for (const bool anche_sul_binario : {false, true}) {
      if (anche_sul_binario && !sul_binario) break;
      for (const double d : distanze) {
        for (const int lato : {1, -1}) {
          double cx = x + lato * nx * d;
          const double cy = y + lato * ny * d;
          // Anchor so that the text grows away from the track.
          const double ex = lato * nx;
          const std::string_view ancora = ex > 0.4 ? "start" : ex < -0.4 ? "end" : "middle";
          const double by = cy + (lato * ny > 0.4    ? corpo * 0.8
                                  : lato * ny < -0.4 ? 0
                                                     : corpo * 0.35);
          Riquadro r = riquadro_testo(cx, by, testo, corpo, ancora);
          if (scorri) {
            const double sposta = r.x0 < kBordo                ? kBordo - r.x0
                                  : r.x1 > kLarghezza - kBordo ? kLarghezza - kBordo - r.x1
                                                               : 0;
            if (sposta == 0) continue;  // tried as it is already
            cx += sposta;
            r.x0 += sposta;
            r.x1 += sposta;
          }
          if (r.x0 < kBordo || r.x1 > kLarghezza - kBordo || !occupate.libero(r)) continue;
          if (!anche_sul_binario && occupate.sul_binario(r)) continue;
          occupate.prendi(r);
          svg.etichetta(cx, by, testo, corpo, ancora, altro);
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace scenario::disegno

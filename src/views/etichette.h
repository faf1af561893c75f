// Label placement: labels that must not hide each other, nor (where it can
// be helped) the track they name.
#ifndef SCENARIO_VIEWS_ETICHETTE_H_
#define SCENARIO_VIEWS_ETICHETTE_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "views/quadro.h"
#include "views/svg.h"

namespace scenario::disegno {

struct Riquadro {
  double x0, y0, x1, y1;
  bool tocca(const Riquadro& o, double aria = 2) const {
    return x0 < o.x1 + aria && o.x0 < x1 + aria && y0 < o.y1 + aria && o.y0 < y1 + aria;
  }
};

// The width a text takes at text size `corpo`, from its letters.
double larghezza_testo(std::string_view utf8, double corpo);

// The box of a text at (x, y) with the anchor ("start", "middle", "end").
Riquadro riquadro_testo(double x, double y, std::string_view utf8, double corpo,
                        std::string_view ancora);

// The labels taken so far, and the track as a bitmap of 2-pixel squares.
class Etichette {
 public:
  bool libero(const Riquadro& r) const;
  void prendi(const Riquadro& r) { presi_.push_back(r); }

  // The track's segment a-b.
  void binario(double ax, double ay, double bx, double by);
  bool sul_binario(const Riquadro& r) const;

 private:
  static constexpr double kQuadretto = 2;
  static constexpr int kColonne = static_cast<int>(kLarghezza / kQuadretto) + 1;
  static constexpr int kRighe = 2000;

  std::optional<size_t> quadretto(double x, double y) const;

  std::vector<Riquadro> presi_;
  // A bit a square: the map is as tall as the tallest panel, and what a
  // drawing never reaches is never touched.
  std::vector<bool> mappa_ = std::vector<bool>(static_cast<size_t>(kColonne) * kRighe, false);
};

// A label beside the track point (x, y), on either side of the track of
// direction (dx, dy), at the first of the `distanze` that hides no other
// label and no track; failing that, with `sul_binario`, the first that
// hides no label; failing both, slid along the drawing's edge to inside it.
// Written to `svg` and taken in `occupate`; false when none is found.
bool etichetta_accanto(Svg& svg, Etichette& occupate, double x, double y, double dx, double dy,
                       std::string_view testo, double corpo, std::string_view altro,
                       std::initializer_list<double> distanze, bool sul_binario);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_ETICHETTE_H_

// The ground plan's geometry: the plan points turned so that the line runs
// from left (its start) to right, fitted into the panel, in pieces where
// the plan has gaps. The plan is walked a few times, in order, and never
// held: it may be a file read as the walk goes.
#ifndef SCENARIO_VIEWS_GEOMETRIA_PIANO_H_
#define SCENARIO_VIEWS_GEOMETRIA_PIANO_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "base/intervalli.h"
#include "format/lettori.h"
#include "views/semplifica.h"

namespace scenario::disegno {

// The plan's points from the first, walked as often as asked: each walk
// hands them in runs (the values of points da, da + 1, ...).
class FontePunti {
 public:
  using Passo = std::function<void(size_t da, std::span<const ValorePiano> x0,
                                   std::span<const ValorePiano> x1)>;
  virtual ~FontePunti() = default;
  virtual size_t punti() const = 0;
  virtual void percorri(const Passo& passo) = 0;
};

// A plan held in memory.
class PuntiInMemoria : public FontePunti {
 public:
  explicit PuntiInMemoria(const PianoLetto& piano) : piano_(piano) {}
  size_t punti() const override { return piano_.punti(); }
  void percorri(const Passo& passo) override { passo(0, piano_.x0, piano_.x1); }

 private:
  const PianoLetto& piano_;
};

// A plan file read a window at a time, once per walk.
class PuntiDaFile : public FontePunti {
 public:
  PuntiDaFile(LettoreIntervalli& file, const IndicePiano& indice) : file_(file), indice_(indice) {}
  size_t punti() const override { return indice_.punti; }
  void percorri(const Passo& passo) override;

 private:
  LettoreIntervalli& file_;
  const IndicePiano& indice_;
};

// The tolerance of the track's first thinning, in pixels: a third of one.
constexpr double kTolleranzaPianta = 0.3;

// A piece of traced line (a gap in the plan splits them), in pixels.
struct Pezzo {
  std::vector<Punto2> radiale;  // its points, the radial pass at kTolleranzaPianta made
  size_t punti = 0;             // its points before that pass
};

struct Pianta {
  std::vector<Pezzo> pezzi;
  // By plan point: whether it is drawn (it holds two finite values).
  std::vector<bool> disegnabile;
  double altezza = 0;  // of the panel
  double pixel_per_metro = 0;

  size_t punti() const { return disegnabile.size(); }
  // In pixels, the drawable plan point p among those asked for (see
  // pianta()); NaN for any other.
  double x(size_t p) const;
  double y(size_t p) const;

  // The points asked for, in order, and where they are.
  std::vector<size_t> chiesti;
  std::vector<std::pair<double, double>> dove;
};

// Which drawable points the picture will need in pixels: asked once the
// plan's scale and its drawable points are known (pezzi, chiesti and dove
// still empty).
using PuntiChiesti = std::function<std::vector<size_t>(const Pianta&)>;

// Turns the plan so that its main direction runs across, start on the left,
// and fits it into the panel that starts at y = cima. Only points that hold
// two finite values are drawn; none when fewer than two do or they all
// coincide. Walks `fonte` four times.
std::optional<Pianta> pianta(FontePunti& fonte, double cima, const PuntiChiesti& chiesti);

// The drawable points nearest to p from each side within `raggio` of it
// (the first and the last of them), when they are two.
std::optional<std::pair<size_t, size_t>> estremi(const Pianta& pi, size_t p, size_t raggio);

// The direction of the track at plan point p, from the drawable points
// within `raggio` of it (estremi(), both asked for); none where there are
// too few.
std::optional<std::pair<double, double>> direzione(const Pianta& pi, size_t p, size_t raggio);

// The nearest drawable plan point to p.
std::optional<size_t> punto_vicino(const Pianta& pi, int64_t p);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_GEOMETRIA_PIANO_H_

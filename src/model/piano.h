// The line plan: one point per metre, two coordinates each, every value
// tagged as empty, a 16-bit whole number or a 64-bit real.
#ifndef SCENARIO_MODEL_PIANO_H_
#define SCENARIO_MODEL_PIANO_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace scenario {

// Kind tags, as the plan file writes them.
enum class TipoValore : uint8_t { vuoto = 0, intero = 2, reale = 5 };

struct Punto {
  double x0 = 0;
  double x1 = 0;
};

// Both coordinates of a point always share one kind, so the array keeps one
// tag per point and the coordinates in two flat columns: about 17 bytes a
// point, no allocation per element.
class Planimetria {
 public:
  explicit Planimetria(int32_t ultimo_punto)
      : tipo_(static_cast<size_t>(ultimo_punto) + 1, TipoValore::vuoto),
        x0_(tipo_.size(), 0.0),
        x1_(tipo_.size(), 0.0) {}

  int32_t ultimo_punto() const { return static_cast<int32_t>(tipo_.size()) - 1; }
  size_t punti() const { return tipo_.size(); }

  TipoValore tipo(size_t p) const { return tipo_[p]; }
  Punto punto(size_t p) const { return {x0_[p], x1_[p]}; }
  // Component 0 or 1 of point p.
  double componente(int c, size_t p) const { return c == 0 ? x0_[p] : x1_[p]; }

  void imposta_intero(size_t p, int16_t x0, int16_t x1) {
    tipo_[p] = TipoValore::intero;
    x0_[p] = x0;
    x1_[p] = x1;
  }
  void imposta_reale(size_t p, Punto v) {
    tipo_[p] = TipoValore::reale;
    x0_[p] = v.x0;
    x1_[p] = v.x1;
  }

  bool operator==(const Planimetria&) const = default;

 private:
  std::vector<TipoValore> tipo_;
  std::vector<double> x0_;
  std::vector<double> x1_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_PIANO_H_

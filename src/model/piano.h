// The line plan: one point per metre, two coordinates each, every value
// tagged as empty, a 16-bit whole number or a 64-bit real.
#ifndef SCENARIO_MODEL_PIANO_H_
#define SCENARIO_MODEL_PIANO_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/blocco_memoria.h"
// The plan is held in the plan file's own tagged encoding: the one encoder,
// a header with no dependencies of its own.
#include "base/coding.h"

namespace scenario {

// Kind tags, as the plan file writes them.
enum class TipoValore : uint8_t { vuoto = 0, intero = 2, reale = 5 };

struct Punto {
  double x0 = 0;
  double x1 = 0;
};

// Puts bytes at their offset in a file.
using ScriviPezzo = std::function<void(size_t posizione, std::string_view bytes)>;

// A value in the plan file: its kind tag, then what the kind holds.
constexpr size_t kBytesEtichetta = 2;
constexpr size_t larghezza_dato(TipoValore t) {
  return t == TipoValore::reale ? sizeof(double) : t == TipoValore::intero ? sizeof(int16_t) : 0;
}
constexpr size_t larghezza_valore(TipoValore t) { return kBytesEtichetta + larghezza_dato(t); }
// The encoders that write a value whole write these many bytes.
static_assert(kBytesEtichetta == sizeof(uint16_t));
static_assert(larghezza_valore(TipoValore::reale) == 10 &&
              larghezza_valore(TipoValore::intero) == 4);

// The trace's step: a point from the two before it, straight when c is 0.
// The step keeps the length growth of the curved formula on purpose.
inline Punto passo_traccia(Punto a, Punto b, double c) {
  const double d0 = b.x0 - a.x0;
  const double d1 = b.x1 - a.x1;
  if (c == 0) return {b.x0 + d0, b.x1 + d1};
  const double n0 = d0 + c * d1;
  const double n1 = d1 - c * d0;
  return {b.x0 + n0, b.x1 + n1};
}

// Every point of a plan, laid out as the plan file: component 0 of every
// point, then component 1, each value its tag and its bytes. A compiled
// line has one shape: points 0 and 1 whole numbers, reals from point 2 to
// the third last, the last two empty. The block is laid out for that shape
// from the start, so each value is written once, at its place in the file.
// Any other plan is held too: a point of the shape not set yet is zero in
// the block, and a value of another kind than the shape's is kept aside.
class PianoSteso {
 public:
  explicit PianoSteso(size_t punti);

  TipoValore tipo(size_t p) const;
  double componente(int c, size_t p) const;
  void imposta_intero(size_t p, int16_t x0, int16_t x1);
  void imposta_reale(size_t p, Punto x) {
    if (atteso(p) == TipoValore::reale && a_parte_.empty()) {
      constexpr auto kTag = static_cast<uint16_t>(TipoValore::reale);
      char* v = posto(p);
      EncodeTaggedDouble(v, kTag, x.x0);
      EncodeTaggedDouble(v + componente_, kTag, x.x1);
      segna(p, TipoValore::reale);
      return;
    }
    imposta_reale_a_parte(p, x);
  }
  size_t dimensione_file() const { return dimensione_file_; }
  // Every byte of the file, in order, in as few pieces as the gaps and the
  // values aside allow.
  void scrivi_file(const ScriviPezzo& scrivi) const;

 private:
  struct Valore {
    TipoValore tipo;
    char byte[2][larghezza_valore(TipoValore::reale)];  // each component as the file writes it
  };

  // The shape's kind of point p.
  TipoValore atteso(size_t p) const {
    return p < interi_       ? TipoValore::intero
           : p < reali_fino_ ? TipoValore::reale
                             : TipoValore::vuoto;
  }
  // Where component 0 of point p starts, the shape taken for granted.
  size_t inizio(size_t p) const {
    if (p < interi_) return 4 * p;
    if (p < reali_fino_) return 4 * interi_ + 10 * (p - interi_);
    return 4 * interi_ + 10 * (reali_fino_ - interi_) + 2 * (p - reali_fino_);
  }
  char* posto(size_t p) { return blocco_.data() + inizio(p); }
  const char* posto(size_t p) const { return blocco_.data() + inizio(p); }

  bool impostato(size_t p) const { return (impostati_[p / 64] >> (p % 64)) & 1; }
  // Point p, not aside, now holds its shape's kind t in the block.
  void segna(size_t p, TipoValore t) {
    uint64_t& w = impostati_[p / 64];
    const uint64_t bit = uint64_t{1} << (p % 64);
    if (w & bit) return;
    w |= bit;
    --difformi_;
    dimensione_file_ += 2 * (larghezza_valore(t) - larghezza_valore(TipoValore::vuoto));
  }
  void imposta_reale_a_parte(size_t p, Punto x);
  void imposta(size_t p, const Valore& v);

  size_t punti_;
  size_t interi_;      // points [0, interi_) are whole numbers in the shape
  size_t reali_fino_;  // points [interi_, reali_fino_) are reals
  size_t componente_;  // bytes of one component, the shape taken for granted
  Blocco blocco_;
  std::vector<uint64_t> impostati_;  // a bit per point holding its shape's kind
  std::map<size_t, Valore> a_parte_;
  size_t difformi_;  // points whose kind is not the shape's
  size_t dimensione_file_;
};

// The plan as the compiler makes it. While it is no more than its first two
// points and one trace on from point 2, it is held as that: the trace's
// stretches, not its million points. The points are made a piece at a time
// as the file is written, or all at once when one is first read or set by
// itself.
class Planimetria {
 public:
  explicit Planimetria(int32_t ultimo_punto);

  int32_t ultimo_punto() const { return static_cast<int32_t>(punti_) - 1; }
  size_t punti() const { return punti_; }

  TipoValore tipo(size_t p) const;
  Punto punto(size_t p) const { return {componente(0, p), componente(1, p)}; }
  // Component 0 or 1 of point p.
  double componente(int c, size_t p) const;

  void imposta_intero(size_t p, int16_t x0, int16_t x1);
  void imposta_reale(size_t p, Punto v);
  // Points da..a (2 <= da <= a < punti()), each by passo_traccia from the
  // two before it, with curvature c.
  void traccia(size_t da, size_t a, double c);

  // The size of the plan file for the kinds held now.
  size_t dimensione_file() const;
  // The plan file's bytes.
  std::string bytes_file() const;
  // Every byte of the plan file at its offset, in pieces of a bounded size:
  // a plan held as its trace never exists whole in memory.
  void scrivi_file(const ScriviPezzo& scrivi) const;

  // Same points, same kinds, same values bit for bit.
  bool operator==(const Planimetria& o) const;

 private:
  struct Tratto {
    size_t a;  // the stretch's last point
    double c;
  };

  bool tracciata() const { return !steso_pieno_; }
  // The points made, and from now on the only form.
  PianoSteso& steso();
  const PianoSteso& steso_letto() const;
  // The points 0 and 1 as the trace starts from them.
  Punto iniziale(size_t p) const;

  size_t punti_;
  // The plan as its trace: points 0 and 1, then points 2..prossimo_-1 by
  // the stretches in order, the rest empty.
  std::array<std::optional<std::array<int16_t, 2>>, 2> iniziali_;
  std::vector<Tratto> tratti_;
  size_t prossimo_ = 2;
  // The points made. While steso_pieno_ is false it is only a copy made
  // for reading, thrown away at the next change to the trace.
  mutable std::optional<PianoSteso> steso_;
  bool steso_pieno_ = false;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_PIANO_H_

// The line plan: one point per metre, two coordinates each, every value
// tagged as empty, a 16-bit whole number or a 64-bit real.
#ifndef SCENARIO_MODEL_PIANO_H_
#define SCENARIO_MODEL_PIANO_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

// The slots hold the plan file's own tagged encoding: the one encoder, a
// header with no dependencies of its own.
#include "output/coding.h"

namespace scenario {

// Kind tags, as the plan file writes them.
enum class TipoValore : uint8_t { vuoto = 0, intero = 2, reale = 5 };

struct Punto {
  double x0 = 0;
  double x1 = 0;
};

// The plan is held as the plan file writes it, but with every value in a
// slot of the widest size: a little-endian 16-bit tag, then the value (an
// int16 or a double, little-endian; unused bytes zero). All slots of
// component 0, then all slots of component 1, as in the file. So the array
// takes 10 bytes a value in one block, starts all empty (all zero), and the
// writer turns it into the file by closing the gaps after the shorter
// values, in place if it may.
class Planimetria {
 public:
  static constexpr size_t kBytesSlot = 10;

  explicit Planimetria(int32_t ultimo_punto)
      : punti_(static_cast<size_t>(ultimo_punto) + 1),
        slot_(2 * punti_ * kBytesSlot, '\0'),
        dimensione_file_(2 * punti_ * larghezza(TipoValore::vuoto)) {}

  int32_t ultimo_punto() const { return static_cast<int32_t>(punti_) - 1; }
  size_t punti() const { return punti_; }

  TipoValore tipo(size_t p) const { return tipo_slot(slot(0, p)); }
  Punto punto(size_t p) const { return {componente(0, p), componente(1, p)}; }
  // Component 0 or 1 of point p.
  double componente(int c, size_t p) const { return valore(slot(c, p)); }

  void imposta_intero(size_t p, int16_t x0, int16_t x1) {
    constexpr auto kTag = static_cast<uint16_t>(TipoValore::intero);
    cambia_tipo(p, TipoValore::intero);
    EncodeTaggedFixed16(slot(0, p), kTag, static_cast<uint16_t>(x0));
    EncodeTaggedFixed16(slot(1, p), kTag, static_cast<uint16_t>(x1));
  }
  void imposta_reale(size_t p, Punto v) {
    constexpr auto kTag = static_cast<uint16_t>(TipoValore::reale);
    cambia_tipo(p, TipoValore::reale);
    EncodeTaggedDouble(slot(0, p), kTag, v.x0);
    EncodeTaggedDouble(slot(1, p), kTag, v.x1);
  }

  // The size of the plan file for the kinds held now.
  size_t dimensione_file() const { return dimensione_file_; }
  // The slots, component 0 then component 1.
  const std::string& dati_slot() const { return slot_; }
  // Hands the slots over; the plan is left without points.
  std::string rilascia_slot() && {
    punti_ = 0;
    dimensione_file_ = 0;
    return std::move(slot_);
  }

  // Bytes a value of kind t takes in the file.
  static constexpr size_t larghezza(TipoValore t) {
    return t == TipoValore::reale ? 10 : t == TipoValore::intero ? 4 : 2;
  }
  static TipoValore tipo_slot(const char* s) { return static_cast<TipoValore>(DecodeFixed16(s)); }

  bool operator==(const Planimetria&) const = default;

 private:
  size_t inizio(int c, size_t p) const {
    return (static_cast<size_t>(c) * punti_ + p) * kBytesSlot;
  }
  char* slot(int c, size_t p) { return slot_.data() + inizio(c, p); }
  const char* slot(int c, size_t p) const { return slot_.data() + inizio(c, p); }

  // Both coordinates of a point always share one kind. The slots are
  // cleared, so that the bytes a shorter value leaves unused are zero.
  void cambia_tipo(size_t p, TipoValore t) {
    dimensione_file_ += 2 * larghezza(t);
    dimensione_file_ -= 2 * larghezza(tipo(p));
    for (int c = 0; c < 2; ++c) std::memset(slot(c, p), 0, kBytesSlot);
  }

  static double valore(const char* s) {
    switch (tipo_slot(s)) {
      case TipoValore::intero: return static_cast<int16_t>(DecodeFixed16(s + 2));
      case TipoValore::reale: return DecodeDouble(s + 2);
      case TipoValore::vuoto: break;
    }
    return 0;
  }

  size_t punti_;
  std::string slot_;
  size_t dimensione_file_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_PIANO_H_

// The line plan: one point per metre, two coordinates each, every value
// tagged as empty, a 16-bit whole number or a 64-bit real.
#ifndef SCENARIO_MODEL_PIANO_H_
#define SCENARIO_MODEL_PIANO_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

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
    cambia_tipo(p, TipoValore::intero);
    scrivi_intero(slot(0, p), x0);
    scrivi_intero(slot(1, p), x1);
  }
  void imposta_reale(size_t p, Punto v) {
    cambia_tipo(p, TipoValore::reale);
    scrivi_reale(slot(0, p), v.x0);
    scrivi_reale(slot(1, p), v.x1);
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
  static TipoValore tipo_slot(const char* s) { return static_cast<TipoValore>(s[0]); }

  bool operator==(const Planimetria&) const = default;

 private:
  size_t inizio(int c, size_t p) const {
    return (static_cast<size_t>(c) * punti_ + p) * kBytesSlot;
  }
  char* slot(int c, size_t p) { return slot_.data() + inizio(c, p); }
  const char* slot(int c, size_t p) const { return slot_.data() + inizio(c, p); }

  // Both coordinates of a point always share one kind.
  void cambia_tipo(size_t p, TipoValore t) {
    dimensione_file_ += 2 * larghezza(t);
    dimensione_file_ -= 2 * larghezza(tipo(p));
    for (int c = 0; c < 2; ++c) {
      char* s = slot(c, p);
      std::memset(s, 0, kBytesSlot);
      s[0] = static_cast<char>(t);
    }
  }

  static void scrivi_intero(char* s, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    s[2] = static_cast<char>(u & 0xff);
    s[3] = static_cast<char>(u >> 8);
  }
  static void scrivi_reale(char* s, double v) {
    uint64_t bits = std::bit_cast<uint64_t>(v);
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(s + 2, &bits, sizeof bits);
    } else {
      for (int i = 0; i < 8; ++i, bits >>= 8) s[2 + i] = static_cast<char>(bits & 0xff);
    }
  }
  static double valore(const char* s) {
    switch (tipo_slot(s)) {
      case TipoValore::intero:
        return static_cast<int16_t>(
            static_cast<uint16_t>(static_cast<uint8_t>(s[2]) | static_cast<uint8_t>(s[3]) << 8));
      case TipoValore::reale: {
        uint64_t bits = 0;
        if constexpr (std::endian::native == std::endian::little) {
          std::memcpy(&bits, s + 2, sizeof bits);
        } else {
          for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<uint8_t>(s[2 + i]);
        }
        return std::bit_cast<double>(bits);
      }
      case TipoValore::vuoto:
        break;
    }
    return 0;
  }

  size_t punti_;
  std::string slot_;
  size_t dimensione_file_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_PIANO_H_

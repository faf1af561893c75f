// Reading the three binary files back: the same layouts as the writers in
// scrittori.h, walked from the other side. Every reader checks the layout
// to the last byte and what a compiled file must hold (its format stamp,
// its table sizes), and says where a file stops matching.
#ifndef SCENARIO_FORMAT_LETTORI_H_
#define SCENARIO_FORMAT_LETTORI_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/coding.h"
#include "base/cursore.h"
#include "base/intervalli.h"
#include "format/scrittori.h"
#include "model/formato.h"
#include "model/modello.h"

namespace scenario {

// A file that does not match its layout: the byte offset where it stops
// matching and, in Italian, what was expected there. what() holds both.
class ErroreLettura : public std::runtime_error {
 public:
  ErroreLettura(size_t offset, const std::string& atteso)
      : std::runtime_error("offset " + std::to_string(offset) + ": " + atteso), offset_(offset) {}
  size_t offset() const { return offset_; }

 private:
  size_t offset_;
};

enum class TipoFile { planimetria, testata, celle };

// The kind a file's name gives: "..._linea.dat" the line plan, ".sim" the
// header file, any other ".dat" the cell file (endings in any case); none
// for other names. A cell file whose train is called "linea" ends like a
// line plan too: the content decides (see ispezione.h).
std::optional<TipoFile> tipo_da_nome(std::string_view nome);

// The largest file of each kind there can be: the longest line's cells;
// its points with both values reals, the widest kind; every header text
// as long as its 16-bit length allows. Anything larger is refused from its
// size, before it is read.
constexpr size_t kMassimoByteCelle = kMassimoCelle * kBytesCella;
constexpr size_t kMassimoBytePlanimetria = 2 * kMassimoPunti * larghezza_valore(TipoValore::reale);
constexpr size_t kMassimoByteTestata =
    static_cast<size_t>(kVociTestata) * (kBytesVoceVuota + UINT16_MAX);
constexpr size_t massimo_byte(TipoFile t) {
  switch (t) {
    case TipoFile::planimetria: return kMassimoBytePlanimetria;
    case TipoFile::testata: return kMassimoByteTestata;
    case TipoFile::celle: return kMassimoByteCelle;
  }
  return 0;
}

// The 87 header entries. Throws ErroreLettura.
Testata leggi_testata(std::string_view bytes);

// The cells, 15 bytes each. Throws ErroreLettura.
std::vector<Cella> leggi_celle(std::string_view bytes);
// The same from a file: a length no cell file has is refused before a
// byte is read.
std::vector<Cella> leggi_celle_file(LettoreIntervalli& file);

// One tagged value of the line plan as the file holds it.
struct ValorePiano {
  TipoValore tipo = TipoValore::vuoto;
  double valore = 0;  // the whole number or the real; 0 when empty

  // Same kind and the same bits: a NaN read back equals itself.
  bool operator==(const ValorePiano& o) const;
};

// The line plan as the file holds it: every value with its own kind (the
// compiler gives both coordinates of a point one kind, but the file does
// not have to).
struct PianoLetto {
  std::vector<ValorePiano> x0;  // component 0 of points 0..L
  std::vector<ValorePiano> x1;  // component 1 of points 0..L

  size_t punti() const { return x0.size(); }
  bool operator==(const PianoLetto&) const = default;
};

// The line plan: 2 x (L + 1) tagged values, component 0 first. Throws
// ErroreLettura.
PianoLetto leggi_planimetria(std::string_view bytes);

// The plan's values one at a time from `in`, which stands at the start of
// value `primo`, checked as leggi_planimetria checks them: every tag, every
// value whole, no more values than the longest line has.
class ValoriPiano {
 public:
  // The bytes of the widest value, tag included.
  static constexpr size_t kPiuLungo = larghezza_valore(TipoValore::reale);

  explicit ValoriPiano(Cursore& in, size_t primo = 0) : in_(in), indice_(primo) {}
  bool finiti() const { return in_.finito(); }
  size_t indice() const { return indice_; }  // of the next value
  // The next value; throws ErroreLettura.
  ValorePiano prossimo() {
    ValorePiano v;
    return subito(v) ? v : leggi(true);
  }
  // The next value checked and passed over.
  void salta() {
    ValorePiano v;
    if (!subito(v)) leggi(false);
  }
  // The next fuori.size() values, as prossimo() gives them one at a time.
  void prossimi(std::span<ValorePiano> fuori);
  // Values checked and passed over until value k, or to the end.
  void salta_fino(size_t k);

 private:
  // The common case, inline: a known tag and its value whole at hand.
  bool subito(ValorePiano& v) {
    if (indice_ == 2 * kMassimoPunti) return false;
    const std::string_view b = in_.davanti(kPiuLungo);
    if (b.size() < kBytesEtichetta) return false;
    switch (DecodeFixed16(b.data())) {
      case static_cast<uint16_t>(TipoValore::vuoto): in_.avanza(kBytesEtichetta); break;
      case static_cast<uint16_t>(TipoValore::intero):
        if (b.size() < larghezza_valore(TipoValore::intero)) return false;
        v.tipo = TipoValore::intero;
        v.valore = static_cast<int16_t>(DecodeFixed16(b.data() + kBytesEtichetta));
        in_.avanza(larghezza_valore(TipoValore::intero));
        break;
      case static_cast<uint16_t>(TipoValore::reale):
        if (b.size() < kPiuLungo) return false;
        v.tipo = TipoValore::reale;
        v.valore = DecodeDouble(b.data() + kBytesEtichetta);
        in_.avanza(kPiuLungo);
        break;
      default: return false;
    }
    ++indice_;
    return true;
  }
  // Any value, its faults said.
  ValorePiano leggi(bool decodifica);
  Cursore& in_;
  size_t indice_;
};

// A plan file checked to its last byte without its values kept: its
// points, and where every kPasso-th value starts, so that its points can
// be read from anywhere.
struct IndicePiano {
  static constexpr size_t kPasso = 1024;
  size_t punti = 0;
  std::vector<size_t> inizi;  // the offsets of values 0, kPasso, 2 kPasso, ...
};
// Throws ErroreLettura, as leggi_planimetria would on the same bytes.
IndicePiano indice_planimetria(LettoreIntervalli& file, size_t finestra = Cursore::kFinestra);

// A plan's points in order from point `da`, the two values of each read as
// they come, through two windows (one on each component): the plan is
// never held whole. For a file `indice` was made from.
class PuntiPiano {
 public:
  PuntiPiano(LettoreIntervalli& file, const IndicePiano& indice, size_t da = 0,
             size_t finestra = Cursore::kFinestra);
  // The next point's values; at most indice.punti - da times. Throws
  // ErroreLettura when the file changed since it was indexed.
  void prossimo(ValorePiano& x0, ValorePiano& x1) {
    x0 = v0_.prossimo();
    x1 = v1_.prossimo();
  }
  // The values of the next x0.size() points (x1 as long).
  void prossimi(std::span<ValorePiano> x0, std::span<ValorePiano> x1) {
    v0_.prossimi(x0);
    v1_.prossimi(x1);
  }

 private:
  Cursore c0_, c1_;
  ValoriPiano v0_, v1_;
};

// The kind whose reader reads `bytes` whole, if any: for a file saved under
// another kind's name.
std::optional<TipoFile> tipo_dal_contenuto(std::string_view bytes);
// The same for a file, read whole only when one of the smaller kinds could
// be that long.
std::optional<TipoFile> tipo_dal_contenuto(LettoreIntervalli& file);

// The plan's values as the compiler holds them, for comparing what was
// written with what is read.
PianoLetto piano_letto_da(const Planimetria& piano);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_LETTORI_H_

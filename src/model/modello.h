// The scenario model: the header table, the track cells and the plan array,
// filled by the compiler and dumped by the binary writers.
#ifndef SCENARIO_MODEL_MODELLO_H_
#define SCENARIO_MODEL_MODELLO_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/arrotonda.h"
#include "model/piano.h"

namespace scenario {

// One entry of the header table. Field order and widths are those of the
// header file (formato.h).
struct Voce {
  uint8_t codice = 0;
  int32_t valore_uno = 0;
  int32_t valore_due = 0;
  int32_t valore_tre = 0;
  uint8_t opzione = 0;
  std::string testo;  // single-byte (Windows-1252) characters
  int16_t intero_uno = 0;
  int16_t intero_due = 0;
  int16_t intero_tre = 0;
  int16_t intero_quattro = 0;
  int16_t intero_cinque = 0;
  uint8_t flag_uno = 0;
  uint8_t flag_due = 0;
  uint8_t flag_tre = 0;
  uint8_t flag_quattro = 0;
  int32_t valore_quattro = 0;

  bool operator==(const Voce&) const = default;
};

constexpr int kVociTestata = 87;  // entries 0 to 86
using Testata = std::array<Voce, kVociTestata>;

// Header entries with a fixed role.
constexpr int kPrimaVoceCartello = 80;  // boards count down from here
constexpr int kVoceProgressivaTre = 81;
constexpr int kVoceProgressivaDue = 82;
constexpr int kVoceProgressivaUno = 83;
constexpr int kVoceDatiTreno = 84;
constexpr int kVoceLinea = 85;
constexpr int kVoceTreno = 86;

// Cell codes (`tipo_cella`).
enum TipoCella : uint8_t {
  cella_libera = 0,
  cella_segnale = 1,
  cella_fine_rallentamento = 2,
  cella_inizio_rallentamento = 3,
  cella_avviso_rallentamento = 4,
  cella_preavviso = 5,
  cella_indicatore = 6,
  cella_fermata = 10,
  cella_montagna = 11,
  cella_abbattimento = 12,
  cella_abbattimento_senza_valore = 13,
  cella_cartello = 14,
};

// Lengths along the track, in metres.
constexpr int32_t kMetriCella = 50;             // one track cell
constexpr int32_t kMetriProlungamento = 7000;   // the run-off: the track goes on past the line
constexpr int32_t kLunghezzaMassima = 1000000;  // the longest line, and the farthest plan point

// The cell that holds position p: nearest(p / 50 + 1).
constexpr int64_t cella_di(int64_t p) { return vicino(p + kMetriCella, kMetriCella); }
// The position an author writes for what lands in cell c by that rule: the
// multiple of 50 it maps to c (positions within 25 m of it land there too).
constexpr int64_t posizione_di_cella(int64_t c) { return (c - 1) * kMetriCella; }
// A slowdown's warning stands this far before its start.
constexpr int32_t kMetriAvviso = 1200;

// A cell's speed byte counts in steps of this many km/h; its gradient byte
// is the gradient in per mille plus this (0: no gradient reached the cell).
constexpr int32_t kKmhPerPasso = 5;
constexpr int32_t kZeroPendenza = 100;
// The last cell of a track of that many metres: nearest(metri / 50).
constexpr int64_t cella_finale(int64_t metri) { return vicino(metri, kMetriCella); }

// One 50 m track cell. Field order and widths are those of the cell file
// (formato.h).
struct Cella {
  uint8_t tipo_cella = cella_libera;
  int16_t dato_uno = 0;
  int16_t dato_due = 0;
  int16_t dato_tre = 0;
  int16_t dato_quattro = 0;
  uint8_t tempo_segnale = 0;
  uint8_t codice_avvicinamento = 0;
  uint8_t struttura = 0;
  uint8_t velocita_treno = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;

  // A structure marker gives way to anything placed later.
  bool libera() const { return tipo_cella == cella_libera || tipo_cella == cella_montagna; }
  bool operator==(const Cella&) const = default;
};

// The error record: the last fault recorded wins.
struct RecordErrore {
  int32_t numero_errore = 0;
  int32_t posizione_errore = 0;
  bool operator==(const RecordErrore&) const = default;
};

struct Modello {
  Testata testata{};
  // Cells 0..ultima_cella; absent until a line length has been read.
  std::optional<std::vector<Cella>> celle;
  // Points 0..lunghezza_estesa; absent unless the plan flag is set and a
  // line length has been read.
  std::optional<Planimetria> planimetria;
  int32_t lunghezza_estesa = 0;
  int32_t ultima_cella = 0;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_MODELLO_H_

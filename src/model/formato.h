// The binary files' fixed facts: the fields of their records, the records'
// sizes, the format stamps a compiled file carries, and the table sizes a
// compiled line can have. The writers, the readers, the views and the
// compiler read them from here.
#ifndef SCENARIO_MODEL_FORMATO_H_
#define SCENARIO_MODEL_FORMATO_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "base/coding.h"
#include "model/modello.h"

namespace scenario {

// One fixed-width field of a record as the file holds it: its name (the
// one `inspect` shows), the member it fills and, from the member's type,
// its width, little-endian. A record's table lists its fields in file
// order; the writers, the readers and the views walk the same table.
template <typename R>
struct CampoFile {
  constexpr CampoFile(std::string_view n, uint8_t R::*m) : nome(n), m8(m) {}
  constexpr CampoFile(std::string_view n, int16_t R::*m) : nome(n), m16(m) {}
  constexpr CampoFile(std::string_view n, int32_t R::*m) : nome(n), m32(m) {}

  constexpr size_t larghezza() const { return m8 ? 1 : m16 ? 2 : 4; }
  constexpr int64_t valore(const R& r) const { return m8 ? r.*m8 : m16 ? r.*m16 : r.*m32; }
  // Into the field's larghezza() bytes at p, and back from them.
  void codifica(const R& r, char* p) const {
    if (m8) {
      *p = static_cast<char>(r.*m8);
    } else if (m16) {
      EncodeFixed16(p, static_cast<uint16_t>(r.*m16));
    } else {
      EncodeFixed32(p, static_cast<uint32_t>(r.*m32));
    }
  }
  void decodifica(R& r, const char* p) const {
    if (m8) {
      r.*m8 = static_cast<uint8_t>(*p);
    } else if (m16) {
      r.*m16 = static_cast<int16_t>(DecodeFixed16(p));
    } else {
      r.*m32 = static_cast<int32_t>(DecodeFixed32(p));
    }
  }
  constexpr bool di(uint8_t R::*m) const { return m8 == m; }
  constexpr bool di(int16_t R::*m) const { return m16 == m; }
  constexpr bool di(int32_t R::*m) const { return m32 == m; }

  std::string_view nome;
  uint8_t R::*m8 = nullptr;
  int16_t R::*m16 = nullptr;
  int32_t R::*m32 = nullptr;
};

// The header entry's fixed fields in file order. The text stands after
// the first kCampiPrimaDelTesto of them: its 16-bit length, then its bytes.
inline constexpr CampoFile<Voce> kCampiVoce[] = {
    {"codice", &Voce::codice},
    {"valore_uno", &Voce::valore_uno},
    {"valore_due", &Voce::valore_due},
    {"valore_tre", &Voce::valore_tre},
    {"opzione", &Voce::opzione},
    {"intero_uno", &Voce::intero_uno},
    {"intero_due", &Voce::intero_due},
    {"intero_tre", &Voce::intero_tre},
    {"intero_quattro", &Voce::intero_quattro},
    {"intero_cinque", &Voce::intero_cinque},
    {"flag_uno", &Voce::flag_uno},
    {"flag_due", &Voce::flag_due},
    {"flag_tre", &Voce::flag_tre},
    {"flag_quattro", &Voce::flag_quattro},
    {"valore_quattro", &Voce::valore_quattro},
};
constexpr size_t kCampiPrimaDelTesto = 5;
constexpr size_t kBytesLunghezzaTesto = 2;

// The cell's fields in file order, its code first.
inline constexpr CampoFile<Cella> kCampiCella[] = {
    {"tipo_cella", &Cella::tipo_cella},
    {"dato_uno", &Cella::dato_uno},
    {"dato_due", &Cella::dato_due},
    {"dato_tre", &Cella::dato_tre},
    {"dato_quattro", &Cella::dato_quattro},
    {"tempo_segnale", &Cella::tempo_segnale},
    {"codice_avvicinamento", &Cella::codice_avvicinamento},
    {"struttura", &Cella::struttura},
    {"velocita_treno", &Cella::velocita_treno},
    {"pendenza", &Cella::pendenza},
    {"aderenza", &Cella::aderenza},
};

// Bytes the first n fields of a table take.
template <typename R, size_t N>
constexpr size_t scostamento(const CampoFile<R> (&campi)[N], size_t n = N) {
  size_t b = 0;
  for (size_t i = 0; i < n; ++i) b += campi[i].larghezza();
  return b;
}
// The place of member m in a table (N when it has none).
template <typename R, typename T, size_t N>
constexpr size_t indice_campo(const CampoFile<R> (&campi)[N], T R::*m) {
  for (size_t i = 0; i < N; ++i) {
    if (campi[i].di(m)) return i;
  }
  return N;
}

// Bytes of one cell, and of one header entry whose text is empty.
constexpr size_t kBytesCella = scostamento(kCampiCella);
constexpr size_t kBytesVoceVuota = scostamento(kCampiVoce) + kBytesLunghezzaTesto;
static_assert(kBytesCella == 15 && kBytesVoceVuota == 34);
static_assert(kCampiCella[0].di(&Cella::tipo_cella));

// The format stamps every compiled file carries, and where: a field of
// header entry kVoceLinea, a field of cell kCellaTimbro.
constexpr int16_t kTimbroTestata = 610;
constexpr int16_t kTimbroCelle = 5121;
constexpr int16_t Voce::*kCampoTimbroTestata = &Voce::intero_uno;
constexpr int16_t Cella::*kCampoTimbroCelle = &Cella::dato_uno;
constexpr size_t kCellaTimbro = 1;
static_assert(indice_campo(kCampiVoce, kCampoTimbroTestata) < std::size(kCampiVoce));
static_assert(indice_campo(kCampiCella, kCampoTimbroCelle) < std::size(kCampiCella));

// A line of m metres has the cells 0..cella_finale(m + run-off) and the
// plan points 0..m + run-off: a line of 0 m the fewest, the longest line
// the most.
constexpr size_t celle_di_linea(int32_t metri) {
  return static_cast<size_t>(cella_finale(metri + kMetriProlungamento)) + 1;
}
constexpr size_t punti_di_linea(int32_t metri) {
  return static_cast<size_t>(metri + kMetriProlungamento) + 1;
}
constexpr size_t kMinimoCelle = celle_di_linea(0);
constexpr size_t kMassimoCelle = celle_di_linea(kLunghezzaMassima);
constexpr size_t kMinimoPunti = punti_di_linea(0);
constexpr size_t kMassimoPunti = punti_di_linea(kLunghezzaMassima);
// 7000 / 50 + 1 and 1007000 / 50 + 1 cells; 7000 + 1 and 1007000 + 1 points.
static_assert(kMinimoCelle == 141 && kMassimoCelle == 20141);
static_assert(kMinimoPunti == 7001 && kMassimoPunti == 1007001);

}  // namespace scenario

#endif  // SCENARIO_MODEL_FORMATO_H_

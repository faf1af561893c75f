#include "output/scrittori.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "output/coding.h"

namespace scenario {

namespace {

constexpr size_t kSlot = Planimetria::kBytesSlot;
// Values handled in one go: a run of slots stays in cache between the scan
// of its tags and its copy.
constexpr size_t kValoriPerBlocco = 4096;

// Calls scrivi(first slot, count, kind) for each run of slots of one kind,
// in order.
template <typename Scrivi>
void per_serie(const char* slot, size_t valori, Scrivi scrivi) {
  for (size_t v = 0; v < valori;) {
    const char* da = slot + v * kSlot;
    const TipoValore t = Planimetria::tipo_slot(da);
    const size_t fino = std::min(valori - v, kValoriPerBlocco);
    size_t n = 1;
    while (n < fino && Planimetria::tipo_slot(da + n * kSlot) == t) ++n;
    scrivi(da, n, t);
    v += n;
  }
}

}  // namespace

size_t dimensione_planimetria(const Planimetria& piano) { return piano.dimensione_file(); }

std::string bytes_planimetria(const Planimetria& piano) {
  const std::string& slot = piano.dati_slot();
  std::string out;
  out.reserve(piano.dimensione_file());
  per_serie(slot.data(), slot.size() / kSlot, [&out](const char* da, size_t n, TipoValore t) {
    const size_t w = Planimetria::larghezza(t);
    if (w == kSlot) {
      out.append(da, n * kSlot);
    } else {
      for (size_t i = 0; i < n; ++i) out.append(da + i * kSlot, w);
    }
  });
  assert(out.size() == piano.dimensione_file());
  return out;
}

// The same bytes, made in the slots' own block: each value moves down to
// its place in the file. A value never lands beyond its slot's start, so
// nothing is overwritten before it has been moved.
std::string bytes_planimetria(Planimetria&& piano) {
  const size_t dimensione = piano.dimensione_file();
  std::string b = std::move(piano).rilascia_slot();
  char* const base = b.data();
  size_t scritti = 0;
  per_serie(base, b.size() / kSlot, [base, &scritti](const char* da, size_t n, TipoValore t) {
    const size_t w = Planimetria::larghezza(t);
    if (w == kSlot) {
      std::memmove(base + scritti, da, n * kSlot);
    } else {
      for (size_t i = 0; i < n; ++i) std::memmove(base + scritti + i * w, da + i * kSlot, w);
    }
    scritti += n * w;
  });
  assert(scritti == dimensione);
  b.resize(dimensione);
  return b;
}

std::string bytes_testata(const Testata& testata) {
  std::string out;
  out.reserve(kVociTestata * 34 + 256);
  for (const Voce& v : testata) {
    assert(v.testo.size() <= 0xFFFF);
    PutFixed8(&out, v.codice);
    PutFixed32(&out, static_cast<uint32_t>(v.valore_uno));
    PutFixed32(&out, static_cast<uint32_t>(v.valore_due));
    PutFixed32(&out, static_cast<uint32_t>(v.valore_tre));
    PutFixed8(&out, v.opzione);
    PutFixed16(&out, static_cast<uint16_t>(v.testo.size()));
    out.append(v.testo);
    PutFixed16(&out, static_cast<uint16_t>(v.intero_uno));
    PutFixed16(&out, static_cast<uint16_t>(v.intero_due));
    PutFixed16(&out, static_cast<uint16_t>(v.intero_tre));
    PutFixed16(&out, static_cast<uint16_t>(v.intero_quattro));
    PutFixed16(&out, static_cast<uint16_t>(v.intero_cinque));
    PutFixed8(&out, v.flag_uno);
    PutFixed8(&out, v.flag_due);
    PutFixed8(&out, v.flag_tre);
    PutFixed8(&out, v.flag_quattro);
    PutFixed32(&out, static_cast<uint32_t>(v.valore_quattro));
  }
  return out;
}

std::string bytes_celle(const std::vector<Cella>& celle) {
  std::string out;
  out.reserve(celle.size() * kBytesCella);
  for (const Cella& c : celle) {
    PutFixed8(&out, c.tipo_cella);
    PutFixed16(&out, static_cast<uint16_t>(c.dato_uno));
    PutFixed16(&out, static_cast<uint16_t>(c.dato_due));
    PutFixed16(&out, static_cast<uint16_t>(c.dato_tre));
    PutFixed16(&out, static_cast<uint16_t>(c.dato_quattro));
    PutFixed8(&out, c.tempo_segnale);
    PutFixed8(&out, c.codice_avvicinamento);
    PutFixed8(&out, c.struttura);
    PutFixed8(&out, c.velocita_treno);
    PutFixed8(&out, c.pendenza);
    PutFixed8(&out, c.aderenza);
  }
  return out;
}

}  // namespace scenario

#include "format/scrittori.h"

#include <cassert>

#include "base/coding.h"

namespace scenario {

size_t dimensione_planimetria(const Planimetria& piano) { return piano.dimensione_file(); }

std::string bytes_planimetria(const Planimetria& piano) { return piano.bytes_file(); }

void scrivi_planimetria(const Planimetria& piano, const ScriviPezzo& scrivi) {
  piano.scrivi_file(scrivi);
}

std::string bytes_testata(const Testata& testata) {
  std::string out;
  out.reserve(kVociTestata * kBytesVoceVuota + 256);
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

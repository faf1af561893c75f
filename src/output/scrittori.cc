#include "output/scrittori.h"

#include <cassert>

#include "output/coding.h"

namespace scenario {

namespace {

size_t bytes_valore(TipoValore t) {
  switch (t) {
    case TipoValore::vuoto: return 2;
    case TipoValore::intero: return 4;
    case TipoValore::reale: return 10;
  }
  return 2;
}

void metti_valore(std::string* dst, TipoValore t, double v) {
  PutFixed16(dst, static_cast<uint16_t>(t));
  switch (t) {
    case TipoValore::vuoto: break;
    case TipoValore::intero: PutFixed16(dst, static_cast<uint16_t>(static_cast<int16_t>(v))); break;
    case TipoValore::reale: PutDouble(dst, v); break;
  }
}

}  // namespace

size_t dimensione_planimetria(const Planimetria& piano) {
  size_t n = 0;
  for (size_t p = 0; p < piano.punti(); ++p) n += bytes_valore(piano.tipo(p));
  return 2 * n;
}

std::string bytes_planimetria(const Planimetria& piano) {
  std::string out;
  out.reserve(dimensione_planimetria(piano));
  for (int c = 0; c < 2; ++c) {
    for (size_t p = 0; p < piano.punti(); ++p) {
      metti_valore(&out, piano.tipo(p), piano.componente(c, p));
    }
  }
  return out;
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

// Slowdowns, which mark their start, end and warning cells (and on request
// four pre-warning cells), and "abbattimento" code points.
#include "compiler/train/record_treno.h"
#include "model/arrotonda.h"

namespace scenario {

namespace {

// The warning stands this far before the start.
constexpr int32_t kMetriAvviso = 1200;

// Slowdowns start warning the driver only beyond this position.
constexpr int32_t kInizioAvvisi = 1500;

}  // namespace

void memo_rallentamento(StatoParser& s, int32_t x, const int32_t& v, const int32_t& l,
                        const int32_t& f_tt, int32_t f_ta, const int32_t& d_v) {
  const bool avviso = x > kInizioAvvisi;
  const int64_t inizio = cella_di(x);
  const int64_t fine = cella_di(int64_t{x} + l);
  const int64_t cella_avviso = cella_di(int64_t{x} - kMetriAvviso);

  // Every check comes before any write.
  if (avviso) {
    if (!s.cella(cella_avviso).libera()) {
      s.registra(Codice::avviso_occupato);
      return;
    }
  } else {
    f_ta = 0;
  }
  if (!s.cella(inizio).libera()) {
    s.registra(Codice::inizio_rallentamento_occupato);
    return;
  }
  if (!s.cella(fine).libera()) {
    s.registra(Codice::fine_rallentamento_occupata);
    return;
  }

  const auto v16 = static_cast<int16_t>(v);
  const auto d_v16 = static_cast<int16_t>(d_v);
  Cella& c_fine = s.cella(fine);
  c_fine.tipo_cella = cella_fine_rallentamento;
  if (d_v != 0) c_fine.dato_due = d_v16;
  Cella& c_inizio = s.cella(inizio);
  c_inizio.tipo_cella = cella_inizio_rallentamento;
  if (d_v != 0) c_inizio.dato_due = d_v16;
  if (avviso) {
    Cella& c = s.cella(cella_avviso);
    c.tipo_cella = cella_avviso_rallentamento;
    if (d_v != 0) c.dato_due = d_v16;
    c.dato_uno = v16;
  }
  for (Cella* c : {&c_inizio, &c_fine}) {
    c->dato_uno = v16;
    c->dato_tre = static_cast<int16_t>(f_tt);
  }

  // The four cells directly below the warning cell, numbered from it down.
  const int64_t h = vicino(int64_t{x} - kMetriAvviso, kMetriCella);
  if (f_ta == 0) return;
  for (int64_t i = 0; i < 4; ++i) {
    if (!s.cella(h - i).libera()) {
      s.registra(Codice::preavviso_occupato);
      return;
    }
  }
  for (int64_t i = 0; i < 4; ++i) {
    Cella& c = s.cella(h - i);
    c.tipo_cella = cella_preavviso;
    c.dato_uno = static_cast<int16_t>(i + 1);
    if (d_v != 0) c.dato_due = static_cast<int16_t>(i + 1);
  }
}

Esito record_rallentamento(StatoParser& s) {
  int32_t v[6];
  for (int32_t& x : v) x = s.lettore->leggi_intero<int32_t>();
  const int32_t x = v[0];
  if (!s.in_linea(x)) return s.fuori_linea(x);
  memo_rallentamento(s, x, v[1], v[2], v[3], v[4], v[5]);
  // An error left by the line file ends the reading here too.
  if (s.errore.numero_errore > 0) return s.guasto(s.codice_registrato(), x);
  return Esito::continua;
}

Esito record_abbattimento(StatoParser& s) {
  const int32_t p = s.lettore->leggi_intero<int32_t>();
  const int32_t a = s.lettore->leggi_intero<int32_t>();
  if (!s.in_linea(p)) return s.fuori_linea(p);
  // Without the + 1 of signals: the cell just below a signal's.
  Cella& c = s.cella(vicino(p, kMetriCella));
  if (!c.libera()) return s.guasto(Codice::abbattimento_su_cella_occupata, p);
  if (a > 0) {
    c.tipo_cella = cella_abbattimento;
    c.dato_uno = static_cast<int16_t>(a);
  } else {
    c.tipo_cella = cella_abbattimento_senza_valore;
  }
  return Esito::continua;
}

}  // namespace scenario

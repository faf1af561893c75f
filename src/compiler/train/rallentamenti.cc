// Slowdowns, which mark their start, end and warning cells (and on request
// four pre-warning cells), and "abbattimento" code points.
#include "compiler/train/record_treno.h"
#include "compiler/train/regole_treno.h"
#include "base/arrotonda.h"

namespace scenario {

namespace {

// d_v, when non-zero, is the second value of every cell the slowdown marks.
void secondo_valore(Cella& c, const DatiRallentamento& d) {
  if (d.d_v != 0) c.dato_due = static_cast<int16_t>(d.d_v);
}

// The pre-warning cells directly below the warning cell, numbered from it
// down: all checked, then all marked.
Codice segna_preavvisi(StatoParser& s, const DatiRallentamento& d) {
  const int64_t h = vicino(int64_t{d.x} - kMetriAvviso, kMetriCella);
  for (int64_t i = 0; i < kCellePreavviso; ++i) {
    if (!s.cella(h - i).libera()) return s.registra(Codice::preavviso_occupato);
  }
  for (int64_t i = 0; i < kCellePreavviso; ++i) {
    Cella& c = s.cella(h - i);
    c.tipo_cella = cella_preavviso;
    c.dato_uno = static_cast<int16_t>(i + 1);
    if (d.d_v != 0) c.dato_due = static_cast<int16_t>(i + 1);
  }
  return Codice::nessuno;
}

}  // namespace

DatiRallentamento leggi_rallentamento(LettoreCampi& in) {
  DatiRallentamento d;
  in.leggi_interi({&d.x, &d.v, &d.l, &d.f_tt, &d.f_ta, &d.d_v});
  return d;
}

Codice memo_rallentamento(StatoParser& s, const DatiRallentamento& d) {
  const bool avviso = d.x > kInizioAvvisi;
  const int64_t inizio = cella_di(d.x);
  const int64_t fine = cella_di(int64_t{d.x} + d.l);
  const int64_t cella_avviso = cella_di(int64_t{d.x} - kMetriAvviso);

  // Every check comes before any write.
  if (avviso && !s.cella(cella_avviso).libera()) return s.registra(Codice::avviso_occupato);
  if (!s.cella(inizio).libera()) return s.registra(Codice::inizio_rallentamento_occupato);
  if (!s.cella(fine).libera()) return s.registra(Codice::fine_rallentamento_occupata);

  const auto v16 = static_cast<int16_t>(d.v);
  Cella& c_fine = s.cella(fine);
  c_fine.tipo_cella = cella_fine_rallentamento;
  secondo_valore(c_fine, d);
  Cella& c_inizio = s.cella(inizio);
  c_inizio.tipo_cella = cella_inizio_rallentamento;
  secondo_valore(c_inizio, d);
  if (avviso) {
    Cella& c = s.cella(cella_avviso);
    c.tipo_cella = cella_avviso_rallentamento;
    secondo_valore(c, d);
    c.dato_uno = v16;
  }
  for (Cella* c : {&c_inizio, &c_fine}) {
    c->dato_uno = v16;
    c->dato_tre = static_cast<int16_t>(d.f_tt);
  }
  // Up to 1500 m there is no warning, and f_ta counts as 0.
  if (!avviso || d.f_ta == 0) return Codice::nessuno;
  return segna_preavvisi(s, d);
}

Esito record_rallentamento(StatoParser& s) {
  const DatiRallentamento d = leggi_rallentamento(*s.lettore);
  if (!s.in_linea(d.x)) return s.fuori_linea(d.x);
  return s.dopo_memo(memo_rallentamento(s, d), d.x);
}

Esito record_abbattimento(StatoParser& s) {
  const auto [p, a] = s.lettore->leggi_punto();
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

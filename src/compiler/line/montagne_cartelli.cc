// Structures, speed indicators and text boards: records that mark cells.
#include <limits>

#include "base/arrotonda.h"
#include "compiler/line/record_linea.h"
#include "compiler/line/regole_linea.h"

namespace scenario {

namespace {

// A rank's packed speed: first-group speed x 20 + second-group speed / 5.
int16_t velocita_impacchettata(StatoParser& s, int32_t prima, int32_t seconda) {
  const int64_t v = vicino(int64_t{prima} * kPesoPrimoGruppo + seconda, kPassoIndicatore);
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
    throw Guasto("velocita dell'indicatore " + std::to_string(v) + " oltre i 16 bit", s.luogo(),
                 1);  // the first speed field stands for the three ranks
  }
  return static_cast<int16_t>(v);
}

}  // namespace

DatiMontagna leggi_montagna(LettoreCampi& in) {
  DatiMontagna d;
  in.leggi_interi({&d.inizio, &d.fine, &d.tipo});
  return d;
}

void memo_montagna(StatoParser& s, DatiMontagna& d) {
  bool lunga = false;
  if (d.tipo > kTipoMontagnaLunga) {
    d.tipo -= kTipoMontagnaLunga;
    lunga = true;
  }
  LetturaLinea& l = s.linea;
  const int32_t n = ++l.conta_montagne;
  if (n > 1 && int64_t{d.inizio} - l.fine_montagna_precedente <= kUnioneMontagne)
    d.tipo = kTipoMontagnaUnita;
  l.fine_montagna_precedente = d.fine;

  const int64_t prima = vicino(d.inizio, kMetriCella);
  const int64_t ultima = vicino(d.fine, kMetriCella) - 1;
  int64_t contate = 0;
  for (int64_t c = prima; c <= ultima; ++c) {
    Cella& cella = s.cella(c);
    cella.struttura = static_cast<uint8_t>(d.tipo);
    ++contate;
    if (lunga && contate % 4 == 0 && cella.tipo_cella == cella_libera) {
      cella.tipo_cella = cella_montagna;
    }
  }
}

Esito record_montagna(StatoParser& s) {
  DatiMontagna d = leggi_montagna(*s.lettore);
  if (!s.in_linea(d.inizio)) return s.fuori_linea(d.inizio);
  memo_montagna(s, d);
  return s.dopo_memo(Codice::nessuno, d.inizio);
}

DatiIndicatori leggi_indicatori(LettoreCampi& in) {
  DatiIndicatori d;
  in.leggi_interi(
      {&d.posizione, &d.vas, &d.vbs, &d.vcs, &d.strisces, &d.vad, &d.vbd, &d.vcd, &d.strisced});
  return d;
}

Codice memo_indicatori_v_max(StatoParser& s, const DatiIndicatori& d) {
  Cella& c = s.cella(cella_di(d.posizione));
  if (!c.libera()) return s.registra(Codice::indicatore_su_cella_occupata);
  c.tipo_cella = cella_indicatore;
  c.dato_uno = velocita_impacchettata(s, d.vas, d.vad);
  c.dato_due = velocita_impacchettata(s, d.vbs, d.vbd);
  c.dato_tre = velocita_impacchettata(s, d.vcs, d.vcd);
  // 16-bit arithmetic on the low 16 bits of both stripe counts.
  c.dato_quattro = static_cast<int16_t>(static_cast<uint16_t>(d.strisces) * 10u +
                                        static_cast<uint16_t>(d.strisced));
  return Codice::nessuno;
}

Esito record_indicatori(StatoParser& s) {
  const DatiIndicatori d = leggi_indicatori(*s.lettore);
  if (!s.in_linea(d.posizione)) return s.fuori_linea(d.posizione);
  return s.dopo_memo(memo_indicatori_v_max(s, d), d.posizione);
}

Esito record_cartello(StatoParser& s) {
  const int32_t posizione = s.lettore->leggi_intero<int32_t>();
  s.campo = s.lettore->leggi_testo();
  if (!s.in_linea(posizione)) return s.fuori_linea(posizione);
  Cella& c = s.cella(cella_di(posizione));
  if (!c.libera()) return s.guasto(Codice::cartello_su_cella_occupata, posizione);
  // Entry 0 stays empty: the 81st board has no entry left.
  const int32_t voce = s.prossima_voce_cartello;
  // Too many boards is the keyword's fault (-1), a long text the text's (1).
  if (voce <= 0) throw Guasto("piu' di 80 cartelli", s.luogo(), -1);
  if (s.campo.size() > 0xFFFF)
    throw Guasto("testo del cartello piu' lungo di 65535 byte", s.luogo(), 1);
  c.tipo_cella = cella_cartello;
  c.dato_uno = static_cast<int16_t>(voce);
  s.voce(voce).testo = s.campo;
  --s.prossima_voce_cartello;
  return Esito::continua;
}

}  // namespace scenario

// Structures, speed indicators and text boards: records that mark cells.
#include <limits>

#include "compiler/line/record_linea.h"
#include "model/arrotonda.h"

namespace scenario {

namespace {

// A structure that starts this close after the previous one's end joins it.
constexpr int64_t kUnioneMontagne = 150;

// A rank's packed speed: first-group speed x 20 + second-group speed / 5.
int16_t velocita_impacchettata(StatoParser& s, int32_t prima, int32_t seconda) {
  const int64_t v = vicino(int64_t{prima} * 100 + seconda, 5);
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
    throw Guasto("packed indicator speed " + std::to_string(v) + " does not fit 16 bits",
                 s.luogo());
  }
  return static_cast<int16_t>(v);
}

}  // namespace

void memo_montagna(StatoParser& s, int32_t& inizio, int32_t& fine, int32_t& tipo) {
  bool lunga = false;
  if (tipo > 10) {
    tipo -= 10;
    lunga = true;
  }
  LetturaLinea& l = s.linea;
  const int32_t n = ++l.conta_montagne;
  if (n > 1 && int64_t{inizio} - l.fine_montagna_precedente <= kUnioneMontagne) tipo = 3;
  l.fine_montagna_precedente = fine;

  const int64_t prima = vicino(inizio, kMetriCella);
  const int64_t ultima = vicino(fine, kMetriCella) - 1;
  int64_t contate = 0;
  for (int64_t c = prima; c <= ultima; ++c) {
    Cella& cella = s.cella(c);
    cella.struttura = static_cast<uint8_t>(tipo);
    ++contate;
    if (lunga && contate % 4 == 0 && cella.tipo_cella == cella_libera) {
      cella.tipo_cella = cella_montagna;
    }
  }
}

Esito record_montagna(StatoParser& s) {
  int32_t inizio = s.lettore->leggi_intero<int32_t>();
  int32_t fine = s.lettore->leggi_intero<int32_t>();
  int32_t tipo = s.lettore->leggi_intero<int32_t>();
  if (!s.in_linea(inizio)) return s.fuori_linea(inizio);
  memo_montagna(s, inizio, fine, tipo);
  if (s.errore.numero_errore > 0) return s.guasto(s.codice_registrato(), inizio);
  return Esito::continua;
}

void memo_indicatori_v_max(StatoParser& s, int32_t posizione, const int32_t& vas,
                           const int32_t& vbs, const int32_t& vcs, const int32_t& strisces,
                           const int32_t& vad, const int32_t& vbd, const int32_t& vcd,
                           const int32_t& strisced) {
  Cella& c = s.cella(cella_di(posizione));
  if (!c.libera()) {
    s.registra(Codice::indicatore_su_cella_occupata);
    return;
  }
  c.tipo_cella = cella_indicatore;
  c.dato_uno = velocita_impacchettata(s, vas, vad);
  c.dato_due = velocita_impacchettata(s, vbs, vbd);
  c.dato_tre = velocita_impacchettata(s, vcs, vcd);
  // 16-bit arithmetic on the low 16 bits of both stripe counts.
  c.dato_quattro =
      static_cast<int16_t>(static_cast<uint16_t>(strisces) * 10u + static_cast<uint16_t>(strisced));
}

Esito record_indicatori(StatoParser& s) {
  int32_t v[9];
  for (int32_t& x : v) x = s.lettore->leggi_intero<int32_t>();
  const int32_t posizione = v[0];
  if (!s.in_linea(posizione)) return s.fuori_linea(posizione);
  memo_indicatori_v_max(s, posizione, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  if (s.errore.numero_errore > 0) return s.guasto(s.codice_registrato(), posizione);
  return Esito::continua;
}

Esito record_cartello(StatoParser& s) {
  const int32_t posizione = s.lettore->leggi_intero<int32_t>();
  s.campo = s.lettore->leggi_testo();
  if (!s.in_linea(posizione)) return s.fuori_linea(posizione);
  Cella& c = s.cella(cella_di(posizione));
  if (!c.libera()) return s.guasto(Codice::cartello_su_cella_occupata, posizione);
  // Entry 0 stays empty: the 81st board has no entry left.
  const int32_t voce = s.prossima_voce_cartello;
  if (voce <= 0) throw Guasto("more than 80 boards", s.luogo());
  if (s.campo.size() > 0xFFFF) throw Guasto("board text longer than 65535 bytes", s.luogo());
  c.tipo_cella = cella_cartello;
  c.dato_uno = static_cast<int16_t>(voce);
  s.voce(voce).testo = s.campo;
  --s.prossima_voce_cartello;
  return Esito::continua;
}

}  // namespace scenario

// Gradient records spread over the cells; curve records traced, metre by
// metre, into the plan.
#include <algorithm>

#include "compiler/line/record_linea.h"
#include "model/arrotonda.h"
#include "model/testo.h"

namespace scenario {

namespace {

uint8_t byte_pendenza(int32_t g) { return static_cast<uint8_t>(int64_t{g} + 100); }

Planimetria& piano(StatoParser& s) {
  if (!s.modello.planimetria)
    throw Guasto("nessuna lunghezza della linea prima di questa curva", s.luogo());
  return *s.modello.planimetria;
}

// The highest point a trace may reach.
int64_t limite_traccia(const StatoParser& s) {
  return std::min<int64_t>(kLunghezzaMassima, s.modello.lunghezza_estesa);
}

// The trace from a point on, with the two points before it at hand, so that
// no step reads the plan back.
class Traccia {
 public:
  Traccia(Planimetria& pl, int32_t p)
      : pl_(pl),
        a_(pl.punto(static_cast<size_t>(p) - 2)),
        b_(pl.punto(static_cast<size_t>(p) - 1)) {}

  // Point p from the two before it: straight when c is 0. The step keeps
  // the length growth of the curved formula on purpose.
  void passo(int32_t p, double c) {
    const double d0 = b_.x0 - a_.x0;
    const double d1 = b_.x1 - a_.x1;
    Punto n;
    if (c == 0) {
      n = {b_.x0 + d0, b_.x1 + d1};
    } else {
      const double n0 = d0 + c * d1;
      const double n1 = d1 - c * d0;
      n = {b_.x0 + n0, b_.x1 + n1};
    }
    pl_.imposta_reale(static_cast<size_t>(p), n);
    a_ = b_;
    b_ = n;
  }

 private:
  Planimetria& pl_;
  Punto a_;
  Punto b_;
};

struct Classe {
  char cifra;
  double c;
};
constexpr Classe kClassi[] = {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004},
                              {'4', 0.001},  {'5', 0.002},  {'6', 0.003}};

}  // namespace

Esito record_pendenza(StatoParser& s) {
  const auto [p, g] = s.lettore->leggi_punto();
  if (!s.in_linea(p)) return s.fuori_linea(p);
  LetturaLinea& l = s.linea;
  const int64_t a = vicino(p, kMetriCella);
  if (a > 0) {
    do {
      s.cella(l.cursore_pendenza).pendenza = byte_pendenza(l.pendenza_precedente);
      ++l.cursore_pendenza;
    } while (l.cursore_pendenza < a);
  }
  l.pendenza_precedente = g;
  return Esito::continua;
}

void chiudi_pendenze(StatoParser& s) {
  LetturaLinea& l = s.linea;
  do {
    s.cella(l.cursore_pendenza).pendenza = byte_pendenza(l.pendenza_precedente);
    ++l.cursore_pendenza;
  } while (l.cursore_pendenza < s.modello.ultima_cella - 2);
}

// Without the plan, curve records are not handled: their values are read
// as keyword candidates.
Esito record_curva(StatoParser& s) {
  if (s.j == 0) return Esito::continua;
  const auto [inizio, lunghezza] = s.lettore->leggi_punto();
  if (!s.in_linea(inizio)) return s.fuori_linea(inizio);
  double c = 0;
  for (const Classe& k : kClassi) {
    if (contiene(s.campo, std::string_view(&k.cifra, 1))) {
      c = k.c;
      break;
    }
  }
  if (c == 0) return s.guasto(Codice::curva_errata);
  if (contiene_senza_maiuscole(s.campo, "s")) c = -c;

  int32_t& punto = s.linea.punto;
  const int64_t limite = limite_traccia(s);
  const int64_t fine = int64_t{inizio} + lunghezza;
  if (!s.traccia_piano) {
    // Where the trace below would end, and whether it would pass the limit
    // on the way: points are made up to the farther of start and end.
    const int64_t fino_a = std::max<int64_t>(inizio, fine);
    if (punto > fino_a) return Esito::continua;
    if (punto > limite || fino_a >= limite) {
      punto = static_cast<int32_t>(std::max<int64_t>(punto, limite + 1));
      return s.guasto(Codice::curva_errata);
    }
    punto = static_cast<int32_t>(fino_a + 1);
    return Esito::continua;
  }
  Traccia traccia(piano(s), punto);
  // Straight up to the start, then on the curve up to its end.
  for (const auto& [fino_a, curvatura] : {std::pair{int64_t{inizio}, 0.0}, std::pair{fine, c}}) {
    while (punto <= fino_a) {
      // Only a reading that went on after a trace passed the limit starts
      // a curve beyond it: nothing is written past the plan.
      if (punto > limite) return s.guasto(Codice::curva_errata);
      traccia.passo(punto, curvatura);
      ++punto;
      if (punto > limite) return s.guasto(Codice::curva_errata);
    }
  }
  return Esito::continua;
}

void chiudi_planimetria(StatoParser& s) {
  int32_t& punto = s.linea.punto;
  Traccia traccia(piano(s), punto);
  while (punto <= s.modello.lunghezza_estesa - 2) {
    traccia.passo(punto, 0);
    ++punto;
  }
}

}  // namespace scenario

// Gradient records spread over the cells; curve records traced, metre by
// metre, into the plan.
#include <algorithm>

#include "base/arrotonda.h"
#include "base/testo.h"
#include "compiler/line/record_linea.h"
#include "compiler/line/regole_linea.h"

namespace scenario {

namespace {

uint8_t byte_pendenza(int32_t g) { return static_cast<uint8_t>(int64_t{g} + kZeroPendenza); }

Planimetria& piano(StatoParser& s) {
  if (!s.modello.planimetria)
    throw Guasto("nessuna lunghezza della linea prima di questa curva", s.luogo());
  return *s.modello.planimetria;
}

// The highest point a trace may reach.
int64_t limite_traccia(const StatoParser& s) {
  return std::min<int64_t>(kLunghezzaMassima, s.modello.lunghezza_estesa);
}

}  // namespace

Esito record_pendenza(StatoParser& s) {
  const auto [p, g] = s.lettore->leggi_punto();
  if (!s.in_linea(p)) return s.fuori_linea(p);
  LetturaLinea& l = s.linea;
  const int64_t a = vicino(p, kMetriCella);
  if (a > 0) {
    s.riempi_celle(l.cursore_pendenza, a, &Cella::pendenza, byte_pendenza(l.pendenza_precedente));
  }
  l.pendenza_precedente = g;
  return Esito::continua;
}

void chiudi_pendenze(StatoParser& s) {
  LetturaLinea& l = s.linea;
  s.riempi_celle(l.cursore_pendenza, s.modello.ultima_cella - 2, &Cella::pendenza,
                 byte_pendenza(l.pendenza_precedente));
}

// Without the plan, curve records are not handled: their values are read
// as keyword candidates.
double curvatura_di(std::string_view campo) {
  for (const ClasseCurva& k : kClassiCurva) {
    if (contiene(campo, std::string_view(&k.cifra, 1)))
      return contiene_senza_maiuscole(campo, "s") ? -k.c : k.c;
  }
  return 0;
}

Esito record_curva(StatoParser& s) {
  if (s.j == 0) return Esito::continua;
  const auto [inizio, lunghezza] = s.lettore->leggi_punto();
  if (!s.in_linea(inizio)) return s.fuori_linea(inizio);
  const double c = curvatura_di(s.campo);
  if (c == 0) return s.guasto(Codice::curva_errata);

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
  Planimetria& pl = piano(s);
  // Straight up to the start, then on the curve up to its end.
  for (const auto& [fino_a, curvatura] : {std::pair{int64_t{inizio}, 0.0}, std::pair{fine, c}}) {
    if (punto > fino_a) continue;
    // Only a reading that went on after a trace passed the limit starts a
    // curve beyond it: nothing is written past the plan.
    if (punto > limite) return s.guasto(Codice::curva_errata);
    const int64_t ultimo = std::min(fino_a, limite);
    pl.traccia(static_cast<size_t>(punto), static_cast<size_t>(ultimo), curvatura);
    punto = static_cast<int32_t>(ultimo + 1);
    if (punto > limite) return s.guasto(Codice::curva_errata);
  }
  return Esito::continua;
}

void chiudi_planimetria(StatoParser& s) {
  Planimetria& pl = piano(s);
  int32_t& punto = s.linea.punto;
  const int32_t ultimo = s.modello.lunghezza_estesa - 2;
  if (punto > ultimo) return;
  pl.traccia(static_cast<size_t>(punto), static_cast<size_t>(ultimo), 0);
  punto = ultimo + 1;
}

}  // namespace scenario

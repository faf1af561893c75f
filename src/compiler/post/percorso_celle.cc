#include "compiler/post/percorso_celle.h"

#include <algorithm>
#include <optional>

#include "compiler/codici_errore.h"

namespace scenario {

namespace {

constexpr int16_t kValorePunto = 180;            // value of every code point the walk places
constexpr int32_t kCelleAvviso = 20;             // how far back a warning looks for signals
constexpr int32_t kPrimaCellaSegnale = 3;        // lowest cell looked at for a signal
constexpr int16_t kVelocitaSenzaPercorso = 110;  // from this speed on, no walk marks
constexpr int32_t kPassoPercorso = 8;            // cells between two walk marks (400 m)
constexpr int32_t kCelleRicerca = 12;            // how far past the end a signal is looked for

// The table handed to the rules, with its last index read once.
struct Tabella {
  std::vector<Cella>& celle;
  int32_t n;  // last cell index
  RecordErrore& errore;
  OsservatorePercorso* osservatore;

  Cella& operator[](int32_t c) { return celle.at(static_cast<size_t>(c)); }
  // A cell beyond either end is never free, so nothing outside is ever marked.
  bool libera(int32_t c) const {
    return c >= 0 && c <= n && celle.at(static_cast<size_t>(c)).libera();
  }
  bool ha_codice(int32_t c, uint8_t codice) const {
    return celle.at(static_cast<size_t>(c)).tipo_cella == codice;
  }
};

// A code point in cell c, for the signal or slowdown start in `origine`.
void marca(Tabella& t, int32_t c, int32_t origine) {
  Cella& cella = t[c];
  cella.tipo_cella = cella_abbattimento;
  cella.dato_uno = kValorePunto;
  if (t.osservatore) t.osservatore->punto(c, origine);
}

void limita(Cella& cella) {
  cella.dato_uno = static_cast<int16_t>(minimo(kValorePunto, cella.dato_uno));
}

void registra(Tabella& t, Codice codice, int32_t cella, int32_t origine) {
  t.errore.numero_errore = numero(codice);
  t.errore.posizione_errore = cella * kMetriCella;
  if (t.osservatore) t.osservatore->guasto(codice, cella, origine);
}

// A code point just before every signal in the cells that precede a warning.
void regola_a(Tabella& t, int32_t i) {
  for (int32_t k = 1; k <= kCelleAvviso; ++k) {
    const int32_t s = i - k;
    if (s < kPrimaCellaSegnale) return;
    if (!t.ha_codice(s, cella_segnale)) continue;
    const int32_t p = s - 1;
    const int32_t q = s - 2;
    if (t.libera(p)) {
      marca(t, p, s);
    } else if (t.libera(q)) {
      marca(t, q, s);
    } else if (t.ha_codice(p, cella_abbattimento)) {
      limita(t[p]);
    } else if (t.ha_codice(q, cella_abbattimento)) {
      limita(t[q]);
    } else {
      registra(t, Codice::segnale_senza_punto_codice, s, s);
    }
  }
}

// Approach marks: the first free cell of each group before the slowdown start.
void segni_avvicinamento(Tabella& t, int32_t i) {
  struct Gruppo {
    int32_t da, a;  // distances below the start, the nearest first
  };
  static constexpr Gruppo kGruppi[] = {{5, 7}, {11, 13}, {18, 20}};
  for (const Gruppo& g : kGruppi) {
    if (i <= g.a) continue;
    bool posto = false;
    for (int32_t d = g.da; d <= g.a && !posto; ++d) {
      if (t.libera(i - d)) {
        marca(t, i - d, i);
        posto = true;
      }
    }
    if (!posto) registra(t, Codice::avvicinamento_senza_punto_codice, i, i);
  }
}

// Walks from the start to the end cell (or to the last cell when no end
// follows), marking every 8 cells counted from the cell actually marked.
// Returns the cell the walk ends on.
int32_t percorri_rallentamento(Tabella& t, int32_t i) {
  int32_t k = i;
  int32_t n = 0;
  while (k < t.n) {
    ++k;
    ++n;
    if (n == kPassoPercorso) {
      if (t.libera(k)) {
        marca(t, k, i);
        n = 0;
      } else if (t.libera(k - 1)) {
        marca(t, k - 1, i);
        n = 1;
      } else if (t.libera(k + 1)) {
        marca(t, k + 1, i);
        n = -1;
      } else {
        // n stays at 8 and only grows: no further mark in this walk.
        registra(t, Codice::percorso_senza_punto_codice, k, i);
      }
    }
    if (t.ha_codice(k, cella_fine_rallentamento)) break;
  }
  return k;
}

std::optional<int32_t> cella_fine(const Tabella& t, int32_t i) {
  for (int32_t c = i + 1; c <= t.n; ++c) {
    if (t.ha_codice(c, cella_fine_rallentamento)) return c;
  }
  return std::nullopt;
}

// A code point before the first signal within 12 cells from the end cell k.
void segnale_dopo(Tabella& t, int32_t i, int32_t k) {
  int32_t n = 0;
  const int32_t ultima = std::min(k + kCelleRicerca, t.n);
  for (int32_t m = k; m <= ultima; ++m) {
    if (t.ha_codice(m, cella_segnale)) {
      n = m - 1;
      break;
    }
  }
  if (n <= 0) return;
  if (t.libera(n)) {
    marca(t, n, i);
  } else if (t.libera(n - 1)) {
    marca(t, n - 1, i);
  } else {
    registra(t, Codice::percorso_senza_punto_codice, k, i);
  }
}

void regola_b(Tabella& t, int32_t i) {
  segni_avvicinamento(t, i);
  int32_t k;
  if (t[i].dato_uno < kVelocitaSenzaPercorso) {
    k = percorri_rallentamento(t, i);
  } else {
    // No walk: the signal search starts from the slowdown's own end cell.
    const std::optional<int32_t> fine = cella_fine(t, i);
    if (!fine) return;
    k = *fine;
  }
  segnale_dopo(t, i, k);
}

}  // namespace

int32_t minimo(int32_t x, int32_t y) { return x > y ? y : x; }

void percorri_celle(std::vector<Cella>& celle, RecordErrore& errore,
                    OsservatorePercorso* osservatore) {
  Tabella t{celle, static_cast<int32_t>(celle.size()) - 1, errore, osservatore};
  for (int32_t i = 1; i <= t.n - 2; ++i) {
    if (t.ha_codice(i, cella_avviso_rallentamento)) regola_a(t, i);
    if (t.ha_codice(i, cella_inizio_rallentamento)) regola_b(t, i);
  }
}

}  // namespace scenario

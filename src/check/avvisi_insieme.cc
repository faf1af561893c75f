// What a record's values mean only beside the other file's or the line's:
// a slowdown against the speeds in force over it, the line's general values
// against its length, a board's text, a signal's kinds.
#include <algorithm>
#include <set>
#include <utility>

#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"
#include "model/modello.h"

namespace scenario::controllo {

namespace {

// A limit in force from `da` on, up to the next one.
struct Tratto {
  int64_t da = 0;
  int64_t kmh = 0;
  size_t ordine = 0;  // file order: of two at one place the later holds
};

// A profile's steps by position.
std::vector<Tratto> ordinati(std::vector<Tratto> tt) {
  std::sort(tt.begin(), tt.end(), [](const Tratto& a, const Tratto& b) {
    return a.da != b.da ? a.da < b.da : a.ordine < b.ordine;
  });
  return tt;
}

// The limit in force at `p`, if a step comes at or before it.
std::optional<int64_t> in_vigore(const std::vector<Tratto>& tt, int64_t p) {
  const auto dopo = std::upper_bound(tt.begin(), tt.end(), p,
                                     [](int64_t q, const Tratto& t) { return q < t.da; });
  if (dopo == tt.begin()) return std::nullopt;
  return std::prev(dopo)->kmh;
}

// The speed a train may run at from each place on: the train's own limit
// ("velocita") and the line's indicators, whichever is lower.
class Limiti {
 public:
  explicit Limiti(const Registro& r) {
    for (const RecordLetto& rec : r.record) {
      if (rec.guasto != 0) continue;
      if (rec.tipo == Tipo::velocita && rec.ha(1)) {
        treno_.push_back({rec.valore(0), rec.valore(1), rec.indice});
      } else if (rec.tipo == Tipo::indicatori && rec.ha(7)) {
        // The highest of the ranks' speeds: no train of any rank is slowed
        // by a slowdown at or above it.
        int64_t v = 0;
        for (size_t k : {1, 2, 3, 5, 6, 7}) v = std::max(v, rec.valore(k));
        linea_.push_back({rec.valore(0), v, rec.indice});
      }
    }
    treno_ = ordinati(std::move(treno_));
    linea_ = ordinati(std::move(linea_));
  }

  // The lowest and the highest limit over [da, a): none where neither
  // profile has begun.
  std::optional<std::pair<int64_t, int64_t>> tra(int64_t da, int64_t a) const {
    std::set<int64_t> punti{da};
    for (const auto* tt : {&treno_, &linea_}) {
      for (const Tratto& t : *tt) {
        if (t.da > da && t.da < a) punti.insert(t.da);
      }
    }
    std::optional<std::pair<int64_t, int64_t>> mm;
    for (const int64_t p : punti) {
      const std::optional<int64_t> t = in_vigore(treno_, p);
      const std::optional<int64_t> l = in_vigore(linea_, p);
      if (!t && !l) continue;
      const int64_t v = t && l ? std::min(*t, *l) : t ? *t : *l;
      mm = mm ? std::pair{std::min(mm->first, v), std::max(mm->second, v)} : std::pair{v, v};
    }
    return mm;
  }

 private:
  std::vector<Tratto> treno_;
  std::vector<Tratto> linea_;
};

// -Wrallentamento.
void rallentamenti(const Registro& r, Avvisi& av) {
  const Limiti limiti(r);
  for (const RecordLetto& rec : r.record) {
    if (rec.tipo != Tipo::rallentamento || rec.guasto != 0 || !rec.ha(2)) continue;
    const int64_t x = rec.valore(0);
    const int64_t v = rec.valore(1);
    const int64_t fine = x + std::max<int64_t>(rec.valore(2), 1);
    const auto mm = limiti.tra(x, fine);
    if (v <= 0 || !mm || v < mm->second) continue;
    const std::string ammessa =
        mm->first == mm->second
            ? std::to_string(mm->second) + " km/h"
            : "tra " + std::to_string(mm->first) + " e " + std::to_string(mm->second) + " km/h";
    av.avvisa(Avviso::rallentamento, rec,
              "rallentamento a " + std::to_string(v) + " km/h: da " + metri(x) + " a " +
                  metri(x + rec.valore(2)) + " la velocita ammessa e' gia' " + ammessa +
                  " (velocita del treno e indicatori della linea), e non rallenta nulla; va data "
                  "sotto i " +
                  std::to_string(mm->first) + " km/h",
              1, x);
  }
}

// -Wripetizione, and the zone's end past the line (-Woltre-linea).
void ripetizione(const Registro& r, Avvisi& av) {
  for (const RecordLetto& rec : r.record) {
    if (rec.tipo != Tipo::ripetizione || rec.guasto != 0 || !rec.ha(1)) continue;
    const int64_t da = rec.valore(0);
    const int64_t a = rec.valore(1);
    if (a == 0) continue;  // no zone
    if (a < da) {
      av.avvisa(Avviso::ripetizione, rec,
                "la zona di ripetizione dei segnali va da " + metri(da) + " a " + metri(a) +
                    ": la fine viene prima dell'inizio; scrivi " + std::to_string(a) + ", " +
                    std::to_string(da),
                0);
    } else if (a == da) {
      av.avvisa(Avviso::ripetizione, rec,
                "la zona di ripetizione dei segnali finisce dove inizia, a " + metri(da) +
                    ": non copre nulla (una fine 0 vuol dire nessuna zona)",
                1);
    } else if (r.lunghezza && a > *r.lunghezza) {
      av.avvisa(Avviso::oltre_linea, rec,
                "la zona di ripetizione dei segnali finisce a " + metri(a) +
                    ", oltre la fine della linea (" + metri(*r.lunghezza) + ")",
                1, a);
    }
  }
}

// A chainage reference is a place on the line (-Woltre-linea).
void progressive(const Registro& r, Avvisi& av) {
  if (!r.lunghezza) return;
  for (const RecordLetto& rec : r.record) {
    const bool progressiva = rec.tipo == Tipo::progressiva_uno ||
                             rec.tipo == Tipo::progressiva_due || rec.tipo == Tipo::progressiva_tre;
    if (!progressiva || rec.guasto != 0 || !rec.ha(0)) continue;
    const int64_t p = rec.valore(0);
    if (p >= 0 && p <= *r.lunghezza) continue;
    av.avvisa(Avviso::oltre_linea, rec,
              std::string(nome_tipo(rec.tipo)) + " a " + metri(p) +
                  (p < 0 ? ", prima dell'inizio della linea"
                         : ", oltre la fine della linea (" + metri(*r.lunghezza) + ")") +
                  ": il riferimento dei chilometri va dato in un punto della linea",
              0, p);
  }
}

// -Wcartello: a board's text is one to three lines, each in parentheses,
// one right after the other.
constexpr int kRigheCartello = 3;

void cartelli(const Registro& r, Avvisi& av) {
  for (const RecordLetto& rec : r.record) {
    if (rec.tipo != Tipo::cartello || rec.guasto != 0 || !rec.ha(1)) continue;
    const std::string_view t = senza_spazi(rec.campi[1].testo);
    if (t.empty()) continue;  // -Wcampi says so
    int righe = 0;
    bool in_forma = true;
    for (size_t i = 0; i < t.size() && in_forma;) {
      const size_t chiusa = t.find(')', i);
      in_forma = t[i] == '(' && chiusa != std::string_view::npos &&
                 t.substr(i + 1, chiusa - i - 1).find('(') == std::string_view::npos;
      ++righe;
      i = chiusa == std::string_view::npos ? t.size() : chiusa + 1;
    }
    const bool senza_parentesi = t.find_first_of("()") == std::string_view::npos;
    if (senza_parentesi) {
      av.avvisa(Avviso::cartello, rec,
                "testo del cartello " + cita(t) +
                    " senza parentesi: ogni riga del cartello va tra parentesi, come " +
                    cita(std::string(1, '(').append(t).append(")")),
                1);
    } else if (!in_forma) {
      av.avvisa(Avviso::cartello, rec,
                "testo del cartello " + cita(t) +
                    " non fatto di righe tra parentesi: ogni riga va tra parentesi, una dopo "
                    "l'altra senza nulla in mezzo, come '(PASSAGGIO)(A LIVELLO)'",
                1);
    } else if (righe > kRigheCartello) {
      av.avvisa(Avviso::cartello, rec,
                "il cartello ha " + std::to_string(righe) + " righe: ne porta al piu' " +
                    std::to_string(kRigheCartello),
                1);
    }
  }
}

// The kinds a signal's cell tells apart: it holds left kind x 3 + right
// kind, so each side has three (-Wvalore).
constexpr int64_t kTipiSegnale = 3;

void tipi_segnale(const Registro& r, Avvisi& av) {
  for (const RecordLetto& rec : r.record) {
    if (rec.tipo != Tipo::segnale || rec.guasto != 0 || !rec.ha(6)) continue;
    for (const auto& [campo, lato] :
         {std::pair{size_t{1}, "a sinistra (sx)"}, std::pair{size_t{6}, "a destra (dx)"}}) {
      const int64_t k = rec.valore(campo);
      if (k >= 0 && k < kTipiSegnale) continue;
      av.avvisa(Avviso::valore, rec,
                "tipo di segnale " + std::to_string(k) + " " + lato +
                    ": il formato conosce i tipi 0, 1 e 2 (la cella tiene sx x 3 + dx, e gli altri "
                    "si confondono)",
                campo, rec.valore(0));
    }
  }
}

}  // namespace

std::string metri(int64_t m) { return std::to_string(m) + " m"; }

void avvisi_insieme(Avvisi& av) {
  const Registro& r = av.registro();
  rallentamenti(r, av);
  ripetizione(r, av);
  progressive(r, av);
  cartelli(r, av);
  tipi_segnale(r, av);
}

}  // namespace scenario::controllo

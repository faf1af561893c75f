// The warnings on where records stand: out of order, at the same place as
// the one before, off the cell grid, beyond the line's end.
#include <optional>
#include <string>
#include <utility>

#include "base/arrotonda.h"
#include "check/avvisi.h"

namespace scenario::controllo {

namespace {

// Records that hold one value for the whole scenario.
bool unico(Tipo t) { return !definizione(t).con_posizione; }

std::string conseguenza_ordine(Tipo t) {
  switch (t) {
    case Tipo::pendenza:
    case Tipo::velocita:
    case Tipo::aderenza: return ": il valore precedente vale per una cella sola";
    case Tipo::curva: return ": la curva non e' tracciata dove dice";
    case Tipo::montagna: return ": la regola dei 150 m la confronta con la precedente";
    default: return "";
  }
}

void griglia(Avvisi& av, const RecordLetto& rec) {
  const auto fuori = [&](size_t campo, int64_t p, int64_t come) {
    if (p % kMetriCella == 0) return;
    av.avvisa(Avviso::griglia, rec,
              "posizione " + std::to_string(p) + " fuori dalla griglia di " +
                  std::to_string(kMetriCella) + " m: conta come " + std::to_string(come),
              campo, p);
  };
  const int64_t p = rec.valore(0);
  switch (rec.tipo) {
    case Tipo::segnale:
    case Tipo::indicatori:
    case Tipo::cartello: fuori(0, p, (cella_di(p) - 1) * kMetriCella); break;
    case Tipo::rallentamento:
      fuori(0, p, (cella_di(p) - 1) * kMetriCella);
      if (rec.ha(2) && p % kMetriCella == 0)
        fuori(2, p + rec.valore(2), (cella_di(p + rec.valore(2)) - 1) * kMetriCella);
      break;
    case Tipo::pendenza:
    case Tipo::velocita:
    case Tipo::aderenza:
    case Tipo::abbattimento: fuori(0, p, vicino(p, kMetriCella) * kMetriCella); break;
    case Tipo::montagna:
      fuori(0, p, vicino(p, kMetriCella) * kMetriCella);
      if (rec.ha(1) && p % kMetriCella == 0)
        fuori(1, rec.valore(1), vicino(rec.valore(1), kMetriCella) * kMetriCella);
      break;
    default: break;
  }
}

void oltre_linea(Avvisi& av, const RecordLetto& rec) {
  const Registro& r = av.registro();
  if (!r.lunghezza) return;
  const int64_t l = *r.lunghezza;
  const int64_t p = rec.valore(0);
  std::optional<std::pair<size_t, int64_t>> oltre;
  if (p > l) {
    oltre = std::pair{size_t{0}, p};
  } else if (rec.tipo == Tipo::rallentamento && rec.ha(2) && p + rec.valore(2) > l) {
    oltre = std::pair{size_t{2}, p + rec.valore(2)};
  } else if (rec.tipo == Tipo::curva && rec.ha(1) && p + rec.valore(1) > l) {
    oltre = std::pair{size_t{1}, p + rec.valore(1)};
  } else if (rec.tipo == Tipo::montagna && rec.ha(1) && rec.valore(1) > l) {
    oltre = std::pair{size_t{1}, rec.valore(1)};
  }
  if (!oltre) return;
  av.avvisa(Avviso::oltre_linea, rec,
            nome(rec) + (oltre->first == 0 ? " a " : " fino a ") + std::to_string(oltre->second) +
                " m, oltre la fine della linea (" + std::to_string(l) + " m): nei " +
                std::to_string(kMetriProlungamento / 1000) + " km di coda",
            oltre->first, oltre->second);
}

}  // namespace

// -Wordine, -Wstesso-posto, -Wgriglia, -Woltre-linea: records of a kind
// compared with the one before them.
void avvisi_posizioni(Avvisi& av) {
  const Registro& r = av.registro();
  std::array<const RecordLetto*, kNumeroTipi> precedente{};
  for (const RecordLetto& rec : r.record) {
    if (rec.guasto != 0) continue;
    const RecordLetto*& ultimo = precedente[static_cast<size_t>(rec.tipo)];
    if (unico(rec.tipo)) {
      if (ultimo != nullptr) {
        av.avvisa(Avviso::stesso_posto, rec,
                  nome(rec) + " gia' dato a " + riga(*ultimo) + ": vale l'ultimo");
      }
      ultimo = &rec;
      continue;
    }
    if (!rec.ha(0)) continue;
    const int64_t p = rec.valore(0);
    griglia(av, rec);
    oltre_linea(av, rec);
    if (ultimo != nullptr && ultimo->ha(0)) {
      const RecordLetto& prima = *ultimo;
      const int64_t q = prima.valore(0);
      if (rec.tipo == Tipo::pendenza || rec.tipo == Tipo::velocita || rec.tipo == Tipo::aderenza) {
        if (vicino(p, kMetriCella) == vicino(q, kMetriCella) && p >= q) {
          av.avvisa(Avviso::stesso_posto, rec,
                    "nella stessa cella (" + std::to_string(vicino(p, kMetriCella)) +
                        ") del record di " + riga(prima) + ", che cosi' vale per una cella sola",
                    0, p);
        }
      }
      if (p < q && rec.tipo != Tipo::stazione) {
        av.avvisa(Avviso::ordine, rec,
                  nome(rec) + " a " + std::to_string(p) + " m, nel file dopo il record a " +
                      std::to_string(q) + " m (" + riga(prima) + "): fuori ordine" +
                      conseguenza_ordine(rec.tipo),
                  0, p);
      } else if (rec.tipo == Tipo::curva && prima.ha(1) && p < q + prima.valore(1)) {
        av.avvisa(Avviso::ordine, rec,
                  "la curva inizia a " + std::to_string(p) +
                      " m, prima della fine della curva di " + riga(prima) + " (" +
                      std::to_string(q + prima.valore(1)) +
                      " m): se ne traccia solo la parte oltre",
                  0, p);
      }
    }
    ultimo = &rec;
  }
}

}  // namespace scenario::controllo

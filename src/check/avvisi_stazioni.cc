// The warnings on stations and slowdowns: a change or a slowdown inside a
// station's zone, slowdowns over each other, a stop mark over another mark.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/arrotonda.h"
#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"
#include "compiler/train/regole_treno.h"

namespace scenario::controllo {

// -Wsovrapposizione, -Wcambio-in-stazione, -Wstesso-posto (stop marks).
void avvisi_stazioni(Avvisi& av) {
  const Registro& r = av.registro();
  std::vector<const RecordLetto*> st;
  for (const RecordLetto& rec : r.record) {
    if (rec.tipo == Tipo::stazione && rec.voce > 0) st.push_back(&rec);
  }
  const auto nome_stazione = [](const RecordLetto& s) {
    return s.ha(16) ? cita(senza_spazi(s.campi[16].testo)) : std::string("?");
  };
  const auto zona = [](const RecordLetto& s) {
    return " (da " + std::to_string(s.zona_inizio) + " a " + std::to_string(s.zona_fine) + " m)";
  };
  std::vector<const RecordLetto*> rallentamenti;
  // The value each profile had before the record: a first record sets it,
  // and one that repeats it changes nothing.
  std::array<std::optional<int64_t>, kNumeroTipi> in_vigore;
  for (const RecordLetto& rec : r.record) {
    if (rec.guasto != 0 || !rec.ha(1)) continue;
    const int64_t p = rec.valore(0);
    bool cambia = false;
    if (rec.tipo == Tipo::velocita || rec.tipo == Tipo::pendenza) {
      std::optional<int64_t>& prima = in_vigore[static_cast<size_t>(rec.tipo)];
      cambia = prima && *prima != rec.valore(1);
      prima = rec.valore(1);
    }
    if (cambia) {
      for (const RecordLetto* s : st) {
        if (p > s->zona_inizio && p < s->zona_fine) {
          av.avvisa(Avviso::cambio_in_stazione, rec,
                    std::string(rec.tipo == Tipo::velocita ? "la velocita" : "la pendenza") +
                        " cambia dentro la zona della stazione " + nome_stazione(*s) + zona(*s),
                    0, p);
          break;
        }
      }
    }
    if (rec.tipo == Tipo::rallentamento && rec.ha(2)) {
      const int64_t fine = p + rec.valore(2);
      for (const RecordLetto* s : st) {
        if (p < s->zona_fine && fine > s->zona_inizio) {
          av.avvisa(Avviso::sovrapposizione, rec,
                    "il rallentamento (da " + std::to_string(p) + " a " + std::to_string(fine) +
                        " m) entra nella zona della stazione " + nome_stazione(*s) + zona(*s),
                    0, p);
        }
      }
      // Said once, at the first slowdown it overlaps: a slowdown over
      // thousands of others is one warning, not one per pair.
      const RecordLetto* primo = nullptr;
      size_t altri = 0;
      for (const RecordLetto* a : rallentamenti) {
        const int64_t q = a->valore(0);
        if (p < q + a->valore(2) && fine > q) {
          if (primo == nullptr) {
            primo = a;
          } else {
            ++altri;
          }
        }
      }
      if (primo != nullptr) {
        av.avvisa(
            Avviso::sovrapposizione, rec,
            "il rallentamento (da " + std::to_string(p) + " a " + std::to_string(fine) +
                " m) si sovrappone a quello di " + riga(*primo) +
                (altri == 0   ? std::string()
                 : altri == 1 ? std::string(" e a un altro")
                              : " e ad altri " + quanti(altri, "rallentamento", "rallentamenti")),
            0, p);
      }
      rallentamenti.push_back(&rec);
    }
  }
  // A station's stop mark is written over whatever its cell holds.
  const Proprietari prop(r);
  for (const RecordLetto* s : st) {
    if (!s->ha(1) || s->valore(1) >= kTipoSenzaFermata) continue;
    const int64_t c = vicino(s->zona_fine - kMetriCella, kMetriCella);
    const RecordLetto* altro = prop.di(c, s->indice);
    if (altro != nullptr) {
      av.avvisa(Avviso::stesso_posto, *s,
                "il segno di fermata della stazione va nella cella " + std::to_string(c) +
                    ", gia' occupata da " + nome(*altro) + " (" + riga(*altro) +
                    "), e la sovrascrive");
    }
  }
}

}  // namespace scenario::controllo

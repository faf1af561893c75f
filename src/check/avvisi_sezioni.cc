// The warnings on headings: unknown, repeated or out of their usual order,
// a record under another kind's heading; and on the end of each file.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"

namespace scenario::controllo {

namespace {

// The rank of "[fine]", the last of the usual order.
int rango_fine(Sorgente f) { return static_cast<int>(intestazioni(f).size()) - 1; }

// The heading a record kind usually stands under.
std::string_view sezione_solita(Tipo t) { return definizione(t).intestazione; }

std::optional<std::string_view> vicina(Sorgente f, std::string_view testo) {
  return parola_vicina(in_minuscolo(testo), intestazioni(f), 4);
}

}  // namespace

// -Wsezione-sconosciuta, -Wsezioni.
void avvisi_sezioni(Avvisi& av) {
  const Registro& r = av.registro();
  std::array<int, 2> massimo{-1, -1};
  std::array<std::map<int, size_t>, 2> viste;
  for (size_t i = 0; i < r.intestazioni.size(); ++i) {
    const Intestazione& h = r.intestazioni[i];
    const auto f = static_cast<size_t>(h.file);
    const std::optional<int> rango = h.rango >= 0 ? std::optional<int>(h.rango) : std::nullopt;
    if (!rango) {
      std::string m = "sezione sconosciuta " + cita(h.testo);
      if (const auto s = vicina(h.file, h.testo)) m += " (forse " + std::string(*s) + "?)";
      av.avvisa(Avviso::sezione_sconosciuta, h.file, h.posto, m);
      continue;
    }
    if (const auto v = viste[f].find(*rango); v != viste[f].end()) {
      av.avvisa(Avviso::sezioni, h.file, h.posto,
                "sezione " + cita(h.testo) + " ripetuta (gia' a riga " +
                    std::to_string(r.intestazioni[v->second].posto.riga) + ")");
    } else if (*rango < massimo[f]) {
      av.avvisa(Avviso::sezioni, h.file, h.posto,
                "sezione " + cita(h.testo) + " fuori dal suo ordine solito");
    }
    viste[f].emplace(*rango, i);
    massimo[f] = std::max(massimo[f], *rango);
  }
  // A record under another kind's heading, once per heading and kind.
  std::array<int, kNumeroTipi> solito{};
  for (size_t t = 0; t < kNumeroTipi; ++t) {
    const auto tipo = static_cast<Tipo>(t);
    solito[t] = rango_sezione(sorgente_di(tipo), sezione_solita(tipo)).value_or(-1);
  }
  std::set<std::pair<int, Tipo>> detti;
  for (const RecordLetto& rec : r.record) {
    if (rec.sezione < 0 || rec.dopo_fine) continue;
    const Intestazione& h = r.intestazioni[static_cast<size_t>(rec.sezione)];
    if (h.rango < 0 || h.rango == solito[static_cast<size_t>(rec.tipo)]) continue;
    const std::string_view solita = sezione_solita(rec.tipo);
    if (!detti.emplace(rec.sezione, rec.tipo).second) continue;
    av.avvisa(Avviso::sezioni, rec,
              "record " + nome(rec) + " nella sezione " + cita(h.testo) + ": di solito sta in " +
                  std::string(solita));
  }
}

// -Wfine.
void avvisi_fine(Avvisi& av) {
  const Registro& r = av.registro();
  for (const Sorgente f : {Sorgente::linea, Sorgente::treno}) {
    const auto i = static_cast<size_t>(f);
    if (!r.letto[i] || r.interrotto[i]) continue;
    const std::string fine(intestazioni(f).back());
    bool ha_fine = false;
    for (const Intestazione& h : r.intestazioni) {
      if (h.file == f && h.rango == rango_fine(f)) ha_fine = true;
    }
    // The last field is never looked at: "[fine]" there is the rule.
    bool detto = false;
    if (const auto& u = r.ultimo[i]) {
      const std::string_view t = senza_spazi(u->testo);
      if (rango_sezione(f, t) == rango_fine(f)) {
        ha_fine = true;
      } else if (!t.empty()) {
        av.avvisa(Avviso::fine, f, u->posto,
                  "l'ultimo campo del file, " + cita(t) + ", non e' mai letto" +
                      (ha_fine ? std::string() : ": manca " + fine + " dopo di esso"));
        detto = true;
      }
    }
    if (!ha_fine && !detto) {
      av.avvisa(Avviso::fine, f, Posto{r.ultima_riga[i], 1},
                "manca " + fine + ": il file finisce senza la sua ultima sezione");
    }
    // What follows "[fine]" is read all the same: said once.
    std::optional<Posto> primo;
    for (const RecordLetto& rec : r.record) {
      if (sorgente_di(rec.tipo) == f && rec.dopo_fine) {
        primo = rec.posto;
        break;
      }
    }
    for (const CampoScartato& c : r.scartati) {
      if (c.file == f && c.dopo_fine && c.inizio_riga && !senza_spazi(c.testo).empty() &&
          (!primo || c.posto.riga < primo->riga)) {
        primo = c.posto;
        break;
      }
    }
    if (primo) av.avvisa(Avviso::fine, f, *primo, "record dopo " + fine + ": e' letto lo stesso");
  }
}

}  // namespace scenario::controllo

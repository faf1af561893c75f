#include "check/controllo_avvisi.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "base/arrotonda.h"
#include "base/testo.h"

namespace scenario::controllo {

namespace {

constexpr size_t kCitazione = 40;

// The cell of a position, as signals, slowdowns, indicators and boards
// take it: nearest(position / 50 + 1).
int64_t cella_di(int64_t p) { return vicino(p + 50, 50); }

bool lettera(unsigned char c) {
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  // Windows-1252 letters: the accented block and the few in 0x8A-0x9F.
  if (c >= 0xC0 && c != 0xD7 && c != 0xF7) return true;
  return c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}
bool cifra(unsigned char c) { return c >= '0' && c <= '9'; }

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

size_t distanza(std::string_view a, std::string_view b) {
  std::vector<size_t> riga(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonale = riga[0];
    riga[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t prima = riga[j];
      riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] != b[j - 1])});
      diagonale = prima;
    }
  }
  return riga[b.size()];
}

// The distance when it is below `limite`, else `limite`: two texts differ
// by at least their lengths' difference, so that a long field costs no
// table of its length times the keyword's.
size_t distanza_entro(std::string_view a, std::string_view b, size_t limite) {
  const size_t differenza = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  return differenza >= limite ? limite : std::min(distanza(a, b), limite);
}

std::optional<std::string_view> suggerimento(Sorgente f, std::string_view campo) {
  const std::string c = in_minuscolo(senza_spazi(campo));
  if (c.size() < 4) return std::nullopt;
  std::optional<std::string_view> migliore;
  size_t minima = 3;
  const auto prova = [&](std::string_view p) {
    // Against the keyword and against its first word.
    const size_t d =
        std::min(distanza_entro(c, p, minima), distanza_entro(c, p.substr(0, p.find(' ')), minima));
    if (d < minima) {
      minima = d;
      migliore = p;
    }
  };
  // The keywords an author would have meant, as the carried files write
  // them, in the table's order: the first of two as near wins.
  for (const DefinizioneRecord& d : tipi_record()) {
    if (d.file() != f) continue;
    for (std::string_view p : d.proposte) {
      if (!p.empty()) prova(p);
    }
  }
  return migliore;
}

}  // namespace

std::optional<int> rango_sezione(Sorgente f, std::string_view testo) {
  const std::string t = in_minuscolo(testo);
  const auto hh = intestazioni(f);
  for (size_t i = 0; i < hh.size(); ++i) {
    if (hh[i] == t) return static_cast<int>(i);
  }
  return std::nullopt;
}

namespace {

// The rank of "[fine]", the last of the usual order.
int rango_fine(Sorgente f) { return static_cast<int>(intestazioni(f).size()) - 1; }

// The heading a record kind usually stands under.
std::string_view sezione_solita(Tipo t) { return definizione(t).intestazione; }

// Records that hold one value for the whole scenario.
bool unico(Tipo t) { return !definizione(t).con_posizione; }

bool cella_codificata(const RecordLetto& rec) {
  return rec.guasto == 0 || (rec.tipo == Tipo::rallentamento && rec.guasto == 20);
}

class Avvisi {
 public:
  Avvisi(const Registro& r, const Modello& m, const std::array<std::string, 2>& file,
         std::vector<Diagnostica>& uscita)
      : r_(r), m_(m), file_(file), uscita_(uscita) {}

  void tutti() {
    parole();
    sezioni();
    fine();
    per_tipo();
    valori();
    campi();
    curve();
    progressive();
    profili();
    stazioni();
    codifica();
  }

 private:
  void avvisa(Avviso a, Sorgente f, const Posto& l, std::string messaggio,
              std::optional<int64_t> posizione = std::nullopt) {
    Diagnostica d;
    d.file = file_[static_cast<size_t>(f)];
    d.riga = l.riga;
    d.colonna = l.riga > 0 ? l.colonna : 0;
    d.gravita = Gravita::avviso;
    d.avviso = a;
    d.messaggio = std::move(messaggio);
    if (posizione && *posizione >= INT32_MIN && *posizione <= INT32_MAX) {
      d.posizione = static_cast<int32_t>(*posizione);
    }
    uscita_.push_back(std::move(d));
  }
  void avvisa(Avviso a, const RecordLetto& rec, std::string messaggio, size_t campo = SIZE_MAX,
              std::optional<int64_t> posizione = std::nullopt) {
    const Posto& l = campo < rec.campi.size() ? rec.campi[campo].posto : rec.posto;
    avvisa(a, sorgente_di(rec.tipo), l, std::move(messaggio), posizione);
  }

  static std::string riga(const RecordLetto& rec) {
    return "riga " + std::to_string(rec.posto.riga);
  }
  static std::string nome(const RecordLetto& rec) { return nome_tipo(rec.tipo); }

  // -Wparola-sconosciuta, -Wtrattino, -Wparola-nel-campo.
  void parole() {
    for (const CampoScartato& c : r_.scartati) {
      if (!c.inizio_riga || c.dopo_guasto) continue;
      const std::string_view t = senza_spazi(c.testo);
      if (t.empty()) continue;
      if (c.trattino) {
        if (std::any_of(t.begin(), t.end(), [](char ch) { return lettera(ch); })) {
          avvisa(Avviso::trattino, c.file, c.posto,
                 "il campo " + cita(t) + " contiene '-': e' saltato e il suo record non e' letto");
        }
        continue;
      }
      avvisa(Avviso::parola_sconosciuta, c.file, c.posto, perche_ignorato(c, t));
    }
    // Keyword fields that started records: one look per field.
    const auto stesso_campo = [](const RecordLetto& a, const RecordLetto& b) {
      return a.posto == b.posto && sorgente_di(a.tipo) == sorgente_di(b.tipo);
    };
    for (size_t i = 0; i < r_.record.size(); ++i) {
      const RecordLetto& rec = r_.record[i];
      if (i > 0 && stesso_campo(r_.record[i - 1], rec)) continue;
      size_t fine = i + 1;
      while (fine < r_.record.size() && stesso_campo(r_.record[fine], rec)) ++fine;
      guarda_parola(i, fine);
    }
  }

  std::string perche_ignorato(const CampoScartato& c, std::string_view t) const {
    const std::string minuscolo = in_minuscolo(t);
    const auto ha = [&](std::string_view p) { return contiene(minuscolo, p); };
    if (c.parte == Parte::prima_generale) {
      return cita(t) + " sta prima di [generale]: non e' letto";
    }
    // A kind's words, in any case.
    const auto di = [&](LetturaRecord l) {
      for (const DefinizioneRecord& d : tipi_letti(l)) {
        if (ha(d.parola) && ha(d.seconda_parola)) return true;
      }
      return false;
    };
    // The word that tells a record of the other file.
    const auto dell_altro_file = [&] {
      for (const DefinizioneRecord& d : tipi_record()) {
        if (d.file() != c.file && ha(d.indizio)) return true;
      }
      return false;
    };
    if (c.file == Sorgente::linea) {
      const bool chiave_generale = di(LetturaRecord::generale_linea);
      const bool record_successivo = di(LetturaRecord::successive_linea);
      if (c.parte == Parte::generale && chiave_generale) {
        return "le parole chiave di [generale] vanno scritte in minuscolo: " + cita(t) +
               " e' ignorato";
      }
      if (c.parte == Parte::generale && record_successivo) {
        return cita(t) + " non e' letto nella sezione [generale]: il record e' ignorato";
      }
      if (c.parte == Parte::successive && chiave_generale) {
        return cita(t) + " e' letto solo nella sezione [generale]: il record e' ignorato";
      }
      if (dell_altro_file()) return cita(t) + " e' un record del file del treno: qui e' ignorato";
    } else if (dell_altro_file()) {
      return cita(t) + " e' un record del file della linea: qui e' ignorato";
    }
    std::string m = "parola chiave sconosciuta " + cita(t) + ": il record e' ignorato";
    if (const auto s = suggerimento(c.file, t)) m += " (forse '" + std::string(*s) + "'?)";
    return m;
  }

  // The records numbered da to a (not included), all started by one field.
  void guarda_parola(size_t da, size_t a) {
    const RecordLetto& rec = r_.record[da];
    const std::string_view t = senza_spazi(rec.parola);
    if (rec.parola.size() > 0 && rec.parola.front() == '[') {
      avvisa(Avviso::parola_nel_campo, rec,
             "l'intestazione " + cita(t) + " contiene la parola chiave di " + nome(rec) +
                 ": e' letta come un record");
      return;
    }
    if (a - da > 1) {
      std::string elenco;
      for (size_t k = da; k < a; ++k) {
        elenco += std::string(elenco.empty() ? "" : ", ") + nome_tipo(r_.record[k].tipo);
      }
      avvisa(Avviso::parola_nel_campo, rec,
             "il campo " + cita(t) + " contiene le parole chiave di piu' record (" + elenco +
                 "): sono letti tutti");
      return;
    }
    const auto estraneo = std::find_if(t.begin(), t.end(), [](char ch) {
      const auto c = static_cast<unsigned char>(ch);
      return !lettera(c) && !cifra(c) && c != '_' && c != ' ' && c != '\t' && c != '\'';
    });
    if (estraneo != t.end()) {
      avvisa(Avviso::parola_nel_campo, rec,
             "il campo " + cita(t) + " contiene '" + std::string(1, *estraneo) +
                 "' oltre alla parola chiave: il record " + nome(rec) +
                 " e' letto lo stesso (non c'e' modo di commentarlo)");
      return;
    }
    const std::string minuscolo = in_minuscolo(t);
    const DefinizioneRecord& d = definizione(rec.tipo);
    for (std::string_view p : {d.parola, d.seconda_parola}) {
      if (p.empty()) continue;
      const size_t dove = minuscolo.find(p);
      if (dove != std::string::npos && dove > 0 &&
          (lettera(static_cast<unsigned char>(minuscolo[dove - 1])) ||
           cifra(static_cast<unsigned char>(minuscolo[dove - 1])))) {
        avvisa(Avviso::parola_nel_campo, rec,
               "il campo " + cita(t) + " contiene '" + std::string(p) +
                   "' dentro un'altra parola: il record " + nome(rec) + " e' letto lo stesso");
        return;
      }
    }
  }

  // -Wsezione-sconosciuta, -Wsezioni.
  void sezioni() {
    std::array<int, 2> massimo{-1, -1};
    std::array<std::map<int, size_t>, 2> viste;
    for (size_t i = 0; i < r_.intestazioni.size(); ++i) {
      const Intestazione& h = r_.intestazioni[i];
      const auto f = static_cast<size_t>(h.file);
      const std::optional<int> rango = h.rango >= 0 ? std::optional<int>(h.rango) : std::nullopt;
      if (!rango) {
        std::string m = "sezione sconosciuta " + cita(h.testo);
        if (const auto s = vicina(h.file, h.testo)) m += " (forse " + std::string(*s) + "?)";
        avvisa(Avviso::sezione_sconosciuta, h.file, h.posto, m);
        continue;
      }
      if (const auto v = viste[f].find(*rango); v != viste[f].end()) {
        avvisa(Avviso::sezioni, h.file, h.posto,
               "sezione " + cita(h.testo) + " ripetuta (gia' a riga " +
                   std::to_string(r_.intestazioni[v->second].posto.riga) + ")");
      } else if (*rango < massimo[f]) {
        avvisa(Avviso::sezioni, h.file, h.posto,
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
    for (const RecordLetto& rec : r_.record) {
      if (rec.sezione < 0 || rec.dopo_fine) continue;
      const Intestazione& h = r_.intestazioni[static_cast<size_t>(rec.sezione)];
      if (h.rango < 0 || h.rango == solito[static_cast<size_t>(rec.tipo)]) continue;
      const std::string_view solita = sezione_solita(rec.tipo);
      if (!detti.emplace(rec.sezione, rec.tipo).second) continue;
      avvisa(Avviso::sezioni, rec,
             "record " + nome(rec) + " nella sezione " + cita(h.testo) + ": di solito sta in " +
                 std::string(solita));
    }
  }

  static std::optional<std::string_view> vicina(Sorgente f, std::string_view testo) {
    const std::string t = in_minuscolo(testo);
    std::optional<std::string_view> migliore;
    size_t minima = 4;
    for (const std::string_view h : intestazioni(f)) {
      const size_t d = distanza_entro(t, h, minima);
      if (d < minima) {
        minima = d;
        migliore = h;
      }
    }
    return migliore;
  }

  // -Wfine.
  void fine() {
    for (const Sorgente f : {Sorgente::linea, Sorgente::treno}) {
      const auto i = static_cast<size_t>(f);
      if (!r_.letto[i] || r_.interrotto[i]) continue;
      bool ha_fine = false;
      for (const Intestazione& h : r_.intestazioni) {
        if (h.file == f && h.rango == rango_fine(f)) ha_fine = true;
      }
      // The last field is never looked at: "[fine]" there is the rule.
      bool detto = false;
      if (const auto& u = r_.ultimo[i]) {
        const std::string_view t = senza_spazi(u->testo);
        if (rango_sezione(f, t) == rango_fine(f)) {
          ha_fine = true;
        } else if (!t.empty()) {
          avvisa(Avviso::fine, f, u->posto,
                 "l'ultimo campo del file, " + cita(t) + ", non e' mai letto" +
                     (ha_fine ? "" : ": manca [fine] dopo di esso"));
          detto = true;
        }
      }
      if (!ha_fine && !detto) {
        avvisa(Avviso::fine, f, Posto{r_.ultima_riga[i], 1},
               "manca [fine]: il file finisce senza la sua ultima sezione");
      }
      // What follows "[fine]" is read all the same: said once.
      std::optional<Posto> primo;
      for (const RecordLetto& rec : r_.record) {
        if (sorgente_di(rec.tipo) == f && rec.dopo_fine) {
          primo = rec.posto;
          break;
        }
      }
      for (const CampoScartato& c : r_.scartati) {
        if (c.file == f && c.dopo_fine && c.inizio_riga && !senza_spazi(c.testo).empty() &&
            (!primo || c.posto.riga < primo->riga)) {
          primo = c.posto;
          break;
        }
      }
      if (primo) avvisa(Avviso::fine, f, *primo, "record dopo [fine]: e' letto lo stesso");
    }
  }

  // -Wordine, -Wstesso-posto, -Wgriglia, -Woltre-linea: records of a kind
  // compared with the one before them.
  void per_tipo() {
    std::array<const RecordLetto*, kNumeroTipi> precedente{};
    for (const RecordLetto& rec : r_.record) {
      if (rec.guasto != 0) continue;
      const RecordLetto*& ultimo = precedente[static_cast<size_t>(rec.tipo)];
      if (unico(rec.tipo)) {
        if (ultimo != nullptr) {
          avvisa(Avviso::stesso_posto, rec,
                 nome(rec) + " gia' dato a " + riga(*ultimo) + ": vale l'ultimo");
        }
        ultimo = &rec;
        continue;
      }
      if (!rec.ha(0)) continue;
      const int64_t p = rec.valore(0);
      griglia(rec);
      oltre_linea(rec);
      if (ultimo != nullptr && ultimo->ha(0)) {
        const RecordLetto& prima = *ultimo;
        const int64_t q = prima.valore(0);
        if (rec.tipo == Tipo::pendenza || rec.tipo == Tipo::velocita ||
            rec.tipo == Tipo::aderenza) {
          if (vicino(p, 50) == vicino(q, 50) && p >= q) {
            avvisa(Avviso::stesso_posto, rec,
                   "nella stessa cella (" + std::to_string(vicino(p, 50)) + ") del record di " +
                       riga(prima) + ", che cosi' vale per una cella sola",
                   0, p);
          }
        }
        if (p < q && rec.tipo != Tipo::stazione) {
          avvisa(Avviso::ordine, rec,
                 nome(rec) + " a " + std::to_string(p) + " m dopo quello a " + std::to_string(q) +
                     " m (" + riga(prima) + "): fuori ordine" + conseguenza_ordine(rec.tipo),
                 0, p);
        } else if (rec.tipo == Tipo::curva && prima.ha(1) && p < q + prima.valore(1)) {
          avvisa(Avviso::ordine, rec,
                 "la curva inizia a " + std::to_string(p) + " m, prima della fine della curva di " +
                     riga(prima) + " (" + std::to_string(q + prima.valore(1)) +
                     " m): se ne traccia solo la parte oltre",
                 0, p);
        }
      }
      ultimo = &rec;
    }
  }

  static std::string conseguenza_ordine(Tipo t) {
    switch (t) {
      case Tipo::pendenza:
      case Tipo::velocita:
      case Tipo::aderenza: return ": il valore precedente vale per una cella sola";
      case Tipo::curva: return ": la curva non e' tracciata dove dice";
      case Tipo::montagna: return ": la regola dei 150 m la confronta con la precedente";
      default: return "";
    }
  }

  void griglia(const RecordLetto& rec) {
    const auto fuori = [&](size_t campo, int64_t p, int64_t come) {
      if (p % 50 == 0) return;
      avvisa(Avviso::griglia, rec,
             "posizione " + std::to_string(p) + " fuori dalla griglia di 50 m: conta come " +
                 std::to_string(come),
             campo, p);
    };
    const int64_t p = rec.valore(0);
    switch (rec.tipo) {
      case Tipo::segnale:
      case Tipo::indicatori:
      case Tipo::cartello: fuori(0, p, (cella_di(p) - 1) * 50); break;
      case Tipo::rallentamento:
        fuori(0, p, (cella_di(p) - 1) * 50);
        if (rec.ha(2) && p % 50 == 0)
          fuori(2, p + rec.valore(2), (cella_di(p + rec.valore(2)) - 1) * 50);
        break;
      case Tipo::pendenza:
      case Tipo::velocita:
      case Tipo::aderenza:
      case Tipo::abbattimento: fuori(0, p, vicino(p, 50) * 50); break;
      case Tipo::montagna:
        fuori(0, p, vicino(p, 50) * 50);
        if (rec.ha(1) && p % 50 == 0) fuori(1, rec.valore(1), vicino(rec.valore(1), 50) * 50);
        break;
      default: break;
    }
  }

  void oltre_linea(const RecordLetto& rec) {
    if (!r_.lunghezza) return;
    const int64_t l = *r_.lunghezza;
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
    avvisa(Avviso::oltre_linea, rec,
           nome(rec) + (oltre->first == 0 ? " a " : " fino a ") + std::to_string(oltre->second) +
               " m, oltre la fine della linea (" + std::to_string(l) + " m): nei 7 km di coda",
           oltre->first, oltre->second);
  }

  // -Wvalore.
  void valori() {
    for (const RecordLetto& rec : r_.record) {
      if (rec.guasto != 0) continue;
      const auto v = [&rec](size_t k) { return rec.valore(k); };
      const auto avvisa_valore = [&](size_t campo, std::string m) {
        avvisa(Avviso::valore, rec, std::move(m), campo);
      };
      // A field as the table of record kinds names it.
      const auto nome_campo = [&rec](size_t campo) {
        return std::string(definizione(rec.tipo).campi[campo].nome);
      };
      const auto velocita = [&](size_t campo, std::string_view cosa) {
        if (!rec.ha(campo) || (v(campo) >= 0 && v(campo) <= 300)) return;
        avvisa_valore(campo, std::string(cosa) + " di " + std::to_string(v(campo)) +
                                 " km/h: nessun treno ci va");
      };
      const auto a_16_bit = [&](size_t campo, std::string_view cosa) {
        if (!rec.ha(campo) || (v(campo) >= INT16_MIN && v(campo) <= INT16_MAX)) return;
        avvisa_valore(campo, std::string(cosa) + " " + std::to_string(v(campo)) +
                                 " non sta in 16 bit: diventa " +
                                 std::to_string(static_cast<int16_t>(v(campo))));
      };
      const auto ora = [&](size_t h) {
        if (!rec.ha(h + 2)) return;
        if (v(h) < 0 || v(h) > 23 || v(h + 1) < 0 || v(h + 1) > 59 || v(h + 2) < 0 ||
            v(h + 2) > 59) {
          avvisa_valore(h, "ora " + std::to_string(v(h)) + ":" + std::to_string(v(h + 1)) + ":" +
                               std::to_string(v(h + 2)) + ": non e' un'ora del giorno");
        }
      };
      switch (rec.tipo) {
        case Tipo::lunghezza:
          if (rec.ha(0) && v(0) == 0) avvisa_valore(0, "linea di lunghezza 0");
          break;
        case Tipo::velocita: velocita(1, nome_campo(1)); break;
        case Tipo::indicatori:
          for (size_t k : {1, 2, 3, 5, 6, 7}) velocita(k, "velocita dell'indicatore");
          break;
        case Tipo::rallentamento:
          if (rec.ha(1) && (v(1) <= 0 || v(1) > 300)) {
            avvisa_valore(1, "velocita del rallentamento di " + std::to_string(v(1)) + " km/h");
          }
          if (rec.ha(2) && cella_di(v(0) + v(2)) <= cella_di(v(0))) {
            avvisa_valore(2, "rallentamento lungo " + std::to_string(v(2)) +
                                 " m: la fine cade nella cella dell'inizio o prima");
          }
          if (rec.ha(4) && v(4) != 0 && v(0) <= 1500) {
            avvisa_valore(4, "preavviso ignorato: il rallentamento inizia entro 1500 m");
          }
          a_16_bit(1, nome_campo(1));
          a_16_bit(5, "valore");
          break;
        case Tipo::pendenza:
          if (rec.ha(1) && (v(1) < -100 || v(1) > 155)) {
            avvisa_valore(
                1, "pendenza di " + std::to_string(v(1)) + " per mille: nel suo byte diventa " +
                       std::to_string(static_cast<int>(static_cast<uint8_t>(v(1) + 100)) - 100));
          } else if (rec.ha(1) && (v(1) < -60 || v(1) > 60)) {
            avvisa_valore(1, "pendenza di " + std::to_string(v(1)) +
                                 " per mille: nessuna ferrovia ad aderenza ne ha");
          }
          break;
        case Tipo::aderenza:
          if (rec.ha(1) && (v(1) < 0 || v(1) > 255)) {
            avvisa_valore(1, "aderenza " + std::to_string(v(1)) + ": nel suo byte diventa " +
                                 std::to_string(static_cast<uint8_t>(v(1))));
          }
          break;
        case Tipo::vetture:
          if (rec.ha(0) && (v(0) < 1 || v(0) > 50)) {
            avvisa_valore(0, std::to_string(v(0)) + " vetture: un treno ne ha da 1 a 50");
          }
          break;
        case Tipo::massa_frenata:
          if (rec.ha(0) && (v(0) < 1 || v(0) > 250)) {
            avvisa_valore(
                0, "percentuale di massa frenata " + std::to_string(v(0)) + ": fuori da 1-250");
          }
          break;
        case Tipo::orologio: ora(0); break;
        case Tipo::stazione:
          if (rec.ha(1) && !tipo_stazione_noto(v(1))) {
            avvisa_valore(1,
                          "tipo di stazione " + std::to_string(v(1)) +
                              ": nessuna regola lo nomina (tipi: 5, 6, 7, 8, 12, 22, 25, 27, 28)");
          }
          if (rec.ha(2) && v(2) <= 0) {
            avvisa_valore(2, "zona di stazione lunga " + std::to_string(v(2)) + " m");
          }
          ora(13);
          break;
        case Tipo::montagna:
          if (rec.ha(1) && v(1) <= v(0)) {
            avvisa_valore(1, "la struttura finisce a " + std::to_string(v(1)) +
                                 " m, non dopo il suo inizio: non copre nessuna cella");
          }
          if (rec.ha(2) && (v(2) <= 0 || v(2) > 20)) {
            avvisa_valore(2, "tipo di struttura " + std::to_string(v(2)) + ": fuori da 1-20");
          }
          break;
        case Tipo::curva:
          if (rec.ha(1) && v(1) <= 0) {
            avvisa_valore(1, "curva lunga " + std::to_string(v(1)) + " m: non e' tracciata");
          }
          break;
        case Tipo::segnale:
          if (rec.ha(10) && v(1) == 2 && v(10) >= 1 && v(10) <= 100) {
            avvisa_valore(10, "tempo " + std::to_string(v(10)) + ": fino a 100 diventa 101");
          } else if (rec.ha(10) && v(1) == 2 && (v(10) < 0 || v(10) > 255)) {
            avvisa_valore(10, "tempo " + std::to_string(v(10)) + ": nel suo byte diventa " +
                                  std::to_string(static_cast<uint8_t>(v(10))));
          }
          break;
        case Tipo::abbattimento: a_16_bit(1, "valore"); break;
        default: break;
      }
    }
  }

  static bool tipo_stazione_noto(int64_t t) {
    for (int64_t k : {5, 6, 7, 8, 12, 22, 25, 27, 28}) {
      if (t == k) return true;
    }
    return false;
  }

  // -Wcampi.
  void campi() {
    for (const RecordLetto& rec : r_.record) {
      if (rec.guasto != 0 || rec.campi.empty()) continue;
      const CampoLetto& ultimo = rec.campi.back();
      const bool testo = rec.tipo == Tipo::stazione || rec.tipo == Tipo::cartello;
      if (ultimo.vuoto || (testo && senza_spazi(ultimo.testo).empty())) {
        avvisa(Avviso::campi, rec,
               testo ? std::string(rec.tipo == Tipo::stazione ? "nome della stazione vuoto"
                                                              : "testo del cartello vuoto")
                     : "ultimo campo vuoto: letto come 0",
               rec.campi.size() - 1);
      }
      for (size_t k = 0; k < rec.campi.size(); ++k) {
        if (rec.campi[k].posto.riga > rec.posto.riga) {
          avvisa(Avviso::campi, rec,
                 "il record " + nome(rec) + " prende il campo " + cita(rec.campi[k].testo) +
                     " dalla riga " + std::to_string(rec.campi[k].posto.riga) +
                     ": gli manca un campo?");
          break;
        }
      }
    }
    // Fields left after a record on its own line, said once per line.
    int riga_detta = 0;
    for (const CampoScartato& c : r_.scartati) {
      if (c.inizio_riga || c.dopo_guasto || c.trattino || c.parte == Parte::prima_generale)
        continue;
      const RecordLetto* rec = record_prima(c);
      if (rec == nullptr || rec->guasto != 0 || rec->campi.empty()) continue;
      if (rec->campi.back().posto.riga != c.posto.riga || c.posto.riga == riga_detta) continue;
      riga_detta = c.posto.riga;
      if (rec->tipo == Tipo::stazione || rec->tipo == Tipo::cartello) {
        avvisa(
            Avviso::campi, sorgente_di(rec->tipo), c.posto,
            std::string("una virgola taglia ") +
                (rec->tipo == Tipo::stazione ? "il nome della stazione" : "il testo del cartello") +
                " a " + cita(rec->campi.back().testo) + ": " + cita(senza_spazi(c.testo)) +
                " e' ignorato");
      } else {
        avvisa(Avviso::campi, sorgente_di(rec->tipo), c.posto,
               "campi in piu' dopo il record " + nome(*rec) + ": " + cita(senza_spazi(c.testo)) +
                   " e i seguenti sono ignorati");
      }
    }
  }

  const RecordLetto* record_prima(const CampoScartato& c) const {
    return c.precedente ? &r_.record[*c.precedente] : nullptr;
  }

  // -Wcurva.
  void curve() {
    for (const RecordLetto& rec : r_.record) {
      if (rec.tipo != Tipo::curva || rec.guasto != 0) continue;
      const std::string t = in_minuscolo(rec.parola);
      std::string classi;
      bool altre_cifre = false;
      for (const char c : t) {
        if (c >= '1' && c <= '6') {
          if (classi.find(c) == std::string::npos) classi += c;
        } else if (cifra(static_cast<unsigned char>(c))) {
          altre_cifre = true;
        }
      }
      const char scelta = *std::min_element(classi.begin(), classi.end());
      if (classi.size() > 1 || altre_cifre) {
        avvisa(Avviso::curva, rec,
               "la parola " + cita(senza_spazi(rec.parola)) + " ha piu' cifre: conta la classe " +
                   std::string(1, scelta) + ", la prima cifra da 1 a 6 che vi compare");
      }
      const std::string_view parola = definizione(Tipo::curva).parola;
      const size_t dopo = t.find(parola) + parola.size();
      const char lato = dopo < t.size() ? t[dopo] : '\0';
      const bool sinistra = t.find('s') != std::string::npos;
      if (sinistra && lato != 's') {
        avvisa(Avviso::curva, rec,
               "la 's' in " + cita(senza_spazi(rec.parola)) +
                   " fa girare la curva a sinistra: il lato e' una 's' ovunque nel campo");
      } else if (!sinistra && lato != 'd' && !(lato >= '1' && lato <= '6')) {
        avvisa(Avviso::curva, rec,
               "lato della curva " + cita(senza_spazi(rec.parola)) +
                   " sconosciuto: senza una 's' gira a destra");
      }
    }
  }

  // -Wprogressive: a reference given with values that the ordering clears.
  void progressive() {
    for (const RecordLetto& rec : r_.record) {
      const bool progressiva = rec.tipo == Tipo::progressiva_uno ||
                               rec.tipo == Tipo::progressiva_due ||
                               rec.tipo == Tipo::progressiva_tre;
      if (!progressiva || rec.guasto != 0 || !rec.ha(2)) continue;
      if (rec.valore(0) == 0 && rec.valore(1) == 0 && rec.valore(2) == 0) continue;
      const int64_t secondo = rec.valore(1) + (rec.valore(2) == 1 ? 100 : 0);
      bool tenuta = false;
      for (int e = kVoceProgressivaTre; e <= kVoceProgressivaUno; ++e) {
        const Voce& v = m_.testata[static_cast<size_t>(e)];
        if (v.valore_uno == rec.valore(0) && v.valore_due == secondo &&
            v.valore_tre == rec.valore(2)) {
          tenuta = true;
        }
      }
      if (!tenuta) {
        avvisa(Avviso::progressive, rec,
               "l'ordinamento delle progressive azzera questa (due hanno la stessa prima "
               "posizione piu' grande, o le prime posizioni sommano a 0)");
      }
    }
  }

  // -Wprofilo.
  void profili() {
    const auto treno = static_cast<size_t>(Sorgente::treno);
    if (!r_.letto[treno] || r_.interrotto[treno]) return;
    for (const Tipo t : {Tipo::velocita, Tipo::aderenza}) {
      const RecordLetto* primo = nullptr;
      for (const RecordLetto& rec : r_.record) {
        if (rec.tipo == t && rec.ha(1)) {
          primo = &rec;
          break;
        }
      }
      const char* cosa = nome_tipo(t);
      if (primo == nullptr) {
        avvisa(Avviso::profilo, Sorgente::treno, Posto{},
               std::string("nessun record ") + cosa + ": " + cosa + " 0 su tutta la linea");
      } else if (vicino(primo->valore(0), 50) > 0) {
        avvisa(Avviso::profilo, *primo,
               std::string("prima di ") + std::to_string(primo->valore(0)) + " m la " + cosa +
                   " e' 0: manca un record " + cosa + " alla posizione 0",
               0, primo->valore(0));
      }
    }
  }

  // -Wcodifica: bytes above 127 that all make UTF-8 sequences, some longer
  // than one byte: the editor saved the file as UTF-8, and every accented
  // letter will reach the simulator as two Windows-1252 characters.
  void codifica() {
    for (const Sorgente f : {Sorgente::linea, Sorgente::treno}) {
      const std::string_view t = r_.testi[static_cast<size_t>(f)];
      std::optional<size_t> primo;
      bool utf8 = true;
      for (size_t i = 0; i < t.size() && utf8;) {
        const auto c = static_cast<unsigned char>(t[i]);
        const size_t n = c < 0x80                 ? 1
                         : c >= 0xC2 && c <= 0xDF ? 2
                         : c >= 0xE0 && c <= 0xEF ? 3
                         : c >= 0xF0 && c <= 0xF4 ? 4
                                                  : 0;
        if (n == 0 || i + n > t.size()) {
          utf8 = false;
          break;
        }
        for (size_t k = 1; k < n; ++k) {
          if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) utf8 = false;
        }
        if (n > 1 && !primo) primo = i;
        i += n;
      }
      if (!utf8 || !primo) continue;
      int riga = 1;
      size_t inizio = 0;
      for (size_t i = 0; i < *primo; ++i) {
        if (t[i] == '\n' || (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n'))) {
          ++riga;
          inizio = i + 1;
        }
      }
      avvisa(Avviso::codifica, f, Posto{riga, static_cast<int>(*primo - inizio) + 1},
             "il file e' salvato in UTF-8: il formato e' Windows-1252, e ogni lettera "
             "accentata arriverebbe al simulatore come due caratteri");
    }
  }

  // -Wsovrapposizione, -Wcambio-in-stazione, -Wstesso-posto (stop marks).
  void stazioni() {
    std::vector<const RecordLetto*> st;
    for (const RecordLetto& rec : r_.record) {
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
    for (const RecordLetto& rec : r_.record) {
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
            avvisa(Avviso::cambio_in_stazione, rec,
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
            avvisa(Avviso::sovrapposizione, rec,
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
          avvisa(Avviso::sovrapposizione, rec,
                 "il rallentamento (da " + std::to_string(p) + " a " + std::to_string(fine) +
                     " m) si sovrappone a quello di " + riga(*primo) +
                     (altri == 0 ? std::string()
                                 : " e ad altri " + std::to_string(altri) +
                                       (altri == 1 ? " rallentamento" : " rallentamenti")),
                 0, p);
        }
        rallentamenti.push_back(&rec);
      }
    }
    // A station's stop mark is written over whatever its cell holds.
    const Proprietari prop(r_);
    for (const RecordLetto* s : st) {
      if (!s->ha(1) || s->valore(1) >= 25) continue;
      const int64_t c = vicino(s->zona_fine - 50, 50);
      const RecordLetto* altro = prop.di(c, s->indice);
      if (altro != nullptr) {
        avvisa(Avviso::stesso_posto, *s,
               "il segno di fermata della stazione va nella cella " + std::to_string(c) +
                   ", gia' occupata da " + nome(*altro) + " (" + riga(*altro) +
                   "), e la sovrascrive");
      }
    }
  }

  const Registro& r_;
  const Modello& m_;
  const std::array<std::string, 2>& file_;
  std::vector<Diagnostica>& uscita_;
};

}  // namespace

std::string cita(std::string_view testo) {
  if (testo.size() <= kCitazione) return "'" + std::string(testo) + "'";
  return "'" + std::string(testo.substr(0, kCitazione)) + "...'";
}

Proprietari::Proprietari(const Registro& r) : r_(r) {
  for (size_t i = 0; i < r.record.size(); ++i) {
    const RecordLetto& rec = r.record[i];
    if (!cella_codificata(rec) || !rec.ha(0)) continue;
    const int64_t p = rec.valore(0);
    const auto segna = [&](int64_t c) { celle_.emplace_back(c, i); };
    switch (rec.tipo) {
      case Tipo::segnale:
      case Tipo::indicatori:
      case Tipo::cartello: segna(cella_di(p)); break;
      case Tipo::abbattimento: segna(vicino(p, 50)); break;
      case Tipo::rallentamento:
        if (!rec.ha(5)) break;
        segna(cella_di(p));
        segna(cella_di(p + rec.valore(2)));
        if (p > 1500) {
          segna(cella_di(p - 1200));
          if (rec.valore(4) != 0 && rec.guasto == 0) {
            for (int64_t k = 0; k < 4; ++k) segna(vicino(p - 1200, 50) - k);
          }
        }
        break;
      case Tipo::stazione:
        if (rec.voce > 0 && rec.ha(1) && rec.valore(1) < 25) segna(vicino(rec.zona_fine - 50, 50));
        break;
      default: break;
    }
  }
  std::stable_sort(celle_.begin(), celle_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

const RecordLetto* Proprietari::di(int64_t cella, size_t prima_di) const {
  // The entries of a cell stand in record order: the last one before
  // `prima_di` is found by halving, however many records share the cell.
  const auto dopo = std::lower_bound(
      celle_.begin(), celle_.end(), std::pair{cella, prima_di}, [](const auto& e, const auto& c) {
        return e.first < c.first || (e.first == c.first && e.second < c.second);
      });
  if (dopo == celle_.begin() || std::prev(dopo)->first != cella) return nullptr;
  return &r_.record[std::prev(dopo)->second];
}

void trova_avvisi(const Registro& r, const Modello& m, const std::array<std::string, 2>& file,
                  std::vector<Diagnostica>& uscita) {
  Avvisi(r, m, file, uscita).tutti();
}

}  // namespace scenario::controllo

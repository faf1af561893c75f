#include "check/controllo_avvisi.h"

#include <algorithm>
#include <string_view>

#include "base/arrotonda.h"
#include "base/testo.h"
#include "check/avvisi.h"
#include "compiler/codici_errore.h"
#include "compiler/train/regole_treno.h"

namespace scenario::controllo {

namespace {

constexpr size_t kCitazione = 40;

// A slowdown whose pre-warnings found their cells taken has coded its
// other cells all the same.
bool cella_codificata(const RecordLetto& rec) {
  return rec.guasto == 0 ||
         (rec.tipo == Tipo::rallentamento && rec.guasto == numero(Codice::preavviso_occupato));
}

}  // namespace

bool lettera(unsigned char c) {
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  // Windows-1252 letters: the accented block and the few in 0x8A-0x9F.
  if (c >= 0xC0 && c != 0xD7 && c != 0xF7) return true;
  return c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}
bool cifra(unsigned char c) { return c >= '0' && c <= '9'; }

std::string riga(const RecordLetto& rec) { return "riga " + std::to_string(rec.posto.riga); }
std::string nome(const RecordLetto& rec) { return nome_tipo(rec.tipo); }

void Avvisi::avvisa(Avviso a, Sorgente f, const Posto& l, std::string messaggio,
                    std::optional<int64_t> posizione) {
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

void Avvisi::avvisa(Avviso a, const RecordLetto& rec, std::string messaggio, size_t campo,
                    std::optional<int64_t> posizione) {
  const Posto& l = campo < rec.campi.size() ? rec.campi[campo].posto : rec.posto;
  avvisa(a, sorgente_di(rec.tipo), l, std::move(messaggio), posizione);
}

std::optional<int> rango_sezione(Sorgente f, std::string_view testo) {
  const std::string t = in_minuscolo(testo);
  const auto hh = intestazioni(f);
  for (size_t i = 0; i < hh.size(); ++i) {
    if (hh[i] == t) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::string cita(std::string_view testo) {
  const bool lungo = testo.size() > kCitazione;
  std::string r(1, '\'');
  r.append(testo.substr(0, kCitazione));
  r.append(lungo ? "...'" : "'");
  return r;
}

// The cells each kind codes, by the rules the compile places them by.
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
      case Tipo::abbattimento: segna(vicino(p, kMetriCella)); break;
      case Tipo::rallentamento:
        if (!rec.ha(5)) break;
        segna(cella_di(p));
        segna(cella_di(p + rec.valore(2)));
        if (p > kInizioAvvisi) {
          segna(cella_di(p - kMetriAvviso));
          if (rec.valore(4) != 0 && rec.guasto == 0) {
            for (int64_t k = 0; k < kCellePreavviso; ++k) {
              segna(vicino(p - kMetriAvviso, kMetriCella) - k);
            }
          }
        }
        break;
      case Tipo::stazione:
        if (rec.voce > 0 && rec.ha(1) && rec.valore(1) < kTipoSenzaFermata) {
          segna(vicino(rec.zona_fine - kMetriCella, kMetriCella));
        }
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
  Avvisi av(r, m, file, uscita);
  avvisi_parole(av);
  avvisi_sezioni(av);
  avvisi_fine(av);
  avvisi_posizioni(av);
  avvisi_valori(av);
  avvisi_campi(av);
  avvisi_curve(av);
  avvisi_progressive(av);
  avvisi_profilo(av);
  avvisi_stazioni(av);
  avvisi_orario(av);
  avvisi_insieme(av);
  avvisi_codifica(av);
}

}  // namespace scenario::controllo

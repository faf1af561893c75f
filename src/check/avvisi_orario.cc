// -Worario and -Wstazioni: the timetable read as a driver reads it, station
// by station along the line, from the clock the run starts at.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"

namespace scenario::controllo {

namespace {

constexpr int64_t kGiorno = 24 * 3600;

// Fields of a station record, as the table of record kinds orders them.
constexpr size_t kStazionePosizione = 0;
constexpr size_t kStazioneOre = 13;
constexpr size_t kStazioneNome = 16;

// Seconds since midnight of three fields from `h` on: hours, minutes,
// seconds.
int64_t secondi(const RecordLetto& rec, size_t h) {
  return rec.valore(h) * 3600 + rec.valore(h + 1) * 60 + rec.valore(h + 2);
}

std::string ora(int64_t s) {
  s = ((s % kGiorno) + kGiorno) % kGiorno;
  char t[16];
  if (s % 60 != 0) {
    std::snprintf(t, sizeof t, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  } else {
    std::snprintf(t, sizeof t, "%02d:%02d", static_cast<int>(s / 3600),
                  static_cast<int>(s / 60 % 60));
  }
  return t;
}

// True when `dopo` comes earlier in the day than `prima` by less than half
// a day: a timetable that runs past midnight goes on from 00:00.
bool indietro(int64_t prima, int64_t dopo) {
  const int64_t d = ((prima - dopo) % kGiorno + kGiorno) % kGiorno;
  return d > 0 && d < kGiorno / 2;
}

std::string nome_di(const RecordLetto& s) {
  return cita(senza_spazi(s.campi[kStazioneNome].testo));
}

}  // namespace

void avvisi_orario(Avvisi& av) {
  const Registro& r = av.registro();
  // The stations stored, in file order: the compile takes them only along
  // the line (fault 22), so this is their order by position too.
  std::vector<const RecordLetto*> st;
  const RecordLetto* orologio = nullptr;
  for (const RecordLetto& rec : r.record) {
    if (rec.guasto != 0) continue;
    if (rec.tipo == Tipo::stazione && rec.voce > 0 && rec.ha(kStazioneNome)) st.push_back(&rec);
    if (rec.tipo == Tipo::orologio && rec.ha(2)) orologio = &rec;  // the last one holds
  }

  // A time of 00:00:00 is no time: the train passes without a stop there.
  const RecordLetto* prima_con_orario = nullptr;
  const RecordLetto* precedente = nullptr;
  std::map<std::string, const RecordLetto*> nomi;
  for (const RecordLetto* s : st) {
    const int64_t t = secondi(*s, kStazioneOre);
    if (t != 0) {
      if (prima_con_orario == nullptr) prima_con_orario = s;
      if (precedente != nullptr && indietro(secondi(*precedente, kStazioneOre), t)) {
        av.avvisa(Avviso::orario, *s,
                  "la stazione " + nome_di(*s) + " (a " + metri(s->valore(kStazionePosizione)) +
                      ") ha l'orario " + ora(t) + ", prima di quello della stazione " +
                      nome_di(*precedente) + " che la precede lungo la linea (" +
                      ora(secondi(*precedente, kStazioneOre)) + " a " +
                      metri(precedente->valore(kStazionePosizione)) + ", riga " +
                      std::to_string(precedente->posto.riga) +
                      "): gli orari vanno crescendo con la posizione",
                  kStazioneOre, s->valore(kStazionePosizione));
      }
      precedente = s;
    }
    const std::string nome = in_minuscolo(senza_spazi(s->campi[kStazioneNome].testo));
    if (nome.empty()) continue;
    if (const auto [gia, nuovo] = nomi.emplace(nome, s); !nuovo) {
      av.avvisa(Avviso::stazioni, *s,
                "la stazione " + nome_di(*s) + " e' gia' data a riga " +
                    std::to_string(gia->second->posto.riga) + " (a " +
                    metri(gia->second->valore(kStazionePosizione)) +
                    "): due stazioni con lo stesso nome",
                kStazioneNome, s->valore(kStazionePosizione));
    }
  }

  if (!st.empty() && st.front()->zona_inizio > 0) {
    const RecordLetto& s = *st.front();
    av.avvisa(Avviso::stazioni, s,
              "la prima stazione, " + nome_di(s) + ", e' a " + metri(s.valore(kStazionePosizione)) +
                  " (zona da " + metri(s.zona_inizio) +
                  "): il treno parte da 0 m, fuori da ogni stazione; la prima stazione va messa "
                  "all'inizio della linea",
              kStazionePosizione, s.valore(kStazionePosizione));
  }

  if (orologio != nullptr && prima_con_orario != nullptr) {
    const int64_t partenza = secondi(*prima_con_orario, kStazioneOre);
    const int64_t avvio = secondi(*orologio, 0);
    if (indietro(avvio, partenza)) {
      av.avvisa(Avviso::orario, *orologio,
                "l'orologio parte alle " + ora(avvio) + ", dopo l'orario della stazione " +
                    nome_di(*prima_con_orario) + " (" + ora(partenza) + ", riga " +
                    std::to_string(prima_con_orario->posto.riga) +
                    "): il treno parte gia' in ritardo; metti l'orologio prima delle " +
                    ora(partenza),
                0);
    }
  }
}

}  // namespace scenario::controllo

// The warnings on the values records read (none a railway has, or cut
// short by their byte) and on their fields (empty, left over, taken from
// the next line).
#include <cstdint>
#include <string>
#include <string_view>

#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"
#include "compiler/train/regole_treno.h"

namespace scenario::controllo {

namespace {

bool tipo_stazione_noto(int64_t t) {
  for (int64_t k : {5, 6, 7, 8, 12, 22, 25, 27, 28}) {
    if (t == k) return true;
  }
  return false;
}

}  // namespace

// -Wvalore.
void avvisi_valori(Avvisi& av) {
  const Registro& r = av.registro();
  for (const RecordLetto& rec : r.record) {
    if (rec.guasto != 0) continue;
    const auto v = [&rec](size_t k) { return rec.valore(k); };
    const auto avvisa_valore = [&](size_t campo, std::string m) {
      av.avvisa(Avviso::valore, rec, std::move(m), campo);
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
      if (v(h) < 0 || v(h) > 23 || v(h + 1) < 0 || v(h + 1) > 59 || v(h + 2) < 0 || v(h + 2) > 59) {
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
        if (rec.ha(4) && v(4) != 0 && v(0) <= kInizioAvvisi) {
          avvisa_valore(4, "preavviso ignorato: il rallentamento inizia entro " +
                               std::to_string(kInizioAvvisi) + " m");
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
          avvisa_valore(1, "tipo di stazione " + std::to_string(v(1)) +
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
      case Tipo::abbattimento: a_16_bit(1, nome_campo(1)); break;
      default: break;
    }
  }
}

// -Wcampi.
void avvisi_campi(Avvisi& av) {
  const Registro& r = av.registro();
  for (const RecordLetto& rec : r.record) {
    if (rec.guasto != 0 || rec.campi.empty()) continue;
    const CampoLetto& ultimo = rec.campi.back();
    const bool testo = rec.tipo == Tipo::stazione || rec.tipo == Tipo::cartello;
    if (ultimo.vuoto || (testo && senza_spazi(ultimo.testo).empty())) {
      av.avvisa(Avviso::campi, rec,
                testo ? std::string(rec.tipo == Tipo::stazione ? "nome della stazione vuoto"
                                                               : "testo del cartello vuoto")
                      : "ultimo campo vuoto: letto come 0",
                rec.campi.size() - 1);
    }
    for (size_t k = 0; k < rec.campi.size(); ++k) {
      if (rec.campi[k].posto.riga > rec.posto.riga) {
        av.avvisa(Avviso::campi, rec,
                  "il record " + nome(rec) + " prende il campo " + cita(rec.campi[k].testo) +
                      " dalla riga " + std::to_string(rec.campi[k].posto.riga) +
                      ": gli manca un campo?");
        break;
      }
    }
  }
  // Fields left after a record on its own line, said once per line.
  int riga_detta = 0;
  for (const CampoScartato& c : r.scartati) {
    if (c.inizio_riga || c.dopo_guasto || c.trattino || c.parte == Parte::prima_generale) continue;
    const RecordLetto* rec = c.precedente ? &r.record[*c.precedente] : nullptr;
    if (rec == nullptr || rec->guasto != 0 || rec->campi.empty()) continue;
    if (rec->campi.back().posto.riga != c.posto.riga || c.posto.riga == riga_detta) continue;
    riga_detta = c.posto.riga;
    if (rec->tipo == Tipo::stazione || rec->tipo == Tipo::cartello) {
      av.avvisa(
          Avviso::campi, sorgente_di(rec->tipo), c.posto,
          std::string("una virgola taglia ") +
              (rec->tipo == Tipo::stazione ? "il nome della stazione" : "il testo del cartello") +
              " a " + cita(rec->campi.back().testo) + ": " + cita(senza_spazi(c.testo)) +
              " e' ignorato");
    } else {
      av.avvisa(Avviso::campi, sorgente_di(rec->tipo), c.posto,
                "campi in piu' dopo il record " + nome(*rec) + ": " + cita(senza_spazi(c.testo)) +
                    " e i seguenti sono ignorati");
    }
  }
}

}  // namespace scenario::controllo

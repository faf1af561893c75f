#include "compiler/train/lettore_treno.h"

#include <algorithm>

#include "base/arrotonda.h"
#include "base/testo.h"
#include "compiler/ciclo_record.h"
#include "compiler/train/record_treno.h"

namespace scenario {

namespace {

// Everything after the heading is one section.
Sezione sezione_treno() { return {tipi_letti(LetturaRecord::treno), 2, true, false}; }

// Carries the last speed and adhesion up to cell U - 3; the first cell is
// written even when the index is already there.
void completa_profili(StatoParser& s) {
  LetturaTreno& t = s.treno;
  const int32_t limite = s.modello.ultima_cella - 2;
  const uint8_t v = byte_velocita(t.velocita, t.luogo_velocita);
  s.riempi_celle(t.indice_velocita, limite, &Cella::velocita_treno, v);
  s.riempi_celle(t.indice_aderenza, limite, &Cella::aderenza, static_cast<uint8_t>(t.aderenza));
}

// The chainage references must stand on the 50 m grid; every one of the
// six values is looked at.
void controlla_progressive(StatoParser& s) {
  bool fuori = false;
  for (int i = kVoceProgressivaTre; i <= kVoceProgressivaUno; ++i) {
    const Voce& v = s.voce(i);
    if (v.valore_uno % kMetriCella != 0) fuori = true;
    if (v.valore_due % kMetriCella != 0) fuori = true;
  }
  if (fuori) {
    s.guasto(Codice::progressiva_fuori_griglia, std::nullopt, Esito::continua);
    s.luogo_errore.reset();  // not a place in either file
  }
}

}  // namespace

uint8_t byte_velocita(int32_t velocita, const Luogo& luogo) {
  const int64_t v = vicino(velocita, kKmhPerPasso);
  if (v < 0 || v > 255) {
    throw Guasto("velocita di " + std::to_string(velocita) + " km/h oltre il byte della cella",
                 luogo);
  }
  return static_cast<uint8_t>(v);
}

Esito record_massa_frenata(StatoParser& s) {
  s.voce(kVoceDatiTreno).valore_uno = s.lettore->leggi_intero<int32_t>();
  return Esito::continua;
}

Esito record_vetture(StatoParser& s) {
  s.voce(kVoceDatiTreno).valore_tre = s.lettore->leggi_intero<int32_t>();
  return Esito::continua;
}

Esito record_orologio(StatoParser& s) {
  Voce& v = s.voce(kVoceTreno);
  v.intero_tre = s.lettore->leggi_intero<int16_t>();
  v.intero_quattro = s.lettore->leggi_intero<int16_t>();
  v.intero_cinque = s.lettore->leggi_intero<int16_t>();
  return Esito::continua;
}

Esito record_sabbia(StatoParser& s) {
  s.voce(kVoceTreno).intero_uno = s.lettore->leggi_intero<int16_t>();
  return Esito::continua;
}

// A speed holds from its own position on: the cells below it get the
// speed before it. The fill never passes cell U - 1.
Esito record_velocita(StatoParser& s) {
  const auto [p, velocita] = s.lettore->leggi_punto();
  if (!s.in_linea(p)) return s.fuori_linea(p);
  LetturaTreno& t = s.treno;
  const int64_t n = vicino(p, kMetriCella);
  const int32_t ultima = s.modello.ultima_cella;
  if (n > 0 && t.indice_velocita < ultima) {
    s.riempi_celle(t.indice_velocita, std::min<int64_t>(n, ultima), &Cella::velocita_treno,
                   byte_velocita(t.velocita, t.luogo_velocita));
  }
  t.velocita = velocita;
  t.luogo_velocita = s.lettore->luogo();  // the speed, the record's last field
  return Esito::continua;
}

Esito record_aderenza(StatoParser& s) {
  const auto [p, aderenza] = s.lettore->leggi_punto();
  if (!s.in_linea(p)) return s.fuori_linea(p);
  LetturaTreno& t = s.treno;
  const int64_t n = vicino(p, kMetriCella);
  if (n > 0) {
    s.riempi_celle(t.indice_aderenza, n, &Cella::aderenza, static_cast<uint8_t>(t.aderenza));
  }
  t.aderenza = aderenza;
  return Esito::continua;
}

void leggi_file_treno(StatoParser& s) {
  const std::string nome = nome_sorgente_treno(s.id);
  if (!s.archivio.esiste(nome)) {
    throw Guasto("file del treno mancante", Luogo{nome, 0, 0}, std::nullopt,
                 Guasto::Oggetto::sorgente_mancante);
  }
  s.lettore.emplace(s.archivio.leggi(nome), nome);
  // A train file in which no field holds the heading is no train file: it
  // fails as one that cannot be opened (error tail, both sources deleted),
  // never a scenario without its train reported as a success. A heading in
  // the last field is no failure: there is simply nothing after it.
  if (!cerca_generale(s)) throw Guasto("nessun campo del file contiene [generale]");
  if (!leggi_sezione(s, sezione_treno())) return;
  s.chiudi_ed_elimina();
  completa_profili(s);
  controlla_progressive(s);
}

}  // namespace scenario

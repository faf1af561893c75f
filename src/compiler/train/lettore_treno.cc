#include "compiler/train/lettore_treno.h"

#include "compiler/train/record_treno.h"
#include "model/arrotonda.h"
#include "model/testo.h"

namespace scenario {

namespace {

// One keyword field: every record whose keyword it holds is read, in this
// order, until one of them ends the loop.
Esito prova_record(StatoParser& s, LetturaTreno& t) {
  const std::string& c = s.campo;
  const auto ha = [&c](const char* parola) { return contiene_senza_maiuscole(c, parola); };
  Esito e = Esito::continua;
  const auto esegui = [&e](bool corrisponde, auto&& gestisci) {
    if (e == Esito::continua && corrisponde) e = gestisci();
  };
  esegui(ha("frenata") && ha("massa"), [&] { return record_massa_frenata(s); });
  esegui(ha("vetture"), [&] { return record_vetture(s); });
  esegui(ha("velocit"), [&] { return record_velocita(s, t); });
  esegui(ha("aderenza"), [&] { return record_aderenza(s, t); });
  esegui(ha("orologio"), [&] { return record_orologio(s); });
  esegui(ha("sabbia"), [&] { return record_sabbia(s); });
  esegui(ha("segnale"), [&] { return record_segnale(s); });
  esegui(ha("rallentamento"), [&] { return record_rallentamento(s); });
  esegui(ha("abbattimento"), [&] { return record_abbattimento(s); });
  esegui(ha("stazione"), [&] { return record_stazione(s, t); });
  return e;
}

// Skips everything up to the first field holding "[generale]"; a file
// without it is read to its end.
void cerca_generale(StatoParser& s) {
  LettoreCampi& in = *s.lettore;
  do {
    s.campo = in.leggi_testo();
  } while (!in.fine() && !contiene_senza_maiuscole(s.campo, "[generale]"));
}

// The record loop. False when a coded fault has ended the parser.
bool leggi_record(StatoParser& s, LetturaTreno& t) {
  LettoreCampi& in = *s.lettore;
  while (!in.fine()) {
    s.campo = in.leggi_testo();
    if (in.fine()) return true;  // the last field is not looked at
    for (int n = 0; n < 2 && contiene(s.campo, "-"); ++n) {
      s.campo = in.leggi_testo();
      if (in.fine()) return true;
    }
    switch (prova_record(s, t)) {
      case Esito::continua: break;
      case Esito::fine_ciclo: return true;
      case Esito::fine_parser: return false;
    }
  }
  return true;
}

// Carries the last speed and adhesion up to cell U - 3; the first cell is
// written even when the index is already there.
void completa_profili(StatoParser& s, LetturaTreno& t) {
  const int32_t limite = s.modello.ultima_cella - 2;
  const uint8_t v = byte_velocita(s, t.velocita);
  do {
    s.cella(t.indice_velocita).velocita_treno = v;
    ++t.indice_velocita;
  } while (t.indice_velocita < limite);
  do {
    s.cella(t.indice_aderenza).aderenza = static_cast<uint8_t>(t.aderenza);
    ++t.indice_aderenza;
  } while (t.indice_aderenza < limite);
}

// The chainage references must stand on the 50 m grid; every one of the
// six values is looked at.
void controlla_progressive(StatoParser& s) {
  bool fuori = false;
  for (int i = kVoceProgressivaTre; i <= kVoceProgressivaUno; ++i) {
    const Voce& v = s.voce(i);
    if (v.valore_uno % 50 != 0) fuori = true;
    if (v.valore_due % 50 != 0) fuori = true;
  }
  if (fuori) {
    s.registra(2);
    s.luogo_errore.reset();  // not a place in either file
  }
}

}  // namespace

Esito fine_treno_con_errore(StatoParser& s, int32_t codice, std::optional<int32_t> posizione) {
  s.registra(codice, posizione);
  s.chiudi_ed_elimina(nome_sorgente_treno(s.id));
  return Esito::fine_parser;
}

uint8_t byte_velocita(const StatoParser& s, int32_t velocita) {
  const int64_t v = vicino(velocita, 5);
  if (v < 0 || v > 255) {
    throw Guasto("speed " + std::to_string(velocita) + " km/h does not fit a cell", s.luogo());
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
Esito record_velocita(StatoParser& s, LetturaTreno& t) {
  const int32_t p = s.lettore->leggi_intero<int32_t>();
  const int32_t velocita = s.lettore->leggi_intero<int32_t>();
  if (!s.controlla_posizione(p)) return Esito::fine_ciclo;
  const int64_t n = vicino(p, 50);
  if (n > 0) {
    do {
      if (t.indice_velocita >= s.modello.ultima_cella) break;
      s.cella(t.indice_velocita).velocita_treno = byte_velocita(s, t.velocita);
      ++t.indice_velocita;
    } while (t.indice_velocita < n);
  }
  t.velocita = velocita;
  return Esito::continua;
}

Esito record_aderenza(StatoParser& s, LetturaTreno& t) {
  const int32_t p = s.lettore->leggi_intero<int32_t>();
  const int32_t aderenza = s.lettore->leggi_intero<int32_t>();
  if (!s.controlla_posizione(p)) return Esito::fine_ciclo;
  const int64_t n = vicino(p, 50);
  if (n > 0) {
    do {
      s.cella(t.indice_aderenza).aderenza = static_cast<uint8_t>(t.aderenza);
      ++t.indice_aderenza;
    } while (t.indice_aderenza < n);
  }
  t.aderenza = aderenza;
  return Esito::continua;
}

void leggi_file_treno(StatoParser& s) {
  const std::string nome = nome_sorgente_treno(s.id);
  s.lettore.emplace(s.archivio.leggi(nome), nome);
  cerca_generale(s);
  LetturaTreno t;
  if (!leggi_record(s, t)) return;
  s.chiudi_ed_elimina(nome);
  completa_profili(s, t);
  controlla_progressive(s);
}

}  // namespace scenario

#include "compiler/line/lettore_linea.h"

#include "compiler/line/record_linea.h"
#include "model/arrotonda.h"
#include "model/testo.h"

namespace scenario {

namespace {

constexpr int32_t kLunghezzaMassima = 1000000;

// Ends the line half on a coded fault: close, delete, record.
bool fine_con_errore(StatoParser& s, int32_t codice) {
  s.registra(codice);
  s.chiudi_ed_elimina(nome_sorgente_linea(s.id));
  return false;
}

// "lunghezza percorso": the length creates the cell table and the plan.
bool leggi_lunghezza(StatoParser& s) {
  Modello& m = s.modello;
  int32_t& lunghezza = m.testata[kVoceDatiTreno].valore_due;
  lunghezza = s.lettore->leggi_intero<int32_t>();
  if (lunghezza > kLunghezzaMassima || lunghezza < 0) return fine_con_errore(s, 1);
  m.lunghezza_estesa = lunghezza + 7000;
  m.ultima_cella = static_cast<int32_t>(vicino(m.lunghezza_estesa, 50));
  m.celle.emplace(static_cast<size_t>(m.ultima_cella) + 1);
  if (s.j != 0) m.planimetria.emplace(m.lunghezza_estesa);
  return true;
}

void leggi_terna(StatoParser& s, Voce& v) {
  v.valore_uno = s.lettore->leggi_intero<int32_t>();
  v.valore_due = s.lettore->leggi_intero<int32_t>();
  v.valore_tre = s.lettore->leggi_intero<int32_t>();
}

// "ripetizione segnali": the zone and its code count, 4 or 9.
bool leggi_ripetizione(StatoParser& s) {
  Voce& v = s.modello.testata[kVoceTreno];
  v.valore_uno = s.lettore->leggi_intero<int32_t>();
  v.valore_due = s.lettore->leggi_intero<int32_t>();
  if (v.valore_uno % 50 != 0) return fine_con_errore(s, 3);
  if (v.valore_due % 50 != 0) return fine_con_errore(s, 4);
  if (contiene_senza_maiuscole(s.campo, "4")) {
    v.valore_tre = 4;
  } else if (contiene_senza_maiuscole(s.campo, "9")) {
    v.valore_tre = 9;
  } else {
    return fine_con_errore(s, 5);
  }
  if (v.valore_due == 0) v.valore_tre = 0;
  return true;
}

// Tries every general key on the current field. False when a coded fault
// has ended the parser.
bool chiavi_generali(StatoParser& s) {
  const std::string& c = s.campo;
  Testata& t = s.modello.testata;
  if (contiene_senza_maiuscole(c, "percorso") && contiene_senza_maiuscole(c, "lunghezza")) {
    if (!leggi_lunghezza(s)) return false;
  }
  const bool progressiva = contiene(c, "progressiva");
  if (progressiva && contiene(c, "tre")) leggi_terna(s, t[kVoceProgressivaTre]);
  if (progressiva && contiene(c, "due")) leggi_terna(s, t[kVoceProgressivaDue]);
  if (progressiva && contiene(c, "uno")) leggi_terna(s, t[kVoceProgressivaUno]);
  const bool sfondo = contiene(c, "sfondo");
  if (sfondo && contiene(c, "uno")) t[kVoceLinea].valore_uno = s.lettore->leggi_intero<int32_t>();
  if (sfondo && contiene(c, "due")) t[kVoceLinea].valore_tre = s.lettore->leggi_intero<int32_t>();
  if (sfondo && contiene(c, "tre")) t[kVoceLinea].valore_due = s.lettore->leggi_intero<int32_t>();
  if (contiene(c, "segnali") && contiene(c, "ripetizione")) {
    if (!leggi_ripetizione(s)) return false;
  }
  return true;
}

// The general section, after "[generale]". False when the parser ends.
bool sezione_generale(StatoParser& s) {
  LettoreCampi& in = *s.lettore;
  while (!in.fine()) {
    s.campo = in.leggi_testo();
    if (in.fine()) break;  // the last field is not looked at
    for (int n = 0; n < 10 && contiene(s.campo, "-"); ++n) s.campo = in.leggi_testo();
    if (!chiavi_generali(s)) return false;
    if (s.campo.rfind('-', 0) != 0 && contiene(s.campo, "[") && contiene(s.campo, "]")) break;
  }
  return true;
}

void tra_le_sezioni(StatoParser& s) {
  progressive_ordina(s.modello.testata);
  s.conta_montagne = 0;
  s.prossima_voce_cartello = kPrimaVoceCartello;
  s.cursore_pendenza = 0;
  s.pendenza_precedente = 0;
  s.punto = 2;
  if (s.modello.planimetria) {
    s.modello.planimetria->imposta_intero(0, 0, 0);
    s.modello.planimetria->imposta_intero(1, 0, 1);
  }
}

// One keyword field of the later sections: every handler whose test
// matches runs, in order.
Esito prova_record(StatoParser& s) {
  struct Gestore {
    bool (*prova)(const StatoParser&);
    Esito (*gestisci)(StatoParser&);
  };
  static constexpr Gestore kGestori[] = {
      {[](const StatoParser& s) { return contiene_senza_maiuscole(s.campo, "pendenza"); },
       record_pendenza},
      {[](const StatoParser& s) { return contiene_senza_maiuscole(s.campo, "curva") && s.j != 0; },
       record_curva},
      {[](const StatoParser& s) { return contiene_senza_maiuscole(s.campo, "montagna"); },
       record_montagna},
      {[](const StatoParser& s) { return contiene_senza_maiuscole(s.campo, "indicatori_v"); },
       record_indicatori},
      {[](const StatoParser& s) {
         return contiene_senza_maiuscole(s.campo, "cartello") &&
                contiene_senza_maiuscole(s.campo, "indicat");
       },
       record_cartello},
  };
  for (const Gestore& g : kGestori) {
    if (!g.prova(s)) continue;
    const Esito e = g.gestisci(s);
    if (e != Esito::continua) return e;
  }
  return Esito::continua;
}

// The later sections. False when a coded fault has ended the parser.
bool sezioni_successive(StatoParser& s) {
  LettoreCampi& in = *s.lettore;
  while (!in.fine()) {
    s.campo = in.leggi_testo();
    if (in.fine()) return true;
    for (int n = 0; n < 2 && contiene(s.campo, "-"); ++n) {
      s.campo = in.leggi_testo();
      if (in.fine()) return true;
    }
    switch (prova_record(s)) {
      case Esito::continua: break;
      case Esito::fine_ciclo: return true;
      case Esito::fine_parser: return false;
    }
  }
  return true;
}

}  // namespace

bool leggi_file_linea(StatoParser& s) {
  const std::string nome = nome_sorgente_linea(s.id);
  if (!s.archivio.esiste(nome)) {
    s.registra(101);
    return false;
  }
  s.lettore.emplace(s.archivio.leggi(nome), nome);
  while (true) {
    s.campo = s.lettore->leggi_testo();
    if (s.lettore->fine()) return fine_con_errore(s, 102);
    if (contiene_senza_maiuscole(s.campo, "[generale]")) break;
  }
  if (!sezione_generale(s)) return false;
  tra_le_sezioni(s);
  if (!sezioni_successive(s)) return false;
  s.chiudi_ed_elimina(nome);
  chiudi_pendenze(s);
  if (s.j != 0) chiudi_planimetria(s);
  return true;
}

}  // namespace scenario

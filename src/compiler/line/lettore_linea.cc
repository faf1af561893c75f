#include "compiler/line/lettore_linea.h"

#include "compiler/ciclo_record.h"
#include "compiler/line/record_linea.h"
#include "base/arrotonda.h"
#include "base/testo.h"

namespace scenario {

namespace {

Esito leggi_terna(StatoParser& s, int voce) {
  Voce& v = s.modello.testata[static_cast<size_t>(voce)];
  s.lettore->leggi_interi({&v.valore_uno, &v.valore_due, &v.valore_tre});
  return Esito::continua;
}

// One of the line entry's three background values.
Esito leggi_sfondo(StatoParser& s, int32_t Voce::*valore) {
  s.modello.testata[kVoceLinea].*valore = s.lettore->leggi_intero<int32_t>();
  return Esito::continua;
}

}  // namespace

// The length creates the cell table and the plan.
Esito chiave_lunghezza(StatoParser& s) {
  Modello& m = s.modello;
  int32_t& lunghezza = m.testata[kVoceDatiTreno].valore_due;
  lunghezza = s.lettore->leggi_intero<int32_t>();
  if (lunghezza > kLunghezzaMassima || lunghezza < 0)
    return s.guasto(Codice::lunghezza_fuori_limiti);
  m.lunghezza_estesa = lunghezza + kMetriProlungamento;
  m.ultima_cella = static_cast<int32_t>(cella_finale(m.lunghezza_estesa));
  m.celle.emplace(static_cast<size_t>(m.ultima_cella) + 1);
  if (s.j != 0 && s.traccia_piano) m.planimetria.emplace(m.lunghezza_estesa);
  return Esito::continua;
}

Esito chiave_progressiva_tre(StatoParser& s) { return leggi_terna(s, kVoceProgressivaTre); }
Esito chiave_progressiva_due(StatoParser& s) { return leggi_terna(s, kVoceProgressivaDue); }
Esito chiave_progressiva_uno(StatoParser& s) { return leggi_terna(s, kVoceProgressivaUno); }
// The second background value is stored in the third place, the third in
// the second.
Esito chiave_sfondo_uno(StatoParser& s) { return leggi_sfondo(s, &Voce::valore_uno); }
Esito chiave_sfondo_due(StatoParser& s) { return leggi_sfondo(s, &Voce::valore_tre); }
Esito chiave_sfondo_tre(StatoParser& s) { return leggi_sfondo(s, &Voce::valore_due); }

// The signal repetition zone and its code count, 4 or 9.
Esito chiave_ripetizione(StatoParser& s) {
  Voce& v = s.modello.testata[kVoceTreno];
  s.lettore->leggi_interi({&v.valore_uno, &v.valore_due});
  if (v.valore_uno % kMetriCella != 0) return s.guasto(Codice::inizio_ripetizione_fuori_griglia);
  if (v.valore_due % kMetriCella != 0) return s.guasto(Codice::fine_ripetizione_fuori_griglia);
  if (contiene_senza_maiuscole(s.campo, "4")) {
    v.valore_tre = 4;
  } else if (contiene_senza_maiuscole(s.campo, "9")) {
    v.valore_tre = 9;
  } else {
    return s.guasto(Codice::ripetizione_senza_codici);
  }
  if (v.valore_due == 0) v.valore_tre = 0;
  return Esito::continua;
}

namespace {

// The general section passes over up to ten dashed fields without looking
// for the end of the file, and ends at the next heading.
Sezione sezione_generale() { return {tipi_letti(LetturaRecord::generale_linea), 10, false, true}; }
Sezione sezioni_successive() {
  return {tipi_letti(LetturaRecord::successive_linea), 2, true, false};
}

void tra_le_sezioni(StatoParser& s) {
  progressive_ordina(s.modello.testata);
  s.linea = LetturaLinea{};
  s.prossima_voce_cartello = kPrimaVoceCartello;
  if (s.modello.planimetria) {
    s.modello.planimetria->imposta_intero(0, 0, 0);
    s.modello.planimetria->imposta_intero(1, 0, 1);
  }
}

}  // namespace

bool leggi_file_linea(StatoParser& s) {
  const std::string nome = nome_sorgente_linea(s.id);
  if (!s.archivio.esiste(nome)) {
    s.guasto(Codice::linea_mancante);
    return false;
  }
  s.lettore.emplace(s.archivio.leggi(nome), nome);
  // A heading that is the file's last field counts as none.
  if (!cerca_generale(s) || s.lettore->fine()) {
    s.guasto(Codice::linea_senza_generale);
    return false;
  }
  if (!leggi_sezione(s, sezione_generale())) return false;
  tra_le_sezioni(s);
  if (!leggi_sezione(s, sezioni_successive())) return false;
  s.chiudi_ed_elimina();
  chiudi_pendenze(s);
  if (s.j != 0 && s.traccia_piano) chiudi_planimetria(s);
  return true;
}

}  // namespace scenario

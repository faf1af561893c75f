#include "compiler/ciclo_record.h"

#include "base/testo.h"

namespace scenario {

namespace {

bool ha(std::string_view campo, std::string_view parola, Confronto confronto) {
  if (parola.empty()) return true;
  return confronto == Confronto::esatto ? contiene(campo, parola)
                                        : contiene_senza_maiuscole(campo, parola);
}

bool corrisponde(const DefinizioneRecord& g, std::string_view campo) {
  return ha(campo, g.parola, g.confronto) && ha(campo, g.seconda_parola, g.confronto);
}

// The keyword field of a pass, with the dashed fields before it passed
// over. False when the file has ended.
bool leggi_chiave(StatoParser& s, const Sezione& sezione) {
  LettoreCampi& in = *s.lettore;
  // The last field of the file is never looked at.
  const auto ultimo = [&s, &in] {
    if (!in.fine()) return false;
    if (s.osservatore) s.osservatore->ultimo_campo(s, s.campo);
    return true;
  };
  s.campo = in.leggi_testo();
  if (ultimo()) return false;
  for (int n = 0; n < sezione.salti_trattino && contiene(s.campo, "-"); ++n) {
    if (s.osservatore) s.osservatore->chiave(s, s.campo, true);
    s.campo = in.leggi_testo();
    if (sezione.fine_nei_salti && ultimo()) return false;
  }
  if (s.osservatore) s.osservatore->chiave(s, s.campo, false);
  return true;
}

// Every kind whose words the field holds runs, in order, until one ends the
// loop. A handler may change the field (a board reads its text into it):
// the kinds after it are tried on what it left.
Esito prova_gestori(StatoParser& s, std::span<const DefinizioneRecord> gestori) {
  for (const DefinizioneRecord& g : gestori) {
    if (!corrisponde(g, s.campo)) continue;
    const Esito e = s.osservatore ? s.osservatore->record(s, g) : g.gestisci(s);
    if (e != Esito::continua) return e;
  }
  return Esito::continua;
}

}  // namespace

bool intestazione(std::string_view campo) {
  return campo.rfind('-', 0) != 0 && contiene(campo, "[") && contiene(campo, "]");
}

bool leggi_sezione(StatoParser& s, const Sezione& sezione) {
  if (s.osservatore) {
    s.osservatore->parte(s,
                         sezione.chiusa_da_intestazione ? ParteFile::generale : ParteFile::record);
  }
  while (!s.lettore->fine()) {
    if (!leggi_chiave(s, sezione)) break;
    switch (prova_gestori(s, sezione.gestori)) {
      case Esito::continua:
      case Esito::prossimo_record: break;
      case Esito::fine_ciclo: return true;
      case Esito::fine_parser: return false;
    }
    if (sezione.chiusa_da_intestazione && intestazione(s.campo)) break;
  }
  return true;
}

bool cerca_generale(StatoParser& s) {
  LettoreCampi& in = *s.lettore;
  if (s.osservatore) s.osservatore->parte(s, ParteFile::prima_generale);
  do {
    s.campo = in.leggi_testo();
    if (s.osservatore) s.osservatore->chiave(s, s.campo, false);
    if (contiene_senza_maiuscole(s.campo, kIntestazioneGenerale)) return true;
  } while (!in.fine());
  return false;
}

}  // namespace scenario

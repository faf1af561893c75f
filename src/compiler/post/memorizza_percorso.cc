#include "compiler/post/memorizza_percorso.h"

#include "compiler/line/memorizza_dati.h"
#include "compiler/post/codici_gara.h"
#include "compiler/post/percorso_celle.h"

namespace scenario {

Compilazione memorizza_percorso(ArchivioSorgenti& archivio, const Identita& id, int32_t j) {
  Compilazione r;
  r.j = j;
  r.errore.numero_errore = 0;
  r.modello.testata = Testata{};

  StatoParser stato(r.modello, r.errore, archivio, id, j);
  memorizza_dati(stato);
  r.luogo_errore = stato.luogo_errore;
  r.motivo_guasto = stato.motivo_guasto;

  // Without a cell table there is nothing to walk, stamp or write.
  if (!r.modello.celle) return r;
  percorri_celle(*r.modello.celle, r.errore);
  r.errore_timbri = timbra(r.modello.testata, *r.modello.celle);
  return r;
}

}  // namespace scenario

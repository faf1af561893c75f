#include "compiler/compila.h"

#include <exception>
#include <new>

#include "compiler/line/lettore_linea.h"
#include "compiler/post/codici_gara.h"
#include "compiler/post/percorso_celle.h"
#include "compiler/train/lettore_treno.h"

namespace scenario {

namespace {

// Any failure of the data that is not a coded check: close, delete what is
// left of both sources, record 25. The error position stays as it was. A
// source that the system will not delete goes to the caller.
void coda_errore(StatoParser& s, const Luogo& luogo) {
  s.lettore.reset();
  for (const std::string& nome : {nome_sorgente_linea(s.id), nome_sorgente_treno(s.id)}) {
    if (s.archivio.esiste(nome)) s.archivio.elimina(nome);
  }
  s.errore.numero_errore = numero(Codice::dato_illeggibile);
  s.luogo_errore = luogo;
  if (s.osservatore) s.osservatore->guasto(s, Codice::dato_illeggibile, std::nullopt);
}

}  // namespace

void memorizza_dati(StatoParser& s) {
  s.modello.testata[kVoceLinea].testo = s.id.linea;
  s.modello.testata[kVoceTreno].testo = s.id.treno;
  try {
    if (leggi_file_linea(s)) leggi_file_treno(s);
  } catch (const Guasto& g) {
    s.motivo_guasto = g.what();
    s.oggetto_guasto = g.oggetto();
    coda_errore(s, g.luogo().file.empty() ? s.luogo() : g.luogo());
  } catch (const std::bad_alloc&) {
    throw;  // the machine's failure, not the data's: the caller says so
  } catch (const GuastoPiattaforma&) {
    throw;  // a source the system would not read or delete: the same
  } catch (const std::exception& e) {
    s.motivo_guasto = e.what();
    coda_errore(s, s.luogo());
  }
}

Compilazione memorizza_percorso(ArchivioSorgenti& archivio, const Identita& id, int32_t j) {
  Compilazione r;
  r.j = j;
  r.errore.numero_errore = numero(Codice::nessuno);
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

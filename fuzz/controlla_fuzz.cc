// The check of an author's sources against the compile of the same sources:
// it never crashes or hangs, it finds no error exactly when the compile
// records none, and every diagnostic names a place that exists.
// Input: the line file, a NUL byte, the train file (as compila_tutto_fuzz).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "check/controllo.h"
#include "fuzz/invarianti.h"

namespace {

// Lines in a text as the field reader counts them: CR LF, LF and CR each
// end one.
int righe(const std::string& t) {
  int n = 1;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' || (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n'))) ++n;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  using namespace scenario::fuzz;
  if (size > kMassimoIngresso) return 0;
  const auto [linea, treno] = due_sorgenti(data, size);
  ArchivioMemoria archivio;
  archivio.metti(nome_sorgente_linea(kId), linea);
  archivio.metti(nome_sorgente_treno(kId), treno);

  const std::vector<Diagnostica> dd = controlla(archivio, kId);
  // The check leaves its sources as they are.
  VERIFICA(archivio.esiste(nome_sorgente_linea(kId)) && archivio.esiste(nome_sorgente_treno(kId)));

  ArchivioMemoria copia = archivio;
  const Compilazione c = memorizza_percorso(copia, kId, 1);
  const bool errore_compilazione =
      c.errore.numero_errore != 0 || c.errore_timbri != Codice::nessuno;
  const bool errore_controllo =
      std::any_of(dd.begin(), dd.end(), [](const Diagnostica& d) { return d.errore(); });
  VERIFICA(errore_controllo == errore_compilazione);

  for (const Diagnostica& d : dd) {
    const bool di_linea = d.file == nome_sorgente_linea(kId);
    VERIFICA(di_linea || d.file == nome_sorgente_treno(kId));
    VERIFICA(d.riga >= 0 && d.riga <= righe(di_linea ? linea : treno));
    VERIFICA((d.riga == 0) == (d.colonna == 0));
    VERIFICA(!d.messaggio.empty());
    if (d.errore()) VERIFICA(codice_noto(d.codice) || d.codice == 1250 || d.codice == 1251);
  }
  return 0;
}

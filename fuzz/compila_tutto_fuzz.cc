// The whole compile as the installer runs it: parser, cell walk, stamps and
// the three binary files, made in memory.
// Input: the line file, a NUL byte, the train file. Without a NUL byte the
// whole input is the line file and the train file is empty.
#include <cstdint>
#include <string>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "fuzz/invarianti.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  using namespace scenario::fuzz;
  if (size > kMassimoIngresso) return 0;
  const std::string ingresso = come_testo(data, size);
  const size_t nul = ingresso.find('\0');
  ArchivioMemoria archivio;
  archivio.metti(nome_sorgente_linea(kId), ingresso.substr(0, nul));
  archivio.metti(nome_sorgente_treno(kId),
                 nul == std::string::npos ? std::string() : ingresso.substr(nul + 1));

  const Compilazione c = memorizza_percorso(archivio, kId, 1);
  controlla_compilazione(c, kId);
  // The line file never stays; the train file stays only when the line half
  // ended the parser (the cell walk may have recorded its own code since).
  VERIFICA(!archivio.esiste(nome_sorgente_linea(kId)));
  if (archivio.esiste(nome_sorgente_treno(kId))) {
    const int32_t n = c.errore.numero_errore;
    VERIFICA(registrato_da(n, {Fase::linea, Fase::percorso}));
  }
  return 0;
}

// The whole compile as the installer runs it: parser, cell walk, stamps and
// the three binary files, made in memory.
// Input: the line file, a NUL byte, the train file. Without a NUL byte the
// whole input is the line file and the train file is empty.
#include <cstdint>
#include <string>
#include <utility>

#include "fuzz/invarianti.h"
#include "tests/support/compila.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  using namespace scenario::fuzz;
  if (size > kMassimoIngresso) return 0;
  DueSorgenti ingresso = due_sorgenti(data, size);
  const test::Prova p =
      test::compila_in_memoria(std::move(ingresso.linea), std::move(ingresso.treno), {.id = kId});

  controlla_compilazione(p.c);
  // The train file stays exactly when the line half ended the parser. A
  // code of the cell walk hides the parser's: then only the line file's
  // deletion can be checked.
  const int32_t n = p.c.errore.numero_errore;
  if (registrato_da(n, {Fase::percorso})) {
    VERIFICA(!p.resta_linea());
  } else {
    controlla_sorgenti(p.archivio, kId, n);
  }
  return 0;
}

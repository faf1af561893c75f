// The compile's single entry: the line half, the train half, the cell walk
// and the stamps, in that order. It hands back the model ready for the
// binary writers.
#ifndef SCENARIO_COMPILER_COMPILA_H_
#define SCENARIO_COMPILER_COMPILA_H_

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "base/guasto.h"
#include "compiler/stato_parser.h"
#include "model/identita.h"
#include "model/modello.h"

namespace scenario {

struct Compilazione {
  Modello modello;
  RecordErrore errore;
  int32_t j = 1;  // the plan flag the model was built with
  // Where the recorded fault was read, when the parser recorded it.
  std::optional<Luogo> luogo_errore;
  std::string motivo_guasto;  // what failed, for code 25
  // The stamps' code when they refused the model: nothing may be written.
  Codice errore_timbri = Codice::nessuno;

  // The cell table exists: the walk, the stamps and the writes have run.
  bool da_scrivere() const { return modello.celle.has_value() && errore_timbri == Codice::nessuno; }
};

// Compiles the two sources found in `archivio` (and deletes them there).
Compilazione memorizza_percorso(ArchivioSorgenti& archivio, const Identita& id, int32_t j);

// The parser alone: reads the line file, then the train file, into the
// model, and deletes both. Every outcome is in the model and the error
// record; a failure that is not a coded check ends in the error tail, but
// for running out of memory (std::bad_alloc) and the system refusing to
// read or delete a source (GuastoPiattaforma), which are no fault of the
// data and go to the caller.
void memorizza_dati(StatoParser& s);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_COMPILA_H_

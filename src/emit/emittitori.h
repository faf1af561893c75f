// The five carried texts, in the order start-up writes them.
#ifndef SCENARIO_EMIT_EMITTITORI_H_
#define SCENARIO_EMIT_EMITTITORI_H_

#include <span>
#include <string>

#include "model/identita.h"

namespace scenario {

struct Emittitore {
  const char* nome;                             // "dati_linea", ...
  std::string (*nome_file)(const Identita&);    // file name inside the folder
  std::string (*contenuto)();                   // the file's bytes
};

// dati_linea, dati_treno, dati_note, dati_rallentamenti, dati_scheda.
std::span<const Emittitore> emittitori();

}  // namespace scenario

#endif  // SCENARIO_EMIT_EMITTITORI_H_

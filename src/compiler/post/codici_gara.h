// The identity codes of header entry 85 and cell 1, and their format stamps.
#ifndef SCENARIO_COMPILER_POST_CODICI_GARA_H_
#define SCENARIO_COMPILER_POST_CODICI_GARA_H_

#include <cstdint>
#include <string>

#include "compiler/codici_errore.h"
#include "model/formato.h"
#include "model/modello.h"

namespace scenario {

// Train number, then line identifier, lower case, then the fixed pad.
std::string testo_identita(const Testata& testata);

// Sum of the first 25 character codes.
int16_t codice_gara_og(const Testata& testata);
// Sum of the first 25 character codes, each times its position (1-based).
int32_t codice_gara_st(const Testata& testata);

// Checks that the four places are empty and stamps them. Returns
// Codice::nessuno, or the code of the place that was taken (the model must
// not be written then).
Codice timbra(Testata& testata, std::vector<Cella>& celle);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_POST_CODICI_GARA_H_

// dati_scheda: the bytes of one carried text (Windows-1252, CR LF).
#ifndef SCENARIO_EMIT_DATI_SCHEDA_H_
#define SCENARIO_EMIT_DATI_SCHEDA_H_

#include <string>

namespace scenario {

std::string dati_scheda();

}  // namespace scenario

#endif  // SCENARIO_EMIT_DATI_SCHEDA_H_

// dati_treno: the bytes of one carried text (Windows-1252, CR LF).
#ifndef SCENARIO_EMIT_DATI_TRENO_H_
#define SCENARIO_EMIT_DATI_TRENO_H_

#include <string>

namespace scenario {

std::string dati_treno();

}  // namespace scenario

#endif  // SCENARIO_EMIT_DATI_TRENO_H_

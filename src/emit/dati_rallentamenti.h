// dati_rallentamenti: the bytes of one carried text (Windows-1252, CR LF).
#ifndef SCENARIO_EMIT_DATI_RALLENTAMENTI_H_
#define SCENARIO_EMIT_DATI_RALLENTAMENTI_H_

#include <string>

namespace scenario {

std::string dati_rallentamenti();

}  // namespace scenario

#endif  // SCENARIO_EMIT_DATI_RALLENTAMENTI_H_

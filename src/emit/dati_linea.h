// dati_linea: the bytes of one carried text (Windows-1252, CR LF).
#ifndef SCENARIO_EMIT_DATI_LINEA_H_
#define SCENARIO_EMIT_DATI_LINEA_H_

#include <string>

namespace scenario {

std::string dati_linea();

}  // namespace scenario

#endif  // SCENARIO_EMIT_DATI_LINEA_H_

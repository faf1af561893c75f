// dati_note: the bytes of one carried text (Windows-1252, CR LF).
#ifndef SCENARIO_EMIT_DATI_NOTE_H_
#define SCENARIO_EMIT_DATI_NOTE_H_

#include <string>

namespace scenario {

std::string dati_note();

}  // namespace scenario

#endif  // SCENARIO_EMIT_DATI_NOTE_H_

// The parser: reads the line file, then the train file, into the model, and
// deletes both. Every outcome is in the model and the error record.
#ifndef SCENARIO_COMPILER_LINE_MEMORIZZA_DATI_H_
#define SCENARIO_COMPILER_LINE_MEMORIZZA_DATI_H_

#include "compiler/stato_parser.h"

namespace scenario {

void memorizza_dati(StatoParser& s);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_MEMORIZZA_DATI_H_

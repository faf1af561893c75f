// The train half of the parser: the train file's records, the end-of-parse
// fill of the profiles and the chainage-reference check.
#ifndef SCENARIO_COMPILER_TRAIN_LETTORE_TRENO_H_
#define SCENARIO_COMPILER_TRAIN_LETTORE_TRENO_H_

#include "compiler/stato_parser.h"

namespace scenario {

// Runs after the line half; the line file is closed and deleted by then.
void leggi_file_treno(StatoParser& s);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_LETTORE_TRENO_H_

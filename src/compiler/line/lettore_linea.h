// The line half of the parser: the line file's heading search, its general
// section and its later sections, then the closing fills.
#ifndef SCENARIO_COMPILER_LINE_LETTORE_LINEA_H_
#define SCENARIO_COMPILER_LINE_LETTORE_LINEA_H_

#include "compiler/stato_parser.h"

namespace scenario {

// Reads the line file and deletes it. False when a coded fault has ended
// the parser.
bool leggi_file_linea(StatoParser& s);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_LETTORE_LINEA_H_

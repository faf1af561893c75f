// What a diagnostic says, in the words every view of the check shows: the
// command line's lines and an editor's messages read the same text.
#ifndef SCENARIO_CHECK_TESTO_DIAGNOSTICA_H_
#define SCENARIO_CHECK_TESTO_DIAGNOSTICA_H_

#include <string>

#include "check/controllo.h"

namespace scenario {

// In UTF-8: an error's meaning and, where known, " (posizione P m)"; a
// warning's text.
std::string testo_diagnostica(const Diagnostica& d);

}  // namespace scenario

#endif  // SCENARIO_CHECK_TESTO_DIAGNOSTICA_H_

// How the author tool prints the diagnostics of a check: one line each in
// the form editors and CI systems read, or one JSON array.
#ifndef SCENARIO_TOOLS_SCENARIO_DIAGNOSTICHE_H_
#define SCENARIO_TOOLS_SCENARIO_DIAGNOSTICHE_H_

#include <span>
#include <string>
#include <string_view>

#include "check/controllo.h"

namespace scenario {

// FILE:LINE:COLUMN: error: MEANING (posizione P m) [errore N]
// FILE:LINE:COLUMN: warning: TEXT [-Wname]
// FILE: error: MEANING [errore N]            (no line)
// No newline at the end; the message is turned into UTF-8.
std::string riga_diagnostica(const Diagnostica& d);

// The closing count: "2 errori, 1 avvertimento".
std::string riepilogo_diagnostiche(std::span<const Diagnostica> dd);

// Every line and the closing count, each line ended by "\n".
std::string testo_diagnostiche(std::span<const Diagnostica> dd);

// One JSON array of objects with the keys file, line, column, severity,
// code, warning, message and position (null where they do not apply),
// ended by "\n".
std::string json_diagnostiche(std::span<const Diagnostica> dd);

// The same diagnostics as one SARIF 2.1.0 log of one run of `versione`
// of the tool, ended by "\n": a rule for every fault code and every
// warning name (ids "errore-N" and "avviso-NAME", the same in every log),
// and a result for each diagnostic with its file, line and column.
std::string sarif_diagnostiche(std::span<const Diagnostica> dd, std::string_view versione);

// True when one of them is an error, or a warning -Werror makes one.
bool con_errori(std::span<const Diagnostica> dd);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_DIAGNOSTICHE_H_

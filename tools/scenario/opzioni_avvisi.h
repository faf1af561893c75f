// The options that choose which warnings a check shows and which of them
// stop the run: shared by `check` and `pack`.
#ifndef SCENARIO_TOOLS_SCENARIO_OPZIONI_AVVISI_H_
#define SCENARIO_TOOLS_SCENARIO_OPZIONI_AVVISI_H_

#include <string>
#include <vector>

#include "check/controllo.h"
#include "tools/scenario/riga_comando.h"

namespace scenario {

// -Wno-NAME, -w, -Werror, -Werror=NAME.
std::vector<Opzione> opzioni_avvisi();

// Sets `opzioni` from them; an unknown name is a bad command line
// (errore_uso).
void leggi_opzioni_avvisi(const Argomenti& a, OpzioniControllo* opzioni);

// Every warning name, comma-separated.
std::string nomi_avvisi();

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_OPZIONI_AVVISI_H_

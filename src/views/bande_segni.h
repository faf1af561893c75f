// The bands of marks, each at its cell with a title that says what it is:
// signals (with the coded repetition), slowdowns, and the rows of one kind
// of cell each (indicators, code points, boards).
#ifndef SCENARIO_VIEWS_BANDE_SEGNI_H_
#define SCENARIO_VIEWS_BANDE_SEGNI_H_

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "views/bande.h"

namespace scenario::disegno {

// Signals (code 1) over the stretch of coded repetition.
void banda_segnali(Bande& b);
// Warnings (4), starts (3), ends (2) and pre-warnings (5).
void banda_rallentamenti(Bande& b);
// The cells of the codes `codici`, each drawn with the symbol `simbolo`;
// `plurale` names them where several share a symbol.
void banda_segni(Bande& b, std::string_view nome, std::initializer_list<uint8_t> codici,
                 std::string_view simbolo, std::string_view plurale);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_BANDE_SEGNI_H_

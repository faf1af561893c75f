// The record handlers of the line file's later sections and their closing
// steps. Each reads its values with the field reader, checks its position
// and fills the model.
#ifndef SCENARIO_COMPILER_LINE_RECORD_LINEA_H_
#define SCENARIO_COMPILER_LINE_RECORD_LINEA_H_

#include <cstdint>

#include "compiler/stato_parser.h"

namespace scenario {

// Orders the three chainage references of entries 81-83 by their start.
void progressive_ordina(Testata& testata);

Esito record_pendenza(StatoParser& s);
Esito record_curva(StatoParser& s);
Esito record_montagna(StatoParser& s);
Esito record_indicatori(StatoParser& s);
Esito record_cartello(StatoParser& s);

void chiudi_pendenze(StatoParser& s);
void chiudi_planimetria(StatoParser& s);

void memo_montagna(StatoParser& s, int32_t& inizio, int32_t& fine, int32_t& tipo);
void memo_indicatori_v_max(StatoParser& s, int32_t posizione, const int32_t& vas,
                           const int32_t& vbs, const int32_t& vcs, const int32_t& strisces,
                           const int32_t& vad, const int32_t& vbd, const int32_t& vcd,
                           const int32_t& strisced);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_RECORD_LINEA_H_

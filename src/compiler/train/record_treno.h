// The record handlers of the train file. Each reads its values with the
// field reader, checks its position and fills the model.
#ifndef SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_
#define SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_

#include <cstdint>

#include "compiler/stato_parser.h"

namespace scenario {

// nearest(km/h / 5), the speed byte of a cell; out of 0..255 is a failure.
uint8_t byte_velocita(const StatoParser& s, int32_t velocita);

Esito record_massa_frenata(StatoParser& s);
Esito record_vetture(StatoParser& s);
Esito record_velocita(StatoParser& s);
Esito record_aderenza(StatoParser& s);
Esito record_orologio(StatoParser& s);
Esito record_sabbia(StatoParser& s);
Esito record_segnale(StatoParser& s);
Esito record_rallentamento(StatoParser& s);
Esito record_abbattimento(StatoParser& s);
Esito record_stazione(StatoParser& s);

void memo_segnale(StatoParser& s, int32_t posizione, const int32_t& sx, const int32_t& s1,
                  const int32_t& s2, const int32_t& s3, const int32_t& rapp, const int32_t& dx,
                  const int32_t& d1, const int32_t& d2, const int32_t& d3, int32_t& tempo);
void memo_rallentamento(StatoParser& s, int32_t x, const int32_t& v, const int32_t& l,
                        const int32_t& f_tt, int32_t f_ta, const int32_t& d_v);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_

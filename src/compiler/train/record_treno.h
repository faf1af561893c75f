// The record handlers of the train file. Each reads its values with the
// field reader, checks its position and fills the model.
#ifndef SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_
#define SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_

#include <cstdint>
#include <optional>

#include "compiler/stato_parser.h"

namespace scenario {

// What the train reader carries from record to record and on to the
// closing fill. Speed and adhesion are 0 until their first record.
struct LetturaTreno {
  int32_t stazione = 1;         // the next station's number and entry
  int32_t indice_velocita = 0;  // next cell of the speed profile
  int32_t velocita = 0;         // km/h of the last speed record
  int32_t indice_aderenza = 0;  // next cell of the adhesion profile
  int32_t aderenza = 0;         // value of the last adhesion record
};

// Ends the train half on a coded fault: record, close, delete.
Esito fine_treno_con_errore(StatoParser& s, int32_t codice,
                            std::optional<int32_t> posizione = std::nullopt);

// nearest(km/h / 5), the speed byte of a cell; out of 0..255 is a failure.
uint8_t byte_velocita(const StatoParser& s, int32_t velocita);

Esito record_massa_frenata(StatoParser& s);
Esito record_vetture(StatoParser& s);
Esito record_velocita(StatoParser& s, LetturaTreno& t);
Esito record_aderenza(StatoParser& s, LetturaTreno& t);
Esito record_orologio(StatoParser& s);
Esito record_sabbia(StatoParser& s);
Esito record_segnale(StatoParser& s);
Esito record_rallentamento(StatoParser& s);
Esito record_abbattimento(StatoParser& s);
Esito record_stazione(StatoParser& s, LetturaTreno& t);

void memo_segnale(StatoParser& s, int32_t posizione, const int32_t& sx, const int32_t& s1,
                  const int32_t& s2, const int32_t& s3, const int32_t& rapp, const int32_t& dx,
                  const int32_t& d1, const int32_t& d2, const int32_t& d3, int32_t& tempo);
void memo_rallentamento(StatoParser& s, int32_t x, const int32_t& v, const int32_t& l,
                        const int32_t& f_tt, int32_t f_ta, const int32_t& d_v);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_

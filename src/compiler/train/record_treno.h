// The record handlers of the train file. Each reads its values with the
// field reader, checks its position and fills the model.
#ifndef SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_
#define SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_

#include <cstdint>

#include "compiler/stato_parser.h"

namespace scenario {

// nearest(km/h / 5), the speed byte of a cell; out of 0..255 is a failure.
// `luogo` is where the speed was read.
uint8_t byte_velocita(int32_t velocita, const Luogo& luogo);

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

// A signal record: its two sides' aspects ("s" and "d") and its time.
struct DatiSegnale {
  int32_t posizione = 0;
  int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0, d1 = 0, d2 = 0, d3 = 0;
  int32_t tempo = 0;
};
DatiSegnale leggi_segnale(LettoreCampi& in);

// A slowdown record: start, speed, length, and its three options.
struct DatiRallentamento {
  int32_t x = 0;
  int32_t v = 0;
  int32_t l = 0;
  int32_t f_tt = 0;  // stored in the start and end cells
  int32_t f_ta = 0;  // non-zero: the four pre-warning cells
  int32_t d_v = 0;   // non-zero: a second value in every cell marked
};
DatiRallentamento leggi_rallentamento(LettoreCampi& in);

// Each marks the record's cells and returns the fault it records, if any.
// A signal's time of 1 to 100 becomes 101 in `d` too.
Codice memo_segnale(StatoParser& s, DatiSegnale& d);
Codice memo_rallentamento(StatoParser& s, const DatiRallentamento& d);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_RECORD_TRENO_H_

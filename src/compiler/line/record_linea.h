// The record handlers of the line file's later sections and their closing
// steps. Each reads its values with the field reader, checks its position
// and fills the model.
#ifndef SCENARIO_COMPILER_LINE_RECORD_LINEA_H_
#define SCENARIO_COMPILER_LINE_RECORD_LINEA_H_

#include <cstdint>
#include <string_view>

#include "compiler/stato_parser.h"

namespace scenario {

// Orders the three chainage references of entries 81-83 by their start.
void progressive_ordina(Testata& testata);

// The general section's keys.
Esito chiave_lunghezza(StatoParser& s);
Esito chiave_progressiva_tre(StatoParser& s);
Esito chiave_progressiva_due(StatoParser& s);
Esito chiave_progressiva_uno(StatoParser& s);
Esito chiave_sfondo_uno(StatoParser& s);
Esito chiave_sfondo_due(StatoParser& s);
Esito chiave_sfondo_tre(StatoParser& s);
Esito chiave_ripetizione(StatoParser& s);

// The later sections' records.
Esito record_pendenza(StatoParser& s);
Esito record_curva(StatoParser& s);
// The curvature a curve's keyword field gives (1 / radius in metres, negative
// for a field holding an 's'); 0 when it holds no class digit.
double curvatura_di(std::string_view campo);
Esito record_montagna(StatoParser& s);
Esito record_indicatori(StatoParser& s);
Esito record_cartello(StatoParser& s);

void chiudi_pendenze(StatoParser& s);
void chiudi_planimetria(StatoParser& s);

// A structure record's values, as read. `tipo` above 10 marks a long one.
struct DatiMontagna {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t tipo = 0;
};
DatiMontagna leggi_montagna(LettoreCampi& in);

// A speed-indicator record: three speeds and the stripes for each of its
// two groups ("s" and "d").
struct DatiIndicatori {
  int32_t posizione = 0;
  int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0;
  int32_t vad = 0, vbd = 0, vcd = 0, strisced = 0;
};
DatiIndicatori leggi_indicatori(LettoreCampi& in);

// Marks the structure's cells; `d` keeps the type as stored. Records no
// fault of its own.
void memo_montagna(StatoParser& s, DatiMontagna& d);
// Marks the indicator's cell; returns the fault it records (21), if any.
Codice memo_indicatori_v_max(StatoParser& s, const DatiIndicatori& d);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_RECORD_LINEA_H_

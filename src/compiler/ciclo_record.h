// The one record loop both source files are read with. Field by field: a
// keyword field at the top of each pass, tried against the section's slice
// of the table of record kinds (tipi_record.h); each kind whose words it
// holds reads its own values.
#ifndef SCENARIO_COMPILER_CICLO_RECORD_H_
#define SCENARIO_COMPILER_CICLO_RECORD_H_

#include <span>
#include <string_view>

#include "compiler/stato_parser.h"
#include "compiler/tipi_record.h"

namespace scenario {

// One section of a source file.
struct Sezione {
  std::span<const DefinizioneRecord> gestori;  // tried in order
  // A field holding "-" stands aside for the next one, up to this many in a
  // row...
  int salti_trattino;
  // ...and, when set, the end of the file is looked for after each.
  bool fine_nei_salti;
  // A heading field ("[...]", not a dashed one) closes the section.
  bool chiusa_da_intestazione;
};

// A heading field, as the one that closes a section: it holds '[' and ']'
// and does not start with '-'.
bool intestazione(std::string_view campo);

// Reads the section's records until the end of the file, the heading that
// closes it or a handler that ends the loop. The file's last field is never
// looked at. False when a coded fault has ended the parse.
bool leggi_sezione(StatoParser& s, const Sezione& sezione);

// Reads fields up to the first that holds "[generale]" (any case). False
// when the file ended without one.
bool cerca_generale(StatoParser& s);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_CICLO_RECORD_H_

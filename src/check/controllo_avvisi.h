// The warnings of a check, found on what the reading noted and on the model
// it left: what compiles but is probably not what the author meant.
#ifndef SCENARIO_CHECK_CONTROLLO_AVVISI_H_
#define SCENARIO_CHECK_CONTROLLO_AVVISI_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/controllo.h"
#include "check/controllo_registro.h"
#include "model/modello.h"

namespace scenario::controllo {

// The cells each record has put its code into, in file order: the record
// (index into the register) that last coded each cell.
class Proprietari {
 public:
  explicit Proprietari(const Registro& r);
  // The last record before the record numbered `prima_di` that coded
  // `cella`, if one did.
  const RecordLetto* di(int64_t cella, size_t prima_di = SIZE_MAX) const;

 private:
  const Registro& r_;
  std::vector<std::pair<int64_t, size_t>> celle_;  // sorted by cell; last wins
};

// Appends the warnings to `uscita`; `file` names the two sources as the
// diagnostics show them.
void trova_avvisi(const Registro& r, const Modello& m, const std::array<std::string, 2>& file,
                  std::vector<Diagnostica>& uscita);

// A heading's place in its file's usual order, if it is one of them.
std::optional<int> rango_sezione(Sorgente f, std::string_view testo);

// A source text quoted in a message: at most 40 bytes.
std::string cita(std::string_view testo);

}  // namespace scenario::controllo

#endif  // SCENARIO_CHECK_CONTROLLO_AVVISI_H_

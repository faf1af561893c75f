// Warnings that need the two sources read together, or a record's meaning
// beyond its own values: the timetable against itself and the clock, the
// slowdowns against the speeds in force, the line's general values against
// its length, the boards' texts and the signals' kinds.
#ifndef SCENARIO_CHECK_AVVISI_INSIEME_H_
#define SCENARIO_CHECK_AVVISI_INSIEME_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/controllo.h"
#include "check/controllo_registro.h"

namespace scenario::controllo {

// Puts each warning at a record's field, in the files as the diagnostics
// name them.
class Avvisatore {
 public:
  Avvisatore(const std::array<std::string, 2>& file, std::vector<Diagnostica>& uscita)
      : file_(file), uscita_(uscita) {}
  // At field `campo` of `rec` (its keyword when it has no such field).
  void operator()(Avviso a, const RecordLetto& rec, size_t campo, std::string messaggio,
                  std::optional<int64_t> posizione = std::nullopt) const;

 private:
  const std::array<std::string, 2>& file_;
  std::vector<Diagnostica>& uscita_;
};

// The timetable: -Worario and -Wstazioni.
void avvisi_orario(const Registro& r, const Avvisatore& avvisa);
// The rest: -Wrallentamento, -Wripetizione, -Wcartello, and the chainage
// references (-Woltre-linea) and signal kinds (-Wvalore) of this kind.
void avvisi_linea_e_treno(const Registro& r, const Avvisatore& avvisa);

// Both of them, appended to `uscita`.
void trova_avvisi_insieme(const Registro& r, const std::array<std::string, 2>& file,
                          std::vector<Diagnostica>& uscita);

// Blanks at both ends of a field dropped.
std::string_view spoglia(std::string_view s);
// A length in metres as authors write it: "36000 m".
std::string metri(int64_t m);

}  // namespace scenario::controllo

#endif  // SCENARIO_CHECK_AVVISI_INSIEME_H_

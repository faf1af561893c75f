// What a cell or a header entry holds, in the author's terms: what it is,
// and its values named by what they are, in metres, km/h, per mille and
// hh:mm:ss, and each mark at the position the author wrote for it.
#ifndef SCENARIO_VIEWS_SIGNIFICATO_H_
#define SCENARIO_VIEWS_SIGNIFICATO_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace scenario {

enum class Unita : uint8_t {
  numero,     // as it is
  metri,      // a position or a length
  kmh,        // a speed
  per_mille,  // a gradient, signed
  orario,     // seconds since midnight, shown hh:mm:ss
  testo,      // a name or a board's text (UTF-8), shown quoted
  parola,     // a short word of digits and signs ("1-3-1", "80/100")
};

// One decoded value: a number in its unit, or a text.
struct ValoreDecodificato {
  std::string_view nome;
  Unita unita = Unita::numero;
  int64_t numero = 0;
  std::string testo = {};  // for Unita::testo and Unita::parola
};

struct Significato {
  std::string_view cosa;  // "segnale", "stazione", ...; empty for an empty row
  std::vector<ValoreDecodificato> valori;
};

// Cell i of `celle`. With the header (`testata` not null) a stop mark or a
// board names its station or text.
Significato significato_cella(const std::vector<Cella>& celle, size_t i, const Testata* testata);

// Header entry k.
Significato significato_voce(const Testata& t, size_t k);

// "nome=valore unita" pairs, blank-separated: "velocita=80 km/h".
void scrivi_valori(const Significato& s, std::string* out);

// hh:mm:ss; a negative count of seconds as "-N s".
std::string orario(int64_t secondi);

}  // namespace scenario

#endif  // SCENARIO_VIEWS_SIGNIFICATO_H_

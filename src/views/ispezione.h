// The three binary files as a person or a program reads them: aligned text
// columns, or one JSON document.
#ifndef SCENARIO_VIEWS_ISPEZIONE_H_
#define SCENARIO_VIEWS_ISPEZIONE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/intervalli.h"
#include "format/lettori.h"

namespace scenario {

enum class Formato { testo, json };

// Rows `da` to `a`, both included: header entries, cells or plan points.
struct Righe {
  size_t da = 0;
  size_t a = std::numeric_limits<size_t>::max();
};

// Reads `bytes` as a file of kind `tipo` and prints its rows. Text: a line
// of column names, then one line per row, numbers right-aligned, a header
// entry's `testo` last and in double quotes (Windows-1252 shown as UTF-8;
// control bytes, '"' and '\' escaped). JSON:
//   {"tipo": "testata", "voci": [{"voce": 0, "codice": ..., ...}, ...]}
//   {"tipo": "celle", "celle": [{"cella": 0, "progressiva": 0, ...}, ...]}
//   {"tipo": "planimetria", "punti": [[x0, x1], ...]}
// A plan value is a JSON integer, a real (always with '.' or an exponent;
// "nan", "inf", "-inf" as strings) or null when empty.
// A line plan's name may belong to a cell file (a train called "linea"):
// when the content is not a plan but is a cell file, it is shown as one.
// Throws ErroreLettura, for the kind the name gives.
// Every row also says what it holds, in the author's terms (significato.h):
// in the text view after its code's name (a header entry's after its text)
// as "nome=valore" pairs, in JSON as "significato" and "valori" after the
// stored fields; the plan's JSON says at which point it starts ("da").
// With the scenario's header (`testata`) a cell names its station or board
// text. A first row past the last throws OltreLaFine.
std::string ispeziona(TipoFile tipo, std::string_view bytes, Formato formato, Righe righe,
                      const Testata* testata = nullptr);

// Where a view's text goes as it is made: pieces of a few tens of
// kilobytes, in order.
using Scarico = std::function<void(std::string_view)>;

// The same view of a file open for reading, handed to `scarica` piece by
// piece. A header or cell file is read whole (none is large); a line plan
// is checked to its end first, so that a fault anywhere in it or a first
// row past its last is thrown before any piece, and then read point by
// point: the memory taken does not grow with the file.
void ispeziona(TipoFile tipo, LettoreIntervalli& file, Formato formato, Righe righe,
               const Testata* testata, const Scarico& scarica);

// A first row asked for past the file's last one.
class OltreLaFine : public std::runtime_error {
 public:
  OltreLaFine(size_t da, size_t righe, size_t byte, std::string_view cosa)
      : std::runtime_error("la riga " + std::to_string(da) + " non c'e': il file ha " +
                           std::to_string(righe) + " " + std::string(cosa) + " (0.." +
                           (righe == 0 ? std::string("") : std::to_string(righe - 1)) + "), " +
                           std::to_string(byte) + " byte") {}
};

// What a cell's code means, in a word: "segnale", "fermata", ...; empty for
// a code that has no meaning.
std::string_view nome_tipo_cella(uint8_t tipo_cella);

// A chainage in metres: where cell i starts.
constexpr int64_t progressiva_cella(size_t i) { return static_cast<int64_t>(i) * kMetriCella; }

}  // namespace scenario

#endif  // SCENARIO_VIEWS_ISPEZIONE_H_

// The bytes of the three binary files: no header, no count, no padding;
// every table is its records from the lowest index to the highest.
#ifndef SCENARIO_FORMAT_SCRITTORI_H_
#define SCENARIO_FORMAT_SCRITTORI_H_

#include <string>
#include <vector>

#include "model/formato.h"
#include "model/modello.h"

namespace scenario {

// The line plan: component 0 of every point, then component 1, each value a
// 16-bit kind tag followed by nothing, an int16 or a double.
std::string bytes_planimetria(const Planimetria& piano);
// The same bytes put at their offsets a piece at a time: the whole file is
// never in memory at once.
void scrivi_planimetria(const Planimetria& piano, const ScriviPezzo& scrivi);

// The 87 header entries, texts as a 16-bit length and their bytes.
// A text longer than 65535 bytes cannot be written; the compiler refuses
// such texts before they reach the table.
std::string bytes_testata(const Testata& testata);

// The cells, 15 bytes each.
std::string bytes_celle(const std::vector<Cella>& celle);

// The plan file's size, for callers that reserve or check.
size_t dimensione_planimetria(const Planimetria& piano);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_SCRITTORI_H_

// What each recorded fault code means, for the one-line reports.
#ifndef SCENARIO_COMPILER_CODICI_ERRORE_H_
#define SCENARIO_COMPILER_CODICI_ERRORE_H_

#include <cstdint>
#include <string_view>

namespace scenario {

std::string_view significato_errore(int32_t codice);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_CODICI_ERRORE_H_

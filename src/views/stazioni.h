// The stations as the header table holds them.
#ifndef SCENARIO_VIEWS_STAZIONI_H_
#define SCENARIO_VIEWS_STAZIONI_H_

#include <cstdint>
#include <string>
#include <vector>

#include "model/modello.h"

namespace scenario::disegno {

struct Stazione {
  int voce;
  std::string nome;  // UTF-8
  int32_t posizione;
  int32_t inizio;
  int32_t fine;
  uint8_t tipo;
  int32_t orario;
};

// Stations take entries 1, 2, ... and boards 80, 79, ...: the stations end at
// the first empty entry or the first entry a board's cell names.
std::vector<Stazione> stazioni(const Testata& t, const std::vector<Cella>& celle);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_STAZIONI_H_

// Scenarios made for measuring, as the installer's five texts: the line and
// train source files and three short documents. The maximal one is the
// largest the compiler accepts: a line of 1000000 m with a curve and a
// gradient every 200 m, structures, speed indicators, 57 boards, 21
// stations and thousands of signals and slowdowns. The short one has the
// same kinds of record over the carried line's length. Deterministic: every
// call gives the same bytes.
#ifndef SCENARIO_BENCH_GENERATORE_GENERATORE_H_
#define SCENARIO_BENCH_GENERATORE_GENERATORE_H_

#include <cstdint>
#include <string>

#include "model/identita.h"
#include "model/modello.h"

namespace scenario {

// How many records of each kind the sources hold.
struct Conteggi {
  int32_t curve = 0;
  int32_t pendenze = 0;
  int32_t montagne = 0;
  int32_t indicatori = 0;
  int32_t cartelli = 0;
  int32_t stazioni = 0;
  int32_t segnali = 0;
  int32_t rallentamenti = 0;
};

struct ScenarioGenerato {
  Identita id;
  std::string linea;          // the line source file, CR LF line ends
  std::string treno;          // the train source file
  std::string scheda;         // the train card
  std::string rallentamenti;  // the slow-order form
  std::string note;           // the notes
  Conteggi conteggi;
};

// A scenario of the given line length, from 91000 to 1000000 m.
ScenarioGenerato genera_scenario(const Identita& id, int32_t lunghezza);

constexpr int32_t kUltimaCellaMassima = 20140;  // nearest((1000000 + 7000) / 50)
constexpr int32_t kLunghezzaBreve = 91000;      // the carried line's

Identita identita_massima();  // Linea_Massima, 99999
Identita identita_breve();    // Linea_Breve, 91000
ScenarioGenerato genera_scenario_massimo();
ScenarioGenerato genera_scenario_breve();

}  // namespace scenario

#endif  // SCENARIO_BENCH_GENERATORE_GENERATORE_H_

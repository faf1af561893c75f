// The installer's run, unchanged, over a generated scenario's five texts
// instead of the carried ones: it writes them beside itself, compiles the two
// sources and leaves the three documents and the three binary files there.
// SCENARIO_BREVE selects the short scenario, else the maximal one.
#include <array>

#include "installer/avvio.h"
#include "generatore/generatore.h"

namespace {

using scenario::ScenarioGenerato;

const ScenarioGenerato& generato() {
#ifdef SCENARIO_BREVE
  static const ScenarioGenerato s = scenario::genera_scenario_breve();
#else
  static const ScenarioGenerato s = scenario::genera_scenario_massimo();
#endif
  return s;
}

std::string nome_scheda(const scenario::Identita& id) {
  return scenario::nome_documento(id, "scheda_treno.txt");
}
std::string nome_rallentamenti(const scenario::Identita& id) {
  return scenario::nome_documento(id, "rallentamenti.txt");
}
std::string nome_note(const scenario::Identita& id) {
  return scenario::nome_documento(id, "note.txt");
}

}  // namespace

int main() {
  static const std::array<scenario::Emittitore, 5> kTesti = {{
      {"dati_linea", scenario::nome_sorgente_linea, [] { return generato().linea; }},
      {"dati_treno", scenario::nome_sorgente_treno, [] { return generato().treno; }},
      {"dati_note", nome_note, [] { return generato().note; }},
      {"dati_rallentamenti", nome_rallentamenti, [] { return generato().rallentamenti; }},
      {"dati_scheda", nome_scheda, [] { return generato().scheda; }},
  }};
  auto piattaforma = scenario::crea_piattaforma();
  return scenario::avvio(*piattaforma, generato().id, kTesti);
}

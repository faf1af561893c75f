// testi_generati DIR breve|massimo: writes a generated scenario's five texts
// into DIR under an installer's names and prints its identity
// ("LINEA TRENO"), ready for `scenario pack`.
#include <iostream>
#include <string>

#include "platform/scrittura.h"
#include "generatore/generatore.h"

int main(int argc, char** argv) {
  using namespace scenario;
  const std::string quale = argc == 3 ? argv[2] : "";
  if (quale != "breve" && quale != "massimo") {
    std::cerr << "uso: testi_generati DIR breve|massimo\n";
    return 64;
  }
  const ScenarioGenerato s = quale == "breve" ? genera_scenario_breve() : genera_scenario_massimo();
  const std::string testi[] = {s.linea, s.treno, s.note, s.rallentamenti, s.scheda};
  const auto nomi = nomi_testi(s.id);
  try {
    for (size_t i = 0; i < nomi.size(); ++i)
      scrivi_file(std::filesystem::path(argv[1]) / nomi[i], testi[i]);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 3;
  }
  std::cout << s.id.linea << " " << s.id.treno << "\n";
  return 0;
}

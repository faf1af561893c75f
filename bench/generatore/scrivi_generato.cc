// scrivi_generato breve|massimo [DIR]: writes a generated scenario's five
// texts into DIR (default: the current folder) under the installer's names,
// for runs of the author tool over it.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>

#include "generatore/generatore.h"

int main(int argc, char** argv) {
  using namespace scenario;
  if (argc < 2 || argc > 3 ||
      (std::strcmp(argv[1], "breve") != 0 && std::strcmp(argv[1], "massimo") != 0)) {
    std::cerr << "uso: scrivi_generato breve|massimo [CARTELLA]\n";
    return 64;
  }
  const ScenarioGenerato s =
      std::strcmp(argv[1], "breve") == 0 ? genera_scenario_breve() : genera_scenario_massimo();
  const std::filesystem::path cartella = argc == 3 ? argv[2] : ".";
  const std::pair<std::string, const std::string*> testi[] = {
      {nome_sorgente_linea(s.id), &s.linea},
      {nome_sorgente_treno(s.id), &s.treno},
      {nome_documento(s.id, "scheda_treno.txt"), &s.scheda},
      {nome_documento(s.id, "rallentamenti.txt"), &s.rallentamenti},
      {nome_documento(s.id, "note.txt"), &s.note},
  };
  for (const auto& [nome, bytes] : testi) {
    std::ofstream out(cartella / nome, std::ios::binary | std::ios::trunc);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    out.close();
    if (!out) {
      std::cerr << "impossibile scrivere " << (cartella / nome).string() << "\n";
      return 3;
    }
  }
  std::cout << s.id.linea << " " << s.id.treno << "\n";
  return 0;
}

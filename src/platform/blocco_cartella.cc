#include "platform/blocco_cartella.h"

#include <string>

namespace scenario {

std::string motivo_cartella_occupata(std::chrono::milliseconds attesa) {
  const auto secondi = std::chrono::duration_cast<std::chrono::seconds>(attesa).count();
  return "la cartella e' in uso da un'altra esecuzione (attesi " + std::to_string(secondi) +
         " secondi)";
}

}  // namespace scenario

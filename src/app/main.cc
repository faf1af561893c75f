// The installer: one run, no arguments.
#include "app/avvio.h"

int main() {
  auto piattaforma = scenario::crea_piattaforma();
  return scenario::avvio(*piattaforma);
}

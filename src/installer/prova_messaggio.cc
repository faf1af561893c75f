// Test builds only: shows one of `errore`'s message boxes through the real
// platform layer, over the waiting window, so that a check can look at it
// and close it. `prova_messaggio 1250` (the default) or `prova_messaggio
// 1251`.
#include <cstdlib>
#include <cstring>

#include "installer/avvio.h"

int main(int argc, char** argv) {
  const char* numero = argc > 1 ? argv[1] : "1250";
  if (std::strcmp(numero, "1250") != 0 && std::strcmp(numero, "1251") != 0) return 64;
  auto piattaforma = scenario::crea_piattaforma();
  piattaforma->mostra_attesa();
  piattaforma->messaggio_errore(scenario::testo_errore(std::atoi(numero)));
  return 0;
}

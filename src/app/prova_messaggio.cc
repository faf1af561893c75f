// Test builds only: shows `errore`'s message box through the real platform
// layer, over the waiting window, so that a test can look at it and close it.
#include "app/avvio.h"

int main() {
  auto piattaforma = scenario::crea_piattaforma();
  piattaforma->mostra_attesa();
  piattaforma->messaggio_errore(scenario::testo_errore(1250));
  return 0;
}

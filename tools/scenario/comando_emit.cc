// scenario emit: the carried texts, the start of an author's own scenario.
#include <iostream>

#include "app/avvio.h"
#include "emit/emittitori.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

int esegui(const Argomenti& a) {
  try {
    scrivi_testi(cartella(a), identita_portata(), emittitori());
    return uscita_ok;
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return uscita_guasto;
  }
}

}  // namespace

Sottocomando comando_emit() {
  return {
      .nome = "emit",
      .sinossi = "",
      .descrizione = "Scrive in DIR i cinque testi portati dall'installatore, senza compilare.\n",
      .opzioni = {kOpzioneDir},
      .min_posizionali = 0,
      .max_posizionali = 0,
      .esegui = esegui,
  };
}

}  // namespace scenario

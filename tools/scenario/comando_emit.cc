// scenario emit: the carried texts, the start of an author's own scenario,
// under the carried names or under another identity's.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "emit/emittitori.h"
#include "installer/avvio.h"
#include "installer/corsa.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

// The run over the folder is held by the command table meanwhile.
int esegui(const Richiesta& a) {
  // Nothing is replaced unless asked, and then all five are.
  std::vector<std::filesystem::path> testi;
  for (const Emittitore& e : emittitori()) testi.push_back(a.dir / e.nome_file(a.id));
  rifiuta_presenti(a, testi);
  scrivi_testi(a.dir, a.id, emittitori());
  return uscita_ok;
}

}  // namespace

Sottocomando comando_emit() {
  return {
      .nome = "emit",
      .descrizione =
          "Scrive in DIR i cinque testi portati dall'installatore, senza compilare:\n"
          "i due sorgenti e i tre documenti. Con --linea e --treno li scrive sotto\n"
          "i nomi di un'altra identita' (l'inizio di uno scenario proprio).\n"
          "Non sostituisce un testo che esiste gia', se non con --force.\n"
          "Stato d'uscita: 0 testi scritti, 1 un testo esiste gia' (nessun file\n"
          "scritto), 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {{"--force", "", "", "sostituisce i testi che esistono gia'"}},
      .identita = FonteIdentita::opzioni,
      .cartella = true,
      .file = {.scritti = {posto_sorgente_linea, posto_sorgente_treno, posto_note,
                           posto_rallentamenti, posto_scheda}},
      .esegui = esegui,
  };
}

}  // namespace scenario

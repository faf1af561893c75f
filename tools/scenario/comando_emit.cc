// scenario emit: the carried texts, the start of an author's own scenario,
// under the carried names or under another identity's.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "emit/emittitori.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

int esegui(const Argomenti& a) {
  if (cartella_vuota(a)) return errore_uso(kCartellaVuota);
  Identita id = identita_portata();
  if (const auto l = a.valore("--linea")) id.linea = *l;
  if (const auto t = a.valore("--treno")) id.treno = *t;
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) {
    return errore_uso(kIdentitaNonValida);
  }
  const std::filesystem::path dir = cartella(a);
  try {
    // Held to the end: no other run writes in the folder meanwhile.
    std::optional<Corsa> corsa;
    try {
      corsa.emplace(dir, corsa_dello_scenario(dir, id,
                                              {posto_sorgente_linea, posto_sorgente_treno,
                                               posto_note, posto_rallentamenti, posto_scheda},
                                              {}));
    } catch (const NomiInConflitto& e) {
      return errore_uso(e.what());
    }
    // An author's edited text is worth more than a fresh copy: nothing is
    // replaced unless asked, and then all five are.
    if (!a.ha("--force")) {
      std::vector<std::filesystem::path> presenti;
      for (const Emittitore& e : emittitori()) {
        const std::filesystem::path p = dir / e.nome_file(id);
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(p, ec))) presenti.push_back(p);
      }
      if (!presenti.empty()) {
        for (const auto& p : presenti) {
          std::cerr << "scenario emit: " << p.string() << " esiste gia'\n";
        }
        std::cerr << "nessun file scritto; --force li sostituisce" << std::endl;
        return uscita_errore_dati;
      }
    }
    scrivi_testi(dir, id, emittitori());
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
      .descrizione =
          "Scrive in DIR i cinque testi portati dall'installatore, senza compilare:\n"
          "i due sorgenti e i tre documenti. Con --linea e --treno li scrive sotto\n"
          "i nomi di un'altra identita' (l'inizio di uno scenario proprio).\n"
          "Non sostituisce un testo che esiste gia', se non con --force.\n"
          "Stato d'uscita: 0 testi scritti, 1 un testo esiste gia' (nessun file\n"
          "scritto), 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {kOpzioneDir,
                  {"--linea", "", "LINEA", "il nome della linea (quello portato se non indicato)"},
                  {"--treno", "", "TRENO", "il numero del treno (quello portato se non indicato)"},
                  {"--force", "", "", "sostituisce i testi che esistono gia'"}},
      .min_posizionali = 0,
      .max_posizionali = 0,
      .esegui = esegui,
  };
}

}  // namespace scenario

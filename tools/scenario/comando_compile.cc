// scenario compile: the installer's compile on an author's own sources,
// which stay in place.
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>

#include "app/avvio.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

int esegui(const Argomenti& a) {
  const std::optional<Identita> id = leggi_identita(a);
  if (!id) return errore_uso(kIdentitaNonValida);
  const std::filesystem::path dir = cartella(a);
  try {
    ArchivioMemoria copie = copie_sorgenti(dir, *id);
    Compilazione c = memorizza_percorso(copie, *id, a.ha("--no-plan") ? 0 : 1);
    std::cout << "numero_errore=" << c.errore.numero_errore
              << " posizione_errore=" << c.errore.posizione_errore << "\n";
    if (c.errore.numero_errore != 0) {
      std::cout << significato_errore(c.errore.numero_errore) << "\n";
      if (c.luogo_errore && !c.luogo_errore->file.empty()) {
        std::cout << c.luogo_errore->file << ":" << c.luogo_errore->riga << ":"
                  << c.luogo_errore->colonna << ": "
                  << (c.motivo_guasto.empty() ? "record che ha registrato l'errore"
                                              : c.motivo_guasto)
                  << "\n";
      }
    }
    std::cout.flush();
    const StatoUscita stato = stato_uscita(c);
    if (stato == uscita_errore_timbri) {
      std::cerr << testo_errore(numero(c.errore_timbri)) << std::endl;
      return stato;
    }
    if (c.da_scrivere()) scrivi_binari(dir, *id, std::move(c));
    return stato;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << e.what() << std::endl;
    return uscita_guasto;
  }
}

}  // namespace

Sottocomando comando_compile() {
  return {
      .nome = "compile",
      .sinossi = "LINEA TRENO",
      .descrizione =
          "Compila DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt come fa l'installatore,\n"
          "lasciando i due sorgenti al loro posto, e scrive in DIR LINEA_linea.dat\n"
          "(non con --no-plan), LINEA_TRENO.sim e LINEA_TRENO.dat.\n"
          "La prima riga stampata e' sempre: numero_errore=N posizione_errore=P\n"
          "Stato d'uscita: 0 nessun errore, 1 errore nei dati, 2 errore 1250/1251\n"
          "(nessun file scritto), 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {kOpzioneDir, {"--no-plan", "", "", "non costruire ne' scrivere LINEA_linea.dat"}},
      .min_posizionali = 2,
      .max_posizionali = 2,
      .esegui = esegui,
  };
}

}  // namespace scenario

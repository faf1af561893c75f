// scenario lsp: the editor server on standard input and output.
#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "installer/avvio.h"
#include "lsp/cornice.h"
#include "lsp/server.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

int esegui(const Richiesta&) {
#ifdef _WIN32
  // The lengths count bytes: no CR added or taken away.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  lsp::Server server(
      [](const std::string& corpo) {
        std::cout << lsp::incornicia(corpo);
        std::cout.flush();
      },
      SCENARIO_VERSIONE);
  std::string corpo;
  while (!server.finito()) {
    switch (lsp::leggi_cornice(std::cin, &corpo)) {
      case lsp::Cornice::messaggio: server.ricevi(corpo); break;
      case lsp::Cornice::intestazione_errata: server.intestazione_errata(); break;
      case lsp::Cornice::fine:
        // The editor went away without exit.
        return uscita_errore_dati;
    }
    if (!std::cout) return uscita_guasto;
  }
  return server.stato_uscita() == 0 ? uscita_ok : uscita_errore_dati;
}

}  // namespace

Sottocomando comando_lsp() {
  return {
      .nome = "lsp",
      .sinossi = "",
      .descrizione =
          "Server del Language Server Protocol sullo standard input e output, per gli\n"
          "editor: a ogni modifica di un file LINEA_linea.txt o LINEA_TRENO-.txt\n"
          "controlla la coppia (il testo aperto nell'editor, o quello su disco) come\n"
          "'scenario check' e pubblica le diagnostiche di entrambi i file; spiega il\n"
          "campo sotto il cursore e completa le parole chiave e le sezioni.\n"
          "docs/editor.md dice come configurare l'editor.\n"
          "Stato d'uscita: 0 dopo shutdown ed exit, 1 exit senza shutdown o fine\n"
          "dell'input, 3 errore del sistema.\n",
      .esegui = esegui,
  };
}

}  // namespace scenario

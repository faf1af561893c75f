// scenario check: every fault of an author's sources at its own line, and
// warnings for what compiles but is probably not meant. Writes nothing.
#include <iostream>
#include <string>
#include <vector>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "check/controllo.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/diagnostiche.h"
#include "tools/scenario/opzioni_avvisi.h"

namespace scenario {
namespace {

// The names for the help, wrapped as its other lines are.
std::string elenco_avvisi() {
  std::string s = "Avvisi:";
  size_t riga = s.size();
  for (const Avviso a : avvisi()) {
    // Appended piece by piece: GCC 12 at -O3 warns, wrongly, on " " + name.
    std::string parola = " ";
    parola += nome_avviso(a);
    parola += ',';
    if (riga + parola.size() > 78) {
      s += "\n ";
      riga = 1;
    }
    s += parola;
    riga += parola.size();
  }
  s.pop_back();
  return s;
}

int esegui(const Richiesta& a) {
  OpzioniControllo opzioni;
  leggi_opzioni_avvisi(a, &opzioni);
  const std::string formato = a.valore("--format").value_or(a.ha("--json") ? "json" : "testo");
  if (formato != "testo" && formato != "json" && formato != "sarif") {
    errore_uso("formato sconosciuto: --format=" + formato + " (formati: testo, json, sarif)");
  }
  // The diagnostics name the files as they were opened.
  opzioni.cartella = a.prefisso_nomi;
  const ArchivioMemoria copie = copie_sorgenti(a.dir, a.id);
  std::vector<Diagnostica> dd;
  try {
    dd = controlla(copie, a.id, opzioni);
  } catch (const MemoriaEsaurita& e) {
    memoria_esaurita(a.dir / e.file(), "leggere");
  }
  if (formato == "json") {
    std::cout << json_diagnostiche(dd);
  } else if (formato == "sarif") {
    std::cout << sarif_diagnostiche(dd, SCENARIO_VERSIONE);
  } else {
    // Line by line: the text of a long list is never whole in memory.
    for (const Diagnostica& d : dd) std::cout << riga_diagnostica(d) << '\n';
    std::cout << riepilogo_diagnostiche(dd) << '\n';
  }
  return con_errori(dd) ? uscita_errore_dati : uscita_ok;
}

std::vector<Opzione> opzioni_check() {
  std::vector<Opzione> oo = {
      {"--format", "", "FORMATO",
       "testo (se non indicato), json (una lista JSON) o sarif (SARIF 2.1.0)"},
      {"--json", "", "", "come --format=json"}};
  for (const Opzione& o : opzioni_avvisi()) oo.push_back(o);
  return oo;
}

}  // namespace

Sottocomando comando_check() {
  static const std::string descrizione =
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt come fa la compilazione, ma\n"
      "dopo un errore prosegue con il record seguente: riporta ogni errore alla sua\n"
      "riga, con il codice che la compilazione registrerebbe, e avverte di cio' che\n"
      "compila ma probabilmente non e' voluto. Non scrive nulla.\n"
      "Una riga per diagnostica, poi una riga che le conta:\n"
      "  FILE:RIGA:COLONNA: error: SIGNIFICATO (posizione P m) [errore N]\n"
      "  FILE:RIGA:COLONNA: warning: TESTO [-Wnome]\n"
      "Con -Werror un avviso e' un errore: \"error: TESTO [-Werror=nome]\".\n" +
      elenco_avvisi() +
      "\n(docs/sorgenti.md li spiega).\n"
      "Stato d'uscita: 0 nessun errore (avvisi ammessi), 1 errori, 3 un sorgente\n"
      "non si puo' leggere o DIR non e' una cartella, 64 uso errato.\n";
  return {
      .nome = "check",
      .descrizione = descrizione,
      .opzioni = opzioni_check(),
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      .esegui = esegui,
  };
}

}  // namespace scenario

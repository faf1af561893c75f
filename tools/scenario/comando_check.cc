// scenario check: every fault of an author's sources at its own line, and
// warnings for what compiles but is probably not meant. Writes nothing.
#include <iostream>
#include <string>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "check/controllo.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/diagnostiche.h"

namespace scenario {
namespace {

std::string nomi_avvisi() {
  std::string s;
  for (const Avviso a : avvisi()) {
    if (!s.empty()) s += ", ";
    s += nome_avviso(a);
  }
  return s;
}

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
  for (const std::string& nome : a.valori("-Wno-")) {
    const std::optional<Avviso> avviso = avviso_di_nome(nome);
    if (!avviso) errore_uso("avviso sconosciuto: -Wno-" + nome + " (avvisi: " + nomi_avvisi() + ")");
    opzioni.spenti.set(static_cast<size_t>(*avviso));
  }
  if (a.ha("-w")) opzioni.spenti.set();
  // The diagnostics name the files as they were opened.
  opzioni.cartella = a.prefisso_nomi;
  const ArchivioMemoria copie = copie_sorgenti(a.dir, a.id);
  std::vector<Diagnostica> dd;
  try {
    dd = controlla(copie, a.id, opzioni);
  } catch (const MemoriaEsaurita& e) {
    memoria_esaurita(a.dir / e.file(), "leggere");
  }
  if (a.ha("--json")) {
    std::cout << json_diagnostiche(dd);
  } else {
    // Line by line: the text of a long list is never whole in memory.
    for (const Diagnostica& d : dd) std::cout << riga_diagnostica(d) << '\n';
    std::cout << riepilogo_diagnostiche(dd) << '\n';
  }
  return con_errori(dd) ? uscita_errore_dati : uscita_ok;
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
      "  FILE:RIGA:COLONNA: warning: TESTO [-Wnome]\n" +
      elenco_avvisi() +
      "\n(docs/sorgenti.md li spiega).\n"
      "Stato d'uscita: 0 nessun errore (avvisi ammessi), 1 errori, 3 un sorgente\n"
      "non si puo' leggere o DIR non e' una cartella, 64 uso errato.\n";
  return {
      .nome = "check",
      .descrizione = descrizione,
      .opzioni = {{"--json", "", "", "le diagnostiche come una lista JSON"},
                  {"-Wno-", "", "NOME", "non mostra l'avviso NOME", true},
                  {"-w", "", "", "non mostra nessun avviso"}},
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      .esegui = esegui,
  };
}

}  // namespace scenario

// scenario decompile: the two sources back from the three compiled files,
// written only once their compile gives the same files byte for byte.
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "decompile/decompila.h"
#include "format/lettori.h"
#include "installer/avvio.h"
#include "installer/corsa.h"
#include "installer/nomi_corsa.h"
#include "platform/blocco_cartella.h"
#include "platform/scrittura.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/file_binari.h"

namespace scenario {
namespace {

// The three files of the scenario, named as the author wrote them (DIR/
// only when --dir was given): the plan opened, to be read a piece at a
// time. Without it (a --no-plan compile) the line has no curves to recover:
// said on standard output.
struct Compilati {
  std::unique_ptr<LettoreIntervalli> piano;
  FileCompilati file;
};

Compilati leggi_compilati(const Richiesta& a) {
  std::filesystem::path letto;
  try {
    Compilati f;
    letto = a.prefisso_nomi + nome_testata(a.id);
    f.file.testata = leggi_compilato(letto, TipoFile::testata);
    letto = a.prefisso_nomi + nome_celle(a.id);
    f.file.celle = leggi_compilato(letto, TipoFile::celle);
    letto = a.prefisso_nomi + nome_planimetria(a.id);
    f.piano = apri_binario(letto, TipoFile::planimetria);
    f.file.planimetria = f.piano.get();
    if (!f.piano) {
      std::cout << "nessun file " << letto.string()
                << ": la linea e' scritta senza curve, confrontati gli altri due file\n";
    }
    return f;
  } catch (const ErroreLettura& e) {
    throw ErroreComando(uscita_errore_dati, letto.string() + ": " + e.what());
  } catch (const std::bad_alloc&) {
    memoria_esaurita(letto, "leggere");
  }
}

// What no record gives, one line each.
std::string righe(const std::vector<std::string>& problemi) {
  std::string s;
  for (const std::string& p : problemi) s += p + "\n";
  return s;
}

int esegui(const Richiesta& a) {
  const std::optional<std::string> o = a.valore("--output");
  if (o && o->empty()) errore_uso("--output vuole una cartella, non un nome vuoto");
  const std::filesystem::path uscita = o ? std::filesystem::path(*o) : a.dir;
  const Compilati compilati = leggi_compilati(a);
  const Decompilazione d = decompila(a.id, compilati.file);
  if (!d.riuscita() && !a.ha("--partial")) {
    throw ErroreComando(
        uscita_errore_dati,
        righe(d.problemi) + "nessun file scritto; --partial scrive quello che si puo' esprimere");
  }

  // Held to the end in the sources' folder, with the three files read
  // (the table's) protected.
  verifica_cartella(uscita);
  const size_t scritti[] = {posto_sorgente_linea, posto_sorgente_treno};
  NomiCorsa nomi = corsa_dello_scenario(uscita, a.id, scritti, {});
  nomi.sorgenti = a.nomi.sorgenti;
  const Corsa corsa(uscita, nomi);
  const std::filesystem::path linea = uscita / nome_sorgente_linea(a.id);
  const std::filesystem::path treno = uscita / nome_sorgente_treno(a.id);
  const std::filesystem::path sorgenti[] = {linea, treno};
  rifiuta_presenti(a, sorgenti);
  InsiemeFile insieme;
  insieme.aggiungi(linea, d.linea);
  insieme.aggiungi(treno, d.treno);
  insieme.sostituisci();
  std::cout << "sorgenti scritti: " << linea.string() << " " << treno.string() << "\n";
  if (!d.riuscita()) {
    throw ErroreComando(
        uscita_errore_dati,
        righe(d.problemi) + "sorgenti scritti in parte: non ridanno gli stessi file");
  }
  return uscita_ok;
}

}  // namespace

Sottocomando comando_decompile() {
  return {
      .nome = "decompile",
      .descrizione =
          "Riscrive i due sorgenti (LINEA_linea.txt, LINEA_TRENO-.txt) dai tre file\n"
          "compilati di DIR: compilati, danno gli stessi tre file byte per byte. Prima\n"
          "di scrivere li compila in memoria e confronta. Senza LINEA_linea.dat la\n"
          "linea e' scritta senza curve. Quello che nessun record puo' dare e' detto\n"
          "alla sua cella o voce, e nulla e' scritto (con --partial si').\n"
          "Stato d'uscita: 0 sorgenti scritti, 1 file mancante, file che i sorgenti\n"
          "non ridanno o sorgente che esiste gia', 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {{"--output", "-o", "OUTDIR", "la cartella dei sorgenti (DIR se non indicata)"},
                  {"--force", "", "", "sostituisce i sorgenti che esistono gia'"},
                  {"--partial", "", "", "scrive quello che si puo' esprimere anche se non basta"}},
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      .file = {.letti = {posto_planimetria, posto_celle, posto_testata}},
      .esegui = esegui,
  };
}

}  // namespace scenario

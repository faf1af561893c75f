// scenario compile: the installer's compile on an author's own sources,
// which stay in place.
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"
#include "check/controllo.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

// After a fault the sources are read again by the check, which names the
// recorded fault at its place. Should they no longer read, the report says
// what the compile knows.
std::vector<Diagnostica> rilettura(const std::filesystem::path& dir, const Identita& id,
                                   const std::string& prefisso) {
  OpzioniControllo opzioni;
  opzioni.cartella = prefisso;
  opzioni.spenti.set();
  try {
    return controlla(copie_sorgenti(dir, id), id, opzioni);
  } catch (const std::exception&) {
    return {};
  }
}

// The run over the folder is held by the command table meanwhile.
int esegui(const Richiesta& a) {
  const std::filesystem::path& dir = a.dir;
  const Identita& id = a.id;
  // The places in the lines after the first name the files as opened.
  const std::string& prefisso = a.prefisso_nomi;
  // The first line is printed on every path: a source that cannot be read
  // stops the run before the compile has recorded anything.
  constexpr char kInterrotta[] = "compilazione interrotta da un errore del sistema";
  ArchivioMemoria copie;
  try {
    copie = copie_sorgenti(dir, id);
  } catch (const GuastoPiattaforma&) {
    std::cout << rapporto_compilazione(Compilazione{}) << kInterrotta << std::endl;
    throw;
  }
  ArchivioOsservato archivio(copie, dir);
  Compilazione c;
  try {
    c = memorizza_percorso(archivio, id, a.ha("--no-plan") ? 0 : 1);
  } catch (const std::bad_alloc&) {
    memoria_esaurita(archivio.in_lettura(), "leggere");
  }
  const StatoUscita stato = stato_uscita(c);
  const bool guasto = stato != uscita_ok;
  std::cout << rapporto_compilazione(
      c, guasto ? rilettura(dir, id, prefisso) : std::vector<Diagnostica>{}, prefisso);
  // A report that cannot be printed ends the run before any file is
  // written; the command table says why.
  if (!std::cout.flush()) return uscita_guasto;
  if (stato == uscita_errore_timbri) {
    std::cerr << testo_errore(numero(c.errore_timbri)) << std::endl;
    std::cout << "nessun file scritto" << std::endl;
    return stato;
  }
  // Which binaries this run writes: an older file of the same name is
  // never taken for the new one.
  std::vector<std::string> scritti;
  if (c.da_scrivere()) {
    if (c.j != 0 && c.modello.planimetria) scritti.push_back(prefisso + nome_planimetria(id));
    scritti.push_back(prefisso + nome_testata(id));
    scritti.push_back(prefisso + nome_celle(id));
    try {
      scrivi_binari(dir, id, std::move(c));
    } catch (const GuastoPiattaforma&) {
      std::cout << kInterrotta << std::endl;
      throw;
    }
  }
  if (guasto) {
    std::string riga = scritti.empty() ? "nessun file scritto" : "file scritti:";
    for (const std::string& f : scritti) riga += " " + f;
    std::cout << riga << std::endl;
  }
  return stato;
}

}  // namespace

Sottocomando comando_compile() {
  return {
      .nome = "compile",
      .descrizione =
          "Compila DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt come fa l'installatore,\n"
          "lasciando i due sorgenti al loro posto, e scrive in DIR LINEA_linea.dat\n"
          "(non con --no-plan), LINEA_TRENO.sim e LINEA_TRENO.dat.\n"
          "La prima riga stampata e' sempre: numero_errore=N posizione_errore=P\n"
          "Dopo un errore, le righe seguenti dicono dove e perche' (come 'scenario check')\n"
          "e quali file sono stati scritti, o 'nessun file scritto'.\n"
          "Stato d'uscita: 0 nessun errore, 1 errore nei dati, 2 errore 1250/1251\n"
          "(nessun file scritto), 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {{"--no-plan", "", "", "non costruire ne' scrivere LINEA_linea.dat"}},
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      // Every binary name is checked, with --no-plan too: a cell file named
      // as the line plan would replace the plan of every train of the line.
      .file = {.scritti = {posto_planimetria, posto_celle, posto_testata},
               .letti = {posto_sorgente_linea, posto_sorgente_treno}},
      .esegui = esegui,
  };
}

}  // namespace scenario

// scenario compile: the installer's compile on an author's own sources,
// which stay in place.
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/avvio.h"
#include "app/corsa.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

// Copies of the two sources: the compile deletes what it has read, and the
// author's files stay. A missing source is left for the compiler to report.
ArchivioMemoria copie_sorgenti(const std::filesystem::path& dir, const Identita& id) {
  ArchivioMemoria copie;
  for (const std::string& nome : {nome_sorgente_linea(id), nome_sorgente_treno(id)}) {
    try {
      if (auto bytes = leggi_se_esiste(dir, nome)) copie.metti(nome, std::move(*bytes));
    } catch (const std::bad_alloc&) {
      memoria_esaurita(dir / nome, "leggere");
    }
  }
  return copie;
}

int esegui(const Argomenti& a) {
  const std::optional<Identita> id = leggi_identita(a);
  if (!id) return errore_uso(kIdentitaNonValida);
  if (cartella_vuota(a)) return errore_uso(kCartellaVuota);
  const std::filesystem::path dir = cartella(a);
  try {
    // Held to the end: no other run writes in the folder meanwhile, and no
    // name that does not fit is ever begun.
    std::optional<Corsa> corsa;
    try {
      std::vector<std::string> nomi = {nome_sorgente_linea(*id), nome_sorgente_treno(*id)};
      for (std::string& n : nomi_binari(*id)) nomi.push_back(std::move(n));
      corsa.emplace(dir, nomi);
    } catch (const NomeTroppoLungo& e) {
      return errore_uso(e.what());
    }
    ArchivioMemoria copie = copie_sorgenti(dir, *id);
    ArchivioOsservato archivio(copie, dir);
    Compilazione c;
    try {
      c = memorizza_percorso(archivio, *id, a.ha("--no-plan") ? 0 : 1);
    } catch (const std::bad_alloc&) {
      memoria_esaurita(archivio.in_lettura(), "leggere");
    }
    std::cout << rapporto_compilazione(c);
    // A report that cannot be printed ends the run before any file is
    // written; the command table says why.
    if (!std::cout.flush()) return uscita_guasto;
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

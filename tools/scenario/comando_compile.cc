// scenario compile: the installer's compile on an author's own sources,
// which stay in place.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/avvio.h"
#include "app/corsa.h"
#include "app/scrittura.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/post/memorizza_percorso.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

// Copies one source into memory. A missing source is left for the compiler
// to report; one that is there but cannot be read is a platform failure.
void copia_sorgente(const std::filesystem::path& cartella, const std::string& nome,
                    ArchivioMemoria* copie) {
  const std::filesystem::path percorso = cartella / nome;
  std::error_code ec;
  const auto stato = std::filesystem::status(percorso, ec);
  if (!std::filesystem::exists(stato)) return;
  if (!std::filesystem::is_regular_file(stato)) {
    throw GuastoPiattaforma(percorso, "non e' un file", "leggere");
  }
  try {
    std::ifstream in(percorso, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      throw GuastoPiattaforma(percorso, std::strerror(errno), "leggere");
    }
    copie->metti(nome, std::move(bytes));
  } catch (const std::bad_alloc&) {
    memoria_esaurita(percorso, "leggere");
  }
}

int esegui(const Argomenti& a) {
  const std::optional<Identita> id = leggi_identita(a);
  if (!id) return errore_uso(kIdentitaNonValida);
  const std::optional<std::filesystem::path> cartella_data = cartella(a);
  if (!cartella_data) return errore_uso(kCartellaVuota);
  const std::filesystem::path& dir = *cartella_data;
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
    ArchivioMemoria copie;
    copia_sorgente(dir, nome_sorgente_linea(*id), &copie);
    copia_sorgente(dir, nome_sorgente_treno(*id), &copie);
    ArchivioOsservato archivio(copie, dir);
    Compilazione c;
    try {
      c = memorizza_percorso(archivio, *id, a.ha("--no-plan") ? 0 : 1);
    } catch (const std::bad_alloc&) {
      memoria_esaurita(archivio.in_lettura(), "leggere");
    }
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
    // A report that cannot be printed ends the run before any file is
    // written; the command table says why.
    if (!std::cout.flush()) return uscita_guasto;
    if (c.errore_timbri != 0) {
      std::cerr << testo_errore(c.errore_timbri) << std::endl;
      return uscita_errore_timbri;
    }
    const bool errore_dati = c.errore.numero_errore != 0;
    if (c.da_scrivere()) scrivi_binari(dir, *id, std::move(c));
    return errore_dati ? uscita_errore_dati : uscita_ok;
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

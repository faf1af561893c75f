#include "installer/avvio.h"

#include <iostream>
#include <new>
#include <utility>

#include "compiler/codici_errore.h"
#include "emit/emittitori.h"
#include "format/scrittori.h"
#include "installer/corsa.h"
#include "installer/uscita.h"
#include "platform/archivio_cartella.h"
#include "platform/programma.h"
#include "platform/scrittura.h"

#ifndef SCENARIO_LINEA
#define SCENARIO_LINEA "Lanvero_Ostrel"
#endif
#ifndef SCENARIO_TRENO
#define SCENARIO_TRENO "24817"
#endif

namespace scenario {

Identita identita_portata() { return {SCENARIO_LINEA, SCENARIO_TRENO}; }

StatoUscita stato_uscita(const Compilazione& c) {
  if (c.errore_timbri != Codice::nessuno) return uscita_errore_timbri;
  return c.errore.numero_errore != numero(Codice::nessuno) ? uscita_errore_dati : uscita_ok;
}

std::string testo_errore(int32_t numero) { return " Errore n. " + std::to_string(numero); }

std::string riga_errore(const RecordErrore& e) {
  return "errore " + std::to_string(e.numero_errore) + ", posizione " +
         std::to_string(e.posizione_errore) +
         " m: " + std::string(significato_errore(e.numero_errore));
}

void scrivi_testi(const std::filesystem::path& cartella, const Identita& id,
                  std::span<const Emittitore> testi) {
  for (const Emittitore& e : testi) {
    const std::filesystem::path p = cartella / e.nome_file(id);
    std::string bytes;
    try {
      bytes = e.contenuto();
    } catch (const std::bad_alloc&) {
      memoria_esaurita(p, "scrivere");
    }
    scrivi_file(p, bytes);
  }
}

void scrivi_binari(const std::filesystem::path& cartella, const Identita& id, Compilazione&& c) {
  InsiemeFile insieme;
  aggiungi_binari(insieme, cartella, id, std::move(c));
  insieme.sostituisci();
}

void aggiungi_binari(InsiemeFile& insieme, const std::filesystem::path& cartella,
                     const Identita& id, Compilazione&& c) {
  Modello& m = c.modello;
  const auto aggiungi = [&](const std::string& nome, auto&& contenuto) {
    const std::filesystem::path p = cartella / nome;
    try {
      insieme.aggiungi(p, contenuto);
    } catch (const std::bad_alloc&) {
      memoria_esaurita(p, "scrivere");
    }
  };
  // In the order of the renames (nomi_binari): plan, cells, header. The
  // plan is written as it is made, a piece at a time.
  if (c.j != 0 && m.planimetria) {
    aggiungi(nome_planimetria(id),
             [&m](const ScriviA& scrivi) { scrivi_planimetria(*m.planimetria, scrivi); });
    m.planimetria.reset();
  }
  aggiungi(nome_celle(id), [&m](const ScriviA& scrivi) { scrivi(0, bytes_celle(*m.celle)); });
  aggiungi(nome_testata(id), [&m](const ScriviA& scrivi) { scrivi(0, bytes_testata(m.testata)); });
}

std::unique_ptr<LettoreIntervalli> Piattaforma::apri_programma() {
  return scenario::apri_programma();
}

std::filesystem::path Piattaforma::percorso_programma() { return scenario::percorso_programma(); }

Carico carico_installatore(LettoreIntervalli& programma) {
  Carico c = decodifica_carico(programma);
  const auto attesi = nomi_testi(c.id);
  if (c.file.size() != attesi.size()) {
    throw CaricoDanneggiato("lo scenario ha " + std::to_string(c.file.size()) + " file invece di " +
                            std::to_string(attesi.size()));
  }
  for (size_t i = 0; i < attesi.size(); ++i) {
    if (c.file[i].nome != attesi[i]) {
      throw CaricoDanneggiato("file inatteso nello scenario: " + c.file[i].nome);
    }
  }
  return c;
}

int avvio(Piattaforma& piattaforma) {
  prepara_uscite();
  Carico c;
  try {
    const std::unique_ptr<LettoreIntervalli> programma = piattaforma.apri_programma();
    c = carico_installatore(*programma);
  } catch (const CaricoDanneggiato& e) {
    piattaforma.messaggio_guasto(kInstallatoreDanneggiato + std::string(e.what()));
    return uscita_guasto;
  } catch (const std::exception& e) {
    piattaforma.messaggio_guasto(e.what());
    return uscita_guasto;
  }
  return avvio(piattaforma, c.id, c.file);
}

int avvio(Piattaforma& piattaforma, const Identita& id, std::span<const Emittitore> testi,
          std::chrono::milliseconds attesa) {
  std::vector<FileNominato> file;
  for (const Emittitore& e : testi) file.push_back({e.nome_file(id), e.contenuto()});
  return avvio(piattaforma, id, file, attesa);
}

namespace {

// What a run has to say once its folder is released.
struct FineCorsa {
  int stato = uscita_ok;
  std::string messaggio;
};

// The run itself, holding the folder: the five texts, the compile, the
// three binary files. The sources it writes never outlive it. What it
// leaves (the documents and the binary files) is replaced as one set at its
// end, so that any failure leaves the older files whole.
FineCorsa installa(const std::filesystem::path& cartella, const std::filesystem::path& programma,
                   const Identita& id, std::span<const FileNominato> testi,
                   std::chrono::milliseconds attesa) {
  // Players run installers on Windows: names are told apart as it does,
  // whatever the build.
  NomiCorsa file;
  file.uscite = file_installatore(cartella, id);
  file.programma = programma;
  file.confronto = ConfrontoNomi::senza_maiuscole;
  Corsa corsa(cartella, file, attesa);
  corsa.rimuovi_alla_fine(nome_sorgente_linea(id));
  corsa.rimuovi_alla_fine(nome_sorgente_treno(id));
  InsiemeFile lasciati;
  for (const FileNominato& t : testi) {
    if (t.nome == nome_sorgente_linea(id) || t.nome == nome_sorgente_treno(id)) {
      scrivi_provvisorio(cartella / t.nome, t.bytes);
    } else {
      lasciati.aggiungi(cartella / t.nome, t.bytes);
    }
  }

  ArchivioCartella cartella_sorgenti(cartella);
  ArchivioOsservato archivio(cartella_sorgenti, cartella);
  Compilazione c;
  try {
    c = memorizza_percorso(archivio, id, 1);
  } catch (const std::bad_alloc&) {
    memoria_esaurita(archivio.in_lettura(), "leggere");
  }
  const StatoUscita stato = stato_uscita(c);
  FineCorsa fine{stato, {}};
  if (stato == uscita_errore_timbri) fine.messaggio = testo_errore(numero(c.errore_timbri));
  if (stato == uscita_errore_dati) fine.messaggio = riga_errore(c.errore);
  if (c.da_scrivere()) aggiungi_binari(lasciati, cartella, id, std::move(c));
  lasciati.sostituisci();
  return fine;
}

}  // namespace

int avvio(Piattaforma& piattaforma, const Identita& id, std::span<const FileNominato> testi,
          std::chrono::milliseconds attesa) {
  prepara_uscite();
  FineCorsa esito;
  try {
    piattaforma.mostra_attesa();
    controlla_uscita();
    esito = installa(piattaforma.cartella_programma(), piattaforma.percorso_programma(), id, testi,
                     attesa);
  } catch (const std::bad_alloc&) {
    esito = {uscita_guasto, "impossibile proseguire: memoria esaurita"};
  } catch (const std::exception& e) {
    esito = {uscita_guasto, e.what()};
  }
  // Messages come once the folder is free: a message box may wait long.
  switch (esito.stato) {
    case uscita_errore_dati: std::cerr << esito.messaggio << std::endl; break;
    case uscita_errore_timbri: piattaforma.messaggio_errore(esito.messaggio); break;
    case uscita_guasto: piattaforma.messaggio_guasto(esito.messaggio); break;
    default: break;
  }
  return stato_finale(esito.stato);
}

}  // namespace scenario

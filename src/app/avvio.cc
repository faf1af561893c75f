#include "app/avvio.h"

#include <iostream>
#include <utility>

#include "app/programma.h"
#include "app/scrittura.h"
#include "compiler/codici_errore.h"
#include "emit/emittitori.h"
#include "output/scrittori.h"

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
  for (const Emittitore& e : testi) scrivi_file(cartella / e.nome_file(id), e.contenuto());
}

void scrivi_binari(const std::filesystem::path& cartella, const Identita& id, Compilazione&& c) {
  Modello& m = c.modello;
  if (c.j != 0 && m.planimetria) {
    scrivi_file(cartella / nome_planimetria(id), bytes_planimetria(std::move(*m.planimetria)));
    m.planimetria.reset();
  }
  scrivi_file(cartella / nome_testata(id), bytes_testata(m.testata));
  scrivi_file(cartella / nome_celle(id), bytes_celle(*m.celle));
}

std::unique_ptr<LettoreIntervalli> Piattaforma::apri_programma() {
  return scenario::apri_programma();
}

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

int avvio(Piattaforma& piattaforma, const Identita& id, std::span<const Emittitore> testi) {
  std::vector<FileNominato> file;
  for (const Emittitore& e : testi) file.push_back({e.nome_file(id), e.contenuto()});
  return avvio(piattaforma, id, file);
}

int avvio(Piattaforma& piattaforma, const Identita& id, std::span<const FileNominato> testi) {
  try {
    piattaforma.mostra_attesa();
    const std::filesystem::path cartella = piattaforma.cartella_programma();
    for (const FileNominato& t : testi) scrivi_file(cartella / t.nome, t.bytes);
    ArchivioCartella archivio(cartella);
    Compilazione c = memorizza_percorso(archivio, id, 1);
    const StatoUscita stato = stato_uscita(c);
    if (stato == uscita_errore_timbri) {
      piattaforma.messaggio_errore(testo_errore(numero(c.errore_timbri)));
      return stato;
    }
    const RecordErrore errore = c.errore;
    if (c.da_scrivere()) scrivi_binari(cartella, id, std::move(c));
    if (stato == uscita_errore_dati) std::cerr << riga_errore(errore) << std::endl;
    return stato;
  } catch (const std::exception& e) {
    piattaforma.messaggio_guasto(e.what());
    return uscita_guasto;
  }
}

}  // namespace scenario

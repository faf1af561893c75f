// scenario unpack: the five texts a packed installer carries, taken out of
// it byte for byte, after the checks the installer itself makes of them.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "installer/nomi_corsa.h"
#include "pack/carico.h"
#include "platform/blocco_cartella.h"
#include "platform/programma.h"
#include "platform/scrittura.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

// The payload after the installer's own checks; a damaged one is refused
// in the installer's words.
Carico carico_di(const std::filesystem::path& installatore) {
  richiedi_file(installatore, "un installatore");
  const std::unique_ptr<LettoreIntervalli> file = apri_file(installatore);
  try {
    return carico_installatore(*file);
  } catch (const CaricoDanneggiato& e) {
    throw ErroreComando(uscita_errore_dati, std::string(kInstallatoreDanneggiato).append(e.what()));
  }
}

int esegui(const Richiesta& a) {
  const std::filesystem::path installatore = a.posizionali.at(0);
  const std::optional<std::string> o = a.valore("--output");
  if (o && o->empty()) errore_uso("--output vuole una cartella, non un nome vuoto");
  const std::filesystem::path dir = o.value_or(".");
  const Carico c = carico_di(installatore);
  if (a.ha("--list")) {
    std::cout << "linea=" << c.id.linea << " treno=" << c.id.treno << "\n";
    for (const FileNominato& f : c.file) std::cout << f.bytes.size() << " " << f.nome << "\n";
    return uscita_ok;
  }
  // The payload's names are checked plain names already; one that is not
  // would leave DIR, and is never written.
  for (const FileNominato& f : c.file) {
    if (!nome_file_semplice(f.nome) || std::filesystem::path(f.nome).filename() != f.nome) {
      throw ErroreComando(
          uscita_errore_dati,
          std::string(kInstallatoreDanneggiato).append("nome non semplice: ").append(f.nome));
    }
  }
  verifica_cartella(dir);
  // Held to the end: no other run writes in the folder meanwhile. The
  // installer itself is read, never replaced.
  const size_t scritti[] = {posto_sorgente_linea, posto_sorgente_treno, posto_note,
                            posto_rallentamenti, posto_scheda};
  NomiCorsa nomi = corsa_dello_scenario(dir, c.id, scritti, {});
  nomi.sorgenti.push_back({installatore, "l'installatore"});
  const Corsa corsa(dir, nomi);
  std::vector<std::filesystem::path> testi;
  for (const FileNominato& f : c.file) testi.push_back(dir / f.nome);
  rifiuta_presenti(a, testi);
  InsiemeFile insieme;
  for (const FileNominato& f : c.file) insieme.aggiungi(dir / f.nome, f.bytes);
  insieme.sostituisci();
  return uscita_ok;
}

}  // namespace

Sottocomando comando_unpack() {
  return {
      .nome = "unpack",
      .sinossi = "INSTALLATORE",
      .descrizione =
          "Estrae in DIR i cinque testi portati da un installatore (i due sorgenti e\n"
          "i tre documenti), byte per byte come sono stati impacchettati, dopo gli\n"
          "stessi controlli che fa l'installatore. Vale per gli installatori Linux\n"
          "e Windows. Con --list ne dice l'identita', i nomi e le dimensioni.\n"
          "Non sostituisce un testo che esiste gia', se non con --force.\n"
          "Stato d'uscita: 0 testi scritti, 1 installatore danneggiato o testo che\n"
          "esiste gia' (nessun file scritto), 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {{"--output", "-o", "DIR",
                   "la cartella dei testi (quella corrente se non indicata)"},
                  {"--list", "", "", "elenca i testi senza scriverli"},
                  {"--force", "", "", "sostituisce i testi che esistono gia'"}},
      .min_posizionali = 1,
      .max_posizionali = 1,
      .esegui = esegui,
  };
}

}  // namespace scenario

// scenario compile: the installer's compile on an author's own sources,
// which stay in place.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/avvio.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"
#include "compiler/controllo.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/diagnostiche.h"

namespace scenario {
namespace {

// The recorded fault as the check reports it: the same code at the same
// place, with its meaning and what it is about. When the check has no such
// line, what the compile knows.
std::string riga_del_guasto(const Compilazione& c, Codice codice,
                            const std::vector<Diagnostica>& dd, const std::string& prefisso) {
  const bool timbri = codice == Codice::timbro_presente || codice == Codice::identita_presente;
  const std::optional<Luogo>& l = c.luogo_errore;
  const Diagnostica* trovata = nullptr;
  for (const Diagnostica& d : dd) {
    if (!d.errore() || d.codice != numero(codice)) continue;
    if (trovata == nullptr) trovata = &d;
    const bool stesso_posto = l && l->riga > 0 && d.file == prefisso + l->file && d.riga == l->riga;
    const bool stessa_posizione = d.posizione && *d.posizione == c.errore.posizione_errore;
    if (stesso_posto || (!timbri && stessa_posizione)) {
      trovata = &d;
      break;
    }
  }
  if (trovata != nullptr) return riga_diagnostica(*trovata);
  Diagnostica d;
  d.codice = numero(codice);
  if (l && !l->file.empty()) {
    d.file = prefisso + l->file;
    d.riga = l->riga;
    d.colonna = l->riga > 0 ? l->colonna : 0;
  }
  d.messaggio = std::string(significato_errore(d.codice));
  if (!timbri && !c.motivo_guasto.empty()) d.messaggio += ": " + c.motivo_guasto;
  if (!timbri && codice_di(c.errore.numero_errore) && c.errore.posizione_errore != 0) {
    d.posizione = c.errore.posizione_errore;
  }
  return riga_diagnostica(d);
}

// After a fault: what it is and where, read again by the check.
void spiega(const Compilazione& c, const std::filesystem::path& dir, const Identita& id,
            const std::string& prefisso) {
  OpzioniControllo opzioni;
  opzioni.cartella = prefisso;
  opzioni.spenti.set();
  const std::vector<Diagnostica> dd = controlla(copie_sorgenti(dir, id), id, opzioni);
  if (c.errore.numero_errore != 0) {
    std::cout << riga_del_guasto(c, static_cast<Codice>(c.errore.numero_errore), dd, prefisso)
              << "\n";
  }
  if (c.errore_timbri != Codice::nessuno) {
    std::cout << riga_del_guasto(c, c.errore_timbri, dd, prefisso) << "\n";
  }
}

int esegui(const Argomenti& a) {
  const std::optional<Identita> id = leggi_identita(a);
  if (!id) return errore_uso(kIdentitaNonValida);
  const std::filesystem::path dir = cartella(a);
  // The places in the lines after the first name the files as opened.
  const std::string prefisso = a.ha(kOpzioneDir.nome) ? (dir / "").string() : "";
  try {
    ArchivioMemoria copie = copie_sorgenti(dir, *id);
    Compilazione c = memorizza_percorso(copie, *id, a.ha("--no-plan") ? 0 : 1);
    std::cout << "numero_errore=" << c.errore.numero_errore
              << " posizione_errore=" << c.errore.posizione_errore << "\n";
    const StatoUscita stato = stato_uscita(c);
    const bool guasto = stato != uscita_ok;
    if (guasto) spiega(c, dir, *id, prefisso);
    std::cout.flush();
    if (stato == uscita_errore_timbri) {
      std::cerr << testo_errore(numero(c.errore_timbri)) << std::endl;
      std::cout << "nessun file scritto" << std::endl;
      return stato;
    }
    // Which binaries this run writes: an older file of the same name is
    // never taken for the new one.
    std::vector<std::string> scritti;
    if (c.da_scrivere()) {
      if (c.j != 0 && c.modello.planimetria) scritti.push_back(prefisso + nome_planimetria(*id));
      scritti.push_back(prefisso + nome_testata(*id));
      scritti.push_back(prefisso + nome_celle(*id));
      scrivi_binari(dir, *id, std::move(c));
    }
    if (guasto) {
      std::string riga = scritti.empty() ? "nessun file scritto" : "file scritti:";
      for (const std::string& f : scritti) riga += " " + f;
      std::cout << riga << std::endl;
    }
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
          "Dopo un errore, le righe seguenti dicono dove e perche' (come 'scenario check')\n"
          "e quali file sono stati scritti, o 'nessun file scritto'.\n"
          "Stato d'uscita: 0 nessun errore, 1 errore nei dati, 2 errore 1250/1251\n"
          "(nessun file scritto), 3 errore del sistema, 64 uso errato.\n",
      .opzioni = {kOpzioneDir, {"--no-plan", "", "", "non costruire ne' scrivere LINEA_linea.dat"}},
      .min_posizionali = 2,
      .max_posizionali = 2,
      .esegui = esegui,
  };
}

}  // namespace scenario

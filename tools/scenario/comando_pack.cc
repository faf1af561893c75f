// scenario pack: an installer for an author's own scenario, made without a
// compiler: the stub shipped beside this tool, with the scenario's identity
// and five texts appended to it (pack/carico.h).
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "compiler/archivio.h"
#include "installer/avvio.h"
#include "installer/corsa.h"
#include "installer/marca_stub.h"
#include "installer/nomi_corsa.h"
#include "pack/carico.h"
#include "pack/eseguibile.h"
#include "platform/programma.h"
#include "platform/scrittura.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/diagnostiche.h"
#include "tools/scenario/opzioni_avvisi.h"

namespace scenario {
namespace {

#ifdef _WIN32
constexpr char kNomeStub[] = "scenario-stub.exe";
#else
constexpr char kNomeStub[] = "scenario-stub";
#endif

// The gate every scenario passes before it is packed: the check of
// `scenario check`. Its diagnostics are shown, warnings too, before
// anything is written; when one of them is an error (or a warning that
// -Werror makes one) the scenario is refused.
void accetta_sorgenti(const Identita& id, const std::vector<FileNominato>& testi,
                      const OpzioniControllo& opzioni) {
  ArchivioMemoria copie;
  for (const FileNominato& t : testi) {
    if (t.nome == nome_sorgente_linea(id) || t.nome == nome_sorgente_treno(id)) {
      copie.metti(t.nome, t.bytes);
    }
  }
  const std::vector<Diagnostica> dd = controlla(copie, id, opzioni);
  if (!dd.empty()) std::cout << testo_diagnostiche(dd);
  if (!con_errori(dd)) return;
  throw ErroreComando(uscita_errore_dati, "i sorgenti hanno errori, nessun installatore scritto");
}

std::string leggi_tutto(LettoreIntervalli& file) {
  std::string bytes(static_cast<size_t>(file.dimensione()), '\0');
  file.leggi(0, bytes);
  return bytes;
}

// The stub's bytes. A file that is not this project's stub whole with
// nothing appended (a packed installer is no stub) is a bad command line,
// with the reason.
std::string leggi_stub(const std::filesystem::path& percorso) {
  richiedi_file(percorso, "un programma");
  const std::unique_ptr<LettoreIntervalli> file = apri_file(percorso);
  const std::optional<uint64_t> fine = fine_immagine(*file);
  if (!fine) errore_uso(percorso.string() + " non e' un programma (ne' ELF ne' PE)");
  if (*fine > file->dimensione()) {
    errore_uso(percorso.string() + " e' troncato: il programma finisce a " + std::to_string(*fine) +
               " byte, il file ne ha " + std::to_string(file->dimensione()));
  }
  if (*fine < file->dimensione()) {
    errore_uso(percorso.string() + " non e' uno stub: ha dati dopo il programma");
  }
  std::string bytes = leggi_tutto(*file);
  if (std::string_view(bytes).find(marca_stub()) == std::string_view::npos) {
    errore_uso(percorso.string() + " non e' uno stub di questo progetto (non ne porta il segno)");
  }
  return bytes;
}

bool programma_windows(const std::string& bytes) {
  LettoreMemoria l(bytes);
  return tipo_eseguibile(l) == TipoEseguibile::pe;
}

int esegui(const Richiesta& a) {
  OpzioniControllo opzioni;
  leggi_opzioni_avvisi(a, &opzioni);
  const std::filesystem::path& dir = a.dir;
  const Identita& id = a.id;
  std::vector<FileNominato> testi;
  for (const std::string& nome : nomi_testi(id)) {
    std::optional<std::string> bytes = leggi_se_esiste(dir, nome);
    // A missing source is the check's to report.
    if (!bytes && nome != nome_sorgente_linea(id) && nome != nome_sorgente_treno(id)) {
      throw ErroreComando(uscita_errore_dati, "manca " + (dir / nome).string());
    }
    if (bytes) testi.push_back({nome, std::move(*bytes)});
  }
  opzioni.cartella = a.prefisso_nomi;
  accetta_sorgenti(id, testi, opzioni);

  const std::optional<std::string> scelto = a.valore("--stub");
  const std::filesystem::path stub =
      scelto ? std::filesystem::path(*scelto) : percorso_programma().parent_path() / kNomeStub;
  std::string installatore = leggi_stub(stub);
  const bool windows = programma_windows(installatore);
  installatore += codifica_carico(id, testi);

  // What the installer will find: read back before anything is written.
  LettoreMemoria rilettura(installatore);
  carico_installatore(rilettura);

  std::filesystem::path uscita = dir / (id.linea + "_" + id.treno + (windows ? ".exe" : ""));
  if (auto o = a.valore("--output")) uscita = *o;

  // The installer's own run, in a folder of the player's, told apart as
  // Windows tells names apart: its eight files and itself, under the name
  // given here.
  const std::vector<FileCorsa> dello_scenario = file_installatore(dir, id);
  NomiCorsa futura;
  futura.uscite = dello_scenario;
  futura.uscite.push_back({dir / uscita.filename(), std::string(a.comando->uscita)});
  futura.confronto = ConfrontoNomi::senza_maiuscole;
  controlla_nomi_corsa(futura);
  // This run: the installer against the sources it is made of.
  NomiCorsa questa;
  questa.sorgenti.assign(dello_scenario.begin(), dello_scenario.begin() + kTestiInstallatore);
  questa.sorgenti.push_back({stub, "lo stub"});
  questa.programma = programma_in_corsa();
  const Corsa corsa = corsa_di_uscita(a, questa, uscita);
  InsiemeFile scrittura;
  scrittura.aggiungi(uscita, installatore, true);
  // Said before the installer takes its name: standard output that cannot
  // be written ends the run with nothing replaced; the command table says
  // why.
  std::cout << "installatore scritto: " << uscita.string() << "\n";
  if (!std::cout.flush()) return uscita_guasto;
  scrittura.sostituisci();
  return uscita_ok;
}

std::vector<Opzione> opzioni_pack() {
  std::vector<Opzione> oo = {
      {"--output", "-o", "OUT", "il file dell'installatore da scrivere"},
      {"--stub", "", "STUB",
       "lo stub su cui impacchettare (quello accanto a scenario se non indicato)"}};
  for (const Opzione& o : opzioni_avvisi()) oo.push_back(o);
  return oo;
}

}  // namespace

Sottocomando comando_pack() {
  return {
      .nome = "pack",
      .descrizione =
          "Crea l'installatore di uno scenario senza compilatore: lo stub con i cinque\n"
          "testi di DIR aggiunti in fondo (LINEA_linea.txt, LINEA_TRENO-.txt,\n"
          "LINEA_TRENO_scheda_treno.txt, LINEA_TRENO_rallentamenti.txt,\n"
          "LINEA_TRENO_note.txt). Avviato nella cartella del gioco, l'installatore\n"
          "scrive i cinque testi, compila i due sorgenti e lascia i sei file.\n"
          "Gli avvisi e gli errori del controllo sono mostrati prima di scrivere; i\n"
          "sorgenti con errori sono rifiutati (con -Werror anche quelli con avvisi).\n"
          "L'installatore si chiama DIR/LINEA_TRENO, con .exe se lo stub e' un\n"
          "programma Windows. Lo stub deve essere quello di questo progetto, e nessun\n"
          "nome dell'installatore puo' coincidere con un altro (ne' con un sorgente).\n"
          "Stato d'uscita: 0 scritto, 1 sorgenti con errori o testo mancante,\n"
          "3 errore del sistema, 64 uso errato.\n",
      .opzioni = opzioni_pack(),
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      .uscita = "l'installatore",
      .esegui = esegui,
  };
}

}  // namespace scenario

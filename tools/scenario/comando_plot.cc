// scenario plot: a picture of a compiled scenario, as one SVG file.
#include <cctype>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "format/lettori.h"
#include "installer/avvio.h"
#include "installer/corsa.h"
#include "platform/scrittura.h"
#include "tools/scenario/coerenza.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/file_binari.h"
#include "views/disegno.h"

namespace scenario {
namespace {

int esegui(const Richiesta& a) {
  const std::filesystem::path uscita =
      a.valore("--output").value_or((a.dir / (a.id.linea + "_" + a.id.treno + ".svg")).string());
  // Held to the end in the picture's folder: no other run takes its
  // temporary file for one a killed run left.
  const Corsa corsa = corsa_di_uscita(a, a.nomi, uscita);
  // What is written is SVG: a name that says otherwise would mislead
  // whatever opens it.
  std::string estensione = uscita.extension().string();
  for (char& ch : estensione) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (estensione != ".svg") {
    errore_uso("--output vuole un nome che finisce con .svg (il disegno e' SVG): " +
               uscita.string());
  }
  std::filesystem::path letto;
  try {
    // Named as the author wrote them: DIR/ only when --dir was given.
    const std::filesystem::path testata = a.prefisso_nomi + nome_testata(a.id);
    letto = testata;
    const Testata t = leggi_testata(leggi_compilato(letto, TipoFile::testata));
    const std::filesystem::path celle = a.prefisso_nomi + nome_celle(a.id);
    letto = celle;
    const std::vector<Cella> c = leggi_celle(leggi_compilato(letto, TipoFile::celle));
    richiedi_accordo(testata, celle, celle_discordi(t, c));
    std::vector<std::filesystem::path> compilati = {testata, celle};

    // Without a plan file (compiled with --no-plan), no ground plan.
    // The plan is checked whole, then read again as the drawing needs it:
    // never held whole.
    letto = a.prefisso_nomi + nome_planimetria(a.id);
    const std::unique_ptr<LettoreIntervalli> piano = apri_binario(letto, TipoFile::planimetria);
    std::optional<IndicePiano> indice;
    if (piano) {
      indice = indice_planimetria(*piano);
      richiedi_accordo(testata, letto, piano_discorde(t, indice->punti));
      compilati.push_back(letto);
    }
    avvisa_sorgenti_piu_recenti(prefisso_di(a.comando), a.prefisso_nomi, t, compilati);

    scrivi_file(uscita, piano ? disegna_scenario(t, c, *piano, *indice)
                              : disegna_scenario(t, c, nullptr));
    std::cout << "scritto " << uscita.string() << "\n";
    return uscita_ok;
  } catch (const ErroreLettura& e) {
    throw ErroreComando(uscita_errore_dati, letto.string() + ": " + e.what());
  } catch (const std::bad_alloc&) {
    memoria_esaurita(letto, "leggere");
  }
}

}  // namespace

Sottocomando comando_plot() {
  return {
      .nome = "plot",
      .descrizione =
          "Disegna lo scenario compilato in DIR (LINEA_TRENO.sim, LINEA_TRENO.dat e, se\n"
          "c'e', LINEA_linea.dat) in un file SVG: la planimetria con i chilometri e le\n"
          "stazioni e, sotto, lungo la progressiva: zone delle stazioni, velocita'\n"
          "limite, altimetria, pendenza, aderenza, strutture, segnali, rallentamenti,\n"
          "indicatori, punti codice e cartelli. Passando sopra un segno in un browser\n"
          "se ne legge il contenuto. Senza il file della linea, niente planimetria.\n"
          "Stato d'uscita: 0 scritto, 1 file assente o non valido, 3 errore del sistema,\n"
          "64 uso errato.\n",
      .opzioni = {{"--output", "-o", "FILE.svg",
                   "il file da scrivere (se non indicato: DIR/LINEA_TRENO.svg)"}},
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      .file = {.letti = {posto_planimetria, posto_celle, posto_testata}},
      .uscita = "il disegno",
      .esegui = esegui,
  };
}

}  // namespace scenario

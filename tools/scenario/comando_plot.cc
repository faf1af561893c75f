// scenario plot: a picture of a compiled scenario, as one SVG file.
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "platform/scrittura.h"
#include "views/disegno.h"
#include "format/lettori.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/file_binari.h"

namespace scenario {
namespace {

// A file the picture cannot do without.
class FileMancante : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string necessario(const std::filesystem::path& p, TipoFile tipo) {
  std::optional<std::string> b = leggi_file(p, tipo);
  if (!b) throw FileMancante("il file non esiste: compila prima lo scenario");
  return std::move(*b);
}

int esegui(const Argomenti& a) {
  const std::optional<Identita> id = leggi_identita(a);
  if (!id) return errore_uso(kIdentitaNonValida);
  if (const int rifiuto = rifiuta_cartella(a); rifiuto != 0) return rifiuto;
  const std::filesystem::path dir = cartella(a);
  const std::filesystem::path uscita =
      a.valore("--output").value_or((dir / (id->linea + "_" + id->treno + ".svg")).string());
  std::filesystem::path letto;
  try {
    // Held to the end in the picture's folder: no other run takes its
    // temporary file for one a killed run left.
    std::optional<Corsa> corsa;
    if (const int rifiuto = corsa_di_uscita(
            &corsa,
            corsa_dello_scenario(dir, *id, {}, {posto_planimetria, posto_celle, posto_testata}),
            uscita, "il disegno");
        rifiuto != 0) {
      return rifiuto;
    }
    letto = dir / nome_testata(*id);
    const Testata t = leggi_testata(necessario(letto, TipoFile::testata));
    letto = dir / nome_celle(*id);
    const std::vector<Cella> c = leggi_celle(necessario(letto, TipoFile::celle));

    // Without a plan file (compiled with --no-plan), no ground plan.
    letto = dir / nome_planimetria(*id);
    std::optional<PianoLetto> piano;
    if (const std::optional<std::string> p = leggi_file(letto, TipoFile::planimetria))
      piano = leggi_planimetria(*p);

    scrivi_file(uscita, disegna_scenario(t, c, piano ? &*piano : nullptr));
    return uscita_ok;
  } catch (const ErroreLettura& e) {
    std::cerr << "scenario: " << letto.string() << ": " << e.what() << std::endl;
    return uscita_errore_dati;
  } catch (const FileMancante& e) {
    std::cerr << "scenario: " << letto.string() << ": " << e.what() << std::endl;
    return uscita_errore_dati;
  } catch (const std::bad_alloc&) {
    std::cerr << "scenario: " << GuastoPiattaforma(letto, "memoria esaurita", "leggere").what()
              << std::endl;
    return uscita_guasto;
  } catch (const std::exception& e) {
    std::cerr << "scenario: " << e.what() << std::endl;
    return uscita_guasto;
  }
}

}  // namespace

Sottocomando comando_plot() {
  return {
      .nome = "plot",
      .sinossi = "LINEA TRENO",
      .descrizione =
          "Disegna lo scenario compilato in DIR (LINEA_TRENO.sim, LINEA_TRENO.dat e, se\n"
          "c'e', LINEA_linea.dat) in un file SVG: la planimetria con i chilometri e le\n"
          "stazioni e, sotto, lungo la progressiva: zone delle stazioni, velocita'\n"
          "limite, altimetria, pendenza, aderenza, strutture, segnali, rallentamenti,\n"
          "indicatori, punti codice e cartelli. Passando sopra un segno in un browser\n"
          "se ne legge il contenuto. Senza il file della linea, niente planimetria.\n"
          "Stato d'uscita: 0 scritto, 1 file assente o non valido, 3 errore del sistema,\n"
          "64 uso errato.\n",
      .opzioni = {kOpzioneDir,
                  {"--output", "-o", "FILE.svg",
                   "il file da scrivere (se non indicato: DIR/LINEA_TRENO.svg)"}},
      .min_posizionali = 2,
      .max_posizionali = 2,
      .esegui = esegui,
  };
}

}  // namespace scenario

// scenario inspect: any of the three compiled files, decoded.
#include <charconv>
#include <iostream>
#include <optional>
#include <string>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "views/ispezione.h"
#include "tools/scenario/comandi.h"
#include "tools/scenario/file_binari.h"

namespace scenario {
namespace {

std::string_view descrizione_tipo(TipoFile t) {
  switch (t) {
    case TipoFile::planimetria: return "planimetria della linea";
    case TipoFile::testata: return "testata";
    case TipoFile::celle: return "file di celle";
  }
  return "";
}

// A row number of --from or --to: decimal digits only.
std::optional<size_t> numero_riga(const std::string& s) {
  size_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
  return v;
}

int esegui(const Richiesta& a) {
  Righe righe;
  const std::pair<const char*, size_t*> limiti[] = {{"--from", &righe.da}, {"--to", &righe.a}};
  for (const auto& [opzione, posto] : limiti) {
    if (const auto v = a.valore(opzione)) {
      const auto n = numero_riga(*v);
      if (!n) errore_uso(std::string(opzione) + " vuole un numero di riga da 0 in su: " + *v);
      *posto = *n;
    }
  }
  if (righe.da > righe.a) errore_uso("--from viene dopo --to");

  const std::string& nome = a.posizionali.at(0);
  const std::optional<TipoFile> tipo = tipo_da_nome(nome);
  if (!tipo) {
    throw ErroreComando(
        uscita_errore_dati,
        nome + ": il nome non finisce con _linea.dat, .sim o .dat: non e' un file compilato");
  }
  std::optional<std::string> bytes;
  try {
    bytes = leggi_file(nome, *tipo);
    if (!bytes) throw ErroreComando(uscita_errore_dati, nome + ": il file non esiste");
    const std::string uscita =
        ispeziona(*tipo, *bytes, a.ha("--json") ? Formato::json : Formato::testo, righe);
    std::cout.write(uscita.data(), static_cast<std::streamsize>(uscita.size()));
    return uscita_ok;
  } catch (const ErroreLettura& e) {
    std::string motivo = nome + " (" + std::string(descrizione_tipo(*tipo)) + "): " + e.what();
    // A file saved under another kind's name says so.
    if (const auto altro = bytes ? tipo_dal_contenuto(*bytes) : std::nullopt) {
      motivo += " (il contenuto e' quello di: " + std::string(descrizione_tipo(*altro)) + ")";
    }
    throw ErroreComando(uscita_errore_dati, motivo);
  } catch (const std::bad_alloc&) {
    memoria_esaurita(nome, "leggere");
  }
}

}  // namespace

Sottocomando comando_inspect() {
  return {
      .nome = "inspect",
      .sinossi = "FILE",
      .descrizione =
          "Mostra il contenuto di un file compilato: la planimetria (LINEA_linea.dat, un\n"
          "punto per riga: punto, x0, x1), la testata (LINEA_TRENO.sim, una voce per riga)\n"
          "o il file di celle (LINEA_TRENO.dat, una cella per riga, con la progressiva in\n"
          "metri). Il tipo viene dal nome del file e il contenuto lo conferma.\n"
          "Colonne allineate, una riga per voce, cella o punto; con --json un documento\n"
          "JSON. Un file troncato, con un'etichetta errata o di lunghezza sbagliata e'\n"
          "segnalato con l'offset del byte e cio' che vi era atteso.\n"
          "Stato d'uscita: 0 mostrato, 1 file assente o non valido, 3 errore del sistema,\n"
          "64 uso errato.\n",
      .opzioni = {{"--json", "", "", "un documento JSON invece delle colonne"},
                  {"--from", "", "N", "dalla riga N (voce, cella o punto; 0 se non indicata)"},
                  {"--to", "", "M", "fino alla riga M compresa (l'ultima se non indicata)"}},
      .min_posizionali = 1,
      .max_posizionali = 1,
      .esegui = esegui,
  };
}

}  // namespace scenario

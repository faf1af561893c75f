// scenario inspect: any of the three compiled files, decoded.
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "installer/avvio.h"
#include "installer/corsa.h"
#include "views/ispezione.h"
#include "tools/scenario/coerenza.h"
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

// The header file that goes with a cell file or a line plan: the one
// given, else for a cell file the one beside it (same name, ".sim"); none
// for a header file or when there is none to read.
std::optional<std::filesystem::path> testata_accanto(const Richiesta& a, const std::string& nome,
                                                      TipoFile tipo) {
  if (tipo == TipoFile::testata) return std::nullopt;
  if (const auto t = a.valore("--testata")) return std::filesystem::path(*t);
  if (tipo != TipoFile::celle) return std::nullopt;
  std::filesystem::path p(nome);
  p.replace_extension(".sim");
  std::error_code ec;
  if (!std::filesystem::exists(p, ec)) return std::nullopt;
  return p;
}

// A cell file or a line plan shown with its header: the two must belong to
// one compile (exit 1 naming both when not), and sources changed since are
// said. The header, for the view to name stations and boards.
std::optional<Testata> accordo_con_testata(const Richiesta& a, const std::string& nome,
                                           TipoFile tipo, LettoreIntervalli& file) {
  const std::optional<std::filesystem::path> percorso = testata_accanto(a, nome, tipo);
  if (!percorso) return std::nullopt;
  Testata t;
  try {
    const std::optional<std::string> b = leggi_file(*percorso, TipoFile::testata);
    if (!b) {
      throw ErroreComando(uscita_errore_dati,
                          percorso->string() + ": il file non esiste");
    }
    t = leggi_testata(*b);
  } catch (const ErroreLettura& e) {
    throw ErroreComando(uscita_errore_dati,
                        percorso->string() + " (testata): " + e.what());
  }
  // The content decides, as for the view: a line plan's name may carry cells.
  std::optional<size_t> punti;
  if (tipo == TipoFile::planimetria) {
    try {
      punti = indice_planimetria(file).punti;
    } catch (const ErroreLettura&) {
    }
  }
  richiedi_accordo(*percorso, nome,
                   punti ? piano_discorde(t, *punti) : celle_discordi(t, leggi_celle_file(file)));
  const std::filesystem::path cartella = percorso->parent_path();
  avvisa_sorgenti_piu_recenti(prefisso_di(a.comando), cartella.empty() ? "" : (cartella / "").string(), t,
                              {*percorso, std::filesystem::path(nome)});
  return t;
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
  std::unique_ptr<LettoreIntervalli> file;
  try {
    file = apri_binario(nome, *tipo);
    if (!file) throw ErroreComando(uscita_errore_dati, nome + ": il file non esiste");
    const std::optional<Testata> t = accordo_con_testata(a, nome, *tipo, *file);
    // Written as it is made: a plan's text is larger than the plan.
    ispeziona(*tipo, *file, a.ha("--json") ? Formato::json : Formato::testo, righe,
              t ? &*t : nullptr, [](std::string_view pezzo) {
                std::cout.write(pezzo.data(), static_cast<std::streamsize>(pezzo.size()));
              });
    return uscita_ok;
  } catch (const OltreLaFine& e) {
    throw ErroreComando(uscita_errore_dati,
                        nome + ": --from " + std::to_string(righe.da) + ": " + e.what());
  } catch (const ErroreLettura& e) {
    std::string motivo = nome + " (" + std::string(descrizione_tipo(*tipo)) + "): " + e.what();
    // A file saved under another kind's name says so.
    if (const auto altro = file ? tipo_dal_contenuto(*file) : std::nullopt) {
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
          "Ogni riga dice anche cosa contiene, con i valori nelle unita' dell'autore\n"
          "(nome=valore: metri, km/h, per mille, hh:mm:ss) e ogni segno alla posizione\n"
          "che l'autore ha scritto per esso (scritto_a; la cella e' quella di\n"
          "posizione / 50 + 1, arrotondata); con la testata, i nomi delle stazioni e i\n"
          "testi dei cartelli. Nel JSON: \"significato\" e \"valori\" dopo i campi.\n"
          "Una riga --from oltre l'ultima e' un errore che dice quanto e' lungo il file.\n"
          "Colonne allineate, una riga per voce, cella o punto; con --json un documento\n"
          "JSON. Un file troncato, con un'etichetta errata o di lunghezza sbagliata e'\n"
          "segnalato con l'offset del byte e cio' che vi era atteso.\n"
          "Un file di celle o una planimetria mostrati con la loro testata (--testata, o\n"
          "per le celle quella accanto) devono venire dalla stessa compilazione: celle e\n"
          "punti quanti ne vuole la linea della testata, lo stesso codice d'identita'.\n"
          "Stato d'uscita: 0 mostrato, 1 file assente o non valido, 3 errore del sistema,\n"
          "64 uso errato.\n",
      .opzioni = {{"--json", "", "", "un documento JSON invece delle colonne"},
                  {"--from", "", "N", "dalla riga N (voce, cella o punto; 0 se non indicata)"},
                  {"--to", "", "M", "fino alla riga M compresa (l'ultima se non indicata)"},
                  {"--testata", "", "FILE.sim",
                   "la testata dello scenario (per un file di celle: quella accanto, se c'e')"}},
      .min_posizionali = 1,
      .max_posizionali = 1,
      .esegui = esegui,
  };
}

}  // namespace scenario

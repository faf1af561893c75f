// scenario: the author tool. Compiles an author's own sources exactly as the
// installer does, and writes out the carried texts.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/avvio.h"
#include "app/scrittura.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"

namespace scenario {
namespace {

constexpr const char kAiuto[] =
    "Uso:\n"
    "  scenario compile LINEA TRENO [--dir DIR] [--no-plan]\n"
    "      Compila DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt come fa l'installatore,\n"
    "      lasciando i due sorgenti al loro posto, e scrive in DIR LINEA_linea.dat\n"
    "      (non con --no-plan), LINEA_TRENO.sim e LINEA_TRENO.dat.\n"
    "      La prima riga stampata e' sempre: numero_errore=N posizione_errore=P\n"
    "      Stato d'uscita: 0 nessun errore, 1 errore nei dati, 2 errore 1250/1251\n"
    "      (nessun file scritto), 3 errore del sistema, 64 uso errato.\n"
    "  scenario emit [--dir DIR]\n"
    "      Scrive in DIR i cinque testi portati dall'installatore, senza compilare.\n"
    "  scenario --help\n"
    "      Mostra questo aiuto.\n"
    "DIR e' la cartella corrente se non indicata.\n";

int uso(const std::string& motivo) {
  std::cerr << "scenario: " << motivo << "\n\n" << kAiuto;
  return uscita_uso;
}

// An identity names files inside DIR and nothing else.
bool identita_valida(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

struct Opzioni {
  std::vector<std::string> posizionali;
  std::filesystem::path cartella = ".";
  bool senza_piano = false;
};

// Parses the options after the command; false with a message on error.
bool leggi_opzioni(const std::vector<std::string>& argomenti, bool ammette_no_plan, Opzioni* o,
                   std::string* motivo) {
  for (size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    if (a == "--dir") {
      if (i + 1 >= argomenti.size()) {
        *motivo = "--dir vuole una cartella";
        return false;
      }
      o->cartella = argomenti[++i];
    } else if (a.rfind("--dir=", 0) == 0) {
      o->cartella = a.substr(6);
    } else if (a == "--no-plan" && ammette_no_plan) {
      o->senza_piano = true;
    } else if (a.rfind("--", 0) == 0) {
      *motivo = "opzione sconosciuta: " + a;
      return false;
    } else {
      o->posizionali.push_back(a);
    }
  }
  return true;
}

// Copies one source into memory. A missing source is left for the compiler
// to report; one that is there but cannot be read is a platform failure.
void copia_sorgente(const std::filesystem::path& cartella, const std::string& nome,
                    ArchivioMemoria* copie) {
  const std::filesystem::path percorso = cartella / nome;
  std::error_code ec;
  const auto stato = std::filesystem::status(percorso, ec);
  if (!std::filesystem::exists(stato)) return;
  if (!std::filesystem::is_regular_file(stato)) {
    throw GuastoPiattaforma(percorso, "non e' un file leggibile");
  }
  std::ifstream in(percorso, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) throw GuastoPiattaforma(percorso, std::strerror(errno));
  copie->metti(nome, std::move(bytes));
}

int comando_compile(const std::vector<std::string>& argomenti) {
  Opzioni o;
  std::string motivo;
  if (!leggi_opzioni(argomenti, true, &o, &motivo)) return uso(motivo);
  if (o.posizionali.size() != 2) return uso("compile vuole LINEA e TRENO");
  const Identita id{o.posizionali[0], o.posizionali[1]};
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) {
    return uso("LINEA e TRENO: caratteri ASCII stampabili, senza spazi, '/', '\\' o ':'");
  }
  try {
    ArchivioMemoria copie;
    copia_sorgente(o.cartella, nome_sorgente_linea(id), &copie);
    copia_sorgente(o.cartella, nome_sorgente_treno(id), &copie);
    Compilazione c = memorizza_percorso(copie, id, o.senza_piano ? 0 : 1);
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
    std::cout.flush();
    if (c.errore_timbri != Codice::nessuno) {
      std::cerr << testo_errore(numero(c.errore_timbri)) << std::endl;
      return uscita_errore_timbri;
    }
    const bool errore_dati = c.errore.numero_errore != 0;
    if (c.da_scrivere()) scrivi_binari(o.cartella, id, std::move(c));
    return errore_dati ? uscita_errore_dati : uscita_ok;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << e.what() << std::endl;
    return uscita_guasto;
  }
}

int comando_emit(const std::vector<std::string>& argomenti) {
  Opzioni o;
  std::string motivo;
  if (!leggi_opzioni(argomenti, false, &o, &motivo)) return uso(motivo);
  if (!o.posizionali.empty()) return uso("emit non vuole argomenti oltre a --dir");
  try {
    scrivi_testi(o.cartella, identita_portata(), emittitori());
    return uscita_ok;
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return uscita_guasto;
  }
}

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
  using namespace scenario;
  if (argc < 2) return uso("manca il comando");
  const std::string comando = argv[1];
  const std::vector<std::string> resto(argv + 2, argv + argc);
  if (comando == "--help" || comando == "-h" || comando == "help") {
    std::cout << kAiuto;
    return uscita_ok;
  }
  if (comando == "compile") return comando_compile(resto);
  if (comando == "emit") return comando_emit(resto);
  return uso("comando sconosciuto: " + comando);
}

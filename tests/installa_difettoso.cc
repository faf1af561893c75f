// An installer whose line holds a fault of the data (a gradient beyond the
// end of the line, code 15 at 8901 m): the installer's run, unchanged, with
// these texts in place of the carried ones.
#include <string>

#include "installer/avvio.h"

namespace {

std::string linea() {
  return "[generale]\r\n"
         "lunghezza percorso,    2000\r\n"
         "[pendenze]\r\n"
         "pendenza, 8901, 1\r\n"
         "[fine]\r\n";
}
std::string treno() { return "[generale]\r\n[fine]\r\n"; }
std::string note() { return "Nota\r\n"; }
std::string nome_note(const scenario::Identita& id) {
  return scenario::nome_documento(id, "note.txt");
}

}  // namespace

int main() {
  static const scenario::Emittitore kTesti[] = {
      {"dati_linea", scenario::nome_sorgente_linea, linea},
      {"dati_treno", scenario::nome_sorgente_treno, treno},
      {"dati_note", nome_note, note},
  };
  auto piattaforma = scenario::crea_piattaforma();
  return scenario::avvio(*piattaforma, {"Prova", "7"}, kTesti);
}

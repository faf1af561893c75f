// An installer whose line holds a fault of the data (a board on the cell of
// a speed indicator, code 6 at 600 m): the installer's run, unchanged, with
// these texts in place of the carried ones.
#include <string>

#include "app/avvio.h"

namespace {

std::string linea() {
  return "[generale]\r\n"
         "lunghezza percorso,    1000\r\n"
         "[tracciato]\r\n"
         "indicatori_v,  600,  60, 60, 60, 0,  0, 0, 0, 0\r\n"
         "cartello indicatore,  600, BIVIO\r\n"
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

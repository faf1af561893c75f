// The slow-order form: the two slowdowns of the train file, as the driver
// receives them. The table's lines are 82 characters, so the rules line up.
#include "emit/dati_rallentamenti.h"

#include <iterator>
#include <string_view>

#include "emit/tabella.h"

namespace scenario {

namespace {

// One line per slot, as the file reads; the end marker closes the table.
// clang-format off
constexpr std::string_view kRighe[] = {
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  LANVERO PORTA NORD - OSTREL",
    "",
    "  Si ordina al macchinista del treno 24817 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |   |                            |            |          |         |            |",
    " | 1 |  CASTEL VERDESINO          |     29     |    70    |   2500  |            |",
    " |   |                            |            |          |         |            |",
    " | 2 |  CALDERIO  e  CASTELRUPE   |     63     |    90    |   1150  |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    "",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    "",
    " B - Interessa anche la stazione di  CASTEL VERDESINO",
    "",
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    "",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
    kRiferimentoFine,
};
// clang-format on
static_assert(std::size(kRighe) == 33);

}  // namespace

std::string dati_rallentamenti() { return scrivi_tabella(kRighe); }

}  // namespace scenario

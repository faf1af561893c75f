// The train card: the driver's timetable, boxed in characters for a
// fixed-pitch font. Every line from the column heads to the closing rule is
// 83 characters, so the rules line up.
#include "emit/dati_scheda.h"

#include <iterator>
#include <string_view>

#include "emit/tabella.h"

namespace scenario {

namespace {

// One line per slot, as the file reads; the end marker closes the table.
// clang-format off
constexpr std::string_view kRighe[] = {
    "",
    "",
    "  ___________________                                               ______________",
    " |                   |                    SCHEDA                   |              |",
    " |   TRENO n.24817   |                   da: LANVERO PORTA NORD    |    V160 B    |",
    " |___________________|                    a: OSTREL                |     115%     |",
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |        R          |              |      360T         |",
    " |___________________|              |___________________|",
    "",
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " |     |     |          |     |                            |                |     |",
    " |  30 |  30 |   0.000  |  30 | LANVERO PORTA NORD         |          17.00 |     |",
    " |     |     |          |     |                            |                |     |",
    " | 120 | 115 |          | 120 |      Dev. U. Lanvero P.N.  |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |   1.500  |     | Posto di Blocco P103       |      17.03+    |     |",
    " |     |     |          |     |                            |                |     |",
    " | 110 | 110 |   3.150  | 110 |      Dev. I. Corvaldo      |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |   4.318  |     | CORVALDO ALTESE            | 17.06    17.07 |     |",
    " |     |     |          |     |                            |                |     |",
    " | 160 | 140 |          | 140 |      Cavalcavia Km.5,112   |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |   6.866  |     | Bivio Fontegrada           |      17.09     |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |   8.010  | 145 | FERSANELLO                 |      17.10+    |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  10.440  |     | Posto di Blocco P413       |      17.12+    |     |",
    " |     |     |          |     |                            |                |     |",
    " | 130 | 130 |          | 130 |      Cavalcavia Km.12,648  |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  13.030  |     |                            |                |     |",
    " |     |     |  ------  |     | VESTRAMONE                 | 17.14+   17.15 | 1.5 |",
    " |     |     |   0.230  |     |                            |                |     |",
    " |     |     |          |     |                            |                |     |",
    " | 140 |     |          | 140 |      Cavalcavia Km.2,159   |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |   3.305  |     | Posto di Blocco P203       |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     | 140 |   4.320  |     | Borgata Salvernigo         |      17.18     |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |   7.149  |     | TORRE ALBANTE              |      17.19+    |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  15.499  |     | PRAVESELLA                 | 17.24+   17.25 | 1.0 |",
    " |     |     |          |     |                            |                |     |",
    " |     | 135 |  24.579  |     | LUCERNATO                  | 17.31+   17.32 |     |",
    " |     |     |          |     |                            |                |     |",
    " |     | 125 |  31.628  |     | CASTEL VERDESINO           | 17.37+   17.38 | 0.5 |",
    " |     |     |          |     |                            |                |     |",
    " | 130 |     |          | 130 |      Dev. I. Ornascolle    |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  38.384  |     | ORNASCOLLE                 | 17.44+   17.45 | 1.0 |",
    " |     |     |          |     |                            |                |     |",
    " | 140 | 135 |          | 140 |      Km.39,605             |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  44.941  |     | Posto di Blocco 433        |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     | 130 |  45.030  |     | Zolvia                     |      17.48+    |     |",
    " |     |     |          |     |                            |                |     |",
    " | 105 | 105 |          | 105 |      Dev. I. Varsine       |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |  75 |  75 |  50.541  |  75 | VARSINE                    | 17.53    17.55 | 0.5 |",
    " |     |     |          |     |                            |                |     |",
    " | 135 | 125 |          | 135 |      Cavalcavia Km.51,357  |                |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  57.297  |     | SCALVENZO                  |      18.00+    |     |",
    " |     |     |          |     |                            |                |     |",
    " |     | 135 |  62.482  |     | CALDERIO                   | 18.03+   18.04 | 1.0 |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  66.698  |     | CASTELRUPE SUL VARNO       |      18.06+    |     |",
    " |     |     |          |     |                            |                |     |",
    " |     | 120 |  72.418  |     | Bivio Ponte delle Gorghe   |      18.11+    |     |",
    " |     |     |          |     |                            |                |     |",
    " |  75 |  75 |  73.812  |  75 |   Cavalcavia Borgo Ostrel  |      18.13     |     |",
    " |     |     |          |     |                            |                |     |",
    " |     |     |  75.680  |     | OSTREL                     | 18.16          | 2.0 |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    "",
    kRiferimentoFine,
};
// clang-format on
static_assert(std::size(kRighe) == 85);

}  // namespace

std::string dati_scheda() { return scrivi_tabella(kRighe); }

}  // namespace scenario

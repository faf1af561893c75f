// The train source file as the installer carries it. The compiler reads it
// back and deletes it once compiled.
#include "emit/dati_treno.h"

#include <iterator>
#include <string_view>

#include "emit/tabella.h"

namespace scenario {

namespace {

// One line per slot, as the file reads; the end marker closes the table.
// clang-format off
constexpr std::string_view kRighe[] = {
    "[generale]",
    "numero vetture,    6",
    "percentuale massa frenata,    115",
    "sabbia,    300",
    "orologio,    16              59            30 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "[vel_limite]",
    "velocita,   0,    30",
    "velocita,    1100,   120",
    "velocita,    3000,    60",
    "velocita,    4200,   110",
    "velocita,    5100,   160",
    "velocita,   12650,   130",
    "velocita,   14950,   140",
    "velocita,   50500,   130",
    "velocita,   52400,   140",
    "velocita,   62450,   105",
    "velocita,   63250,    75",
    "velocita,   64150,   135",
    "velocita,   86650,    75",
    "velocita,   87750,    30",
    "velocita,   88500,    95",
    "[stazioni]",
    "stazione,       0,  7,  700,  1, 0, 0,  3,1,0,  2,1,1,    1,  17, 0, 0, LANVERO PORTA NORD",
    "stazione,    4250, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   30,  17, 7, 0, CORVALDO ALTESE",
    "stazione,    8300, 12,  800,  0, 0, 1,  1,1,0,  4,1,1,    0,   0, 0, 0, FERSANELLO",
    "stazione,   12950, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,15, 0, VESTRAMONE",
    "stazione,   17100, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BORGATA SALVERNIGO",
    "stazione,   19950, 22,  800,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, TORRE ALBANTE",
    "stazione,   28350, 12,  600,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,25, 0, PRAVESELLA",
    "stazione,   37400, 12,  300,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,32, 0, LUCERNATO",
    "stazione,   44400, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,38, 0, CASTEL VERDESINO",
    "stazione,   51200, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,   30,  17,45, 0, ORNASCOLLE",
    "stazione,   57850, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ZOLVIA",
    "stazione,   60600, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, EX FERMATA ROCCALIVA",
    "stazione,   63300, 12,  500,  1, 0, 0,  4,1,1,  2,1,1,   30,  17,55, 0, VARSINE",
    "stazione,   70150, 22,  500,  0, 0, 1,  0,0,0,  4,1,1,  210,   0, 0, 0, SCALVENZO",
    "stazione,   75350, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  18, 4, 0, CALDERIO",
    "stazione,   79500, 22,  600,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, CASTELRUPE SUL VARNO",
    "stazione,   85250, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, BIVIO PONTE DELLE GORGHE",
    "stazione,   88400, 12,  500,  0, 0, 0,  1,1,0,  2,1,1,    0,  18,16, 0, OSTREL",
    "[rallentamenti]",
    "rallentamento,   42600,    70, 2500, 0,  1,  50",
    "rallentamento,   75950,    90, 1150, 0,  1,  0",
    "[segnali]",
    "segnale,    1600,   2, 3, 1,  0, 0,    1,  3,1,0, 203",
    "segnale,    2950,   2, 2, 3,  1, 1,    2,  2,1,0, 105",
    "segnale,    6400,   2, 4, 1,  1, 0,    2,  2,1,1, 0",
    "segnale,    7350,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   10400,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   12000,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   14750,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   16100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   18700,   2, 4, 1,  0, 0,    2,  2,1,0, 208",
    "segnale,   26200,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   27450,   2, 3, 1,  1, 0,    0,  0,0,0, 0",
    "segnale,   35050,   1, 4, 1,  0, 0,    0,  0,0,0, 205",
    "segnale,   36250,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   42150,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   43400,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   48850,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   50150,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   56550,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   57750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   61000,   1, 3, 4,  0, 0,    0,  0,0,0, 0",
    "segnale,   62200,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   68000,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   69200,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   72850,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   74050,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   77400,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   78600,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   83650,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   84850,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   86500,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   87700,   2, 2, 3,  1, 0,    2,  2,1,1, 212",
    "[codici]",
    "[fine]",
    kRiferimentoFine,
};
// clang-format on
static_assert(std::size(kRighe) == 81);

}  // namespace

std::string dati_treno() { return scrivi_tabella(kRighe); }

}  // namespace scenario

// The driver: the walk runs whatever the parser recorded, and its own
// faults replace the parser's.
#include "compiler/compila.h"

#include <gtest/gtest.h>

#include "tests/support/compila.h"

namespace scenario {
namespace {

using test::compila_in_memoria;
using test::file_linea;
using test::righe;

TEST(MemorizzaPercorso, ParserFaultStaysWhenTheWalkFindsNone) {
  const auto p =
      compila_in_memoria(file_linea(""), righe({
                                             "[generale]",
                                             "rallentamento,   42600,    70, 2500, 0,  1,  50",
                                             "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
                                             "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
                                             "[fine]",
                                         }));
  EXPECT_EQ(p.errore(), 16);
  EXPECT_EQ(p.posizione(), 17500);
  // The walk ran: code points before the slowdown start at 853.
  EXPECT_EQ(p.cella(848).tipo_cella, cella_abbattimento);
  EXPECT_EQ(p.cella(848).dato_uno, 180);
  EXPECT_TRUE(p.c.da_scrivere());
}

TEST(MemorizzaPercorso, WalkFaultReplacesTheParsers) {
  // Cells 14-16 taken before a slowdown starting in cell 21; then a speed
  // record beyond the track records 15.
  const auto p = compila_in_memoria(file_linea(""), righe({
                                                        "[generale]",
                                                        "abbattimento, 700, 0",
                                                        "abbattimento, 750, 0",
                                                        "abbattimento, 800, 0",
                                                        "rallentamento, 1000, 60, 500, 0, 0, 0",
                                                        "velocita, 999999, 10",
                                                        "[fine]",
                                                    }));
  EXPECT_EQ(p.errore(), 12);
  EXPECT_EQ(p.posizione(), 21 * 50);
  EXPECT_EQ(p.cella(10).tipo_cella, cella_abbattimento);  // the second group still placed
}

TEST(MemorizzaPercorso, ResetsTheHeaderTable) {
  // Entry 0 stays empty; only the parser's and the stamps' places are set.
  const auto p = compila_in_memoria(file_linea(""));
  EXPECT_EQ(p.voce(0), Voce{});
  EXPECT_EQ(p.voce(85).intero_uno, 610);
  EXPECT_EQ(p.voce(85).testo, test::kId.linea);
}

}  // namespace
}  // namespace scenario

#include "model/piano.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

namespace scenario {
namespace {

TEST(Planimetria, StartsEmptyAndCountsTheFileSize) {
  Planimetria pl(9);  // points 0..9
  EXPECT_EQ(pl.punti(), 10u);
  EXPECT_EQ(pl.dimensione_file(), 2u * 10 * 2);
  for (size_t p = 0; p < pl.punti(); ++p) EXPECT_EQ(pl.tipo(p), TipoValore::vuoto);

  pl.imposta_intero(0, 0, 1);
  pl.imposta_reale(5, {0.5, -2.0});
  EXPECT_EQ(pl.dimensione_file(), 2u * (8 * 2 + 4 + 10));
  // A point set again changes kind in both components and in the size.
  pl.imposta_intero(5, 3, 4);
  EXPECT_EQ(pl.dimensione_file(), 2u * (8 * 2 + 4 + 4));
  pl.imposta_reale(0, {1, 2});
  EXPECT_EQ(pl.dimensione_file(), 2u * (8 * 2 + 10 + 4));
}

TEST(Planimetria, KeepsEveryValueExactly) {
  Planimetria pl(3);
  const double piccolo = std::numeric_limits<double>::denorm_min();
  pl.imposta_intero(1, -32768, 32767);
  pl.imposta_reale(2, {-0.0, piccolo});
  EXPECT_EQ(pl.tipo(1), TipoValore::intero);
  EXPECT_EQ(pl.punto(1).x0, -32768);
  EXPECT_EQ(pl.punto(1).x1, 32767);
  EXPECT_EQ(pl.tipo(2), TipoValore::reale);
  EXPECT_EQ(std::bit_cast<uint64_t>(pl.punto(2).x0), std::bit_cast<uint64_t>(-0.0));
  EXPECT_EQ(pl.componente(1, 2), piccolo);
  EXPECT_EQ(pl.punto(3).x0, 0);
}

// A real overwritten by a whole number leaves nothing of the real behind.
TEST(Planimetria, SameContentSamePlan) {
  Planimetria a(2);
  Planimetria b(2);
  a.imposta_reale(1, {123.456, 7e100});
  a.imposta_intero(1, 5, 6);
  b.imposta_intero(1, 5, 6);
  EXPECT_EQ(a, b);
  const Planimetria copia = a;
  EXPECT_EQ(copia, b);
  b.imposta_intero(2, 0, 0);
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace scenario

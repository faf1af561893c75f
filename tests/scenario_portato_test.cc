// The carried scenario, written out and compiled by the author tool: the
// code points the walk adds around its two slowdowns, and the stamps.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "base/coding.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"

namespace scenario {
namespace {

using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::leggi;

const std::string kTool = SCENARIO_TOOL_PATH;

int16_t int16_a(const std::string& b, size_t off) {
  return static_cast<int16_t>(DecodeFixed16(b.data() + off));
}

TEST(ScenarioPortato, CompilesWithCodePointsAroundItsSlowdowns) {
  CartellaProva dir;
  ASSERT_EQ(esegui(avvio(kTool, "emit"), dir.percorso()).stato, 0);
  const auto u = esegui(avvio(kTool, "compile Lanvero_Ostrel 24817"), dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.out << u.err;
  EXPECT_EQ(u.out, "numero_errore=0 posizione_errore=0\n");

  const std::string celle = leggi(dir.percorso() / "Lanvero_Ostrel_24817.dat");
  ASSERT_EQ(celle.size(), 15u * 1961);
  std::set<int> punti;
  for (int c = 0; c <= 1960; ++c) {
    if (celle[15 * c] == 12) {
      EXPECT_EQ(int16_a(celle, 15 * c + 1), 180) << c;
      punti.insert(c);
    }
  }
  const std::set<int> attesi = {
      // First slowdown, 42600-45100 at 70 km/h: start 853, end 903.
      848, 842, 835,            // before the start
      861, 868, 876, 884, 892,  // every 8 cells; 869 holds a signal, so 868
      900,
      // Second slowdown, 75950-77100 at 90 km/h: warning 1496, start 1520, end 1543.
      1481,              // before the signal at 1482, 14 cells before the warning
      1515, 1509, 1502,  // before the start
      1528, 1536,        // every 8 cells
      1548,              // before the signal at 1549, just past the end
  };
  EXPECT_EQ(punti, attesi);

  // The train's profiles: the last speed (95 km/h from 88500) from cell 1770
  // to U - 3, adhesion 100 from cell 0; the last three cells keep 0.
  for (int c = 0; c <= 1960; ++c) {
    const auto velocita = static_cast<uint8_t>(celle[15 * c + 12]);
    const auto aderenza = static_cast<uint8_t>(celle[15 * c + 14]);
    if (c >= 1770) {
      EXPECT_EQ(velocita, c <= 1957 ? 19 : 0) << c;
    }
    EXPECT_EQ(aderenza, c <= 1957 ? 100 : 0) << c;
  }
  EXPECT_EQ(static_cast<uint8_t>(celle[15 * 10 + 12]), 6);  // 30 km/h up to 1100 m

  // Stamps: 5121 and the plain code in cell 1.
  EXPECT_EQ(int16_a(celle, 15 + 1), 5121);
  EXPECT_EQ(int16_a(celle, 15 + 3), 2471);
}

}  // namespace
}  // namespace scenario

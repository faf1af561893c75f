#include "format/scrittori.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/binari.h"
#include "tests/support/byte.h"

namespace scenario {
namespace {

using test::byte;

// A plan of points 0..L traced as the compiler leaves it: (0,0), (0,1),
// reals on 2..L-2, L-1 and L empty.
Planimetria piano_completo(int32_t l) {
  Planimetria pl(l);
  pl.imposta_intero(0, 0, 0);
  pl.imposta_intero(1, 0, 1);
  for (int32_t p = 2; p <= l - 2; ++p) pl.imposta_reale(p, {0.5, static_cast<double>(p)});
  return pl;
}

TEST(Planimetria, LayoutOfAZeroLengthLine) {
  const int32_t l = 7000;
  const std::string b = bytes_planimetria(piano_completo(l));
  ASSERT_EQ(b.size(), 20u * l - 36);  // 139964
  EXPECT_EQ(b.substr(0, 8), byte({2, 0, 0, 0, 2, 0, 0, 0}));
  // Point 2, component 0: tag 5 and the real 0.5.
  EXPECT_EQ(b.substr(8, 10), byte({5, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));
  // Component 0 ends with the two empty points, then component 1 begins.
  const size_t meta = 10 * l - 18;
  EXPECT_EQ(b.substr(meta - 4, 4), byte({0, 0, 0, 0}));
  EXPECT_EQ(b.substr(meta, 8), byte({2, 0, 0, 0, 2, 0, 1, 0}));
  // Point 2, component 1: the real 2.0.
  EXPECT_EQ(b.substr(meta + 8, 10), byte({5, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x40}));
  EXPECT_EQ(b.substr(b.size() - 4), byte({0, 0, 0, 0}));
  EXPECT_EQ(dimensione_planimetria(piano_completo(l)), b.size());
}

TEST(Planimetria, EmptyPlanAndNegativeWholeNumbers) {
  Planimetria pl(3);
  EXPECT_EQ(bytes_planimetria(pl), std::string(16, '\0'));
  pl.imposta_intero(3, -2, 300);
  EXPECT_EQ(bytes_planimetria(pl).substr(6, 4), byte({2, 0, 0xFE, 0xFF}));
  EXPECT_EQ(bytes_planimetria(pl).substr(16, 4), byte({2, 0, 0x2C, 0x01}));
}

// The file as its definition gives it, value by value from what the plan
// answers for each point.
std::string file_valore_per_valore(const Planimetria& pl) {
  std::string b;
  for (int c = 0; c < 2; ++c) {
    for (size_t p = 0; p < pl.punti(); ++p) test::metti_valore(&b, pl.tipo(p), pl.componente(c, p));
  }
  return b;
}

// The pieces the writer is given, each byte put exactly once.
std::string file_a_pezzi(const Planimetria& pl) {
  std::string b(dimensione_planimetria(pl), '\0');
  std::vector<int> volte(b.size(), 0);
  scrivi_planimetria(pl, [&](size_t posizione, std::string_view pezzo) {
    ASSERT_LE(posizione + pezzo.size(), b.size());
    b.replace(posizione, pezzo.size(), pezzo);
    for (size_t i = 0; i < pezzo.size(); ++i) ++volte[posizione + i];
  });
  EXPECT_EQ(std::count(volte.begin(), volte.end(), 1), static_cast<std::ptrdiff_t>(b.size()));
  return b;
}

// A plan as the compiler traces it: two stretches of straight line around
// a curve, then straight to the third last point.
Planimetria piano_tracciato(int32_t l) {
  Planimetria pl(l);
  pl.imposta_intero(0, 0, 0);
  pl.imposta_intero(1, 0, 1);
  const auto u = static_cast<size_t>(l);
  pl.traccia(2, u / 3, 0);
  pl.traccia(u / 3 + 1, u / 2, -0.002);
  pl.traccia(u / 2 + 1, u - 2, 0);
  return pl;
}

// The same points set one by one: the laid-out form.
Planimetria piano_punto_per_punto(int32_t l) {
  const Planimetria t = piano_tracciato(l);
  Planimetria pl(l);
  pl.imposta_intero(0, 0, 0);
  pl.imposta_intero(1, 0, 1);
  for (size_t p = 2; p < t.punti() - 2; ++p) pl.imposta_reale(p, t.punto(p));
  return pl;
}

// Every form of plan gives, through the writer's pieces, the file its values
// define: a traced plan made a piece at a time (longer than one piece), the
// same points set one by one, and plans of other shapes, with points missing,
// points of other kinds and values beyond the third last point.
TEST(Planimetria, EveryFormWritesTheFileItsValuesDefine) {
  Planimetria misto(10000);
  for (int32_t p = 0; p <= 10000; p += 1 + p % 5) {
    if (p % 3 == 0) {
      misto.imposta_intero(static_cast<size_t>(p), static_cast<int16_t>(-p), 7);
    } else {
      misto.imposta_reale(static_cast<size_t>(p), {p * 0.25, -1.0 * p});
    }
  }
  Planimetria fino_in_fondo = piano_completo(9000);
  fino_in_fondo.imposta_reale(8999, {1, 2});
  fino_in_fondo.imposta_reale(9000, {3, 4});
  Planimetria un_buco = piano_completo(9000);
  un_buco.imposta_intero(4000, 1, 2);  // a whole number among the reals
  Planimetria spezzata = piano_tracciato(40000);
  spezzata.traccia(39997, 39998, 0.001);  // goes on past the third last point
  Planimetria interrotta(40000);          // a trace that stopped: empty points follow
  interrotta.imposta_intero(0, 0, 0);
  interrotta.imposta_intero(1, 0, 1);
  interrotta.traccia(2, 25000, 0.0001);

  const std::pair<const char*, Planimetria> casi[] = {
      {"tracciata", piano_tracciato(40000)},
      {"punto per punto", piano_punto_per_punto(40000)},
      {"completa", piano_completo(7000)},
      {"mista", misto},
      {"fino in fondo", fino_in_fondo},
      {"un intero tra i reali", un_buco},
      {"oltre il terzultimo punto", spezzata},
      {"interrotta", interrotta},
      {"vuota", Planimetria(5)},
  };
  for (const auto& [nome, pl] : casi) {
    const std::string atteso = file_valore_per_valore(pl);
    EXPECT_EQ(dimensione_planimetria(pl), atteso.size()) << nome;
    EXPECT_EQ(file_a_pezzi(pl), atteso) << nome;
    EXPECT_EQ(bytes_planimetria(pl), atteso) << nome;
  }
}

// A traced plan and the same points set one by one are the same plan, and
// write the same bytes.
TEST(Planimetria, TracedAndSetPointByPointAgree) {
  const Planimetria t = piano_tracciato(40000);
  const Planimetria s = piano_punto_per_punto(40000);
  EXPECT_EQ(t, s);
  EXPECT_EQ(file_a_pezzi(t), file_a_pezzi(s));
  // A trace continued on a plan already read goes on from its last point.
  Planimetria letta(40000);
  letta.imposta_intero(0, 0, 0);
  letta.imposta_intero(1, 0, 1);
  letta.traccia(2, 13333, 0);
  EXPECT_EQ(letta.tipo(13333), TipoValore::reale);
  (void)letta.punto(13333);
  letta.traccia(13334, 20000, -0.002);
  letta.traccia(20001, 39998, 0);
  EXPECT_EQ(letta, t);
  // And so does one whose points were made for good by a point set alone.
  Planimetria stesa(40000);
  stesa.imposta_intero(0, 0, 0);
  stesa.imposta_intero(1, 0, 1);
  stesa.traccia(2, 13333, 0);
  stesa.imposta_reale(13333, stesa.punto(13333));
  stesa.traccia(13334, 20000, -0.002);
  stesa.traccia(20001, 39998, 0);
  EXPECT_EQ(stesa, t);
  EXPECT_EQ(file_a_pezzi(stesa), file_a_pezzi(t));
}

TEST(Testata, SizeWithOnlyTheIdentityTexts) {
  Testata t{};
  t[85].testo = "Lanvero_Ostrel";
  t[86].testo = "24817";
  EXPECT_EQ(bytes_testata(t).size(), 87u * 34 + 14 + 5);  // 2977
}

TEST(Testata, EntryLayout) {
  Testata t{};
  Voce& v = t[1];
  v.codice = 12;
  v.valore_uno = -1;
  v.valore_due = 0x01020304;
  v.valore_tre = 4250;
  v.opzione = 255;
  v.testo = "AB\xB0";
  v.intero_uno = -2;
  v.intero_due = 0x0506;
  v.intero_tre = 3;
  v.intero_quattro = 4;
  v.intero_cinque = 5;
  v.flag_uno = 6;
  v.flag_due = 7;
  v.flag_tre = 8;
  v.flag_quattro = 9;
  v.valore_quattro = 61200;
  const std::string b = bytes_testata(t);
  ASSERT_EQ(b.size(), 87u * 34 + 3);
  EXPECT_EQ(b.substr(0, 34), std::string(34, '\0'));  // entry 0: all reset values
  const std::string e = b.substr(34, 37);
  EXPECT_EQ(e, byte({12,  0xFF, 0xFF, 0xFF, 0xFF, 4,    3,    2,    1,    0x9A, 0x10, 0, 0,
                     255, 3,    0,    'A',  'B',  0xB0, 0xFE, 0xFF, 6,    5,    3,    0, 4,
                     0,   5,    0,    6,    7,    8,    9,    0x10, 0xEF, 0,    0}));
}

TEST(Celle, FifteenBytesEach) {
  std::vector<Cella> celle(3);
  celle[1].tipo_cella = cella_segnale;
  celle[1].dato_uno = -1;
  celle[2] = {14, 80, 0x0102, -3, 7, 1, 2, 3, 4, 5, 6};
  const std::string b = bytes_celle(celle);
  ASSERT_EQ(b.size(), 45u);
  EXPECT_EQ(b.substr(0, 15), std::string(15, '\0'));
  EXPECT_EQ(b.substr(15, 3), byte({1, 255, 255}));
  EXPECT_EQ(b.substr(30), byte({14, 80, 0, 2, 1, 0xFD, 0xFF, 7, 0, 1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace scenario

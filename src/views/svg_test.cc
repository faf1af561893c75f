// The picture's writer and the words of its titles: coordinates in one short
// form whatever the value, text that stays well-formed XML, chainages and
// times as an author reads them.
#include "views/svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "views/quadro.h"

namespace scenario::disegno {
namespace {

TEST(Svg, NumbersInOneShortForm) {
  struct Caso {
    double v;
    const char* atteso;
  };
  const Caso casi[] = {
      {0, "0"},
      {-0.0, "0"},
      {-0.04, "0"},
      {12, "12"},
      {12.25, "12.2"},
      {12.26, "12.3"},
      {-3.5, "-3.5"},
      {1e300, "1000000000"},
      {-1e300, "-1000000000"},
      {NAN, "0"},
      {INFINITY, "0"},
      {-INFINITY, "0"},
      {std::numeric_limits<double>::denorm_min(), "0"},
  };
  for (const Caso& c : casi) {
    std::string s;
    metti_numero(c.v, &s);
    EXPECT_EQ(s, c.atteso) << c.v;
  }
}

TEST(Svg, TextStaysWellFormed) {
  struct Caso {
    std::string utf8;
    std::string atteso;
  };
  const Caso casi[] = {
      {"a&b<c>\"d'", "a&amp;b&lt;c&gt;&quot;d'"}, {"riga\nriga", "riga\nriga"},
      {std::string("\x01\t\x1F\x7F", 4), "????"}, {"\xC2\x81x", "?x"},  // a C1 control
      {"\xC2\xA0\xC3\xA0", "\xC2\xA0\xC3\xA0"},                         // no-break space, a grave
      {"\xE2\x80\xAF", "\xE2\x80\xAF"},
  };
  for (const Caso& c : casi) {
    std::string s;
    metti_xml(c.utf8, &s);
    EXPECT_EQ(s, c.atteso) << c.utf8;
  }
  Svg svg;
  svg.etichetta(1, 2.25, "x<y", 9).etichetta(3, 4, "z", 10, "middle", "fill=\"#444444\"");
  EXPECT_EQ(svg.prendi(),
            "<text x=\"1\" y=\"2.2\" font-size=\"9\">x&lt;y</text>\n"
            "<text x=\"3\" y=\"4\" font-size=\"10\" text-anchor=\"middle\" "
            "fill=\"#444444\">z</text>\n");
}

TEST(Quadro, ChainagesCellsAndTimes) {
  EXPECT_EQ(metri(0), "0 m");
  EXPECT_EQ(metri(999), "999 m");
  EXPECT_EQ(metri(1000), "1\u202F000 m");
  EXPECT_EQ(metri(-1234567), "-1\u202F234\u202F567 m");
  EXPECT_EQ(dove(33), "cella 33 (1\u202F650 m)");
  EXPECT_EQ(orario(61620), "17:07:00");
  EXPECT_EQ(orario(0), "00:00:00");
  EXPECT_EQ(orario(-5), "-5 s");
  // 1, 2 or 5 times a power of ten, the first to give the pixels asked.
  EXPECT_EQ(passo_km(100, 70), 1);
  EXPECT_EQ(passo_km(40, 70), 2);
  EXPECT_EQ(passo_km(0.2, 70), 500);
  EXPECT_EQ(passo_km(0, 70), 10000000);
}

}  // namespace
}  // namespace scenario::disegno

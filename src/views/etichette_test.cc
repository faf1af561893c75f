// Label placement: a label hides no label taken before it, keeps off the
// track while it can, and stays inside the drawing.
#include "views/etichette.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace scenario::disegno {
namespace {

// The boxes of the labels an SVG text holds, from their place and anchor.
std::vector<Riquadro> riquadri(const std::string& svg, std::string_view testo) {
  std::vector<Riquadro> r;
  const std::regex e(
      R"re(<text x="([-0-9.]+)" y="([-0-9.]+)" font-size="[0-9.]+"(?: text-anchor="(\w+)")?)re");
  for (auto i = std::sregex_iterator(svg.begin(), svg.end(), e); i != std::sregex_iterator(); ++i) {
    const std::string ancora = (*i)[3].matched ? (*i)[3].str() : "start";
    r.push_back(riquadro_testo(std::stod((*i)[1]), std::stod((*i)[2]), testo, kCorpo, ancora));
  }
  return r;
}

TEST(Etichette, LabelsHideNeitherEachOtherNorTheTrack) {
  Etichette occupate;
  occupate.binario(100, 300, 1700, 300);  // a straight track across
  Svg svg;
  // Labels crowding one point: each takes the next free distance or side.
  int messe = 0;
  while (etichetta_accanto(svg, occupate, 900, 300, 1, 0, "STAZIONE", kCorpo, "",
                           {9, 16, 28, 44, 64}, false)) {
    ++messe;
  }
  EXPECT_GE(messe, 4);
  const std::vector<Riquadro> r = riquadri(svg.prendi(), "STAZIONE");
  ASSERT_EQ(r.size(), static_cast<size_t>(messe));
  for (size_t i = 0; i < r.size(); ++i) {
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(r[i].tocca(r[j], 0)) << i << " " << j;
    EXPECT_FALSE(r[i].y0 <= 300 && r[i].y1 >= 300) << i;  // off the track
  }

  // Only places on the track are left: refused unless allowed.
  Etichette piena;
  for (double y = 200; y <= 400; y += 1) piena.binario(0, y, kLarghezza, y);
  Svg altro;
  EXPECT_FALSE(etichetta_accanto(altro, piena, 900, 300, 1, 0, "X", kCorpo, "", {9, 16}, false));
  EXPECT_TRUE(etichetta_accanto(altro, piena, 900, 300, 1, 0, "X", kCorpo, "", {9, 16}, true));
  // Never outside the drawing, nor missing: centred over a track that runs
  // across, a long label at either edge (a first station's name) slides in.
  for (const double x : {2.0, kLarghezza - 2}) {
    SCOPED_TRACE(x);
    Etichette vuota;
    Svg bordo;
    const std::string lungo(40, 'W');
    ASSERT_TRUE(etichetta_accanto(bordo, vuota, x, 300, 1, 0, lungo, kCorpo, "", {9}, true));
    const std::vector<Riquadro> b = riquadri(bordo.prendi(), lungo);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_GE(b[0].x0, 8 - 0.5);
    EXPECT_LE(b[0].x1, kLarghezza - 8 + 0.5);
    EXPECT_TRUE(b[0].y1 < 300 || b[0].y0 > 300);  // still beside the track
    // One wider than the drawing has no place at all.
    EXPECT_FALSE(etichetta_accanto(bordo, vuota, x, 300, 1, 0, std::string(300, 'W'), kCorpo,
                                   "", {9}, true));
  }
}

}  // namespace
}  // namespace scenario::disegno

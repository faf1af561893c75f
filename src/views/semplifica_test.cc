// Thinning the plan's polyline: the ends always kept, every point dropped
// within the tolerance of the line kept, and the envelope of a column kept
// whatever the noise.
#include "views/semplifica.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace scenario::disegno {
namespace {

double distanza_segmento(const Punto2& q, const Punto2& a, const Punto2& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  const double t = l2 == 0 ? 0 : std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / l2, 0.0, 1.0);
  return std::hypot(q.x - a.x - t * dx, q.y - a.y - t * dy);
}

std::vector<Punto2> linea(size_t n, double (*y)(size_t)) {
  std::vector<Punto2> r;
  for (size_t i = 0; i < n; ++i) r.push_back({static_cast<double>(i) * 0.5, y(i), i});
  return r;
}

TEST(Semplifica, DroppedPointsStayWithinTheTolerance) {
  struct Caso {
    const char* nome;
    double (*y)(size_t);
  };
  const Caso casi[] = {
      {"straight", [](size_t) { return 3.0; }},
      {"arc", [](size_t i) { return 200 * std::sin(static_cast<double>(i) / 2000); }},
      {"zigzag", [](size_t i) { return i % 2 == 0 ? 40.0 : -40.0; }},
      {"steps", [](size_t i) { return static_cast<double>(i / 700 * 5); }},
  };
  for (const Caso& c : casi) {
    for (const double tolleranza : {0.3, 2.0}) {
      const std::vector<Punto2> in = linea(20000, c.y);
      const std::vector<Punto2> out = sfoltisci(in, tolleranza);
      ASSERT_GE(out.size(), 2u) << c.nome;
      EXPECT_EQ(out.front().p, in.front().p) << c.nome;
      EXPECT_EQ(out.back().p, in.back().p) << c.nome;
      // Each input point against the kept segment over it; the radial pass
      // may move it by the tolerance once more.
      size_t k = 0;
      for (const Punto2& q : in) {
        while (out[k + 1].p < q.p) ++k;
        EXPECT_LE(distanza_segmento(q, out[k], out[k + 1]), 2 * tolleranza + 1e-9)
            << c.nome << " point " << q.p;
        if (::testing::Test::HasFailure()) return;
      }
    }
  }
  EXPECT_EQ(sfoltisci(linea(20000, casi[0].y), 0.3).size(), 2u);
}

TEST(Semplifica, EnvelopeKeepsEachColumnsExtremes) {
  // Ten points a pixel column, each column its own lowest and highest.
  std::vector<Punto2> in;
  for (size_t i = 0; i < 1000; ++i) {
    in.push_back({static_cast<double>(i) / 10, static_cast<double>((i * 37) % 101), i});
  }
  const std::vector<Punto2> out = inviluppo(in);
  EXPECT_LE(out.size(), 400u);
  for (size_t colonna = 0; colonna < 100; ++colonna) {
    double basso = INFINITY, alto = -INFINITY, basso_out = INFINITY, alto_out = -INFINITY;
    for (const Punto2& q : in) {
      if (std::floor(q.x) == static_cast<double>(colonna)) {
        basso = std::min(basso, q.y), alto = std::max(alto, q.y);
      }
    }
    for (const Punto2& q : out) {
      if (std::floor(q.x) == static_cast<double>(colonna)) {
        basso_out = std::min(basso_out, q.y), alto_out = std::max(alto_out, q.y);
      }
    }
    EXPECT_EQ(basso_out, basso) << colonna;
    EXPECT_EQ(alto_out, alto) << colonna;
  }
  for (size_t i = 1; i < out.size(); ++i) EXPECT_LT(out[i - 1].p, out[i].p);
}

}  // namespace
}  // namespace scenario::disegno

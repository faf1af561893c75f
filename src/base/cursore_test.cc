#include "base/cursore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/intervalli.h"

namespace scenario {
namespace {

struct Manca : std::runtime_error {
  using std::runtime_error::runtime_error;
};

TEST(Cursore, TakesPiecesInOrderAndRefusesOnePastTheEnd) {
  Cursore c("abcdef");
  int chiesto = 0;
  const auto manca = [&chiesto] {
    ++chiesto;
    return Manca("manca");
  };
  EXPECT_EQ(c.prendi(2, manca), "ab");
  EXPECT_EQ(c.prendi(0, manca), "");
  EXPECT_EQ(c.prendi(3, manca), "cde");
  EXPECT_EQ(chiesto, 0);  // the fault is made only when it is thrown
  EXPECT_EQ(c.pos(), 5u);
  EXPECT_EQ(c.resto(), 1u);
  EXPECT_THROW(c.prendi(2, manca), Manca);
  EXPECT_EQ(chiesto, 1);
  EXPECT_EQ(c.pos(), 5u);  // a refused read takes nothing
  // A length from the file may be far larger than any size_t.
  EXPECT_THROW(c.prendi(UINT64_MAX, manca), Manca);
  EXPECT_EQ(c.prendi(1, manca), "f");
  EXPECT_TRUE(c.finito());
}

// Over a file read a window at a time, the same pieces at the same offsets,
// whatever the window and wherever it ends: pieces across its end, longer
// than it, and a refusal that still takes nothing.
TEST(Cursore, AWindowOnAFileGivesTheSamePieces) {
  std::string b;
  for (int i = 0; i < 300; ++i) b.push_back(static_cast<char>(i * 7));
  const auto manca = [] { return Manca("manca"); };
  const size_t pezzi[] = {2, 0, 3, 8, 1, 40, 5, 13, 2};
  struct Contato : LettoreMemoria {
    using LettoreMemoria::LettoreMemoria;
    void leggi(uint64_t inizio, std::span<char> d) override {
      letti += d.size();
      LettoreMemoria::leggi(inizio, d);
    }
    size_t letti = 0;
  };
  for (const size_t finestra : {size_t{1}, size_t{4}, size_t{9}, size_t{64}, size_t{1000}}) {
    for (const size_t da : {size_t{0}, size_t{5}}) {
      SCOPED_TRACE(std::to_string(finestra) + " from " + std::to_string(da));
      Contato file(b);
      Cursore c(file, da, finestra);
      Cursore m(std::string_view(b).substr(da));
      EXPECT_EQ(c.dimensione(), b.size());
      for (size_t k = 0; !m.finito(); ++k) {
        const size_t n = std::min(pezzi[k % std::size(pezzi)], m.resto());
        EXPECT_EQ(c.prendi(n, manca), m.prendi(n, manca));
        EXPECT_EQ(c.pos(), da + m.pos());
        if (m.resto() > 0) {
          EXPECT_THROW(c.prendi(m.resto() + 1, manca), Manca);
          EXPECT_EQ(c.resto(), m.resto());
        }
      }
      EXPECT_TRUE(c.finito());
      // Every byte read from the file once: what a piece across the
      // window's end needs is kept, not read again.
      EXPECT_EQ(file.letti, b.size() - da);
    }
  }
}

}  // namespace
}  // namespace scenario

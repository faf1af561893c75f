#include "base/cursore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

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

}  // namespace
}  // namespace scenario

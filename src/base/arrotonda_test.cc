#include "base/arrotonda.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

struct Caso {
  int64_t num, den, atteso;
};

TEST(Vicino, HalvesGoToTheEvenNeighbour) {
  const Caso casi[] = {
      {5, 2, 2},          {7, 2, 4},         {-5, 2, -2},    {-7, 2, -4},    {7025, 50, 140},
      {7075, 50, 142},    {98000, 50, 1960}, {1025, 50, 20}, {1075, 50, 22}, {925 + 50, 50, 20},
      {975 + 50, 50, 20}, {12, 5, 2},        {13, 5, 3},     {-1, 2, 0},     {-3, 2, -2},
      {1, 3, 0},          {2, 3, 1},         {-2, 3, -1},    {0, 50, 0},     {1007000, 50, 20140},
  };
  for (const Caso& c : casi) {
    EXPECT_EQ(vicino(c.num, c.den), c.atteso) << c.num << "/" << c.den;
  }
}

}  // namespace
}  // namespace scenario

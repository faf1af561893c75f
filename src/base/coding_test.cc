#include "base/coding.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

#include "tests/support/byte.h"

namespace scenario {
namespace {

using test::byte;

TEST(Coding, AppendedBytesAreLittleEndian) {
  std::string s;
  PutFixed8(&s, 0xAB);
  PutFixed16(&s, 0x1234);
  PutFixed32(&s, 0x89ABCDEF);
  EXPECT_EQ(s, byte({0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89}));
}

// The plan file's two kinds of tagged value, byte for byte.
TEST(Coding, TaggedValues) {
  char b[10] = {};
  EncodeTaggedFixed16(b, 2, static_cast<uint16_t>(-2));
  EXPECT_EQ(std::string(b, 4), byte({2, 0, 0xFE, 0xFF}));
  EncodeTaggedDouble(b, 5, 0.5);
  EXPECT_EQ(std::string(b, 10), byte({5, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));
  EncodeTaggedDouble(b, 0x105, -2.0);
  EXPECT_EQ(std::string(b, 10), byte({5, 1, 0, 0, 0, 0, 0, 0, 0x00, 0xC0}));
}

// What is encoded decodes to the same bits, the extremes included.
TEST(Coding, DecodeReadsBackWhatEncodeWrote) {
  for (const uint16_t v : {0, 1, 0x00FF, 0xFF00, 0x8000, 0xFFFF}) {
    char b[2];
    EncodeFixed16(b, v);
    EXPECT_EQ(DecodeFixed16(b), v);
  }
  for (const double v : {0.0, -0.0, 1.0 / 3, -1e300, std::numeric_limits<double>::denorm_min(),
                         std::numeric_limits<double>::infinity()}) {
    char b[8];
    EncodeDouble(b, v);
    EXPECT_EQ(std::bit_cast<uint64_t>(DecodeDouble(b)), std::bit_cast<uint64_t>(v)) << v;
  }
  char b[8];
  EncodeFixed64(b, 0x0123456789ABCDEF);
  EXPECT_EQ(std::string(b, 8), byte({0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}));
  EXPECT_EQ(DecodeFixed64(b), 0x0123456789ABCDEFu);
}

}  // namespace
}  // namespace scenario

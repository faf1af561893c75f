#include "tests/support/impronta.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario::test {
namespace {

// Published test vectors, with lengths on both sides of the one-block and
// two-block padding limits.
TEST(Sha256, KnownDigests) {
  struct Caso {
    std::string bytes;
    const char* digest;
  };
  const Caso casi[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrl"
       "mnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Caso& c : casi) EXPECT_EQ(sha256(c.bytes), c.digest) << c.bytes.size() << " bytes";
}

}  // namespace
}  // namespace scenario::test

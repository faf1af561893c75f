// SHA-256 digests, for tests that pin output bytes: a changed byte anywhere
// in a file changes its digest.
#ifndef SCENARIO_TESTS_SUPPORT_IMPRONTA_H_
#define SCENARIO_TESTS_SUPPORT_IMPRONTA_H_

#include <string>
#include <string_view>

namespace scenario::test {

// The SHA-256 digest of `bytes`, as 64 lower-case hexadecimal digits.
std::string sha256(std::string_view bytes);

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_IMPRONTA_H_

// Bytes written out one by one, for tests of byte layouts.
#ifndef SCENARIO_TESTS_SUPPORT_BYTE_H_
#define SCENARIO_TESTS_SUPPORT_BYTE_H_

#include <initializer_list>
#include <string>

namespace scenario::test {

inline std::string byte(std::initializer_list<int> bb) {
  std::string s;
  for (const int b : bb) s.push_back(static_cast<char>(b));
  return s;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_BYTE_H_

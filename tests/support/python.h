// The Python 3 interpreter CMake found, which some tests start to check what
// the programs write against a real counterpart (Python's json and struct).
// Where there is none, or in a Windows build whose tests run under Wine,
// those tests skip and say why.
#ifndef SCENARIO_TESTS_SUPPORT_PYTHON_H_
#define SCENARIO_TESTS_SUPPORT_PYTHON_H_

namespace scenario::test {

#ifdef SCENARIO_PYTHON
inline constexpr const char* kPython = SCENARIO_PYTHON;
#else
inline constexpr const char* kPython = nullptr;
#endif

}  // namespace scenario::test

// For the first line of a test (or SetUp) that starts Python.
#define SALTA_SENZA_PYTHON()                                              \
  if (::scenario::test::kPython == nullptr)                               \
  GTEST_SKIP() << "no Python 3 interpreter was found at configure time: " \
                  "no real reader to check the output with"

#endif  // SCENARIO_TESTS_SUPPORT_PYTHON_H_

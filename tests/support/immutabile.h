// A file or folder that not even root may change: the "immutable" attribute
// (chattr +i). Tests run as root, where permission bits stop nothing; not
// every file system has the attribute, so tests skip without it.
#ifndef SCENARIO_TESTS_SUPPORT_IMMUTABILE_H_
#define SCENARIO_TESTS_SUPPORT_IMMUTABILE_H_

#include <cstdlib>
#include <filesystem>
#include <string>

namespace scenario::test {

class Immutabile {
 public:
  explicit Immutabile(std::filesystem::path p) : p_(std::move(p)) { attivo_ = chattr("+i"); }
  ~Immutabile() {
    if (attivo_) chattr("-i");
  }
  Immutabile(const Immutabile&) = delete;
  Immutabile& operator=(const Immutabile&) = delete;

  // False when the attribute could not be set here.
  bool attivo() const { return attivo_; }

 private:
  bool chattr(const char* come) const {
    const std::string c = std::string("chattr ") + come + " '" + p_.string() + "' 2>/dev/null";
    return std::system(c.c_str()) == 0;
  }
  std::filesystem::path p_;
  bool attivo_ = false;
};

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_IMMUTABILE_H_

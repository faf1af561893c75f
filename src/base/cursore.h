// A bounded byte reader: walks a string of bytes front to back and never
// reads past its end. What a missing piece means is the caller's to say.
#ifndef SCENARIO_BASE_CURSORE_H_
#define SCENARIO_BASE_CURSORE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace scenario {

class Cursore {
 public:
  explicit Cursore(std::string_view bytes) : b_(bytes) {}

  size_t pos() const { return pos_; }
  size_t resto() const { return b_.size() - pos_; }
  size_t dimensione() const { return b_.size(); }
  bool finito() const { return pos_ == b_.size(); }

  // The next n bytes. When fewer are left, throws what manca() returns:
  // the caller's own fault, made only then.
  template <typename Manca>
  std::string_view prendi(uint64_t n, Manca manca) {
    if (n > resto()) throw manca();
    const std::string_view s = b_.substr(pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return s;
  }

 private:
  std::string_view b_;
  size_t pos_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_CURSORE_H_

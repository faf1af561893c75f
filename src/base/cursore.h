// A bounded byte reader: walks a string of bytes front to back and never
// reads past its end. What a missing piece means is the caller's to say.
// The bytes are either all in memory or a file's, read a window at a time,
// so that a file of any size is walked in the same few kilobytes.
#ifndef SCENARIO_BASE_CURSORE_H_
#define SCENARIO_BASE_CURSORE_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "base/intervalli.h"

namespace scenario {

class Cursore {
 public:
  // The bytes of a window when none is asked for.
  static constexpr size_t kFinestra = size_t{64} << 10;

  explicit Cursore(std::string_view bytes) : b_(bytes), fine_(bytes.size()) {}
  // The bytes of `file` from offset `da` to its end, read `finestra` at a
  // time (more only for a longer piece asked at once).
  Cursore(LettoreIntervalli& file, size_t da, size_t finestra = kFinestra)
      : inizio_(da),
        fine_(static_cast<size_t>(
            std::min<uint64_t>(file.dimensione(), std::numeric_limits<size_t>::max()))),
        file_(&file),
        finestra_(std::max<size_t>(finestra, 1)) {
    inizio_ = std::min(inizio_, fine_);
  }
  // A window belongs to its cursor: a copy would read another's bytes.
  Cursore(const Cursore&) = delete;
  Cursore& operator=(const Cursore&) = delete;

  // Offsets from the start of the bytes (of the file, for a window).
  size_t pos() const { return inizio_ + pos_; }
  size_t resto() const { return fine_ - pos(); }
  size_t dimensione() const { return fine_; }
  bool finito() const { return pos() == fine_; }

  // Up to the next n bytes (fewer only at the end), without moving past
  // them: for a reader of small pieces whose sizes it reads from them.
  // avanza() then moves past as many as it took.
  std::string_view davanti(size_t n) {
    n = std::min(n, resto());
    if (n > b_.size() - pos_) [[unlikely]] riempi(n);
    return std::string_view(b_.data() + pos_, n);
  }
  void avanza(size_t n) { pos_ += std::min(n, b_.size() - pos_); }

  // The next n bytes. When fewer are left, throws what manca() returns:
  // the caller's own fault, made only then. Over a window, the piece stays
  // valid until the next prendi() or davanti().
  template <typename Manca>
  std::string_view prendi(uint64_t n, Manca manca) {
    if (n > resto()) [[unlikely]] manca_(manca);
    if (n > b_.size() - pos_) [[unlikely]] riempi(static_cast<size_t>(n));
    const std::string_view s = b_.substr(pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return s;
  }

 private:
  // Out of the way of the pieces taken, which are many and small.
  template <typename Manca>
  [[noreturn, gnu::cold, gnu::noinline]] static void manca_(Manca& manca) {
    throw manca();
  }

  // At least n bytes at hand from pos_ on (n <= resto()): what is left of
  // the window moves to its front and the file fills the rest.
  [[gnu::noinline]] void riempi(size_t n) {
    const size_t tenuti = b_.size() - pos_;
    const size_t dove = inizio_ + b_.size();
    // b_ starts at the window's front: where it is left stays put through
    // a resize.
    if (finestra_.size() < n) finestra_.resize(n);
    if (tenuti > 0) std::memmove(finestra_.data(), finestra_.data() + pos_, tenuti);
    const size_t nuovi = std::min(finestra_.size() - tenuti, fine_ - dove);
    file_->leggi(dove, std::span<char>(finestra_.data() + tenuti, nuovi));
    inizio_ += pos_;
    pos_ = 0;
    b_ = std::string_view(finestra_.data(), tenuti + nuovi);
  }

  std::string_view b_;  // the bytes at hand: those from offset inizio_ on
  size_t pos_ = 0;      // within b_
  size_t inizio_ = 0;
  size_t fine_;
  LettoreIntervalli* file_ = nullptr;
  std::vector<char> finestra_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_CURSORE_H_

// Byte ranges of a file read without reading the rest of it: the payload
// at an executable's end, a plan file's header before its points. The
// platform gives them from a file, the tests from memory.
#ifndef SCENARIO_BASE_INTERVALLI_H_
#define SCENARIO_BASE_INTERVALLI_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scenario {

// Byte ranges of one file, read without reading the rest of it.
class LettoreIntervalli {
 public:
  virtual ~LettoreIntervalli() = default;
  virtual uint64_t dimensione() const = 0;
  // Exactly `destinazione.size()` bytes from `inizio`, which lie inside
  // the file; throws when they cannot be read.
  virtual void leggi(uint64_t inizio, std::span<char> destinazione) = 0;
};

// Every byte of `file`, for a file known to be small.
inline std::string tutti_i_byte(LettoreIntervalli& file) {
  std::string b(static_cast<size_t>(file.dimensione()), '\0');
  file.leggi(0, b);
  return b;
}

// Ranges of bytes held in memory.
class LettoreMemoria : public LettoreIntervalli {
 public:
  explicit LettoreMemoria(std::string_view bytes) : bytes_(bytes) {}
  uint64_t dimensione() const override { return bytes_.size(); }
  void leggi(uint64_t inizio, std::span<char> destinazione) override {
    if (inizio > bytes_.size() || destinazione.size() > bytes_.size() - inizio) {
      throw std::out_of_range("lettura oltre la fine dei dati");
    }
    std::memcpy(destinazione.data(), bytes_.data() + inizio, destinazione.size());
  }

 private:
  std::string_view bytes_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_INTERVALLI_H_

// A block of bytes taken from the system already zeroed. A block as large
// as a plan comes as fresh pages, so its zeroes cost nothing until a page is
// first written: no byte of it is written twice.
#ifndef SCENARIO_BASE_BLOCCO_MEMORIA_H_
#define SCENARIO_BASE_BLOCCO_MEMORIA_H_

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace scenario {

class Blocco {
 public:
  Blocco() = default;
  // n zero bytes; throws std::bad_alloc.
  explicit Blocco(size_t n) : dati_(n ? static_cast<char*>(std::calloc(n, 1)) : nullptr), n_(n) {
    if (n != 0 && !dati_) throw std::bad_alloc();
  }
  Blocco(const Blocco& b) : Blocco(b.n_) {
    if (n_ != 0) std::memcpy(dati_.get(), b.dati_.get(), n_);
  }
  Blocco& operator=(const Blocco& b) {
    if (this != &b) *this = Blocco(b);
    return *this;
  }
  Blocco(Blocco&& b) noexcept : dati_(std::move(b.dati_)), n_(b.n_) { b.n_ = 0; }
  Blocco& operator=(Blocco&& b) noexcept {
    dati_ = std::move(b.dati_);
    n_ = b.n_;
    b.n_ = 0;
    return *this;
  }

  char* data() { return dati_.get(); }
  const char* data() const { return dati_.get(); }
  size_t size() const { return n_; }
  std::string_view vista() const { return {dati_.get(), n_}; }

 private:
  struct Libera {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char[], Libera> dati_;
  size_t n_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_BLOCCO_MEMORIA_H_

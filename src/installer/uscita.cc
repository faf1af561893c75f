#include "installer/uscita.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <optional>
#include <streambuf>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "installer/avvio.h"
#include "platform/scrittura.h"

namespace scenario {

namespace {

constexpr char kNomeUscita[] = "lo standard output";

// A stream buffer that writes straight to a file descriptor and keeps the
// errno of the first write that failed, which a stdio buffer forgets.
class FlussoControllato : public std::streambuf {
 public:
  explicit FlussoControllato(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  int errore() const { return errore_; }

 protected:
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override {
    const char* p = pbase();
    const char* const fine = pptr();
    setp(buffer_, buffer_ + sizeof buffer_);
    if (errore_ != 0) {  // nothing more after a failure, and the same reason
      errno = errore_;
      return -1;
    }
    while (p < fine) {
#ifdef _WIN32
      const int n = _write(fd_, p, static_cast<unsigned>(fine - p));
#else
      const ssize_t n = ::write(fd_, p, static_cast<size_t>(fine - p));
#endif
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        errore_ = n < 0 ? errno : EIO;
        return -1;
      }
      p += n;
    }
    return 0;
  }

 private:
  int fd_;
  int errore_ = 0;
  char buffer_[4096];
};

FlussoControllato* uscita = nullptr;
FlussoControllato* errori = nullptr;

// The errno of a failed write to the stream, once flushed.
std::optional<int> guasto(std::ostream& o, std::FILE* f, const FlussoControllato* controllato) {
#ifdef _WIN32
  // A desktop program has no console: there is nothing to check.
  if (_fileno(f) < 0) return std::nullopt;
#endif
  errno = 0;
  o.flush();
  if (controllato != nullptr) {
    if (controllato->errore() != 0) return controllato->errore();
    return o.good() ? std::nullopt : std::optional<int>(EIO);
  }
  if (std::fflush(f) == 0 && !std::ferror(f) && o.good()) return std::nullopt;
  return errno != 0 ? errno : EIO;
}

}  // namespace

void prepara_uscite() {
#ifdef _WIN32
  // A desktop program has no console to write to.
  if (_fileno(stdout) < 0) return;
#endif
  if (uscita != nullptr) return;
  std::cout.flush();
  std::cerr.flush();
  // Never destroyed: they serve until the last byte at exit.
  uscita = new FlussoControllato(1);
  errori = new FlussoControllato(2);
  std::cout.rdbuf(uscita);
  std::cerr.rdbuf(errori);
}

int errore_uscita() { return uscita != nullptr ? uscita->errore() : 0; }

void controlla_uscita() {
  if (const auto e = guasto(std::cout, stdout, uscita)) {
    throw GuastoPiattaforma(kNomeUscita, motivo_errno(*e));
  }
}

int stato_finale(int stato) {
  if (const auto e = guasto(std::cout, stdout, uscita)) {
    // After a platform failure its own line has been said.
    if (stato != uscita_guasto) {
      std::cerr << GuastoPiattaforma(kNomeUscita, motivo_errno(*e)).what() << std::endl;
    }
    return uscita_guasto;
  }
  if (guasto(std::cerr, stderr, errori)) return uscita_guasto;
  return stato;
}

}  // namespace scenario

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/guasti_prova.h"
#include "platform/programma.h"
#include "platform/scrittura.h"

namespace scenario {

namespace {

// /proc/self/exe opens the program's own file even after it was renamed.
constexpr char kProgramma[] = "/proc/self/exe";

class LettoreFile : public LettoreIntervalli {
 public:
  explicit LettoreFile(const std::filesystem::path& percorso) : percorso_(percorso) {
    // Opening a FIFO or a device could wait for ever: opened without
    // waiting, anything but a file is refused before a byte is read.
    fd_ = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) throw GuastoPiattaforma(percorso_, motivo_errno(errno), "leggere");
    struct stat s {};
    const bool letto = ::fstat(fd_, &s) == 0;
    if (!letto || !S_ISREG(s.st_mode)) {
      const int e = errno;
      ::close(fd_);
      throw GuastoPiattaforma(percorso_, letto ? "non e' un file" : motivo_errno(e), "leggere");
    }
    dimensione_ = static_cast<uint64_t>(s.st_size);
  }
  ~LettoreFile() override { ::close(fd_); }
  LettoreFile(const LettoreFile&) = delete;
  LettoreFile& operator=(const LettoreFile&) = delete;

  uint64_t dimensione() const override { return dimensione_; }

  void leggi(uint64_t inizio, std::span<char> destinazione) override {
    if (const int e = guasto_di_prova(Chiamata::lettura, percorso_); e != 0) {
      throw GuastoPiattaforma(percorso_, motivo_errno(e), "leggere");
    }
    size_t letti = 0;
    while (letti < destinazione.size()) {
      const ssize_t n = ::pread(fd_, destinazione.data() + letti, destinazione.size() - letti,
                                static_cast<off_t>(inizio + letti));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw GuastoPiattaforma(percorso_, motivo_errno(errno), "leggere");
      if (n == 0) throw GuastoPiattaforma(percorso_, "file piu' corto del previsto", "leggere");
      letti += static_cast<size_t>(n);
    }
  }

 private:
  std::filesystem::path percorso_;
  int fd_ = -1;
  uint64_t dimensione_ = 0;
};

}  // namespace

std::unique_ptr<LettoreIntervalli> apri_programma() {
  return std::make_unique<LettoreFile>(kProgramma);
}

std::filesystem::path percorso_programma() {
  std::error_code ec;
  auto percorso = std::filesystem::read_symlink(kProgramma, ec);
  if (ec) throw GuastoPiattaforma(kProgramma, motivo_codice(ec), "leggere");
  return percorso;
}

std::unique_ptr<LettoreIntervalli> apri_file(const std::filesystem::path& percorso) {
  return std::make_unique<LettoreFile>(percorso);
}

}  // namespace scenario

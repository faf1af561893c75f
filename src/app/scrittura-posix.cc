#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>

#include "app/scrittura.h"

namespace scenario {

namespace {

std::string motivo(int e) { return std::strerror(e); }

// Creates a new file beside `finale`, never opening one that exists.
int crea_temporaneo(const std::filesystem::path& finale, std::filesystem::path* temp, mode_t modo) {
  static std::minstd_rand generatore(static_cast<unsigned>(getpid()));
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    *temp = finale;
    temp->concat(".tmp" + std::to_string(generatore()));
    const int fd =
        ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, modo);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

void scrivi_file(const std::filesystem::path& percorso, std::string_view bytes, bool eseguibile) {
  // Past a file-size limit, write() should fail with EFBIG, not kill us.
  static const bool ignora_sigxfsz = (std::signal(SIGXFSZ, SIG_IGN), true);
  (void)ignora_sigxfsz;
  std::filesystem::path temp;
  const int fd = crea_temporaneo(percorso, &temp, eseguibile ? 0755 : 0644);
  if (fd < 0) throw GuastoPiattaforma(percorso, motivo(errno));

  const auto fallisci = [&](int e) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw GuastoPiattaforma(percorso, motivo(e));
  };
  size_t scritti = 0;
  while (scritti < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + scritti, bytes.size() - scritti);
    if (n < 0) {
      if (errno == EINTR) continue;
      fallisci(errno);
    }
    scritti += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    const int e = errno;
    ::unlink(temp.c_str());
    throw GuastoPiattaforma(percorso, motivo(e));
  }
  // rename() replaces a symbolic link itself, never the file it points to.
  if (::rename(temp.c_str(), percorso.c_str()) != 0) {
    const int e = errno;
    ::unlink(temp.c_str());
    throw GuastoPiattaforma(percorso, motivo(e));
  }
}

}  // namespace scenario

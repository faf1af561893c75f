// The floor that the installer is measured against: the same bytes written
// with one plain write per file, no temporary file, no rename.
#ifndef SCENARIO_BENCH_PAVIMENTO_H_
#define SCENARIO_BENCH_PAVIMENTO_H_

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scenario {

// Creates or truncates `percorso` and writes `bytes` in one call (a call
// the kernel cuts short is resumed, as any writer must).
inline void scrivi_pavimento(const std::filesystem::path& percorso, std::string_view bytes) {
  const int fd = ::open(percorso.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error(percorso.string() + ": " + std::strerror(errno));
  size_t scritti = 0;
  while (scritti < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + scritti, bytes.size() - scritti);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int e = errno;
      ::close(fd);
      throw std::runtime_error(percorso.string() + ": " + std::strerror(e));
    }
    scritti += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) throw std::runtime_error(percorso.string() + ": " + std::strerror(errno));
}

}  // namespace scenario

#endif  // SCENARIO_BENCH_PAVIMENTO_H_

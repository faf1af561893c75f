// pavimento DIR FILE...: writes a copy of each FILE into DIR, each with one
// read and one write. Timed from process start to exit, it is the floor for
// an installer run that leaves the same files in DIR.
#include "pavimento.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

namespace {

std::string leggi_tutto(const char* nome) {
  const int fd = ::open(nome, O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0)
    throw std::runtime_error(std::string(nome) + ": " + std::strerror(errno));
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t letti = 0;
  while (letti < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + letti, bytes.size() - letti);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error(std::string(nome) + ": short read");
    letti += static_cast<size_t>(n);
  }
  ::close(fd);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "uso: pavimento CARTELLA FILE...\n";
    return 64;
  }
  try {
    const std::filesystem::path cartella = argv[1];
    for (int i = 2; i < argc; ++i) {
      const std::filesystem::path sorgente = argv[i];
      scenario::scrivi_pavimento(cartella / sorgente.filename(), leggi_tutto(argv[i]));
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 3;
  }
  return 0;
}

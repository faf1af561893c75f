#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "app/blocco.h"
#include "app/scrittura.h"

namespace scenario {

BloccoCartella::BloccoCartella(const std::filesystem::path& cartella,
                               std::chrono::milliseconds attesa) {
  // The folder itself: nothing is created in it, nothing is left behind,
  // and the lock goes with the process however it ends.
  fd_ = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) throw GuastoPiattaforma(cartella, motivo_errno(errno), "usare la cartella");
  const auto limite = std::chrono::steady_clock::now() + attesa;
  auto pausa = std::chrono::milliseconds(1);
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int codice = errno;
    if (codice == EINTR) continue;
    if (codice != EWOULDBLOCK || std::chrono::steady_clock::now() >= limite) {
      ::close(fd_);
      throw GuastoPiattaforma(
          cartella, codice == EWOULDBLOCK ? motivo_cartella_occupata(attesa) : motivo_errno(codice),
          "scrivere in");
    }
    std::this_thread::sleep_for(pausa);
    pausa = std::min(pausa * 2, std::chrono::milliseconds(50));
  }
}

void verifica_cartella(const std::filesystem::path& cartella) {
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw GuastoPiattaforma(cartella, motivo_errno(errno), "usare la cartella");
  ::close(fd);
}

BloccoCartella::~BloccoCartella() {
  if (fd_ >= 0) ::close(fd_);  // closing the handle releases the lock
}

}  // namespace scenario

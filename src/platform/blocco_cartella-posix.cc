#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/blocco_cartella.h"
#include "platform/pulizia.h"
#include "platform/scrittura.h"

namespace scenario {

namespace {

#ifdef F_OFD_SETLK
// A lock of the open file, not of the process: two holders in one process
// exclude each other too.
constexpr int kPrendi = F_OFD_SETLK;
#else
constexpr int kPrendi = F_SETLK;
#endif

// Write permission for the owner and for whichever of the group and the
// others may write the folder; reading for no one, so that no read lock
// (which would hold a write lock off) can be had on it either.
mode_t modo_blocco(const std::filesystem::path& cartella) {
  struct stat st {};
  if (::stat(cartella.c_str(), &st) != 0) return S_IWUSR;
  return S_IWUSR | (st.st_mode & (S_IWGRP | S_IWOTH));
}

// A folder in which this run may make no file: no run of this user can
// change it, so there is nothing to keep out, and the run's first write
// says why it cannot.
constexpr int kCartellaImmutabile = -2;

// Opens the lock file, making it if it is not there; -1 and errno if not.
int apri_blocco(const std::filesystem::path& nome, mode_t modo) {
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, modo);
    if (fd >= 0) {
      ::fchmod(fd, modo);  // the creator's mask would narrow it
      return fd;
    }
    if (errno == EACCES || errno == EPERM || errno == EROFS) return kCartellaImmutabile;
    if (errno != EEXIST) return -1;
    fd = ::open(nome.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd >= 0 || errno != ENOENT) return fd;
    // Deleted by its last holder just now: made afresh.
  }
  errno = EAGAIN;
  return -1;
}

// What a held lock keeps: the file's name, and its removal if the run is
// interrupted.
struct Tenuto {
  std::filesystem::path nome;
  DaRimuovere rimozione;
};

// The write lock on the whole file: 0, or the errno. A system without
// locks of the open file (an emulator) has the process's.
int prendi(int fd) {
  struct flock f {};
  f.l_type = F_WRLCK;
  f.l_whence = SEEK_SET;
  if (::fcntl(fd, kPrendi, &f) == 0) return 0;
  if (errno != EINVAL || kPrendi == F_SETLK) return errno;
  return ::fcntl(fd, F_SETLK, &f) == 0 ? 0 : errno;
}

// The file locked is still the one under the name: its last holder did not
// delete it meanwhile.
bool ancora_al_suo_posto(int fd, const std::filesystem::path& nome) {
  struct stat aperto {};
  struct stat nominato {};
  return ::fstat(fd, &aperto) == 0 && ::lstat(nome.c_str(), &nominato) == 0 &&
         aperto.st_dev == nominato.st_dev && aperto.st_ino == nominato.st_ino;
}

}  // namespace

// A write lock on the file kNomeBlocco in the folder: the lock goes with
// the process however it ends, and only a handle open for writing can take
// it, which a user who may only read the folder cannot have. The holder
// deletes the file before it lets the lock go; one who then finds the file
// it locked gone tries again.
BloccoCartella::BloccoCartella(const std::filesystem::path& cartella,
                               std::chrono::milliseconds attesa) {
  verifica_cartella(cartella);
  const std::filesystem::path nome = cartella / kNomeBlocco;
  const mode_t modo = modo_blocco(cartella);
  const auto limite = std::chrono::steady_clock::now() + attesa;
  auto pausa = std::chrono::milliseconds(1);
  const auto rifiuta = [&](int codice) {
    throw GuastoPiattaforma(
        cartella, codice == EAGAIN ? motivo_cartella_occupata(attesa) : motivo_errno(codice),
        "scrivere in");
  };
  while (true) {
    int codice = 0;
    {
      // The file made and held for removal as one step: an interruption
      // never leaves it, nor removes one that another run holds.
      SegnaliSospesi sospesi;
      const int fd = apri_blocco(nome, modo);
      if (fd == kCartellaImmutabile) return;
      if (fd < 0) {
        codice = errno;
        // Another user's lock file that this user may not open: another run.
        if (codice != EACCES) rifiuta(codice);
        codice = EAGAIN;
      } else {
        codice = prendi(fd);
        if (codice == 0 && ancora_al_suo_posto(fd, nome)) {
          fd_ = fd;
          maniglia_ = new Tenuto{nome, DaRimuovere(nome)};
          return;
        }
        ::close(fd);
        if (codice == 0) continue;
        if (codice == EACCES) codice = EAGAIN;
        if (codice != EAGAIN && codice != EINTR) rifiuta(codice);
      }
    }
    if (std::chrono::steady_clock::now() >= limite) rifiuta(EAGAIN);
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
  if (fd_ < 0) return;
  // Deleted while still held, so that no one takes a lock on it afterwards
  // believing it the folder's; closing the handle releases the lock.
  // No longer removed on interruption first: once deleted, the name may be
  // another run's.
  auto* tenuto = static_cast<Tenuto*>(maniglia_);
  SegnaliSospesi sospesi;
  tenuto->rimozione.rilascia();
  ::unlink(tenuto->nome.c_str());
  delete tenuto;
  ::close(fd_);
}

}  // namespace scenario

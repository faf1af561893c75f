#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/guasti_prova.h"
#include "platform/pulizia.h"
#include "platform/scrittura.h"
#include "platform/scrittura_sistema.h"
#include "platform/temporaneo.h"

namespace scenario {

// The reasons an author meets most, in the language of every other
// message; the system's own text for the rest.
std::string motivo_errno(int codice) {
  switch (codice) {
    case ENOENT: return "file o cartella inesistente";
    case EACCES: return "permesso negato";
    case EPERM: return "operazione non permessa";
    case ENOSPC: return "spazio esaurito sul dispositivo";
    case EDQUOT: return "quota del disco superata";
    case EROFS: return "file system di sola lettura";
    case EEXIST: return "il file esiste gia'";
    case ENOTDIR: return "non e' una cartella";
    case EISDIR: return "e' una cartella";
    case ENAMETOOLONG: return "nome troppo lungo";
    case EMFILE: return "troppi file aperti dal programma";
    case ENFILE: return "troppi file aperti nel sistema";
    case ELOOP: return "troppi collegamenti simbolici";
    case EIO: return "errore di ingresso/uscita";
    case EBUSY: return "dispositivo o risorsa occupata";
    case EFBIG: return "file troppo grande";
    case ENOTEMPTY: return "cartella non vuota";
    case ENOMEM: return "memoria esaurita";
    case EINVAL: return "argomento non valido";
    default: return std::strerror(codice);
  }
}

std::string motivo_codice(const std::error_code& ec) {
  if (ec.category() == std::generic_category() || ec.category() == std::system_category()) {
    return motivo_errno(ec.value());
  }
  return ec.message();
}

namespace {

[[noreturn]] void fallisci(const std::filesystem::path& finale, int codice) {
  throw GuastoPiattaforma(finale, motivo_errno(codice));
}

std::minstd_rand& generatore() {
  static std::minstd_rand g(
      static_cast<unsigned>(getpid()) ^ std::random_device{}() ^
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return g;
}

// Creates a new file beside `finale`, never opening one that exists. The
// name is held for removal from the moment the file exists.
int crea_temporaneo(const std::filesystem::path& finale, std::filesystem::path* temp,
                    DaRimuovere* rimozione, mode_t modo) {
  installa_pulizia();
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    *temp = nome_casuale(finale.parent_path(), generatore());
    SegnaliSospesi sospesi;
    const int fd =
        ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, modo);
    if (fd >= 0) {
      *rimozione = DaRimuovere(*temp);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

// 0, or the errno of the write that failed.
int scrivi_tutto(int fd, size_t posizione, std::string_view bytes) {
  size_t scritti = 0;
  while (scritti < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + scritti, bytes.size() - scritti,
                               static_cast<off_t>(posizione + scritti));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    scritti += static_cast<size_t>(n);
  }
  return 0;
}

// 0, or the errno of a flush that failed: the file's bytes and size on
// the disk.
int consolida(int fd, const std::filesystem::path& finale) {
  if (const int e = guasto_di_prova(Chiamata::flush, finale); e != 0) return e;
#ifdef __linux__
  while (::fdatasync(fd) != 0) {
#else
  while (::fsync(fd) != 0) {
#endif
    if (errno != EINTR) return errno;
  }
  return 0;
}

// The reason of a step that failed with `codice`, or none.
sistema::Motivo motivo_di(int codice) {
  return codice == 0 ? sistema::Motivo{} : motivo_errno(codice);
}

}  // namespace

// A folder under the final name, an immutable or append-only file, a mount
// point.
bool sistema::controlla_sostituibile(const std::filesystem::path& finale) {
  struct stat st {};
  if (::lstat(finale.c_str(), &st) != 0) {
    if (errno == ENOENT) return false;
    fallisci(finale, errno);
  }
  if (S_ISDIR(st.st_mode)) fallisci(finale, EISDIR);
#if defined(__linux__) && defined(STATX_ATTR_IMMUTABLE)
  struct statx sx {};
  if (::statx(AT_FDCWD, finale.c_str(), AT_SYMLINK_NOFOLLOW, 0, &sx) == 0) {
    const auto attributo = [&sx](uint64_t a) {
      return (sx.stx_attributes_mask & a) != 0 && (sx.stx_attributes & a) != 0;
    };
    if (attributo(STATX_ATTR_IMMUTABLE) || attributo(STATX_ATTR_APPEND)) fallisci(finale, EPERM);
#ifdef STATX_ATTR_MOUNT_ROOT
    if (attributo(STATX_ATTR_MOUNT_ROOT)) fallisci(finale, EBUSY);
#endif
  }
#endif
  return true;
}

sistema::Scambio sistema::scambia(const std::filesystem::path& a, const std::filesystem::path& b,
                                  Motivo* motivo) {
  if (const int e = guasto_di_prova(Chiamata::scambio, b); e != 0) {
    if (e == EINVAL) return Scambio::mancante;
    *motivo = motivo_errno(e);
    return Scambio::fallito;
  }
#ifdef RENAME_EXCHANGE
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) {
    return Scambio::fatto;
  }
  if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) return Scambio::mancante;
  *motivo = motivo_errno(errno);
  return Scambio::fallito;
#else
  (void)a;
  (void)motivo;
  return Scambio::mancante;
#endif
}

// rename() replaces a symbolic link itself, never the file it points to.
sistema::Motivo sistema::rinomina(const std::filesystem::path& da, const std::filesystem::path& a) {
  // The step is about the final name of the two, a temporary one aside.
  const bool verso_temporaneo = nome_temporaneo(a.filename().string());
  if (const int e = guasto_di_prova(Chiamata::rinomina, verso_temporaneo ? da : a); e != 0) {
    return motivo_errno(e);
  }
  return motivo_di(::rename(da.c_str(), a.c_str()) == 0 ? 0 : errno);
}

sistema::Motivo sistema::elimina(const std::filesystem::path& percorso) {
  if (const int e = guasto_di_prova(Chiamata::eliminazione, percorso); e != 0) {
    return motivo_errno(e);
  }
  return motivo_di(::unlink(percorso.c_str()) == 0 || errno == ENOENT ? 0 : errno);
}

sistema::Motivo sistema::consolida_cartella(const std::filesystem::path& cartella) {
  if (const int e = guasto_di_prova(Chiamata::flush, cartella); e != 0) return motivo_errno(e);
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return motivo_errno(errno);
  int codice = 0;
  while (::fsync(fd) != 0) {
    if (errno == EINTR) continue;
    // A folder that cannot be flushed at all (some file systems) holds its
    // names as the system keeps them; that is no failure of this run.
    if (errno != EINVAL && errno != ENOTSUP) codice = errno;
    break;
  }
  ::close(fd);
  return motivo_di(codice);
}

std::filesystem::path sistema::nome_libero(const std::filesystem::path& accanto) {
  struct stat st {};
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    std::filesystem::path p = nome_casuale(accanto.parent_path(), generatore());
    if (::lstat(p.c_str(), &st) != 0 && errno == ENOENT) return p;
  }
  fallisci(accanto, EEXIST);
}

size_t limite_nome(const std::filesystem::path& cartella) {
  errno = 0;
  const long n = ::pathconf(cartella.c_str(), _PC_NAME_MAX);
  if (n > 0) return static_cast<size_t>(n);
  if (errno != 0) fallisci(cartella, errno);
  return NAME_MAX;  // no limit of its own
}

InsiemeFile::InsiemeFile(bool durevole) : durevole_(durevole) {
  // Past a file-size limit, write() should fail with EFBIG, not kill us.
  static const bool ignora_sigxfsz = (std::signal(SIGXFSZ, SIG_IGN), true);
  (void)ignora_sigxfsz;
}

void InsiemeFile::aggiungi(const std::filesystem::path& finale,
                           const std::function<void(const ScriviA&)>& produci, bool eseguibile) {
  auto v = std::make_unique<Voce>();
  v->finale = finale;
  const int fd = crea_temporaneo(finale, &v->temp, &v->rimozione, eseguibile ? 0755 : 0644);
  if (fd < 0) fallisci(finale, errno);
  try {
    produci([fd, &finale](size_t posizione, std::string_view bytes) {
      if (const int codice = scrivi_tutto(fd, posizione, bytes); codice != 0) {
        fallisci(finale, codice);
      }
    });
    if (durevole_) {
      if (const int codice = consolida(fd, finale); codice != 0) fallisci(finale, codice);
    }
  } catch (...) {
    ::close(fd);
    ::unlink(v->temp.c_str());
    throw;
  }
  if (::close(fd) != 0) {
    const int codice = errno;
    ::unlink(v->temp.c_str());
    fallisci(finale, codice);
  }
  voci_.push_back(std::move(v));
}

}  // namespace scenario

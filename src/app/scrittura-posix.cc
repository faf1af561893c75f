#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <random>

#include "app/pulizia.h"
#include "app/scrittura.h"
#include "app/temporaneo.h"

namespace scenario {

namespace {

[[noreturn]] void fallisci(const std::filesystem::path& finale, int codice) {
  throw GuastoPiattaforma(finale, motivo_errno(codice));
}

// Creates a new file beside `finale`, never opening one that exists. The
// name is held for removal from the moment the file exists.
int crea_temporaneo(const std::filesystem::path& finale, std::filesystem::path* temp,
                    DaRimuovere* rimozione, mode_t modo) {
  static std::minstd_rand generatore(
      static_cast<unsigned>(getpid()) ^ std::random_device{}() ^
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  installa_pulizia();
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    *temp = nome_casuale(finale.parent_path(), generatore);
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

// What would stop a rename over `finale`, found before any rename: a folder
// under its name, an immutable or append-only file, a mount point. False
// when there is no file of that name.
bool controlla_sostituibile(const std::filesystem::path& finale) {
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

// Puts `temp` under the name `finale`. Where the file system can swap two
// names in one step, an older file goes to the temporary name, so that it
// can be put back; true when it did.
bool rinomina(const std::filesystem::path& temp, const std::filesystem::path& finale, bool esiste) {
#ifdef RENAME_EXCHANGE
  if (esiste) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, finale.c_str(), RENAME_EXCHANGE) == 0) {
      return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOENT && errno != ENOTSUP) {
      fallisci(finale, errno);
    }
  }
#else
  (void)esiste;
#endif
  // rename() replaces a symbolic link itself, never the file it points to.
  if (::rename(temp.c_str(), finale.c_str()) != 0) fallisci(finale, errno);
  return false;
}

}  // namespace

size_t limite_nome(const std::filesystem::path& cartella) {
  errno = 0;
  const long n = ::pathconf(cartella.c_str(), _PC_NAME_MAX);
  if (n > 0) return static_cast<size_t>(n);
  if (errno != 0) fallisci(cartella, errno);
  return NAME_MAX;  // no limit of its own
}

struct InsiemeFile::Voce {
  std::filesystem::path finale;
  std::filesystem::path temp;
  DaRimuovere rimozione;
  bool esiste = false;     // an older file was there before the rename
  bool scambiato = false;  // the older file now sits under the temporary name
  bool rinominato = false;
};

InsiemeFile::InsiemeFile() {
  // Past a file-size limit, write() should fail with EFBIG, not kill us.
  static const bool ignora_sigxfsz = (std::signal(SIGXFSZ, SIG_IGN), true);
  (void)ignora_sigxfsz;
}

InsiemeFile::~InsiemeFile() {
  for (const auto& v : voci_) ::unlink(v->temp.c_str());
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

void InsiemeFile::sostituisci() {
  for (const auto& v : voci_) v->esiste = controlla_sostituibile(v->finale);
  {
    // The renames run as one: an interruption waits for the last of them.
    SegnaliSospesi sospesi;
    for (size_t i = 0; i < voci_.size(); ++i) {
      Voce& v = *voci_[i];
      try {
        v.scambiato = rinomina(v.temp, v.finale, v.esiste);
        v.rinominato = true;
      } catch (const GuastoPiattaforma&) {
        // Put back what this set has replaced so far, where it can be.
        for (size_t k = i; k-- > 0;) {
          Voce& w = *voci_[k];
#ifdef RENAME_EXCHANGE
          if (w.scambiato) {
            ::renameat2(AT_FDCWD, w.temp.c_str(), AT_FDCWD, w.finale.c_str(), RENAME_EXCHANGE);
            continue;
          }
#endif
          if (!w.esiste) {
            ::rename(w.finale.c_str(), w.temp.c_str());
          }
        }
        throw;
      }
    }
  }
  // The temporary names now hold the older files, or nothing.
  for (const auto& v : voci_) ::unlink(v->temp.c_str());
  voci_.clear();
}

}  // namespace scenario

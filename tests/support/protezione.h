// A file or folder that the programs may not change, made in the first way
// this machine allows, so that the fault tests run wherever they can:
//  - the immutable attribute (chattr +i), which stops even root: EPERM;
//  - as root without it (a container without the capability, a file system
//    without the attribute), a read-only bind mount over it, in a mount
//    namespace of the test process's own: EROFS for what is made inside a
//    folder, EBUSY for a rename over a file;
//  - not root: a folder without write permission, EACCES (a single file
//    cannot be kept from a rename over it that way).
// SCENARIO_PROVA_PROTEZIONE=chattr, montaggio or permessi picks one, so that
// each way can be tried on one machine.
#ifndef SCENARIO_TESTS_SUPPORT_PROTEZIONE_H_
#define SCENARIO_TESTS_SUPPORT_PROTEZIONE_H_

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/scrittura.h"

namespace scenario::test {

// Moves the test process into a mount namespace of its own (once): mounts
// made afterwards are seen by it and the programs it starts, by nothing
// outside, and go with it. 0, or the errno that stopped it.
inline int spazio_di_montaggio_privato() {
  static const int esito = [] {
    if (unshare(CLONE_NEWNS) != 0) return errno;
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return errno;
    return 0;
  }();
  return esito;
}

class Protezione {
 public:
  explicit Protezione(std::filesystem::path p) : p_(std::move(p)) {
    const char* scelta = std::getenv("SCENARIO_PROVA_PROTEZIONE");
    const std::string modo = scelta != nullptr ? scelta : "";
    const bool cartella = std::filesystem::is_directory(p_);
    const auto prova = [&modo](const char* questo) { return modo.empty() || modo == questo; };
    std::string tentati;
    if (prova("chattr")) {
      if (chattr("+i")) {
        come_ = Come::attributo;
        errno_ = EPERM;
        return;
      }
      tentati += "chattr +i failed";
    }
    if (prova("montaggio")) {
      if (geteuid() == 0 && monta()) {
        come_ = Come::montaggio;
        errno_ = cartella ? EROFS : EBUSY;
        return;
      }
      tentati += std::string(tentati.empty() ? "" : "; ") +
                 "read-only bind mount: " + (geteuid() == 0 ? perche_mount_ : "not root");
    }
    if (prova("permessi")) {
      if (geteuid() != 0 && cartella) {
        std::filesystem::permissions(p_,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
        come_ = Come::permessi;
        errno_ = EACCES;
        return;
      }
      tentati += std::string(tentati.empty() ? "" : "; ") + "permission bits: " +
                 (cartella ? "root passes them" : "they do not stop a rename over a file");
    }
    perche_no_ = "cannot protect " + p_.filename().string() + " here (" + tentati + ")";
    if (!modo.empty()) perche_no_ += ", SCENARIO_PROVA_PROTEZIONE=" + modo;
  }
  ~Protezione() {
    switch (come_) {
      case Come::attributo: chattr("-i"); break;
      case Come::montaggio: umount2(p_.c_str(), MNT_DETACH); break;
      case Come::permessi:
        std::filesystem::permissions(p_, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        break;
      case Come::nessuno: break;
    }
  }
  Protezione(const Protezione&) = delete;
  Protezione& operator=(const Protezione&) = delete;

  bool attiva() const { return come_ != Come::nessuno; }
  // Why it could not be made, for the test's skip message.
  const std::string& perche_no() const { return perche_no_; }
  // What the system answers a program that tries to change it.
  int errno_atteso() const { return errno_; }
  std::string motivo_atteso() const { return scenario::motivo_errno(errno_); }

 private:
  enum class Come { nessuno, attributo, montaggio, permessi };

  bool chattr(const char* come) const {
    const std::string c = std::string("chattr ") + come + " '" + p_.string() + "' 2>/dev/null";
    return std::system(c.c_str()) == 0;
  }

  bool monta() {
    if (const int spazio = spazio_di_montaggio_privato(); spazio != 0) {
      perche_mount_ = std::string("unshare: ") + std::strerror(spazio);
      return false;
    }
    if (mount(p_.c_str(), p_.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      perche_mount_ = std::string("mount --bind: ") + std::strerror(errno);
      return false;
    }
    if (mount(nullptr, p_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      perche_mount_ = std::string("mount -o remount,ro: ") + std::strerror(errno);
      umount2(p_.c_str(), MNT_DETACH);
      return false;
    }
    return true;
  }

  std::filesystem::path p_;
  Come come_ = Come::nessuno;
  int errno_ = 0;
  std::string perche_no_;
  std::string perche_mount_;
};

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_PROTEZIONE_H_

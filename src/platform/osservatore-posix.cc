#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/guasto.h"
#include "platform/osservatore.h"
#include "platform/pulizia.h"

namespace scenario {

namespace {

// Written by the signal handler: one byte wakes the wait.
int tubo_segnali[2] = {-1, -1};

void segnale_arrivato(int) {
  const int salvato = errno;
  const char b = 1;
  [[maybe_unused]] const ssize_t n = ::write(tubo_segnali[1], &b, 1);
  errno = salvato;
}

}  // namespace

struct OsservatoreCartella::Stato {
  int inotify = -1;
  bool interrotto = false;
};

OsservatoreCartella::OsservatoreCartella(const std::filesystem::path& dir) : s_(std::make_unique<Stato>()) {
  s_->inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (s_->inotify < 0) throw GuastoPiattaforma(dir, std::strerror(errno), "osservare");
  if (inotify_add_watch(s_->inotify, dir.c_str(),
                        IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE) < 0) {
    const int e = errno;
    ::close(s_->inotify);
    throw GuastoPiattaforma(dir, std::strerror(e), "osservare");
  }
  if (tubo_segnali[0] < 0 && ::pipe2(tubo_segnali, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int e = errno;
    ::close(s_->inotify);
    throw GuastoPiattaforma(dir, std::strerror(e), "osservare");
  }
  // The cleanup's handlers are put in first, so that no run of the compile
  // puts them back over ours: a Ctrl+C during a run waits for it to end,
  // and the run removes its own temporary files.
  installa_pulizia();
  struct sigaction a {};
  a.sa_handler = segnale_arrivato;
  sigemptyset(&a.sa_mask);
  a.sa_flags = SA_RESTART;
  sigaction(SIGINT, &a, nullptr);
  sigaction(SIGTERM, &a, nullptr);
}

OsservatoreCartella::~OsservatoreCartella() { ::close(s_->inotify); }

std::optional<std::vector<Cambio>> OsservatoreCartella::attendi(int millisecondi) {
  if (s_->interrotto) return std::nullopt;
  pollfd pp[2] = {{s_->inotify, POLLIN, 0}, {tubo_segnali[0], POLLIN, 0}};
  const int n = ::poll(pp, 2, millisecondi < 0 ? -1 : millisecondi);
  if (n < 0 && errno != EINTR) throw GuastoPiattaforma("inotify", std::strerror(errno), "osservare");
  if (pp[1].revents & POLLIN) {
    s_->interrotto = true;
    return std::nullopt;
  }
  std::vector<Cambio> cc;
  if (n <= 0 || !(pp[0].revents & POLLIN)) return cc;
  alignas(inotify_event) char buf[16384];
  for (;;) {
    const ssize_t letti = ::read(s_->inotify, buf, sizeof buf);
    if (letti <= 0) break;
    for (ssize_t i = 0; i < letti;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buf + i);
      if (e->len > 0) {
        cc.push_back({e->name, (e->mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE)) != 0});
      }
      i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
  return cc;
}

}  // namespace scenario

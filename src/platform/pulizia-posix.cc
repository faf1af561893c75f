#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/pulizia.h"
#include "platform/pulizia_registro.h"

namespace scenario {

namespace {

constexpr int kSegnali[] = {SIGINT, SIGTERM, SIGHUP};

// Removes the names held, then lets the signal end the process as it would
// have without us (the handler is reset to the default as it runs).
void gestore(int segnale) {
  const int salvato = errno;
  registro::rimuovi_tutti();
  raise(segnale);
  errno = salvato;
}

sigset_t insieme_segnali() {
  sigset_t s;
  sigemptyset(&s);
  for (const int segnale : kSegnali) sigaddset(&s, segnale);
  return s;
}

}  // namespace

void registro::rimuovi(const char* nome) { ::unlink(nome); }

void installa_pulizia() {
  static bool installata = false;
  if (installata) return;
  installata = true;
  for (const int segnale : kSegnali) {
    struct sigaction prima {};
    if (sigaction(segnale, nullptr, &prima) != 0) continue;
    // A signal ignored by whoever started us (nohup) stays ignored.
    if (prima.sa_handler == SIG_IGN) continue;
    struct sigaction nuova {};
    nuova.sa_handler = gestore;
    sigfillset(&nuova.sa_mask);
    nuova.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigaction(segnale, &nuova, nullptr);
  }
}

SegnaliSospesi::SegnaliSospesi() {
  const sigset_t s = insieme_segnali();
  sigprocmask(SIG_BLOCK, &s, &salvati_);
}

SegnaliSospesi::~SegnaliSospesi() { sigprocmask(SIG_SETMASK, &salvati_, nullptr); }

}  // namespace scenario

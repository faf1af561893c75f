// What a run removes if it is interrupted (SIGINT, SIGTERM or SIGHUP; Ctrl+C
// or the console closing on Windows): the temporary file being written and
// the sources it wrote. The handler only unlinks names prepared beforehand,
// so it does nothing that is unsafe inside a signal handler.
#ifndef SCENARIO_PLATFORM_PULIZIA_H_
#define SCENARIO_PLATFORM_PULIZIA_H_

#include <filesystem>

#ifndef _WIN32
#include <signal.h>
#endif

namespace scenario {

// Installs the handlers once; later calls do nothing.
void installa_pulizia();

// A name removed if the process is interrupted while the object lives.
// Throws std::length_error when too many names are held at once.
class DaRimuovere {
 public:
  DaRimuovere() = default;
  explicit DaRimuovere(const std::filesystem::path& percorso);
  ~DaRimuovere() { rilascia(); }
  DaRimuovere(DaRimuovere&& altro) noexcept : posto_(altro.posto_) { altro.posto_ = -1; }
  DaRimuovere& operator=(DaRimuovere&& altro) noexcept;
  DaRimuovere(const DaRimuovere&) = delete;
  DaRimuovere& operator=(const DaRimuovere&) = delete;

  // The name is no longer removed on interruption.
  void rilascia();

 private:
  int posto_ = -1;
};

// Holds back SIGINT, SIGTERM and SIGHUP while it lives, so that a few steps
// run as one; a signal that came meanwhile acts when it ends.
class SegnaliSospesi {
 public:
  SegnaliSospesi();
  ~SegnaliSospesi();
  SegnaliSospesi(const SegnaliSospesi&) = delete;
  SegnaliSospesi& operator=(const SegnaliSospesi&) = delete;

 private:
#ifndef _WIN32
  sigset_t salvati_;  // the mask before
#endif
};

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_PULIZIA_H_

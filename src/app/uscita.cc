#include "app/uscita.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <optional>

#include "app/avvio.h"
#include "app/scrittura.h"

namespace scenario {

namespace {

constexpr char kNomeUscita[] = "standard output";

// The errno of a failed write to the stream, once flushed.
std::optional<int> guasto(std::FILE* f, std::ostream& o) {
#ifdef _WIN32
  // A desktop program has no console: there is nothing to check.
  if (_fileno(f) < 0) return std::nullopt;
#endif
  errno = 0;
  o.flush();
  const int dopo_flusso = errno;
  if (std::fflush(f) == 0 && !std::ferror(f) && o.good()) return std::nullopt;
  if (dopo_flusso != 0) return dopo_flusso;
  return errno != 0 ? errno : EIO;
}

}  // namespace

void controlla_uscita() {
  if (const auto e = guasto(stdout, std::cout)) {
    throw GuastoPiattaforma(kNomeUscita, motivo_errno(*e));
  }
}

int stato_finale(int stato) {
  if (const auto e = guasto(stdout, std::cout)) {
    std::cerr << GuastoPiattaforma(kNomeUscita, motivo_errno(*e)).what() << std::endl;
    return uscita_guasto;
  }
  if (guasto(stderr, std::cerr)) return uscita_guasto;
  return stato;
}

}  // namespace scenario

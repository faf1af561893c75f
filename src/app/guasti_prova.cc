#include "app/guasti_prova.h"

#ifdef SCENARIO_TEST_HOOKS

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace scenario {

namespace {

const char* tipo(Chiamata c) {
  switch (c) {
    case Chiamata::lettura: return "lettura";
    case Chiamata::eliminazione: return "eliminazione";
    case Chiamata::flush: return "flush";
    default: return "rinomina";
  }
}

struct Regole {
  long numero = 0;  // the call to fail, 0 for none
  int codice = 0;
  bool senza_scambio = false;
  const char* traccia = nullptr;
};

Regole leggi_regole() {
  Regole r;
  if (const char* g = std::getenv("SCENARIO_PROVA_GUASTO")) {
    char* fine = nullptr;
    r.numero = std::strtol(g, &fine, 10);
    r.codice = *fine == ':' ? static_cast<int>(std::strtol(fine + 1, nullptr, 10)) : EIO;
  }
  const char* s = std::getenv("SCENARIO_PROVA_SENZA_SCAMBIO");
  r.senza_scambio = s != nullptr && std::string(s) == "1";
  r.traccia = std::getenv("SCENARIO_PROVA_TRACCIA");
  return r;
}

}  // namespace

int guasto_di_prova(Chiamata chiamata, const std::filesystem::path& percorso) {
  static const Regole regole = leggi_regole();
  static long contate = 0;
  if (chiamata == Chiamata::scambio && regole.senza_scambio) return EINVAL;
  const long n = ++contate;
  if (regole.traccia != nullptr) {
    if (std::FILE* f = std::fopen(regole.traccia, "a")) {
      std::fprintf(f, "%ld %s %s\n", n, tipo(chiamata), percorso.string().c_str());
      std::fclose(f);
    }
  }
  return n == regole.numero ? regole.codice : 0;
}

}  // namespace scenario

#endif  // SCENARIO_TEST_HOOKS

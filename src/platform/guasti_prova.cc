#include "platform/guasti_prova.h"

#ifdef SCENARIO_TEST_HOOKS

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
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
  std::map<long, int> guasti;  // the calls to fail, and their errno
  bool senza_scambio = false;
  const char* traccia = nullptr;
};

Regole leggi_regole() {
  Regole r;
  if (const char* g = std::getenv("SCENARIO_PROVA_GUASTO")) {
    for (const char* p = g; *p != '\0';) {
      char* fine = nullptr;
      const long n = std::strtol(p, &fine, 10);
      int e = EIO;
      if (*fine == ':') e = static_cast<int>(std::strtol(fine + 1, &fine, 10));
      r.guasti[n] = e;
      if (*fine != ',') break;
      p = fine + 1;
    }
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
  const auto guasto = regole.guasti.find(n);
  return guasto == regole.guasti.end() ? 0 : guasto->second;
}

}  // namespace scenario

#endif  // SCENARIO_TEST_HOOKS

#include "views/quadro.h"

#include <cstdio>

#include "model/modello.h"

namespace scenario::disegno {

std::string intero(int64_t v) { return std::to_string(v); }

std::string metri(int64_t m) {
  std::string cifre = std::to_string(m < 0 ? -m : m);
  std::string r;
  for (size_t i = 0; i < cifre.size(); ++i) {
    if (i > 0 && (cifre.size() - i) % 3 == 0) r += "\u202F";
    r += cifre[i];
  }
  return (m < 0 ? "-" : "") + r + " m";
}

std::string orario(int32_t secondi) {
  if (secondi < 0) return intero(secondi) + " s";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secondi / 3600, secondi / 60 % 60, secondi % 60);
  return buf;
}

std::string dove(size_t cella) {
  return "cella " + std::to_string(cella) + " (" +
         metri(static_cast<int64_t>(cella) * kMetriCella) + ")";
}

int64_t passo_km(double per_km, double minimo) {
  for (int64_t dieci = 1; dieci <= 10000000; dieci *= 10) {
    for (const int64_t f : {1, 2, 5}) {
      if (static_cast<double>(f * dieci) * per_km >= minimo) return f * dieci;
    }
  }
  return 10000000;
}

}  // namespace scenario::disegno

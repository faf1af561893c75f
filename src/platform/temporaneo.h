// Inside the writers: a fresh temporary name beside a final file.
#ifndef SCENARIO_PLATFORM_TEMPORANEO_H_
#define SCENARIO_PLATFORM_TEMPORANEO_H_

#include <filesystem>
#include <random>
#include <string>

#include "platform/scrittura.h"

namespace scenario {

// ".scenario." and six random letters or digits, in `cartella`.
template <typename Generatore>
std::filesystem::path nome_casuale(const std::filesystem::path& cartella, Generatore& g) {
  static constexpr char kSimboli[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<size_t> scelta(0, sizeof kSimboli - 2);
  std::string nome(kPrefissoTemporaneo);
  while (nome.size() < kLunghezzaTemporaneo) nome += kSimboli[scelta(g)];
  return cartella / nome;
}

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_TEMPORANEO_H_

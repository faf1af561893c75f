#include "platform/pulizia.h"

#include <array>
#include <atomic>
#include <cstring>
#include <stdexcept>

#include "platform/pulizia_registro.h"

namespace scenario {

namespace registro {

namespace {

using Carattere = std::filesystem::path::value_type;

// A run holds a handful of names at once: the temporary files of one set
// and the two sources.
std::array<std::atomic<const Carattere*>, 32> posti;

}  // namespace

void rimuovi_tutti() {
  for (auto& posto : posti) {
    if (const Carattere* nome = posto.load()) rimuovi(nome);
  }
}

}  // namespace registro

DaRimuovere::DaRimuovere(const std::filesystem::path& percorso) {
  installa_pulizia();
  const auto& nativo = percorso.native();
  auto* copia = new registro::Carattere[nativo.size() + 1];
  std::memcpy(copia, nativo.c_str(), (nativo.size() + 1) * sizeof(registro::Carattere));
  for (size_t i = 0; i < registro::posti.size(); ++i) {
    const registro::Carattere* vuoto = nullptr;
    if (registro::posti[i].compare_exchange_strong(vuoto, copia)) {
      posto_ = static_cast<int>(i);
      return;
    }
  }
  delete[] copia;
  throw std::length_error("too many files held for removal at once");
}

DaRimuovere& DaRimuovere::operator=(DaRimuovere&& altro) noexcept {
  if (this != &altro) {
    rilascia();
    posto_ = altro.posto_;
    altro.posto_ = -1;
  }
  return *this;
}

void DaRimuovere::rilascia() {
  if (posto_ < 0) return;
  delete[] registro::posti[static_cast<size_t>(posto_)].exchange(nullptr);
  posto_ = -1;
}

}  // namespace scenario

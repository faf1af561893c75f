#include "tests/support/cartella.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace scenario::test {

namespace fs = std::filesystem;

CartellaProva::CartellaProva() {
  static std::atomic<unsigned> contatore{0};
  std::random_device casuale;
  std::u8string nome = u8"prova_città_";
  for (const char c : std::to_string(casuale()) + "_" + std::to_string(++contatore)) {
    nome += static_cast<char8_t>(c);
  }
  percorso_ = fs::temp_directory_path() / fs::path(nome);
  fs::create_directories(percorso_);
}

CartellaProva::~CartellaProva() {
  std::error_code ec;
  fs::remove_all(percorso_, ec);
}

void CartellaProva::svuota() const {
  for (const auto& voce : fs::directory_iterator(percorso_)) fs::remove_all(voce.path());
}

std::string come_argomento(const fs::path& p) {
#ifdef _WIN32
  const std::wstring w = p.wstring();
  const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string r(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), r.data(), n, nullptr,
                      nullptr);
  return r;
#else
  return p.string();
#endif
}

std::vector<std::string> nomi(const fs::path& cartella) {
  std::vector<std::string> r;
  std::error_code ec;
  for (const auto& voce : fs::directory_iterator(cartella, ec)) {
    r.push_back(voce.path().filename().string());
  }
  std::sort(r.begin(), r.end());
  return r;
}

std::string leggi(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void scrivi(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

}  // namespace scenario::test

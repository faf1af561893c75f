// Test helper: a fresh folder of its own for each test, with a non-ASCII
// letter in its name, removed afterwards.
#ifndef SCENARIO_APP_CARTELLA_PROVA_H_
#define SCENARIO_APP_CARTELLA_PROVA_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace scenario::prova {

class CartellaProva {
 public:
  CartellaProva() {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::random_device casuale;
    std::u8string nome = u8"prova_città_";
    for (const char c : test) {
      nome += static_cast<char8_t>(std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    }
    nome += u8'_';
    for (const char c : std::to_string(casuale())) nome += static_cast<char8_t>(c);
    percorso_ = std::filesystem::temp_directory_path() / std::filesystem::path(nome);
    std::filesystem::create_directories(percorso_);
  }
  ~CartellaProva() {
    std::error_code ec;
    std::filesystem::remove_all(percorso_, ec);
  }
  CartellaProva(const CartellaProva&) = delete;
  CartellaProva& operator=(const CartellaProva&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

// The names in a folder, sorted; none when it does not exist.
inline std::vector<std::string> nomi(const std::filesystem::path& cartella) {
  std::vector<std::string> r;
  std::error_code ec;
  for (const auto& voce : std::filesystem::directory_iterator(cartella, ec)) {
    r.push_back(voce.path().filename().string());
  }
  std::sort(r.begin(), r.end());
  return r;
}

inline std::string leggi(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void scrivi(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

}  // namespace scenario::prova

#endif  // SCENARIO_APP_CARTELLA_PROVA_H_

// Test helpers: a fresh folder removed at the end, and whole-file reads.
#ifndef SCENARIO_APP_TESTING_CARTELLA_TEMPORANEA_H_
#define SCENARIO_APP_TESTING_CARTELLA_TEMPORANEA_H_

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace scenario::testing {

class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("scenario_test_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~CartellaTemporanea() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // The names in the folder, sorted.
  std::vector<std::string> nomi() const {
    std::vector<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(path_)) {
      n.push_back(e.path().filename().string());
    }
    std::sort(n.begin(), n.end());
    return n;
  }

 private:
  std::filesystem::path path_;
};

inline std::string contenuto(const std::filesystem::path& f) {
  std::ifstream in(f, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void scrivi(const std::filesystem::path& f, const std::string& bytes) {
  std::ofstream(f, std::ios::binary) << bytes;
}

}  // namespace scenario::testing

#endif  // SCENARIO_APP_TESTING_CARTELLA_TEMPORANEA_H_

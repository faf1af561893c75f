#include "compiler/archivio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>

namespace scenario {
namespace {

namespace fs = std::filesystem;

// A fresh folder of the test's own, removed afterwards.
class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("archivio_test_" + std::to_string(rd()));
    fs::create_directories(path_);
  }
  ~CartellaTemporanea() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void scrivi(const fs::path& f, const std::string& bytes) {
  std::ofstream(f, std::ios::binary) << bytes;
}

// A source is read whole and byte for byte, whatever bytes it holds.
TEST(ArchivioCartella, ReadsEveryByte) {
  CartellaTemporanea dir;
  const std::string vari("a,\r\nb\0c\r\xB0\n", 11);
  const std::string grande(3 * 1024 * 1024 + 7, 'x');
  const std::pair<const char*, std::string> casi[] = {
      {"vuoto.txt", ""}, {"vari.txt", vari}, {"grande.txt", grande}};
  ArchivioCartella archivio(dir.path());
  for (const auto& [nome, bytes] : casi) {
    scrivi(dir.path() / nome, bytes);
    EXPECT_EQ(archivio.leggi(nome), bytes) << nome;
  }
}

TEST(ArchivioCartella, MissingFileAndDeletion) {
  CartellaTemporanea dir;
  ArchivioCartella archivio(dir.path());
  EXPECT_FALSE(archivio.esiste("manca.txt"));
  EXPECT_THROW(archivio.leggi("manca.txt"), std::runtime_error);
  scrivi(dir.path() / "c.txt", "x");
  EXPECT_TRUE(archivio.esiste("c.txt"));
  archivio.elimina("c.txt");
  EXPECT_FALSE(archivio.esiste("c.txt"));
  archivio.elimina("c.txt");  // gone already: nothing to do
}

}  // namespace
}  // namespace scenario

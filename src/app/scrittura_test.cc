#include "app/scrittura.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/testing/cartella_temporanea.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::CartellaTemporanea;
using testing::contenuto;

TEST(ScriviFile, CreatesAndReplacesWhole) {
  CartellaTemporanea dir;
  const fs::path f = dir.path() / "a.dat";
  scrivi_file(f, "lungo contenuto di prima");
  EXPECT_EQ(contenuto(f), "lungo contenuto di prima");
  scrivi_file(f, "ab");
  EXPECT_EQ(contenuto(f), "ab");
  scrivi_file(f, std::string("\0\r\n", 3));
  EXPECT_EQ(contenuto(f), std::string("\0\r\n", 3));
  EXPECT_EQ(dir.nomi(), std::vector<std::string>{"a.dat"}) << "no temporary file is left";
}

TEST(ScriviFile, ReplacesASymbolicLinkWithoutFollowingIt) {
  CartellaTemporanea dir;
  const fs::path bersaglio = dir.path() / "altrove.txt";
  scrivi_file(bersaglio, "da non toccare");
  fs::create_symlink(bersaglio, dir.path() / "a.dat");
  scrivi_file(dir.path() / "a.dat", "nuovo");
  EXPECT_FALSE(fs::is_symlink(dir.path() / "a.dat"));
  EXPECT_EQ(contenuto(dir.path() / "a.dat"), "nuovo");
  EXPECT_EQ(contenuto(bersaglio), "da non toccare");
}

TEST(ScriviFile, FailureNamesTheFileAndLeavesNothingBehind) {
  CartellaTemporanea dir;
  // A directory under the final name cannot be replaced by a file.
  fs::create_directory(dir.path() / "a.dat");
  fs::path nel_dir = dir.path() / "a.dat" / "dentro";
  scrivi_file(nel_dir, "resta");
  try {
    scrivi_file(dir.path() / "a.dat", "x");
    FAIL() << "a directory was replaced";
  } catch (const GuastoPiattaforma& g) {
    EXPECT_EQ(g.file(), dir.path() / "a.dat");
    EXPECT_NE(std::string(g.what()).find("a.dat"), std::string::npos);
  }
  EXPECT_EQ(contenuto(nel_dir), "resta");
  EXPECT_EQ(dir.nomi(), std::vector<std::string>{"a.dat"});
  // A folder that does not exist.
  EXPECT_THROW(scrivi_file(dir.path() / "manca" / "b.dat", "x"), GuastoPiattaforma);
}

}  // namespace
}  // namespace scenario

#include "app/scrittura.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/cartella.h"

namespace scenario {
namespace {

using test::CartellaProva;
using test::leggi;
using test::nomi;
using test::scrivi;

TEST(ScriviFile, ReplacesWholeAndLeavesNoTemporary) {
  struct Caso {
    const char* nome;
    bool vecchio_presente;
    std::string vecchio;
    std::string nuovo;
  };
  const std::vector<Caso> casi = {
      {"new file", false, "", "abc\r\n"},
      {"longer old file", true, std::string(5000, 'x'), "abc\r\n"},
      {"shorter old file", true, "ab", std::string(70000, 'y')},
      {"empty content", true, "old", ""},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva cartella;
    const auto finale = cartella / "Prova_7.dat";
    if (c.vecchio_presente) scrivi(finale, c.vecchio);
    scrivi_file(finale, c.nuovo);
    EXPECT_EQ(leggi(finale), c.nuovo);
    EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{"Prova_7.dat"});
  }
}

TEST(ScriviFile, WritesBytesAsTheyAre) {
  // Line ends, NUL, Ctrl-Z and high bytes must pass untouched (no text mode).
  const std::string bytes("a\r\nb\nc\rd\0e\x1A\xE8\xFF\r\n", 14);
  CartellaProva cartella;
  const auto finale = cartella / "Prova_linea.dat";
  scrivi_file(finale, bytes);
  EXPECT_EQ(leggi(finale), bytes);
}

// "impossibile scrivere PERCORSO: MOTIVO", the reason as the system gives
// it (on POSIX, strerror's text for `errno_posix`).
void messaggio_come(const GuastoPiattaforma& g, const std::filesystem::path& p,
                    [[maybe_unused]] int errno_posix) {
  const std::string messaggio = g.what();
  const std::string inizio = "impossibile scrivere " + p.string() + ": ";
  EXPECT_EQ(messaggio.substr(0, inizio.size()), inizio);
  EXPECT_GT(messaggio.size(), inizio.size());
#ifndef _WIN32
  EXPECT_EQ(messaggio, inizio + std::strerror(errno_posix));
#endif
}

TEST(ScriviFile, FailureNamesTheFileAndLeavesTheFolderAsItWas) {
  CartellaProva cartella;

  // The folder does not exist.
  const auto in_mancante = cartella / "manca" / "Prova_7.sim";
  try {
    scrivi_file(in_mancante, "abc");
    ADD_FAILURE() << "no failure for a missing folder";
  } catch (const GuastoPiattaforma& g) {
    EXPECT_EQ(g.file(), in_mancante);
    messaggio_come(g, in_mancante, ENOENT);
  }
  EXPECT_TRUE(nomi(cartella.percorso()).empty());

  // The final name is taken by a folder: it stays, and no temporary is left.
  const auto occupato = cartella / "Prova_7.dat";
  std::filesystem::create_directory(occupato);
  scrivi(occupato / "dentro.txt", "resta");
  try {
    scrivi_file(occupato, "abc");
    ADD_FAILURE() << "no failure when a folder holds the name";
  } catch (const GuastoPiattaforma& g) {
    EXPECT_EQ(g.file(), occupato);
    messaggio_come(g, occupato, EISDIR);
  }
  EXPECT_TRUE(std::filesystem::is_directory(occupato));
  EXPECT_EQ(leggi(occupato / "dentro.txt"), "resta");
  EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{"Prova_7.dat"});
}

#ifndef _WIN32
TEST(ScriviFile, ReplacesASymbolicLinkWithoutFollowingIt) {
  CartellaProva cartella;
  const auto bersaglio = cartella / "altrove.txt";
  scrivi(bersaglio, "da non toccare");
  std::filesystem::create_symlink(bersaglio, cartella / "Prova_7.dat");
  scrivi_file(cartella / "Prova_7.dat", "nuovo");
  EXPECT_FALSE(std::filesystem::is_symlink(cartella / "Prova_7.dat"));
  EXPECT_EQ(leggi(cartella / "Prova_7.dat"), "nuovo");
  EXPECT_EQ(leggi(bersaglio), "da non toccare");
}
#endif

}  // namespace
}  // namespace scenario

#include "platform/archivio_cartella.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "base/guasto.h"
#include "platform/scrittura.h"
#include "tests/support/cartella.h"

namespace scenario {
namespace {

using test::CartellaProva;
using test::scrivi;

// A source is read whole and byte for byte, whatever bytes it holds.
TEST(ArchivioCartella, ReadsEveryByte) {
  CartellaProva dir;
  const std::string vari("a,\r\nb\0c\r\xB0\n", 11);
  const std::string grande(3 * 1024 * 1024 + 7, 'x');
  const std::pair<const char*, std::string> casi[] = {
      {"vuoto.txt", ""}, {"vari.txt", vari}, {"grande.txt", grande}};
  ArchivioCartella archivio(dir.percorso());
  for (const auto& [nome, bytes] : casi) {
    scrivi(dir.percorso() / nome, bytes);
    EXPECT_EQ(archivio.leggi(nome), bytes) << nome;
  }
}

TEST(ArchivioCartella, MissingFileAndDeletion) {
  CartellaProva dir;
  ArchivioCartella archivio(dir.percorso());
  EXPECT_FALSE(archivio.esiste("manca.txt"));
  EXPECT_THROW(archivio.leggi("manca.txt"), GuastoPiattaforma);
  scrivi(dir.percorso() / "c.txt", "x");
  EXPECT_TRUE(archivio.esiste("c.txt"));
  archivio.elimina("c.txt");
  EXPECT_FALSE(archivio.esiste("c.txt"));
  archivio.elimina("c.txt");  // gone already: nothing to do
}

// A name that is not a readable file is the system's refusal, in the
// program's words: "impossibile leggere PERCORSO: MOTIVO".
TEST(ArchivioCartella, UnreadableNamesAreRefusedWithTheirReason) {
  CartellaProva dir;
  ArchivioCartella archivio(dir.percorso());
  std::filesystem::create_directory(dir / "cartella.txt");
  const std::pair<const char*, std::string> casi[] = {{"cartella.txt", motivo_errno(EISDIR)},
                                                      {"manca.txt", motivo_errno(ENOENT)}};
  for (const auto& [nome, motivo] : casi) {
    try {
      archivio.leggi(nome);
      ADD_FAILURE() << nome << " was read";
    } catch (const GuastoPiattaforma& g) {
      EXPECT_EQ(g.what(), "impossibile leggere " + (dir / nome).string() + ": " + motivo);
    }
  }
  EXPECT_FALSE(archivio.esiste("cartella.txt"));  // for the compiler, no source
}

#ifndef _WIN32
// A name the system cannot even look up is its failure, never a missing
// source (which the compile would record as a fault of the data).
TEST(ArchivioCartella, NameThatCannotBeLookedUpIsTheSystemsFailure) {
  CartellaProva dir;
  std::filesystem::create_symlink("anello.txt", dir / "anello.txt");  // ELOOP
  ArchivioCartella archivio(dir.percorso());
  try {
    archivio.esiste("anello.txt");
    ADD_FAILURE() << "a loop of links passed for a missing file";
  } catch (const GuastoPiattaforma& g) {
    EXPECT_EQ(g.file(), dir / "anello.txt");
    EXPECT_EQ(
        std::string(g.what()).rfind("impossibile leggere " + (dir / "anello.txt").string(), 0), 0u)
        << g.what();
  }
  EXPECT_FALSE(archivio.esiste("manca.txt"));
  EXPECT_FALSE(archivio.esiste("manca/dentro.txt"));
}
#endif

}  // namespace
}  // namespace scenario

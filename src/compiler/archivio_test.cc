#include "compiler/archivio.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

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
  EXPECT_THROW(archivio.leggi("manca.txt"), std::runtime_error);
  scrivi(dir.percorso() / "c.txt", "x");
  EXPECT_TRUE(archivio.esiste("c.txt"));
  archivio.elimina("c.txt");
  EXPECT_FALSE(archivio.esiste("c.txt"));
  archivio.elimina("c.txt");  // gone already: nothing to do
}

}  // namespace
}  // namespace scenario

// The installer, copied into a fresh folder and started there as its users
// start it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "app/avvio.h"
#include "emit/emittitori.h"
#include "model/identita.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"
#include "tests/support/immutabile.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::CartellaProva;
using test::leggi;

const std::vector<std::string> kSeiFile = {
    "Lanvero_Ostrel_24817.dat",
    "Lanvero_Ostrel_24817.sim",
    "Lanvero_Ostrel_24817_note.txt",
    "Lanvero_Ostrel_24817_rallentamenti.txt",
    "Lanvero_Ostrel_24817_scheda_treno.txt",
    "Lanvero_Ostrel_linea.dat",
};
const char kProgramma[] = "Lanvero_Ostrel_24817";

class Installatore : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma); }
  test::Uscita avvia() { return test::esegui(std::string("./") + kProgramma, dir.percorso()); }
  std::vector<std::string> file_lasciati() const {
    auto n = test::nomi(dir.percorso());
    std::erase(n, kProgramma);
    return n;
  }
  CartellaProva dir;
};

TEST_F(Installatore, LeavesTheSixFilesAndNoSource) {
  const auto u = avvia();
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out, "Attendere\n");
  EXPECT_EQ(u.err, "");
  EXPECT_EQ(file_lasciati(), kSeiFile);
  // The carried line: 91000 m, so 1961 cells and points 0..98000.
  EXPECT_EQ(leggi(dir.percorso() / "Lanvero_Ostrel_24817.dat").size(), 15u * 1961);
  EXPECT_EQ(leggi(dir.percorso() / "Lanvero_Ostrel_linea.dat").size(), 20u * 98000 - 36);
}

TEST_F(Installatore, SecondRunReplacesEverythingWithTheSameBytes) {
  ASSERT_EQ(avvia().stato, 0);
  std::vector<std::string> prima;
  for (const auto& f : kSeiFile) prima.push_back(leggi(dir.percorso() / f));
  // Old files, longer or shorter, and a stale source are replaced whole.
  test::scrivi(dir.percorso() / "Lanvero_Ostrel_24817.sim", std::string(100000, 'x'));
  test::scrivi(dir.percorso() / "Lanvero_Ostrel_24817_note.txt", "corto");
  test::scrivi(dir.percorso() / "Lanvero_Ostrel_linea.txt", "[generale]\r\nlunghezza percorso, 5");
  ASSERT_EQ(avvia().stato, 0);
  EXPECT_EQ(file_lasciati(), kSeiFile);
  for (size_t i = 0; i < kSeiFile.size(); ++i) {
    EXPECT_EQ(leggi(dir.percorso() / kSeiFile[i]), prima[i]) << kSeiFile[i];
  }
}

// The eight files in the order the run writes them: the two sources (which
// the compile reads and deletes), the three documents, the three binaries.
std::vector<std::string> in_ordine() {
  const Identita id = identita_portata();
  std::vector<std::string> n;
  for (const Emittitore& e : emittitori()) n.push_back(e.nome_file(id));
  n.push_back(nome_planimetria(id));
  n.push_back(nome_testata(id));
  n.push_back(nome_celle(id));
  return n;
}
const std::vector<std::string> kInOrdine = in_ordine();
constexpr size_t kPrimoBinario = 5;

bool sorgente(size_t i) { return i < 2; }

// What a finished file holds: the carried texts, and the binaries of a
// clean run made once in a folder of its own.
const std::string& finito(size_t i) {
  static const std::vector<std::string> attesi = [] {
    std::vector<std::string> a;
    for (const Emittitore& e : emittitori()) a.push_back(e.contenuto());
    CartellaProva dir;
    fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma);
    EXPECT_EQ(test::esegui(std::string("./") + kProgramma, dir.percorso()).stato, 0);
    for (size_t i = kPrimoBinario; i < kInOrdine.size(); ++i) {
      a.push_back(leggi(dir.percorso() / kInOrdine[i]));
    }
    return a;
  }();
  return attesi.at(i);
}

std::string vecchio(const std::string& nome) { return "vecchio " + nome; }

// One case of a platform fault, in a folder of its own that holds the
// program and an older file under each of the six names a run leaves.
struct CasoGuasto {
  CasoGuasto() {
    fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma);
    for (size_t i = 0; i < kInOrdine.size(); ++i) {
      if (!sorgente(i)) test::scrivi(percorso(i), vecchio(kInOrdine[i]));
    }
  }
  fs::path percorso(size_t i) const { return dir.percorso() / kInOrdine[i]; }
  test::Uscita avvia(std::optional<rlim_t> limite_file = std::nullopt) {
    return test::esegui(std::string("./") + kProgramma, dir.percorso(), limite_file);
  }

  // The run stopped on file f: it says which and why; every file before f
  // is finished (the sources deleted once the compile has read them), every
  // file after f keeps its older content, and nothing else is left: no
  // partial or temporary file. File f itself is the caller's to check.
  void fermato_su(size_t f, const test::Uscita& u, int motivo) const {
    SCOPED_TRACE(kInOrdine[f]);
    EXPECT_EQ(u.stato, 3) << u.err;
    EXPECT_EQ(u.err.rfind("impossibile scrivere ", 0), 0u) << u.err;
    EXPECT_NE(u.err.find(kInOrdine[f]), std::string::npos) << u.err;
    EXPECT_NE(u.err.find(std::strerror(motivo)), std::string::npos) << u.err;
    std::vector<std::string> attesi = {kProgramma};
    for (size_t i = 0; i < kInOrdine.size(); ++i) {
      if (i == f) {
        if (fs::exists(fs::symlink_status(percorso(i)))) attesi.push_back(kInOrdine[i]);
        continue;
      }
      if (sorgente(i) && (i > f || f >= kPrimoBinario)) {
        EXPECT_FALSE(fs::exists(percorso(i))) << kInOrdine[i];
        continue;
      }
      attesi.push_back(kInOrdine[i]);
      EXPECT_EQ(leggi(percorso(i)), i < f ? finito(i) : vecchio(kInOrdine[i])) << kInOrdine[i];
    }
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(nomi(), attesi);
  }
  std::vector<std::string> nomi() const { return test::nomi(dir.percorso()); }

  CartellaProva dir;
};

// A directory under a file's name cannot be replaced by the file.
TEST(GuastoInstallatore, DirectoryUnderAnyNameEndsTheRunWithItsName) {
  for (size_t f = 0; f < kInOrdine.size(); ++f) {
    CasoGuasto g;
    fs::remove(g.percorso(f));
    fs::create_directory(g.percorso(f));
    test::scrivi(g.percorso(f) / "dentro", "resta");
    g.fermato_su(f, g.avvia(), EISDIR);
    EXPECT_EQ(leggi(g.percorso(f) / "dentro"), "resta");
  }
}

// An older file that not even root may replace stays as it was.
TEST(GuastoInstallatore, ImmutableOlderFileStaysWhole) {
  for (size_t f = 0; f < kInOrdine.size(); ++f) {
    CasoGuasto g;
    test::scrivi(g.percorso(f), vecchio(kInOrdine[f]));
    test::Immutabile blocco(g.percorso(f));
    if (!blocco.attivo()) GTEST_SKIP() << "chattr +i is not available here";
    g.fermato_su(f, g.avvia(), EPERM);
    EXPECT_EQ(leggi(g.percorso(f)), vecchio(kInOrdine[f]));
  }
}

// A folder nothing can be created in: the first file fails, nothing changes.
TEST(GuastoInstallatore, FolderThatCannotBeWrittenIsLeftAsItWas) {
  CasoGuasto g;
  const std::vector<std::string> prima = g.nomi();
  test::Immutabile blocco(g.dir.percorso());
  if (!blocco.attivo()) GTEST_SKIP() << "chattr +i is not available here";
  const test::Uscita u = g.avvia();
  EXPECT_EQ(u.stato, 3);
  EXPECT_NE(u.err.find(kInOrdine[0]), std::string::npos) << u.err;
  EXPECT_NE(u.err.find(std::strerror(EPERM)), std::string::npos) << u.err;
  EXPECT_EQ(g.nomi(), prima);
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    if (!sorgente(i)) {
      EXPECT_EQ(leggi(g.percorso(i)), vecchio(kInOrdine[i]));
    }
  }
}

// A full disk, as a limit on the size of any file the run writes: the first
// text does not fit in 4 KB; in 1 MB everything but the line plan does.
TEST(GuastoInstallatore, FullDiskKeepsOlderFilesAndFinishedOnes) {
  struct Caso {
    rlim_t limite;
    size_t fermato_su;
  };
  for (const Caso& c : {Caso{4096, 0}, Caso{1 << 20, kPrimoBinario}}) {
    ASSERT_GT(finito(c.fermato_su).size(), c.limite);
    CasoGuasto g;
    g.fermato_su(c.fermato_su, g.avvia(c.limite), EFBIG);
    if (sorgente(c.fermato_su)) {
      EXPECT_FALSE(fs::exists(g.percorso(c.fermato_su)));
    } else {
      EXPECT_EQ(leggi(g.percorso(c.fermato_su)), vecchio(kInOrdine[c.fermato_su]));
    }
  }
}

// Permission bits do not protect an older file from being replaced whole
// (rename replaces the name, not the file's bytes).
TEST(GuastoInstallatore, ReadOnlyOlderFilesAreReplaced) {
  CasoGuasto g;
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    test::scrivi(g.percorso(i), vecchio(kInOrdine[i]));
    fs::permissions(g.percorso(i), fs::perms::owner_read | fs::perms::group_read);
  }
  const test::Uscita u = g.avvia();
  EXPECT_EQ(u.stato, 0) << u.err;
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    if (sorgente(i)) {
      EXPECT_FALSE(fs::exists(g.percorso(i)));
    } else {
      EXPECT_EQ(leggi(g.percorso(i)), finito(i)) << kInOrdine[i];
    }
  }
}

// A symbolic link under a file's name is replaced by the file, never
// followed: what it points to stays as it was, even a dangling link's
// missing target or a directory.
TEST(GuastoInstallatore, SymbolicLinksAreReplacedNeverFollowed) {
  CasoGuasto g;
  CartellaProva fuori;
  fs::create_directory(fuori.percorso() / "cartella");
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    const fs::path bersaglio = fuori.percorso() / kInOrdine[i];
    if (i % 3 == 0) test::scrivi(bersaglio, vecchio(kInOrdine[i]));
    fs::remove(g.percorso(i));
    if (i % 3 == 2) {
      fs::create_directory_symlink(fuori.percorso() / "cartella", g.percorso(i));
    } else {
      fs::create_symlink(bersaglio, g.percorso(i));  // dangling when i % 3 == 1
    }
  }
  const std::vector<std::string> fuori_prima = test::nomi(fuori.percorso());
  const test::Uscita u = g.avvia();
  EXPECT_EQ(u.stato, 0) << u.err;
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    if (sorgente(i)) {
      EXPECT_FALSE(fs::exists(fs::symlink_status(g.percorso(i)))) << kInOrdine[i];
      continue;
    }
    EXPECT_FALSE(fs::is_symlink(g.percorso(i))) << kInOrdine[i];
    EXPECT_EQ(leggi(g.percorso(i)), finito(i)) << kInOrdine[i];
  }
  EXPECT_EQ(test::nomi(fuori.percorso()), fuori_prima);
  for (size_t i = 0; i < kInOrdine.size(); i += 3) {
    EXPECT_EQ(leggi(fuori.percorso() / kInOrdine[i]), vecchio(kInOrdine[i]));
  }
  EXPECT_TRUE(fs::is_empty(fuori.percorso() / "cartella"));
}

}  // namespace
}  // namespace scenario

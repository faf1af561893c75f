// The installer, copied into a fresh folder and started there as its users
// start it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "installer/avvio.h"
#include "platform/blocco_cartella.h"
#include "platform/scrittura.h"
#include "emit/emittitori.h"
#include "generatore/generatore.h"
#include "model/identita.h"
#include "tests/support/cartella.h"
#include "tests/support/chiamate.h"
#include "tests/support/esegui.h"
#include "tests/support/protezione.h"

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
  test::Uscita avvia() {
    return test::esegui(test::avvio(std::string("./") + kProgramma), dir.percorso());
  }
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

// What a killed run left (its temporary files, an older version's
// "NAME.tmpDIGITS", its sources, its lock file) is gone after the next run;
// files that are not this program's stay.
TEST_F(Installatore, RemovesWhatAKilledRunLeft) {
  for (const char* n :
       {".scenario.k1LL3d", "Lanvero_Ostrel_24817.sim.tmp1804289383", "Lanvero_Ostrel_linea.txt",
        "Lanvero_Ostrel_24817-.txt", ".scenario-blocco"}) {
    test::scrivi(dir.percorso() / n, "avanzo");
  }
  for (const char* n : {".scenario.corto", "Altro.sim.tmp12", "mio.txt"}) {
    test::scrivi(dir.percorso() / n, "altro");
  }
  ASSERT_EQ(avvia().stato, 0);
  std::vector<std::string> attesi = kSeiFile;
  for (const char* n : {".scenario.corto", "Altro.sim.tmp12", "mio.txt"}) attesi.push_back(n);
  std::sort(attesi.begin(), attesi.end());
  EXPECT_EQ(file_lasciati(), attesi);
}

// The eight files in the order the run writes them: the two sources (which
// the compile reads and deletes), the three documents, the three binaries
// (the header file last).
std::vector<std::string> in_ordine() {
  const Identita id = identita_portata();
  std::vector<std::string> n;
  for (const Emittitore& e : emittitori()) n.push_back(e.nome_file(id));
  n.push_back(nome_planimetria(id));
  n.push_back(nome_celle(id));
  n.push_back(nome_testata(id));
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
    EXPECT_EQ(test::esegui(test::avvio(std::string("./") + kProgramma), dir.percorso()).stato, 0);
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
  explicit CasoGuasto(const char* programma = SCENARIO_INSTALLER_PATH) {
    fs::copy_file(programma, dir.percorso() / kProgramma);
    for (size_t i = 0; i < kInOrdine.size(); ++i) {
      if (!sorgente(i)) test::scrivi(percorso(i), vecchio(kInOrdine[i]));
    }
  }
  fs::path percorso(size_t i) const { return dir.percorso() / kInOrdine[i]; }
  test::Uscita avvia(std::optional<rlim_t> limite_file = std::nullopt) {
    return test::esegui(test::Avvio{.programma = std::string("./") + kProgramma,
                                    .limite_file = limite_file,
                                    .ambiente = ambiente},
                        dir.percorso());
  }

  // The run stopped on file f: it says which and why; every other file
  // keeps its older content (the six go as one set: all new or all old),
  // the sources are gone, and nothing else is left: no partial or
  // temporary file. File f itself is the caller's to check.
  void fermato_su(size_t f, const test::Uscita& u, int motivo) const {
    SCOPED_TRACE(kInOrdine[f]);
    EXPECT_EQ(u.stato, 3) << u.err;
    EXPECT_EQ(u.err.rfind("impossibile scrivere ", 0), 0u) << u.err;
    EXPECT_NE(u.err.find(kInOrdine[f]), std::string::npos) << u.err;
    EXPECT_NE(u.err.find(scenario::motivo_errno(motivo)), std::string::npos) << u.err;
    std::vector<std::string> attesi = {kProgramma};
    for (size_t i = 0; i < kInOrdine.size(); ++i) {
      if (i == f) {
        if (fs::exists(fs::symlink_status(percorso(i)))) attesi.push_back(kInOrdine[i]);
        continue;
      }
      if (sorgente(i)) {
        EXPECT_FALSE(fs::exists(percorso(i))) << kInOrdine[i];
        continue;
      }
      attesi.push_back(kInOrdine[i]);
      EXPECT_EQ(leggi(percorso(i)), vecchio(kInOrdine[i])) << kInOrdine[i];
    }
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(nomi(), attesi);
  }
  std::vector<std::string> nomi() const { return test::nomi(dir.percorso()); }

  CartellaProva dir;
  std::vector<std::pair<std::string, std::string>> ambiente;
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

// An older file the system will not let anyone replace stays as it was.
TEST(GuastoInstallatore, ProtectedOlderFileStaysWhole) {
  for (size_t f = 0; f < kInOrdine.size(); ++f) {
    CasoGuasto g;
    test::scrivi(g.percorso(f), vecchio(kInOrdine[f]));
    test::Protezione blocco(g.percorso(f));
    if (!blocco.attiva()) GTEST_SKIP() << blocco.perche_no();
    g.fermato_su(f, g.avvia(), blocco.errno_atteso());
    EXPECT_EQ(leggi(g.percorso(f)), vecchio(kInOrdine[f]));
  }
}

// A folder nothing can be created in: the first file fails, nothing changes.
TEST(GuastoInstallatore, FolderThatCannotBeWrittenIsLeftAsItWas) {
  CasoGuasto g;
  const std::vector<std::string> prima = g.nomi();
  test::Protezione blocco(g.dir.percorso());
  if (!blocco.attiva()) GTEST_SKIP() << blocco.perche_no();
  const test::Uscita u = g.avvia();
  EXPECT_EQ(u.stato, 3);
  EXPECT_NE(u.err.find(kInOrdine[0]), std::string::npos) << u.err;
  EXPECT_NE(u.err.find(blocco.motivo_atteso()), std::string::npos) << u.err;
  EXPECT_EQ(g.nomi(), prima);
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    if (!sorgente(i)) {
      EXPECT_EQ(leggi(g.percorso(i)), vecchio(kInOrdine[i]));
    }
  }
}

// A full disk, as a limit on the size of any file the run writes: the first
// text does not fit in 4 KB; in 1 MB everything but the line plan does.
TEST(GuastoInstallatore, FullDiskKeepsTheOlderFiles) {
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

// The calls of a whole run over an older set, listed by the hook.
std::vector<test::ChiamataContata> chiamate_di_una_corsa(bool senza_scambio) {
  CasoGuasto g(SCENARIO_INSTALLER_PROVA_PATH);
  CartellaProva registro;
  g.ambiente = {{"SCENARIO_PROVA_TRACCIA", (registro / "chiamate").string()},
                {"SCENARIO_PROVA_SENZA_SCAMBIO", senza_scambio ? "1" : "0"}};
  const test::Uscita u = g.avvia();
  EXPECT_EQ(u.stato, 0) << u.err;
  return test::leggi_chiamate(leggi(registro / "chiamate"), g.dir.percorso());
}

// Each read, deletion, rename and flush of a run fails in turn, once, with
// and without a file system that swaps two names in one step: the run ends
// with status 3 and one message that names the file (or the folder) and
// the reason, and the six files are either all older or all new, never a
// mix. Nothing else is left, but for the older copy of a file whose
// deletion failed, which the next run removes.
TEST(GuastoIniettato, EverySystemCallOfARunFailsInTurn) {
  const std::map<std::string, std::vector<int>> motivi = {
      {"lettura", {EIO}},
      {"eliminazione", {EACCES, EPERM, EBUSY}},
      {"rinomina", {EIO, EACCES, EXDEV}},
      {"flush", {EIO, ENOSPC}},
  };
  for (const bool senza_scambio : {false, true}) {
    const std::vector<test::ChiamataContata> chiamate = chiamate_di_una_corsa(senza_scambio);
    std::map<std::string, int> per_tipo;
    for (const test::ChiamataContata& c : chiamate) ++per_tipo[c.tipo];
    // The payload and the two sources read; the sources deleted, and the
    // older copies of the six; the six flushed, and the folder.
    EXPECT_GE(per_tipo["lettura"], 3);
    EXPECT_EQ(per_tipo["eliminazione"], 2 + 6);
    EXPECT_EQ(per_tipo["flush"], 6 + 1);
    EXPECT_EQ(per_tipo["rinomina"], 2 + (senza_scambio ? 12 : 6));
    for (const test::ChiamataContata& c : chiamate) {
      const std::vector<int>& scelta = motivi.at(c.tipo);
      const int e = scelta[static_cast<size_t>(c.numero) % scelta.size()];
      SCOPED_TRACE(std::to_string(c.numero) + " " + c.tipo + " " + c.percorso.string() + ": " +
                   scenario::motivo_errno(e) + (senza_scambio ? ", without exchange" : ""));
      CasoGuasto g(SCENARIO_INSTALLER_PROVA_PATH);
      g.ambiente = {test::guasto_alla(c.numero, e),
                    {"SCENARIO_PROVA_SENZA_SCAMBIO", senza_scambio ? "1" : "0"}};
      const test::Uscita u = g.avvia();
      EXPECT_EQ(u.stato, 3) << u.err;
      EXPECT_EQ(u.err.rfind("impossibile ", 0), 0u) << u.err;
      EXPECT_EQ(std::count(u.err.begin(), u.err.end(), '\n'), 1) << u.err;
      EXPECT_NE(u.err.find(std::string(": ") + scenario::motivo_errno(e)), std::string::npos)
          << u.err;
      const bool temporaneo = nome_temporaneo(c.percorso.filename().string());
      const fs::path nominato =
          test::nominato(c, g.dir.percorso(), temporaneo, kPrefissoTemporaneo);
      EXPECT_NE(u.err.find(nominato.string()), std::string::npos) << u.err;
      size_t vecchi = 0;
      size_t nuovi = 0;
      std::vector<std::string> attesi = {kProgramma};
      for (size_t i = 0; i < kInOrdine.size(); ++i) {
        if (sorgente(i)) {
          EXPECT_FALSE(fs::exists(g.percorso(i))) << kInOrdine[i];
          continue;
        }
        attesi.push_back(kInOrdine[i]);
        const std::string bytes = leggi(g.percorso(i));
        vecchi += bytes == vecchio(kInOrdine[i]);
        nuovi += bytes == finito(i);
      }
      EXPECT_TRUE(vecchi == 6 || nuovi == 6) << vecchi << " older, " << nuovi << " new";
      if (c.tipo == "lettura") {
        EXPECT_EQ(vecchi, 6u);
      }
      std::vector<std::string> presenti = g.nomi();
      if (c.tipo == "eliminazione" && temporaneo) {
        const auto avanzo = std::find_if(presenti.begin(), presenti.end(),
                                         [](const std::string& n) { return nome_temporaneo(n); });
        if (avanzo != presenti.end()) presenti.erase(avanzo);
      }
      std::sort(attesi.begin(), attesi.end());
      EXPECT_EQ(presenti, attesi);
    }
  }
}

// Two failures: the rename of the header file, then the put-back of the
// cell file that the set had already swapped. Both are told; every other
// file is put back, and the older cell file is kept whole, under the
// temporary name the message gives.
TEST(GuastoIniettato, PutBackThatFailsTooIsToldAndKeepsTheOlderFile) {
  const std::vector<test::ChiamataContata> chiamate = chiamate_di_una_corsa(false);
  const auto rinomina_sim = std::find_if(chiamate.begin(), chiamate.end(), [](const auto& c) {
    return c.tipo == "rinomina" && c.percorso == nome_testata(identita_portata());
  });
  ASSERT_NE(rinomina_sim, chiamate.end());
  CasoGuasto g(SCENARIO_INSTALLER_PROVA_PATH);
  g.ambiente = {{"SCENARIO_PROVA_GUASTO",
                 std::to_string(rinomina_sim->numero) + ":" + std::to_string(EIO) + "," +
                     std::to_string(rinomina_sim->numero + 1) + ":" + std::to_string(EBUSY)}};
  const test::Uscita u = g.avvia();
  const size_t celle = kPrimoBinario + 1;
  EXPECT_EQ(u.stato, 3);
  const std::string atteso = "impossibile scrivere " + g.percorso(celle + 1).string() + ": " +
                             scenario::motivo_errno(EIO) + "; impossibile rimettere " +
                             g.percorso(celle).string() + ": " + scenario::motivo_errno(EBUSY) +
                             " (il file precedente e' in " + g.dir.percorso().string() + "/" +
                             std::string(kPrefissoTemporaneo);
  EXPECT_EQ(u.err.rfind(atteso, 0), 0u) << u.err;
  std::vector<std::string> temporanei;
  for (const std::string& n : g.nomi()) {
    if (nome_temporaneo(n)) temporanei.push_back(n);
  }
  ASSERT_EQ(temporanei.size(), 1u);
  EXPECT_NE(u.err.find(temporanei[0] + ")"), std::string::npos) << u.err;
  EXPECT_EQ(leggi(g.dir.percorso() / temporanei[0]), vecchio(kInOrdine[celle]));
  EXPECT_EQ(leggi(g.percorso(celle)), finito(celle));
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    if (sorgente(i)) {
      EXPECT_FALSE(fs::exists(g.percorso(i))) << kInOrdine[i];
    } else if (i != celle) {
      EXPECT_EQ(leggi(g.percorso(i)), vecchio(kInOrdine[i])) << kInOrdine[i];
    }
  }
}

// A user who may only read the folder holds all that a reader can (a
// shared flock on the folder, and any handle on the lock file it manages
// to open) all through a run: the run does not wait for him, and he never
// opens the lock file.
TEST(Concorrenza, AReaderOfTheFolderCannotHoldItAgainstTheInstaller) {
  if (geteuid() != 0) GTEST_SKIP() << "a process of another user needs root";
  CartellaProva dir;
  fs::permissions(dir.percorso(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma);
  const fs::path blocco = dir.percorso() / kNomeBlocco;
  int pronto[2];
  int aperto[2];
  ASSERT_EQ(pipe(pronto), 0);
  ASSERT_EQ(pipe(aperto), 0);
  const pid_t lettore = fork();
  ASSERT_GE(lettore, 0);
  if (lettore == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
    const int d = open(dir.percorso().c_str(), O_RDONLY | O_DIRECTORY);
    if (d < 0 || flock(d, LOCK_SH) != 0) _exit(2);
    if (write(pronto[1], "p", 1) != 1) _exit(3);
    while (true) {
      for (const int modo : {O_RDONLY, O_WRONLY, O_RDWR}) {
        const int fd = open(blocco.c_str(), modo | O_NONBLOCK);
        if (fd >= 0) {
          struct flock f {};
          f.l_type = modo == O_RDONLY ? F_RDLCK : F_WRLCK;
          fcntl(fd, F_OFD_SETLK, &f);
          if (write(aperto[1], "a", 1) != 1) _exit(4);
        }
      }
      usleep(200);
    }
  }
  close(pronto[1]);
  close(aperto[1]);
  char c = 0;
  ASSERT_EQ(read(pronto[0], &c, 1), 1) << "the reader did not start";
  const auto inizio = std::chrono::steady_clock::now();
  const test::Uscita u = test::esegui(test::avvio(std::string("./") + kProgramma), dir.percorso());
  const auto durata = std::chrono::steady_clock::now() - inizio;
  kill(lettore, SIGKILL);
  EXPECT_EQ(test::attendi(lettore), 128 + SIGKILL);
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_LT(durata, std::chrono::seconds(10));
  fcntl(aperto[0], F_SETFL, O_NONBLOCK);
  EXPECT_LT(read(aperto[0], &c, 1), 1) << "the reader opened the lock file";
  close(pronto[0]);
  close(aperto[0]);
  std::vector<std::string> presenti = test::nomi(dir.percorso());
  std::erase(presenti, kProgramma);
  EXPECT_EQ(presenti, kSeiFile);
}

// Two installers started together in one folder, as a double click twice:
// the second waits for the first and then makes its whole run. Every pair
// leaves exactly the six files, byte for byte, and nothing else.
TEST(Concorrenza, FiftyPairsInOneFolderLeaveTheSixFilesExactly) {
  CartellaProva dir;
  const fs::path programma = dir.percorso() / kProgramma;
  fs::copy_file(SCENARIO_INSTALLER_PATH, programma);
  std::vector<std::string> attesi(kSeiFile.size());
  for (size_t i = 0; i < kInOrdine.size(); ++i) {
    if (sorgente(i)) continue;
    const auto posto = std::find(kSeiFile.begin(), kSeiFile.end(), kInOrdine[i]) - kSeiFile.begin();
    attesi[static_cast<size_t>(posto)] = finito(i);
  }
  CartellaProva log;
  for (int coppia = 0; coppia < 50; ++coppia) {
    SCOPED_TRACE("pair " + std::to_string(coppia));
    int via[2];
    ASSERT_EQ(pipe(via), 0);
    const pid_t a = test::lancia(test::avvio(programma), dir.percorso(), log / "a", via[0]);
    const pid_t b = test::lancia(test::avvio(programma), dir.percorso(), log / "b", via[0]);
    close(via[0]);
    ASSERT_EQ(write(via[1], "ab", 2), 2);  // both go
    close(via[1]);
    EXPECT_EQ(test::attendi(a), 0) << leggi(log / "a");
    EXPECT_EQ(test::attendi(b), 0) << leggi(log / "b");
    std::vector<std::string> presenti = test::nomi(dir.percorso());
    std::erase(presenti, kProgramma);
    ASSERT_EQ(presenti, kSeiFile);
    for (size_t i = 0; i < kSeiFile.size(); ++i) {
      EXPECT_EQ(leggi(dir.percorso() / kSeiFile[i]), attesi[i]) << kSeiFile[i];
    }
  }
}

// A run waits while another holds the folder, then makes its whole run.
TEST(Concorrenza, RunWaitsForTheFolderThenRuns) {
  CartellaProva dir;
  const fs::path programma = dir.percorso() / kProgramma;
  fs::copy_file(SCENARIO_INSTALLER_PATH, programma);
  auto blocco = std::make_unique<BloccoCartella>(dir.percorso(), std::chrono::milliseconds(0));
  const pid_t figlio = test::lancia(test::avvio(programma), dir.percorso());
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  int stato = 0;
  EXPECT_EQ(waitpid(figlio, &stato, WNOHANG), 0) << "the run did not wait";
  EXPECT_EQ(test::nomi(dir.percorso()), (std::vector<std::string>{kNomeBlocco, kProgramma}));
  blocco.reset();
  EXPECT_EQ(test::attendi(figlio), 0);
  std::vector<std::string> presenti = test::nomi(dir.percorso());
  std::erase(presenti, kProgramma);
  EXPECT_EQ(presenti, kSeiFile);
}

// The maximal scenario (a 1000 km line, a 20 MB plan file) interrupted at
// random moments: no temporary file and no source is ever left, and each
// final file is absent, older, or complete and new.
TEST(Interruzione, FiftySigintsOnTheMaximalScenario) {
  // The maximal scenario packed as an author packs one.
  CartellaProva pacco;
  const ScenarioGenerato s = genera_scenario_massimo();
  const auto nomi_t = nomi_testi(s.id);
  const std::string testi[] = {s.linea, s.treno, s.note, s.rallentamenti, s.scheda};
  for (size_t i = 0; i < nomi_t.size(); ++i) test::scrivi(pacco / nomi_t[i], testi[i]);
  const test::Uscita p = test::esegui(
      test::avvio(SCENARIO_TOOL_PATH, "pack " + s.id.linea + " " + s.id.treno), pacco.percorso());
  ASSERT_EQ(p.stato, 0) << p.out << p.err;
  const std::string nome_programma = s.id.linea + "_" + s.id.treno;
  const fs::path sorgente_programma = pacco / nome_programma;
  const std::vector<std::string> finali = {"Linea_Massima_99999.dat",
                                           "Linea_Massima_99999.sim",
                                           "Linea_Massima_99999_note.txt",
                                           "Linea_Massima_99999_rallentamenti.txt",
                                           "Linea_Massima_99999_scheda_treno.txt",
                                           "Linea_Massima_linea.dat"};
  // One whole run first: the new files, and how long a run takes.
  std::vector<std::string> nuovi;
  std::chrono::microseconds durata{};
  {
    CartellaProva rif;
    fs::copy_file(sorgente_programma, rif.percorso() / nome_programma);
    const auto inizio = std::chrono::steady_clock::now();
    ASSERT_EQ(
        test::attendi(test::lancia(test::avvio(rif.percorso() / nome_programma), rif.percorso())),
        0);
    durata = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - inizio);
    std::vector<std::string> presenti = test::nomi(rif.percorso());
    std::erase(presenti, nome_programma);
    ASSERT_EQ(presenti, finali);
    for (const auto& f : finali) nuovi.push_back(leggi(rif.percorso() / f));
  }
  std::mt19937 casuale(17);
  std::uniform_int_distribution<int64_t> quando(0, durata.count());
  // Until 50 runs were interrupted (a signal after the end interrupts none).
  int interrotte = 0;
  for (int prova_n = 0; interrotte < 50 && prova_n < 200; ++prova_n) {
    SCOPED_TRACE("interruption " + std::to_string(prova_n));
    CartellaProva dir;
    fs::copy_file(sorgente_programma, dir.percorso() / nome_programma);
    // Half the folders hold an older set.
    const bool con_vecchi = prova_n % 2 == 0;
    if (con_vecchi) {
      for (const auto& f : finali) test::scrivi(dir.percorso() / f, vecchio(f));
    }
    const pid_t figlio = test::lancia(test::avvio(dir.percorso() / nome_programma), dir.percorso());
    std::this_thread::sleep_for(std::chrono::microseconds(quando(casuale)));
    kill(figlio, SIGINT);
    const int stato = test::attendi(figlio);
    EXPECT_TRUE(stato == 0 || stato == 128 + SIGINT) << stato;
    interrotte += stato == 128 + SIGINT;
    std::vector<std::string> presenti = test::nomi(dir.percorso());
    std::erase(presenti, nome_programma);
    for (const auto& n : presenti) {
      EXPECT_NE(std::find(finali.begin(), finali.end(), n), finali.end()) << "left: " << n;
    }
    for (size_t i = 0; i < finali.size(); ++i) {
      const fs::path p = dir.percorso() / finali[i];
      if (!fs::exists(p)) continue;
      const std::string c = leggi(p);
      EXPECT_TRUE(c == nuovi[i] || (con_vecchi && c == vecchio(finali[i])))
          << finali[i] << ": " << c.size() << " bytes, neither older nor new";
    }
  }
  EXPECT_EQ(interrotte, 50);
}

// The installer writes into the folder that holds it, wherever it is started
// from: another folder, a symbolic link elsewhere, a search through PATH.
TEST(InstallatoreAltrove, WritesBesideItselfFromAnyFolder) {
  struct Caso {
    const char* come;
    std::string comando;  // run in the other folder
  };
  const Caso casi[] = {
      {"from another folder", "{dir}/" + std::string(kProgramma)},
      {"through a symbolic link", "./collegamento"},
      {"through PATH", kProgramma},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.come);
    CartellaProva dir;
    CartellaProva altrove;
    fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma);
    fs::create_symlink(dir.percorso() / kProgramma, altrove.percorso() / "collegamento");
    std::string comando = c.comando;
    for (size_t p; (p = comando.find("{dir}")) != std::string::npos;) {
      comando.replace(p, 5, dir.percorso().string());
    }
    test::Avvio a{.programma = comando};
    if (!a.programma.has_parent_path()) {
      a.path = dir.percorso().string() + ":" + std::getenv("PATH");
    }
    const test::Uscita u = test::esegui(a, altrove.percorso());
    EXPECT_EQ(u.stato, 0) << u.err;
    std::vector<std::string> presenti = test::nomi(dir.percorso());
    std::erase(presenti, kProgramma);
    EXPECT_EQ(presenti, kSeiFile);
    EXPECT_EQ(test::nomi(altrove.percorso()), std::vector<std::string>{"collegamento"});
  }
}

// A fault in the data: status 1, the files written as far as the data
// allow, and one line on standard error that says which fault and where.
TEST(InstallatoreMessaggi, DataFaultIsOneLineOnStandardError) {
  CartellaProva dir;
  fs::copy_file(SCENARIO_INSTALLER_DIFETTOSO_PATH, dir.percorso() / "Prova_7");
  const test::Uscita u = test::esegui(test::avvio("./Prova_7"), dir.percorso());
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(u.out, "Attendere\n");
  EXPECT_EQ(u.err, riga_errore({15, 8901}) + "\n");
  EXPECT_EQ(u.err.rfind("errore 15, posizione 8901 m: ", 0), 0u) << u.err;
  EXPECT_EQ(test::nomi(dir.percorso()),
            (std::vector<std::string>{"Prova_7", "Prova_7.dat", "Prova_7.sim", "Prova_7_note.txt",
                                      "Prova_linea.dat"}));
}

// Output that cannot be written is a platform fault: nothing is installed.
TEST(InstallatoreMessaggi, StandardOutputThatCannotBeWritten) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  CartellaProva dir;
  fs::copy_file(SCENARIO_INSTALLER_PATH, dir.percorso() / kProgramma);
  const test::Uscita u =
      test::esegui(test::Avvio{.programma = std::string("./") + kProgramma, .uscita = "/dev/full"},
                   dir.percorso());
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.err,
            "impossibile scrivere lo standard output: " + scenario::motivo_errno((ENOSPC)) + "\n");
  EXPECT_EQ(test::nomi(dir.percorso()), std::vector<std::string>{kProgramma});
}

// The disk fills after the plan file's temporary file: a small file system
// of its own (tmpfs), with room for the program, the texts and the plan,
// not for the cell file. The three older binary files stay as they were.
TEST(GuastoInstallatore, DiskFullAfterThePlanKeepsTheOlderSet) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  if (const int e = test::spazio_di_montaggio_privato(); e != 0) {
    GTEST_SKIP() << "no mount namespace of its own (unshare: " << std::strerror(e) << ")";
  }
  CasoGuasto g;
  const auto pagine = [](uintmax_t n) { return (n + 4095) / 4096 * 4096; };
  uintmax_t spazio = 0;
  for (const auto& n : g.nomi()) spazio += pagine(fs::file_size(g.dir.percorso() / n));
  for (size_t i = 0; i < kPrimoBinario; ++i) {
    if (!sorgente(i)) spazio += pagine(finito(i).size());
  }
  ASSERT_LT(pagine(finito(0).size() + finito(1).size()), pagine(finito(kPrimoBinario).size()));
  spazio += pagine(finito(kPrimoBinario).size()) + 8192;  // the plan fits, the cells do not
  const size_t celle = kPrimoBinario + 1;
  ASSERT_GT(pagine(finito(celle).size()), 8192u);

  // The folder's content, moved onto the small file system.
  CartellaProva copia;
  fs::copy(g.dir.percorso(), copia.percorso(), fs::copy_options::recursive);
  const std::string opzioni = "size=" + std::to_string(spazio);
  ASSERT_EQ(mount("prova", g.dir.percorso().c_str(), "tmpfs", 0, opzioni.c_str()), 0)
      << std::strerror(errno);
  fs::copy(copia.percorso(), g.dir.percorso(), fs::copy_options::recursive);
  const test::Uscita u = g.avvia();
  const std::vector<std::string> lasciati = g.nomi();
  std::vector<std::string> contenuti;
  for (const auto& n : lasciati) contenuti.push_back(leggi(g.dir.percorso() / n));
  umount2(g.dir.percorso().c_str(), MNT_DETACH);
  for (const auto& n : test::nomi(g.dir.percorso())) fs::remove(g.dir.percorso() / n);
  for (size_t i = 0; i < lasciati.size(); ++i)
    test::scrivi(g.dir.percorso() / lasciati[i], contenuti[i]);

  g.fermato_su(celle, u, ENOSPC);
  EXPECT_EQ(leggi(g.percorso(celle)), vecchio(kInOrdine[celle]));
}

}  // namespace
}  // namespace scenario

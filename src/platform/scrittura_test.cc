#include "platform/scrittura.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>
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
// it (on POSIX, motivo_errno's text for `errno_posix`).
void messaggio_come(const GuastoPiattaforma& g, const std::filesystem::path& p,
                    [[maybe_unused]] int errno_posix) {
  const std::string messaggio = g.what();
  const std::string inizio = "impossibile scrivere " + p.string() + ": ";
  EXPECT_EQ(messaggio.substr(0, inizio.size()), inizio);
  EXPECT_GT(messaggio.size(), inizio.size());
#ifndef _WIN32
  EXPECT_EQ(messaggio, inizio + scenario::motivo_errno(errno_posix));
#endif
}

#ifndef _WIN32
// The reasons an author meets most read in Italian, from an errno value and
// from what std::filesystem reports alike; any other in the system's words.
TEST(Motivo, CommonReasonsInItalian) {
  const std::pair<int, const char*> casi[] = {
      {ENOENT, "file o cartella inesistente"},  {EACCES, "permesso negato"},
      {EPERM, "operazione non permessa"},       {ENOSPC, "spazio esaurito sul dispositivo"},
      {EROFS, "file system di sola lettura"},   {EEXIST, "il file esiste gia'"},
      {ENOTDIR, "non e' una cartella"},         {EISDIR, "e' una cartella"},
      {ENAMETOOLONG, "nome troppo lungo"},      {EMFILE, "troppi file aperti dal programma"},
      {ELOOP, "troppi collegamenti simbolici"},
  };
  for (const auto& [codice, testo] : casi) {
    EXPECT_EQ(motivo_errno(codice), testo) << codice;
    EXPECT_EQ(motivo_codice(std::error_code(codice, std::generic_category())), testo) << codice;
    EXPECT_EQ(motivo_codice(std::error_code(codice, std::system_category())), testo) << codice;
  }
  EXPECT_EQ(motivo_errno(EXDEV), std::strerror(EXDEV));
}
#endif

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

// Permission bits (POSIX) and the read-only attribute (Windows, where
// MoveFileExW alone refuses such a file) do not keep an older file from
// being replaced whole; the new file can be written again.
TEST(ScriviFile, ReadOnlyOlderFileIsReplaced) {
  CartellaProva cartella;
  const auto finale = cartella / "Prova_7.sim";
  scrivi(finale, "vecchio");
  std::filesystem::permissions(
      finale, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  scrivi_file(finale, "nuovo");
  EXPECT_EQ(leggi(finale), "nuovo");
  EXPECT_NE(std::filesystem::status(finale).permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
  EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{"Prova_7.sim"});
}

TEST(InsiemeFile, TemporaryNamesAreShortAndOurs) {
  CartellaProva cartella;
  const std::string lungo(200, 'n');
  InsiemeFile insieme;
  insieme.aggiungi(cartella / lungo, "abc");
  const auto n = nomi(cartella.percorso());
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].size(), kLunghezzaTemporaneo) << n[0];
  EXPECT_TRUE(nome_temporaneo(n[0])) << n[0];
  insieme.sostituisci();
  EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{lungo});
}

// Writes "nuovo NAME" for every name of `set` as one set, whose replacement
// must fail naming `bloccato`.
void sostituzione_fallita(const CartellaProva& cartella, const std::vector<std::string>& set,
                          const std::string& bloccato) {
  InsiemeFile insieme;
  for (const auto& n : set) insieme.aggiungi(cartella / n, "nuovo " + n);
  try {
    insieme.sostituisci();
    ADD_FAILURE() << "no failure";
  } catch (const GuastoPiattaforma& g) {
    EXPECT_EQ(g.file(), cartella / bloccato);
  }
}

// A folder under the last name: found before any rename, so every older
// file of the set stays and no temporary file is left.
TEST(InsiemeFile, FailureBeforeTheRenamesKeepsTheOlderSet) {
  const std::vector<std::string> set = {"P_linea.dat", "P_7.dat", "P_7.sim"};
  for (size_t bloccato = 0; bloccato < set.size(); ++bloccato) {
    SCOPED_TRACE(set[bloccato]);
    CartellaProva cartella;
    for (const auto& n : set) {
      if (n == set[bloccato]) {
        std::filesystem::create_directory(cartella / n);
      } else {
        scrivi(cartella / n, "vecchio " + n);
      }
    }
    sostituzione_fallita(cartella, set, set[bloccato]);
    for (const auto& n : set) {
      if (n != set[bloccato]) {
        EXPECT_EQ(leggi(cartella / n), "vecchio " + n);
      }
    }
    EXPECT_EQ(nomi(cartella.percorso()),
              (std::vector<std::string>{"P_7.dat", "P_7.sim", "P_linea.dat"}));
  }
}

#ifdef _WIN32
// An older file another program holds open without sharing its deletion
// (the simulator reading it) stops the set before any rename: the files
// before it in the set are not replaced either.
TEST(InsiemeFile, FileInUseKeepsTheOlderSet) {
  const std::vector<std::string> set = {"P_linea.dat", "P_7.dat", "P_7.sim"};
  CartellaProva cartella;
  for (const auto& n : set) scrivi(cartella / n, "vecchio " + n);
  const HANDLE aperto = CreateFileW((cartella / set.back()).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(aperto, INVALID_HANDLE_VALUE);
  sostituzione_fallita(cartella, set, set.back());
  CloseHandle(aperto);
  for (const auto& n : set) EXPECT_EQ(leggi(cartella / n), "vecchio " + n);
  EXPECT_EQ(nomi(cartella.percorso()),
            (std::vector<std::string>{"P_7.dat", "P_7.sim", "P_linea.dat"}));
}
#endif

TEST(InsiemeFile, UnfinishedSetLeavesNoTemporary) {
  CartellaProva cartella;
  scrivi(cartella / "P_7.sim", "vecchio");
  {
    InsiemeFile insieme;
    insieme.aggiungi(cartella / "P_7.sim", "nuovo");
    insieme.aggiungi(cartella / "P_7.dat", "nuovo");
  }
  EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{"P_7.sim"});
  EXPECT_EQ(leggi(cartella / "P_7.sim"), "vecchio");
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

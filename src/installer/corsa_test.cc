#include "installer/corsa.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "installer/avvio.h"
#include "tests/support/cartella.h"

namespace scenario {
namespace {

using namespace std::chrono_literals;
using test::CartellaProva;
using test::leggi;
using test::nomi;
using test::scrivi;

// The names in a folder whose lock is held: on Windows the lock is a file
// of its own while it is held.
std::vector<std::string> nomi_sotto_blocco(const std::filesystem::path& cartella) {
  std::vector<std::string> n = nomi(cartella);
  std::erase(n, kNomeBloccoWin32);
  return n;
}

std::string motivo_di(const std::function<void()>& f) {
  try {
    f();
  } catch (const GuastoPiattaforma& g) {
    return g.what();
  }
  return "";
}

TEST(BloccoCartella, SecondHolderWaitsThenRefusesNamingTheFolder) {
  CartellaProva cartella;
  {
    BloccoCartella primo(cartella.percorso(), 0ms);
    const auto inizio = std::chrono::steady_clock::now();
    const std::string m = motivo_di([&] { BloccoCartella secondo(cartella.percorso(), 300ms); });
    EXPECT_GE(std::chrono::steady_clock::now() - inizio, 300ms);
    EXPECT_NE(m.find("impossibile scrivere in " + cartella.percorso().string()), std::string::npos)
        << m;
    EXPECT_NE(m.find("in uso da un'altra esecuzione"), std::string::npos) << m;
  }
  // Released with its holder; and it leaves nothing in the folder.
  { BloccoCartella terzo(cartella.percorso(), 0ms); }
  EXPECT_TRUE(nomi(cartella.percorso()).empty());
}

#ifndef _WIN32
// The lock file gives writing to those who may write the folder and reading
// to no one, so no read lock can hold a run off; a file a killed run left
// is taken over and goes with its new holder.
TEST(BloccoCartella, LockFileIsForWritersOnlyAndGoesWithItsHolder) {
  namespace fs = std::filesystem;
  using fs::perms;
  struct Caso {
    perms cartella;
    perms atteso;
  };
  const Caso casi[] = {
      {perms::owner_all | perms::group_read | perms::group_exec | perms::others_read |
           perms::others_exec,
       perms::owner_write},
      {perms::owner_all | perms::group_all | perms::others_read | perms::others_exec,
       perms::owner_write | perms::group_write},
      {perms::all, perms::owner_write | perms::group_write | perms::others_write},
  };
  for (const Caso& c : casi) {
    CartellaProva cartella;
    fs::permissions(cartella.percorso(), c.cartella);
    const fs::path blocco = cartella / kNomeBlocco;
    for (const bool lasciato : {false, true}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(c.cartella)) +
                   (lasciato ? ", left by a killed run" : ""));
      if (lasciato) scrivi(blocco, "");
      {
        BloccoCartella b(cartella.percorso(), 0ms);
        ASSERT_TRUE(fs::exists(blocco));
        if (!lasciato) {
          EXPECT_EQ(fs::status(blocco).permissions(), c.atteso);
        }
        EXPECT_THROW(BloccoCartella(cartella.percorso(), 0ms), GuastoPiattaforma);
      }
      EXPECT_TRUE(nomi(cartella.percorso()).empty());
    }
  }
}
#endif

TEST(BloccoCartella, MissingFolderOrAFileIsNamed) {
  CartellaProva cartella;
  scrivi(cartella / "file", "x");
  for (const char* nome : {"manca", "file"}) {
    SCOPED_TRACE(nome);
    const std::string m = motivo_di([&] { BloccoCartella b(cartella / nome, 0ms); });
    EXPECT_NE(m.find("impossibile usare la cartella " + (cartella / nome).string() + ": "),
              std::string::npos)
        << m;
  }
}

TEST(Corsa, NamesLongerThanTheFolderTakesAreRefusedBeforeAnything) {
  CartellaProva cartella;
  const size_t limite = limite_nome(cartella.percorso());
  ASSERT_GE(limite, kLunghezzaTemporaneo);
  const std::string giusto(limite, 'a');
  EXPECT_NO_THROW(Corsa(cartella.percorso(), {"a", giusto}, 0ms));
  scrivi(cartella / ".scenario.AAAAAA", "avanzo");
  try {
    Corsa c(cartella.percorso(), {"a", giusto + "b", giusto}, 0ms);
    ADD_FAILURE() << "a name beyond the limit passed";
  } catch (const NomeTroppoLungo& e) {
    EXPECT_NE(std::string(e.what()).find(giusto + "b"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(std::to_string(limite + 1) + " caratteri"),
              std::string::npos)
        << e.what();
  }
  // Refused before it touched the folder.
  EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{".scenario.AAAAAA"});
}

TEST(Corsa, RemovesWhatAKilledRunLeftAndNothingElse) {
  CartellaProva cartella;
  const std::vector<std::string> avanzi = {".scenario.AAAAAA", ".scenario.x1Y2z3", "P_7.sim.tmp1",
                                           "P_7.sim.tmp4294967295"};
  const std::vector<std::string> altri = {
      ".scenario.AAAAA",         // too short
      ".scenario.AAAAAAA",       // too long
      ".scenario.AA-AAA",        // not a letter or digit
      "P_7.sim.tmp",             // no digits
      "P_7.sim.tmp12345678901",  // eleven
      "P_7.sim.tmp12a",
      "Q_7.sim.tmp1",  // not one of the run's names
      "P_7.sim",
  };
  for (const auto& n : avanzi) scrivi(cartella / n, "avanzo");
  for (const auto& n : altri) scrivi(cartella / n, "altro");
  std::filesystem::create_directory(cartella / ".scenario.BBBBBB");
  {
    Corsa c(cartella.percorso(), {"P_7.sim", "P_linea.dat"}, 0ms);
    std::vector<std::string> attesi = altri;
    attesi.push_back(".scenario.BBBBBB");
    std::sort(attesi.begin(), attesi.end());
    EXPECT_EQ(nomi_sotto_blocco(cartella.percorso()), attesi);
  }
}

TEST(Corsa, NamesHeldForRemovalGoAtTheEnd) {
  CartellaProva cartella;
  {
    Corsa c(cartella.percorso(), {"P_linea.txt"}, 0ms);
    c.rimuovi_alla_fine("P_linea.txt");
    scrivi(cartella / "P_linea.txt", "sorgente");
    scrivi(cartella / "P_7_note.txt", "resta");
  }
  EXPECT_EQ(nomi(cartella.percorso()), std::vector<std::string>{"P_7_note.txt"});
}

class Finta : public Piattaforma {
 public:
  explicit Finta(std::filesystem::path c) : c_(std::move(c)) {}
  std::filesystem::path cartella_programma() override { return c_; }
  void mostra_attesa() override {}
  void messaggio_errore(const std::string&) override {}
  void messaggio_guasto(const std::string& t) override { guasti.push_back(t); }
  std::vector<std::string> guasti;

 private:
  std::filesystem::path c_;
};

// A run that finds its folder held by another waits, then refuses with
// status 3 and touches nothing.
TEST(Corsa, InstallerRefusesAFolderHeldByAnotherRun) {
  CartellaProva cartella;
  scrivi(cartella / "Prova_7.sim", "vecchio");
  BloccoCartella altro(cartella.percorso(), 0ms);
  Finta piattaforma(cartella.percorso());
  EXPECT_EQ(avvio(piattaforma, {"Prova", "7"}, emittitori(), 100ms), uscita_guasto);
  ASSERT_EQ(piattaforma.guasti.size(), 1u);
  EXPECT_NE(piattaforma.guasti[0].find("in uso da un'altra esecuzione"), std::string::npos);
  EXPECT_EQ(nomi_sotto_blocco(cartella.percorso()), std::vector<std::string>{"Prova_7.sim"});
  EXPECT_EQ(leggi(cartella / "Prova_7.sim"), "vecchio");
}

// An installer whose identity gives a name the folder cannot take refuses
// with status 3 before it writes anything.
TEST(Corsa, InstallerRefusesAnIdentityWhoseNamesDoNotFit) {
  CartellaProva cartella;
  const size_t limite = limite_nome(cartella.percorso());
  // LINEA_TRENO_rallentamenti.txt is the longest of the eight names.
  const Identita id{std::string(limite - 19, 'L'), "7"};
  Finta piattaforma(cartella.percorso());
  EXPECT_EQ(avvio(piattaforma, id, emittitori(), 0ms), uscita_guasto);
  ASSERT_EQ(piattaforma.guasti.size(), 1u);
  EXPECT_NE(piattaforma.guasti[0].find(id.linea + "_7_rallentamenti.txt: nome di " +
                                       std::to_string(limite + 1) + " caratteri"),
            std::string::npos)
      << piattaforma.guasti[0];
  EXPECT_TRUE(nomi(cartella.percorso()).empty());
}

}  // namespace
}  // namespace scenario

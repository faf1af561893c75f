// The names a run writes, on the real executables: outputs that would be
// one file with another output, with a source or with the program itself,
// outputs under the name of a device or a FIFO, stubs that are not this
// project's, and the folder a pack or a picture is written in. Each refusal
// says why and leaves every file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/identita.h"
#include "pack/carico.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"
#include "tests/support/eseguibili.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::leggi;

const std::string kTool = SCENARIO_TOOL_PATH;
const std::string kStub = SCENARIO_STUB_PATH;
const std::string kInstallatore = SCENARIO_INSTALLER_PATH;

test::Uscita scenario(const fs::path& dir, const std::string& argomenti) {
  return esegui(avvio(kTool, argomenti), dir);
}

void riesce(const fs::path& dir, const std::string& argomenti) {
  const test::Uscita u = scenario(dir, argomenti);
  ASSERT_EQ(u.stato, 0) << argomenti << ": " << u.out << u.err;
}

// What a folder holds: each file's bytes, or the kind of anything else
// (never opened: a FIFO would not answer).
std::map<std::string, std::string> fotografia(const fs::path& dir) {
  std::map<std::string, std::string> f;
  for (const auto& voce : fs::directory_iterator(dir)) {
    const fs::file_type t = fs::symlink_status(voce.path()).type();
    f[voce.path().filename().string()] =
        t == fs::file_type::regular ? leggi(voce.path()) : "<" + std::to_string(int(t)) + ">";
  }
  return f;
}

void fifo(const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0) << std::strerror(errno); }

void copia_eseguibile(const fs::path& da, const fs::path& a) {
  fs::copy_file(da, a);
  fs::permissions(a, fs::perms::owner_all);
}

struct Caso {
  const char* nome;
  std::function<void(const fs::path&)> prepara;
  std::string comando;
  int stato;
  std::vector<std::string> messaggio;  // each a piece of standard error
  std::string programma = kTool;       // relative to the folder, or absolute
};

// Runs each case in a folder of its own: the status, the message, and the
// folder exactly as it was.
void rifiutati(const std::vector<Caso>& casi) {
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva dir;
    c.prepara(dir.percorso());
    if (::testing::Test::HasFatalFailure()) return;
    const auto prima = fotografia(dir.percorso());
    const test::Uscita u = esegui(avvio(c.programma, c.comando), dir.percorso());
    EXPECT_EQ(u.stato, c.stato) << u.out << u.err;
    for (const std::string& m : c.messaggio) EXPECT_NE(u.err.find(m), std::string::npos) << u.err;
    EXPECT_TRUE(fotografia(dir.percorso()) == prima);
  }
}

// The author's scenario L/7, compiled.
void compilato(const fs::path& d) {
  riesce(d, "emit --linea L --treno 7");
  riesce(d, "compile L 7");
}

// Another train's sources on the line of L/7: the train source of 7 under
// the name of `treno`.
std::function<void(const fs::path&)> treno_sulla_linea(const std::string& treno) {
  return [treno](const fs::path& d) {
    compilato(d);
    fs::copy_file(d / "L_7-.txt", d / ("L_" + treno + "-.txt"));
  };
}

TEST(NomiUscite, CollidingNamesAreRefusedBeforeAnythingIsWritten) {
  const std::string linea = "la planimetria della linea ./L_linea.dat";
  rifiutati({
      {"pack over the line source",
       [](const fs::path& d) { riesce(d, "emit --linea L --treno linea.txt"); },
       "pack L linea.txt",
       64,
       {"nomi in conflitto: il sorgente della linea ./L_linea.txt e l'installatore ./L_linea.txt "
        "sarebbero lo stesso file; nessun file scritto"}},
      {"pack over the compiled plan",
       [](const fs::path& d) {
         riesce(d, "emit --linea L --treno linea.dat");
         riesce(d, "compile L linea.dat");
       },
       "pack L linea.dat",
       64,
       {linea + " e l'installatore ./L_linea.dat"}},
      {"the train linea: its cell file is the plan",
       treno_sulla_linea("linea"),
       "compile L linea",
       64,
       {linea + " e il file delle celle ./L_linea.dat sarebbero lo stesso file"}},
      {"the same without the plan",
       treno_sulla_linea("linea"),
       "compile L linea --no-plan",
       64,
       {linea + " e il file delle celle ./L_linea.dat"}},
      {"the train linea emitted",
       [](const fs::path&) {},
       "emit --linea L --treno linea",
       64,
       {linea + " e il file delle celle"}},
      {"the train LINEA packed, for Windows",
       [](const fs::path& d) { riesce(d, "emit --linea L --treno LINEA"); },
       "pack L LINEA",
       64,
       {linea + " e il file delle celle ./L_LINEA.dat sarebbero lo stesso file per un file "
                "system che non distingue maiuscole e minuscole"}},
      {"a picture of an identity whose names collide: a bad command line, as for compile",
       treno_sulla_linea("linea"),
       "plot L linea",
       64,
       {"scenario plot: nomi in conflitto: ", linea + " e il file delle celle ./L_linea.dat"}},
      {"a picture over the header file",
       compilato,
       "plot L 7 -o L_7.sim",
       64,
       {"il disegno ./L_7.sim e il file di testata ./L_7.sim"}},
      {"an installer over its stub",
       [](const fs::path& d) {
         riesce(d, "emit --linea L --treno 7");
         copia_eseguibile(kStub, d / "stub");
       },
       "pack L 7 --stub stub -o stub",
       64,
       {"l'installatore ./stub e lo stub stub"}},
      {"a picture over the author tool itself",
       [](const fs::path& d) {
         compilato(d);
         copia_eseguibile(kTool, d / "scenario");
       },
       "plot L 7 -o scenario",
       64,
       {"il disegno ./scenario e il programma stesso"},
       "./scenario"},
      {"the author tool under a temporary file's name",
       [](const fs::path& d) {
         compilato(d);
         copia_eseguibile(kTool, d / ".scenario.Aa0000");
       },
       "compile L 7",
       64,
       {"il programma stesso", "ha il nome di un file temporaneo"},
       "./.scenario.Aa0000"},
      {"an installer under a temporary file's name",
       [](const fs::path& d) { riesce(d, "emit --linea L --treno 7"); },
       "pack L 7 -o .scenario.abc123",
       64,
       {"l'installatore ./.scenario.abc123 ha il nome di un file temporaneo"}},
  });
}

// Identities hold only what every target takes in a file name.
TEST(NomiUscite, IdentitiesWithCharactersWindowsRefuses) {
  std::vector<Caso> casi;
  for (const char* nome : {"L*", "L?", "L<", "L>", "L|", "L\""}) {
    for (const std::string& comando :
         {"compile " + std::string(nome) + " 7", "pack L " + std::string(nome),
          "emit --linea " + std::string(nome)}) {
      casi.push_back({nome,
                      [](const fs::path& d) { riesce(d, "emit --linea L --treno 7"); },
                      comando,
                      64,
                      {"LINEA e TRENO: ", "senza alcuno di <>:\"/\\|?*"}});
    }
  }
  rifiutati(casi);
}

// Outputs replace only files: a FIFO or a device under an output name is a
// failure that names it, and it stays what it was.
TEST(NomiUscite, OutputsReplaceOnlyFiles) {
  const std::string fifo_no =
      "sotto questo nome c'e' una FIFO, non un file: nessun file sostituito";
  const auto con_fifo = [](const char* nome) {
    return [nome](const fs::path& d) {
      compilato(d);
      fs::remove(d / nome);
      fifo(d / nome);
    };
  };
  rifiutati({
      {"plot -o FIFO",
       con_fifo("f.svg"),
       "plot L 7 -o f.svg",
       3,
       {"impossibile scrivere ./f.svg: " + fifo_no}},
      {"pack -o FIFO", con_fifo("f"), "pack L 7 -o f", 3, {"impossibile scrivere ./f: " + fifo_no}},
      {"compile over a FIFO",
       con_fifo("L_7.dat"),
       "compile L 7",
       3,
       {"impossibile scrivere ./L_7.dat: " + fifo_no}},
      {"emit over a FIFO",
       con_fifo("L_7_note.txt"),
       "emit --linea L --treno 7 --force",
       3,
       {"impossibile scrivere ./L_7_note.txt: " + fifo_no}},
      {"plot -o a device",
       compilato,
       "plot L 7 -o /dev/null",
       3,
       {"impossibile scrivere /dev/null: sotto questo nome c'e' un dispositivo"}},
  });
  struct stat s {};
  ASSERT_EQ(::stat("/dev/null", &s), 0);
  EXPECT_TRUE(S_ISCHR(s.st_mode));
}

// Only this project's stub takes a scenario; a FIFO or a device is refused
// without waiting for it.
TEST(NomiUscite, PackTakesOnlyThisProjectsStub) {
  std::string pe88 = test::pe_minimo(0).substr(0, 88);
  pe88[64 + 6] = 0;  // no section
  const std::string stub = leggi(kStub);
  std::vector<Caso> casi = {
      {"the author tool",
       nullptr,
       "pack L 7 --stub '" + kTool + "'",
       64,
       {"non e' uno stub di questo progetto"}},
      {"an 88-byte PE",
       [pe88](const fs::path& d) { test::scrivi(d / "s", pe88); },
       "pack L 7 --stub s",
       64,
       {"s non e' uno stub di questo progetto"}},
      {"a truncated stub",
       [stub](const fs::path& d) { test::scrivi(d / "s", stub.substr(0, 4096)); },
       "pack L 7 --stub s",
       64,
       {"s e' troncato: il programma finisce a ", " il file ne ha 4096"}},
      {"a FIFO",
       [](const fs::path& d) { fifo(d / "s"); },
       "pack L 7 --stub s",
       64,
       {"s non e' un programma: e' una FIFO"}},
      {"a device",
       nullptr,
       "pack L 7 --stub /dev/null",
       64,
       {"/dev/null non e' un programma: e' un dispositivo"}},
  };
  if (fs::exists("/bin/ls")) {
    casi.push_back({"a system program",
                    nullptr,
                    "pack L 7 --stub /bin/ls",
                    64,
                    {"/bin/ls non e' uno stub di questo progetto"}});
  }
  for (Caso& c : casi) {
    c.prepara = [p = c.prepara](const fs::path& d) {
      riesce(d, "emit --linea L --treno 7");
      if (p) p(d);
    };
  }
  rifiutati(casi);
}

// An installer renamed to one of its own output names, or to a name a run
// removes as left over, refuses and stays whole.
TEST(NomiUscite, RenamedInstallerRefusesToDestroyItself) {
  const Identita id{"Lanvero_Ostrel", "24817"};
  const auto testi = nomi_testi(id);
  std::vector<std::string> nomi(testi.begin(), testi.end());
  for (const std::string& n : {nome_planimetria(id), nome_celle(id), nome_testata(id)}) {
    nomi.push_back(n);
  }
  nomi.push_back("LANVERO_OSTREL_LINEA.DAT");  // the plan, to Windows
  nomi.push_back(".scenario.Zz9999");
  nomi.push_back(nome_testata(id) + ".tmp3");
  const std::string programma = leggi(kInstallatore);
  for (const std::string& n : nomi) {
    SCOPED_TRACE(n);
    CartellaProva gioco;
    copia_eseguibile(kInstallatore, gioco / n);
    const test::Uscita u = esegui(avvio("./" + n), gioco.percorso());
    EXPECT_EQ(u.stato, 3);
    EXPECT_NE(u.err.find("il programma stesso"), std::string::npos) << u.err;
    EXPECT_NE(u.err.find("nessun file scritto"), std::string::npos) << u.err;
    EXPECT_EQ(test::nomi(gioco.percorso()), std::vector<std::string>{n});
    EXPECT_TRUE(leggi(gioco / n) == programma);
  }
}

// A payload whose names collide (made by hand: pack refuses it) is refused
// by the installer itself.
TEST(NomiUscite, InstallerRefusesAnIdentityWhoseNamesCollide) {
  for (const char* treno : {"linea", "LINEA"}) {
    SCOPED_TRACE(treno);
    const Identita id{"L", treno};
    std::vector<FileNominato> testi;
    for (const std::string& n : nomi_testi(id)) testi.push_back({n, "testo"});
    CartellaProva gioco;
    test::scrivi(gioco / "inst", leggi(kStub) + codifica_carico(id, testi));
    fs::permissions(gioco / "inst", fs::perms::owner_all);
    const test::Uscita u = esegui(avvio("./inst"), gioco.percorso());
    EXPECT_EQ(u.stato, 3);
    EXPECT_NE(u.err.find("la planimetria della linea"), std::string::npos) << u.err;
    EXPECT_NE(u.err.find("il file delle celle"), std::string::npos) << u.err;
    EXPECT_EQ(test::nomi(gioco.percorso()), std::vector<std::string>{"inst"});
  }
}

// pack and plot hold the folder they write in as every run does, and
// remove what a killed run left there.
TEST(NomiUscite, PackAndPlotRemoveWhatAKilledRunLeft) {
  for (const std::string comando : {"pack L 7", "plot L 7"}) {
    SCOPED_TRACE(comando);
    CartellaProva dir;
    compilato(dir.percorso());
    test::scrivi(dir / ".scenario.Kk0001", std::string(4096, 'x'));
    riesce(dir.percorso(), comando);
    EXPECT_FALSE(fs::exists(dir / ".scenario.Kk0001"));
    EXPECT_TRUE(fs::exists(dir / (comando[1] == 'a' ? "L_7" : "L_7.svg")));
  }
}

// Standard output that cannot be written stops pack before the installer
// takes its name.
TEST(NomiUscite, PackChecksStandardOutputBeforeTheInstallerIsWritten) {
  CartellaProva dir;
  riesce(dir.percorso(), "emit --linea L --treno 7");
  const auto prima = fotografia(dir.percorso());
  test::Avvio a = avvio(kTool, "pack L 7");
  a.uscita = "/dev/full";
  const test::Uscita u = esegui(a, dir.percorso());
  EXPECT_EQ(u.stato, 3);
  EXPECT_NE(u.err.find("impossibile scrivere lo standard output"), std::string::npos) << u.err;
  EXPECT_TRUE(fotografia(dir.percorso()) == prima);
}

}  // namespace
}  // namespace scenario

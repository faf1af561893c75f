// `scenario pack` and the installers it makes, run as authors and players
// run them: an author's own scenario packed, copied into a fresh folder and
// started there; sources with errors; damaged installers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "generatore/generatore.h"
#include "installer/marca_stub.h"
#include "model/identita.h"
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

const Identita kValleNera{"Valle_Nera", "31415"};
const std::string kProgramma = "Valle_Nera_31415";

// An author's scenario: the generator's texts over the carried line's
// length, under another identity.
const ScenarioGenerato& valle_nera() {
  static const ScenarioGenerato s = genera_scenario(kValleNera, kLunghezzaBreve);
  return s;
}
std::vector<std::string> testi(const ScenarioGenerato& s) {
  return {s.linea, s.treno, s.note, s.rallentamenti, s.scheda};
}

// The five texts in `dir` under their names.
void scrivi_testi(const fs::path& dir, const Identita& id, const std::vector<std::string>& t) {
  const auto nomi = nomi_testi(id);
  for (size_t i = 0; i < nomi.size(); ++i) test::scrivi(dir / nomi[i], t[i]);
}

test::Uscita pack(const fs::path& dir, const std::string& argomenti) {
  return esegui(avvio(kTool, "pack " + argomenti), dir);
}

// A Windows stub as small as can be: a PE file whose one section holds the
// stub's mark.
std::string pe_stub() {
  std::string f = test::pe_minimo(256);
  const std::string marca = marca_stub();
  f.replace(64 + 24 + 40, marca.size(), marca);
  return f;
}

// The files of a folder but the program itself, name and bytes.
std::map<std::string, std::string> contenuto(const fs::path& dir, const std::string& programma) {
  std::map<std::string, std::string> c;
  for (const std::string& n : test::nomi(dir)) {
    if (n != programma) c[n] = leggi(dir / n);
  }
  return c;
}

TEST(Pack, AuthorsScenarioInstallsItsSixFilesInAFreshFolder) {
  CartellaProva sorgenti;
  scrivi_testi(sorgenti.percorso(), kValleNera, testi(valle_nera()));
  const auto p = pack(sorgenti.percorso(), "Valle_Nera 31415");
  ASSERT_EQ(p.stato, 0) << p.out << p.err;
  const fs::path installatore = sorgenti / kProgramma;
  ASSERT_TRUE(fs::exists(installatore)) << p.out;
  EXPECT_NE(fs::status(installatore).permissions() & fs::perms::owner_exec, fs::perms::none);

  // What `scenario compile` makes of the same two sources.
  const auto c = esegui(avvio(kTool, "compile Valle_Nera 31415"), sorgenti.percorso());
  ASSERT_EQ(c.stato, 0) << c.out;

  CartellaProva gioco;
  fs::copy_file(installatore, gioco / kProgramma);
  const auto u = esegui(avvio("./" + kProgramma), gioco.percorso());
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out, "Attendere\n");
  EXPECT_EQ(u.err, "");
  const auto lasciati = contenuto(gioco.percorso(), kProgramma);
  std::map<std::string, std::string> attesi;
  for (const std::string& n :
       {nome_note(kValleNera), nome_rallentamenti(kValleNera), nome_scheda(kValleNera),
        nome_planimetria(kValleNera), nome_testata(kValleNera), nome_celle(kValleNera)}) {
    attesi[n] = leggi(sorgenti / n);  // the documents as packed, the binaries as compiled
  }
  EXPECT_EQ(lasciati.size(), 6u);
  EXPECT_TRUE(lasciati == attesi);
  EXPECT_FALSE(fs::exists(gioco / nome_sorgente_linea(kValleNera)));
  EXPECT_FALSE(fs::exists(gioco / nome_sorgente_treno(kValleNera)));

  // A second start in the same folder: the same bytes.
  const auto v = esegui(avvio("./" + kProgramma), gioco.percorso());
  EXPECT_EQ(v.stato, 0) << v.err;
  EXPECT_TRUE(contenuto(gioco.percorso(), kProgramma) == attesi);
}

// The carried installer is made the same way: the build packs the carried
// texts onto the stub, byte for byte what an author's pack makes of them.
TEST(Pack, CarriedInstallerIsThePackOfTheCarriedTexts) {
  CartellaProva dir;
  ASSERT_EQ(esegui(avvio(kTool, "emit"), dir.percorso()).stato, 0);
  const auto p = pack(dir.percorso(), "Lanvero_Ostrel 24817 -o carried --stub '" + kStub + "'");
  ASSERT_EQ(p.stato, 0) << p.err;
  EXPECT_TRUE(leggi(dir / "carried") == leggi(SCENARIO_INSTALLER_PATH));
}

// An author's slip that compiles (a station name saved as UTF-8): pack
// shows the warning before it writes; with -Werror, or -Werror naming it,
// it refuses and writes nothing.
TEST(Pack, WarningsAreShownAndWerrorRefuses) {
  CartellaProva dir;
  ASSERT_EQ(esegui(avvio(kTool, "emit"), dir.percorso()).stato, 0);
  const fs::path treno = dir / "Lanvero_Ostrel_24817-.txt";
  std::string t = leggi(treno);
  const size_t nome = t.find("PRAVESELLA");
  ASSERT_NE(nome, std::string::npos);
  t.replace(nome, 10, "PRAV\xC3\x88SELLA");
  test::scrivi(treno, t);

  const auto p = pack(dir.percorso(), "Lanvero_Ostrel 24817 -o mio");
  EXPECT_EQ(p.stato, 0) << p.out << p.err;
  const size_t avviso = p.out.find(": warning: il file e' salvato in UTF-8");
  ASSERT_NE(avviso, std::string::npos) << p.out;
  EXPECT_LT(avviso, p.out.find("installatore scritto: ")) << p.out;
  EXPECT_TRUE(fs::exists(dir / "mio"));
  fs::remove(dir / "mio");

  const auto prima = test::nomi(dir.percorso());
  for (const char* opzione : {"-Werror", "-Werror=codifica"}) {
    SCOPED_TRACE(opzione);
    const auto r = pack(dir.percorso(), std::string("Lanvero_Ostrel 24817 -o mio ") + opzione);
    EXPECT_EQ(r.stato, 1) << r.out << r.err;
    EXPECT_NE(r.out.find(": error: il file e' salvato in UTF-8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[-Werror=codifica]"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("installatore scritto"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("nessun installatore scritto"), std::string::npos) << r.err;
    EXPECT_EQ(test::nomi(dir.percorso()), prima);
  }
  EXPECT_EQ(pack(dir.percorso(), "Lanvero_Ostrel 24817 -o mio -Werror=boh").stato, 64);
}

// Sources the check refuses: the report is shown and nothing is written.
TEST(Pack, SourcesWithAnErrorAreRefused) {
  struct Caso {
    const char* nome;
    std::string linea;
    std::string treno;   // the generated one when empty
    std::string errore;  // the error line the check shows
  };
  const Caso casi[] = {
      {"unreadable number",
       "[generale]\r\nlunghezza percorso, 91000\r\n[pendenze]\r\npendenza, 0, 1.5\r\n", "",
       "Valle_Nera_linea.txt:4:14: error: "},
      {"no [generale]", "lunghezza percorso, 91000\r\n", "", "Valle_Nera_linea.txt: error: "},
      {"train beyond the line", "[generale]\r\nlunghezza percorso, 2000\r\n", "", "[errore 15]"},
      {"stamp refused",
       "[generale]\r\nlunghezza percorso, 2000\r\n[cartelli]\r\n"
       "indicatori_vmax,  0,  1,  0,  0,  0,  0,  0,  0,  0\r\n[fine]\r\n",
       "[generale]\r\n[fine]\r\n", "[errore 1250]"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva dir;
    std::vector<std::string> t = testi(valle_nera());
    t[0] = c.linea;
    if (!c.treno.empty()) t[1] = c.treno;
    scrivi_testi(dir.percorso(), kValleNera, t);
    const auto prima = test::nomi(dir.percorso());
    const auto u = pack(dir.percorso(), "Valle_Nera 31415");
    EXPECT_EQ(u.stato, 1);
    EXPECT_NE(u.out.find(c.errore), std::string::npos) << u.out;
    EXPECT_NE(u.err.find("nessun installatore scritto"), std::string::npos) << u.err;
    EXPECT_EQ(test::nomi(dir.percorso()), prima);
  }
}

TEST(Pack, MissingTextsWriteNothing) {
  for (size_t manca = 0; manca < 5; ++manca) {
    CartellaProva dir;
    scrivi_testi(dir.percorso(), kValleNera, testi(valle_nera()));
    const std::string nome = nomi_testi(kValleNera)[manca];
    fs::remove(dir / nome);
    const auto prima = test::nomi(dir.percorso());
    const auto u = pack(dir.percorso(), "Valle_Nera 31415");
    EXPECT_EQ(u.stato, 1) << nome;
    // A missing source is the check's error, a missing document pack's own.
    EXPECT_NE((u.out + u.err).find(manca < 2 ? nome + " [errore " : "manca ./" + nome),
              std::string::npos)
        << nome << ": " << u.out << u.err;
    EXPECT_EQ(test::nomi(dir.percorso()), prima) << nome;
  }
}

// A damaged installer, copied into a fresh folder and started: it writes
// nothing, says what is wrong, exit status 3.
TEST(Pack, DamagedInstallerWritesNothing) {
  CartellaProva sorgenti;
  scrivi_testi(sorgenti.percorso(), kValleNera, testi(valle_nera()));
  ASSERT_EQ(pack(sorgenti.percorso(), "Valle_Nera 31415").stato, 0);
  const std::string buono = leggi(sorgenti / kProgramma);
  const std::string stub = leggi(kStub);
  ASSERT_EQ(buono.substr(0, stub.size()), stub);
  const size_t carico = buono.size() - stub.size();
  constexpr size_t kCoda = 24;
  std::string alterato = buono;
  alterato[stub.size() + carico / 2] ^= 0x20;
  struct Caso {
    const char* nome;
    std::string programma;
    std::string motivo;
  };
  const Caso casi[] = {
      {"payload cut short", buono.substr(0, stub.size() + carico / 3),
       "dati dello scenario troncati (" + std::to_string(carico / 3) + " byte su " +
           std::to_string(carico - kCoda) + " byte)"},
      {"flipped payload byte", alterato, "dati dello scenario alterati (CRC-32 "},
      {"trailer missing", buono.substr(0, buono.size() - kCoda),
       "chiusura dei dati dello scenario mancante o incompleta"},
      {"stub with nothing appended", stub, "nessuno scenario aggiunto al programma"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva gioco;
    test::scrivi(gioco / kProgramma, c.programma);
    fs::permissions(gioco / kProgramma, fs::perms::owner_all);
    const auto u = esegui(avvio("./" + kProgramma), gioco.percorso());
    EXPECT_EQ(u.stato, 3);
    EXPECT_EQ(u.out, "");
    EXPECT_EQ(u.err.rfind("programma di installazione danneggiato: " + c.motivo, 0), 0u) << u.err;
    EXPECT_EQ(test::nomi(gioco.percorso()), std::vector<std::string>{kProgramma});
  }
}

// Where the installer goes, and which stubs pack takes.
TEST(Pack, OutputNameAndStub) {
  CartellaProva dir;
  scrivi_testi(dir.percorso(), kValleNera, testi(valle_nera()));
  // A Windows stub (told by its content) names the installer with .exe.
  test::scrivi(dir / "finto.exe", pe_stub());
  auto u = pack(dir.percorso(), "Valle_Nera 31415 --stub finto.exe");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(leggi(dir / (kProgramma + ".exe")).substr(0, pe_stub().size()), pe_stub());
  EXPECT_FALSE(fs::exists(dir / kProgramma));
  // -o names it; the folder may be another.
  CartellaProva altrove;
  u = pack(dir.percorso(), "Valle_Nera 31415 -o '" + (altrove / "inst").string() + "'");
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_TRUE(fs::exists(altrove / "inst"));

  test::scrivi(dir / "testo", "#!/bin/sh\n");
  const auto prima = test::nomi(dir.percorso());
  struct Caso {
    const char* nome;
    std::string argomenti;
    int stato;
    std::string messaggio;
  };
  const Caso casi[] = {
      {"stub that is no program", "Valle_Nera 31415 --stub testo", 64, "non e' un programma"},
      {"installer as a stub", "Valle_Nera 31415 --stub '" + (altrove / "inst").string() + "'", 64,
       "ha dati dopo il programma"},
      {"missing stub", "Valle_Nera 31415 --stub manca", 3, "manca"},
      {"identity with a slash", "Valle/Nera 31415", 64, "LINEA e TRENO"},
      {"one positional", "Valle_Nera", 64, "pack vuole LINEA TRENO"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    u = pack(dir.percorso(), c.argomenti);
    EXPECT_EQ(u.stato, c.stato);
    EXPECT_NE(u.err.find(c.messaggio), std::string::npos) << u.err;
    EXPECT_EQ(test::nomi(dir.percorso()), prima);
  }
}

}  // namespace
}  // namespace scenario

// `scenario unpack` and `scenario decompile` on the real executable: the
// texts out of the carried installer and of a Windows-stub one; the
// sources back from compiled files, compiled again in a fresh folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "installer/marca_stub.h"
#include "model/identita.h"
#include "platform/scrittura.h"
#include "tests/support/cartella.h"
#include "tests/support/chiamate.h"
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
const std::string kToolProva = SCENARIO_TOOL_PROVA_PATH;
const Identita kPortata{"Lanvero_Ostrel", "24817"};
const std::string kPortataArg = "Lanvero_Ostrel 24817";

test::Uscita scenario(const fs::path& dir, const std::string& argomenti) {
  return esegui(avvio(kTool, argomenti), dir);
}

// The five carried texts, as `emit` writes them.
std::vector<std::string> testi_portati() {
  CartellaProva dir;
  EXPECT_EQ(scenario(dir.percorso(), "emit").stato, 0);
  std::vector<std::string> t;
  for (const std::string& n : nomi_testi(kPortata)) t.push_back(leggi(dir / n));
  return t;
}

std::vector<std::string> testi_in(const fs::path& dir) {
  std::vector<std::string> t;
  for (const std::string& n : nomi_testi(kPortata)) t.push_back(leggi(dir / n));
  return t;
}

std::vector<std::string> binari(const fs::path& dir) {
  return {leggi(dir / nome_planimetria(kPortata)), leggi(dir / nome_celle(kPortata)),
          leggi(dir / nome_testata(kPortata))};
}

TEST(Unpack, CarriedInstallerGivesItsFiveTextsByteForByte) {
  CartellaProva dir;
  const auto u = scenario(dir.percorso(), "unpack '" SCENARIO_INSTALLER_PATH "' -o testi");
  ASSERT_EQ(u.stato, 3) << "no folder testi yet: " << u.err;
  fs::create_directory(dir / "testi");
  const auto v = scenario(dir.percorso(), "unpack '" SCENARIO_INSTALLER_PATH "' -o testi");
  ASSERT_EQ(v.stato, 0) << v.err;
  EXPECT_EQ(test::nomi(dir / "testi").size(), 5u);
  EXPECT_TRUE(testi_in(dir / "testi") == testi_portati());

  // Nothing replaced without --force, everything with it.
  test::scrivi(dir / "testi" / nome_note(kPortata), "mio");
  const auto w = scenario(dir.percorso(), "unpack '" SCENARIO_INSTALLER_PATH "' -o testi");
  EXPECT_EQ(w.stato, 1);
  EXPECT_NE(w.err.find("esiste gia'"), std::string::npos) << w.err;
  EXPECT_EQ(leggi(dir / "testi" / nome_note(kPortata)), "mio");
  EXPECT_EQ(scenario(dir.percorso(), "unpack '" SCENARIO_INSTALLER_PATH "' -o testi --force").stato,
            0);
  EXPECT_TRUE(testi_in(dir / "testi") == testi_portati());
}

TEST(Unpack, ListNamesTheIdentityAndTheSizes) {
  CartellaProva dir;
  const auto u = scenario(dir.percorso(), "unpack '" SCENARIO_INSTALLER_PATH "' --list");
  ASSERT_EQ(u.stato, 0) << u.err;
  std::string atteso = "linea=Lanvero_Ostrel treno=24817\n";
  const std::vector<std::string> t = testi_portati();
  const auto nomi = nomi_testi(kPortata);
  for (size_t i = 0; i < t.size(); ++i)
    atteso += std::to_string(t[i].size()) + " " + nomi[i] + "\n";
  EXPECT_EQ(u.out, atteso);
  EXPECT_TRUE(test::nomi(dir.percorso()).empty());
}

// The payload is the same on a Windows stub: an installer packed on the
// smallest PE file that carries the stub's mark.
TEST(Unpack, WindowsStubInstaller) {
  CartellaProva dir;
  ASSERT_EQ(scenario(dir.percorso(), "emit").stato, 0);
  std::string pe = test::pe_minimo(256);
  const std::string marca = marca_stub();
  pe.replace(64 + 24 + 40, marca.size(), marca);
  test::scrivi(dir / "stub.exe", pe);
  const auto p = scenario(dir.percorso(), "pack " + kPortataArg + " --stub stub.exe -o inst.exe");
  ASSERT_EQ(p.stato, 0) << p.err;
  fs::create_directory(dir / "fuori");
  const auto u = scenario(dir.percorso(), "unpack inst.exe -o fuori");
  ASSERT_EQ(u.stato, 0) << u.err;
  EXPECT_TRUE(testi_in(dir / "fuori") == testi_in(dir.percorso()));
}

// A damaged installer: the installer's own message, nothing written.
TEST(Unpack, DamagedInstallerRefusedWithTheInstallersMessage) {
  const std::string buono = leggi(SCENARIO_INSTALLER_PATH);
  std::string alterato = buono;
  alterato[buono.size() - 5000] ^= 0x20;
  struct Caso {
    const char* nome;
    std::string programma;
    const char* motivo;
  };
  const Caso casi[] = {
      {"flipped payload byte", alterato, "dati dello scenario alterati (CRC-32 "},
      {"trailer missing", buono.substr(0, buono.size() - 24),
       "chiusura dei dati dello scenario mancante o incompleta"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva dir;
    test::scrivi(dir / "inst", c.programma);
    const auto u = scenario(dir.percorso(), "unpack inst");
    EXPECT_EQ(u.stato, 1);
    EXPECT_EQ(u.err.rfind(std::string("scenario unpack: programma di installazione danneggiato: ")
                              .append(c.motivo),
                          0),
              0u)
        << u.err;
    EXPECT_EQ(test::nomi(dir.percorso()), std::vector<std::string>{"inst"});
  }
}

// Compiled, decompiled into an empty folder, compiled there: the same
// three files.
TEST(Decompile, CarriedScenarioRoundTripsThroughAnEmptyFolder) {
  CartellaProva dir;
  ASSERT_EQ(scenario(dir.percorso(), "emit").stato, 0);
  ASSERT_EQ(scenario(dir.percorso(), "compile " + kPortataArg).stato, 0);
  fs::create_directory(dir / "nuova");
  const auto d = scenario(dir.percorso(), "decompile " + kPortataArg + " -o nuova");
  ASSERT_EQ(d.stato, 0) << d.err;
  EXPECT_EQ(d.err, "");
  EXPECT_EQ(test::nomi(dir / "nuova"), (std::vector<std::string>{nome_sorgente_treno(kPortata),
                                                                 nome_sorgente_linea(kPortata)}));
  const auto c = scenario(dir / "nuova", "compile " + kPortataArg);
  ASSERT_EQ(c.stato, 0) << c.out;
  EXPECT_TRUE(binari(dir / "nuova") == binari(dir.percorso()));

  // In place: the author's sources are there, and stay unless --force.
  const std::string linea = leggi(dir / nome_sorgente_linea(kPortata));
  const auto e = scenario(dir.percorso(), "decompile " + kPortataArg);
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.err.find("esiste gia'"), std::string::npos) << e.err;
  EXPECT_EQ(leggi(dir / nome_sorgente_linea(kPortata)), linea);
  EXPECT_EQ(scenario(dir.percorso(), "decompile " + kPortataArg + " --force").stato, 0);
  EXPECT_EQ(leggi(dir / nome_sorgente_linea(kPortata)),
            leggi(dir / "nuova" / nome_sorgente_linea(kPortata)));
}

TEST(Decompile, WithoutThePlanSaysSoAndComparesTheOtherTwo) {
  CartellaProva dir;
  ASSERT_EQ(scenario(dir.percorso(), "emit").stato, 0);
  ASSERT_EQ(scenario(dir.percorso(), "compile " + kPortataArg + " --no-plan").stato, 0);
  fs::create_directory(dir / "nuova");
  const auto d = scenario(dir.percorso(), "decompile " + kPortataArg + " -o nuova");
  ASSERT_EQ(d.stato, 0) << d.err;
  EXPECT_NE(d.out.find("senza curve"), std::string::npos) << d.out;
  EXPECT_EQ(leggi(dir / "nuova" / nome_sorgente_linea(kPortata)).find("curva"), std::string::npos);
  ASSERT_EQ(scenario(dir / "nuova", "compile " + kPortataArg + " --no-plan").stato, 0);
  EXPECT_EQ(leggi(dir / "nuova" / nome_celle(kPortata)), leggi(dir / nome_celle(kPortata)));
  EXPECT_EQ(leggi(dir / "nuova" / nome_testata(kPortata)), leggi(dir / nome_testata(kPortata)));
}

// The plan is read a window at a time while the decompile runs: a read
// that fails there, whether the curves are being recovered or the
// recompiled plan compared, is the system's failure, named at the file,
// and nothing is written.
TEST(Decompile, PlanReadFailingMidwayIsTheSystemsFailure) {
  CartellaProva dir;
  ASSERT_EQ(scenario(dir.percorso(), "emit").stato, 0);
  ASSERT_EQ(scenario(dir.percorso(), "compile " + kPortataArg).stato, 0);
  fs::create_directory(dir / "nuova");
  const std::string argomenti = "decompile " + kPortataArg + " -o nuova";
  std::vector<long> letture;
  {
    CartellaProva registro;
    test::Avvio a = avvio(kToolProva, argomenti);
    a.ambiente = {{"SCENARIO_PROVA_TRACCIA", (registro / "chiamate").string()}};
    ASSERT_EQ(esegui(a, dir.percorso()).stato, 0);
    for (const test::ChiamataContata& c :
         test::leggi_chiamate(leggi(registro / "chiamate"), dir.percorso())) {
      if (c.tipo == "lettura" && c.percorso.filename() == nome_planimetria(kPortata)) {
        letture.push_back(c.numero);
      }
    }
    for (const std::string& n : {nome_sorgente_linea(kPortata), nome_sorgente_treno(kPortata)})
      fs::remove(dir / "nuova" / n);
  }
  // Never the whole file at once.
  EXPECT_GT(letture.size(), 3u);
  for (const long n : letture) {
    SCOPED_TRACE(n);
    test::Avvio a = avvio(kToolProva, argomenti);
    a.ambiente = {test::guasto_alla(n, EIO)};
    const test::Uscita u = esegui(a, dir.percorso());
    EXPECT_EQ(u.stato, 3) << u.err;
    EXPECT_EQ(u.err, "scenario decompile: impossibile leggere " + nome_planimetria(kPortata) +
                         ": " + motivo_errno(EIO) + "\n");
    EXPECT_TRUE(test::nomi(dir / "nuova").empty());
  }
}

// A cell file with a code that no record gives there: refused at the cell,
// nothing written unless --partial.
TEST(Decompile, HandSetCodeIsRefusedNamingTheCell) {
  CartellaProva dir;
  ASSERT_EQ(scenario(dir.percorso(), "emit").stato, 0);
  ASSERT_EQ(scenario(dir.percorso(), "compile " + kPortataArg).stato, 0);
  std::string celle = leggi(dir / nome_celle(kPortata));
  constexpr size_t kCella = 500;
  constexpr size_t kBytesCella = 15;
  ASSERT_EQ(celle[kCella * kBytesCella], 0);
  celle[kCella * kBytesCella] = 4;  // a slowdown warning, with no slowdown after it
  test::scrivi(dir / nome_celle(kPortata), celle);
  fs::create_directory(dir / "nuova");
  const auto d = scenario(dir.percorso(), "decompile " + kPortataArg + " -o nuova");
  EXPECT_EQ(d.stato, 1);
  EXPECT_EQ(d.err,
            "scenario decompile: cella 500: codice 4 che nessun record da' qui\n"
            "scenario decompile: cella 500: ricompilata diversa: tipo_cella 4 e non 0\n"
            "scenario decompile: nessun file scritto; --partial scrive quello che si puo' "
            "esprimere\n");
  EXPECT_TRUE(test::nomi(dir / "nuova").empty());
  const auto p = scenario(dir.percorso(), "decompile " + kPortataArg + " -o nuova --partial");
  EXPECT_EQ(p.stato, 1);
  EXPECT_NE(p.err.find("scenario decompile: sorgenti scritti in parte"), std::string::npos)
      << p.err;
  EXPECT_EQ(test::nomi(dir / "nuova").size(), 2u);
}

// Refusals before anything is read or written: the status and the first
// line on standard error, in the tool's prefix.
TEST(UnpackDecompile, RefusalsNameWhatIsWrong) {
  struct Caso {
    const char* argomenti;
    int stato;
    std::string prima_riga;
  };
  const Caso casi[] = {
      {"decompile Lanvero_Ostrel 24817", 1,
       "scenario decompile: Lanvero_Ostrel_24817.sim: il file non esiste: compila prima lo "
       "scenario"},
      {"decompile Lanvero_Ostrel 24817 --dir manca", 3,
       "scenario decompile: impossibile usare la cartella manca: "},
      {"decompile a/b 1", 64, "scenario decompile: LINEA e TRENO: "},
      {"decompile Lanvero_Ostrel 24817 -o ''", 64,
       "scenario decompile: --output vuole una cartella, non un nome vuoto"},
      {"decompile Lanvero_Ostrel 24817 --forse", 64,
       "scenario decompile: opzione sconosciuta: --forse (forse '--force'?)"},
      {"unpack", 64, "scenario unpack: argomenti mancanti: unpack vuole INSTALLATORE"},
      {"unpack cartella", 64, "scenario unpack: cartella non e' un installatore: e' una cartella"},
      {"unpack manca", 3, "scenario unpack: impossibile "},
      {"unpack inst -o ''", 64, "scenario unpack: --output vuole una cartella, non un nome vuoto"},
      {"unpack inst --lista", 64,
       "scenario unpack: opzione sconosciuta: --lista (forse '--list'?)"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.argomenti);
    CartellaProva dir;
    fs::create_directory(dir / "cartella");
    test::scrivi(dir / "inst", "");
    const auto u = scenario(dir.percorso(), c.argomenti);
    EXPECT_EQ(u.stato, c.stato) << u.err;
    EXPECT_EQ(u.err.substr(0, c.prima_riga.size()), c.prima_riga) << u.err;
    EXPECT_EQ(test::nomi(dir.percorso()), (std::vector<std::string>{"cartella", "inst"}));
  }
}

}  // namespace
}  // namespace scenario

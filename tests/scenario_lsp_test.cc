// `scenario lsp` with real clients (a JSON-RPC client in Python, neovim's
// own) and `scenario watch` on a save, on the real executable.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/cartella.h"
#include "tests/support/compila.h"
#include "tests/support/esegui.h"
#include "tests/support/python.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::leggi;

const std::string kTool = SCENARIO_TOOL_PATH;
const std::string kTreno = "Lanvero_Ostrel_24817-.txt";

void emetti(const CartellaProva& dir) {
  ASSERT_EQ(esegui(avvio(kTool, "emit"), dir.percorso()).stato, 0);
}

// The words a client starts the server with: behind the build's emulator
// when it has one, since a client starts it as a program of its own.
std::vector<std::string> server(const CartellaProva& dir) {
  return test::riga_di_avvio(avvio(kTool, "lsp"), dir.percorso());
}

TEST(Lsp, APythonClientOnFramingErrorsAndPositions) {
  SALTA_SENZA_PYTHON();
  CartellaProva dir;
  emetti(dir);
  test::Avvio py{test::kPython, {SCENARIO_SORGENTI "/tests/cliente_lsp.py", dir.percorso().string()}};
  for (const std::string& parola : server(dir)) py.argomenti.push_back(parola);
  const test::Uscita u = esegui(py, dir.percorso());
  EXPECT_EQ(u.stato, 0) << u.out << u.err;
}

// The program of that name in PATH; empty when there is none.
fs::path nel_path(const std::string& nome) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  for (const std::string& d : test::spezza(path, ":")) {
    std::error_code ec;
    if (!d.empty() && fs::is_regular_file(fs::path(d) / nome, ec)) return fs::path(d) / nome;
  }
  return {};
}

TEST(Lsp, NeovimShowsTheFaultAndItsMendWithoutASave) {
  const fs::path nvim = nel_path("nvim");
  if (nvim.empty())
    GTEST_SKIP() << "nvim is not installed (Debian's neovim package): no real editor client";
  CartellaProva dir;
  emetti(dir);
  const std::string prima = leggi(dir / kTreno);
  CartellaProva altrove;
  const fs::path esito = altrove / "visto.txt";
  test::Avvio a{nvim,
                {"--headless", "-u", "NONE", "-i", "NONE", "-n", "-c",
                 "luafile " SCENARIO_SORGENTI "/tests/neovim_lsp.lua"}};
  std::string parole;
  for (const std::string& parola : server(dir)) {
    if (!parole.empty()) parole += '\n';
    parole += parola;
  }
  a.ambiente = {{"SCENARIO_SERVER", parole},
                {"SCENARIO_DIR", dir.percorso().string()},
                {"SCENARIO_OUT", esito.string()},
                {"HOME", altrove.percorso().string()},
                {"XDG_STATE_HOME", altrove.percorso().string()}};
  const test::Uscita u = esegui(a, altrove.percorso());
  ASSERT_EQ(u.stato, 0) << u.out << u.err;
  const std::string visto = leggi(esito);
  ASSERT_EQ(visto.find("guasto="), std::string::npos) << visto;
  ASSERT_EQ(visto.find("scaduto"), std::string::npos) << visto;
  // Neovim counts lines from 0; the station off the grid is on the line it
  // was put on, with the check's code and message.
  const size_t r = visto.find("riga_stazione=");
  ASSERT_NE(r, std::string::npos) << visto;
  const std::string riga = visto.substr(r + 14, visto.find('\n', r) - r - 14);
  EXPECT_NE(visto.find("errore riga=" + riga + " colonna=13 codice=8 messaggio=posizione della "
                       "stazione non multipla di 50"),
            std::string::npos)
      << visto;
  EXPECT_NE(visto.find("cella 33, progressiva 1650 m"), std::string::npos) << visto;
  EXPECT_NE(visto.find("errori_dopo=0\n"), std::string::npos) << visto;
  // Mended in the buffer: the file was never written.
  EXPECT_EQ(leggi(dir / kTreno), prima);
}

// Waits until `log` holds `quante` rounds; false after `attesa` (20 s
// unless told).
bool giri(const fs::path& log, size_t quante,
          std::chrono::milliseconds attesa = std::chrono::seconds(20)) {
  for (int i = 0; i <= attesa.count() / 20; ++i) {
    const std::string s = leggi(log);
    size_t n = 0;
    for (size_t p = s.find("== fine"); p != std::string::npos; p = s.find("== fine", p + 1)) ++n;
    if (n >= quante) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST(Watch, ASaveInTwoWritesGivesOneNewCompileAndPicture) {
  CartellaProva dir, altrove, confronto;
  emetti(dir);
  const fs::path log = altrove / "watch.txt";
  const pid_t pid = test::lancia(avvio(kTool, "watch Lanvero_Ostrel 24817"), dir.percorso(), log);
  ASSERT_TRUE(giri(log, 1)) << leggi(log);
  const fs::path celle = dir / "Lanvero_Ostrel_24817.dat";
  const fs::path svg = dir / "Lanvero_Ostrel_24817.svg";
  const std::string celle_prima = leggi(celle);
  const std::string svg_prima = leggi(svg);
  ASSERT_FALSE(celle_prima.empty());
  ASSERT_FALSE(svg_prima.empty());

  // A signal more, saved in two writes with a pause between them: the half
  // is never read.
  std::string treno = leggi(dir / kTreno);
  const std::string segnale = "segnale,    6400,";
  const size_t dove = treno.find(segnale);
  ASSERT_NE(dove, std::string::npos);
  treno.insert(dove, "segnale,    3500,   2, 3, 1,  0, 0,    1,  3,1,0, 203\r\n");
  {
    std::ofstream f(dir / kTreno, std::ios::binary | std::ios::trunc);
    f.write(treno.data(), static_cast<std::streamsize>(dove));
    f.flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    f.write(treno.data() + dove, static_cast<std::streamsize>(treno.size() - dove));
  }
  ASSERT_TRUE(giri(log, 2)) << leggi(log);
  EXPECT_FALSE(giri(log, 3, std::chrono::milliseconds(500)))
      << "the half-written file was compiled too:\n" << leggi(log);

  // What `compile` and `plot` make of the new text.
  for (const char* nome : {"Lanvero_Ostrel_linea.txt", kTreno.c_str()})
    test::scrivi(confronto / nome, leggi(dir / nome));
  ASSERT_EQ(esegui(avvio(kTool, "compile Lanvero_Ostrel 24817"), confronto.percorso()).stato, 0);
  ASSERT_EQ(esegui(avvio(kTool, "plot Lanvero_Ostrel 24817"), confronto.percorso()).stato, 0);
  EXPECT_NE(leggi(celle), celle_prima);
  EXPECT_EQ(leggi(celle), leggi(confronto / "Lanvero_Ostrel_24817.dat"));
  EXPECT_NE(leggi(svg), svg_prima);
  EXPECT_EQ(leggi(svg), leggi(confronto / "Lanvero_Ostrel_24817.svg"));

  ASSERT_EQ(kill(pid, SIGINT), 0);
  EXPECT_EQ(test::attendi(pid), 0);
  const std::string s = leggi(log);
  EXPECT_NE(s.find("numero_errore=0 posizione_errore=0"), std::string::npos) << s;
  EXPECT_NE(s.find("0 errori"), std::string::npos) << s;
  EXPECT_NE(s.find("fine dell'osservazione"), std::string::npos) << s;
}

}  // namespace
}  // namespace scenario

// The command table: how words become options and arguments, the checks
// its fields call for, and how a command's failure becomes the exit status.
#include "tools/scenario/riga_comando.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/guasto.h"
#include "installer/corsa.h"
#include "installer/nomi_corsa.h"
#include "tests/support/cartella.h"

namespace scenario {
namespace {

Argomenti g_letti;
Richiesta g_richiesta;
int registra(const Richiesta& a) {
  g_letti = a;
  g_richiesta = a;
  return 7;
}

const Sottocomando kProva{
    .nome = "prova",
    .sinossi = "A [B]",
    .descrizione = "Un comando di prova.\n",
    .opzioni = {{"--dir", "", "DIR", "cartella"},
                {"--output", "-o", "FILE", "uscita"},
                {"--json", "", "", "JSON"},
                {"-Wno-", "", "NOME", "tace un avvertimento", true}},
    .min_posizionali = 1,
    .max_posizionali = 2,
    .esegui = registra,
};

// One that takes an identity and a folder.
const Sottocomando kScenario{
    .nome = "scena",
    .sinossi = "[X]",
    .opzioni = {{"--json", "", "", "JSON"}},
    .max_posizionali = 1,
    .identita = FonteIdentita::argomenti,
    .cartella = true,
    .esegui = registra,
};
const Sottocomando kPortato{
    .nome = "portato",
    .identita = FonteIdentita::opzioni,
    .esegui = registra,
};
const Sottocomando kTabella[] = {kProva, kScenario, kPortato};

int esegui(std::vector<const char*> parole) {
  parole.insert(parole.begin(), "scenario");
  g_letti = {};
  g_richiesta = {};
  return esegui_riga_comando(kTabella, "0", static_cast<int>(parole.size()), parole.data());
}

TEST(RigaComando, OptionsStandAnywhereAmongTheArguments) {
  ASSERT_EQ(esegui({"prova", "--json", "x", "--dir", "d1", "-o", "f", "--dir=d2", "-Wno-a",
                    "-Wno-bb", "-5"}),
            7);
  EXPECT_EQ(g_letti.posizionali, (std::vector<std::string>{"x", "-5"}));
  EXPECT_TRUE(g_letti.ha("--json"));
  EXPECT_EQ(g_letti.valore("--dir"), "d2");
  EXPECT_EQ(g_letti.valori("--dir"), (std::vector<std::string>{"d1", "d2"}));
  EXPECT_EQ(g_letti.valore("--output"), "f");
  EXPECT_EQ(g_letti.valori("-Wno-"), (std::vector<std::string>{"a", "bb"}));
  EXPECT_FALSE(g_letti.valore("--nessuna").has_value());
}

TEST(RigaComando, DoubleDashEndsTheOptions) {
  ASSERT_EQ(esegui({"prova", "--", "--json", "--dir"}), 7);
  EXPECT_EQ(g_letti.posizionali, (std::vector<std::string>{"--json", "--dir"}));
  EXPECT_FALSE(g_letti.ha("--json"));
}

TEST(RigaComando, EmptyValueIsKept) {
  ASSERT_EQ(esegui({"prova", "x", "--dir", ""}), 7);
  EXPECT_EQ(g_letti.valore("--dir"), "");
}

// What each bad command line says, whole: the reason with what was probably
// meant, then the usage of that command alone, or the tool's without one.
TEST(RigaComando, BadCommandLinesAreUsageErrors) {
  const std::string uso_prova =
      "\n\nUso: scenario prova A [B] [--dir DIR] [--output FILE] [--json] [-Wno-NOME]\n"
      "'scenario prova --help' spiega il comando e le sue opzioni.\n";
  struct Caso {
    std::vector<const char*> parole;
    std::string err;   // the first line, after the prefix
    bool del_comando;  // with its usage alone, else the tool's
  };
  const std::vector<Caso> casi = {
      {{}, "scenario: manca il comando", false},
      {{"boh"}, "scenario: comando sconosciuto: boh", false},
      {{"prva"}, "scenario: comando sconosciuto: prva (forse 'prova'?)", false},
      {{"scen"}, "scenario: comando sconosciuto: scen (forse 'scena'?)", false},
      {{"xy"}, "scenario: comando sconosciuto: xy", false},
      {{"prova"}, "scenario prova: argomenti mancanti: prova vuole A [B]", true},
      {{"prova", "a", "b", "c"}, "scenario prova: argomento in piu': c (prova vuole A [B])", true},
      {{"prova", "a", "b", "c", "d"},
       "scenario prova: argomento in piu': c (prova vuole A [B])",
       true},
      {{"prova", "a", "b", "-jsn"},
       "scenario prova: argomento in piu': -jsn (prova vuole A [B])",
       true},
      // A word of one dash is an argument ("-5" is a train), unless it is
      // near one of the options.
      {{"prova", "a", "b", "-Wno"},
       "scenario prova: opzione sconosciuta: -Wno (forse '-Wno-'?)",
       true},
      {{"prova", "a", "b", "--jsn"},
       "scenario prova: opzione sconosciuta: --jsn (forse '--json'?)",
       true},
      {{"prova", "a", "--outptu=f"},
       "scenario prova: opzione sconosciuta: --outptu=f (forse '--output'?)",
       true},
      {{"prova", "a", "--sconosciuta"}, "scenario prova: opzione sconosciuta: --sconosciuta", true},
      {{"prova", "a", "--dir"}, "scenario prova: --dir vuole un valore (DIR)", true},
      {{"prova", "a", "-o"}, "scenario prova: --output vuole un valore (FILE)", true},
      {{"prova", "a", "--json=1"}, "scenario prova: --json non vuole un valore", true},
      {{"portato", "x"},
       "scenario portato: argomento in piu': x (portato non vuole argomenti oltre alle opzioni)",
       false},
      {{"scena", "L", "7", "x", "--jso"},
       "scenario scena: opzione sconosciuta: --jso (forse '--json'?)",
       false},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.err);
    testing::internal::CaptureStderr();
    EXPECT_EQ(esegui(c.parole), 64);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.substr(0, err.find('\n')), c.err);
    if (c.del_comando) {
      EXPECT_EQ(err, c.err + uso_prova);
    } else if (c.parole.size() < 2) {
      EXPECT_EQ(err.substr(c.err.size(), 7), "\n\nUso:\n");
      EXPECT_NE(err.find("  scenario portato [--linea LINEA] [--treno TRENO]\n"),
                std::string::npos);
    }
  }
}

// The fields a command's entry sets are checked before it runs, in one
// place: its identity, the name of its folder, the folder itself.
TEST(RigaComando, TheTableChecksWhatACommandTakes) {
  test::CartellaProva dir;
  const std::string d = test::come_argomento(dir.percorso());
  const std::string argomento_manca = test::come_argomento(dir.percorso() / "manca");
  const std::string manca = (dir.percorso() / "manca").string();
  const std::string uso = "\n\nUso: scenario ";
  struct Caso {
    std::vector<const char*> parole;
    int stato;
    std::string err;  // its start
  };
  const std::string identita = kIdentitaNonValida + uso;
  const std::vector<Caso> casi = {
      {{"scena", "L", "7"}, 7, ""},
      {{"scena", "L", "7", "x", "--dir", d.c_str()}, 7, ""},
      {{"scena", "L"}, 64, "argomenti mancanti: scena vuole LINEA TRENO [X]" + uso},
      {{"scena", "L", "7", "x", "y"},
       64,
       "argomento in piu': y (scena vuole LINEA TRENO [X])" + uso},
      {{"scena", "L*", "7"}, 64, identita},
      {{"scena", "L", "a b"}, 64, identita},
      {{"scena", "L", "7", "--dir", ""}, 64, std::string(kCartellaVuota) + uso},
      {{"scena", "L*", "7", "--dir", argomento_manca.c_str()}, 64, identita},
      {{"scena", "L", "7", "--dir", argomento_manca.c_str()},
       3,
       "impossibile usare la cartella " + manca + ": "},
      {{"portato"}, 7, ""},
      {{"portato", "--linea", "L", "--treno", "7"}, 7, ""},
      {{"portato", "--treno", "a/b"}, 64, identita},
      {{"portato", "--dir", d.c_str()}, 64, "opzione sconosciuta: --dir" + uso},
  };
  for (const Caso& c : casi) {
    std::string riga;
    for (const char* p : c.parole) riga += std::string(p) + " ";
    SCOPED_TRACE(riga);
    testing::internal::CaptureStderr();
    EXPECT_EQ(esegui(c.parole), c.stato);
    const std::string err = testing::internal::GetCapturedStderr();
    // Every line after the command's own prefix.
    const std::string prefisso = "scenario " + std::string(c.parole.front()) + ": ";
    EXPECT_EQ(err.substr(0, prefisso.size() + c.err.size()), c.stato == 7 ? "" : prefisso + c.err);
    if (c.stato == 7) {
      EXPECT_EQ(err, "");
    }
    // One line: the system's reason, and no usage.
    if (c.stato == 3) {
      EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
  }
}

TEST(RigaComando, ACommandRunsOnWhatTheTableChecked) {
  test::CartellaProva dir;
  const std::string d = test::come_argomento(dir.percorso());
  ASSERT_EQ(esegui({"scena", "L", "7", "--dir", d.c_str()}), 7);
  EXPECT_EQ(g_richiesta.id.linea, "L");
  EXPECT_EQ(g_richiesta.id.treno, "7");
  EXPECT_EQ(g_richiesta.dir, dir.percorso());
  EXPECT_EQ(g_richiesta.prefisso_nomi, (dir.percorso() / "").string());
  ASSERT_NE(g_richiesta.comando, nullptr);
  EXPECT_EQ(g_richiesta.comando->nome, "scena");

  ASSERT_EQ(esegui({"scena", "L", "7"}), 7);
  EXPECT_EQ(g_richiesta.dir, ".");
  EXPECT_EQ(g_richiesta.prefisso_nomi, "");

  // The carried identity, where --linea or --treno is not given.
  ASSERT_EQ(esegui({"portato"}), 7);
  const Identita portata = g_richiesta.id;
  EXPECT_FALSE(portata.linea.empty());
  ASSERT_EQ(esegui({"portato", "--treno", "9"}), 7);
  EXPECT_EQ(g_richiesta.id.linea, portata.linea);
  EXPECT_EQ(g_richiesta.id.treno, "9");
}

// Each failure, as the one wrapper tells it: its status and all that
// standard error says.
TEST(RigaComando, EveryFailureEndsAsItsExitStatus) {
  const std::string uso = "\n\nUso:\n";
  struct Caso {
    const char* nome;
    std::function<int()> corpo;
    std::string_view prefisso;
    int stato;
    std::string err;     // whole, or its start when a usage follows
  };
  const std::vector<Caso> casi = {
      {"a status of its own", [] { return 2; }, "scenario pack: ", 2, ""},
      {"a command's failure", []() -> int { throw ErroreComando(1, "manca d/x"); },
       "scenario pack: ", 1, "scenario pack: manca d/x\n"},
      {"a failure of several lines, each after the prefix",
       []() -> int { throw ErroreComando(1, "a esiste gia'\nnessun file scritto"); },
       "scenario emit: ", 1, "scenario emit: a esiste gia'\nscenario emit: nessun file scritto\n"},
      {"a system failure",
       []() -> int { throw ErroreComando(3, "impossibile usare la cartella d: motivo"); },
       "scenario check: ", 3, "scenario check: impossibile usare la cartella d: motivo\n"},
      {"a bad command line", []() -> int { errore_uso("--from viene dopo --to"); },
       "scenario inspect: ", 64, "scenario inspect: --from viene dopo --to" + uso},
      {"names that collide", []() -> int { throw NomiInConflitto("nomi in conflitto: a e b"); },
       "scenario: ", 64, "scenario: nomi in conflitto: a e b" + uso},
      {"a name too long for its folder", []() -> int { throw NomeTroppoLungo("d/n", 300, 255); },
       "scenario: ", 64,
       "scenario: impossibile scrivere d/n: nome di 300 caratteri, la cartella ne ammette al "
       "massimo 255" +
           uso},
      {"the system refusing a file",
       []() -> int { throw GuastoPiattaforma("d/f", "motivo", "leggere"); },
       "scenario compile: ", 3, "scenario compile: impossibile leggere d/f: motivo\n"},
      {"memory that runs out unnamed", []() -> int { throw std::bad_alloc(); }, "scenario: ", 3,
       "scenario: " + std::string(std::bad_alloc().what()) + "\n"},
      {"any other exception", []() -> int { throw std::logic_error("x"); }, "scenario: ", 3,
       "scenario: x\n"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    testing::internal::CaptureStderr();
    EXPECT_EQ(esito(c.prefisso, c.corpo), c.stato);
    const std::string err = testing::internal::GetCapturedStderr();
    if (c.stato == 64) {
      EXPECT_EQ(err.substr(0, c.err.size()), c.err);
      EXPECT_TRUE(err.ends_with("DIR e' la cartella corrente se non indicata.\n")) << err;
    } else {
      EXPECT_EQ(err, c.err);
    }
  }
}

TEST(RigaComando, HelpOfOneCommandListsItsOptions) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(esegui({"prova", "x", "--bogus", "--help"}), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            "Uso: scenario prova A [B] [--dir DIR] [--output FILE] [--json] [-Wno-NOME]\n\n"
            "Un comando di prova.\n\n"
            "Opzioni:\n"
            "  --dir DIR          cartella\n"
            "  -o, --output FILE  uscita\n"
            "  --json             JSON\n"
            "  -Wno-NOME          tace un avvertimento\n"
            "  -h, --help         mostra questo aiuto\n");
}

}  // namespace
}  // namespace scenario

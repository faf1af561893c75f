// The command table: how words become options and arguments.
#include "tools/scenario/riga_comando.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

Argomenti g_letti;
int registra(const Richiesta& a) {
  g_letti = a;
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

int esegui(std::vector<const char*> parole) {
  parole.insert(parole.begin(), "scenario");
  g_letti = {};
  return esegui_riga_comando({&kProva, 1}, "0", static_cast<int>(parole.size()), parole.data());
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

TEST(RigaComando, BadCommandLinesAreUsageErrors) {
  const std::vector<std::vector<const char*>> casi = {
      {},
      {"boh"},
      {"prova"},
      {"prova", "a", "b", "c"},
      {"prova", "a", "--dir"},
      {"prova", "a", "-o"},
      {"prova", "a", "--sconosciuta"},
      {"prova", "a", "--json=1"},
  };
  for (const auto& c : casi) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(esegui(c), 64) << (c.empty() ? "" : c.back());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("scenario prova A [B] [--dir DIR] [--output FILE] [--json] [-Wno-NOME]"),
              std::string::npos)
        << err;
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

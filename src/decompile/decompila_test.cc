// The sources back from compiled files: for every fault-free compile the
// sources written compile to the same three files; what no record gives is
// named at its cell or entry.
#include "decompile/decompila.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "emit/dati_linea.h"
#include "emit/dati_treno.h"
#include "format/scrittori.h"
#include "generatore/generatore.h"

namespace scenario {
namespace {

const Identita kPortata{"Lanvero_Ostrel", "24817"};

Compilazione compila(const Identita& id, const std::string& linea, const std::string& treno,
                     int32_t j = 1) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(id), linea);
  a.metti(nome_sorgente_treno(id), treno);
  return memorizza_percorso(a, id, j);
}

bool senza_guasti(const Compilazione& c) { return c.errore.numero_errore == 0 && c.da_scrivere(); }

BytesCompilati file_di(const Compilazione& c) {
  BytesCompilati f;
  f.testata = bytes_testata(c.modello.testata);
  f.celle = bytes_celle(*c.modello.celle);
  if (c.modello.planimetria) f.planimetria = c.modello.planimetria->bytes_file();
  return f;
}

std::string elenco(const std::vector<std::string>& pp) {
  std::string r;
  for (size_t i = 0; i < pp.size() && i < 5; ++i) r += pp[i] + "\n";
  return r;
}

// Decompiles and compiles the result again: the same three files.
::testing::AssertionResult ritorna(const Identita& id, const BytesCompilati& f) {
  const Decompilazione d = decompila(id, f);
  if (!d.riuscita()) return ::testing::AssertionFailure() << elenco(d.problemi);
  const Compilazione c = compila(id, d.linea, d.treno, f.planimetria ? 1 : 0);
  if (!senza_guasti(c)) {
    return ::testing::AssertionFailure() << "errore " << c.errore.numero_errore;
  }
  const BytesCompilati g = file_di(c);
  if (g.celle != f.celle || g.testata != f.testata || g.planimetria != f.planimetria) {
    return ::testing::AssertionFailure() << "file diversi";
  }
  return ::testing::AssertionSuccess();
}

TEST(Decompila, CarriedScenarioRoundTripsAndReadsAsAnAuthors) {
  const Compilazione c = compila(kPortata, dati_linea(), dati_treno());
  ASSERT_TRUE(senza_guasti(c));
  EXPECT_TRUE(ritorna(kPortata, file_di(c)));
  const Decompilazione d = decompila(kPortata, file_di(c));
  // The sections in the carried order, one record a line, on the grid.
  EXPECT_EQ(d.linea.rfind("[generale]\r\nlunghezza percorso, 91000\r\n", 0), 0u) << d.linea;
  for (const char* r :
       {"\r\nprogressiva chilometrica uno, 12800, -12800, 0\r\n", "\r\nsfondo tre, 60000\r\n",
        "\r\nripetizione segnali 4 codici, 1250, 12150\r\n",
        "\r\n[curve]\r\ncurvad2, 1150, 250\r\ncurvas2, 1450, 250\r\n", "\r\npendenza, 1050, -3\r\n",
        "\r\nmontagna, 89100, 90100, 11\r\n",
        "\r\nindicatori_vmax, 1250, 110, 120, 125, 0, 110, 120, 125, 0\r\n",
        "\r\ncartello_indicatore, 900, ( CAVALCAVIA)( VIA DELLE )(  FORNACI  )\r\n",
        "\r\n[fine]\r\n"}) {
    EXPECT_NE(d.linea.find(r), std::string::npos) << r;
  }
  for (const char* r :
       {"\r\nvelocita, 0, 30\r\nvelocita, 1100, 120\r\n", "\r\naderenza, 0, 100\r\n",
        "\r\nstazione, 88400, 12, 500, 0, 0, 0, 1, 1, 0, 2, 1, 1, 0, 18, 16, 0, OSTREL\r\n",
        "\r\nrallentamento, 42600, 70, 2500, 0, 1, 50\r\n",
        "\r\nsegnale, 1600, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203\r\n", "\r\norologio, 16, 59, 30\r\n"}) {
    EXPECT_NE(d.treno.find(r), std::string::npos) << r;
  }
  // No record for the cell walk's code points.
  EXPECT_EQ(d.treno.find("abbattimento"), std::string::npos);
}

// Without a plan there are no curves to recover: the other two files are
// compared.
TEST(Decompila, WithoutThePlanTheLineHasNoCurves) {
  const Compilazione c = compila(kPortata, dati_linea(), dati_treno(), 0);
  ASSERT_TRUE(senza_guasti(c));
  ASSERT_FALSE(c.modello.planimetria);
  EXPECT_TRUE(ritorna(kPortata, file_di(c)));
  EXPECT_EQ(decompila(kPortata, file_di(c)).linea.find("curva"), std::string::npos);
}

// Files no fault-free compile writes: each named at its place.
TEST(Decompila, WhatNoRecordGivesIsNamed) {
  const Compilazione buona = compila(kPortata, dati_linea(), dati_treno());
  ASSERT_TRUE(senza_guasti(buona));
  struct Caso {
    const char* nome;
    void (*altera)(Compilazione&);
    const char* atteso;
  };
  const Caso casi[] = {
      {"hand-set code", [](Compilazione& c) { (*c.modello.celle)[500].tipo_cella = 4; },
       "cella 500: codice 4 che nessun record da' qui"},
      {"a warning without its slowdown",
       [](Compilazione& c) { (*c.modello.celle)[1000].tipo_cella = cella_avviso_rallentamento; },
       "cella 1000: codice 4 che nessun record da' qui"},
      {"board text with a comma",
       [](Compilazione& c) { c.modello.testata[kPrimaVoceCartello].testo = "A,B"; },
       "voce 80: il testo del cartello contiene una virgola o un a capo"},
      {"station name with a leading blank",
       [](Compilazione& c) { c.modello.testata[3].testo = " X"; },
       "voce 3: il nome della stazione comincia con uno spazio"},
      {"another train's stamp", [](Compilazione& c) { c.modello.testata[kVoceTreno].testo = "1"; },
       "voce 86: il treno si chiama \"1\", non \"24817\""},
      {"a plan point off every curve",
       [](Compilazione& c) {
         c.modello.planimetria->imposta_reale(5000, {1, 2});
       },
       "punto 5000 del piano: non segue dai due prima di lui con nessuna classe di curva"},
      {"a gradient byte in the last cells",
       [](Compilazione& c) { c.modello.celle->back().pendenza = 120; }, nullptr},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Compilazione c = compila(kPortata, dati_linea(), dati_treno());
    k.altera(c);
    const Decompilazione d = decompila(kPortata, file_di(c));
    if (k.atteso == nullptr) {
      // Expressible after all: the records reach every cell.
      EXPECT_TRUE(d.riuscita()) << elenco(d.problemi);
      continue;
    }
    EXPECT_FALSE(d.riuscita());
    EXPECT_NE(std::find(d.problemi.begin(), d.problemi.end(), k.atteso), d.problemi.end())
        << elenco(d.problemi);
  }
}

TEST(Decompila, UnreadableFilesAreNamed) {
  const Compilazione c = compila(kPortata, dati_linea(), dati_treno());
  BytesCompilati f = file_di(c);
  f.testata.resize(f.testata.size() - 1);
  const Decompilazione d = decompila(kPortata, f);
  ASSERT_FALSE(d.riuscita());
  EXPECT_EQ(d.problemi.front().rfind(nome_testata(kPortata) + ": offset ", 0), 0u)
      << d.problemi.front();
  EXPECT_TRUE(d.linea.empty());

  // A plan cut short is named by its reader, at its offset.
  BytesCompilati g = file_di(c);
  g.planimetria->resize(g.planimetria->size() - 3);
  const Decompilazione e = decompila(kPortata, g);
  ASSERT_FALSE(e.riuscita());
  EXPECT_EQ(e.problemi.front().rfind(nome_planimetria(kPortata) + ": offset ", 0), 0u)
      << e.problemi.front();
}

// The generator's scenarios over lengths from the carried line's to the
// longest, with and without the plan.
class Generati : public ::testing::TestWithParam<int32_t> {};

TEST_P(Generati, RoundTrip) {
  const Identita id{"Linea_Generata", std::to_string(GetParam())};
  const ScenarioGenerato s = genera_scenario(id, GetParam());
  for (const int32_t j : {1, 0}) {
    SCOPED_TRACE(j);
    const Compilazione c = compila(id, s.linea, s.treno, j);
    ASSERT_TRUE(senza_guasti(c)) << c.errore.numero_errore;
    EXPECT_TRUE(ritorna(id, file_di(c)));
  }
}

std::vector<int32_t> lunghezze() {
  std::vector<int32_t> l;
  for (int32_t k = 0; k < 150; ++k) l.push_back(kLunghezzaBreve + k * 650);
  for (int32_t k = 1; k <= 8; ++k)
    l.push_back(kLunghezzaBreve + k * (1000000 - kLunghezzaBreve) / 8 / 50 * 50);
  return l;
}
INSTANTIATE_TEST_SUITE_P(Lunghezze, Generati, ::testing::ValuesIn(lunghezze()));

// The fuzz corpora's sources (line file, NUL, train file): every one the
// compiler takes without a fault comes back, with the plan and without.
TEST(Decompila, EveryFaultFreeCorpusScenarioRoundTrips) {
  const std::filesystem::path radice = std::filesystem::path(SCENARIO_SORGENTI) / "fuzz/corpus";
  size_t senza_guasto = 0;
  std::vector<std::string> falliti;
  for (const char* corpus : {"compila_tutto_fuzz", "compila_linea_fuzz", "compila_treno_fuzz"}) {
    std::vector<std::filesystem::path> file;
    for (const auto& e : std::filesystem::directory_iterator(radice / corpus))
      file.push_back(e.path());
    std::sort(file.begin(), file.end());
    for (const auto& p : file) {
      std::ifstream in(p, std::ios::binary);
      const std::string t((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const size_t nul = t.find('\0');
      const std::string linea = t.substr(0, nul);
      const std::string treno = nul == std::string::npos ? "[generale]\r\n" : t.substr(nul + 1);
      for (const int32_t j : {1, 0}) {
        const Compilazione c = compila(kPortata, linea, treno, j);
        if (!senza_guasti(c)) continue;
        ++senza_guasto;
        if (!ritorna(kPortata, file_di(c))) {
          falliti.push_back(p.filename().string() + " j=" + std::to_string(j) + ": " +
                            elenco(decompila(kPortata, file_di(c)).problemi));
        }
      }
    }
  }
  EXPECT_GT(senza_guasto, 20u);
  std::string tutti;
  for (const std::string& f : falliti) tutti += f;
  EXPECT_TRUE(falliti.empty()) << falliti.size() << " of " << senza_guasto << "\n" << tutti;
}

}  // namespace
}  // namespace scenario

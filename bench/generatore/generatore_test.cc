// The maximal scenario must stay one the compiler takes without a fault, and
// as large as it claims: the benchmarks measure nothing otherwise.
#include "generatore/generatore.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "format/scrittori.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

class ScenarioMassimoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    generato_ = new ScenarioGenerato(genera_scenario_massimo());
    test::Prova p =
        test::compila_in_memoria(generato_->linea, generato_->treno, {.id = generato_->id});
    compilato_ = new Compilazione(std::move(p.c));
    sorgenti_rimaste_ = p.resta_linea() || p.resta_treno();
  }
  static void TearDownTestSuite() {
    delete compilato_;
    delete generato_;
  }

  static int64_t celle_con_codice(uint8_t codice) {
    const auto& celle = *compilato_->modello.celle;
    return std::count_if(celle.begin(), celle.end(),
                         [codice](const Cella& c) { return c.tipo_cella == codice; });
  }

  static ScenarioGenerato* generato_;
  static Compilazione* compilato_;
  static bool sorgenti_rimaste_;
};
ScenarioGenerato* ScenarioMassimoTest::generato_ = nullptr;
Compilazione* ScenarioMassimoTest::compilato_ = nullptr;
bool ScenarioMassimoTest::sorgenti_rimaste_ = false;

TEST_F(ScenarioMassimoTest, CompilesWithoutFault) {
  EXPECT_EQ(compilato_->errore.numero_errore, 0) << compilato_->motivo_guasto;
  EXPECT_EQ(compilato_->errore_timbri, Codice::nessuno);
  EXPECT_TRUE(compilato_->da_scrivere());
  EXPECT_FALSE(sorgenti_rimaste_);
}

TEST_F(ScenarioMassimoTest, IsTheLongestLineWithAFullPlan) {
  const Modello& m = compilato_->modello;
  EXPECT_EQ(m.testata[kVoceDatiTreno].valore_due, kLunghezzaMassima);
  EXPECT_EQ(m.ultima_cella, kUltimaCellaMassima);
  ASSERT_TRUE(m.planimetria.has_value());
  // The trace reaches point E - 2: no curve was cut short.
  const int64_t e = m.lunghezza_estesa;
  EXPECT_EQ(dimensione_planimetria(*m.planimetria), static_cast<size_t>(20 * e - 36));
  EXPECT_EQ(m.planimetria->tipo(static_cast<size_t>(e - 2)), TipoValore::reale);
}

TEST_F(ScenarioMassimoTest, HoldsTheRecordsItCounts) {
  const Conteggi& n = generato_->conteggi;
  EXPECT_EQ(n.curve, 4999);
  EXPECT_EQ(n.pendenze, 5000);
  EXPECT_EQ(n.cartelli, 57);
  EXPECT_EQ(n.stazioni, 21);
  EXPECT_GE(n.montagne, 400);
  EXPECT_GE(n.segnali, 2000);
  EXPECT_GE(n.rallentamenti, 1000);
  EXPECT_EQ(celle_con_codice(cella_cartello), n.cartelli);
  EXPECT_EQ(celle_con_codice(cella_indicatore), n.indicatori);
  EXPECT_GT(celle_con_codice(cella_montagna), 0);
}

// 57 boards in entries 80 to 24 leave room for exactly 21 stations.
TEST_F(ScenarioMassimoTest, BoardsLeaveRoomForTheStations) {
  const Testata& t = compilato_->modello.testata;
  for (int i = 80; i > 80 - 57; --i) EXPECT_FALSE(t[static_cast<size_t>(i)].testo.empty()) << i;
  EXPECT_TRUE(t[80 - 57].testo.empty());
}

// Shorter lines take the same kinds of record, packed the same way.
TEST(ScenarioGenerato, EveryLengthCompilesWithoutFault) {
  for (const int32_t lunghezza : {kLunghezzaBreve, 200000, 555550}) {
    const ScenarioGenerato g = genera_scenario(identita_breve(), lunghezza);
    const Compilazione c = test::compila_in_memoria(g.linea, g.treno, {.id = g.id}).c;
    EXPECT_EQ(c.errore.numero_errore, 0) << lunghezza << " " << c.motivo_guasto;
    EXPECT_EQ(c.modello.testata[kVoceDatiTreno].valore_due, lunghezza);
    EXPECT_EQ(g.conteggi.cartelli, 57) << lunghezza;
    EXPECT_EQ(g.conteggi.stazioni, 21) << lunghezza;
    EXPECT_FALSE(g.scheda.empty() || g.rallentamenti.empty() || g.note.empty());
  }
}

TEST_F(ScenarioMassimoTest, IsTheSameEveryTime) {
  const ScenarioGenerato altro = genera_scenario_massimo();
  EXPECT_EQ(altro.linea, generato_->linea);
  EXPECT_EQ(altro.treno, generato_->treno);
}

}  // namespace
}  // namespace scenario

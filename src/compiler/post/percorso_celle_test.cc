#include "compiler/post/percorso_celle.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "compiler/post/codici_gara.h"

namespace scenario {
namespace {

// Something placed by hand before the walk.
struct Posa {
  int32_t cella;
  uint8_t tipo;
  int16_t dato_uno;
};

Posa segnale(int32_t c) { return {c, cella_segnale, 33}; }
Posa inizio(int32_t c, int16_t velocita) { return {c, cella_inizio_rallentamento, velocita}; }
Posa fine(int32_t c) { return {c, cella_fine_rallentamento, 60}; }
Posa avviso(int32_t c) { return {c, cella_avviso_rallentamento, 60}; }
Posa punto(int32_t c, int16_t valore) { return {c, cella_abbattimento, valore}; }
Posa occupata(int32_t c) { return {c, cella_fermata, 1}; }
Posa montagna(int32_t c) { return {c, cella_montagna, 0}; }

// A cell whose code or first value the walk changed.
struct Cambio {
  int32_t cella;
  int tipo;
  int dato_uno;
  bool operator==(const Cambio&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Cambio& c) {
  return os << "{cell " << c.cella << ": code " << c.tipo << ", " << c.dato_uno << "}";
}

Cambio marcata(int32_t c) { return {c, cella_abbattimento, 180}; }

// N + 1 free cells carrying attributes, so that a mark touching anything but
// the code and the first value shows; then the hand-placed items.
std::vector<Cella> tabella(int32_t n, const std::vector<Posa>& posa) {
  std::vector<Cella> celle(static_cast<size_t>(n + 1));
  for (int32_t c = 0; c <= n; ++c) {
    Cella& cella = celle[static_cast<size_t>(c)];
    cella.codice_avvicinamento = static_cast<uint8_t>(c % 5 == 0 ? 81 : 0);
    cella.velocita_treno = 16;
    cella.pendenza = static_cast<uint8_t>(100 + c % 7);
    cella.aderenza = 3;
  }
  for (const Posa& p : posa) {
    Cella& cella = celle.at(static_cast<size_t>(p.cella));
    cella.tipo_cella = p.tipo;
    cella.dato_uno = p.dato_uno;
    if (p.tipo == cella_montagna) cella.struttura = 2;
    if (p.tipo == cella_fine_rallentamento) cella.dato_tre = 1;
  }
  return celle;
}

// The cells whose code or first value differ; any other field that differs
// is a failure by itself.
std::vector<Cambio> cambi(const std::vector<Cella>& prima, const std::vector<Cella>& dopo) {
  std::vector<Cambio> r;
  EXPECT_EQ(prima.size(), dopo.size());
  for (size_t c = 0; c < prima.size() && c < dopo.size(); ++c) {
    Cella a = prima[c];
    const Cella& b = dopo[c];
    if (a.tipo_cella == b.tipo_cella && a.dato_uno == b.dato_uno) {
      EXPECT_TRUE(a == b) << "cell " << c;
      continue;
    }
    r.push_back({static_cast<int32_t>(c), b.tipo_cella, b.dato_uno});
    a.tipo_cella = b.tipo_cella;
    a.dato_uno = b.dato_uno;
    EXPECT_TRUE(a == b) << "cell " << c << ": a field besides the code and the value changed";
  }
  return r;
}

struct Caso {
  std::string nome;
  int32_t n;
  std::vector<Posa> posa;
  std::vector<Cambio> attesi;  // ascending cell order
  RecordErrore errore;         // after the walk
  RecordErrore prima = {};     // as the parser left it
};

void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

class PercorsoCelle : public ::testing::TestWithParam<Caso> {};

TEST_P(PercorsoCelle, PlacesTheCodePoints) {
  const Caso& caso = GetParam();
  std::vector<Cella> celle = tabella(caso.n, caso.posa);
  const std::vector<Cella> prima = celle;
  RecordErrore errore = caso.prima;

  percorri_celle(celle, errore);

  EXPECT_EQ(cambi(prima, celle), caso.attesi);
  EXPECT_EQ(errore.numero_errore, caso.errore.numero_errore);
  EXPECT_EQ(errore.posizione_errore, caso.errore.posizione_errore);
}

// Slowdown start at 100 and end at 130 on a table of cells 0 to 200: the
// approach marks are 95, 89 and 82, the walk marks 108, 116 and 124.
const std::vector<Caso> kRallentamenti = {
    {"SlowSlowdown",
     200,
     {inizio(100, 60), fine(130)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124)},
     {}},
    {"SpeedJustBelow110StillWalks",
     200,
     {inizio(100, 109), fine(130)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124)},
     {}},
    {"NegativeSpeedWalks",
     200,
     {inizio(100, -5), fine(130)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124)},
     {}},
    {"SignalTwelveCellsAfterTheEnd",
     200,
     {inizio(100, 60), fine(130), segnale(142)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124),
      marcata(141)},
     {}},
    {"SignalThirteenCellsAfterTheEndIsNotSought",
     200,
     {inizio(100, 60), fine(130), segnale(143)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124)},
     {}},
    {"OnlyTheFirstSignalAfterTheEnd",
     200,
     {inizio(100, 60), fine(130), segnale(133), segnale(138)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124),
      marcata(132)},
     {}},
    {"SignalAfterTheEndWithItsCellTaken",
     200,
     {inizio(100, 60), fine(130), segnale(135), occupata(134)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124),
      marcata(133)},
     {}},
    {"SignalAfterTheEndWithBothCellsTaken",
     200,
     {inizio(100, 60), fine(110), segnale(115), occupata(114), occupata(113)},
     {marcata(82), marcata(89), marcata(95), marcata(108)},
     {13, 110 * 50}},
    {"WalkMarkTakenFallsBackOneCell",
     200,
     {inizio(100, 60), fine(130), occupata(108)},
     {marcata(82), marcata(89), marcata(95), marcata(107), marcata(115), marcata(123)},
     {}},
    {"WalkMarkAndTheCellBeforeTakenGoesOneAhead",
     200,
     {inizio(100, 60), fine(130), occupata(107), occupata(108)},
     {marcata(82), marcata(89), marcata(95), marcata(109), marcata(117), marcata(125)},
     {}},
    {"WalkMarkOnAStructureMarker",
     200,
     {inizio(100, 60), fine(130), montagna(108)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124)},
     {}},
    {"WalkWithoutFreeCellStopsMarking",
     200,
     {inizio(100, 60), fine(130), occupata(107), occupata(108), occupata(109)},
     {marcata(82), marcata(89), marcata(95)},
     {13, 108 * 50}},
    {"WalkEndingOnTheMarkStepFallsBack",
     200,
     {inizio(100, 60), fine(108), segnale(109)},
     // 107 is marked by the walk, so the signal after the end finds no free cell.
     {marcata(82), marcata(89), marcata(95), marcata(107)},
     {13, 108 * 50}},
    {"FastSlowdownSearchesFromItsEnd",
     200,
     {inizio(100, 110), fine(130), segnale(135)},
     {marcata(82), marcata(89), marcata(95), marcata(134)},
     {}},
    {"FastSlowdownSearchesTwelveCellsPastItsEnd",
     200,
     {inizio(100, 120), fine(110), segnale(122), segnale(123)},
     {marcata(82), marcata(89), marcata(95), marcata(121)},
     {}},
    {"FastSlowdownIgnoresSignalsBeforeItsEnd",
     200,
     {inizio(100, 120), fine(110), segnale(105)},
     {marcata(82), marcata(89), marcata(95)},
     {}},
    {"FastSlowdownWithoutEndSkipsTheSearch",
     200,
     {inizio(100, 120), segnale(105)},
     {marcata(82), marcata(89), marcata(95)},
     {}},
    {"StartAtCell7HasNoApproachMark", 40, {inizio(7, 60), fine(9)}, {}, {}},
    {"StartAtCell8HasTheFirstGroupOnly", 40, {inizio(8, 60), fine(10)}, {marcata(3)}, {}},
    {"StartAtCell8FallsBackToCell1",
     40,
     {inizio(8, 60), fine(10), occupata(3), occupata(2)},
     {marcata(1)},
     {}},
    {"StartAtCell8WithoutFreeCell",
     40,
     {inizio(8, 60), fine(10), occupata(3), occupata(2), occupata(1)},
     {},
     {12, 8 * 50}},
    {"StartAtCell13HasTheFirstGroupOnly", 40, {inizio(13, 60), fine(15)}, {marcata(8)}, {}},
    {"StartAtCell14HasTwoGroups", 40, {inizio(14, 60), fine(16)}, {marcata(3), marcata(9)}, {}},
    {"StartAtCell20HasTwoGroups", 40, {inizio(20, 60), fine(22)}, {marcata(9), marcata(15)}, {}},
    {"StartAtCell21HasThreeGroups",
     40,
     {inizio(21, 60), fine(23)},
     {marcata(3), marcata(10), marcata(16)},
     {}},
    {"ApproachMarksFallBackWithinTheirGroup",
     60,
     {inizio(30, 60), fine(32), occupata(25), occupata(24), occupata(19), occupata(12),
      occupata(11), montagna(10)},
     {marcata(10), marcata(18), marcata(23)},
     {}},
    {"ApproachGroupWithoutFreeCellLeavesTheOthers",
     60,
     {inizio(30, 60), fine(32), occupata(19), occupata(18), occupata(17)},
     {marcata(12), marcata(25)},
     {12, 30 * 50}},
};

INSTANTIATE_TEST_SUITE_P(RegolaB, PercorsoCelle, ::testing::ValuesIn(kRallentamenti),
                         [](const auto& info) { return info.param.nome; });

// A warning at cell 50 looks back at cells 49 to 30.
const std::vector<Caso> kAvvisi = {
    {"SignalsAtFourAndFifteenBack",
     80,
     {avviso(50), segnale(46), segnale(35)},
     {marcata(34), marcata(45)},
     {}},
    {"SignalTwentyBack", 80, {avviso(50), segnale(30)}, {marcata(29)}, {}},
    {"SignalTwentyOneBackIsNotSought", 80, {avviso(50), segnale(29)}, {}, {}},
    {"SignalRightBeforeTheWarning", 80, {avviso(50), segnale(49)}, {marcata(48)}, {}},
    {"SignalBeforeAStructureMarker",
     80,
     {avviso(50), segnale(46), montagna(45)},
     {marcata(45)},
     {}},
    {"SecondCodePointBesideAnExistingOne",
     80,
     {avviso(50), segnale(46), punto(45, 200)},
     {marcata(44)},
     {}},
    {"CapsTheCodePointBeforeTheSignal",
     80,
     {avviso(50), segnale(46), punto(45, 200), punto(44, 60)},
     {marcata(45)},
     {}},
    {"KeepsALowerCodePoint", 80, {avviso(50), segnale(46), punto(45, 60), punto(44, 200)}, {}, {}},
    {"CapsTheSecondCellWhenTheFirstIsTaken",
     80,
     {avviso(50), segnale(46), occupata(45), punto(44, 200)},
     {marcata(44)},
     {}},
    {"SignalWithoutRoom",
     80,
     {avviso(50), segnale(46), occupata(45), occupata(44)},
     {},
     {11, 46 * 50}},
    {"SignalBeforeASignal",
     80,
     {avviso(50), segnale(46), segnale(45)},
     {marcata(43), marcata(44)},
     {}},
    {"WarningAtCell5LooksAtCells4And3", 40, {avviso(5), segnale(4), segnale(2)}, {marcata(3)}, {}},
    {"WarningAtCell5WithASignalAtCell3", 40, {avviso(5), segnale(3)}, {marcata(2)}, {}},
    {"WarningAtCell4LooksAtCell3Only", 40, {avviso(4), segnale(2)}, {}, {}},
    {"TwoWarningsCapTheSameCodePoint",
     80,
     {avviso(50), avviso(55), segnale(46), punto(45, 300), punto(44, 300)},
     {marcata(45)},
     {}},
    {"TwoWarningsMarkBothCellsBeforeTheSignal",
     80,
     {avviso(50), avviso(55), segnale(46)},
     {marcata(44), marcata(45)},
     {}},
};

INSTANTIATE_TEST_SUITE_P(RegolaA, PercorsoCelle, ::testing::ValuesIn(kAvvisi),
                         [](const auto& info) { return info.param.nome; });

// The walk order, the ends of the table and the error record.
const std::vector<Caso> kPercorso = {
    {"ApproachMarkSeenByALaterWarning",
     60,
     {inizio(30, 120), fine(31), avviso(40), segnale(26)},
     {marcata(12), marcata(19), marcata(24), marcata(25)},
     {}},
    {"WarningOnTheLastCellWalked", 60, {avviso(58), segnale(55)}, {marcata(54)}, {}},
    {"WarningPastTheLastCellWalked", 60, {avviso(59), segnale(55)}, {}, {}},
    {"StartPastTheLastCellWalked", 60, {inizio(59, 60)}, {}, {}},
    {"StartOnTheLastCellWalkedWithoutEnd",
     60,
     {inizio(58, 60)},
     {marcata(40), marcata(47), marcata(53)},
     {}},
    {"SlowdownWithoutEndWalksToTheLastCell",
     30,
     {inizio(5, 60), segnale(30)},
     {marcata(13), marcata(21), marcata(28), marcata(29)},
     {}},
    {"WalkMarkCannotGoPastTheLastCell",
     20,
     {inizio(4, 60), segnale(20), occupata(19)},
     {marcata(12), marcata(18)},
     {13, 20 * 50}},
    {"SignalSearchStopsAtTheLastCell",
     140,
     {inizio(100, 60), fine(135), segnale(140)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124), marcata(132),
      marcata(139)},
     {}},
    {"FastSlowdownEndingOnTheLastCell",
     140,
     {inizio(100, 120), fine(140)},
     {marcata(82), marcata(89), marcata(95)},
     {}},
    {"SmallestTableWalked", 3, {inizio(1, 60), fine(2), segnale(3)}, {}, {13, 2 * 50}},
    {"TableTooSmallToWalk", 2, {inizio(1, 60), segnale(2)}, {}, {}},
    {"SingleCellTable", 0, {}, {}, {}},
    {"LaterFaultOverwritesTheEarlierOne",
     60,
     {inizio(10, 60), fine(12), occupata(5), occupata(4), occupata(3), avviso(40), segnale(35),
      occupata(34), occupata(33)},
     {},
     {11, 35 * 50}},
    {"FaultOverwritesTheParsersRecord",
     60,
     {inizio(10, 60), fine(12), occupata(5), occupata(4), occupata(3)},
     {},
     {12, 10 * 50},
     {16, 1600}},
    {"ParsersRecordStaysWithoutFault",
     200,
     {inizio(100, 60), fine(130)},
     {marcata(82), marcata(89), marcata(95), marcata(108), marcata(116), marcata(124)},
     {16, 1600},
     {16, 1600}},
};

INSTANTIATE_TEST_SUITE_P(Percorso, PercorsoCelle, ::testing::ValuesIn(kPercorso),
                         [](const auto& info) { return info.param.nome; });

TEST(PercorsoCelleVuoto, EmptyTableIsLeftAlone) {
  std::vector<Cella> celle;
  RecordErrore errore{7, 350};
  percorri_celle(celle, errore);
  EXPECT_TRUE(celle.empty());
  EXPECT_EQ(errore.numero_errore, 7);
  EXPECT_EQ(errore.posizione_errore, 350);
}

// A code point on cell 1 takes the place of the format stamp.
TEST(PercorsoCelleTimbri, MarkOnCell1IsRefusedByTheStamps) {
  struct Prova {
    const char* nome;
    std::vector<Posa> posa;
    int32_t atteso;
  };
  const Prova prove[] = {
      {"approach mark", {inizio(8, 60), fine(10), occupata(3), occupata(2)}, 1250},
      {"signal at cell 3", {avviso(10), segnale(3), occupata(2)}, 1250},
      {"mark on cell 3 only", {inizio(8, 60), fine(10)}, 0},
  };
  for (const Prova& p : prove) {
    std::vector<Cella> celle = tabella(40, p.posa);
    RecordErrore errore;
    Testata testata{};
    percorri_celle(celle, errore);
    EXPECT_EQ(numero(timbra(testata, celle)), p.atteso) << p.nome;
  }
}

TEST(Minimo, TakesTheSmallerAndXOnATie) {
  EXPECT_EQ(minimo(180, 200), 180);
  EXPECT_EQ(minimo(180, 60), 60);
  EXPECT_EQ(minimo(180, 180), 180);
  EXPECT_EQ(minimo(180, -32768), -32768);
}

}  // namespace
}  // namespace scenario

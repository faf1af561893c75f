// The later sections of the line file: gradients, the plan trace,
// structures, speed indicators and boards, and the chainage references.
#include "compiler/line/record_linea.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/compila.h"

namespace scenario {
namespace {

using test::compila_in_memoria;
using test::file_linea;
using test::Prova;

// Cells [da, a] all hold `valore` in the field `campo`.
template <typename F>
void celle_uguali(const Prova& p, int da, int a, int valore, F campo, const char* nome) {
  for (int i = da; i <= a; ++i) ASSERT_EQ(campo(p.cella(i)), valore) << nome << " cell " << i;
}
const auto pendenza = [](const Cella& c) { return int{c.pendenza}; };

TEST(Pendenze, EachCellHoldsTheGradientInForceAtItsStart) {
  const auto p =
      compila_in_memoria(file_linea("[pendenze]\r\npendenza,   0,    0\r\npendenza,  1050,   -3\r\n"
                                    "pendenza,  1250,   -6\r\npendenza,  89000,   12\r\n"));
  ASSERT_EQ(p.errore(), 0);
  celle_uguali(p, 0, 20, 100, pendenza, "pendenza");
  celle_uguali(p, 21, 24, 97, pendenza, "pendenza");
  celle_uguali(p, 25, 1779, 94, pendenza, "pendenza");
  celle_uguali(p, 1780, 1957, 112, pendenza, "pendenza");
  celle_uguali(p, 1958, 1960, 0, pendenza, "pendenza");  // the last three cells keep 0
}

TEST(Pendenze, RoundingBytesAndRepeatedCells) {
  struct Caso {
    const char* righe;
    int ultima_vecchia;  // last cell with the first value (100)
    int nuova;           // the value from the next cell on
  };
  const Caso casi[] = {
      {"pendenza,  1025,  5\r\n", 19, 105},   // 20.5 rounds to 20
      {"pendenza,  1075,  5\r\n", 21, 105},   // 21.5 rounds to 22
      {"pendenza,  1000,  200\r\n", 19, 44},  // low 8 bits of 300
      {"pendenza,  1000,  -101\r\n", 19, 255},
  };
  for (const Caso& c : casi) {
    const auto p =
        compila_in_memoria(file_linea(std::string("[pendenze]\r\npendenza,  0,  0\r\n") + c.righe));
    ASSERT_EQ(p.errore(), 0) << c.righe;
    celle_uguali(p, 0, c.ultima_vecchia, 100, pendenza, c.righe);
    celle_uguali(p, c.ultima_vecchia + 1, 1957, c.nuova, pendenza, c.righe);
  }
  // Two records on one cell: the second writes one cell with the first's value.
  const auto p = compila_in_memoria(
      file_linea("[pendenze]\r\npendenza, 0, 0\r\npendenza, 1000, 5\r\npendenza, 1000, 7\r\n"));
  celle_uguali(p, 0, 19, 100, pendenza, "same cell");
  EXPECT_EQ(p.cella(20).pendenza, 105);
  celle_uguali(p, 21, 1957, 107, pendenza, "same cell");
}

TEST(Pendenze, PositionCheck) {
  // The carried line admits positions up to 50 x 1960 - 100 = 97900.
  const auto ok = compila_in_memoria(file_linea("[pendenze]\r\npendenza,  97900,  1\r\n"));
  EXPECT_EQ(ok.errore(), 0);
  const auto oltre = compila_in_memoria(file_linea(
      "[pendenze]\r\npendenza,  97950,  1\r\npendenza,  x,  y\r\n[curve]\r\ncurvad2, 1, 1\r\n"));
  // 15 ends the later sections (the bad row after it is never read); the end
  // steps run, the train file is read.
  EXPECT_EQ(oltre.errore(), 15);
  EXPECT_EQ(oltre.posizione(), 97950);
  EXPECT_FALSE(oltre.resta_linea());
  EXPECT_FALSE(oltre.resta_treno());
  EXPECT_EQ(oltre.c.modello.planimetria->tipo(97998), TipoValore::reale);
}

class Tracciato : public ::testing::Test {
 protected:
  static Punto punto(const Prova& p, size_t i) { return p.c.modello.planimetria->punto(i); }
  static TipoValore tipo(const Prova& p, size_t i) { return p.c.modello.planimetria->tipo(i); }
};

TEST_F(Tracciato, StraightThenCurvedThenStraightToTheEnd) {
  const auto p = compila_in_memoria(file_linea("[curve]\r\ncurvad2,  1150,  250\r\n"));
  ASSERT_EQ(p.errore(), 0);
  EXPECT_EQ(tipo(p, 0), TipoValore::intero);
  EXPECT_EQ(tipo(p, 1), TipoValore::intero);
  EXPECT_EQ(punto(p, 1).x1, 1);
  for (size_t i = 2; i <= 1150; ++i) {
    ASSERT_EQ(tipo(p, i), TipoValore::reale);
    ASSERT_EQ(punto(p, i).x0, 0) << i;
    ASSERT_EQ(punto(p, i).x1, static_cast<double>(i)) << i;
  }
  // The first curved step turns towards +x0 by c = 0.0002.
  EXPECT_EQ(punto(p, 1151).x0, 0.0002);
  EXPECT_EQ(punto(p, 1151).x1, 1151);
  for (size_t i = 1152; i <= 1400; ++i) ASSERT_GT(punto(p, i).x0, punto(p, i - 1).x0);
  // The curved step's length growth is kept: sqrt(1 + c^2) per step.
  const double d0 = punto(p, 1400).x0 - punto(p, 1399).x0;
  const double d1 = punto(p, 1400).x1 - punto(p, 1399).x1;
  EXPECT_NEAR(std::hypot(d0, d1), std::pow(1 + 0.0002 * 0.0002, 250 / 2.0), 1e-12);
  EXPECT_GT(std::hypot(d0, d1), 1.0);
  // From 1401 on straight again, each step the one before.
  for (size_t i : {1401u, 50000u, 97998u}) {
    EXPECT_EQ(punto(p, i).x0 - punto(p, i - 1).x0, punto(p, i - 1).x0 - punto(p, i - 2).x0);
  }
  EXPECT_EQ(tipo(p, 97998), TipoValore::reale);
  EXPECT_EQ(tipo(p, 97999), TipoValore::vuoto);
  EXPECT_EQ(tipo(p, 98000), TipoValore::vuoto);
}

TEST_F(Tracciato, ClassDigitAndSide) {
  struct Caso {
    const char* parola;
    double x0;  // of the first curved point, after (0, 100)
  };
  const Caso casi[] = {
      {"curvad1", 0.0001}, {"curvas3", -0.0004}, {"curvad4", 0.001},  {"curvaS5", -0.002},
      {"curvad6", 0.003},  {"CURVAD2", 0.0002},  {"curva27", 0.0002},
  };
  for (const Caso& c : casi) {
    const auto p =
        compila_in_memoria(file_linea(std::string("[curve]\r\n") + c.parola + ",  100,  50\r\n"));
    ASSERT_EQ(p.errore(), 0) << c.parola;
    EXPECT_EQ(punto(p, 101).x0, c.x0) << c.parola;
  }
}

TEST_F(Tracciato, ErrorsAndThePlanFlag) {
  // No class digit: 103, the line file goes, the train file is not read.
  const auto senza = compila_in_memoria(file_linea("[curve]\r\ncurvad,  100,  50\r\n"));
  EXPECT_EQ(senza.errore(), 103);
  EXPECT_FALSE(senza.resta_linea());
  EXPECT_TRUE(senza.resta_treno());
  // Without the plan flag curves are never handled: no plan, no 103, and the
  // values are dropped one by one as keyword candidates.
  const auto j0 = compila_in_memoria(file_linea("[curve]\r\ncurvad,  100,  50\r\n"),
                                     test::kTrenoVuoto, {.j = 0});
  EXPECT_EQ(j0.errore(), 0);
  EXPECT_FALSE(j0.c.modello.planimetria.has_value());
  EXPECT_TRUE(j0.c.da_scrivere());
}

TEST_F(Tracciato, CurvePastThePlanEndStopsAtItsLastPoint) {
  // Line length 0: points 0..7000. The curve writes point 7000 and then fails.
  const auto p = compila_in_memoria(file_linea("[curve]\r\ncurvad1,  6000,  2000\r\n", 0));
  EXPECT_EQ(p.errore(), 103);
  EXPECT_EQ(tipo(p, 7000), TipoValore::reale);
  EXPECT_EQ(tipo(p, 6500), TipoValore::reale);
  EXPECT_FALSE(p.resta_linea());
}

const auto struttura = [](const Cella& c) { return int{c.struttura}; };
const auto codice = [](const Cella& c) { return int{c.tipo_cella}; };

TEST(Montagne, CellsTypesAndMarkers) {
  const auto p =
      compila_in_memoria(file_linea("[montagne]\r\n"
                                    "montagna,   950,  1000,  2\r\n"
                                    "montagna,   1750,  1800,  2\r\n"
                                    "montagna,   2100,  2250,  12\r\n"
                                    "montagna,   86900,  87050,  2\r\n"
                                    "montagna,   87200,  87750,  12\r\n"
                                    "montagna,   89100,  90100,  11\r\n"));
  ASSERT_EQ(p.errore(), 0);
  EXPECT_EQ(p.cella(19).struttura, 2);
  EXPECT_EQ(p.cella(18).struttura, 0);
  EXPECT_EQ(p.cella(20).struttura, 0);
  celle_uguali(p, 42, 44, 2, struttura, "2100-2250");
  celle_uguali(p, 42, 44, 0, codice, "2100-2250 has no fourth cell");
  // 150 m after the previous end: joined, type 3.
  celle_uguali(p, 1744, 1754, 3, struttura, "87200-87750");
  for (int c = 1744; c <= 1754; ++c) {
    EXPECT_EQ(p.cella(c).tipo_cella, (c == 1747 || c == 1751) ? cella_montagna : cella_libera) << c;
  }
  celle_uguali(p, 1782, 1801, 1, struttura, "89100-90100");
  for (int c = 1782; c <= 1801; ++c) {
    EXPECT_EQ(p.cella(c).tipo_cella, (c - 1782) % 4 == 3 ? cella_montagna : cella_libera) << c;
  }
}

TEST(Montagne, GapRule) {
  struct Caso {
    const char* righe;
    int cella;
    int tipo;
  };
  const Caso casi[] = {
      {"montagna, 1000, 1200, 2\r\nmontagna, 1350, 1500, 2\r\n", 27, 3},  // 150 m: joined
      {"montagna, 1000, 1200, 2\r\nmontagna, 1400, 1500, 2\r\n", 28, 2},  // 200 m: its own
      {"montagna, 1000, 1200, 2\r\nmontagna, 900, 1500, 5\r\n", 18, 3},   // overlap
      {"montagna, 100, 200, 2\r\n", 2, 2},  // the first record never joins
      // An empty stretch still counts and sets the end the next one is measured from.
      {"montagna, 1000, 1200, 2\r\nmontagna, 5000, 5000, 2\r\nmontagna, 5100, 5200, 7\r\n", 102, 3},
  };
  for (const Caso& c : casi) {
    const auto p = compila_in_memoria(file_linea(std::string("[montagne]\r\n") + c.righe));
    ASSERT_EQ(p.errore(), 0) << c.righe;
    EXPECT_EQ(p.cella(c.cella).struttura, c.tipo) << c.righe;
  }
  const auto vuota = compila_in_memoria(file_linea("[montagne]\r\nmontagna, 5000, 4000, 12\r\n"));
  for (int c = 0; c <= 1960; ++c) ASSERT_EQ(vuota.cella(c).struttura, 0);
}

TEST(Montagne, EndBeyondTheTrackFails) {
  const auto p = compila_in_memoria(file_linea("[montagne]\r\nmontagna, 97000, 99000, 12\r\n"));
  EXPECT_EQ(p.errore(), 25);
  EXPECT_FALSE(p.resta_linea());
  EXPECT_FALSE(p.resta_treno());
  // What it stored before the failure stays.
  EXPECT_EQ(p.cella(1960).struttura, 2);
}

TEST(Indicatori, PackedRanksAndStripes) {
  struct Caso {
    const char* riga;
    int cella;
    int16_t a, b, c, strisce;
  };
  const Caso casi[] = {
      {"indicatori_vmax,  1250,  110,  120,  125,  0,  110,  120,  125,  0", 26, 2222, 2424, 2525,
       0},
      {"indicatori_vmax,  11850,  120,  130,  130,  0,  ,  ,  ,  0", 238, 2400, 2600, 2600, 0},
      {"indicatori_vmax,  85350,  65,  75,  75,  2,  65,  75,  75,  2", 1708, 1313, 1515, 1515, 22},
      {"indicatori_vmax,  1000,  10,  10,  10,  1,  12,  13,  -12,  3", 21, 202, 203, 198, 13},
      {"indicatori_vmax,  1000,  0,  0,  0,  3277,  0,  0,  0,  0", 21, 0, 0, 0, -32766},  // wraps
  };
  for (const Caso& c : casi) {
    const auto p = compila_in_memoria(file_linea(std::string("[cartelli]\r\n") + c.riga + "\r\n"));
    ASSERT_EQ(p.errore(), 0) << c.riga;
    const Cella& x = p.cella(c.cella);
    EXPECT_EQ(x.tipo_cella, cella_indicatore) << c.riga;
    EXPECT_EQ(x.dato_uno, c.a) << c.riga;
    EXPECT_EQ(x.dato_due, c.b) << c.riga;
    EXPECT_EQ(x.dato_tre, c.c) << c.riga;
    EXPECT_EQ(x.dato_quattro, c.strisce) << c.riga;
  }
}

TEST(Cartelli, EntriesCellsAndTexts) {
  const auto p =
      compila_in_memoria(file_linea("[indicazioni]\r\n"
                                    "cartello_indicatore,  900,   ( CAVALCAVIA)(VIA DEI TIGLI)\r\n"
                                    "cartello_indicatore,  1150,   (SEGNALE DI  ),x\r\n"
                                    "cartello_indicatore,  925,   (A)\r\n"));
  ASSERT_EQ(p.errore(), 0);
  EXPECT_EQ(p.cella(19).tipo_cella, cella_cartello);
  EXPECT_EQ(p.cella(19).dato_uno, 80);
  EXPECT_EQ(p.voce(80).testo, "( CAVALCAVIA)(VIA DEI TIGLI)");
  EXPECT_EQ(p.cella(24).dato_uno, 79);
  EXPECT_EQ(p.voce(79).testo, "(SEGNALE DI  )");  // the text ends at a comma
  EXPECT_EQ(p.cella(20).dato_uno, 78);            // 925: 19.5 rounds to 20
  const auto q =
      compila_in_memoria(file_linea("[indicazioni]\r\ncartello_indicatore,  975,   (B)\r\n"));
  EXPECT_EQ(q.cella(20).tipo_cella, cella_cartello);  // 975: 20.5 rounds to 20
}

TEST(Cartelli, OccupiedCells) {
  struct Caso {
    const char* righe;
    int32_t errore;
    int32_t posizione;
  };
  const Caso casi[] = {
      {"indicatori_vmax,  1250,  1, 1, 1, 0, 1, 1, 1, 0\r\n"
       "cartello_indicatore,  1250,   (X)\r\n",
       6, 1250},
      {"cartello_indicatore,  1250,   (X)\r\n"
       "indicatori_vmax,  1250,  1, 1, 1, 0, 1, 1, 1, 0\r\n",
       21, 1250},
      {"cartello_indicatore,  1250,   (X)\r\ncartello_indicatore,  1260,   (Y)\r\n", 6, 1260},
  };
  for (const Caso& c : casi) {
    const auto p = compila_in_memoria(file_linea(std::string("[cartelli]\r\n") + c.righe));
    EXPECT_EQ(p.errore(), c.errore) << c.righe;
    EXPECT_EQ(p.posizione(), c.posizione) << c.righe;
    EXPECT_FALSE(p.resta_linea());
    EXPECT_TRUE(p.resta_treno()) << "the train file is not read after " << c.errore;
  }
}

TEST(Cartelli, MarkerCellsAreFree) {
  // Cells 42..49 of a long structure: 45 and 49 become markers.
  const auto p =
      compila_in_memoria(file_linea("[montagne]\r\nmontagna, 2100, 2500, 12\r\n[cartelli]\r\n"
                                    "indicatori_vmax,  2200,  1, 1, 1, 0, 1, 1, 1, 0\r\n"
                                    "cartello_indicatore,  2400,   (X)\r\n"));
  ASSERT_EQ(p.errore(), 0);
  EXPECT_EQ(p.cella(45).tipo_cella, cella_indicatore);
  EXPECT_EQ(p.cella(49).tipo_cella, cella_cartello);
}

TEST(Cartelli, TooManyBoardsOrTooLongATextFail) {
  std::string molti = "[indicazioni]\r\n";
  for (int i = 0; i < 81; ++i) {
    molti += "cartello_indicatore,  " + std::to_string(1000 + 50 * i) + ",   (X)\r\n";
  }
  const auto p = compila_in_memoria(file_linea(molti));
  EXPECT_EQ(p.errore(), 25);
  EXPECT_EQ(p.voce(0), Voce{});  // entry 0 stays empty
  EXPECT_EQ(p.voce(1).testo, "(X)");
  EXPECT_EQ(p.cella(101).tipo_cella, cella_libera);  // the 81st board, at 5000

  const auto lungo = compila_in_memoria(file_linea(
      "[indicazioni]\r\ncartello_indicatore,  1000,   " + std::string(70000, 'A') + "\r\n"));
  EXPECT_EQ(lungo.errore(), 25);
  EXPECT_EQ(lungo.cella(21).tipo_cella, cella_libera);
  EXPECT_TRUE(lungo.voce(80).testo.empty());
}

TEST(Indicatori, PackedValueBeyond16BitsFails) {
  const auto p =
      compila_in_memoria(file_linea("[cartelli]\r\nindicatori_vmax,  1000,  2000,  1,  1,  0\r\n"));
  EXPECT_EQ(p.errore(), 25);
}

TEST(Sezioni, DashRuleAndUnhandledRecords) {
  struct Caso {
    const char* righe;
    int cella;  // a cell that must hold a board, or -1 for none anywhere
  };
  const Caso casi[] = {
      // A dashed keyword is passed over; the field after it is looked at.
      {"cartello-indicatore,  900,   (X)\r\n", -1},
      {"nota-1,cartello_indicatore,  900,   (X)\r\n", 19},
      // At most twice: the third field is taken even with a dash.
      {"a-,b-,cartello_indicatore-x,  900,   (X)\r\n", 19},
      {"a-,cartello_indicatore-1,  900,   (X)\r\n", -1},
      // The third dashed field is dropped as a keyword; the next pass starts afresh.
      {"a-,b-,c-,cartello_indicatore,  900,   (X)\r\n", 19},
      // The last field of the file is never handled.
      {"cartello_indicatore", -1},
  };
  for (const Caso& c : casi) {
    const std::string testo =
        std::string("[generale]\r\nlunghezza percorso,  91000\r\n[x]\r\n") + c.righe;
    const auto p = compila_in_memoria(testo);
    EXPECT_EQ(p.errore(), 0) << c.righe;
    for (int i = 0; i <= 1960; ++i) {
      ASSERT_EQ(p.cella(i).tipo_cella == cella_cartello, i == c.cella) << c.righe << " cell " << i;
    }
  }
}

TEST(ProgressiveOrdina, OrderAndAdjustment) {
  struct Terna {
    int32_t a, b, c;
    bool operator==(const Terna&) const = default;
  };
  struct Caso {
    Terna uno, due, tre;  // as read: entries 83, 82, 81
    Terna e81, e82, e83;  // after ordering
  };
  const Caso casi[] = {
      {{12800, -12800, 0}, {}, {}, {12800, -12800, 0}, {}, {}},
      {{5000, 1, 0}, {20000, 2, 0}, {12000, 3, 0}, {20000, 2, 0}, {12000, 3, 0}, {5000, 1, 0}},
      {{0, 1, 0}, {0, 2, 0}, {30000, 3, 0}, {30000, 3, 0}, {0, 1, 0}, {0, 2, 0}},
      {{20000, 1, 0}, {20000, 2, 0}, {0, 3, 0}, {}, {}, {}},  // largest shared
      {{0, -7, 0}, {0, 500, 1}, {0, 9, 0}, {0, 600, 1}, {0, 9, 0}, {0, -7, 0}},
      {{0, 7, 0}, {0, 500, 1}, {0, 9, 0}, {0, 7, 0}, {0, 600, 1}, {0, 9, 0}},  // last rule wins
      {{100, -5, 0}, {-100, -5, 0}, {0, -5, 0}, {}, {}, {}},  // sum 0, no positive second
      {{100, 5, 0}, {-100, 6, 0}, {0, 7, 0}, {100, 5, 0}, {-100, 6, 0}, {0, 7, 0}},
      {{3000, 10, 1}, {2000, 20, 2}, {1000, 30, 1}, {3000, 110, 1}, {2000, 20, 2}, {1000, 130, 1}},
  };
  const auto metti = [](Voce& v, Terna t) {
    v.valore_uno = t.a;
    v.valore_due = t.b;
    v.valore_tre = t.c;
  };
  const auto leggi = [](const Voce& v) { return Terna{v.valore_uno, v.valore_due, v.valore_tre}; };
  for (size_t i = 0; i < std::size(casi); ++i) {
    const Caso& c = casi[i];
    Testata t{};
    metti(t[83], c.uno);
    metti(t[82], c.due);
    metti(t[81], c.tre);
    progressive_ordina(t);
    EXPECT_TRUE(leggi(t[81]) == c.e81) << "case " << i;
    EXPECT_TRUE(leggi(t[82]) == c.e82) << "case " << i;
    EXPECT_TRUE(leggi(t[83]) == c.e83) << "case " << i;
  }
}

}  // namespace
}  // namespace scenario

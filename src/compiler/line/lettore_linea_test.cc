// The line file's general section, the heading search, and the ways the
// line half ends: which code, which files are left.
#include "compiler/line/lettore_linea.h"

#include <gtest/gtest.h>

#include "tests/support/compila.h"

namespace scenario {
namespace {

using test::compila_in_memoria;
using test::file_linea;
using test::righe;

const std::string kGeneraleCarried = righe({
    "[generale]",
    "lunghezza percorso,    91000",
    "progressiva chilometrica uno,    12800,    -12800,    0",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    0",
    "sfondo due,    1",
    "sfondo tre,    60000",
    "ripetizione segnali 4 codici,    1250,    12150",
    "[curve]",
    "[fine]",
});

TEST(SezioneGenerale, CarriedValues) {
  const auto p = compila_in_memoria(kGeneraleCarried);
  EXPECT_EQ(p.errore(), 0);
  const Testata& t = p.c.modello.testata;
  EXPECT_EQ(t[84].valore_due, 91000);
  EXPECT_EQ(t[85].valore_uno, 0);
  EXPECT_EQ(t[85].valore_due, 60000);
  EXPECT_EQ(t[85].valore_tre, 1);
  EXPECT_EQ(t[86].valore_uno, 1250);
  EXPECT_EQ(t[86].valore_due, 12150);
  EXPECT_EQ(t[86].valore_tre, 4);
  EXPECT_EQ(t[81].valore_uno, 12800);
  EXPECT_EQ(t[81].valore_due, -12800);
  EXPECT_EQ(t[82], Voce{});
  EXPECT_EQ(t[83], Voce{});
  EXPECT_EQ(t[85].testo, test::kId.linea);
  EXPECT_EQ(t[86].testo, test::kId.treno);
  EXPECT_EQ(p.c.modello.lunghezza_estesa, 98000);
  EXPECT_EQ(p.c.modello.ultima_cella, 1960);
  EXPECT_EQ(p.c.modello.celle->size(), 1961u);
  EXPECT_EQ(p.c.modello.planimetria->ultimo_punto(), 98000);
  EXPECT_FALSE(p.resta_linea());
  EXPECT_FALSE(p.resta_treno());
}

TEST(SezioneGenerale, LineLengthsAndTableSizes) {
  struct Caso {
    int lunghezza;
    int32_t errore;
    int32_t ultima_cella;
  };
  const Caso casi[] = {
      {0, 0, 140}, {25, 0, 140}, {75, 0, 142}, {1000000, 0, 20140}, {1000001, 1, 0}, {-1, 1, 0},
  };
  for (const Caso& c : casi) {
    const auto p = compila_in_memoria(file_linea("", c.lunghezza));
    EXPECT_EQ(p.errore(), c.errore) << c.lunghezza;
    EXPECT_FALSE(p.resta_linea());
    if (c.errore == 0) {
      EXPECT_EQ(p.c.modello.ultima_cella, c.ultima_cella);
      EXPECT_EQ(p.c.modello.celle->size(), static_cast<size_t>(c.ultima_cella) + 1);
      EXPECT_EQ(p.c.modello.planimetria->ultimo_punto(), c.lunghezza + 7000);
    } else {
      // Stopped before the cell table exists: nothing to walk, stamp or write.
      EXPECT_FALSE(p.c.modello.celle.has_value());
      EXPECT_FALSE(p.c.da_scrivere());
      EXPECT_TRUE(p.resta_treno()) << "the train file is neither read nor deleted";
    }
  }
}

TEST(SezioneGenerale, SignalRepetitionZone) {
  struct Caso {
    const char* riga;
    int32_t errore;
    int32_t conteggio;
  };
  const Caso casi[] = {
      {"ripetizione segnali 4 codici,    1250,    12150", 0, 4},
      {"ripetizione segnali 9 codici,    1250,    12150", 0, 9},
      {"ripetizione segnali 4 o 9 codici,    1250,    12150", 0, 4},
      {"ripetizione segnali 4 codici,    1250,    0", 0, 0},
      {"ripetizione segnali 4 codici,    1260,    12150", 3, 0},
      {"ripetizione segnali 4 codici,    1250,    12160", 4, 0},
      {"ripetizione segnali codici,    1250,    12150", 5, 0},
      {"Ripetizione segnali 4 codici,    1250,    12160", 0, 0},  // exact-case key: not read
  };
  for (const Caso& c : casi) {
    const auto p =
        compila_in_memoria(righe({"[generale]", "lunghezza percorso,    1000", c.riga, "[fine]"}));
    EXPECT_EQ(p.errore(), c.errore) << c.riga;
    EXPECT_EQ(p.voce(86).valore_tre, c.conteggio) << c.riga;
    EXPECT_FALSE(p.resta_linea());
    EXPECT_EQ(p.resta_treno(), c.errore != 0) << c.riga;
    // The length was read: the table exists, and the files are written.
    EXPECT_TRUE(p.c.da_scrivere()) << c.riga;
  }
}

TEST(SezioneGenerale, KeywordTests) {
  struct Caso {
    const char* riga;
    int32_t lunghezza;    // entry 84, 0 when the row sets none
    int32_t progressiva;  // the first values of entries 81-83, added up
  };
  const Caso casi[] = {
      {"Lunghezza Percorso,    5000", 5000, 0},  // case-insensitive
      {"xx lunghezza del percorso yy,    5000", 5000, 0},
      {"progressiva chilometrica uno,    100,    0,    0", 0, 100},
      {"Progressiva chilometrica uno,    100,    0,    0", 0, 0},  // exact case: dropped
      {"uno progressiva,    100,    0,    0", 0, 100},             // any order
      {"progressiva-uno,    100,    0,    0", 0, 0},               // a dash: passed over
  };
  for (const Caso& c : casi) {
    const auto p = compila_in_memoria(righe({"[generale]", c.riga, "[fine]"}));
    EXPECT_EQ(p.voce(84).valore_due, c.lunghezza) << c.riga;
    EXPECT_EQ(p.voce(81).valore_uno + p.voce(82).valore_uno + p.voce(83).valore_uno, c.progressiva)
        << c.riga;
  }
}

TEST(SezioneGenerale, DashedFieldHandsOverToTheNext) {
  // A field with "-" makes the reader look at the next field in its place.
  const auto p = compila_in_memoria(
      righe({"[generale]", "nota - vedi sotto,lunghezza percorso,    3000", "[fine]"}));
  EXPECT_EQ(p.errore(), 0);
  EXPECT_EQ(p.voce(84).valore_due, 3000);
}

TEST(SezioneGenerale, SecondLengthRecreatesTheTables) {
  const auto p = compila_in_memoria(
      righe({"[generale]", "lunghezza percorso,    91000", "lunghezza percorso,    0", "[fine]"}));
  EXPECT_EQ(p.c.modello.ultima_cella, 140);
  EXPECT_EQ(p.c.modello.celle->size(), 141u);
}

TEST(SezioneGenerale, LengthTooLongAfterAValidOneStillWrites) {
  const auto p = compila_in_memoria(righe(
      {"[generale]", "lunghezza percorso,    1000", "lunghezza percorso,    1000001", "[fine]"}));
  EXPECT_EQ(p.errore(), 1);
  EXPECT_TRUE(p.c.da_scrivere());
  // The steps between the sections never ran: every plan point is empty.
  const Planimetria& pl = *p.c.modello.planimetria;
  for (size_t i = 0; i < pl.punti(); ++i) ASSERT_EQ(pl.tipo(i), TipoValore::vuoto) << i;
}

TEST(RicercaGenerale, HeadingAndEarlyEnds) {
  struct Caso {
    std::optional<std::string> linea;
    int32_t errore;
    bool resta_linea;
    bool resta_treno;
  };
  const Caso casi[] = {
      {std::nullopt, 101, false, true},
      {righe({"nulla", "di utile"}), 102, false, true},
      {righe({"x", "[generale]"}), 102, false, true},  // the heading is the last field
      {std::string(), 25, false, false},               // the first read finds nothing
      {righe({"testa [GENERALE] coda", "lunghezza percorso,    100", "[fine]"}), 0, false, false},
      {righe({"[generale]", "lunghezza percorso,    x100", "[fine]"}), 25, false, false},
      {righe({"[generale]", "lunghezza percorso"}), 25, false, false},  // value missing
  };
  for (const Caso& c : casi) {
    const auto p = compila_in_memoria(c.linea);
    EXPECT_EQ(p.errore(), c.errore) << c.linea.value_or("(none)");
    EXPECT_EQ(p.resta_linea(), c.resta_linea) << c.linea.value_or("(none)");
    EXPECT_EQ(p.resta_treno(), c.resta_treno) << c.linea.value_or("(none)");
  }
}

TEST(RicercaGenerale, ErrorTailKeepsThePositionAndSaysWhere) {
  const auto p =
      compila_in_memoria(righe({"[generale]", "lunghezza percorso,    100", "[pendenze]",
                                "pendenza,   999999,   0", "pendenza,  50,  1.5", "[fine]"}),
                         std::nullopt);
  // 999999 is beyond the track: 15 with its position, then the train file
  // is missing, which is a failure (25); the position stays.
  EXPECT_EQ(p.errore(), 25);
  EXPECT_EQ(p.posizione(), 999999);
  EXPECT_EQ(p.c.motivo_guasto, "file del treno mancante");
  ASSERT_TRUE(p.c.luogo_errore.has_value());
  EXPECT_EQ(p.c.luogo_errore->file, nome_sorgente_treno(test::kId));
}

TEST(RicercaGenerale, GeneralSectionEndingAtEndOfFile) {
  // No closing heading: the references are still ordered, the end steps run.
  const auto p =
      compila_in_memoria(righe({"[generale]", "progressiva chilometrica uno,    50,    0,    1",
                                "lunghezza percorso,    100", "ultimo"}));
  EXPECT_EQ(p.errore(), 0);
  EXPECT_EQ(p.voce(81).valore_uno, 50);
  EXPECT_EQ(p.voce(81).valore_due, 100);
  EXPECT_EQ(p.cella(0).pendenza, 100);
}

}  // namespace
}  // namespace scenario

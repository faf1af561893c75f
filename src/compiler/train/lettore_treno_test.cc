#include "compiler/train/lettore_treno.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/prova_parser.h"

namespace scenario::test {
namespace {

using LettoreTreno = LetturaSorgenti;

// The general train data, and how keyword fields are found.
struct CasoChiave {
  const char* nome;
  std::string treno;  // the whole train file
  int32_t massa, vetture;
  int16_t sabbia, ore, minuti, secondi;
};

TEST_F(LettoreTreno, ChiaviERegolaDelTrattino) {
  const std::vector<CasoChiave> casi = {
      {"carried rows, the clock separated by blanks alone",
       "[generale]\r\nnumero vetture,    6\r\npercentuale massa frenata,    115\r\n"
       "sabbia,    300\r\norologio,    16              59            30 \r\n[fine]\r\n",
       115, 6, 300, 16, 59, 30},
      {"keywords in capitals",
       "[generale]\r\nNUMERO VETTURE, 6\r\nMassa Frenata, 115\r\n[fine]\r\n", 115, 6, 0, 0, 0, 0},
      {"braked mass needs both words", "[generale]\r\nmassa, 115\r\nfrenata, 120\r\n[fine]\r\n", 0,
       0, 0, 0, 0, 0},
      {"two keywords in one field read two records, in table order",
       "[generale]\r\nsabbia e vetture, 6, 300\r\n[fine]\r\n", 0, 6, 300, 0, 0, 0},
      {"a field with a dash before the keyword is passed over",
       "[generale]\r\nx-y, numero vetture, 6\r\n[fine]\r\n", 0, 6, 0, 0, 0, 0},
      {"a keyword with a dash is passed over, its value taken as keyword",
       "[generale]\r\nnumero-vetture, 6\r\n[fine]\r\n", 0, 0, 0, 0, 0, 0},
      {"two dashed fields are passed over",
       "[generale]\r\na-b, c-d, numero vetture, 6\r\n[fine]\r\n", 0, 6, 0, 0, 0, 0},
      {"the third field is the keyword even with a dash",
       "[generale]\r\na-b, c-d, e-vetture, 6\r\n[fine]\r\n", 0, 6, 0, 0, 0, 0},
      {"a negative value is a value", "[generale]\r\nsabbia, -3\r\n[fine]\r\n", 0, 0, -3, 0, 0, 0},
      {"records before the heading are skipped; heading found in any case and place",
       "numero vetture, 9\r\nsabbia, 1\r\nxx[GENERALE]yy\r\nnumero vetture, 6\r\n[fine]\r\n", 0, 6,
       0, 0, 0, 0},
      {"a keyword that is the file's last field is never handled",
       "[generale]\r\nsabbia, 300\r\nnumero vetture\r\n", 0, 0, 300, 0, 0, 0},
      {"a file may end right after a record", "[generale]\r\nnumero vetture, 6", 0, 6, 0, 0, 0, 0},
  };
  for (const CasoChiave& c : casi) {
    SCOPED_TRACE(c.nome);
    m = Modello{};
    errore = {};
    compila(c.treno);
    EXPECT_EQ(errore.numero_errore, 0);
    EXPECT_TRUE(sorgenti_eliminate());
    EXPECT_EQ(voce(kVoceDatiTreno).valore_uno, c.massa);
    EXPECT_EQ(voce(kVoceDatiTreno).valore_tre, c.vetture);
    EXPECT_EQ(voce(kVoceDatiTreno).valore_due, 91000);  // the line's length untouched
    EXPECT_EQ(voce(kVoceTreno).intero_uno, c.sabbia);
    EXPECT_EQ(voce(kVoceTreno).intero_tre, c.ore);
    EXPECT_EQ(voce(kVoceTreno).intero_quattro, c.minuti);
    EXPECT_EQ(voce(kVoceTreno).intero_cinque, c.secondi);
  }
  // A file without the heading is no train file: it fails as a missing one
  // (code 25, both sources deleted), and none of its records is read.
  m = Modello{};
  errore = {};
  compila("numero vetture, 6\r\nsabbia, 300\r\n[fine]\r\n");
  EXPECT_EQ(errore.numero_errore, 25);
  EXPECT_TRUE(sorgenti_eliminate());
  EXPECT_EQ(voce(kVoceDatiTreno).valore_tre, 0);
  EXPECT_EQ(voce(kVoceTreno).intero_uno, 0);
}

// The train file the installer carries, with names of its own, over a
// plain line of the carried length.
const std::string kTrenoPortato =
    "[generale]\r\n"
    "numero vetture,    6\r\n"
    "percentuale massa frenata,    115\r\n"
    "sabbia,    300\r\n"
    "orologio,    16              59            30 \r\n"
    "[aderenze]\r\n"
    "aderenza,   0,    100\r\n"
    "[vel_limite]\r\n"
    "velocita,   0,    30\r\n"
    "velocita,    1100,   120\r\n"
    "velocita,    3000,    60\r\n"
    "velocita,    4200,   110\r\n"
    "velocita,    5100,   160\r\n"
    "velocita,   12650,   130\r\n"
    "velocita,   14950,   140\r\n"
    "velocita,   50500,   130\r\n"
    "velocita,   52400,   140\r\n"
    "velocita,   62450,   105\r\n"
    "velocita,   63250,    75\r\n"
    "velocita,   64150,   135\r\n"
    "velocita,   86650,    75\r\n"
    "velocita,   87750,    30\r\n"
    "velocita,   88500,    95\r\n"
    "[stazioni]\r\n"
    "stazione,       0,  7,  700,  1, 0, 0,  3,1,0,  2,1,1,    1,  17, 0, 0, NOME 24\r\n"
    "stazione,    4250, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   30,  17, 7, 0, NOME 25\r\n"
    "stazione,    8300, 12,  800,  0, 0, 1,  1,1,0,  4,1,1,    0,   0, 0, 0, NOME 26\r\n"
    "stazione,   12950, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,15, 0, NOME 27\r\n"
    "stazione,   17100, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, NOME 28\r\n"
    "stazione,   19950, 22,  800,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, NOME 29\r\n"
    "stazione,   28350, 12,  600,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,25, 0, NOME 30\r\n"
    "stazione,   37400, 12,  300,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,32, 0, NOME 31\r\n"
    "stazione,   44400, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,38, 0, NOME 32\r\n"
    "stazione,   51200, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,   30,  17,45, 0, NOME 33\r\n"
    "stazione,   57850, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, NOME 34\r\n"
    "stazione,   60600, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, NOME 35\r\n"
    "stazione,   63300, 12,  500,  1, 0, 0,  4,1,1,  2,1,1,   30,  17,55, 0, NOME 36\r\n"
    "stazione,   70150, 22,  500,  0, 0, 1,  0,0,0,  4,1,1,  210,   0, 0, 0, NOME 37\r\n"
    "stazione,   75350, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  18, 4, 0, NOME 38\r\n"
    "stazione,   79500, 22,  600,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, NOME 39\r\n"
    "stazione,   85250, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, NOME 40\r\n"
    "stazione,   88400, 12,  500,  0, 0, 0,  1,1,0,  2,1,1,    0,  18,16, 0, NOME 41\r\n"
    "[rallentamenti]\r\n"
    "rallentamento,   42600,    70, 2500, 0,  1,  50\r\n"
    "rallentamento,   75950,    90, 1150, 0,  1,  0\r\n"
    "[segnali]\r\n"
    "segnale,    1600,   2, 3, 1,  0, 0,    1,  3,1,0, 203\r\n"
    "segnale,    2950,   2, 2, 3,  1, 1,    2,  2,1,0, 105\r\n"
    "segnale,    6400,   2, 4, 1,  1, 0,    2,  2,1,1, 0\r\n"
    "segnale,    7350,   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   10400,   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   12000,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   14750,   1, 4, 0,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   16100,   2, 4, 0,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0\r\n"
    "segnale,   18700,   2, 4, 1,  0, 0,    2,  2,1,0, 208\r\n"
    "segnale,   26200,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   27450,   2, 3, 1,  1, 0,    0,  0,0,0, 0\r\n"
    "segnale,   35050,   1, 4, 1,  0, 0,    0,  0,0,0, 205\r\n"
    "segnale,   36250,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   42150,   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   43400,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   48850,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   50150,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   56550,   1, 4, 0,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   57750,   2, 4, 0,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   61000,   1, 3, 4,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   62200,   2, 2, 3,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   68000,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   69200,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   72850,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   74050,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   77400,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   78600,   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   83650,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   84850,   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n"
    "segnale,   86500,   1, 3, 1,  0, 0,    1,  3,1,0, 0\r\n"
    "segnale,   87700,   2, 2, 3,  1, 0,    2,  2,1,1, 212\r\n"
    "[codici]\r\n"
    "[fine]\r\n";

TEST_F(LettoreTreno, TrenoPortato) {
  compila(kTrenoPortato);
  ASSERT_EQ(errore.numero_errore, 0);
  EXPECT_TRUE(sorgenti_eliminate());
  EXPECT_EQ(voce(kVoceDatiTreno).valore_uno, 115);
  EXPECT_EQ(voce(kVoceDatiTreno).valore_tre, 6);
  EXPECT_EQ(voce(kVoceTreno).intero_uno, 300);
  EXPECT_EQ(voce(kVoceTreno).intero_tre, 16);
  EXPECT_EQ(voce(kVoceTreno).intero_quattro, 59);
  EXPECT_EQ(voce(kVoceTreno).intero_cinque, 30);

  EXPECT_EQ(voce(1).valore_uno, -700);
  EXPECT_EQ(voce(1).valore_due, 700);
  EXPECT_EQ(voce(1).opzione, 1);
  EXPECT_EQ(voce(1).testo, "NOME 24");
  EXPECT_EQ(cella(13).tipo_cella, cella_fermata);
  EXPECT_EQ(cella(13).dato_uno, 1);
  EXPECT_EQ(voce(2).valore_quattro, 17 * 3600 + 7 * 60);
  EXPECT_EQ(cella(90).dato_uno, 2);
  EXPECT_EQ(voce(3).valore_due, 8750);
  EXPECT_EQ(voce(18).valore_tre, 88400);
  EXPECT_EQ(voce(19), Voce{});

  EXPECT_EQ(cella(853).tipo_cella, cella_inizio_rallentamento);
  EXPECT_EQ(cella(1492).tipo_cella, cella_preavviso);
  EXPECT_EQ(cella(33).dato_quattro, 7);
  EXPECT_EQ(cella(33).tempo_segnale, 203);
  EXPECT_EQ(cella(1755).tipo_cella, cella_segnale);  // the last signal, at 87700

  EXPECT_EQ(cella(1769).velocita_treno, 6);
  EXPECT_EQ(cella(1770).velocita_treno, 19);
  EXPECT_EQ(cella(1957).velocita_treno, 19);
  EXPECT_EQ(cella(1958).velocita_treno, 0);
  EXPECT_EQ(cella(0).aderenza, 100);
  EXPECT_EQ(cella(1957).aderenza, 100);
  EXPECT_EQ(cella(1958).aderenza, 0);
}

// Failures that are no coded check end with 25 and both sources gone.
TEST_F(LettoreTreno, GuastiDelLettore) {
  const std::vector<std::pair<const char*, std::string>> casi = {
      {"empty train file", ""},
      {"a record cut by the end of the file", "[generale]\r\nvelocita, 100\r\n"},
      {"sand beyond 16 bits", "[generale]\r\nsabbia, 40000\r\n[fine]\r\n"},
      {"a count that is not a number", "[generale]\r\nnumero vetture, 6x\r\n[fine]\r\n"},
      {"a speed of 256 units", "[generale]\r\nvelocita, 0, 1278\r\n[fine]\r\n"},
      {"a speed below 0 units", "[generale]\r\nvelocita, 0, -3\r\n[fine]\r\n"},
      {"a bad speed met inside the loop",
       "[generale]\r\nvelocita, 0, 2000\r\nvelocita, 100, 30\r\n[fine]\r\n"},
  };
  for (const auto& [nome, treno] : casi) {
    SCOPED_TRACE(nome);
    m = Modello{};
    errore = {};
    compila(treno);
    EXPECT_EQ(errore.numero_errore, 25);
    EXPECT_TRUE(sorgenti_eliminate());
  }
}

TEST_F(LettoreTreno, FileTrenoMancanteDaVenticinque) {
  const Prova p = compila_in_memoria(kLinea, std::nullopt, {.j = 0, .solo_lettura = true});
  EXPECT_EQ(p.errore(), 25);
  EXPECT_FALSE(p.resta_linea());
}

TEST_F(LettoreTreno, OrologioGuastoTieneLeOre) {
  compila_corpo("orologio, 16, 70000, 1\r\n");
  EXPECT_EQ(errore.numero_errore, 25);
  EXPECT_EQ(voce(kVoceTreno).intero_tre, 16);
  EXPECT_EQ(voce(kVoceTreno).intero_quattro, 0);
}

// One speed from position 0: nearest(speed / 5) in cells 0 to U - 3.
TEST_F(LettoreTreno, VelocitaInUnitaDiCinque) {
  const std::vector<std::pair<int32_t, uint8_t>> casi = {
      {160, 32}, {105, 21}, {112, 22}, {0, 0}, {2, 0}, {3, 1}, {-2, 0}, {1277, 255}};
  for (const auto& [velocita, byte] : casi) {
    SCOPED_TRACE(velocita);
    m = Modello{};
    compila_corpo("velocita, 0, " + std::to_string(velocita) + "\r\n");
    ASSERT_EQ(errore.numero_errore, 0);
    EXPECT_EQ(cella(0).velocita_treno, byte);
    EXPECT_EQ(cella(kU - 3).velocita_treno, byte);
    EXPECT_EQ(cella(kU - 2).velocita_treno, 0);
  }
}

TEST_F(LettoreTreno, ProfiloVelocitaDelTrenoPortato) {
  compila_corpo(
      "velocita,   0,    30\r\nvelocita,    1100,   120\r\nvelocita,    3000,    60\r\n"
      "velocita,    4200,   110\r\nvelocita,    5100,   160\r\nvelocita,   12650,   130\r\n"
      "velocita,   14950,   140\r\nvelocita,   50500,   130\r\nvelocita,   52400,   140\r\n"
      "velocita,   62450,   105\r\nvelocita,   63250,    75\r\nvelocita,   64150,   135\r\n"
      "velocita,   86650,    75\r\nvelocita,   87750,    30\r\nvelocita,   88500,    95\r\n");
  ASSERT_EQ(errore.numero_errore, 0);
  // The record at 0 writes nothing: cell 0 has the first speed.
  EXPECT_EQ(cella(0).velocita_treno, 6);
  EXPECT_EQ(cella(21).velocita_treno, 6);
  EXPECT_EQ(cella(22).velocita_treno, 24);
  EXPECT_EQ(cella(1248).velocita_treno, 28);
  EXPECT_EQ(cella(1249).velocita_treno, 21);
  EXPECT_EQ(cella(1769).velocita_treno, 6);
  for (int32_t i = 1770; i <= 1957; ++i) ASSERT_EQ(cella(i).velocita_treno, 19) << i;
  for (int32_t i = 1958; i <= kU; ++i) EXPECT_EQ(cella(i).velocita_treno, 0) << i;
}

TEST_F(LettoreTreno, VelocitaDietroAlRiempimentoScriveUnaCella) {
  compila_corpo("velocita, 0, 30\r\nvelocita, 500, 60\r\nvelocita, 100, 90\r\n");
  ASSERT_EQ(errore.numero_errore, 0);
  EXPECT_EQ(cella(9).velocita_treno, 6);
  EXPECT_EQ(cella(10).velocita_treno, 12);  // the one cell of the record at 100
  EXPECT_EQ(cella(11).velocita_treno, 18);
}

// Records that each write one cell: the speed stops at cell U - 1 and the
// closing fill writes cell U; the adhesion has no stop and runs off the track.
TEST_F(LettoreTreno, RiempimentoAllaFineDelleCelle) {
  const std::string corta = "[generale]\r\nlunghezza percorso, 0\r\n[fine]\r\n";  // U = 140
  std::string velocita, aderenza;
  for (int n = 0; n < 150; ++n) {
    velocita += "velocita, 50, 30\r\n";
    aderenza += "aderenza, 50, 7\r\n";
  }
  compila_corpo(velocita, corta);
  ASSERT_EQ(m.ultima_cella, 140);
  EXPECT_EQ(errore.numero_errore, 0);
  EXPECT_EQ(cella(0).velocita_treno, 0);
  EXPECT_EQ(cella(139).velocita_treno, 6);
  EXPECT_EQ(cella(140).velocita_treno, 6);

  m = Modello{};
  compila_corpo(aderenza, corta);
  EXPECT_EQ(errore.numero_errore, 25);
  EXPECT_TRUE(sorgenti_eliminate());
}

TEST_F(LettoreTreno, AderenzaInOttoBit) {
  const std::vector<std::pair<int32_t, uint8_t>> casi = {
      {300, 44}, {100, 100}, {-1, 255}, {256, 0}};
  for (const auto& [valore, byte] : casi) {
    SCOPED_TRACE(valore);
    m = Modello{};
    compila_corpo("aderenza,   0,    " + std::to_string(valore) + "\r\n");
    ASSERT_EQ(errore.numero_errore, 0);
    EXPECT_EQ(cella(0).aderenza, byte);
    EXPECT_EQ(cella(kU - 3).aderenza, byte);
    EXPECT_EQ(cella(kU - 2).aderenza, 0);
  }
}

TEST_F(LettoreTreno, AderenzaATratti) {
  compila_corpo("aderenza, 0, 100\r\naderenza, 1000, 60\r\n");
  ASSERT_EQ(errore.numero_errore, 0);
  EXPECT_EQ(cella(19).aderenza, 100);
  EXPECT_EQ(cella(20).aderenza, 60);
}

// What the line reader read last is not the speed or adhesion in force.
TEST_F(LettoreTreno, ProfiliPartonoDaZero) {
  compila_corpo("numero vetture, 6\r\n",
                "[generale]\r\nlunghezza percorso, 91000\r\n[montagne]\r\n"
                "montagna, 1000, 2000, 1\r\n[indicazioni]\r\n"
                "indicatori_v, 5000, 100, 0, 0, 7, 0, 0, 0, 0\r\n[fine]\r\n");
  ASSERT_EQ(errore.numero_errore, 0);
  for (int32_t i : {0, 500, kU - 3}) {
    EXPECT_EQ(cella(i).velocita_treno, 0) << i;
    EXPECT_EQ(cella(i).aderenza, 0) << i;
  }
}

// Position check: up to 97900 on the 91000 m line. A failure ends the
// loop; the closing steps still run.
TEST_F(LettoreTreno, PosizioneOltreLaLinea) {
  const std::vector<std::pair<std::string, int32_t>> casi = {{"velocita, 97901, 30", 97901},
                                                             {"aderenza, 97901, 30", 97901},
                                                             {"velocita, 97900, 30", 0},
                                                             {"aderenza, 97900, 30", 0}};
  for (const auto& [riga, posizione] : casi) {
    SCOPED_TRACE(riga);
    m = Modello{};
    errore = {};
    compila_corpo("velocita, 0, 60\r\naderenza, 0, 9\r\n" + riga + "\r\nnumero vetture, 6\r\n");
    EXPECT_EQ(errore.numero_errore, posizione == 0 ? 0 : 15);
    EXPECT_EQ(errore.posizione_errore, posizione);
    EXPECT_EQ(voce(kVoceDatiTreno).valore_tre, posizione == 0 ? 6 : 0);
    EXPECT_TRUE(sorgenti_eliminate());
    EXPECT_EQ(cella(0).velocita_treno, 12);  // filled all the same
    EXPECT_EQ(cella(0).aderenza, 9);
  }
}

// A record that ends the loop also ends the tests on its keyword field.
TEST_F(LettoreTreno, SecondaChiaveDopoLaFineDelCiclo) {
  compila_corpo("velocita e sabbia, 97901, 30, 6\r\n");
  EXPECT_EQ(errore.numero_errore, 15);
  EXPECT_EQ(voce(kVoceTreno).intero_uno, 0);
}

// An error 15 of the line file ends the reading at the first signal or
// slowdown, with its position; the closing steps do not run then.
TEST_F(LettoreTreno, ErroreQuindiciDellaLineaFermaSegnaliERallentamenti) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 91000\r\n[pendenze]\r\npendenza, 99000, 0\r\n[fine]\r\n";
  struct Caso {
    std::string riga;
    int32_t posizione, cella;
    uint8_t tipo;
  };
  const std::vector<Caso> casi = {
      {"segnale, 1600, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203", 1600, 33, cella_segnale},
      {"rallentamento, 42600, 70, 2500, 0, 1, 50", 42600, 853, cella_inizio_rallentamento}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.riga);
    m = Modello{};
    errore = {};
    compila_corpo("velocita, 0, 30\r\n" + c.riga + "\r\nnumero vetture, 6\r\n", linea);
    EXPECT_EQ(errore.numero_errore, 15);
    EXPECT_EQ(errore.posizione_errore, c.posizione);
    EXPECT_EQ(cella(c.cella).tipo_cella, c.tipo);
    EXPECT_EQ(voce(kVoceDatiTreno).valore_tre, 0);
    EXPECT_EQ(cella(0).velocita_treno, 0);  // no closing fill
    EXPECT_TRUE(sorgenti_eliminate());
  }

  // Without such a record the line's error stays, and the fill runs.
  m = Modello{};
  errore = {};
  compila_corpo("velocita, 0, 30\r\nnumero vetture, 6\r\n", linea);
  EXPECT_EQ(errore.numero_errore, 15);
  EXPECT_EQ(errore.posizione_errore, 99000);
  EXPECT_EQ(voce(kVoceDatiTreno).valore_tre, 6);
  EXPECT_EQ(cella(0).velocita_treno, 6);
}

// The chainage references set by the line file must lie on the 50 m grid.
TEST_F(LettoreTreno, ControlloProgressive) {
  struct Caso {
    const char* nome;
    std::string progressive;  // general rows of the line file
    std::string treno;        // rows of the train file
    int32_t numero, posizione;
  };
  const std::string fuori = "velocita, 97901, 30\r\n";
  const std::vector<Caso> casi = {
      {"carried references", "progressiva chilometrica uno, 12800, -12800, 0\r\n", "", 0, 0},
      {"first value off the grid", "progressiva chilometrica uno, 14175, 0, 0\r\n", "", 2, 0},
      {"negative second value off the grid", "progressiva chilometrica uno, 12800, -25, 0\r\n", "",
       2, 0},
      {"second entry checked",
       "progressiva chilometrica uno, 12800, 0, 0\r\nprogressiva chilometrica due, 50, 75, 0\r\n",
       "", 2, 0},
      {"third entry checked",
       "progressiva chilometrica uno, 12800, 0, 0\r\nprogressiva chilometrica due, 100, 0, 0\r\n"
       "progressiva chilometrica tre, 25, 0, 0\r\n",
       "", 2, 0},
      {"error 15 kept", "progressiva chilometrica uno, 12800, -12800, 0\r\n", fuori, 15, 97901},
      {"error 15 replaced, its position kept", "progressiva chilometrica uno, 14175, 0, 0\r\n",
       fuori, 2, 97901},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    m = Modello{};
    errore = {};
    compila_corpo(c.treno,
                  "[generale]\r\nlunghezza percorso, 91000\r\n" + c.progressive + "[fine]\r\n");
    EXPECT_EQ(errore.numero_errore, c.numero);
    EXPECT_EQ(errore.posizione_errore, c.posizione);
    // A place in the train file goes only with the code found there.
    EXPECT_EQ(luogo_errore.has_value(), c.numero == 15);
    EXPECT_TRUE(sorgenti_eliminate());
  }
}

}  // namespace
}  // namespace scenario::test

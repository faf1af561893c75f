#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "compiler/train/record_treno.h"
#include "tests/support/prova_parser.h"

namespace scenario::test {
namespace {

using ValoriRallentamento = DatiRallentamento;

class Rallentamento : public StatoProva {
 protected:
  Codice memo(const ValoriRallentamento& r) { return memo_rallentamento(s, r); }
};

TEST_F(Rallentamento, Celle) {
  struct Caso {
    const char* nome;
    ValoriRallentamento r;
    std::map<int32_t, Cella> attese;
  };
  const std::vector<Caso> casi = {
      {"first carried slowdown",
       {42600, 70, 2500, 0, 1, 50},
       {{853, marca(cella_inizio_rallentamento, 70, 50, 0)},
        {903, marca(cella_fine_rallentamento, 70, 50, 0)},
        {829, marca(cella_avviso_rallentamento, 70, 50)},
        {828, marca(cella_preavviso, 1, 1)},
        {827, marca(cella_preavviso, 2, 2)},
        {826, marca(cella_preavviso, 3, 3)},
        {825, marca(cella_preavviso, 4, 4)}}},
      {"second carried slowdown: no d_v written",
       {75950, 90, 1150, 0, 1, 0},
       {{1520, marca(cella_inizio_rallentamento, 90)},
        {1543, marca(cella_fine_rallentamento, 90)},
        {1496, marca(cella_avviso_rallentamento, 90)},
        {1495, marca(cella_preavviso, 1)},
        {1494, marca(cella_preavviso, 2)},
        {1493, marca(cella_preavviso, 3)},
        {1492, marca(cella_preavviso, 4)}}},
      {"f_tt on start and end only, no pre-warning",
       {42600, 70, 2500, 3, 0, 50},
       {{853, marca(cella_inizio_rallentamento, 70, 50, 3)},
        {903, marca(cella_fine_rallentamento, 70, 50, 3)},
        {829, marca(cella_avviso_rallentamento, 70, 50)}}},
      {"at 1500 no warning whatever f_ta says",
       {1500, 60, 100, 0, 1, 5},
       {{31, marca(cella_inizio_rallentamento, 60, 5)},
        {33, marca(cella_fine_rallentamento, 60, 5)}}},
      {"at 1550 warning in cell 8",
       {1550, 60, 100, 0, 1, 0},
       {{32, marca(cella_inizio_rallentamento, 60)},
        {34, marca(cella_fine_rallentamento, 60)},
        {8, marca(cella_avviso_rallentamento, 60)},
        {7, marca(cella_preavviso, 1)},
        {6, marca(cella_preavviso, 2)},
        {5, marca(cella_preavviso, 3)},
        {4, marca(cella_preavviso, 4)}}},
      {"16-bit values wrap",
       {42600, 70000, 2500, 65537, 0, -70000},
       {{853, marca(cella_inizio_rallentamento, 4464, -4464, 1)},
        {903, marca(cella_fine_rallentamento, 4464, -4464, 1)},
        {829, marca(cella_avviso_rallentamento, 4464, -4464)}}},
      {"start and end in one cell: the start wins",
       {42600, 70, 10, 0, 0, 0},
       {{853, marca(cella_inizio_rallentamento, 70)},
        {829, marca(cella_avviso_rallentamento, 70)}}},
      {"the last cell ends a slowdown",
       {97900, 70, 50, 0, 0, 0},
       {{1959, marca(cella_inizio_rallentamento, 70)},
        {1960, marca(cella_fine_rallentamento, 70)},
        {1935, marca(cella_avviso_rallentamento, 70)}}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    memo(c.r);
    EXPECT_EQ(errore.numero_errore, 0);
    celle_come(m, c.attese);
  }
}

// The second value of a free cell stays when d_v is 0; everything else of
// the slowdown is written all the same.
TEST_F(Rallentamento, DvZeroNonScrive) {
  for (int32_t i : {853, 903, 829, 828}) cella(i).dato_due = 99;
  EXPECT_EQ(memo({42600, 70, 2500, 3, 1, 0}), Codice::nessuno);
  celle_come(m, {{853, marca(cella_inizio_rallentamento, 70, 99, 3)},
                 {903, marca(cella_fine_rallentamento, 70, 99, 3)},
                 {829, marca(cella_avviso_rallentamento, 70, 99)},
                 {828, marca(cella_preavviso, 1, 99)},
                 {827, marca(cella_preavviso, 2)},
                 {826, marca(cella_preavviso, 3)},
                 {825, marca(cella_preavviso, 4)}});
}

// The three checks come before any write; the pre-warning check after.
TEST_F(Rallentamento, CelleOccupate) {
  struct Caso {
    const char* nome;
    int32_t x;
    int32_t occupata;
    uint8_t tipo;
    int32_t codice;
    std::vector<int32_t> scritte;  // cells marked in spite of the fault
  };
  const std::vector<Caso> casi = {
      {"warning cell", 42600, 829, cella_segnale, 17, {}},
      {"start cell", 42600, 853, cella_segnale, 18, {}},
      {"end cell", 42600, 855, cella_fermata, 19, {}},
      {"pre-warning cell", 42600, 826, cella_fermata, 20, {853, 855, 829}},
      {"structure marker", 42600, 853, cella_montagna, 0, {853, 855, 829, 828, 827, 826, 825}},
      {"would-be warning cell at 1500", 1500, 7, cella_segnale, 0, {31, 33}},
      {"would-be pre-warning cell at 1500", 1500, 5, cella_segnale, 0, {31, 33}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    errore = {};
    cella(c.occupata).tipo_cella = c.tipo;
    const std::vector<Cella> prima = *m.celle;
    EXPECT_EQ(numero(memo({c.x, 70, 100, 0, 1, 50})), c.codice);
    EXPECT_EQ(errore.numero_errore, c.codice);
    for (int32_t i = 0; i <= kU; ++i) {
      const bool scritta = std::find(c.scritte.begin(), c.scritte.end(), i) != c.scritte.end();
      if (scritta) {
        ASSERT_NE(cella(i), prima[static_cast<size_t>(i)]) << "cell " << i;
      } else {
        ASSERT_EQ(cella(i), prima[static_cast<size_t>(i)]) << "cell " << i;
      }
    }
  }
}

// An end beyond the last cell or a start below cell 0 is a failure found
// before anything is written.
TEST_F(Rallentamento, FuoriDalleCelle) {
  for (const ValoriRallentamento& r :
       std::vector<ValoriRallentamento>{{97900, 70, 100, 0, 0, 0}, {-100, 70, 2500, 0, 0, 0}}) {
    SCOPED_TRACE(r.x);
    EXPECT_THROW(memo(r), Guasto);
    celle_come(m, {});
  }
}

TEST_F(Rallentamento, Record) {
  struct Caso {
    const char* valori;
    int32_t occupata;  // a cell taken before, -1 for none
    Esito esito;
    int32_t codice, posizione;
    bool eliminato;
  };
  const std::vector<Caso> casi = {
      {"42600, 70, 2500, 0, 1, 50\r\n", -1, Esito::continua, 0, 0, false},
      {"42600, 70, 2500, 0, 1, 50\r\n", 853, Esito::fine_parser, 18, 42600, true},
      {"42600, 70, 2500, 0, 1, 50\r\n", 825, Esito::fine_parser, 20, 42600, true},
      {"97901, 70, 100, 0, 1, 50\r\n", -1, Esito::fine_ciclo, 15, 97901, false},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.valori);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    archivio.metti(nome_sorgente_treno(id), "");
    errore = {};
    if (c.occupata >= 0) cella(c.occupata).tipo_cella = cella_segnale;
    leggi(c.valori);
    EXPECT_EQ(record_rallentamento(s), c.esito);
    EXPECT_EQ(errore.numero_errore, c.codice);
    EXPECT_EQ(errore.posizione_errore, c.posizione);
    EXPECT_EQ(treno_eliminato(), c.eliminato);
  }
}

// ------------------------------------------------------------ code points

using Abbattimento = StatoProva;

TEST_F(Abbattimento, Record) {
  struct Caso {
    const char* valori;
    int32_t cella;
    uint8_t tipo_prima;
    Esito esito;
    int32_t codice, posizione;
    Cella attesa;  // the cell afterwards
  };
  auto con_valore = [](uint8_t tipo, int16_t uno) { return marca(tipo, uno); };
  const std::vector<Caso> casi = {
      {"1600, 180", 32, cella_libera, Esito::continua, 0, 0, con_valore(cella_abbattimento, 180)},
      {"1600, 0", 32, cella_libera, Esito::continua, 0, 0,
       con_valore(cella_abbattimento_senza_valore, 5)},
      {"1600, -4", 32, cella_libera, Esito::continua, 0, 0,
       con_valore(cella_abbattimento_senza_valore, 5)},
      {"1600, 70000", 32, cella_libera, Esito::continua, 0, 0,
       con_valore(cella_abbattimento, 4464)},
      {"1625, 7", 32, cella_libera, Esito::continua, 0, 0, con_valore(cella_abbattimento, 7)},
      {"1675, 7", 34, cella_libera, Esito::continua, 0, 0, con_valore(cella_abbattimento, 7)},
      {"1600, 7", 32, cella_montagna, Esito::continua, 0, 0, con_valore(cella_abbattimento, 7)},
      {"1600, 7", 32, cella_segnale, Esito::fine_parser, 7, 1600, con_valore(cella_segnale, 5)},
      {"97901, 7", 1958, cella_libera, Esito::fine_ciclo, 15, 97901, Cella{}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.valori);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    archivio.metti(nome_sorgente_treno(id), "");
    errore = {};
    if (c.esito != Esito::fine_ciclo) {
      cella(c.cella).tipo_cella = c.tipo_prima;
      cella(c.cella).dato_uno = 5;
    }
    leggi(std::string(c.valori) + "\r\n");
    EXPECT_EQ(record_abbattimento(s), c.esito);
    EXPECT_EQ(errore.numero_errore, c.codice);
    EXPECT_EQ(errore.posizione_errore, c.posizione);
    EXPECT_EQ(cella(c.cella), c.attesa);
    EXPECT_EQ(treno_eliminato(), c.esito == Esito::fine_parser);
  }
}

TEST_F(Abbattimento, PosizioneNegativaFuoriDalleCelle) {
  leggi("-100, 7\r\n");
  EXPECT_THROW(record_abbattimento(s), Guasto);
}

// The carried rows through the whole parser; a code point at a signal's
// position lands in the cell below the signal's.
TEST_F(LetturaSorgenti, RallentamentiSegnaliECodici) {
  compila_corpo(
      "[rallentamenti]\r\nrallentamento,   42600,    70, 2500, 0,  1,  50\r\n"
      "rallentamento,   75950,    90, 1150, 0,  1,  0\r\n"
      "[segnali]\r\nsegnale,    1600,   2, 3, 1,  0, 0,    1,  3,1,0, 203\r\n"
      "[codici]\r\nabbattimento, 1600, 180\r\n");
  EXPECT_EQ(errore.numero_errore, 0);
  EXPECT_TRUE(sorgenti_eliminate());
  Cella inizio = marca(cella_inizio_rallentamento, 70, 50, 0);
  Cella fine = marca(cella_fine_rallentamento, 90);
  inizio.pendenza = fine.pendenza = 100;  // the level line's gradient
  EXPECT_EQ(cella(853), inizio);
  EXPECT_EQ(cella(1543), fine);
  EXPECT_EQ(cella(33).tipo_cella, cella_segnale);
  EXPECT_EQ(cella(32).tipo_cella, cella_abbattimento);
  EXPECT_EQ(cella(32).dato_uno, 180);
}

}  // namespace
}  // namespace scenario::test

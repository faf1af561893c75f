#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "compiler/train/record_treno.h"
#include "tests/support/prova_parser.h"

namespace scenario::test {
namespace {

Cella fermata(int16_t numero) { return marca(cella_fermata, numero); }

Cella avvicinamento(uint8_t codice) {
  Cella c;
  c.codice_avvicinamento = codice;
  return c;
}

// ---------------------------------------------------------------- stations

using Stazione = StatoProva;

TEST_F(Stazione, OgniCampoAlSuoPosto) {
  leggi("4250, 12, 600, 9, 1, 0, 2, 3, 4, 5, 6, 7, 8, 17, 7, 5, STAZIONE DI PROVA \r\n");
  s.treno = {};
  s.treno.stazione = 2;
  ASSERT_EQ(record_stazione(s), Esito::continua);
  Voce attesa;
  attesa.codice = 12;
  attesa.valore_uno = 3950;
  attesa.valore_due = 4550;
  attesa.valore_tre = 4250;
  attesa.opzione = 9;
  attesa.testo = "STAZIONE DI PROVA ";  // trailing blanks belong to the name
  attesa.intero_uno = 2;
  attesa.intero_due = 3;
  attesa.flag_uno = 4;
  attesa.intero_tre = 5;
  attesa.intero_quattro = 6;
  attesa.intero_cinque = 7;
  attesa.flag_due = 8;
  attesa.flag_tre = 0;
  attesa.flag_quattro = 1;
  attesa.valore_quattro = 17 * 3600 + 7 * 60 + 5;
  EXPECT_EQ(m.testata[2], attesa);
  EXPECT_EQ(s.treno.stazione, 3);
  EXPECT_EQ(errore.numero_errore, 0);
  EXPECT_TRUE(s.lettore->fine());
}

// The zone by type code, the flags, and the cells marked.
TEST_F(Stazione, ZoneEMarche) {
  struct Caso {
    const char* nome;
    int32_t numero;
    int64_t posizione;
    int tipo;
    int64_t l;
    int flag_quattro, flag_tre;
    int32_t inizio, fine;
    uint8_t flag_tre_atteso, flag_quattro_atteso;
    int32_t marca;      // the stop-mark cell, -1 for none
    int avvicinamento;  // approach marks in the cells below it, at most 4
  };
  const std::vector<Caso> casi = {
      {"station", 2, 4250, 12, 600, 1, 0, 3950, 4550, 0, 1, 90, 4},
      {"departure terminus, station 1", 1, 0, 7, 700, 1, 1, -700, 700, 0, 0, 13, 4},
      {"type 5", 2, 1000, 5, 400, 1, 1, 600, 1150, 0, 0, 22, 0},
      {"type 6", 2, 5000, 6, 600, 1, 1, 4400, 5150, 0, 1, 102, 0},
      {"type 8", 2, 5000, 8, 600, 1, 1, 4400, 5600, 0, 1, 111, 4},
      {"end extension", 2, 8300, 12, 800, 1, 1, 7900, 8750, 1, 1, 174, 4},
      {"end extension of station 1", 1, 8300, 12, 800, 1, 1, 7900, 8750, 0, 0, 174, 4},
      {"half length an odd multiple of 50", 2, 5000, 12, 500, 1, 1, 4750, 5300, 1, 0, 105, 4},
      {"type 24 is marked", 2, 5000, 24, 600, 0, 0, 4700, 5300, 0, 0, 105, 4},
      {"type 25 marks nothing", 2, 5000, 25, 600, 0, 0, 4700, 5300, 0, 0, -1, 0},
      {"type 25 at 0 with no zone", 1, 0, 25, 0, 0, 0, 0, 0, 0, 0, -1, 0},
      {"approach marks only above cell 1", 1, 0, 12, 500, 0, 0, -250, 250, 0, 0, 4, 2},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    m.testata = Testata{};
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    errore = {};
    leggi(valori_stazione(c.posizione, c.tipo, c.l, c.flag_quattro, c.flag_tre));
    s.treno = {};
    s.treno.stazione = c.numero;
    ASSERT_EQ(record_stazione(s), Esito::continua);
    EXPECT_EQ(errore.numero_errore, 0);
    const Voce& v = m.testata[static_cast<size_t>(c.numero)];
    EXPECT_EQ(v.valore_uno, c.inizio);
    EXPECT_EQ(v.valore_due, c.fine);
    EXPECT_EQ(v.flag_tre, c.flag_tre_atteso);
    EXPECT_EQ(v.flag_quattro, c.flag_quattro_atteso);
    std::map<int32_t, Cella> attese;
    if (c.marca >= 0) attese[c.marca] = fermata(static_cast<int16_t>(c.numero));
    for (int k = 1; k <= c.avvicinamento; ++k) {
      attese[c.marca - k] = avvicinamento(static_cast<uint8_t>(80 + k));
    }
    celle_come(m, attese);
  }
}

// Faults found before the values are all read: the position goes with
// them, and what was read before stays.
TEST_F(Stazione, ErroriDiPosizioneELunghezza) {
  Voce letta_8;
  letta_8.valore_tre = 4275;
  Voce letta_9;
  letta_9.valore_tre = 4250;
  letta_9.codice = 12;
  struct Caso {
    const char* nome;
    std::string valori;
    int32_t codice, posizione;
    Voce attesa;  // the station's entry afterwards
  };
  const std::vector<Caso> casi = {
      {"position off the grid", valori_stazione(4275, 12, 600), 8, 4275, letta_8},
      {"zone length off the grid", valori_stazione(4250, 12, 650), 9, 4250, letta_9},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    archivio.metti(nome_sorgente_treno(id), "");
    m.testata = Testata{};
    errore = {};
    leggi(c.valori);
    s.treno = {};
    s.treno.stazione = 2;
    EXPECT_EQ(record_stazione(s), Esito::fine_parser);
    EXPECT_EQ(errore.numero_errore, c.codice);
    EXPECT_EQ(errore.posizione_errore, c.posizione);
    EXPECT_EQ(m.testata[2], c.attesa);
    EXPECT_TRUE(treno_eliminato());
    celle_come(m, {});
  }
}

TEST_F(Stazione, ErroreVentiquattroSenzaPosizione) {
  errore.posizione_errore = 777;
  leggi(valori_stazione(0, 12, 200));  // zone end 100: the mark would be cell 1
  s.treno = {};
  EXPECT_EQ(record_stazione(s), Esito::fine_parser);
  EXPECT_EQ(errore.numero_errore, 24);
  EXPECT_EQ(errore.posizione_errore, 777);
  EXPECT_EQ(m.testata[1].valore_due, 100);
  EXPECT_TRUE(treno_eliminato());
  celle_come(m, {});
}

// 350 m between the previous zone end and this zone start are needed.
TEST_F(Stazione, DistanzaDallaStazionePrecedente) {
  const std::vector<std::pair<int32_t, int32_t>> casi = {{3601, 22}, {3600, 0}};
  for (const auto& [fine_precedente, codice] : casi) {
    SCOPED_TRACE(fine_precedente);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    errore = {};
    m.testata[1].valore_due = fine_precedente;
    leggi(valori_stazione(4250, 12, 600));  // zone start 3950
    s.treno = {};
    s.treno.stazione = 2;
    record_stazione(s);
    EXPECT_EQ(errore.numero_errore, codice);
    EXPECT_EQ(errore.posizione_errore, codice == 0 ? 0 : 4250);
    // Marks are written before the test.
    EXPECT_EQ(cella(90).tipo_cella, cella_fermata);
    EXPECT_EQ(cella(86).codice_avvicinamento, 84);
  }
}

// Stations stop below the boards' entries: the entry just below the last
// board stays empty.
TEST_F(Stazione, VociDeiCartelli) {
  struct Caso {
    const char* nome;
    int32_t prossima_voce_cartello, numero;
    bool letta;  // the station's entry was filled
    int32_t codice;
  };
  const std::vector<Caso> casi = {
      {"57 boards, station 21", 23, 21, true, 0},
      {"57 boards, station 22", 23, 22, true, 10},
      {"79 boards, station 1", 1, 1, true, 10},
      {"80 boards, station 1 not read", 0, 1, false, 10},
      {"entry above the boards' not read", 23, 24, false, 10},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    archivio.metti(nome_sorgente_treno(id), "");
    m.testata = Testata{};
    errore = {0, 777};
    s.prossima_voce_cartello = c.prossima_voce_cartello;
    leggi(valori_stazione(4000, 28, 200));
    s.treno = {};
    s.treno.stazione = c.numero;
    const Esito e = record_stazione(s);
    EXPECT_EQ(e, c.codice == 0 ? Esito::continua : Esito::fine_parser);
    EXPECT_EQ(errore.numero_errore, c.codice);
    EXPECT_EQ(errore.posizione_errore, 777);
    EXPECT_EQ(m.testata[static_cast<size_t>(c.numero)].valore_tre, c.letta ? 4000 : 0);
    EXPECT_EQ(treno_eliminato(), c.codice != 0);
  }
}

TEST_F(Stazione, PosizioneOltreLaLinea) {
  const std::vector<std::pair<int32_t, Esito>> casi = {{97201, Esito::fine_ciclo},
                                                       {97200, Esito::continua}};
  for (const auto& [posizione, esito] : casi) {
    SCOPED_TRACE(posizione);
    errore = {};
    leggi(valori_stazione(posizione, 28, 200));
    s.treno = {};
    EXPECT_EQ(record_stazione(s), esito);
    EXPECT_EQ(errore.numero_errore, esito == Esito::continua ? 0 : 15);
    EXPECT_EQ(errore.posizione_errore, esito == Esito::continua ? 0 : posizione);
    EXPECT_EQ(m.testata[1].valore_tre, posizione);  // read before the check
    EXPECT_FALSE(treno_eliminato());
  }
}

// Values that do not fit their places, and stations whose marks would
// leave the track: failures, with what was stored before kept.
TEST_F(Stazione, Guasti) {
  const std::string nome_lungo(65536, 'N');
  struct Caso {
    const char* nome;
    std::string valori;
    bool guasto;
    int32_t valore_quattro;  // the time stored
  };
  const std::vector<Caso> casi = {
      {"type code of 256", "4250, 256, 600, 0, 0, 0, 1,1,0, 4,1,1, 30, 17, 7, 0, S\r\n", true, 0},
      {"long-zone flag of 300", "4250, 12, 600, 0, 300, 0, 1,1,0, 4,1,1, 30, 17, 7, 0, S\r\n", true,
       0},
      {"16-bit value of 40000", "4250, 12, 600, 0, 0, 0, 40000,1,0, 4,1,1, 30, 17, 7, 0, S\r\n",
       true, 0},
      {"largest time", "4250, 12, 600, 0, 0, 0, 1,1,0, 4,1,1, 30, 596523, 14, 7, S\r\n", false,
       2147483647},
      {"time beyond 32 bits", "4250, 12, 600, 0, 0, 0, 1,1,0, 4,1,1, 30, 596523, 14, 8, S\r\n",
       true, 0},
      {"smallest time", "4250, 12, 600, 0, 0, 0, 1,1,0, 4,1,1, 30, -596523, -14, -8, S\r\n", false,
       -2147483647 - 1},
      {"time below 32 bits", "4250, 12, 600, 0, 0, 0, 1,1,0, 4,1,1, 30, -596523, -14, -9, S\r\n",
       true, 0},
      {"name of 65535 bytes", valori_stazione(4250, 12, 600, 0, 0, nome_lungo.substr(1)), false,
       61620},
      {"name of 65536 bytes", valori_stazione(4250, 12, 600, 0, 0, nome_lungo), true, 61620},
      {"zone start below 32 bits", valori_stazione(-2000000000, 7, 2000000000), true, 61620},
      {"general zone start below 32 bits", valori_stazione(-2147483600, 12, 2000000000), true,
       61620},
      {"marks up to the last cell", valori_stazione(97150, 12, 1800), false, 61620},
      {"marks beyond the last cell", valori_stazione(97150, 12, 2000), true, 61620},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    m.testata = Testata{};
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    leggi(c.valori);
    s.treno = {};
    s.treno.stazione = 2;
    if (c.guasto) {
      EXPECT_THROW(record_stazione(s), Guasto);
    } else {
      EXPECT_EQ(record_stazione(s), Esito::continua);
    }
    EXPECT_EQ(m.testata[2].valore_quattro, c.valore_quattro);
    EXPECT_NE(m.testata[2].valore_tre, 0);
  }
}

// Through the whole parser: 57 boards leave 21 entries for stations.
TEST_F(LetturaSorgenti, VentunoStazioniDopoCinquantasetteCartelli) {
  std::string linea = "[generale]\r\nlunghezza percorso, 91000\r\n[cartelli]\r\n";
  for (int n = 0; n < 57; ++n) {
    linea += "cartello indicatore, " + std::to_string(1000 + 1000 * n) + ", CARTELLO\r\n";
  }
  linea += "[fine]\r\n";
  const std::vector<std::pair<int, int32_t>> casi = {{21, 0}, {22, 10}};
  for (const auto& [stazioni, codice] : casi) {
    SCOPED_TRACE(stazioni);
    m = Modello{};
    errore = {};
    std::string corpo = "velocita, 0, 30\r\n";
    for (int n = 0; n < stazioni; ++n) corpo += riga_stazione(4000 * n, 28, 200);
    compila_corpo(corpo, linea);
    ASSERT_EQ(prossima_voce_cartello, 23);
    EXPECT_EQ(errore.numero_errore, codice);
    EXPECT_EQ(errore.posizione_errore, 0);
    EXPECT_EQ(voce(stazioni).valore_tre, 4000 * (stazioni - 1));
    EXPECT_EQ(voce(23), Voce{});
    EXPECT_EQ(voce(24).testo, "CARTELLO");
    EXPECT_TRUE(sorgenti_eliminate());
    // The closing fill runs only without the error.
    EXPECT_EQ(cella(0).velocita_treno, codice == 0 ? 6 : 0);
  }
}

// A station mark takes any cell; a signal needs a free one.
TEST_F(LetturaSorgenti, MarcaDiStazioneESegnaleNellaStessaCella) {
  const std::string segnale = "segnale, 4450, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203\r\n";  // cell 90
  const std::string stazioni = riga_stazione(0, 7, 700) + riga_stazione(4250, 12, 600);

  compila_corpo(segnale + stazioni);
  EXPECT_EQ(errore.numero_errore, 0);
  EXPECT_EQ(cella(90).tipo_cella, cella_fermata);
  EXPECT_EQ(cella(90).dato_uno, 2);
  EXPECT_EQ(cella(90).dato_due, 11);  // the signal's other values stay

  m = Modello{};
  compila_corpo(stazioni + segnale);
  EXPECT_EQ(errore.numero_errore, 16);
  EXPECT_EQ(errore.posizione_errore, 4450);
  EXPECT_TRUE(sorgenti_eliminate());
}

// ---------------------------------------------------------------- signals

using Segnale = StatoProva;

using ValoriSegnale = DatiSegnale;

Codice memo(StatoParser& s, ValoriSegnale& v) { return memo_segnale(s, v); }

TEST_F(Segnale, SegnaleA1600) {
  ValoriSegnale v{1600, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203};
  memo(s, v);
  EXPECT_EQ(errore.numero_errore, 0);
  Cella attesa = marca(cella_segnale, 33, 11, 0, 7);
  attesa.tempo_segnale = 203;
  celle_come(m, {{33, attesa},
                 {31, avvicinamento(71)},
                 {29, avvicinamento(72)},
                 {27, avvicinamento(73)},
                 {25, avvicinamento(74)}});
}

TEST_F(Segnale, Tempo) {
  struct Caso {
    int32_t sx, tempo;
    int32_t tempo_dopo;  // the caller's value afterwards
    uint8_t tempo_segnale;
  };
  const std::vector<Caso> casi = {{2, 203, 203, 203}, {1, 203, 203, 0},   {2, 50, 101, 101},
                                  {1, 50, 101, 0},    {2, 0, 0, 0},       {2, 1, 101, 101},
                                  {2, 100, 101, 101}, {2, 101, 101, 101}, {2, -5, -5, 251},
                                  {2, 300, 300, 44},  {258, 50, 101, 0}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(testing::Message() << "sx " << c.sx << " tempo " << c.tempo);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    ValoriSegnale v{1600, c.sx, 3, 1, 0, 0, 1, 3, 1, 0, c.tempo};
    memo(s, v);
    EXPECT_EQ(v.tempo, c.tempo_dopo);
    EXPECT_EQ(cella(33).tempo_segnale, c.tempo_segnale);
    EXPECT_EQ(v.sx, c.sx);  // nothing else of the caller's changes
  }
}

// The packed values wrap to 16 bits, the approach codes to 8 bits.
TEST_F(Segnale, ValoriCheSiAvvolgono) {
  ValoriSegnale v{1600, 30, 7000, -1, 3, 3300, 0, 5, 0, -3, 0};
  memo(s, v);
  EXPECT_EQ(cella(33).dato_uno, 4469);             // 70005
  EXPECT_EQ(cella(33).dato_due, -10);              // 65535 x 10
  EXPECT_EQ(cella(33).dato_tre, 27);               // 30 - 3
  EXPECT_EQ(cella(33).dato_quattro, -32446);       // 33090
  EXPECT_EQ(cella(31).codice_avvicinamento, 133);  // 901
  EXPECT_EQ(cella(25).codice_avvicinamento, 136);  // 904
}

TEST_F(Segnale, CellaOccupata) {
  for (uint8_t tipo : {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14}) {
    SCOPED_TRACE(static_cast<int>(tipo));
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    errore = {};
    cella(33).tipo_cella = tipo;
    cella(33).dato_uno = 5;
    ValoriSegnale v{1600, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203};
    const Codice c = memo(s, v);
    const bool libera = tipo == cella_libera || tipo == cella_montagna;
    EXPECT_EQ(numero(c), libera ? 0 : 16);
    EXPECT_EQ(errore.numero_errore, libera ? 0 : 16);
    EXPECT_EQ(cella(33).tipo_cella, libera ? uint8_t{cella_segnale} : tipo);
    EXPECT_EQ(cella(33).dato_uno, libera ? 33 : 5);
    EXPECT_EQ(cella(31).codice_avvicinamento, libera ? 71 : 0);
  }
}

// Approach cells run down to c - 8: a signal below 350 m has them off the
// track.
TEST_F(Segnale, CelleDiAvvicinamentoSottoZero) {
  ValoriSegnale v{350, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203};
  memo(s, v);
  EXPECT_EQ(cella(8).tipo_cella, cella_segnale);
  EXPECT_EQ(cella(0).codice_avvicinamento, 74);
  for (int32_t posizione : {300, -100}) {
    SCOPED_TRACE(posizione);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    v = {posizione, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203};
    EXPECT_THROW(memo(s, v), Guasto);
  }
}

TEST_F(Segnale, Record) {
  struct Caso {
    const char* valori;
    int32_t occupata;  // a cell taken before, -1 for none
    Esito esito;
    int32_t codice, posizione;
    bool eliminato;
  };
  const std::vector<Caso> casi = {
      {"1600, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203\r\n", -1, Esito::continua, 0, 0, false},
      {"1600, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203\r\n", 33, Esito::fine_parser, 16, 1600, true},
      {"97900, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203\r\n", -1, Esito::continua, 0, 0, false},
      {"97901, 2, 3, 1, 0, 0, 1, 3, 1, 0, 203\r\n", -1, Esito::fine_ciclo, 15, 97901, false},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.valori);
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    archivio.metti(nome_sorgente_treno(id), "");
    errore = {};
    if (c.occupata >= 0) cella(c.occupata).tipo_cella = cella_fermata;
    leggi(c.valori);
    EXPECT_EQ(record_segnale(s), c.esito);
    EXPECT_EQ(errore.numero_errore, c.codice);
    EXPECT_EQ(errore.posizione_errore, c.posizione);
    EXPECT_EQ(treno_eliminato(), c.eliminato);
  }
}

}  // namespace
}  // namespace scenario::test

// The files as a person reads them (aligned columns) and as a program reads
// them (JSON), row ranges, and the kind a name's ending leaves open.
#include "views/ispezione.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "format/scrittori.h"
#include "tests/support/binari.h"

namespace scenario {
namespace {

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string l; std::getline(in, l);) r.push_back(l);
  return r;
}

Testata testata_prova() {
  Testata t{};
  t[1].codice = 12;
  t[1].valore_uno = -700;
  t[1].valore_quattro = 61200;
  t[1].testo = "PORTA \"NORD\" \\ citt\xE0 \x80 \x01\x81";
  t[kVoceLinea].testo = "Lanvero_Ostrel";
  t[kVoceLinea].intero_uno = kTimbroTestata;
  t[kVoceLinea].valore_quattro = -2147483647 - 1;
  return t;
}

std::vector<Cella> celle_prova() {
  std::vector<Cella> c(kMinimoCelle);
  c[1].dato_uno = kTimbroCelle;
  c[1].dato_due = 2471;
  c[33] = {cella_segnale, 33, 11, 0, 7, 203, 0, 0, 24, 94, 100};
  c[140].dato_quattro = -32768;
  return c;
}

TEST(Ispezione, HeaderAsColumns) {
  const std::string out =
      ispeziona(TipoFile::testata, bytes_testata(testata_prova()), Formato::testo, {});
  const auto r = righe(out);
  ASSERT_EQ(r.size(), 88u);
  EXPECT_EQ(r[0].substr(0, 40), "voce  codice  valore_uno  valore_due  va");
  EXPECT_EQ(r[0].substr(r[0].size() - 34), "valore_quattro  testo  significato");
  // Every number sits under the end of its column's name.
  const size_t fine_testo = r[0].find("  testo");
  for (size_t k = 1; k < r.size(); ++k) {
    EXPECT_EQ(r[k].substr(fine_testo, 3), "  \"") << r[k];
  }
  EXPECT_EQ(r[2].substr(0, 12), "   1      12");
  // The text shown as UTF-8, what a terminal could act on escaped.
  EXPECT_NE(r[2].find(R"("PORTA \"NORD\" \\ città € \x01\x81")"), std::string::npos) << r[2];
  EXPECT_NE(r[86].find("-2147483648  \"Lanvero_Ostrel\""), std::string::npos) << r[86];
  // What each entry holds, named, in metres and hh:mm:ss.
  EXPECT_NE(r[2].find("  stazione nome=\"PORTA \\\"NORD\\\" \\\\ citt"), std::string::npos) << r[2];
  EXPECT_NE(r[2].find(" tipo=12 inizio_zona=-700m fine_zona=0m posizione=0m orario=17:00:00 "),
            std::string::npos)
      << r[2];
  EXPECT_NE(r[86].find("  linea linea=\"Lanvero_Ostrel\" "), std::string::npos) << r[86];
  EXPECT_NE(r[86].find(" timbro=610 codice_identita=-2147483648"), std::string::npos) << r[86];
  EXPECT_EQ(r[1].substr(r[1].size() - 4), "  \"\"") << r[1];  // entry 0: nothing to say
}

TEST(Ispezione, HeaderAsJson) {
  const std::string out = ispeziona(TipoFile::testata, bytes_testata(testata_prova()),
                                    Formato::json, {.da = 1, .a = 1});
  EXPECT_EQ(out,
            "{\"tipo\":\"testata\",\"voci\":[{\"voce\":1,\"codice\":12,\"valore_uno\":-700,"
            "\"valore_due\":0,\"valore_tre\":0,\"opzione\":0,"
            "\"testo\":\"PORTA \\\"NORD\\\" \\\\ citt\xC3\xA0 \xE2\x82\xAC \\u0001\xC2\x81\","
            "\"intero_uno\":0,\"intero_due\":0,\"intero_tre\":0,\"intero_quattro\":0,"
            "\"intero_cinque\":0,\"flag_uno\":0,\"flag_due\":0,\"flag_tre\":0,\"flag_quattro\":0,"
            "\"valore_quattro\":61200,"
            // Beside the stored fields, what they mean.
            "\"significato\":\"stazione\",\"valori\":{"
            "\"nome\":\"PORTA \\\"NORD\\\" \\\\ citt\xC3\xA0 \xE2\x82\xAC \\u0001\xC2\x81\","
            "\"tipo\":12,\"inizio_zona\":-700,\"fine_zona\":0,\"posizione\":0,"
            "\"orario\":\"17:00:00\",\"fermata\":0}}]}\n");
}

TEST(Ispezione, CellsAsColumnsAndJson) {
  const std::string b = bytes_celle(celle_prova());
  const auto r = righe(ispeziona(TipoFile::celle, b, Formato::testo, {.da = 32, .a = 33}));
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0],
            "cella  progressiva  tipo_cella  dato_uno  dato_due  dato_tre  dato_quattro  "
            "tempo_segnale  codice_avvicinamento  struttura  velocita_treno  pendenza  aderenza  "
            "significato");
  EXPECT_EQ(r[2],
            "   33         1650           1        33        11         0             7"
            "            203                     0          0              24        94       100"
            "  segnale scritto_a=1600m aspetti_sx=3-1-0 aspetti_dx=3-1-0 rapp=0 sx=2 dx=1 "
            "tempo=203 velocita_treno=120km/h pendenza=-6\u2030 aderenza=100");
  EXPECT_EQ(r[1].substr(r[1].find("  libera")), "  libera velocita_treno=0km/h aderenza=0");
  // Columns widen for wide values.
  const auto u = righe(ispeziona(TipoFile::celle, b, Formato::testo, {.da = 140}));
  EXPECT_NE(u[1].find(" -32768  "), std::string::npos) << u[1];

  EXPECT_EQ(ispeziona(TipoFile::celle, b, Formato::json, {.da = 1, .a = 1}),
            "{\"tipo\":\"celle\",\"celle\":[{\"cella\":1,\"progressiva\":50,\"tipo_cella\":0,"
            "\"dato_uno\":5121,\"dato_due\":2471,\"dato_tre\":0,\"dato_quattro\":0,"
            "\"tempo_segnale\":0,\"codice_avvicinamento\":0,\"struttura\":0,"
            "\"velocita_treno\":0,\"pendenza\":0,\"aderenza\":0,"
            "\"significato\":\"libera\",\"valori\":{\"timbro\":5121,\"codice_identita\":2471,"
            "\"velocita_treno\":0,\"aderenza\":0}}]}\n");
  // A board and a stop mark name their text and station through the header.
  std::vector<Cella> c = celle_prova();
  c[40] = {cella_cartello, 1};
  c[41] = {cella_fermata, 1};
  const Testata t = testata_prova();
  const std::string con = ispeziona(TipoFile::celle, bytes_celle(c), Formato::json,
                                    {.da = 40, .a = 41}, &t);
  EXPECT_NE(con.find("\"significato\":\"cartello\",\"valori\":{\"scritto_a\":1950,\"voce\":1,"
                     "\"testo\":\"PORTA"),
            std::string::npos)
      << con;
  EXPECT_NE(con.find("\"significato\":\"fermata\",\"valori\":{\"stazione\":1,\"fine_zona\":2100,"
                     "\"nome\":\"PORTA"),
            std::string::npos)
      << con;
}

TEST(Ispezione, PlanValuesKeepTheirKind) {
  std::string b;
  auto valore = [&b](TipoValore t, double v) { test::metti_valore(&b, t, v); };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::pair<TipoValore, double>> x0 = {
      {TipoValore::intero, 0},  {TipoValore::intero, -32768}, {TipoValore::reale, 2},
      {TipoValore::reale, 0.1}, {TipoValore::reale, -inf},    {TipoValore::reale, 1e300},
      {TipoValore::reale, -0.0}};
  const size_t punti = kMinimoPunti;
  for (size_t p = 0; p < punti; ++p) {
    if (p < x0.size()) {
      valore(x0[p].first, x0[p].second);
    } else {
      valore(TipoValore::vuoto, 0);
    }
  }
  for (size_t p = 0; p < punti; ++p) valore(p == 3 ? TipoValore::reale : TipoValore::vuoto, NAN);

  EXPECT_EQ(ispeziona(TipoFile::planimetria, b, Formato::json, {.a = 7}),
            "{\"tipo\":\"planimetria\",\"da\":0,\"punti\":[[0,null],[-32768,null],[2.0,null],"
            "[0.1,\"nan\"],[\"-inf\",null],[1e+300,null],[-0.0,null],[null,null]]}\n");
  EXPECT_EQ(ispeziona(TipoFile::planimetria, b, Formato::testo, {.a = 7}),
            "punto      x0     x1\n"
            "    0       0  vuoto\n"
            "    1  -32768  vuoto\n"
            "    2     2.0  vuoto\n"
            "    3     0.1    nan\n"
            "    4    -inf  vuoto\n"
            "    5  1e+300  vuoto\n"
            "    6    -0.0  vuoto\n"
            "    7   vuoto  vuoto\n");
}

// A column is as wide as its widest value among the rows shown, wherever
// that value stands and whatever its form: a point's 17 digits, a long
// number written whole, a fraction.
TEST(Ispezione, PlanColumnsAsWideAsTheirWidestValue) {
  std::string b;
  const size_t punti = kMinimoPunti;
  const auto x0 = [](size_t p) {
    return p == 6000 ? -2.0575963827530128e+21 : p == 6500 ? 0.12345678901234568 : -1234.5678901234567;
  };
  for (size_t p = 0; p < punti; ++p) test::metti_valore(&b, TipoValore::reale, x0(p));
  for (size_t p = 0; p < punti; ++p) {
    test::metti_valore(&b, TipoValore::reale, p == 6999 ? -12345.678901234567 : 1.2345678901234567);
  }
  const auto r = righe(ispeziona(TipoFile::planimetria, b, Formato::testo, {}));
  ASSERT_EQ(r.size(), punti + 1);
  EXPECT_EQ(r[0], "punto" + std::string(25, ' ') + "x0" + std::string(19, ' ') + "x1");
  EXPECT_EQ(r[6001], " 6000  -2057596382753012842496.0   1.2345678901234567");
  EXPECT_EQ(r[7000], " 6999        -1234.5678901234567  -12345.678901234567");
  for (const std::string& l : r) EXPECT_EQ(l.size(), r[0].size()) << l;
  // Only the rows shown count.
  EXPECT_EQ(righe(ispeziona(TipoFile::planimetria, b, Formato::testo, {.da = 6400, .a = 6500}))[0],
            "punto                   x0                  x1");
}

TEST(Ispezione, RowRanges) {
  const std::string b = bytes_celle(celle_prova());
  auto quante = [&b](Righe r) {
    return righe(ispeziona(TipoFile::celle, b, Formato::testo, r)).size() - 1;
  };
  EXPECT_EQ(quante({}), kMinimoCelle);
  EXPECT_EQ(quante({.da = 140}), 1u);
  EXPECT_THROW(quante({.da = 141}), OltreLaFine);  // past the end
  try {
    quante({.da = 99999});
    ADD_FAILURE();
  } catch (const OltreLaFine& e) {
    EXPECT_STREQ(e.what(), "la riga 99999 non c'e': il file ha 141 celle (0..140), 2115 byte");
  }
  EXPECT_EQ(quante({.da = 5, .a = 5}), 1u);
  EXPECT_EQ(quante({.a = 1000000}), kMinimoCelle);
  EXPECT_THROW(ispeziona(TipoFile::celle, b, Formato::json, {.da = 500}), OltreLaFine);
}

// "X_linea.dat" names a line plan, and also the cell file of train "linea":
// the content decides; a file that is neither gets the plan's complaint.
TEST(Ispezione, ALinePlanNameHoldingCells) {
  const std::string celle = bytes_celle(celle_prova());
  EXPECT_EQ(ispeziona(TipoFile::planimetria, celle, Formato::json, {.da = 1, .a = 1}),
            ispeziona(TipoFile::celle, celle, Formato::json, {.da = 1, .a = 1}));
  try {
    ispeziona(TipoFile::planimetria, std::string(15, '\x07'), Formato::testo, {});
    ADD_FAILURE();
  } catch (const ErroreLettura& e) {
    EXPECT_EQ(e.offset(), 0u);
    EXPECT_NE(std::string(e.what()).find("etichetta 1799 del valore 0"), std::string::npos)
        << e.what();
  }
}

TEST(Ispezione, EveryCellCodeHasAName) {
  for (int t = 0; t < 256; ++t) {
    const bool noto = t <= 6 || (t >= 10 && t <= 14);
    EXPECT_EQ(nome_tipo_cella(static_cast<uint8_t>(t)).empty(), !noto) << t;
  }
}

}  // namespace
}  // namespace scenario

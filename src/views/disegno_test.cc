// The picture: well-formed for whatever the files hold, every mark with its
// title, marks too close to tell apart shared, the plan thinned to the
// drawing's size.
#include "views/disegno.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "tests/support/binari.h"

namespace scenario {
namespace {

// xmllint's verdict on the document: empty when it is well-formed, its
// complaint otherwise; nullopt without xmllint.
std::optional<std::string> xmllint(const std::string& svg) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) return std::nullopt;
  const auto file = std::filesystem::temp_directory_path() /
                    ("disegno_test_" + std::to_string(std::hash<std::string>{}(svg)) + ".svg");
  std::ofstream(file, std::ios::binary) << svg;
  std::string out;
  if (FILE* p = popen(("xmllint --noout '" + file.string() + "' 2>&1").c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    if (pclose(p) != 0 && out.empty()) out = "xmllint failed";
  }
  std::filesystem::remove(file);
  return out;
}

void ben_formato(const std::string& svg, const std::string& caso) {
  const auto verdetto = xmllint(svg);
  if (!verdetto) GTEST_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
  EXPECT_EQ(*verdetto, "") << caso;
}

size_t conta(const std::string& s, const std::string& pezzo) {
  size_t n = 0;
  for (size_t p = s.find(pezzo); p != std::string::npos; p = s.find(pezzo, p + 1)) ++n;
  return n;
}

// The coordinates of the track's path.
std::vector<double> binario(const std::string& svg) {
  const size_t g = svg.find("<g id=\"planimetria\">");
  if (g == std::string::npos) return {};
  return test::numeri_attributo(svg, svg.find("<path", g), "d");
}

Testata testata_base() {
  Testata t{};
  t[1] = {7, -700, 700, 0, 1, "LANVERO PORTA NORD", 3, 1, 2, 1, 1, 0, 1, 0, 0, 61200};
  t[2] = {12, 3950, 4550, 4250, 0, "CORVALDO ALTESE", 1, 1, 4, 1, 1, 0, 30, 0, 0, 61620};
  t[kPrimaVoceCartello].testo = "( CAVALCAVIA)( VIA DELLE )";
  t[kVoceDatiTreno].valore_due = 91000;
  t[kVoceLinea].testo = "Lanvero_Ostrel";
  t[kVoceLinea].intero_uno = 610;
  t[kVoceTreno] = {0, 1250, 12150, 4, 0, "24817", 300, 0, 16, 59, 30, 0, 0, 0, 0, 0};
  return t;
}

std::vector<Cella> celle_base(size_t n) {
  std::vector<Cella> c(n);
  for (size_t i = 0; i + 3 < n; ++i) {
    c[i].velocita_treno = i < 22 ? 6 : 24;
    c[i].pendenza = static_cast<uint8_t>(100 + (i / 40) % 7 - 3);
    c[i].aderenza = 100;
  }
  c[1].dato_uno = 5121;
  c[13] = {cella_fermata, 1};
  c[19] = {cella_cartello, kPrimaVoceCartello};
  c[26] = {cella_indicatore, 2222, 2424, 2525, 0};
  c[33] = {cella_segnale, 33, 11, 0, 7, 203};
  c[40] = {cella_abbattimento, 180};
  c[70] = {cella_abbattimento_senza_valore};
  c[60] = {cella_avviso_rallentamento, 70, 50};
  c[44] = {cella_preavviso, 1, 1};
  c[84] = {cella_inizio_rallentamento, 70, 50};
  c[96] = {cella_fine_rallentamento, 70, 50};
  for (size_t i = 19; i < 25; ++i) c[i].struttura = 2;
  return c;
}

// A plan as the compiler traces it: straight, then a curve of curvature c
// from point `curva` on, then empty from `fine` on.
PianoLetto piano(size_t punti, double c, size_t curva, size_t fine) {
  PianoLetto p;
  p.x0.resize(punti);
  p.x1.resize(punti);
  p.x0[0] = p.x1[0] = {TipoValore::intero, 0};
  p.x0[1] = {TipoValore::intero, 0};
  p.x1[1] = {TipoValore::intero, 1};
  double a0 = 0, a1 = 0, b0 = 0, b1 = 1;
  for (size_t i = 2; i < std::min(fine, punti); ++i) {
    const double d0 = b0 - a0, d1 = b1 - a1;
    const double k = i > curva ? c : 0;
    a0 = b0, a1 = b1;
    b0 += d0 + k * d1;
    b1 += d1 - k * d0;
    p.x0[i] = {TipoValore::reale, b0};
    p.x1[i] = {TipoValore::reale, b1};
  }
  return p;
}

TEST(Disegno, EveryMarkHasItsTitle) {
  const std::vector<Cella> c = celle_base(1961);
  const PianoLetto p = piano(98001, 0.0002, 1150, 97999);
  const std::string svg = disegna_scenario(testata_base(), c, &p);
  ben_formato(svg, "carried-like");
  for (const char* atteso : {
           "<title>Lanvero_Ostrel — treno 24817</title>",
           "<title>CORVALDO ALTESE\nstazione a 4\u202F250 m, zona da 3\u202F950 m a 4\u202F550 m\n"
           "tipo 12, orario 17:07:00, voce 2</title>",
           "<title>CORVALDO ALTESE\n4\u202F250 m</title>",  // on the ground plan
           "<title>segnale, cella 33 (1\u202F650 m)\naspetti a sinistra 3-1-0, a destra 3-1-0\n"
           "dato_quattro 7 (rapp 0, sx 2, dx 1), tempo 203</title>",
           "<title>avviso di rallentamento a 70 km/h, d_v 50\ncella 60 (3\u202F000 m)</title>",
           "<title>inizio del rallentamento a 70 km/h, d_v 50, f_tt 0\n",
           "<title>fine del rallentamento a 70 km/h, d_v 50, f_tt 0\n",
           "<title>preavviso 1\n",
           "<title>rallentamento a 70 km/h, da cella 84",
           "<title>indicatore di velocità: A 110/110, B 120/120, C 125/125 km/h (2222, 2424, "
           "2525), "
           "strisce 0\n",
           "<title>punto di codice 180\n",
           "<title>punto di codice senza valore\n",
           "<title>cartello (voce 80): ( CAVALCAVIA)( VIA DELLE )\n",
           "<title>struttura di tipo 2, celle 19-24",
           "<title>fermata della stazione 1, cella 13",
           "<title>ripetizione dei segnali a 4 codici, da 1\u202F250 m a 12\u202F150 m</title>",
           ">LANVERO PORTA NORD</text>",
       }) {
    EXPECT_NE(svg.find(atteso), std::string::npos) << atteso;
  }
  EXPECT_EQ(conta(svg, "<use xlink:href=\"#segnale\""), 1u);
}

// Every station's name beside its circle on the ground plan, the first one
// too where a straight line starts at the drawing's edge (a long name
// centred over it would cross the edge) and at either end of the line.
TEST(Disegno, EveryStationNamedOnTheGroundPlan) {
  Testata t = testata_base();
  t[kVoceDatiTreno].valore_due = 36000;
  t[2].valore_uno = 35000, t[2].valore_due = 35900, t[2].valore_tre = 35600;
  t[2].testo = "CASTELRUPE SUL VARNO ALTO";
  const PianoLetto p = piano(43001, 0, 43001, 42999);
  const std::string svg = disegna_scenario(t, celle_base(861), &p);
  ben_formato(svg, "straight line");
  for (const char* nome : {"LANVERO PORTA NORD", "CASTELRUPE SUL VARNO ALTO"}) {
    SCOPED_TRACE(nome);
    const size_t cerchio =
        svg.find("<title>" + std::string(nome) + "\n", svg.find("id=\"planimetria\""));
    ASSERT_NE(cerchio, std::string::npos);
    const size_t nome_scritto = svg.find(">" + std::string(nome) + "</text>", cerchio);
    EXPECT_LT(nome_scritto, svg.find("</g>", cerchio));
  }
}

// The ground plan counts kilometres as the posts do: from a chainage
// reference on, its own kilometres; none past the line's end, where the
// run-off is drawn apart and the end is marked.
TEST(Disegno, GroundPlanKilometresInTheLinesChainage) {
  Testata t = testata_base();
  t[kVoceDatiTreno].valore_due = 20000;
  t[kVoceProgressivaUno].valore_uno = 8000;
  t[kVoceProgressivaUno].valore_due = 52000;  // read 60+000 at 8 000 m
  const PianoLetto p = piano(27001, 0, 27001, 26999);
  const std::string svg = disegna_scenario(t, celle_base(541), &p);
  ben_formato(svg, "two references");
  const size_t g = svg.find("<g id=\"planimetria\">");
  ASSERT_NE(g, std::string::npos);
  const std::string pianta = svg.substr(g, svg.find("</g>\n", svg.find("<g><circle", g)) - g);
  std::vector<int> km;
  for (size_t q = pianta.find(">km "); q != std::string::npos; q = pianta.find(">km ", q + 1)) {
    km.push_back(std::stoi(pianta.substr(q + 4)));
  }
  ASSERT_FALSE(km.empty());
  EXPECT_EQ(km.front(), 0);
  for (const int k : km) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(k < 8 || (k >= 60 && k <= 72));  // 60 + (20 000 - 8 000) / 1 000 at most
  }
  EXPECT_NE(std::find(km.begin(), km.end(), 60), km.end());
  EXPECT_NE(pianta.find("<title>cambio di progressiva a 8\u202F000 m dall'inizio: da km 8+000 a km "
                        "60+000</title>"),
            std::string::npos);
  EXPECT_NE(pianta.find("<title>fine della linea, 20\u202F000 m"), std::string::npos);
  EXPECT_NE(pianta.find("<title>prolungamento (7\u202F000 m)"), std::string::npos);
}

// Marks nearer than the drawing can show apart share one symbol whose title
// counts them.
TEST(Disegno, CloseMarksShareASymbol) {
  std::vector<Cella> c = celle_base(20141);
  for (size_t i = 1000; i < 1010; i += 2) c[i] = {cella_segnale, 33, 11, 0, 7};
  c[5000] = {cella_segnale, 33, 11, 0, 7};
  const std::string svg = disegna_scenario(testata_base(), c, nullptr);
  ben_formato(svg, "clustered");
  EXPECT_EQ(conta(svg, "<use xlink:href=\"#segnale\""), 3u);  // cell 33, the five, 5000
  EXPECT_NE(svg.find("<title>5 segnali da 50\u202F000 m a 50\u202F400 m:\nsegnale, cella 1000"),
            std::string::npos);
}

TEST(Disegno, NoPlanNoGroundPlan) {
  const std::string senza = disegna_scenario(testata_base(), celle_base(1961), nullptr);
  EXPECT_EQ(senza.find("id=\"planimetria\""), std::string::npos);
  EXPECT_NE(senza.find("Nessuna planimetria"), std::string::npos);
  // A plan the trace never reached (a fault before it): nothing to draw.
  PianoLetto vuoto;
  vuoto.x0.resize(7001);
  vuoto.x1.resize(7001);
  const std::string niente = disegna_scenario(testata_base(), celle_base(141), &vuoto);
  EXPECT_EQ(niente.find("id=\"planimetria\""), std::string::npos);
  ben_formato(niente, "empty plan");
}

// Whatever a file holds, the picture is a well-formed document.
TEST(Disegno, StrangeContentStaysWellFormed) {
  Testata t = testata_base();
  t[1].testo = std::string("<&\"'>\x01\x1F\x7F\x81\x9D\xFF]]>", 15);
  t[2].valore_uno = std::numeric_limits<int32_t>::min();
  t[2].valore_due = std::numeric_limits<int32_t>::max();
  t[kVoceLinea].testo = "a&b<c>";
  t[kVoceTreno].valore_uno = -5000;
  t[kVoceTreno].valore_due = std::numeric_limits<int32_t>::max();
  t[kVoceDatiTreno].valore_due = -1;
  std::vector<Cella> c = celle_base(141);
  for (size_t i = 0; i < c.size(); ++i) {
    c[i].tipo_cella = static_cast<uint8_t>(i % 15);
    c[i].dato_uno = static_cast<int16_t>(-32768 + static_cast<int>(i) * 400);
    c[i].dato_quattro = -1;
    c[i].velocita_treno = 255;
    c[i].pendenza = static_cast<uint8_t>(i * 37);
    c[i].struttura = static_cast<uint8_t>(i);
  }
  PianoLetto p = piano(7001, 0.003, 10, 7001);
  const double strani[] = {NAN, INFINITY, -INFINITY, 1e300, -1e300, 5e-324};
  for (size_t i = 0; i < std::size(strani); ++i) p.x0[100 + 7 * i].valore = strani[i];
  p.x1[3000] = {TipoValore::vuoto, 0};  // a gap
  p.x0[4000] = {TipoValore::intero, -32768};
  const std::string svg = disegna_scenario(t, c, &p);
  ben_formato(svg, "strange");
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  // Two drawable points only, and one.
  for (const size_t fine : {size_t{3}, size_t{2}}) {
    const PianoLetto corto = piano(7001, 0, 0, fine);
    ben_formato(disegna_scenario(t, c, &corto), "short plan");
  }
}

// The longest legal line, curving as tightly as a curve may: the plan is
// thinned to what the drawing can show and the picture stays small.
TEST(Disegno, LongestLineStaysSmall) {
  const size_t punti = 1007001;
  const PianoLetto diritto = piano(punti, 0, punti, punti - 2);
  EXPECT_LE(binario(disegna_scenario(testata_base(), celle_base(20141), &diritto)).size(), 6u);

  // Each curved step grows by sqrt(1 + c^2): a spiral from 333 m outwards.
  const PianoLetto spirale = piano(punti, 0.003, 2, punti - 2);
  const std::string svg = disegna_scenario(testata_base(), celle_base(20141), &spirale);
  const std::vector<double> xy = binario(svg);
  EXPECT_GT(xy.size(), 100u);
  EXPECT_LT(xy.size(), 200000u);
  EXPECT_LT(svg.size(), 2u << 20);
}

// Plans no compile writes, all noise, as long as plans get: a zigzag
// across the whole height that dies away, and a six-point pattern over and
// over. No tolerance a picture allows thins them; the track still keeps no
// more than the picture's budget of 100000 points (its envelope by pixel
// columns), where a plain thinning keeps nearly all of them.
TEST(Disegno, NoiseThinsToWhatThePictureShows) {
  static constexpr double kSei[] = {0, 1, -1, 0.7, -0.7, 0};
  struct Caso {
    const char* nome;
    double (*x1)(size_t p, size_t n);
  };
  const Caso casi[] = {
      {"zigzag",
       [](size_t p, size_t n) {
         return (p % 2 == 0 ? 1 : -1) * 115000 * (1 - static_cast<double>(p) / n);
       }},
      {"six points", [](size_t p, size_t) { return 115000 * kSei[p % 6]; }},
  };
  const size_t punti = 1007001;
  for (const Caso& c : casi) {
    PianoLetto piano;
    for (size_t p = 0; p < punti; ++p) {
      piano.x0.push_back({TipoValore::reale, static_cast<double>(p)});
      piano.x1.push_back({TipoValore::reale, c.x1(p, punti)});
    }
    const std::string svg = disegna_scenario(testata_base(), celle_base(20141), &piano);
    const std::vector<double> xy = binario(svg);
    EXPECT_GT(xy.size(), 100u) << c.nome;
    EXPECT_LE(xy.size() / 2, 100000u) << c.nome;
    ben_formato(svg, c.nome);
  }
}

}  // namespace
}  // namespace scenario

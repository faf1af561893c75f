// scenario plot on the real executable: a well-formed SVG (xmllint), drawn
// by a real renderer (rsvg-convert) with the track, the stations and the
// speed limit where the document puts them; the longest line's picture
// under 2 MB; the faults an author meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "format/lettori.h"
#include "tests/compilati.h"
#include "tests/support/binari.h"
#include "tests/support/cartella.h"
#include "tests/support/esegui.h"
#include "tests/support/impronta.h"
#ifdef SCENARIO_ZLIB
#include "tests/png.h"
#endif

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::kStrumento;
using test::leggi;

bool c_e(const std::string& programma) {
  return std::system((programma + " --version >/dev/null 2>&1").c_str()) == 0;
}

// xmllint's complaints about the file; empty when it is well-formed.
std::string xmllint(const fs::path& svg) {
  return esegui(test::Avvio{"xmllint", {"--noout", svg.string()}}, svg.parent_path()).err;
}

TEST(Plot, TheCarriedScenarioDrawnByARenderer) {
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  const auto u = esegui(avvio(kStrumento, "plot Lanvero_Ostrel 24817"), dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.out, "scritto ./Lanvero_Ostrel_24817.svg\n");  // what was written, only that
  EXPECT_EQ(u.err, "");
  const fs::path file = dir.percorso() / "Lanvero_Ostrel_24817.svg";
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(test::nomi(dir.percorso()).size(), 9u);  // the six, the sources, the picture
  const std::string svg = leggi(file);
  // The README's picture is the tool's.
  EXPECT_TRUE(svg == leggi(SCENARIO_SORGENTI "/docs/Lanvero_Ostrel_24817.svg"))
      << "docs/Lanvero_Ostrel_24817.svg is not what plot draws now; make it again with "
         "`scenario plot Lanvero_Ostrel 24817 -o docs/Lanvero_Ostrel_24817.svg` and its PNG "
         "with rsvg-convert";

  if (!c_e("xmllint")) GTEST_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
  EXPECT_EQ(xmllint(file), "");

  if (!c_e("rsvg-convert")) {
    GTEST_SKIP() << "rsvg-convert is not installed (Debian: librsvg2-bin): the picture is not "
                    "rendered";
  }
#ifndef SCENARIO_ZLIB
  GTEST_SKIP() << "zlib was not found at configure time: the rendered PNG cannot be read";
#else
  const auto r =
      esegui(avvio("rsvg-convert", "-o disegno.png Lanvero_Ostrel_24817.svg"), dir.percorso());
  ASSERT_EQ(r.stato, 0) << r.err;
  const auto png = test::Immagine::da_png(leggi(dir.percorso() / "disegno.png"));
  ASSERT_TRUE(png.has_value());
  ASSERT_EQ(png->larghezza(), 1800u);
  // Whether a pixel near (x, y) has the colour.
  auto vicino = [&png](double x, double y, auto prova) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const auto c = png->colore(static_cast<size_t>(x + dx), static_cast<size_t>(y + dy));
        if (prova(c)) return true;
      }
    }
    return false;
  };

  // The track: dark grey in the middle of the longest segment of its path
  // before the line's end (where the run-off, drawn over in grey, starts).
  const size_t pianta = svg.find("<g id=\"planimetria\">");
  ASSERT_NE(pianta, std::string::npos);
  const std::vector<double> xy = test::numeri_attributo(svg, svg.find("<path", pianta), "d");
  ASSERT_GT(xy.size(), 20u);
  const size_t titolo = svg.find("<title>prolungamento (7", pianta);
  ASSERT_NE(titolo, std::string::npos);
  const std::vector<double> oltre = test::numeri_attributo(svg, svg.rfind("<path", titolo), "d");
  ASSERT_GE(oltre.size(), 4u);
  size_t fine = 0;  // the track's point nearest the line's end
  for (size_t i = 0; i + 1 < xy.size(); i += 2) {
    if (std::hypot(xy[i] - oltre[0], xy[i + 1] - oltre[1]) <
        std::hypot(xy[fine] - oltre[0], xy[fine + 1] - oltre[1])) {
      fine = i;
    }
  }
  ASSERT_GT(fine, 20u);
  const double ox = (oltre[0] + oltre[oltre.size() - 2]) / 2;
  const double oy = (oltre[1] + oltre.back()) / 2;
  EXPECT_TRUE(vicino(ox, oy,
                     [](test::Colore c) {
                       return std::abs(c.r - 0xa0) < 24 && std::abs(c.g - 0xa0) < 24 &&
                              std::abs(c.b - 0xa0) < 24;
                     }))
      << "the run-off is not grey at " << ox << "," << oy;
  size_t lungo = 0;
  for (size_t i = 2; i + 1 < fine; i += 2) {
    if (std::hypot(xy[i] - xy[i - 2], xy[i + 1] - xy[i - 1]) >
        std::hypot(xy[lungo + 2] - xy[lungo], xy[lungo + 3] - xy[lungo + 1])) {
      lungo = i - 2;
    }
  }
  // Nine points along it, most of them ink (a station's circle may sit on
  // one).
  int scuri = 0;
  for (int k = 1; k <= 9; ++k) {
    const double f = k / 10.0;
    const double mx = xy[lungo] + f * (xy[lungo + 2] - xy[lungo]);
    const double my = xy[lungo + 1] + f * (xy[lungo + 3] - xy[lungo + 1]);
    scuri += vicino(mx, my, [](test::Colore c) { return c.r < 90 && c.g < 90 && c.b < 90; });
  }
  EXPECT_GE(scuri, 7) << "the track's longest segment from " << xy[lungo] << "," << xy[lungo + 1];
  // White well away from it: the drawing is not all ink.
  EXPECT_TRUE(vicino(1790, 5, [](test::Colore c) { return c.r + c.g + c.b == 3 * 255; }));

  // The stations: every zone wider than a few pixels is light blue inside.
  int zone = 0;
  const std::string azzurro = "fill=\"#9cc3ea\"";
  for (size_t f = svg.find(azzurro); f != std::string::npos; f = svg.find(azzurro, f + 1)) {
    const size_t p = svg.rfind("<rect", f);
    if (svg.find('>', p) < f) continue;  // not a rectangle's fill
    const double x = test::numeri_attributo(svg, p, "x")[0],
                 y = test::numeri_attributo(svg, p, "y")[0];
    const double w = test::numeri_attributo(svg, p, "width")[0],
                 h = test::numeri_attributo(svg, p, "height")[0];
    if (w < 6) continue;
    ++zone;
    EXPECT_TRUE(vicino(x + 2.5, y + h / 2,
                       [](test::Colore c) {
                         return std::abs(c.r - 0x9c) < 20 && std::abs(c.g - 0xc3) < 20 &&
                                std::abs(c.b - 0xea) < 20;
                       }))
        << x << "," << y;
  }
  EXPECT_GE(zone, 10);

  // The speed limit: 30 km/h from the start, blue, then the step to 120.
  const size_t v = svg.find("<path id=\"velocita\"");
  ASSERT_NE(v, std::string::npos);
  const std::vector<double> passi = test::numeri_attributo(svg, v, "d");
  ASSERT_GE(passi.size(), 6u);
  auto blu = [](test::Colore c) { return c.b > 150 && c.r < 100 && c.g < 140; };
  EXPECT_TRUE(vicino(passi[0] + 4, passi[1], blu)) << passi[0] << "," << passi[1];
  EXPECT_TRUE(vicino(passi[2], (passi[1] + passi[5]) / 2, blu));  // the rise
  EXPECT_FALSE(vicino(passi[0] + 4, passi[1] - 20, blu));         // nothing above it
#endif
}

// The titles as a browser shows them: headless Chromium opens the carried
// picture with a script that puts the pointer at the middle of every
// element carrying a title; each shows its own (no symbol, shading or
// label laid over another's middle).
TEST(Plot, EveryTitleUnderThePointerInChromium) {
  if (!c_e("chromium")) GTEST_SKIP() << "chromium is not installed (Debian: chromium)";
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  ASSERT_EQ(esegui(avvio(kStrumento, "plot Lanvero_Ostrel 24817"), dir.percorso()).stato, 0);
  std::string svg = leggi(dir.percorso() / "Lanvero_Ostrel_24817.svg");
  const size_t fine = svg.rfind("</svg>");
  ASSERT_NE(fine, std::string::npos);
  svg.insert(fine, std::string("<script><![CDATA[\n")
                       .append(leggi(SCENARIO_SORGENTI "/tests/titoli_al_puntatore.js"))
                       .append("]]></script>\n"));
  const fs::path prova = dir.percorso() / "puntatore.svg";
  test::scrivi(prova, svg);
  CartellaProva profilo;
  test::Avvio a{
      "chromium",
      {"--headless", "--no-sandbox", "--disable-gpu", "--window-size=1800,1300",
       "--user-data-dir=" + profilo.percorso().string(), "--dump-dom", "file://" + prova.string()}};
  a.ambiente = {{"HOME", profilo.percorso().string()}};
  const auto u = esegui(a, dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.err;
  const std::string esito = "<desc id=\"esito\">provati=";
  const size_t da = u.out.find(esito);
  ASSERT_NE(da, std::string::npos) << "the script did not run:\n" << u.err;
  const size_t a_capo = u.out.find('\n', da);
  const size_t fino = u.out.find("</desc>", da);
  ASSERT_LT(a_capo, fino);
  EXPECT_GE(std::stoi(u.out.substr(da + esito.size())),
            150);  // stations, marks, zones, profile steps
  EXPECT_EQ(u.out.substr(a_capo + 1, fino - a_capo - 1), "");
}

// The longest line's picture stays small, and is drawn in bounded memory:
// its 20 MB plan is read as the drawing goes, never held whole.
TEST(Plot, TheLongestLineStaysSmall) {
  CartellaProva dir;
  const ScenarioGenerato g = genera_scenario_massimo();
  ASSERT_EQ(test::compila_generato(g, dir.percorso()), 0);
  test::Avvio a = avvio(kStrumento, "plot Linea_Massima 99999");
#if !defined(__SANITIZE_ADDRESS__)  // its shadow memory alone is more than the limit
  a.limite_memoria = 32 << 20;
#endif
  const auto u = esegui(a, dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.err;
  const fs::path file = dir.percorso() / "Linea_Massima_99999.svg";
  EXPECT_LT(fs::file_size(file), 2u << 20);
  const std::string svg = leggi(file);
  EXPECT_NE(svg.find("<g id=\"planimetria\">"), std::string::npos);
  EXPECT_NE(svg.find(">STAZIONE 21</text>"), std::string::npos);
  if (!c_e("xmllint")) GTEST_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
  EXPECT_EQ(xmllint(file), "");
}

// Every byte of the picture pinned, for the generator's scenarios (the
// carried one is pinned by the README's picture above): a change to how the
// picture is drawn shows here, and a reshaping of its code must leave it.
TEST(Plot, GeneratedPicturesKeepTheirBytes) {
  struct Caso {
    ScenarioGenerato (*genera)();
    std::string digest;
  };
  const Caso casi[] = {
      {genera_scenario_breve, "f61d1e2e503c5aaa275341d26ef6599945ea440bb387ef4871410442eaa9340d"},
      {genera_scenario_massimo, "61524c21405f72fe9e065affdc8b1a4040fc150e04ac1b8e6ae5c773f9fbf7a8"},
  };
  for (const Caso& c : casi) {
    const ScenarioGenerato g = c.genera();
    SCOPED_TRACE(g.id.linea);
    CartellaProva dir;
    ASSERT_EQ(test::compila_generato(g, dir.percorso()), 0);
    const auto u = esegui(avvio(kStrumento, "plot " + g.id.linea + " " + g.id.treno + " -o p.svg"),
                          dir.percorso());
    ASSERT_EQ(u.stato, 0) << u.err;
    EXPECT_EQ(test::sha256(leggi(dir.percorso() / "p.svg")), c.digest);
  }
}

TEST(Plot, WithoutAPlanFileNoGroundPlan) {
  CartellaProva dir;
  ASSERT_EQ(test::compila_generato(genera_scenario_breve(), dir.percorso(), "--no-plan"), 0);
  fs::create_directory(dir.percorso() / "altrove");
  const auto u =
      esegui(avvio(kStrumento, "plot Linea_Breve 91000 -o altrove/breve.svg"), dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.err;
  EXPECT_FALSE(fs::exists(dir.percorso() / "Linea_Breve_91000.svg"));
  const std::string svg = leggi(dir.percorso() / "altrove" / "breve.svg");
  EXPECT_EQ(svg.find("id=\"planimetria\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"velocita\""), std::string::npos);
  EXPECT_EQ(test::nomi(dir.percorso() / "altrove"), std::vector<std::string>{"breve.svg"});
}

TEST(Plot, Faults) {
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  fs::create_directory(dir.percorso() / "vuota");
  fs::create_directory(dir.percorso() / "rotta");
  test::scrivi(dir.percorso() / "rotta" / "Lanvero_Ostrel_24817.sim",
               leggi(dir.percorso() / "Lanvero_Ostrel_24817.sim"));
  test::scrivi(dir.percorso() / "rotta" / "Lanvero_Ostrel_24817.dat",
               leggi(dir.percorso() / "Lanvero_Ostrel_24817.dat").substr(0, 100));
  // A plan file larger than any: refused from its size, never read.
  fs::create_directory(dir.percorso() / "enorme");
  for (const char* f : {"Lanvero_Ostrel_24817.sim", "Lanvero_Ostrel_24817.dat"}) {
    fs::copy_file(dir.percorso() / f, dir.percorso() / "enorme" / f);
  }
  test::scrivi(dir.percorso() / "enorme" / "Lanvero_Ostrel_linea.dat", "");
  fs::resize_file(dir.percorso() / "enorme" / "Lanvero_Ostrel_linea.dat", std::uintmax_t{2} << 30);
  struct Caso {
    std::string argomenti;
    int stato;
    std::string messaggio;
  };
  const Caso casi[] = {
      {"Lanvero_Ostrel 24817 --dir enorme", 1,
       "enorme/Lanvero_Ostrel_linea.dat: offset " +
           std::to_string(massimo_byte(TipoFile::planimetria)) +
           ": il file e' lungo 2147483648 byte, piu' di ogni file compilato del suo tipo"},
      {"Lanvero_Ostrel 24817 --dir vuota", 1,
       "vuota/Lanvero_Ostrel_24817.sim: il file non esiste: compila prima lo scenario"},
      {"Lanvero_Ostrel 24817 --dir rotta", 1,
       "rotta/Lanvero_Ostrel_24817.dat: offset 90: attesa la cella 6 (15 byte)"},
      {"Lanvero_Ostrel 24817 -o manca/x.svg", 3, "manca/x.svg"},
      {"Lanvero_Ostrel 24817 -o disegno.png", 64,
       "--output vuole un nome che finisce con .svg (il disegno e' SVG): disegno.png"},
      {"Lanvero_Ostrel 24817 -o disegno", 64, "finisce con .svg"},
      {"Lanvero/Ostrel 24817", 64, "LINEA e TRENO"},
      {"Lanvero_Ostrel", 64, "plot vuole LINEA TRENO"},
  };
  for (const Caso& c : casi) {
    const auto u = esegui(avvio(kStrumento, "plot " + c.argomenti), dir.percorso());
    EXPECT_EQ(u.stato, c.stato) << c.argomenti << u.err;
    EXPECT_NE(u.err.find(c.messaggio), std::string::npos) << c.argomenti << ": " << u.err;
  }
  // Nothing was drawn for any of them.
  for (const auto& sotto : {"vuota", "rotta", "enorme", "."}) {
    for (const std::string& n : test::nomi(dir.percorso() / sotto)) {
      EXPECT_EQ(n.find(".svg"), std::string::npos) << n;
      EXPECT_EQ(n.find("disegno"), std::string::npos) << n;
    }
  }
}

// Files of two compiles side by side: refused in one line naming both, and
// nothing drawn. Sources changed after the compile: drawn, with a warning
// naming them.
TEST(Plot, FilesOfAnotherCompile) {
  CartellaProva dir;
  test::compila_portato(dir.percorso());
  for (const test::FileDiscorde& d : test::prepara_discordi(dir.percorso())) {
    SCOPED_TRACE(d.cartella);
    const auto u =
        esegui(avvio(kStrumento, "plot Lanvero_Ostrel 24817 --dir " + d.cartella), dir.percorso());
    EXPECT_EQ(u.stato, 1) << u.err;
    EXPECT_EQ(u.err.rfind("scenario plot: " + d.cartella + "/" + d.file + " non va con " +
                              d.cartella + "/Lanvero_Ostrel_24817.sim: ",
                          0),
              0u)
        << u.err;
    EXPECT_NE(u.err.find(d.motivo), std::string::npos) << u.err;
    EXPECT_EQ(std::count(u.err.begin(), u.err.end(), '\n'), 1) << u.err;
    EXPECT_FALSE(fs::exists(dir.percorso() / d.cartella / "Lanvero_Ostrel_24817.svg"));
  }

  const fs::path sorgente = dir.percorso() / "Lanvero_Ostrel_linea.txt";
  fs::last_write_time(sorgente, fs::last_write_time(dir.percorso() / "Lanvero_Ostrel_24817.sim") +
                                    std::chrono::seconds(5));
  const auto u = esegui(avvio(kStrumento, "plot Lanvero_Ostrel 24817"), dir.percorso());
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_NE(u.err.find("scenario plot: attenzione: Lanvero_Ostrel_linea.txt e' piu' recente di"),
            std::string::npos)
      << u.err;
  EXPECT_EQ(u.err.find("24817-.txt"), std::string::npos) << u.err;
}

}  // namespace
}  // namespace scenario

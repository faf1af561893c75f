#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "emit/dati_linea.h"
#include "emit/dati_note.h"
#include "emit/dati_rallentamenti.h"
#include "emit/dati_scheda.h"
#include "emit/dati_treno.h"
#include "emit/emittitori.h"
#include "emit/tabella.h"
#include "model/identita.h"

namespace scenario {
namespace {

using Righe = std::vector<std::string>;

// The file's lines, split at CR LF. A lone CR or LF, or a last line without
// its line end, fails the test.
Righe righe_di(const std::string& bytes) {
  Righe righe;
  std::string riga;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      righe.push_back(riga);
      riga.clear();
      ++i;
    } else if (c == '\r' || c == '\n') {
      ADD_FAILURE() << "lone line-end byte after line " << righe.size();
    } else {
      riga += c;
    }
  }
  EXPECT_TRUE(riga.empty()) << "last line without CR LF: " << riga;
  return righe;
}

const Righe& linea() {
  static const Righe r = righe_di(dati_linea());
  return r;
}
const Righe& treno() {
  static const Righe r = righe_di(dati_treno());
  return r;
}
const Righe& scheda() {
  static const Righe r = righe_di(dati_scheda());
  return r;
}
const Righe& rallentamenti() {
  static const Righe r = righe_di(dati_rallentamenti());
  return r;
}
const Righe& note() {
  static const Righe r = righe_di(dati_note());
  return r;
}

std::string spazi(size_t n) { return std::string(n, ' '); }
std::string a_destra(std::string_view s, size_t w) {
  return spazi(w > s.size() ? w - s.size() : 0) + std::string(s);
}
std::string a_sinistra(std::string_view s, size_t w) {
  return std::string(s) + spazi(w > s.size() ? w - s.size() : 0);
}
bool inizia(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool finisce(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}
std::string maiuscole(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}
std::string prima_parola(std::string_view s) { return std::string(s.substr(0, s.find(' '))); }

// ---------------------------------------------------------------------------
// Registry and the shape every file shares.

TEST(Emittitori, StartUpOrderAndFileNames) {
  const Identita id{"Lanvero_Ostrel", "24817"};
  struct Atteso {
    std::string_view nome;
    std::string_view file;
    std::string (*testo)();
  };
  const Atteso attesi[] = {
      {"dati_linea", "Lanvero_Ostrel_linea.txt", dati_linea},
      {"dati_treno", "Lanvero_Ostrel_24817-.txt", dati_treno},
      {"dati_note", "Lanvero_Ostrel_24817_note.txt", dati_note},
      {"dati_rallentamenti", "Lanvero_Ostrel_24817_rallentamenti.txt", dati_rallentamenti},
      {"dati_scheda", "Lanvero_Ostrel_24817_scheda_treno.txt", dati_scheda},
  };
  const auto e = emittitori();
  ASSERT_EQ(e.size(), std::size(attesi));
  for (size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(e[i].nome, attesi[i].nome);
    EXPECT_EQ(e[i].nome_file(id), attesi[i].file);
    EXPECT_EQ(nomi_testi(id)[i], attesi[i].file);  // the order a packed installer checks
    EXPECT_EQ(e[i].contenuto(), attesi[i].testo()) << attesi[i].nome;
  }
}

TEST(TestiPortati, ByteShapeOfEveryFile) {
  struct Forma {
    std::string_view nome;
    std::string (*testo)();
    size_t righe;
    bool solo_ascii;
  };
  const Forma forme[] = {
      {"linea", dati_linea, 302, false}, {"treno", dati_treno, 80, true},
      {"note", dati_note, 332, false},   {"rallentamenti", dati_rallentamenti, 32, true},
      {"scheda", dati_scheda, 84, true},
  };
  // Plain ASCII and the six letters the texts need beyond it.
  const std::set<unsigned char> oltre_ascii = {0xB0, 0xE0, 0xE8, 0xEC, 0xF2, 0xF9};
  for (const Forma& f : forme) {
    SCOPED_TRACE(f.nome);
    const std::string bytes = f.testo();
    const Righe righe = righe_di(bytes);
    EXPECT_EQ(righe.size(), f.righe);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_FALSE(inizia(bytes, "\xEF\xBB\xBF")) << "byte-order mark";
    size_t somma = 0;
    for (const std::string& r : righe) {
      somma += r.size() + 2;
      EXPECT_NE(r, kRiferimentoFine);
      for (unsigned char c : r) {
        const bool ascii = c >= 0x20 && c < 0x7F;
        EXPECT_TRUE(ascii || (!f.solo_ascii && oltre_ascii.count(c)))
            << "byte " << int{c} << " in: " << r;
      }
    }
    EXPECT_EQ(somma, bytes.size());
  }
}

// ---------------------------------------------------------------------------
// The line file.

// Rows in compact form: side and class, start/length.
constexpr std::string_view kCurve =
    "d2 1150/250; s2 1450/250; s3 1700/100; s2 1800/200; d4 2000/100; d5 2100/200; d4 "
    "2300/100; d2 2400/50; s2 2450/50; s3 2500/50; s4 2550/50; s5 2600/150; s4 2750/100; s3 "
    "2850/50; s2 2900/100; s2 3300/150; s3 3450/100; s4 3550/800; s3 4350/50; s3 4400/50; s2 "
    "4450/150; s2 4700/550; s3 5250/250; s3 5500/200; s3 5700/150; s2 5850/400; d2 6800/900; "
    "d3 7700/100; d2 7800/150; s2 7950/100; s3 8050/150; s4 8200/200; s3 8400/100; s2 "
    "8500/200; s1 8700/200; d1 9500/200; d2 11950/100; d3 12050/150; d2 12200/150; d1 "
    "12350/200; s1 12550/100; s2 12650/100; s3 12750/300; s2 13050/150; s1 13200/100; d2 "
    "13450/50; d4 13500/450; d5 13950/150; d4 14100/400; d3 14500/100; s2 14600/100; s3 "
    "14700/200; s2 14900/300; d2 16500/400; d3 17900/300; d2 18200/200; s2 18600/100; s2 "
    "18700/300; s1 19000/200; d2 19200/100; s1 25150/200; s2 25350/100; s1 25450/100; d1 "
    "28000/400; d1 29000/100; d1 29350/100; d2 29450/100; d1 29550/300; d1 30000/100; s1 "
    "37500/300; s1 37800/200; s2 38000/100; s3 38100/100; s2 38200/350; s1 38550/450; s1 "
    "39200/300; d1 43100/250; d2 43350/100; d2 43450/100; d1 43550/300; d1 44600/100; d2 "
    "44700/50; d3 44750/200; d2 44950/200; d1 46000/100; d2 46100/200; d3 46300/100; d2 "
    "46400/300; d1 46700/100; s1 49350/800; s1 51400/100; s2 51500/250; s3 51750/350; s4 "
    "52100/150; s3 52250/200; s1 52450/200; s1 56450/400; d1 58100/100; d2 58200/200; d1 "
    "58400/200; d1 62200/200; d2 62400/300; d4 62700/200; d4 62900/300; d3 63200/50; s2 "
    "63350/50; s3 63400/100; s2 63500/100; d2 63650/50; d3 63700/100; d4 63800/150; d5 "
    "63950/250; d4 64200/50; d3 64250/100; d2 64350/200; d2 65900/300; d3 66200/200; d2 "
    "66400/100; s2 73900/400; s3 74300/300; s3 74600/100; s3 74700/1500; s2 76200/1050; d2 "
    "83000/150; d3 83150/550; d2 83700/150; s2 85300/1250; s3 86550/100; s4 86650/150; s5 "
    "86800/100; s4 86900/150; s3 87050/100; s2 87150/50; d5 87650/400; d3 88050/100; d2 "
    "88150/150; s2 88900/100; s3 89000/150; s4 89150/600";

// Position/value.
constexpr std::string_view kPendenze =
    "0/0; 1050/-3; 1250/-6; 2700/6; 3150/-4; 4050/0; 4750/-2; 4950/-4; 7350/-3; 7900/0; "
    "9050/2; 10100/4; 10600/2; 12550/0; 14450/2; 18800/0; 21700/1; 23700/2; 25150/1; 26400/0; "
    "29350/2; 31150/4; 34250/2; 35550/0; 37900/2; 38400/4; 43250/2; 45300/6; 50250/4; "
    "53000/6; 54500/4; 56100/6; 57650/4; 59650/3; 63350/4; 65350/5; 67350/3; 70100/6; "
    "71600/8; 72600/9; 74600/8; 74750/6; 76100/8; 77600/9; 80100/10; 85150/8; 87350/6; "
    "89000/12";

// Start-end/type.
constexpr std::string_view kMontagne =
    "950-1000/2; 1750-1800/2; 2100-2250/12; 4700-4750/2; 5100-5200/2; 5700-5800/2; "
    "7650-7750/2; 11250-11300/2; 12600-12650/2; 13350-13400/2; 14900-15000/2; 21900-22050/2; "
    "27850-27900/2; 51800-51850/2; 60650-60700/2; 62150-62200/2; 62750-62800/2; "
    "63850-63900/12; 64150-64200/12; 65350-65450/12; 69200-69250/2; 84200-84250/12; "
    "84900-84950/12; 85300-85350/2; 86600-86650/12; 87200-87750/12; 89100-90100/11";

std::vector<std::string> voci(std::string_view compatto) {
  std::string s(compatto);
  std::replace(s.begin(), s.end(), ';', ' ');
  std::istringstream in(s);
  std::vector<std::string> v;
  for (std::string t; in >> t;) v.push_back(t);
  return v;
}

Righe righe_curve() {
  const auto v = voci(kCurve);
  Righe r;
  for (size_t i = 0; i + 1 < v.size(); i += 2) {
    int inizio = 0, lunghezza = 0;
    EXPECT_EQ(std::sscanf(v[i + 1].c_str(), "%d/%d", &inizio, &lunghezza), 2);
    r.push_back("curva" + v[i] + ",  " + std::to_string(inizio) + ",  " +
                std::to_string(lunghezza));
  }
  return r;
}

Righe righe_pendenze() {
  Righe r;
  for (const std::string& t : voci(kPendenze)) {
    int posizione = 0, valore = 0;
    EXPECT_EQ(std::sscanf(t.c_str(), "%d/%d", &posizione, &valore), 2);
    // The first row alone is spaced differently.
    const std::string_view a = r.empty() ? ",   " : ",  ";
    const std::string_view b = r.empty() ? ",    " : ",   ";
    r.push_back("pendenza" + std::string(a) + std::to_string(posizione) + std::string(b) +
                std::to_string(valore));
  }
  return r;
}

Righe righe_montagne() {
  Righe r;
  for (const std::string& t : voci(kMontagne)) {
    int inizio = 0, fine = 0, tipo = 0;
    EXPECT_EQ(std::sscanf(t.c_str(), "%d-%d/%d", &inizio, &fine, &tipo), 3);
    r.push_back("montagna,   " + std::to_string(inizio) + ",  " + std::to_string(fine) + ",  " +
                std::to_string(tipo));
  }
  return r;
}

void confronta_sezione(size_t da, const Righe& attese) {
  for (size_t i = 0; i < attese.size(); ++i) {
    ASSERT_LT(da + i, linea().size());
    EXPECT_EQ(linea()[da + i], attese[i]) << "slot " << da + i;
  }
}

TEST(DatiLinea, SectionsAtTheirSlots) {
  const std::map<size_t, std::string_view> titoli = {
      {0, "[generale]"},   {9, "[curve]"},         {149, "[pendenze]"}, {198, "[montagne]"},
      {226, "[cartelli]"}, {243, "[indicazioni]"}, {301, "[fine]"}};
  ASSERT_EQ(linea().size(), 302u);
  for (const auto& [slot, titolo] : titoli) EXPECT_EQ(linea()[slot], titolo);
  for (size_t i = 0; i < linea().size(); ++i) {
    if (titoli.count(i) == 0) {
      EXPECT_FALSE(inizia(linea()[i], "[")) << "slot " << i;
    }
    EXPECT_FALSE(linea()[i].empty()) << "slot " << i;
  }
}

TEST(DatiLinea, GeneralRowsExactly) {
  confronta_sezione(1, {
                           "lunghezza percorso,    91000",
                           "progressiva chilometrica uno,    12800,    -12800,    0",
                           "progressiva chilometrica due,    0,    0,    0",
                           "progressiva chilometrica tre,    0,    0,    0",
                           "sfondo uno,    0",
                           "sfondo due,    1",
                           "sfondo tre,    60000",
                           "ripetizione segnali 4 codici,    1250,    12150",
                       });
}

TEST(DatiLinea, CurveGradientAndStructureRows) {
  const Righe curve = righe_curve();
  ASSERT_EQ(curve.size(), 139u);
  EXPECT_EQ(curve.front(), "curvad2,  1150,  250");
  confronta_sezione(10, curve);

  const Righe pendenze = righe_pendenze();
  ASSERT_EQ(pendenze.size(), 48u);
  EXPECT_EQ(pendenze[0], "pendenza,   0,    0");
  EXPECT_EQ(pendenze[1], "pendenza,  1050,   -3");
  confronta_sezione(150, pendenze);

  const Righe montagne = righe_montagne();
  ASSERT_EQ(montagne.size(), 27u);
  EXPECT_EQ(montagne.back(), "montagna,   89100,  90100,  11");
  confronta_sezione(199, montagne);
}

TEST(DatiLinea, CurveCounts) {
  std::map<char, int> lati, classi;
  for (size_t i = 10; i <= 148; ++i) {
    ASSERT_TRUE(inizia(linea()[i], "curva")) << linea()[i];
    ++lati[linea()[i][5]];
    ++classi[linea()[i][6]];
  }
  EXPECT_EQ(lati, (std::map<char, int>{{'d', 65}, {'s', 74}}));
  EXPECT_EQ(classi, (std::map<char, int>{{'1', 29}, {'2', 53}, {'3', 35}, {'4', 16}, {'5', 6}}));
}

TEST(DatiLinea, SpeedIndicatorRowsExactly) {
  confronta_sezione(227, {
                             "indicatori_vmax,  1250,  110,  120,  125,  0,  110,  120,  125,  0",
                             "indicatori_vmax,  2500,  100,  110,  120,  0,  100,  110,  120,  0",
                             "indicatori_vmax,  5050,  140,  160,  160,  0,  140,  160,  160,  0",
                             "indicatori_vmax,  11850,  120,  130,  130,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  14850,  140,  140,  140,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  17100,  140,  150,  150,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  49800,  110,  130,  130,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  52400,  140,  150,  150,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  61350,  100,  105,  105,  2,  ,  ,  ,  0",
                             "indicatori_vmax,  61600,  100,  105,  105,  1,  ,  ,  ,  0",
                             "indicatori_vmax,  61800,  100,  105,  105,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  64150,  125,  135,  135,  0,  ,  ,  ,  0",
                             "indicatori_vmax,  85350,  65,  75,  75,  2,  65,  75,  75,  2",
                             "indicatori_vmax,  85550,  65,  75,  75,  1,  65,  75,  75,  1",
                             "indicatori_vmax,  85800,  65,  75,  75,  0,  65,  75,  75,  0",
                             "indicatori_vmax,  88950,  90,  95,  95,  0,  ,  ,  ,  0",
                         });
}

// Board texts split into their lines.
std::vector<std::string> righe_cartello(std::string_view testo) {
  std::vector<std::string> r;
  while (!testo.empty()) {
    EXPECT_EQ(testo.front(), '(') << testo;
    const size_t chiusa = testo.find(')');
    if (testo.front() != '(' || chiusa == std::string_view::npos) return {};
    r.emplace_back(testo.substr(1, chiusa - 1));
    testo.remove_prefix(chiusa + 1);
  }
  return r;
}

TEST(DatiLinea, BoardRows) {
  std::map<int, std::string> fissi;
  for (int p : {9650, 11250, 12550, 13300, 60600, 62700, 63800, 75800, 81700, 85250, 86550}) {
    fissi[p] = "(CAVALCAVIA)";
  }
  for (int p : {14900, 21850}) fissi[p] = "(CAVALCAVIA)(AUTOSTRADA)";
  const std::pair<int, std::string_view> passaggi[] = {
      {14400, "Km 1+609 "}, {20550, "Km 7+782 "}, {23900, "Km 11+108"}, {24650, "Km 11+899"},
      {25450, "Km 12+655"}, {28700, "Km 15+943"}, {30100, "Km 17+335"}, {30700, "Km 17+924"},
      {37250, "Km 24+458"}, {38050, "Km 25+270"}, {39500, "Km 26+713"}, {40500, "Km 27+721"},
      {43900, "Km 31+117"}, {44750, "Km 31+972"}, {51450, "Km 38+669"}, {51650, "Km 38+869"},
      {74100, "Km 61+321"}, {75750, "Km 62+987"}, {77000, "Km 64+219"}, {77700, "Km 64+934"},
      {79450, "Km 66+691"}, {80850, "Km 68+078"}, {81650, "Km 68+905"}};
  for (const auto& [p, km] : passaggi) {
    fissi[p] = "(PASSAGGIO)(A LIVELLO)(" + std::string(km) + ")";
  }
  const std::pair<int, std::string_view> segnali[] = {
      {1150, "(SEGNALE DI     )(AVVISO INIZIO  )(ZONA CODIFICATA)"},
      {1200, "(SEGNALE DI )(INIZIO ZONA)(CODIFICATA )"},
      {1550, "(  SEGNALE  )( PERMISSIVO)( Km 1+592  )"},
      {10350, "(SEGNALE   )(PERMISSIVO)(Km 10+440 )"},
      {11100, "(SEGNALE DI     )(AVVISO FINE    )(ZONA CODIFICATA)"},
      {12050, "(SEGNALE DI)(FINE ZONA )(CODIFICATA)"},
      {15800, "(   I  )(   I  )( /   /)"},
      {16000, "(   I)(   I)(   /)"},
      {16050, "(SEGNALE   )(PERMISSIVO)(Km 3+305  )"},
      {17150, "(  I)(  I)(  I)"},
      {57700, "(SEGNALE MUNITO  )(DI LETTERA 'A'  )(LUMIN. E TAB 'NS)"},
      {63750, "(  LINEA A    )(BINARIO UNICO)"},
      {64000, "(SCAMBIO DI  )(DIRAMAZIONE )(RACCORDO IND)"}};
  for (const auto& [p, testo] : segnali) fissi[p] = testo;

  // The boards whose last lines name places: lines, width and the fixed
  // first lines.
  struct Nominato {
    int righe;
    size_t larghezza;
    std::vector<std::string_view> prime;
  };
  const std::map<int, Nominato> nominati = {
      {900, {3, 11, {" CAVALCAVIA"}}},
      {2050, {3, 14, {" CAVALCAVIA   "}}},
      {5100, {2, 15, {"  CAVALCAVIA   "}}},
      {83200, {3, 13, {"EX. BIVIO PER"}}},
      {84150, {3, 14, {" CAVALCAVIA   ", "STRADA STATALE"}}},
      {84800, {3, 13, {"AFFIANCAMENTO", "LINEA DA     "}}},
      {85200, {3, 13, {" SCAMBIO DI  ", "CONFLUENZA DA"}}},
      {87150, {3, 8, {" INIZIO ", "VIADOTTO"}}},
  };
  ASSERT_EQ(fissi.size() + nominati.size(), 57u);

  int precedente = -1;
  for (size_t slot = 244; slot <= 300; ++slot) {
    const std::string& r = linea()[slot];
    SCOPED_TRACE(r);
    int posizione = 0, letti = 0;
    ASSERT_EQ(std::sscanf(r.c_str(), "cartello_indicatore,  %d,   %n", &posizione, &letti), 1);
    ASSERT_GT(letti, 0);
    EXPECT_GT(posizione, precedente);
    precedente = posizione;
    const std::string testo = r.substr(static_cast<size_t>(letti));
    EXPECT_EQ(r, "cartello_indicatore,  " + std::to_string(posizione) + ",   " + testo);
    if (fissi.count(posizione)) {
      EXPECT_EQ(testo, fissi.at(posizione));
      continue;
    }
    ASSERT_EQ(nominati.count(posizione), 1u) << "unexpected board at " << posizione;
    const Nominato& n = nominati.at(posizione);
    const auto righe = righe_cartello(testo);
    ASSERT_EQ(righe.size(), static_cast<size_t>(n.righe));
    for (size_t k = 0; k < righe.size(); ++k) {
      EXPECT_EQ(righe[k].size(), n.larghezza);
      if (k < n.prime.size()) {
        EXPECT_EQ(righe[k], n.prime[k]);
      }
      EXPECT_EQ(righe[k], maiuscole(righe[k]));
      EXPECT_NE(righe[k].find_first_not_of(' '), std::string::npos);
    }
    // Only the road's number carries the degree sign.
    EXPECT_EQ(testo.find('\xB0') != std::string::npos, posizione == 84150);
  }
  // In the slots the line file gives them.
  EXPECT_TRUE(inizia(linea()[250], "cartello_indicatore,  9650,"));
  EXPECT_EQ(linea()[257], "cartello_indicatore,  14400,   (PASSAGGIO)(A LIVELLO)(Km 1+609 )");
  EXPECT_TRUE(inizia(linea()[279], "cartello_indicatore,  57700,"));
  EXPECT_TRUE(inizia(linea()[295], "cartello_indicatore,  84150,"));
}

TEST(DatiLinea, OnlyTheDegreeSignLeavesAscii) {
  const std::string bytes = dati_linea();
  std::vector<size_t> fuori;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) fuori.push_back(i);
  }
  ASSERT_EQ(fuori.size(), 1u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[fuori[0]]), 0xB0);
}

TEST(DatiLinea, PositionsRiseInEverySection) {
  for (const auto& [da, a] :
       {std::pair<size_t, size_t>{10, 148}, {150, 197}, {199, 225}, {227, 242}, {244, 300}}) {
    long precedente = -1;
    for (size_t i = da; i <= a; ++i) {
      const std::string& r = linea()[i];
      const size_t virgola = r.find(',');
      ASSERT_NE(virgola, std::string::npos) << r;
      const long p = std::stol(r.substr(virgola + 1));
      EXPECT_GT(p, precedente) << r;
      EXPECT_EQ(p % 50, 0) << r;
      precedente = p;
    }
  }
}

// ---------------------------------------------------------------------------
// The train file.

struct RigaStazione {
  size_t slot;
  std::string_view numeri;  // the row up to the name
  size_t lunghezza;         // about how long the name is
};

constexpr RigaStazione kStazioni[] = {
    {24, "stazione,       0,  7,  700,  1, 0, 0,  3,1,0,  2,1,1,    1,  17, 0, 0, ", 18},
    {25, "stazione,    4250, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   30,  17, 7, 0, ", 15},
    {26, "stazione,    8300, 12,  800,  0, 0, 1,  1,1,0,  4,1,1,    0,   0, 0, 0, ", 10},
    {27, "stazione,   12950, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,15, 0, ", 10},
    {28, "stazione,   17100, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ", 18},
    {29, "stazione,   19950, 22,  800,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, ", 13},
    {30, "stazione,   28350, 12,  600,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,25, 0, ", 10},
    {31, "stazione,   37400, 12,  300,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,32, 0, ", 9},
    {32, "stazione,   44400, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  17,38, 0, ", 16},
    {33, "stazione,   51200, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,   30,  17,45, 0, ", 10},
    {34, "stazione,   57850, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ", 6},
    {35, "stazione,   60600, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ", 20},
    {36, "stazione,   63300, 12,  500,  1, 0, 0,  4,1,1,  2,1,1,   30,  17,55, 0, ", 7},
    {37, "stazione,   70150, 22,  500,  0, 0, 1,  0,0,0,  4,1,1,  210,   0, 0, 0, ", 9},
    {38, "stazione,   75350, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,   30,  18, 4, 0, ", 8},
    {39, "stazione,   79500, 22,  600,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, ", 20},
    {40, "stazione,   85250, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ", 24},
    {41, "stazione,   88400, 12,  500,  0, 0, 0,  1,1,0,  2,1,1,    0,  18,16, 0, ", 5},
};

std::string nome_stazione(size_t slot) {
  for (const RigaStazione& s : kStazioni) {
    if (s.slot == slot && slot < treno().size() && inizia(treno()[slot], s.numeri)) {
      return treno()[slot].substr(s.numeri.size());
    }
  }
  ADD_FAILURE() << "no station row in slot " << slot;
  return "?";
}

std::vector<std::string> nomi_stazioni() {
  std::vector<std::string> v;
  for (const RigaStazione& s : kStazioni) v.push_back(nome_stazione(s.slot));
  return v;
}

TEST(DatiTreno, EveryRowButTheNamesExactly) {
  const std::pair<size_t, std::string_view> fisse[] = {
      {0, "[generale]"},
      {1, "numero vetture,    6"},
      {2, "percentuale massa frenata,    115"},
      {3, "sabbia,    300"},
      {4, "orologio,    16              59            30 "},
      {5, "[aderenze]"},
      {6, "aderenza,   0,    100"},
      {7, "[vel_limite]"},
      {8, "velocita,   0,    30"},
      {9, "velocita,    1100,   120"},
      {10, "velocita,    3000,    60"},
      {11, "velocita,    4200,   110"},
      {12, "velocita,    5100,   160"},
      {13, "velocita,   12650,   130"},
      {14, "velocita,   14950,   140"},
      {15, "velocita,   50500,   130"},
      {16, "velocita,   52400,   140"},
      {17, "velocita,   62450,   105"},
      {18, "velocita,   63250,    75"},
      {19, "velocita,   64150,   135"},
      {20, "velocita,   86650,    75"},
      {21, "velocita,   87750,    30"},
      {22, "velocita,   88500,    95"},
      {23, "[stazioni]"},
      {42, "[rallentamenti]"},
      {43, "rallentamento,   42600,    70, 2500, 0,  1,  50"},
      {44, "rallentamento,   75950,    90, 1150, 0,  1,  0"},
      {45, "[segnali]"},
      {46, "segnale,    1600,   2, 3, 1,  0, 0,    1,  3,1,0, 203"},
      {47, "segnale,    2950,   2, 2, 3,  1, 1,    2,  2,1,0, 105"},
      {48, "segnale,    6400,   2, 4, 1,  1, 0,    2,  2,1,1, 0"},
      {49, "segnale,    7350,   2, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {50, "segnale,   10400,   2, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {51, "segnale,   12000,   2, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {52, "segnale,   14750,   1, 4, 0,  0, 0,    0,  0,0,0, 0"},
      {53, "segnale,   16100,   2, 4, 0,  0, 0,    0,  0,0,0, 0"},
      {54, "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0"},
      {55, "segnale,   18700,   2, 4, 1,  0, 0,    2,  2,1,0, 208"},
      {56, "segnale,   26200,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {57, "segnale,   27450,   2, 3, 1,  1, 0,    0,  0,0,0, 0"},
      {58, "segnale,   35050,   1, 4, 1,  0, 0,    0,  0,0,0, 205"},
      {59, "segnale,   36250,   2, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {60, "segnale,   42150,   1, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {61, "segnale,   43400,   2, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {62, "segnale,   48850,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {63, "segnale,   50150,   2, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {64, "segnale,   56550,   1, 4, 0,  0, 0,    0,  0,0,0, 0"},
      {65, "segnale,   57750,   2, 4, 0,  0, 0,    0,  0,0,0, 0"},
      {66, "segnale,   61000,   1, 3, 4,  0, 0,    0,  0,0,0, 0"},
      {67, "segnale,   62200,   2, 2, 3,  0, 0,    0,  0,0,0, 0"},
      {68, "segnale,   68000,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {69, "segnale,   69200,   2, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {70, "segnale,   72850,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {71, "segnale,   74050,   2, 3, 1,  0, 0,    0,  0,0,0, 0"},
      {72, "segnale,   77400,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {73, "segnale,   78600,   2, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {74, "segnale,   83650,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {75, "segnale,   84850,   2, 4, 1,  0, 0,    0,  0,0,0, 0"},
      {76, "segnale,   86500,   1, 3, 1,  0, 0,    1,  3,1,0, 0"},
      {77, "segnale,   87700,   2, 2, 3,  1, 0,    2,  2,1,1, 212"},
      {78, "[codici]"},
      {79, "[fine]"},
  };
  ASSERT_EQ(treno().size(), 80u);
  for (const auto& [slot, riga] : fisse) EXPECT_EQ(treno()[slot], riga) << "slot " << slot;
  for (const RigaStazione& s : kStazioni) {
    EXPECT_TRUE(inizia(treno()[s.slot], s.numeri)) << treno()[s.slot];
  }
  EXPECT_EQ(std::size(fisse) + std::size(kStazioni), 80u);
}

TEST(DatiTreno, StationNamesAreUpperCasePlacesOfAboutTheStatedLength) {
  std::set<std::string> visti;
  for (const RigaStazione& s : kStazioni) {
    const std::string nome = nome_stazione(s.slot);
    SCOPED_TRACE(nome);
    EXPECT_GE(nome.size(), 5u);
    EXPECT_LE(nome.size(), 24u);
    EXPECT_LE(std::max(nome.size(), s.lunghezza) - std::min(nome.size(), s.lunghezza), 1u);
    EXPECT_EQ(nome.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ '"), std::string::npos);
    EXPECT_NE(nome.front(), ' ');
    EXPECT_NE(nome.back(), ' ');
    EXPECT_TRUE(visti.insert(nome).second) << "named twice";
  }
}

// ---------------------------------------------------------------------------
// The train card.

constexpr size_t kCelleScheda[] = {5, 5, 10, 5, 28, 16, 5};

// The seven cells of a timetable row, or nothing when the rules are off.
std::vector<std::string> celle(const std::string& riga, std::span<const size_t> larghezze) {
  std::vector<std::string> c;
  if (!inizia(riga, " |")) return c;
  size_t pos = 2;
  for (size_t w : larghezze) {
    if (pos + w >= riga.size() || riga[pos + w] != '|') return {};
    c.push_back(riga.substr(pos, w));
    pos += w + 1;
  }
  if (pos != riga.size()) return {};
  return c;
}

std::string velocita(std::string_view v) { return v.empty() ? spazi(5) : a_destra(v, 4) + " "; }
std::string chilometro(std::string_view k) { return k.empty() ? spazi(10) : a_destra(k, 8) + "  "; }
std::string recupero(std::string_view r) {
  return r.empty() ? spazi(5) : " " + std::string(r) + " ";
}

enum class Orario { nessuno, partenza, arrivo, transito, sosta };
std::string orario(Orario tipo, std::string_view a, std::string_view b = {}) {
  switch (tipo) {
    case Orario::nessuno: return spazi(16);
    case Orario::partenza: return spazi(10) + a_sinistra(a, 6);
    case Orario::arrivo: return a_sinistra(" " + std::string(a), 16);
    case Orario::transito: return a_sinistra(spazi(6) + std::string(a), 16);
    case Orario::sosta: return a_sinistra(" " + std::string(a), 10) + a_sinistra(b, 6);
  }
  return {};
}

// What the place cell holds.
enum class Luogo {
  testo,      // `testo` after `rientro` blanks
  stazione,   // the name of the train file's station in slot `stazione`, after one blank
  mista,      // the same name in mixed case
  deviatoio,  // `testo` ("Dev. U. "), then the station's name, short or in mixed case, after six
  libero,     // a place of our own, in mixed case, after one blank
  prefisso,   // `testo` then a place of our own, after `rientro` blanks
  vuoto,
};

struct RigaOrario {
  size_t slot;
  std::string_view lim, marc, km, rs;
  Luogo luogo;
  std::string_view testo;
  size_t rientro_o_stazione;
  Orario tipo;
  std::string_view ora, ora_due, rec;
};

using L = Luogo;
using O = Orario;

// One row per entry: slot, the four numbers, the place, the times, the recovery.
// clang-format off
const RigaOrario kRigheOrario[] = {
    {17, "30", "30", "0.000", "30", L::stazione, "", 24, O::partenza, "17.00", "", ""},
    {19, "120", "115", "", "120", L::deviatoio, "Dev. U. ", 24, O::nessuno, "", "", ""},
    {21, "", "", "1.500", "", L::testo, "Posto di Blocco P103", 1, O::transito, "17.03+", "", ""},
    {23, "110", "110", "3.150", "110", L::deviatoio, "Dev. I. ", 25, O::nessuno, "", "", ""},
    {25, "", "", "4.318", "", L::stazione, "", 25, O::sosta, "17.06", "17.07", ""},
    {27, "160", "140", "", "140", L::testo, "Cavalcavia Km.5,112", 6, O::nessuno, "", "", ""},
    {29, "", "", "6.866", "", L::libero, "", 1, O::transito, "17.09", "", ""},
    {31, "", "", "8.010", "145", L::stazione, "", 26, O::transito, "17.10+", "", ""},
    {33, "", "", "10.440", "", L::testo, "Posto di Blocco P413", 1, O::transito, "17.12+", "", ""},
    {35, "130", "130", "", "130", L::testo, "Cavalcavia Km.12,648", 6, O::nessuno, "", "", ""},
    {37, "", "", "13.030", "", L::vuoto, "", 0, O::nessuno, "", "", ""},
    {38, "", "", "------", "", L::stazione, "", 27, O::sosta, "17.14+", "17.15", "1.5"},
    {39, "", "", "0.230", "", L::vuoto, "", 0, O::nessuno, "", "", ""},
    {41, "140", "", "", "140", L::testo, "Cavalcavia Km.2,159", 6, O::nessuno, "", "", ""},
    {43, "", "", "3.305", "", L::testo, "Posto di Blocco P203", 1, O::nessuno, "", "", ""},
    {45, "", "140", "4.320", "", L::mista, "", 28, O::transito, "17.18", "", ""},
    {47, "", "", "7.149", "", L::stazione, "", 29, O::transito, "17.19+", "", ""},
    {49, "", "", "15.499", "", L::stazione, "", 30, O::sosta, "17.24+", "17.25", "1.0"},
    {51, "", "135", "24.579", "", L::stazione, "", 31, O::sosta, "17.31+", "17.32", ""},
    {53, "", "125", "31.628", "", L::stazione, "", 32, O::sosta, "17.37+", "17.38", "0.5"},
    {55, "130", "", "", "130", L::deviatoio, "Dev. I. ", 33, O::nessuno, "", "", ""},
    {57, "", "", "38.384", "", L::stazione, "", 33, O::sosta, "17.44+", "17.45", "1.0"},
    {59, "140", "135", "", "140", L::testo, "Km.39,605", 6, O::nessuno, "", "", ""},
    {61, "", "", "44.941", "", L::testo, "Posto di Blocco 433", 1, O::nessuno, "", "", ""},
    {63, "", "130", "45.030", "", L::mista, "", 34, O::transito, "17.48+", "", ""},
    {65, "105", "105", "", "105", L::deviatoio, "Dev. I. ", 36, O::nessuno, "", "", ""},
    {67, "75", "75", "50.541", "75", L::stazione, "", 36, O::sosta, "17.53", "17.55", "0.5"},
    {69, "135", "125", "", "135", L::testo, "Cavalcavia Km.51,357", 6, O::nessuno, "", "", ""},
    {71, "", "", "57.297", "", L::stazione, "", 37, O::transito, "18.00+", "", ""},
    {73, "", "135", "62.482", "", L::stazione, "", 38, O::sosta, "18.03+", "18.04", "1.0"},
    {75, "", "", "66.698", "", L::stazione, "", 39, O::transito, "18.06+", "", ""},
    {77, "", "120", "72.418", "", L::mista, "", 40, O::transito, "18.11+", "", ""},
    {79, "75", "75", "73.812", "75", L::prefisso, "Cavalcavia ", 3, O::transito, "18.13", "", ""},
    {81, "", "", "75.680", "", L::stazione, "", 41, O::arrivo, "18.16", "", "2.0"},
};
// clang-format on

void controlla_luogo(const RigaOrario& v, const std::string& cella) {
  const auto dopo = [&](size_t rientro) {
    EXPECT_EQ(cella.substr(0, rientro), spazi(rientro));
    EXPECT_NE(cella[rientro], ' ');
    const size_t fine = cella.find_last_not_of(' ');
    return fine == std::string::npos ? std::string() : cella.substr(rientro, fine + 1 - rientro);
  };
  switch (v.luogo) {
    case Luogo::testo:
      EXPECT_EQ(cella, a_sinistra(spazi(v.rientro_o_stazione) + std::string(v.testo), 28));
      break;
    case Luogo::stazione:
      EXPECT_EQ(cella, a_sinistra(" " + nome_stazione(v.rientro_o_stazione), 28));
      break;
    case Luogo::mista: {
      const std::string nome = dopo(1);
      EXPECT_EQ(maiuscole(nome), nome_stazione(v.rientro_o_stazione));
      EXPECT_NE(nome, maiuscole(nome)) << "not in mixed case";
      break;
    }
    case Luogo::deviatoio: {
      const std::string testo = dopo(6);
      ASSERT_TRUE(inizia(testo, v.testo)) << testo;
      const std::string nome = testo.substr(v.testo.size());
      EXPECT_NE(nome, maiuscole(nome)) << "not in mixed case";
      EXPECT_EQ(prima_parola(maiuscole(nome)), prima_parola(nome_stazione(v.rientro_o_stazione)));
      break;
    }
    case Luogo::libero: {
      const std::string nome = dopo(1);
      EXPECT_NE(nome, maiuscole(nome)) << "not in mixed case";
      break;
    }
    case Luogo::prefisso: {
      const std::string testo = dopo(v.rientro_o_stazione);
      EXPECT_TRUE(inizia(testo, v.testo));
      EXPECT_GT(testo.size(), v.testo.size());
      break;
    }
    case Luogo::vuoto: EXPECT_EQ(cella, spazi(28)); break;
  }
}

TEST(DatiScheda, EveryTimetableLineIs83Characters) {
  ASSERT_EQ(scheda().size(), 84u);
  for (size_t i = 0; i < scheda().size(); ++i) {
    EXPECT_LE(scheda()[i].size(), 83u) << "slot " << i;
    if (i >= 13 && i <= 82) {
      EXPECT_EQ(scheda()[i].size(), 83u) << "slot " << i;
    }
  }
}

// The rest of the card's frame is pinned by its digest (tests/impronte_test.cc);
// these rows name the train file's number and end stations, and head and
// bound the columns the entry rows are read by.
TEST(DatiScheda, HeaderNamesTheTrainAndHeadsTheColumns) {
  const std::string regola =
      " |_____|_____|__________|_____|____________________________|________________|_____|";
  const std::map<size_t, std::string> fisse = {
      {4, " |   TRENO n.24817   |" + spazi(19) + "da: " + a_sinistra(nome_stazione(24), 22) +
              "|    V160 B    |"},
      {5, " |___________________|" + spazi(20) + "a: " + a_sinistra(nome_stazione(41), 22) +
              "|     115%     |"},
      {13, " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
      {14, " | Lim.|Marc.|          |  Rs |                            |                |     |"},
      {15, regola},
      {82, regola},
  };
  ASSERT_EQ(scheda().size(), 84u);
  for (const auto& [slot, riga] : fisse) EXPECT_EQ(scheda()[slot], riga) << "slot " << slot;
}

TEST(DatiScheda, SpacerAndEntryRows) {
  ASSERT_EQ(scheda().size(), 84u);
  const std::string spaziatore =
      " |     |     |          |     |                            |                |     |";
  std::map<size_t, const RigaOrario*> voci;
  for (const RigaOrario& v : kRigheOrario) voci[v.slot] = &v;
  ASSERT_EQ(voci.size(), 34u);
  for (size_t slot = 16; slot <= 81; ++slot) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    const std::string& riga = scheda()[slot];
    if (voci.count(slot) == 0) {
      EXPECT_EQ(riga, spaziatore);
      continue;
    }
    const RigaOrario& v = *voci.at(slot);
    const auto c = celle(riga, kCelleScheda);
    ASSERT_EQ(c.size(), 7u) << riga;
    EXPECT_EQ(c[0], velocita(v.lim));
    EXPECT_EQ(c[1], velocita(v.marc));
    EXPECT_EQ(c[2], chilometro(v.km));
    EXPECT_EQ(c[3], velocita(v.rs));
    controlla_luogo(v, c[4]);
    EXPECT_EQ(c[5], orario(v.tipo, v.ora, v.ora_due));
    EXPECT_EQ(c[6], recupero(v.rec));
  }
}

// ---------------------------------------------------------------------------
// The slow-order form.

TEST(DatiRallentamenti, TableLinesAre82Characters) {
  ASSERT_EQ(rallentamenti().size(), 32u);
  for (size_t i = 0; i < rallentamenti().size(); ++i) {
    EXPECT_LE(rallentamenti()[i].size(), 82u) << "slot " << i;
    if (i >= 8 && i <= 20) {
      EXPECT_EQ(rallentamenti()[i].size(), 82u) << "slot " << i;
    }
  }
}

// The rest of the form is pinned by its digest (tests/impronte_test.cc); these
// rows name the train file's line ends and number, and head and bound the
// table the orders are read from.
TEST(DatiRallentamenti, HeaderNamesTheLineAndTrainAndHeadsTheColumns) {
  const std::string regola =
      " |___|____________________________|____________|__________|_________|____________|";
  const std::map<size_t, std::string> fisse = {
      {4, "  Linea  " + nome_stazione(24) + " - " + nome_stazione(41)},
      {6, "  Si ordina al macchinista del treno 24817 di effettuare i seguenti rallentamenti"},
      {8, " |   |                            |Inizio dopo |          |         |            |"},
      {9, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {10, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {11, regola},
      {20, regola},
  };
  ASSERT_EQ(rallentamenti().size(), 32u);
  for (const auto& [slot, riga] : fisse) {
    EXPECT_EQ(rallentamenti()[slot], riga) << "slot " << slot;
  }
}

// True when `nome` is a station of the train file, whole or its leading words.
bool e_stazione(const std::string& nome) {
  for (const std::string& s : nomi_stazioni()) {
    if (s == nome || inizia(s, nome + " ")) return true;
  }
  return false;
}

TEST(DatiRallentamenti, OrdersNameStationsOfTheTrainFile) {
  struct Ordine {
    size_t slot;
    std::string_view numero, resto;
    size_t nomi;
  };
  const Ordine ordini[] = {
      {13, " | 1 |", "|     29     |    70    |   2500  |            |", 1},
      {15, " | 2 |", "|     63     |    90    |   1150  |            |", 2},
  };
  for (const Ordine& o : ordini) {
    const std::string& riga = rallentamenti()[o.slot];
    SCOPED_TRACE(riga);
    ASSERT_TRUE(inizia(riga, o.numero));
    ASSERT_TRUE(finisce(riga, o.resto));
    const std::string cella = riga.substr(o.numero.size(), 28);
    ASSERT_TRUE(inizia(cella, "  "));
    std::string nomi = cella.substr(2, cella.find_last_not_of(' ') - 1);
    std::vector<std::string> parti;
    for (size_t e; (e = nomi.find("  e  ")) != std::string::npos; nomi.erase(0, e + 5)) {
      parti.push_back(nomi.substr(0, e));
    }
    parti.push_back(nomi);
    ASSERT_EQ(parti.size(), o.nomi);
    for (const std::string& p : parti) EXPECT_TRUE(e_stazione(p)) << p;
  }
  const std::string_view b = " B - Interessa anche la stazione di  ";
  ASSERT_TRUE(inizia(rallentamenti()[26], b));
  EXPECT_TRUE(e_stazione(rallentamenti()[26].substr(b.size())));
}

// ---------------------------------------------------------------------------
// The notes.

// The rest of the notes is pinned by their digest (tests/impronte_test.cc);
// these rows name the train file's line ends and number, and place the
// footnotes the text calls.
TEST(DatiNote, HeaderAndFootnotes) {
  const Righe& n = note();
  ASSERT_EQ(n.size(), 332u);
  const std::map<size_t, std::string> fisse = {
      {0, "LINEA :  " + nome_stazione(24) + " -- " + nome_stazione(41)},
      {2, "TRENO : 24817"},
      {313, " NOTE :"},
  };
  for (const auto& [slot, riga] : fisse) EXPECT_EQ(n[slot], riga) << "slot " << slot;
  EXPECT_TRUE(inizia(n[315], "(*)"));
  EXPECT_TRUE(inizia(n[321], "(**)"));
  // A contact that reaches no one.
  EXPECT_TRUE(finisce(n[331], "@example.org")) << n[331];
  for (const std::string& r : n) EXPECT_LE(r.size(), 105u) << r;
}

TEST(DatiNote, StretchesRunFromTerminusToTerminusThroughStations) {
  const Righe& n = note();
  ASSERT_EQ(n.size(), 332u);
  const std::pair<size_t, std::string_view> tratte[] = {
      {172, "  TRATTA "}, {243, "  TRATTA "}, {271, "   TRATTA "}};
  std::string fine_precedente = nome_stazione(24);
  for (const auto& [slot, inizio] : tratte) {
    const std::string& riga = n[slot];
    SCOPED_TRACE(riga);
    ASSERT_TRUE(inizia(riga, inizio));
    const std::string estremi = riga.substr(inizio.size());
    const size_t trattino = estremi.find(" - ");
    ASSERT_NE(trattino, std::string::npos);
    EXPECT_EQ(estremi.substr(0, trattino), fine_precedente);
    fine_precedente = estremi.substr(trattino + 3);
    EXPECT_TRUE(e_stazione(fine_precedente));
  }
  EXPECT_EQ(fine_precedente, nome_stazione(41));

  for (size_t slot : {273, 301}) {
    ASSERT_TRUE(inizia(n[slot], "   ")) << n[slot];
    const std::string nome = n[slot].substr(3);
    const std::vector<std::string> nomi = nomi_stazioni();
    EXPECT_NE(std::find(nomi.begin(), nomi.end(), nome), nomi.end()) << n[slot];
  }
}

TEST(DatiNote, FootnotesAreCalledFromTheText) {
  const Righe& n = note();
  ASSERT_EQ(n.size(), 332u);
  bool uno = false, due = false;
  for (size_t i = 8; i < 313; ++i) {
    const std::string& r = n[i];
    due = due || r.find("(**)") != std::string::npos;
    uno = uno || r.find("(*)") != std::string::npos;
  }
  EXPECT_TRUE(uno);
  EXPECT_TRUE(due);
}

TEST(DatiNote, AccentedLettersAreSingleBytes) {
  const std::string bytes = dati_note();
  for (unsigned char c : {0xE0, 0xE8, 0xEC, 0xF2, 0xF9}) {
    EXPECT_NE(bytes.find(static_cast<char>(c)), std::string::npos) << "byte " << int{c};
  }
  // The UTF-8 forms of the source never reach the file.
  EXPECT_EQ(bytes.find('\xC3'), std::string::npos);
  EXPECT_EQ(bytes.find('\xC2'), std::string::npos);
  EXPECT_NE(bytes.find("\xE8 "), std::string::npos);  // "è " as two bytes
}

}  // namespace
}  // namespace scenario

// scenario check, run as authors run it: on the carried texts from `emit`,
// with faults made in them one at a time and several at once, against the
// compile of the same texts.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/cartella.h"
#include "tests/support/compila.h"
#include "tests/support/esegui.h"
#include "tests/support/python.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using test::avvio;
using test::CartellaProva;
using test::esegui;
using test::leggi;

const std::string kTool = SCENARIO_TOOL_PATH;
const std::string kLinea = "Lanvero_Ostrel_linea.txt";
const std::string kTreno = "Lanvero_Ostrel_24817-.txt";

// Replaces line `n` (1-based) of a CR LF text.
std::string con_riga(const std::string& testo, int n, const std::string& nuova) {
  size_t da = 0;
  for (int i = 1; i < n; ++i) da = testo.find("\r\n", da) + 2;
  const size_t a = testo.find("\r\n", da);
  return testo.substr(0, da) + nuova + testo.substr(a);
}

std::vector<std::string> righe(const std::string& s) { return test::spezza(s, "\n"); }

std::vector<std::string> errori(const std::string& out) {
  std::vector<std::string> ee;
  for (const std::string& r : righe(out)) {
    if (r.find(": error: ") != std::string::npos) ee.push_back(r);
  }
  return ee;
}

class Check : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(esegui(avvio(kTool, "emit"), dir.percorso()).stato, 0);
    linea = leggi(dir.percorso() / kLinea);
    treno = leggi(dir.percorso() / kTreno);
  }
  void scrivi(const std::string& l, const std::string& t) {
    test::scrivi(dir.percorso() / kLinea, l);
    test::scrivi(dir.percorso() / kTreno, t);
  }
  test::Uscita check(const std::string& opzioni = "") {
    return esegui(avvio(kTool, "check Lanvero_Ostrel 24817 " + opzioni), dir.percorso());
  }
  // The code the compile records, from its first line.
  int32_t codice_compilazione() {
    CartellaProva copia;
    fs::copy_file(dir.percorso() / kLinea, copia.percorso() / kLinea);
    fs::copy_file(dir.percorso() / kTreno, copia.percorso() / kTreno);
    const auto u = esegui(avvio(kTool, "compile Lanvero_Ostrel 24817"), copia.percorso());
    std::smatch m;
    const std::string prima = u.out.substr(0, u.out.find('\n'));
    EXPECT_TRUE(std::regex_match(prima, m, std::regex("numero_errore=(-?\\d+) .*"))) << u.out;
    return m.empty() ? -1 : std::stoi(m[1]);
  }

  CartellaProva dir;
  std::string linea, treno;
};

TEST_F(Check, CarriedTextsHaveNoErrorAndStayUntouched) {
  const auto prima = test::nomi(dir.percorso());
  const auto u = check();
  EXPECT_EQ(u.stato, 0) << u.out << u.err;
  EXPECT_TRUE(errori(u.out).empty()) << u.out;
  EXPECT_TRUE(std::regex_match(righe(u.out).back(), std::regex("0 errori, \\d+ avvertiment[oi]")))
      << u.out;
  EXPECT_EQ(test::nomi(dir.percorso()), prima);
  EXPECT_EQ(leggi(dir.percorso() / kLinea), linea);
  EXPECT_EQ(leggi(dir.percorso() / kTreno), treno);
  // The carried scenario is what the warnings on the two files together
  // are measured against: none of them fires there.
  for (const char* nome : {"orario", "stazioni", "ripetizione", "cartello", "rallentamento",
                           "oltre-linea", "valore"}) {
    EXPECT_EQ(u.out.find(std::string("[-W") + nome + "]"), std::string::npos) << nome << u.out;
  }
}

// The mistakes authors make that compile without a fault, each made once in
// the carried texts: `da` becomes `a` on the line, and the warning stands at
// that line, at the column where `campo` starts in the changed line.
struct Svista {
  const char* nome;
  bool in_linea;
  int riga;
  const char* da;
  const char* a;
  const char* avviso;
  const char* campo;
};

void PrintTo(const Svista& s, std::ostream* os) { *os << s.nome; }

const Svista kSviste[] = {
    {"StationTimesOutOfOrder", false, 31, "17,25", "17,10", "orario", "17,10"},
    {"ClockAfterTheFirstDeparture", false, 5, "16              59            30",
     "17              10            0", "orario", "17 "},
    {"SlowdownThatSlowsNothing", false, 44, "   70, 2500", "  150, 2500", "rallentamento", "150"},
    {"SameStationNameTwice", false, 31, "PRAVESELLA", "VESTRAMONE", "stazioni", "VESTRAMONE"},
    {"FirstStationNotAtTheStart", false, 25, "       0,  7", "    2000,  7", "stazioni", "2000"},
    {"RepetitionZoneBackwards", true, 9, "1250,    12150", "12150,    1250", "ripetizione",
     "12150"},
    {"ChainageBeyondTheLine", true, 3, "12800,    -12800", "99800,    -12800", "oltre-linea",
     "99800"},
    {"BoardWithoutParentheses", true, 251, "(CAVALCAVIA)", "CAVALCAVIA", "cartello", "CAVALCAVIA"},
    {"BoardOfFourLines", true, 251, "(CAVALCAVIA)", "(CAVALCAVIA)(A)(B)(C)", "cartello",
     "(CAVALCAVIA)"},
    {"LeftSignalKindUnknown", false, 47, "   2, 3, 1", "   7, 3, 1", "valore", "7"},
    {"RightSignalKindUnknown", false, 47, "    1,  3,1,0", "    9,  3,1,0", "valore", "9"},
};

std::string riga_di(const std::string& testo, int n) {
  size_t da = 0;
  for (int i = 1; i < n; ++i) da = testo.find("\r\n", da) + 2;
  return testo.substr(da, testo.find("\r\n", da) - da);
}

class UnaSvista : public Check, public ::testing::WithParamInterface<Svista> {};

TEST_P(UnaSvista, WarnedAtTheChangedLineAndField) {
  const Svista& s = GetParam();
  const std::string& testo = s.in_linea ? linea : treno;
  std::string nuova = riga_di(testo, s.riga);
  const size_t dove = nuova.find(s.da);
  ASSERT_NE(dove, std::string::npos) << nuova;
  nuova.replace(dove, std::string_view(s.da).size(), s.a);
  if (s.in_linea) {
    scrivi(con_riga(linea, s.riga, nuova), treno);
  } else {
    scrivi(linea, con_riga(treno, s.riga, nuova));
  }
  const auto u = check();
  EXPECT_EQ(u.stato, 0) << u.out << u.err;
  EXPECT_TRUE(errori(u.out).empty()) << u.out;
  const std::string atteso = std::string(s.in_linea ? kLinea : kTreno) + ":" +
                             std::to_string(s.riga) + ":" +
                             std::to_string(nuova.find(s.campo) + 1) + ": warning: ";
  std::vector<std::string> trovati;
  for (const std::string& r : righe(u.out)) {
    if (r.find(std::string("[-W") + s.avviso + "]") != std::string::npos) trovati.push_back(r);
  }
  ASSERT_EQ(trovati.size(), 1u) << u.out;
  EXPECT_EQ(trovati[0].rfind(atteso, 0), 0u) << trovati[0];
  // A warning changes nothing the compile records.
  EXPECT_EQ(codice_compilazione(), 0);
}

INSTANTIATE_TEST_SUITE_P(Portato, UnaSvista, ::testing::ValuesIn(kSviste),
                         [](const auto& i) { return std::string(i.param.nome); });

struct Guasto {
  const char* nome;
  bool in_linea;  // the line file, else the train file
  int riga;
  const char* nuova;
  int32_t codice;
  int colonna;
  // What the detail says, in the author's terms, when it matters.
  const char* dice = "";
};

void PrintTo(const Guasto& g, std::ostream* os) { *os << g.nome; }

// Faults made one at a time in the carried texts: each is reported at the
// changed line, at the field that is wrong, with the compile's code.
const Guasto kGuasti[] = {
    {"CurveWithoutItsClassDigit", true, 11, "curvad,  1150,  250", 103, 1},
    {"GradientFarBeyondTheLine", true, 153, "pendenza, 99999999, 3", 15, 11},
    {"UnreadableNumber", true, 152, "pendenza,  1050,   -3x", 25, 20},
    {"BoardTwice", true, 246, "cartello_indicatore,  900,   (DOPPIO)", 6, 23},
    {"StationOffTheGrid", false, 26,
     "stazione,    4275, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   30,  17, 7, 0, CORVALDO ALTESE", 8,
     14},
    {"StationZoneNotAMultipleOf100", false, 26,
     "stazione,    4250, 12,  650,  0, 0, 0,  1,1,0,  4,1,1,   30,  17, 7, 0, CORVALDO ALTESE", 9,
     25},
    {"SignalTwice", false, 48, "segnale,    1600,   2, 3, 1,  0, 0,    1,  3,1,0, 203", 16, 13},
    {"SlowdownBeyondTheLine", false, 45, "rallentamento,   97000,    90, 9000, 0,  1,  0", 25, 32,
     "la linea a 106000 m, oltre la fine del binario a 97950 m (la linea e la sua coda di 7 km)"},
    {"SignalNearTheStart", false, 47, "segnale,     300,   2, 3, 1,  0, 0,    1,  3,1,0, 203", 25,
     14, "la linea a -100 m, prima del suo inizio"},
    {"StationsOutOfOrder", false, 27,
     "stazione,    3000, 12,  800,  0, 0, 1,  1,1,0,  4,1,1,    0,   0, 0, 0, FERSANELLO", 22, 14,
     "la stazione a 3000 m viene nel file dopo 'CORVALDO ALTESE' a 4250 m"},
    {"MissingLastField", true, 152, "pendenza,  1050", 25, 16},
};

class UnGuasto : public Check, public ::testing::WithParamInterface<Guasto> {};

TEST_P(UnGuasto, ReportedAtTheChangedLineWithTheCompilesCode) {
  const Guasto& g = GetParam();
  if (g.in_linea) {
    scrivi(con_riga(linea, g.riga, g.nuova), treno);
  } else {
    scrivi(linea, con_riga(treno, g.riga, g.nuova));
  }
  const auto u = check();
  EXPECT_EQ(u.stato, 1) << u.out << u.err;
  const std::string atteso = std::string(g.in_linea ? kLinea : kTreno) + ":" +
                             std::to_string(g.riga) + ":" + std::to_string(g.colonna) + ": error: ";
  const std::vector<std::string> ee = errori(u.out);
  ASSERT_EQ(ee.size(), 1u) << u.out;
  EXPECT_EQ(ee[0].rfind(atteso, 0), 0u) << ee[0];
  EXPECT_NE(ee[0].find("[errore " + std::to_string(g.codice) + "]"), std::string::npos) << ee[0];
  EXPECT_NE(ee[0].find(g.dice), std::string::npos) << ee[0];
  EXPECT_EQ(codice_compilazione(), g.codice);
}

INSTANTIATE_TEST_SUITE_P(Portato, UnGuasto, ::testing::ValuesIn(kGuasti),
                         [](const auto& i) { return std::string(i.param.nome); });

// Several faults at once, in different sections of both files: each at its
// own line, in file order, and the check goes on after each.
TEST_F(Check, SeveralFaultsEachAtItsOwnLine) {
  // Those that change the same record as another, or one a later one is
  // measured against, stay out.
  const auto da_solo = [](const std::string& nome) {
    return nome == "StationZoneNotAMultipleOf100" || nome == "MissingLastField" ||
           nome == "SignalNearTheStart" || nome == "StationsOutOfOrder";
  };
  std::string l = linea;
  std::string t = treno;
  for (const Guasto& g : kGuasti) {
    const std::string nome = g.nome;
    if (da_solo(nome)) continue;
    if (g.in_linea) {
      l = con_riga(l, g.riga, g.nuova);
    } else {
      t = con_riga(t, g.riga, g.nuova);
    }
  }
  scrivi(l, t);
  const auto u = check();
  EXPECT_EQ(u.stato, 1);
  std::vector<std::string> attesi;
  for (const Guasto& g : kGuasti) {
    const std::string nome = g.nome;
    if (da_solo(nome)) continue;
    attesi.push_back(std::string(g.in_linea ? kLinea : kTreno) + ":" + std::to_string(g.riga) +
                     ":" + std::to_string(g.colonna) + ": error: [errore " +
                     std::to_string(g.codice) + "]");
  }
  std::sort(attesi.begin(), attesi.end(), [](const std::string& a, const std::string& b) {
    const auto chiave = [](const std::string& s) {
      return std::pair{s.rfind(kLinea, 0) == 0 ? 0 : 1, std::stoi(s.substr(s.find(':') + 1))};
    };
    return chiave(a) < chiave(b);
  });
  std::vector<std::string> visti;
  for (const std::string& e : errori(u.out)) {
    visti.push_back(e.substr(0, e.find(": error: ") + 9) + e.substr(e.rfind('[')));
  }
  EXPECT_EQ(visti, attesi) << u.out;
  EXPECT_TRUE(std::regex_search(righe(u.out).back(), std::regex("^7 errori, ")));
}

// The JSON form lists the same diagnostics as the text, read back with a
// real JSON parser.
TEST_F(Check, JsonListsWhatTheTextLists) {
  SALTA_SENZA_PYTHON();
  scrivi(con_riga(linea, 153, "pendenza, 99999999, 3"),
         con_riga(con_riga(treno, 48, "segnal, 1600, 2"), 26, "stazione, 4275"));
  const auto testo = check();
  const auto json = check("--json");
  EXPECT_EQ(json.stato, testo.stato);
  test::scrivi(dir.percorso() / "diagnostiche.json", json.out);
  // Each object printed in the text form, in Python.
  const auto py = esegui(
      test::Avvio{
          test::kPython,
          {"-c",
           "import json\n"
           "for d in json.load(open('diagnostiche.json', encoding='utf-8')):\n"
           "  s = d['file'] + (':%d:%d' % (d['line'], d['column']) if d['line'] else '')\n"
           "  if d['severity'] == 'error':\n"
           "    s += ': error: ' + d['message']\n"
           "    s += ' (posizione %d m)' % d['position'] if d['position'] is not None else ''\n"
           "    s += ' [errore %d]' % d['code']\n"
           "  else:\n"
           "    s += ': warning: ' + d['message'] + ' [-W' + d['warning'] + ']'\n"
           "  print(s)"}},
      dir.percorso());
  ASSERT_EQ(py.stato, 0) << py.err << json.out;
  std::vector<std::string> attese = righe(testo.out);
  attese.pop_back();  // the closing count
  EXPECT_EQ(righe(py.out), attese);
  EXPECT_GE(errori(testo.out).size(), 2u);
}

// SARIF for code scanning: read back with Python, one result per line of
// the text form, each with its rule, level, file, line and column.
TEST_F(Check, SarifHoldsWhatTheTextLists) {
  SALTA_SENZA_PYTHON();
  scrivi(con_riga(linea, 153, "pendenza, 99999999, 3"),
         con_riga(con_riga(treno, 48, "segnal, 1600, 2"), 26, "stazione, 4275"));
  const auto testo = check();
  const auto sarif = check("--format=sarif");
  EXPECT_EQ(sarif.stato, testo.stato);
  test::scrivi(dir.percorso() / "check.sarif", sarif.out);
  const auto py = esegui(
      test::Avvio{test::kPython,
                  {"-c",
                   "import json\n"
                   "log = json.load(open('check.sarif', encoding='utf-8'))\n"
                   "assert log['version'] == '2.1.0', log['version']\n"
                   "assert len(log['runs']) == 1\n"
                   "run = log['runs'][0]\n"
                   "rules = run['tool']['driver']['rules']\n"
                   "ids = [r['id'] for r in rules]\n"
                   "assert len(ids) == len(set(ids)), 'rule ids repeat'\n"
                   "for r in run['results']:\n"
                   "  assert rules[r['ruleIndex']]['id'] == r['ruleId']\n"
                   "  l = r['locations'][0]['physicalLocation']\n"
                   "  s = l['artifactLocation']['uri']\n"
                   "  if 'region' in l:\n"
                   "    s += ':%d:%d' % (l['region']['startLine'], l['region']['startColumn'])\n"
                   "  kind, name = r['ruleId'].split('-', 1)\n"
                   "  s += ': ' + r['level'] + ': ' + r['message']['text']\n"
                   "  s += ' [errore %s]' % name if kind == 'errore' else ' [-W%s]' % name\n"
                   "  print(s)"}},
      dir.percorso());
  ASSERT_EQ(py.stato, 0) << py.err << sarif.out;
  std::vector<std::string> attese = righe(testo.out);
  attese.pop_back();  // the closing count
  EXPECT_EQ(righe(py.out), attese);
  EXPECT_GE(errori(testo.out).size(), 2u);
  EXPECT_EQ(check("--format=xml").stato, 64);
}

// -Werror makes every warning an error, -Werror=NAME only that one: the
// line says which, the count and the exit status take it as an error.
TEST_F(Check, WerrorMakesWarningsErrors) {
  scrivi(con_riga(linea, 153, "pendenza,  1275,   -6"), con_riga(treno, 47, "segnal, 1600"));
  const auto tutti = check("-Werror");
  EXPECT_EQ(tutti.stato, 1) << tutti.out;
  EXPECT_NE(tutti.out.find(": error: posizione 1275 "), std::string::npos) << tutti.out;
  EXPECT_NE(tutti.out.find("[-Werror=griglia]"), std::string::npos) << tutti.out;
  EXPECT_NE(tutti.out.find("[-Werror=parola-sconosciuta]"), std::string::npos) << tutti.out;
  EXPECT_EQ(tutti.out.find(": warning: "), std::string::npos) << tutti.out;
  EXPECT_TRUE(
      std::regex_search(righe(tutti.out).back(), std::regex("^\\d+ errori, 0 avvertimenti$")))
      << tutti.out;

  const auto uno = check("-Werror=griglia");
  EXPECT_EQ(uno.stato, 1) << uno.out;
  EXPECT_NE(uno.out.find("[-Werror=griglia]"), std::string::npos) << uno.out;
  EXPECT_NE(uno.out.find(": warning: parola chiave sconosciuta"), std::string::npos) << uno.out;
  // A warning that is not shown stops nothing.
  EXPECT_EQ(check("-Werror=griglia -Wno-griglia").stato, 0);
  EXPECT_EQ(check("-Werror=boh").stato, 64);
}

TEST_F(Check, WarningsCanBeSilenced) {
  scrivi(con_riga(linea, 153, "pendenza,  1275,   -6"), con_riga(treno, 47, "segnal, 1600"));
  const auto u = check();
  EXPECT_EQ(u.stato, 0) << u.out;
  EXPECT_NE(u.out.find("[-Wgriglia]"), std::string::npos) << u.out;
  EXPECT_NE(u.out.find("[-Wparola-sconosciuta]"), std::string::npos) << u.out;
  const auto senza = check("-Wno-griglia");
  EXPECT_EQ(senza.out.find("[-Wgriglia]"), std::string::npos) << senza.out;
  EXPECT_NE(senza.out.find("[-Wparola-sconosciuta]"), std::string::npos) << senza.out;
  const auto nessuno = check("-w");
  EXPECT_EQ(nessuno.out, "0 errori, 0 avvertimenti\n");
  EXPECT_EQ(check("-Wno-boh").stato, 64);
}

// What an editor or one misspelt word leaves is named for what it is: a
// byte-order mark at the start, which changes nothing the compile reads;
// a length not read, and not the sound curve that then cannot be read.
TEST_F(Check, ByteOrderMarkAndTheRecordAfterAMisspeltLength) {
  scrivi("\xEF\xBB\xBF" + linea, treno);
  const auto bom = check();
  EXPECT_EQ(bom.stato, 0) << bom.out;
  EXPECT_NE(bom.out.find(kLinea + ":1:1: warning: il file inizia con i byte EF BB BF, il segno "
                                  "(BOM) che alcuni editor scrivono all'inizio di un file salvato "
                                  "in UTF-8"),
            std::string::npos)
      << bom.out;
  EXPECT_EQ(bom.out.find("sta prima di"), std::string::npos) << bom.out;
  EXPECT_EQ(codice_compilazione(), 0);

  scrivi(con_riga(linea, 2, "lungheza percorso,    91000"), treno);
  const auto u = check();
  EXPECT_EQ(u.stato, 1) << u.out;
  const std::vector<std::string> ee = errori(u.out);
  ASSERT_EQ(ee.size(), 1u) << u.out;
  EXPECT_EQ(ee[0].rfind(kLinea + ":11:1: error: ", 0), 0u) << ee[0];
  std::vector<std::string> sconosciute;
  for (const std::string& r : righe(u.out)) {
    if (r.find("[-Wparola-sconosciuta]") != std::string::npos) sconosciute.push_back(r);
  }
  ASSERT_EQ(sconosciute.size(), 1u) << u.out;
  EXPECT_EQ(sconosciute[0].rfind(kLinea + ":2:1: ", 0), 0u) << sconosciute[0];
  EXPECT_NE(sconosciute[0].find("(forse 'lunghezza percorso'?)"), std::string::npos);
  EXPECT_EQ(codice_compilazione(), 25);
}

TEST_F(Check, OneErrorOneWarningInTheSingular) {
  scrivi("[generale]\r\nlunghezza percorso, 10000\r\n[fine]\r\n",
         "[generale]\r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\nvelocita, 0, 100\r\n"
         "[segnali]\r\nsegnal, 1600\r\nsegnale, 100, 1,4,1,0,0,0,0,0,0,0\r\n[fine]\r\n");
  const auto u = check();
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(righe(u.out).back(), "1 errore, 1 avvertimento") << u.out;
}

TEST_F(Check, MissingAndUnreadableSources) {
  fs::remove(dir.percorso() / kTreno);
  const auto senza_treno = check("--dir .");
  EXPECT_EQ(senza_treno.stato, 1);
  EXPECT_NE(senza_treno.out.find("./" + kTreno + ": error: file del treno mancante: ./" + kTreno),
            std::string::npos)
      << senza_treno.out;

  fs::remove(dir.percorso() / kLinea);
  const auto senza_linea = check();
  EXPECT_EQ(senza_linea.stato, 1);
  EXPECT_NE(senza_linea.out.find(kLinea + ": error: "), std::string::npos) << senza_linea.out;
  EXPECT_NE(senza_linea.out.find("[errore 101]"), std::string::npos) << senza_linea.out;

  // A source that is there but cannot be read is the system's fault.
  fs::create_directory(dir.percorso() / kLinea);
  const auto illeggibile = check();
  EXPECT_EQ(illeggibile.stato, 3);
  EXPECT_NE(illeggibile.err.find(kLinea), std::string::npos) << illeggibile.err;

  EXPECT_EQ(check("--boh").stato, 64);
  EXPECT_EQ(esegui(avvio(kTool, "check Lanvero_Ostrel"), dir.percorso()).stato, 64);
}

TEST_F(Check, FilesAreNamedAsOpened) {
  fs::create_directory(dir.percorso() / "sub");
  test::scrivi(dir.percorso() / "sub" / kLinea, con_riga(linea, 11, "curvad,  1150,  250"));
  test::scrivi(dir.percorso() / "sub" / kTreno, treno);
  const auto u = check("--dir sub");
  EXPECT_EQ(u.stato, 1);
  EXPECT_EQ(errori(u.out).at(0).rfind("sub/" + kLinea + ":11:1: error: ", 0), 0u) << u.out;
}

// What the check keeps grows with the records it reads, never with blank
// lines or empty fields: 16 MB of empty lines and a line of 4 M commas read
// in an address space a tenth of what one note per line took, and say what
// the texts alone say.
TEST_F(Check, BlankLinesAndCommasCostNothingKept) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  const test::Uscita senza = check();
  scrivi(linea + std::string(16 << 20, '\n') + std::string(4 << 20, ',') + "\r\n", treno);
  test::Avvio a = avvio(kTool, "check Lanvero_Ostrel 24817");
  a.limite_memoria = 128 << 20;
  const auto u = esegui(a, dir.percorso());
  EXPECT_EQ(u.stato, senza.stato) << u.err;
  EXPECT_EQ(u.out, senza.out);
#endif
}

// Memory that runs out while the check reads names the source it was
// reading, status 3, and no diagnostics are printed.
TEST_F(Check, OutOfMemoryNamesTheSourceBeingRead) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  std::string guasti;
  for (int i = 0; i < 400000; ++i) guasti += "velocita, x\r\n";
  scrivi(linea, treno + guasti);
  test::Avvio a = avvio(kTool, "check Lanvero_Ostrel 24817");
  a.limite_memoria = 64 << 20;
  const auto u = esegui(a, dir.percorso());
  EXPECT_EQ(u.stato, 3);
  EXPECT_EQ(u.out, "");
  EXPECT_EQ(u.err, "scenario check: impossibile leggere " + (fs::path(".") / kTreno).string() +
                       ": memoria esaurita\n");
#endif
}

}  // namespace
}  // namespace scenario

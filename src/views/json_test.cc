// The JSON writer, read back by a real JSON parser (Python's json module).
#include "views/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/cartella.h"
#include "tests/support/python.h"

namespace scenario {
namespace {

// Parses `json` with Python and prints, one per line, each leaf as
// "i <int>", "r <bits of the double as unsigned>", "s <code points>",
// "n", "b <0|1>", and "{"/"}"/"["/"]" and "k <key code points>" for the
// structure. Empty when Python is missing or rejects the text.
std::string letto_da_python(const std::string& json) {
  if (test::kPython == nullptr) return {};
  const test::CartellaProva dir;
  const auto file = dir / "letto.json";
  test::scrivi(file, json);
  static const char kScript[] =
      "import json,struct,sys\n"
      "def cp(s): return ' '.join(str(ord(c)) for c in s)\n"
      "def w(v):\n"
      "  if v is None: print('n')\n"
      "  elif isinstance(v,bool): print('b',int(v))\n"
      "  elif isinstance(v,int): print('i',v)\n"
      "  elif isinstance(v,float): print('r',struct.unpack('<Q',struct.pack('<d',v))[0])\n"
      "  elif isinstance(v,str): print('s',cp(v))\n"
      "  elif isinstance(v,list):\n"
      "    print('[')\n"
      "    for x in v: w(x)\n"
      "    print(']')\n"
      "  else:\n"
      "    print('{')\n"
      "    for k,x in v.items(): print('k',cp(k)); w(x)\n"
      "    print('}')\n"
      "w(json.load(open(sys.argv[1],encoding='utf-8'),"
      "parse_constant=lambda c: sys.exit('constant '+c)))\n";
  const std::string cmd = std::string(test::kPython) + " -c \"$(cat <<'EOF_PY'\n" + kScript +
                          "EOF_PY\n)\" '" + file.string() + "'";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    if (pclose(p) != 0) out.clear();
  }
  return out;
}

std::string bits(double v) {
  uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return std::to_string(u);
}

std::string punti(std::u32string_view s) {
  std::string out;
  for (const char32_t c : s) {
    if (!out.empty()) out += ' ';
    out += std::to_string(static_cast<uint32_t>(c));
  }
  return out;
}

class JsonLetto : public ::testing::Test {
 protected:
  void SetUp() override { SALTA_SENZA_PYTHON(); }
};

TEST_F(JsonLetto, RealsReadBackAsTheSameDouble) {
  const std::vector<double> valori = {0.0,
                                      -0.0,
                                      1.0,
                                      -3.0,
                                      0.1,
                                      1.0 / 3.0,
                                      123456789012345678.0,
                                      1e300,
                                      5e-324,
                                      std::numeric_limits<double>::min(),
                                      std::numeric_limits<double>::max(),
                                      -2.5e-7,
                                      4503599627370496.5,
                                      9007199254740993.0};
  std::string json;
  ScrittoreJson w(&json);
  w.inizia_lista();
  for (const double v : valori) w.reale(v);
  w.fine_lista();
  std::string atteso = "[\n";
  for (const double v : valori) atteso += "r " + bits(v) + "\n";
  atteso += "]\n";
  EXPECT_EQ(letto_da_python(json), atteso) << json;
}

TEST_F(JsonLetto, NonFiniteRealsAreStrings) {
  std::string json;
  ScrittoreJson w(&json);
  w.inizia_lista()
      .reale(std::numeric_limits<double>::quiet_NaN())
      .reale(std::numeric_limits<double>::infinity())
      .reale(-std::numeric_limits<double>::infinity())
      .fine_lista();
  EXPECT_EQ(json, R"(["nan","inf","-inf"])");
  EXPECT_EQ(letto_da_python(json), "[\ns 110 97 110\ns 105 110 102\ns 45 105 110 102\n]\n");
}

TEST_F(JsonLetto, StringsKeepEveryCharacter) {
  // Quotes, backslashes, every control byte, DEL and multi-byte UTF-8.
  std::string controlli;
  for (int c = 1; c < 0x20; ++c) controlli.push_back(static_cast<char>(c));
  controlli += "\x7f\"\\/";
  std::u32string attesi;
  for (const char c : controlli) attesi.push_back(static_cast<unsigned char>(c));
  std::string json;
  ScrittoreJson w(&json);
  w.inizia_oggetto()
      .chiave("a\"b")
      .testo(controlli)
      .chiave("citt\xc3\xa0")
      .testo("\xe2\x82\xac 5")
      .fine_oggetto();
  EXPECT_EQ(letto_da_python(json), "{\nk " + punti(U"a\"b") + "\ns " + punti(attesi) + "\nk " +
                                       punti(U"citt\u00e0") + "\ns " + punti(U"\u20ac 5") + "\n}\n")
      << json;
}

TEST_F(JsonLetto, Windows1252TextBecomesItsCharacters) {
  std::string bytes;
  for (int b = 0x20; b < 0x100; ++b) bytes.push_back(static_cast<char>(b));
  // The code page's own table for 0x80..0x9F; the five holes map to C1.
  const std::u32string alti =
      U"\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d"
      U"\u017d\u008f\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a"
      U"\u0153\u009d\u017e\u0178";
  std::u32string attesi;
  for (char32_t c = 0x20; c < 0x80; ++c) attesi.push_back(c);
  attesi += alti;
  for (char32_t c = 0xA0; c < 0x100; ++c) attesi.push_back(c);
  std::string json;
  ScrittoreJson(&json).testo_1252(bytes);
  EXPECT_EQ(letto_da_python(json), "s " + punti(attesi) + "\n") << json;
}

TEST_F(JsonLetto, NestingAndCommas) {
  std::string json;
  ScrittoreJson w(&json);
  w.inizia_oggetto().chiave("tipo").testo("celle").chiave("celle").inizia_lista();
  for (int i = 0; i < 2; ++i) {
    w.inizia_oggetto().chiave("cella").intero(i).chiave("x").nullo().fine_oggetto();
  }
  w.inizia_lista().fine_lista().inizia_oggetto().fine_oggetto();
  w.fine_lista().chiave("ok").booleano(true).chiave("n").intero(INT64_MIN).fine_oggetto();
  EXPECT_EQ(json, R"({"tipo":"celle","celle":[{"cella":0,"x":null},{"cella":1,"x":null},[],{}],)"
                  R"("ok":true,"n":-9223372036854775808})");
  EXPECT_FALSE(letto_da_python(json).empty());
}

TEST(Json, RealsAlwaysLookReal) {
  const std::pair<double, const char*> casi[] = {{0.0, "0.0"}, {-0.0, "-0.0"},  {2.0, "2.0"},
                                                 {0.5, "0.5"}, {1e21, "1e+21"}, {0.1, "0.1"}};
  for (const auto& [v, atteso] : casi) {
    std::string json;
    ScrittoreJson(&json).reale(v);
    EXPECT_EQ(json, atteso);
  }
}

}  // namespace
}  // namespace scenario

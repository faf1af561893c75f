#include "compiler/lettore_campi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

std::vector<std::string> tutti_i_testi(const std::string& bytes) {
  LettoreCampi in(bytes, "f.txt");
  std::vector<std::string> campi;
  while (!in.fine()) campi.emplace_back(in.leggi_testo());
  return campi;
}

TEST(LettoreCampi, TextFields) {
  struct Caso {
    const char* bytes;
    std::vector<std::string> campi;
  };
  const Caso casi[] = {
      {"[generale]\r\nlunghezza percorso,    91000\r\n",
       {"[generale]", "lunghezza percorso", "91000"}},
      {"  a,b  ,  c d \r\n", {"a", "b  ", "c d "}},  // blanks after a field are kept
      {"\r\n\r\nx", {"", "", "x"}},                  // a blank line is one empty field
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},        // LF, CR and CR LF each end a line
      {"\"x,y\",z", {"\"x", "y\"", "z"}},            // a quote is an ordinary character
      {"\ta\t,\t\r\n", {"a\t", ""}},                 // tabs are blanks
      {"a,,b", {"a", "", "b"}},
      {"x,  ", {"x", ""}},  // blanks up to the end make an empty field
  };
  for (const Caso& c : casi) EXPECT_EQ(tutti_i_testi(c.bytes), c.campi) << c.bytes;
}

TEST(LettoreCampi, NumbersSeparatedByCommasBlanksOrLineEnds) {
  LettoreCampi in("orologio,    16              59            30 \r\nx,  -12800,  ,  ,  0\r\n7",
                  "t");
  EXPECT_EQ(in.leggi_testo(), "orologio");
  EXPECT_EQ(in.leggi_intero<int16_t>(), 16);
  EXPECT_EQ(in.leggi_intero<int16_t>(), 59);
  EXPECT_EQ(in.leggi_intero<int16_t>(), 30);
  EXPECT_EQ(in.leggi_testo(), "x");
  EXPECT_EQ(in.leggi_intero<int32_t>(), -12800);
  EXPECT_EQ(in.leggi_intero<int32_t>(), 0);  // empty fields read as 0
  EXPECT_EQ(in.leggi_intero<int32_t>(), 0);
  EXPECT_EQ(in.leggi_intero<int32_t>(), 0);
  EXPECT_FALSE(in.fine());
  EXPECT_EQ(in.leggi_intero<uint8_t>(), 7);
  EXPECT_TRUE(in.fine());
}

TEST(LettoreCampi, NumberConsumesOneSeparatorOnly) {
  LettoreCampi in("5,,6\r\n\r\n", "t");
  EXPECT_EQ(in.leggi_intero<int32_t>(), 5);
  EXPECT_EQ(in.leggi_testo(), "");  // the second comma ends an empty field
  EXPECT_EQ(in.leggi_intero<int32_t>(), 6);
  EXPECT_FALSE(in.fine());  // the blank line is still there
  EXPECT_EQ(in.leggi_testo(), "");
  EXPECT_TRUE(in.fine());
}

template <typename T>
bool legge(const std::string& bytes, int64_t* valore) {
  try {
    LettoreCampi in(bytes, "t");
    *valore = in.leggi_intero<T>();
    return true;
  } catch (const Guasto&) {
    return false;
  }
}

TEST(LettoreCampi, NumberFormsAndRanges) {
  struct Caso {
    const char* bytes;
    char tipo;  // 'i' int32, 's' int16, 'b' uint8
    bool valido;
    int64_t valore;
  };
  const Caso casi[] = {
      {"2147483647", 'i', true, 2147483647},
      {"-2147483648", 'i', true, -2147483648LL},
      {"2147483648", 'i', false, 0},
      {"-2147483649", 'i', false, 0},
      {"99999999999999999999999", 'i', false, 0},
      {"32767", 's', true, 32767},
      {"-32768", 's', true, -32768},
      {"32768", 's', false, 0},
      {"255", 'b', true, 255},
      {"256", 'b', false, 0},
      {"-1", 'b', false, 0},
      {"-0", 'i', true, 0},
      {"007,", 'i', true, 7},
      {"+5", 'i', false, 0},
      {"1.5", 'i', false, 0},
      {"12abc", 'i', false, 0},
      {"-", 'i', false, 0},
      {"- 5", 'i', false, 0},
      {"--5", 'i', false, 0},
      {"abc", 'i', false, 0},
      {"  \r\n", 'i', true, 0},
      {"   ", 'i', true, 0},  // blanks up to the end: an empty field
      {"", 'i', false, 0},    // nothing left to read
  };
  for (const Caso& c : casi) {
    int64_t v = -1;
    const bool ok = c.tipo == 'i'   ? legge<int32_t>(c.bytes, &v)
                    : c.tipo == 's' ? legge<int16_t>(c.bytes, &v)
                                    : legge<uint8_t>(c.bytes, &v);
    EXPECT_EQ(ok, c.valido) << c.bytes;
    if (ok && c.valido) {
      EXPECT_EQ(v, c.valore) << c.bytes;
    }
  }
}

// A value beyond its place is named as written, every digit of it.
TEST(LettoreCampi, OutOfRangeValueIsNamedInFull) {
  for (const std::string& numero :
       {std::string(10000, '9'), std::string("-0002147483649"), std::string("32768")}) {
    SCOPED_TRACE(numero.substr(0, 20));
    LettoreCampi in(numero + ",1", "f.txt");
    try {
      in.leggi_intero<int16_t>();
      ADD_FAILURE() << "no failure";
    } catch (const Guasto& g) {
      EXPECT_EQ(std::string(g.what()), "valore " + numero + " fuori dai limiti del suo posto");
    }
  }
}

TEST(LettoreCampi, ReadingPastTheEndFails) {
  LettoreCampi in("a\r\n", "t");
  EXPECT_EQ(in.leggi_testo(), "a");
  EXPECT_TRUE(in.fine());
  EXPECT_THROW(in.leggi_testo(), Guasto);
  EXPECT_THROW(in.leggi_intero<int32_t>(), Guasto);
}

TEST(LettoreCampi, KnowsWhereEachFieldStarts) {
  LettoreCampi in("[generale]\r\nlunghezza percorso,    9x1\n", "linea.txt");
  in.leggi_testo();
  EXPECT_EQ(in.luogo(), (Luogo{"linea.txt", 1, 1}));
  in.leggi_testo();
  EXPECT_EQ(in.luogo(), (Luogo{"linea.txt", 2, 1}));
  try {
    in.leggi_intero<int32_t>();
    FAIL() << "9x1 read as a number";
  } catch (const Guasto& g) {
    EXPECT_EQ(g.luogo().file, "linea.txt");
    EXPECT_EQ(g.luogo().riga, 2);
    EXPECT_EQ(g.luogo().colonna, 24);  // where the field that is wrong begins
  }
}

}  // namespace
}  // namespace scenario

#include "base/testo.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(Testo, FoldsAsciiAndWindows1252Capitals) {
  EXPECT_EQ(in_minuscolo("Lanvero_Ostrel"), "lanvero_ostrel");
  EXPECT_EQ(in_minuscolo("\xC0\xC8\xDE\xD7\x8A\x8C\x8E\x9F"), "\xE0\xE8\xFE\xD7\x9A\x9C\x9E\xFF");
  EXPECT_EQ(in_minuscolo("123_-[]"), "123_-[]");
}

TEST(Testo, SubstringTests) {
  EXPECT_TRUE(contiene("progressiva chilometrica uno", "uno"));
  EXPECT_FALSE(contiene("Progressiva chilometrica", "progressiva"));
  EXPECT_TRUE(contiene_senza_maiuscole("xx[GENERALE]yy", "[generale]"));
  EXPECT_TRUE(contiene_senza_maiuscole("CITT\xC0", "citt\xE0"));
  EXPECT_FALSE(contiene_senza_maiuscole("pend", "pendenza"));
  EXPECT_TRUE(contiene_senza_maiuscole("anything", ""));
}

TEST(Testo, Windows1252ToUtf8AndBackLosesNoByte) {
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti.push_back(static_cast<char>(b));
  EXPECT_EQ(in_1252(utf8_da_1252(tutti)), tutti);
  // One byte a character, whatever its length in UTF-8; '?' outside the
  // code page.
  EXPECT_EQ(in_1252("\xE2\x82\xAC\xC3\xA8\xF0\x9F\x98\x80\xE2\x88\x9E"), "\x80\xE8??");
}

// Spaces and tabs at the ends only; a line's end or a comma is text.
TEST(Testo, BlanksAtTheEnds) {
  EXPECT_EQ(senza_spazi(" \t[fine] \t"), "[fine]");
  EXPECT_EQ(senza_spazi("a b"), "a b");
  EXPECT_EQ(senza_spazi(" \t "), "");
  EXPECT_EQ(senza_spazi("\r\nx,\n"), "\r\nx,\n");
}

}  // namespace
}  // namespace scenario

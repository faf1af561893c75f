// The server's parts that count: lines and columns in three encodings, and
// the framing of messages.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "lsp/cornice.h"
#include "lsp/posizioni.h"

namespace scenario::lsp {
namespace {

TEST(Posizioni, LinesEndAsTheFieldReaderEndsThem) {
  const Righe r("a\r\nb\nc\rd\r\n\r\ne");
  const std::vector<std::string> attese = {"a", "b", "c", "d", "", "e"};
  ASSERT_EQ(r.quante(), attese.size());
  for (size_t i = 0; i < attese.size(); ++i) EXPECT_EQ(r.riga(i), attese[i]) << i;
  EXPECT_EQ(r.riga(99), "");
  EXPECT_EQ(Righe("").quante(), 1u);
  EXPECT_EQ(Righe("x\r\n").quante(), 2u);
}

TEST(Posizioni, ColumnsInUtf16AndUtf8) {
  // a, e grave (2 bytes), euro (3 bytes), a face beyond the BMP (4 bytes, a
  // surrogate pair), b: one byte each in Windows-1252.
  const std::string riga = "a\xC3\xA8\xE2\x82\xAC\xF0\x9F\x98\x80" "b";
  struct Caso {
    size_t colonna;
    uint32_t utf16, utf8;
  };
  const Caso casi[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 3}, {3, 3, 6}, {4, 5, 10}, {5, 6, 11}, {9, 6, 11}};
  for (const Caso& c : casi) {
    EXPECT_EQ(carattere_editor(riga, c.colonna, Codifica::utf16), c.utf16) << c.colonna;
    EXPECT_EQ(carattere_editor(riga, c.colonna, Codifica::utf8), c.utf8) << c.colonna;
    if (c.colonna <= 5) {
      EXPECT_EQ(colonna_di(riga, c.utf16, Codifica::utf16), c.colonna) << c.colonna;
      EXPECT_EQ(colonna_di(riga, c.utf8, Codifica::utf8), c.colonna) << c.colonna;
    }
  }
  // Inside a character is that character; past the end is the end.
  EXPECT_EQ(colonna_di(riga, 4, Codifica::utf16), 3u);
  EXPECT_EQ(colonna_di(riga, 2, Codifica::utf8), 1u);
  EXPECT_EQ(colonna_di(riga, 99, Codifica::utf8), 5u);
}

TEST(Cornice, MessagesAndTheHeadersThatAreNot) {
  std::istringstream in(
      "Content-Length: 2\r\n\r\n{}"
      "\r\ncontent-length:  3 \r\nContent-Type: x\r\n\r\n[1]"
      "Content-Length: tre\r\n\r\n"
      "Content-Type: x\r\n\r\n"
      "Content-Length: 1\r\nContent-Length 4\r\n\r\n"
      "Content-Length: 10\n\n{\"a\":\"\xC3\xA8\"}"
      "Content-Length: 9\r\n\r\n{}");
  struct Atteso {
    Cornice c;
    std::string corpo;
  };
  const Atteso attesi[] = {
      {Cornice::messaggio, "{}"},          {Cornice::messaggio, "[1]"},
      {Cornice::intestazione_errata, ""},  {Cornice::intestazione_errata, ""},
      {Cornice::intestazione_errata, ""},  {Cornice::messaggio, "{\"a\":\"\xC3\xA8\"}"},
      {Cornice::fine, ""},
  };
  for (const Atteso& a : attesi) {
    std::string corpo;
    EXPECT_EQ(leggi_cornice(in, &corpo), a.c);
    if (a.c == Cornice::messaggio) {
      EXPECT_EQ(corpo, a.corpo);
    }
  }
  EXPECT_EQ(incornicia("{}"), "Content-Length: 2\r\n\r\n{}");
}

}  // namespace
}  // namespace scenario::lsp

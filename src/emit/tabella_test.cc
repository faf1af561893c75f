#include "emit/tabella.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {
namespace {

struct Conversione {
  std::string_view utf8;
  std::string_view attesi;
};

TEST(InWindows1252, MapsEveryCharacterToItsOneByte) {
  const Conversione casi[] = {
      {"", ""},
      {"[generale]", "[generale]"},
      {"  blanks kept  ", "  blanks kept  "},
      {"N\u00B0 417", "N\xB0 417"},
      {"\u00E0\u00E8\u00EC\u00F2\u00F9", "\xE0\xE8\xEC\xF2\xF9"},
      {"\u00A0\u00FF", "\xA0\xFF"},
      {"\u20AC", "\x80"},  // the specials of 0x80-0x9F
      {"\u201A\u2026\u0160\u2019\u2014\u0178", "\x82\x85\x8A\x92\x97\x9F"},
  };
  for (const Conversione& c : casi) {
    EXPECT_EQ(in_windows_1252(c.utf8), c.attesi) << c.utf8;
  }
}

TEST(InWindows1252, RefusesWhatCannotReachTheFile) {
  const std::string_view casi[] = {
      "a\tb",  // tab
      "a\rb",
      "a\nb",  // a line end inside a line
      std::string_view("a\0b", 3),
      "\x7F",              // DEL
      "\u0081",            // C1 control: no Windows-1252 character
      "\u0100",            // beyond Latin-1, not among the specials
      "\u2603",            // snowman
      "\U0001F600",        // outside the basic plane
      "\x80",              // stray continuation byte
      "\xC3",              // truncated sequence
      "\xE2\x82",          // truncated sequence
      "\xC3\x28",          // bad continuation byte
      "\xC0\xAF",          // overlong
      "\xE0\x80\xAF",      // overlong
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xFF",              // never in UTF-8
      "\xB0",              // a Windows-1252 byte is not UTF-8
  };
  for (std::string_view riga : casi) {
    EXPECT_THROW(in_windows_1252(riga), std::invalid_argument) << testing::PrintToString(riga);
  }
}

TEST(ScriviTabella, WritesEachSlotWithCrLfUpToTheMarker) {
  const std::vector<std::string_view> tabella = {
      "[generale]", "", "   ", "\u00E8 ", kRiferimentoFine, "never written"};
  EXPECT_EQ(scrivi_tabella(tabella), "[generale]\r\n\r\n   \r\n\xE8 \r\n");
}

TEST(ScriviTabella, MarkerFirstGivesAnEmptyFile) {
  const std::vector<std::string_view> tabella = {kRiferimentoFine, "x"};
  EXPECT_EQ(scrivi_tabella(tabella), "");
}

TEST(ScriviTabella, OnlyTheExactMarkerStops) {
  const std::vector<std::string_view> tabella = {
      "Riferimento fine del file", " riferimento fine del file", "riferimento fine del file ",
      "riferimento fine del fil", kRiferimentoFine};
  EXPECT_EQ(scrivi_tabella(tabella),
            "Riferimento fine del file\r\n riferimento fine del file\r\n"
            "riferimento fine del file \r\nriferimento fine del fil\r\n");
}

TEST(ScriviTabella, ReadsNothingAfterTheMarker) {
  const std::vector<std::string_view> tabella = {"a", kRiferimentoFine, "\t\xFF"};
  EXPECT_EQ(scrivi_tabella(tabella), "a\r\n");
}

TEST(ScriviTabella, RefusesATableWithoutMarker) {
  EXPECT_THROW(scrivi_tabella(std::vector<std::string_view>{}), std::invalid_argument);
  EXPECT_THROW(scrivi_tabella(std::vector<std::string_view>{"a", "b", "c"}), std::invalid_argument);
}

TEST(ScriviTabella, StopsLookingAtSlot1000) {
  std::vector<std::string_view> tabella(kPostiTabella, "x");
  tabella[1000] = kRiferimentoFine;
  EXPECT_EQ(scrivi_tabella(tabella).size(), 1000u * 3);

  // A marker in slot 1001 lies outside the table.
  tabella[1000] = "x";
  tabella.push_back(kRiferimentoFine);
  EXPECT_THROW(scrivi_tabella(tabella), std::invalid_argument);
}

TEST(ScriviTabella, NamesTheSlotOfALineItCannotWrite) {
  const std::vector<std::string_view> tabella = {"a", "b", "c\td", kRiferimentoFine};
  try {
    scrivi_tabella(tabella);
    FAIL() << "a tab was written";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("slot 2"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace scenario

// The JSON reader: what it takes and refuses, checked case by case and, on
// the fuzz corpus, against Python's json module reading the same files.
#include "views/json_lettura.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/cartella.h"
#ifndef _WIN32
// The launcher is POSIX only: under Wine the corpus test skips, and its
// helpers are left out.
#include "tests/support/esegui.h"
#endif
#include "tests/support/python.h"
#include "views/json.h"

namespace scenario {
namespace {

#ifndef _WIN32
// Code points of a text, a lone surrogate's three bytes decoded as any
// other three-byte form.
std::string punti(const std::string& s) {
  std::string out = "s";
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    uint32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    if (out.size() > 1) out += ',';
    out += std::to_string(c);
    i += n;
  }
  return out;
}

// The form tests/json_canonico.py prints: an object as a dict holds it (a
// repeated key at its first place, with its last value).
std::string canonico(const ValoreJson& v) {
  switch (v.tipo()) {
    case ValoreJson::Tipo::nullo: return "n";
    case ValoreJson::Tipo::booleano: return v.booleano() ? "b1" : "b0";
    case ValoreJson::Tipo::numero: {
      if (v.scritto_intero()) return v.testo() == "-0" ? "i0" : "i" + v.testo();
      uint64_t u;
      const double d = v.numero();
      std::memcpy(&u, &d, sizeof u);
      return "r" + std::to_string(u);
    }
    case ValoreJson::Tipo::testo: return punti(v.testo());
    case ValoreJson::Tipo::lista: {
      std::string s = "[";
      for (const ValoreJson& e : v.elementi()) s += " " + canonico(e);
      return s + " ]";
    }
    case ValoreJson::Tipo::oggetto: {
      std::vector<std::string> ordine;
      std::map<std::string, std::string> valori;
      for (const auto& [k, e] : v.membri()) {
        if (!valori.count(k)) ordine.push_back(k);
        valori[k] = canonico(e);
      }
      std::string s = "{";
      for (const std::string& k : ordine) s += " k" + punti(k) + " " + valori[k];
      return s + " }";
    }
  }
  return "?";
}

std::string canonico_o_rifiuto(std::string_view testo) {
  try {
    return canonico(leggi_json(testo));
  } catch (const ErroreJson&) {
    return "rifiutato";
  }
}

std::string leggi_tutto(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
#endif

TEST(JsonLettura, TheCorpusReadsAsPythonReadsIt) {
  SALTA_SENZA_PYTHON();
#ifndef _WIN32
  const std::filesystem::path corpus = SCENARIO_SORGENTI "/fuzz/corpus/leggi_json_fuzz";
  const test::CartellaProva dir;
  const test::Uscita u = test::esegui(
      test::Avvio{test::kPython, {SCENARIO_SORGENTI "/tests/json_canonico.py", corpus.string()}},
      dir.percorso());
  ASSERT_EQ(u.stato, 0) << u.err;
  std::istringstream righe(u.out);
  std::string riga;
  size_t lette = 0, accettate = 0;
  while (std::getline(righe, riga)) {
    const size_t spazio = riga.find(' ');
    const std::string nome = riga.substr(0, spazio);
    const std::string atteso = riga.substr(spazio + 1);
    const std::string testo = leggi_tutto(corpus / nome);
    EXPECT_EQ(canonico_o_rifiuto(testo), atteso) << nome << ": " << testo;
    ++lette;
    if (atteso != "rifiutato") ++accettate;
  }
  // Both sides of the corpus are there: what is taken and what is not.
  EXPECT_GE(lette, 80u);
  EXPECT_GE(accettate, 30u);
  EXPECT_GE(lette - accettate, 30u);
#endif
}

TEST(JsonLettura, ValuesAndTheirAccessors) {
  const ValoreJson v =
      leggi_json(R"({"id": 7, "grande": 9223372036854775808, "neg": -9223372036854775808,)"
                 R"( "r": 2.5, "t": "\u00e8", "l": [true, null], "id": 8})");
  ASSERT_EQ(v.tipo(), ValoreJson::Tipo::oggetto);
  EXPECT_EQ(v.intero_di("id"), 8);  // the last of a repeated key
  EXPECT_EQ(v.membri().size(), 7u);
  EXPECT_EQ(v.intero_di("grande"), std::nullopt);
  EXPECT_EQ(v.membro("grande")->numero(), 9223372036854775808.0);
  EXPECT_EQ(v.intero_di("neg"), INT64_MIN);
  EXPECT_EQ(v.intero_di("r"), std::nullopt);
  EXPECT_EQ(v.membro("r")->numero(), 2.5);
  EXPECT_EQ(v.testo_di("t"), "\xC3\xA8");
  EXPECT_EQ(v.testo_di("id"), std::nullopt);
  EXPECT_EQ(v.membro("manca"), nullptr);
  ASSERT_EQ(v.membro("l")->elementi().size(), 2u);
  EXPECT_TRUE(v.membro("l")->elementi()[0].booleano());
  EXPECT_TRUE(v.membro("l")->elementi()[1].nullo());
}

TEST(JsonLettura, WhereAndWhyItStops) {
  struct Caso {
    const char* testo;
    size_t offset;
  };
  const Caso casi[] = {
      {"", 0}, {"[1,]", 3}, {"{\"a\" 1}", 5}, {"[1] x", 4}, {"\"abc", 4}, {"01", 1},
  };
  for (const Caso& c : casi) {
    try {
      leggi_json(c.testo);
      ADD_FAILURE() << c.testo << " was taken";
    } catch (const ErroreJson& e) {
      EXPECT_EQ(e.offset(), c.offset) << c.testo << ": " << e.what();
    }
  }
}

TEST(JsonLettura, NestingDeeperThanTheLimitIsRefusedNotOverflowed) {
  const std::string dentro = std::string(kProfonditaJson, '[') + std::string(kProfonditaJson, ']');
  EXPECT_NO_THROW(leggi_json(dentro));
  const std::string fuori = "[" + dentro + "]";
  EXPECT_THROW(leggi_json(fuori), ErroreJson);
  EXPECT_THROW(leggi_json(std::string(1000000, '{')), ErroreJson);
}

TEST(JsonLettura, WhatTheWriterWritesReadsBack) {
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("testo").testo_1252("\xE8\x80\x01\"\\");
  j.chiave("reale").reale(0.1);
  j.chiave("intero").intero(-42);
  j.chiave("lista").inizia_lista().booleano(false).nullo().fine_lista();
  j.fine_oggetto();
  const ValoreJson v = leggi_json(s);
  EXPECT_EQ(v.testo_di("testo"), "\xC3\xA8\xE2\x82\xAC\x01\"\\");
  EXPECT_EQ(v.membro("reale")->numero(), 0.1);
  EXPECT_EQ(v.intero_di("intero"), -42);
  EXPECT_EQ(v.membro("lista")->elementi().size(), 2u);
}

}  // namespace
}  // namespace scenario

#include "compiler/post/codici_gara.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

Testata con_identita(const std::string& linea, const std::string& treno) {
  Testata t{};
  t[kVoceLinea].testo = linea;
  t[kVoceTreno].testo = treno;
  return t;
}

TEST(CodiciGara, CarriedIdentity) {
  const Testata t = con_identita("Lanvero_Ostrel", "24817");
  EXPECT_EQ(testo_identita(t), "24817lanvero_ostrelrrssttuuvvzzaabbccddeeffgg");
  EXPECT_EQ(codice_gara_og(t), 2471);
  EXPECT_EQ(codice_gara_st(t), 35369);
}

TEST(CodiciGara, FirstThreeLettersWeighOneTwoThree) {
  // "abc" then the pad: the difference of two identities that differ only
  // in their first three letters is the difference of those letters' sums.
  const Testata abc = con_identita("c", "ab");
  const Testata aaa = con_identita("a", "aa");
  EXPECT_EQ(codice_gara_og(abc) - codice_gara_og(aaa), 294 - 3 * 97);
  EXPECT_EQ(codice_gara_st(abc) - codice_gara_st(aaa), 590 - 97 * 6);
}

TEST(CodiciGara, CaseOrderAndLength) {
  const Testata base = con_identita("Lanvero_Ostrel", "24817");
  const Testata maiuscole = con_identita("LANVERO_OSTREL", "24817");
  EXPECT_EQ(codice_gara_og(base), codice_gara_og(maiuscole));
  EXPECT_EQ(codice_gara_st(base), codice_gara_st(maiuscole));
  // Exchanging line and train changes the weighted code.
  const Testata scambio = con_identita("24817", "Lanvero_Ostrel");
  EXPECT_NE(codice_gara_st(base), codice_gara_st(scambio));
  // Only the first 25 characters count; a long identity uses no pad.
  const Testata lunga1 = con_identita("abcdefghijklmnopqrstuvwxyz", "1");
  const Testata lunga2 = con_identita("abcdefghijklmnopqrstuvwxQQQ", "1");
  EXPECT_EQ(codice_gara_st(lunga1), codice_gara_st(lunga2));
  // Windows-1252 capitals fold too, and codes above 127 count as unsigned.
  const Testata accento = con_identita("\xC8", "1");
  const Testata piccola = con_identita("\xE8", "1");
  EXPECT_EQ(codice_gara_og(accento), codice_gara_og(piccola));
  EXPECT_GT(codice_gara_og(piccola), codice_gara_og(con_identita("e", "1")));
  // The largest weighted sum does not fit 16 bits and is kept whole.
  const Testata alta = con_identita(std::string(30, '\xFF'), "");
  EXPECT_EQ(codice_gara_st(alta), 255 * 325);
  EXPECT_EQ(codice_gara_og(alta), 25 * 255);
}

TEST(Timbri, StampsOrRefuses) {
  struct Caso {
    int16_t dato_uno, dato_due;
    int32_t atteso;
  };
  const Caso casi[] = {{0, 0, 0}, {70, 0, 1250}, {0, 2424, 1251}, {180, 5, 1250}};
  for (const Caso& c : casi) {
    Testata t = con_identita("Lanvero_Ostrel", "24817");
    std::vector<Cella> celle(141);
    celle[1].dato_uno = c.dato_uno;
    celle[1].dato_due = c.dato_due;
    celle[1].pendenza = 100;  // attributes are not looked at
    celle[1].velocita_treno = 32;
    EXPECT_EQ(numero(timbra(t, celle)), c.atteso);
    if (c.atteso == 0) {
      EXPECT_EQ(t[kVoceLinea].intero_uno, 610);
      EXPECT_EQ(t[kVoceLinea].valore_quattro, 35369);
      EXPECT_EQ(celle[1].dato_uno, 5121);
      EXPECT_EQ(celle[1].dato_due, 2471);
    }
  }
}

}  // namespace
}  // namespace scenario

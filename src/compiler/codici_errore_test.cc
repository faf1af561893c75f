#include "compiler/codici_errore.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

// One entry per code, each number once; every code maps back to itself.
TEST(CodiciErrore, OneEntryPerNumber) {
  int32_t precedente = -1;
  for (const VoceCodice& v : codici_errore()) {
    EXPECT_GT(numero(v.codice), precedente);
    precedente = numero(v.codice);
    EXPECT_EQ(codice_di(numero(v.codice)), v.codice);
    EXPECT_EQ(significato_errore(numero(v.codice)), v.significato);
    EXPECT_FALSE(v.significato.empty());
  }
}

TEST(CodiciErrore, UnknownNumbers) {
  for (const int32_t n : {-1, 14, 23, 26, 100, 104, 1249, 1252}) {
    EXPECT_EQ(codice_di(n), std::nullopt) << n;
    EXPECT_EQ(significato_errore(n), "errore sconosciuto") << n;
  }
}

// What the reports say for the codes an author meets most.
TEST(CodiciErrore, Meanings) {
  EXPECT_EQ(significato_errore(15), "posizione oltre la fine del binario");
  EXPECT_EQ(significato_errore(25), "dato illeggibile o fuori dai limiti");
  EXPECT_EQ(significato_errore(1250), "timbro di formato gia' presente");
  EXPECT_EQ(fase(Codice::oltre_la_linea), Fase::lettura);
  EXPECT_EQ(fase(Codice::linea_senza_generale), Fase::linea);
}

}  // namespace
}  // namespace scenario

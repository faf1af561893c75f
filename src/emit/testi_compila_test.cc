// The carried line and train files go through the compiler without a fault.
#include <gtest/gtest.h>

#include <string>

#include "emit/dati_linea.h"
#include "emit/dati_treno.h"
#include "model/identita.h"
#include "model/modello.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

TEST(TestiCompilati, CarriedSourcesCompileWithoutFault) {
  const test::Prova p =
      test::compila_in_memoria(dati_linea(), dati_treno(), {.id = {"Lanvero_Ostrel", "24817"}});
  const Compilazione& c = p.c;

  EXPECT_EQ(c.errore.numero_errore, 0)
      << "at " << c.errore.posizione_errore << " m " << c.motivo_guasto;
  EXPECT_EQ(c.errore_timbri, Codice::nessuno);
  EXPECT_TRUE(c.da_scrivere());
  EXPECT_FALSE(p.resta_linea());
  EXPECT_FALSE(p.resta_treno());

  // 91000 m of line plus the 7000 m run-off, one cell every 50 m.
  ASSERT_TRUE(c.modello.celle.has_value());
  EXPECT_EQ(c.modello.ultima_cella, 1960);

  // The 57 boards fill the header entries from 80 down, in file order; the
  // board at 84150 carries its degree sign as one byte.
  const Testata& t = c.modello.testata;
  int cartelli = 0;
  for (int v = kPrimaVoceCartello; v > 0 && !t[v].testo.empty(); --v) ++cartelli;
  EXPECT_GE(cartelli, 57);
  const Voce& strada_statale = t[kPrimaVoceCartello - (295 - 244)];
  EXPECT_NE(strada_statale.testo.find("STRADA STATALE"), std::string::npos) << strada_statale.testo;
  EXPECT_NE(strada_statale.testo.find('\xB0'), std::string::npos);
}

}  // namespace
}  // namespace scenario

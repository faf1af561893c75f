// The two printed forms of a check's diagnostics.
#include "tools/scenario/diagnostiche.h"

#include <gtest/gtest.h>

#include <vector>

namespace scenario {
namespace {

Diagnostica errore(int riga, int colonna, int32_t codice, std::string messaggio,
                   std::optional<int32_t> posizione = std::nullopt) {
  Diagnostica d;
  d.file = "dir/L_linea.txt";
  d.riga = riga;
  d.colonna = colonna;
  d.codice = codice;
  d.messaggio = std::move(messaggio);
  d.posizione = posizione;
  return d;
}

Diagnostica avviso(Avviso a, std::string messaggio) {
  Diagnostica d;
  d.file = "dir/L_7-.txt";
  d.riga = 3;
  d.colonna = 1;
  d.gravita = Gravita::avviso;
  d.avviso = a;
  d.messaggio = std::move(messaggio);
  return d;
}

TEST(Diagnostiche, TextLinesInTheFormEditorsRead) {
  EXPECT_EQ(riga_diagnostica(errore(153, 11, 15, "posizione oltre la fine del binario", 99999)),
            "dir/L_linea.txt:153:11: error: posizione oltre la fine del binario "
            "(posizione 99999 m) [errore 15]");
  EXPECT_EQ(riga_diagnostica(errore(0, 0, 101, "file della linea mancante: dir/L_linea.txt")),
            "dir/L_linea.txt: error: file della linea mancante: dir/L_linea.txt [errore 101]");
  // Source text is Windows-1252; what is printed is UTF-8.
  EXPECT_EQ(riga_diagnostica(avviso(Avviso::parola_sconosciuta, "parola 'citt\xE0'")),
            "dir/L_7-.txt:3:1: warning: parola 'citt\xC3\xA0' [-Wparola-sconosciuta]");
}

TEST(Diagnostiche, ClosingCountInTheSingularAndPlural) {
  const std::vector<Diagnostica> nessuna;
  EXPECT_EQ(riepilogo_diagnostiche(nessuna), "0 errori, 0 avvertimenti");
  const std::vector<Diagnostica> una = {errore(1, 1, 25, "x"), avviso(Avviso::fine, "y")};
  EXPECT_EQ(riepilogo_diagnostiche(una), "1 errore, 1 avvertimento");
  const std::vector<Diagnostica> due = {errore(1, 1, 25, "x"), errore(2, 1, 25, "x"),
                                        avviso(Avviso::fine, "y"), avviso(Avviso::ordine, "z")};
  EXPECT_EQ(riepilogo_diagnostiche(due), "2 errori, 2 avvertimenti");
  EXPECT_TRUE(con_errori(due));
  EXPECT_FALSE(con_errori(std::vector<Diagnostica>{avviso(Avviso::fine, "y")}));
  EXPECT_EQ(testo_diagnostiche(nessuna), "0 errori, 0 avvertimenti\n");
}

TEST(Diagnostiche, JsonKeysAndNulls) {
  const std::vector<Diagnostica> dd = {errore(0, 0, 101, "m\"x"),
                                       avviso(Avviso::griglia, "citt\xE0")};
  EXPECT_EQ(json_diagnostiche(dd),
            "[{\"file\":\"dir/L_linea.txt\",\"line\":null,\"column\":null,\"severity\":\"error\","
            "\"code\":101,\"warning\":null,\"message\":\"m\\\"x\",\"position\":null},"
            "{\"file\":\"dir/L_7-.txt\",\"line\":3,\"column\":1,\"severity\":\"warning\","
            "\"code\":null,\"warning\":\"griglia\",\"message\":\"citt\xC3\xA0\","
            "\"position\":null}]\n");
}

}  // namespace
}  // namespace scenario

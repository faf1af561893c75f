// The record loop's one decision on a coded fault, under both policies.
#include "compiler/ciclo_record.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/compila.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

using test::file_linea;
using test::kId;
using test::kTrenoVuoto;

// A board on a taken cell (6), a gradient beyond the track (15), then a
// gradient and a board on the track.
const std::string kLinea = file_linea(
    "[cartelli]\r\ncartello indicatore, 1000, A\r\ncartello indicatore, 1000, B\r\n"
    "[pendenze]\r\npendenza, 99000, 5\r\npendenza, 0, 7\r\n"
    "[cartelli]\r\ncartello indicatore, 2000, C\r\n");

struct Lettura {
  ArchivioMemoria archivio;
  Modello m;
  RecordErrore errore;

  explicit Lettura(Politica politica) {
    archivio.metti(nome_sorgente_linea(kId), kLinea);
    archivio.metti(nome_sorgente_treno(kId), kTrenoVuoto);
    StatoParser s(m, errore, archivio, kId, 1);
    s.politica = politica;
    memorizza_dati(s);
  }
};

TEST(Politica, FermaEndsTheParseOnTheFirstFault) {
  Lettura l(Politica::ferma);
  EXPECT_EQ(l.errore, (RecordErrore{6, 1000}));
  EXPECT_EQ(l.m.testata[79].testo, "");
  EXPECT_EQ((*l.m.celle)[0].pendenza, 0);  // the closing fill never ran
  EXPECT_FALSE(l.archivio.esiste(nome_sorgente_linea(kId)));
  EXPECT_TRUE(l.archivio.esiste(nome_sorgente_treno(kId)));  // never read
}

TEST(Politica, ProseguiGoesOnWithTheNextRecord) {
  Lettura l(Politica::prosegui);
  EXPECT_EQ(l.errore, (RecordErrore{15, 99000}));  // the last fault recorded
  EXPECT_EQ(l.m.testata[79].testo, "C");           // read after both faults
  EXPECT_EQ((*l.m.celle)[0].pendenza, 100 + 7);
  EXPECT_FALSE(l.archivio.esiste(nome_sorgente_linea(kId)));
  EXPECT_FALSE(l.archivio.esiste(nome_sorgente_treno(kId)));
}

}  // namespace
}  // namespace scenario

// The driver: the walk runs whatever the parser recorded, and its own
// faults replace the parser's.
#include "compiler/compila.h"

#include <gtest/gtest.h>

#include "tests/support/compila.h"

namespace scenario {
namespace {

using test::compila_in_memoria;
using test::file_linea;
using test::righe;

TEST(MemorizzaPercorso, ParserFaultStaysWhenTheWalkFindsNone) {
  const auto p =
      compila_in_memoria(file_linea(""), righe({
                                             "[generale]",
                                             "rallentamento,   42600,    70, 2500, 0,  1,  50",
                                             "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
                                             "segnale,   17500,   1, 3, 1,  0, 0,    1,  3,1,0, 0",
                                             "[fine]",
                                         }));
  EXPECT_EQ(p.errore(), 16);
  EXPECT_EQ(p.posizione(), 17500);
  // The walk ran: code points before the slowdown start at 853.
  EXPECT_EQ(p.cella(848).tipo_cella, cella_abbattimento);
  EXPECT_EQ(p.cella(848).dato_uno, 180);
  EXPECT_TRUE(p.c.da_scrivere());
}

TEST(MemorizzaPercorso, WalkFaultReplacesTheParsers) {
  // Cells 14-16 taken before a slowdown starting in cell 21; then a speed
  // record beyond the track records 15.
  const auto p = compila_in_memoria(file_linea(""), righe({
                                                        "[generale]",
                                                        "abbattimento, 700, 0",
                                                        "abbattimento, 750, 0",
                                                        "abbattimento, 800, 0",
                                                        "rallentamento, 1000, 60, 500, 0, 0, 0",
                                                        "velocita, 999999, 10",
                                                        "[fine]",
                                                    }));
  EXPECT_EQ(p.errore(), 12);
  EXPECT_EQ(p.posizione(), 21 * 50);
  EXPECT_EQ(p.cella(10).tipo_cella, cella_abbattimento);  // the second group still placed
}

TEST(MemorizzaPercorso, ResetsTheHeaderTable) {
  // Entry 0 stays empty; only the parser's and the stamps' places are set.
  const auto p = compila_in_memoria(file_linea(""));
  EXPECT_EQ(p.voce(0), Voce{});
  EXPECT_EQ(p.voce(85).intero_uno, 610);
  EXPECT_EQ(p.voce(85).testo, test::kId.linea);
}

// Sources in memory whose reading or deletion of one name the system
// refuses, as a folder's archive refuses it.
class ArchivioRifiutante : public ArchivioMemoria {
 public:
  ArchivioRifiutante(std::string nome, bool in_lettura)
      : nome_(std::move(nome)), in_lettura_(in_lettura) {}
  std::string leggi(const std::string& nome) const override {
    if (in_lettura_ && nome == nome_)
      throw GuastoPiattaforma(nome, "Input/output error", "leggere");
    return ArchivioMemoria::leggi(nome);
  }
  void elimina(const std::string& nome) override {
    if (!in_lettura_ && nome == nome_) {
      throw GuastoPiattaforma(nome, "Permission denied", "eliminare");
    }
    ArchivioMemoria::elimina(nome);
  }

 private:
  std::string nome_;
  bool in_lettura_;
};

// The system refusing to read or delete a source is its failure, not the
// data's: it reaches the caller as it was raised, and never becomes fault
// 25, whether the sources were whole or the data had already failed.
TEST(MemorizzaPercorso, SystemFailureOnASourceGoesToTheCaller) {
  const Identita id{"Prova", "7"};
  const std::string treno_buono = "[generale]\r\n[fine]\r\n";
  const std::string treno_illeggibile = "[generale]\r\nvelocita, 12abc, 5\r\n";
  struct Caso {
    std::string nome;
    bool in_lettura;
    const std::string& treno;
    const char* atteso;
  };
  const Caso casi[] = {
      {nome_sorgente_linea(id), true, treno_buono, "impossibile leggere Prova_linea.txt"},
      {nome_sorgente_linea(id), false, treno_buono, "impossibile eliminare Prova_linea.txt"},
      {nome_sorgente_treno(id), true, treno_buono, "impossibile leggere Prova_7-.txt"},
      {nome_sorgente_treno(id), false, treno_buono, "impossibile eliminare Prova_7-.txt"},
      // Fault 25 of the data first; then the error tail cannot delete.
      {nome_sorgente_treno(id), false, treno_illeggibile, "impossibile eliminare Prova_7-.txt"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.atteso) + (&c.treno == &treno_buono ? "" : ", after fault 25"));
    ArchivioRifiutante archivio(c.nome, c.in_lettura);
    archivio.metti(nome_sorgente_linea(id), file_linea(""));
    archivio.metti(nome_sorgente_treno(id), c.treno);
    try {
      memorizza_percorso(archivio, id, 1);
      ADD_FAILURE() << "the failure did not reach the caller";
    } catch (const GuastoPiattaforma& g) {
      EXPECT_EQ(std::string(g.what()).rfind(c.atteso, 0), 0u) << g.what();
    }
  }
  // Without the refusal the unreadable field is fault 25, as ever.
  ArchivioMemoria archivio;
  archivio.metti(nome_sorgente_linea(id), file_linea(""));
  archivio.metti(nome_sorgente_treno(id), treno_illeggibile);
  EXPECT_EQ(memorizza_percorso(archivio, id, 1).errore.numero_errore, 25);
}

}  // namespace
}  // namespace scenario

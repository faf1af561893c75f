// The installer's run through a platform that records what it was asked to
// show, over texts the test chooses.
#include "app/avvio.h"

#include <gtest/gtest.h>

#include "app/testing/cartella_temporanea.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::CartellaTemporanea;
using testing::contenuto;

class PiattaformaFinta : public Piattaforma {
 public:
  explicit PiattaformaFinta(fs::path cartella) : cartella_(std::move(cartella)) {}
  fs::path cartella_programma() override { return cartella_; }
  void mostra_attesa() override { ++attese; }
  void messaggio_errore(const std::string& testo) override { errori.push_back(testo); }
  void messaggio_guasto(const std::string& testo) override { guasti.push_back(testo); }

  int attese = 0;
  std::vector<std::string> errori;
  std::vector<std::string> guasti;

 private:
  fs::path cartella_;
};

// The texts the run writes; set by each test.
std::string g_linea;
std::string g_treno;
std::string testo_linea() { return g_linea; }
std::string testo_treno() { return g_treno; }
std::string testo_note() { return "note\r\n"; }
const Emittitore kTesti[] = {
    {"dati_linea", nome_sorgente_linea, testo_linea},
    {"dati_treno", nome_sorgente_treno, testo_treno},
    {"dati_note", [](const Identita& id) { return nome_documento(id, "note.txt"); }, testo_note},
};
const Identita kId{"Linea_Prova", "123"};

std::string linea_con(const std::string& righe) {
  return "[generale]\r\nlunghezza percorso,    1000\r\n[cartelli]\r\n" + righe + "[fine]\r\n";
}

class Avvio : public ::testing::Test {
 protected:
  int esegui(const std::string& linea, const std::string& treno = "[generale]\r\n[fine]\r\n") {
    g_linea = linea;
    g_treno = treno;
    return avvio(piattaforma, kId, kTesti);
  }
  fs::path file(const std::string& nome) const { return dir.path() / nome; }

  CartellaTemporanea dir;
  PiattaformaFinta piattaforma{dir.path()};
};

TEST_F(Avvio, NormalRunLeavesDocumentsAndBinariesOnly) {
  EXPECT_EQ(esegui(linea_con("")), uscita_ok);
  EXPECT_EQ(piattaforma.attese, 1);
  EXPECT_TRUE(piattaforma.errori.empty());
  EXPECT_TRUE(piattaforma.guasti.empty());
  EXPECT_EQ(dir.nomi(),
            (std::vector<std::string>{"Linea_Prova_123.dat", "Linea_Prova_123.sim",
                                      "Linea_Prova_123_note.txt", "Linea_Prova_linea.dat"}));
  EXPECT_EQ(contenuto(file("Linea_Prova_123.dat")).size(), 15u * 161);
  EXPECT_EQ(contenuto(file("Linea_Prova_linea.dat")).size(), 20u * 8000 - 36);
  // A second run gives the same bytes.
  const std::string celle = contenuto(file("Linea_Prova_123.dat"));
  EXPECT_EQ(esegui(linea_con("")), uscita_ok);
  EXPECT_EQ(contenuto(file("Linea_Prova_123.dat")), celle);
}

TEST_F(Avvio, StampFaultShowsTheMessageAndWritesNoBinary) {
  struct Caso {
    const char* riga;  // an indicator at 0 lands in cell 1
    const char* messaggio;
  };
  const Caso casi[] = {
      {"indicatori_vmax,  0,  1,  0,  0,  0,  0,  0,  0,  0\r\n", " Errore n. 1250"},
      {"indicatori_vmax,  0,  0,  1,  0,  0,  0,  0,  0,  0\r\n", " Errore n. 1251"},
  };
  for (const Caso& c : casi) {
    testing::scrivi(file("Linea_Prova_123.sim"), "vecchio");
    piattaforma.errori.clear();
    EXPECT_EQ(esegui(linea_con(c.riga)), uscita_errore_timbri) << c.riga;
    EXPECT_EQ(piattaforma.errori, std::vector<std::string>{c.messaggio});
    EXPECT_EQ(contenuto(file("Linea_Prova_123.sim")), "vecchio") << "an old file keeps its bytes";
    EXPECT_FALSE(fs::exists(file("Linea_Prova_123.dat")));
    EXPECT_FALSE(fs::exists(file("Linea_Prova_linea.dat")));
    EXPECT_FALSE(fs::exists(file("Linea_Prova_linea.txt")));
    EXPECT_TRUE(fs::exists(file("Linea_Prova_123_note.txt")));
  }
}

TEST_F(Avvio, DataFaultStillWritesAndExitsWithOne) {
  EXPECT_EQ(esegui(linea_con("cartello_indicatore,  100,   (A)\r\n"
                             "indicatori_vmax,  100,  1,  1,  1,  0,  0,  0,  0,  0\r\n")),
            uscita_errore_dati);
  EXPECT_TRUE(piattaforma.errori.empty());
  EXPECT_TRUE(fs::exists(file("Linea_Prova_123.dat")));
  EXPECT_TRUE(fs::exists(file("Linea_Prova_123.sim")));
}

TEST_F(Avvio, NoCellTableNoBinaries) {
  EXPECT_EQ(esegui("nessuna intestazione\r\n"), uscita_errore_dati);  // 102
  EXPECT_EQ(dir.nomi(),
            (std::vector<std::string>{"Linea_Prova_123-.txt", "Linea_Prova_123_note.txt"}));
}

TEST_F(Avvio, PlatformFailureNamesTheFileAndKeepsFinishedFiles) {
  fs::create_directory(file("Linea_Prova_123.dat"));
  EXPECT_EQ(esegui(linea_con("")), uscita_guasto);
  ASSERT_EQ(piattaforma.guasti.size(), 1u);
  EXPECT_NE(piattaforma.guasti[0].find("Linea_Prova_123.dat"), std::string::npos);
  EXPECT_TRUE(fs::exists(file("Linea_Prova_linea.dat")));
  EXPECT_TRUE(fs::exists(file("Linea_Prova_123.sim")));
  EXPECT_TRUE(fs::is_directory(file("Linea_Prova_123.dat")));
}

TEST(TestoErrore, LeadingBlankAndOneBlankBeforeTheNumber) {
  EXPECT_EQ(testo_errore(1251), " Errore n. 1251");
  EXPECT_EQ(riga_errore({16, 17500}).rfind("errore 16, posizione 17500 m: ", 0), 0u);
}

}  // namespace
}  // namespace scenario

#include "installer/avvio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/programma.h"
#include "platform/scrittura.h"
#include "pack/eseguibile.h"
#include "tests/support/cartella.h"
#include "tests/support/eseguibili.h"

namespace scenario {
namespace {

using test::CartellaProva;
using test::leggi;
using test::nomi;
using test::scrivi;

// Records what the run asks of the platform, in place of the window and the
// message boxes.
class PiattaformaFinta : public Piattaforma {
 public:
  explicit PiattaformaFinta(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}

  std::filesystem::path cartella_programma() override { return cartella_; }
  // The program's own file: a packed installer's bytes.
  std::unique_ptr<LettoreIntervalli> apri_programma() override {
    return std::make_unique<LettoreMemoria>(programma);
  }
  std::string programma;
  void mostra_attesa() override {
    ++attese;
    cartella_durante_attesa = nomi(cartella_);
  }
  void messaggio_errore(const std::string& testo) override { errori.push_back(testo); }
  void messaggio_guasto(const std::string& testo) override { guasti.push_back(testo); }

  int attese = 0;
  std::vector<std::string> cartella_durante_attesa;
  std::vector<std::string> errori;
  std::vector<std::string> guasti;

 private:
  std::filesystem::path cartella_;
};

const Identita kId{"Prova", "7"};

std::string testo_treno() { return "[generale]\r\n[fine]\r\n"; }
std::string testo_note() { return "Nota di prova, citt\xE0\r\n\r\n"; }

// A whole line of 1000 m with a curve, a gradient and a board away from the
// stamps' cell.
std::string linea_valida() {
  return "[generale]\r\n"
         "lunghezza percorso,    1000\r\n"
         "[tracciato]\r\n"
         "curvad2,  100,  200\r\n"
         "pendenza,  500,   -3\r\n"
         "cartello indicatore,  600, BIVIO\r\n"
         "[fine]\r\n";
}
// A board at 0 takes cell 1's first stamp place.
std::string linea_cartello_in_cella_uno() {
  return "[generale]\r\n"
         "lunghezza percorso,    1000\r\n"
         "[tracciato]\r\n"
         "cartello indicatore,  0, INIZIO\r\n"
         "[fine]\r\n";
}
// An indicator at 0 whose first packed speed is 0 takes only the second place.
std::string linea_indicatore_in_cella_uno() {
  return "[generale]\r\n"
         "lunghezza percorso,    1000\r\n"
         "[tracciato]\r\n"
         "indicatori_v,  0,  0, 60, 0, 0,  0, 0, 0, 0\r\n"
         "[fine]\r\n";
}

// The texts of one test run: the two sources and one document.
std::vector<Emittitore> testi_con(std::string (*linea)()) {
  return {
      {"dati_linea", nome_sorgente_linea, linea},
      {"dati_treno", nome_sorgente_treno, testo_treno},
      {"dati_note", [](const Identita& id) { return nome_documento(id, "note.txt"); }, testo_note}};
}

const std::vector<std::string> kBinari = {nome_celle(kId), nome_testata(kId),
                                          nome_planimetria(kId)};

std::vector<std::string> ordinati(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(Avvio, StampFaultShowsErroreAndWritesNoBinaryFile) {
  struct Caso {
    const char* nome;
    std::string (*linea)();
    const char* messaggio;
  };
  const Caso casi[] = {
      {"board at 0", linea_cartello_in_cella_uno, " Errore n. 1250"},
      {"indicator at 0", linea_indicatore_in_cella_uno, " Errore n. 1251"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva cartella;
    for (const std::string& nome : kBinari) scrivi(cartella / nome, "vecchio " + nome);
    PiattaformaFinta piattaforma(cartella.percorso());

    const int stato = avvio(piattaforma, kId, testi_con(c.linea));

    EXPECT_EQ(stato, uscita_errore_timbri);
    EXPECT_EQ(piattaforma.errori, std::vector<std::string>{c.messaggio});
    EXPECT_TRUE(piattaforma.guasti.empty());
    // The window came first, before any file was touched.
    EXPECT_EQ(piattaforma.attese, 1);
    EXPECT_EQ(piattaforma.cartella_durante_attesa, ordinati(kBinari));
    // Earlier binary files keep their content; the sources are gone; the
    // document stays; nothing else is left behind.
    for (const std::string& nome : kBinari) EXPECT_EQ(leggi(cartella / nome), "vecchio " + nome);
    std::vector<std::string> attesi = kBinari;
    attesi.push_back(nome_documento(kId, "note.txt"));
    EXPECT_EQ(nomi(cartella.percorso()), ordinati(attesi));
    EXPECT_EQ(leggi(cartella / nome_documento(kId, "note.txt")), testo_note());
  }
}

TEST(Avvio, WholeRunShowsNoMessageAndReplacesTheBinaryFiles) {
  CartellaProva cartella;
  for (const std::string& nome : kBinari) scrivi(cartella / nome, "vecchio");
  PiattaformaFinta piattaforma(cartella.percorso());

  const int stato = avvio(piattaforma, kId, testi_con(linea_valida));

  EXPECT_EQ(stato, uscita_ok);
  EXPECT_TRUE(piattaforma.errori.empty());
  EXPECT_TRUE(piattaforma.guasti.empty());
  EXPECT_EQ(piattaforma.attese, 1);
  // 1000 m + 7000: 8001 plan points, cells 0 to 160, two short texts.
  EXPECT_EQ(leggi(cartella / nome_planimetria(kId)).size(), 20u * 8000 - 36);
  EXPECT_EQ(leggi(cartella / nome_celle(kId)).size(), 161u * 15);
  EXPECT_EQ(leggi(cartella / nome_testata(kId)).size(), 87u * 34 + 5 + 1 + 5);
  std::vector<std::string> attesi = kBinari;
  attesi.push_back(nome_documento(kId, "note.txt"));
  EXPECT_EQ(nomi(cartella.percorso()), ordinati(attesi));
}

TEST(Avvio, PlatformFailureEndsTheRunWithAMessageNamingTheFile) {
  {
    SCOPED_TRACE("folder missing: the message names it");
    CartellaProva cartella;
    PiattaformaFinta piattaforma(cartella / "manca");
    EXPECT_EQ(avvio(piattaforma, kId, testi_con(linea_valida)), uscita_guasto);
    ASSERT_EQ(piattaforma.guasti.size(), 1u);
    EXPECT_NE(piattaforma.guasti[0].find((cartella / "manca").string()), std::string::npos)
        << piattaforma.guasti[0];
    EXPECT_TRUE(piattaforma.errori.empty());
  }
  {
    SCOPED_TRACE("cell file name taken by a folder: no binary file is replaced");
    CartellaProva cartella;
    std::filesystem::create_directory(cartella / nome_celle(kId));
    PiattaformaFinta piattaforma(cartella.percorso());
    EXPECT_EQ(avvio(piattaforma, kId, testi_con(linea_valida)), uscita_guasto);
    ASSERT_EQ(piattaforma.guasti.size(), 1u);
    EXPECT_NE(piattaforma.guasti[0].find(nome_celle(kId)), std::string::npos)
        << piattaforma.guasti[0];
    EXPECT_TRUE(piattaforma.errori.empty());
    // The documents and the binary files go as a set: none of them is
    // made. The sources go, and no temporary is left.
    EXPECT_EQ(nomi(cartella.percorso()), ordinati({nome_celle(kId)}));
    EXPECT_TRUE(std::filesystem::is_directory(cartella / nome_celle(kId)));
  }
}

// A board and an indicator on one cell: fault 6, yet the files are written.
std::string linea_cella_occupata() {
  return "[generale]\r\n"
         "lunghezza percorso,    1000\r\n"
         "[tracciato]\r\n"
         "indicatori_v,  600,  60, 60, 60, 0,  0, 0, 0, 0\r\n"
         "cartello indicatore,  600, BIVIO\r\n"
         "[fine]\r\n";
}
// No "[generale]": the parser stops before the cell table exists.
std::string linea_senza_generale() { return "lunghezza percorso,    1000\r\n"; }

TEST(Avvio, DataFaultsExitWithOneAndWriteWhatExists) {
  {
    SCOPED_TRACE("fault after the cell table exists: the three files");
    CartellaProva cartella;
    PiattaformaFinta piattaforma(cartella.percorso());
    EXPECT_EQ(avvio(piattaforma, kId, testi_con(linea_cella_occupata)), uscita_errore_dati);
    EXPECT_TRUE(piattaforma.errori.empty());
    // The line half's fault ends the parser: the train file is never read,
    // yet the run does not leave it behind.
    std::vector<std::string> attesi = kBinari;
    attesi.push_back(nome_documento(kId, "note.txt"));
    EXPECT_EQ(nomi(cartella.percorso()), ordinati(attesi));
  }
  {
    SCOPED_TRACE("no cell table: no binary file");
    CartellaProva cartella;
    PiattaformaFinta piattaforma(cartella.percorso());
    EXPECT_EQ(avvio(piattaforma, kId, testi_con(linea_senza_generale)), uscita_errore_dati);
    // The train file was never reached; the run removes it all the same.
    EXPECT_EQ(nomi(cartella.percorso()), ordinati({nome_documento(kId, "note.txt")}));
  }
}

TEST(Avvio, CarriedRunShowsTheWindowFirstAndNoErrorBox) {
  CartellaProva cartella;
  PiattaformaFinta piattaforma(cartella.percorso());

  const int stato = avvio(piattaforma, identita_portata(), emittitori());

  EXPECT_EQ(stato, uscita_ok);
  EXPECT_EQ(piattaforma.attese, 1);
  EXPECT_TRUE(piattaforma.cartella_durante_attesa.empty());
  EXPECT_TRUE(piattaforma.errori.empty());
  EXPECT_TRUE(piattaforma.guasti.empty());
  // Only the three documents and the three binary files may stay.
  const Identita id = identita_portata();
  const std::vector<std::string> ammessi = {nome_documento(id, "scheda_treno.txt"),
                                            nome_documento(id, "rallentamenti.txt"),
                                            nome_documento(id, "note.txt"),
                                            nome_planimetria(id),
                                            nome_testata(id),
                                            nome_celle(id)};
  EXPECT_EQ(nomi(cartella.percorso()), ordinati(ammessi));
}

// The five texts of kId in an installer's order: the valid line, the train
// and three documents.
std::vector<FileNominato> cinque_testi() {
  const auto nomi = nomi_testi(kId);
  return {{nomi[0], linea_valida()},
          {nomi[1], testo_treno()},
          {nomi[2], testo_note()},
          {nomi[3], "rallentamenti\r\n"},
          {nomi[4], ""}};
}

TEST(Avvio, PackedRunWritesThePayloadsTextsAndCompilesThem) {
  CartellaProva cartella;
  PiattaformaFinta piattaforma(cartella.percorso());
  piattaforma.programma = test::elf64_minimo(4096) + codifica_carico(kId, cinque_testi());

  EXPECT_EQ(avvio(piattaforma), uscita_ok);

  EXPECT_EQ(piattaforma.attese, 1);
  EXPECT_TRUE(piattaforma.guasti.empty());
  std::vector<std::string> attesi = kBinari;
  for (const FileNominato& f : cinque_testi()) {
    if (f.nome == nome_sorgente_linea(kId) || f.nome == nome_sorgente_treno(kId)) continue;
    attesi.push_back(f.nome);
    EXPECT_EQ(leggi(cartella / f.nome), f.bytes);
  }
  EXPECT_EQ(nomi(cartella.percorso()), ordinati(attesi));
  EXPECT_EQ(leggi(cartella / nome_celle(kId)).size(), 161u * 15);
}

// A payload that is damaged, or that is not the five texts of its identity,
// writes nothing and shows no window: one message, status 3.
TEST(Avvio, DamagedPayloadWritesNothing) {
  const std::string stub = test::elf64_minimo(4096);
  const std::string buono = stub + codifica_carico(kId, cinque_testi());
  std::vector<FileNominato> quattro = cinque_testi();
  quattro.pop_back();
  std::vector<FileNominato> scambiati = cinque_testi();
  std::swap(scambiati[2], scambiati[3]);
  std::vector<FileNominato> estraneo = cinque_testi();
  estraneo[4].nome = "Altro_7_scheda_treno.txt";
  struct Caso {
    const char* nome;
    std::string programma;
    std::string motivo;
  };
  const Caso casi[] = {
      {"nothing appended", stub, "nessuno scenario aggiunto al programma"},
      {"cut short", buono.substr(0, buono.size() - 100), "dati dello scenario troncati"},
      {"four texts", stub + codifica_carico(kId, quattro), "lo scenario ha 4 file invece di 5"},
      {"texts out of order", stub + codifica_carico(kId, scambiati),
       "file inatteso nello scenario: Prova_7_rallentamenti.txt"},
      {"another identity's text", stub + codifica_carico(kId, estraneo),
       "file inatteso nello scenario: Altro_7_scheda_treno.txt"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaProva cartella;
    PiattaformaFinta piattaforma(cartella.percorso());
    piattaforma.programma = c.programma;
    EXPECT_EQ(avvio(piattaforma), uscita_guasto);
    ASSERT_EQ(piattaforma.guasti.size(), 1u);
    EXPECT_EQ(piattaforma.guasti[0].substr(0, std::string(kInstallatoreDanneggiato).size()),
              kInstallatoreDanneggiato);
    EXPECT_NE(piattaforma.guasti[0].find(c.motivo), std::string::npos) << piattaforma.guasti[0];
    EXPECT_EQ(piattaforma.attese, 0);
    EXPECT_TRUE(nomi(cartella.percorso()).empty());
  }
}

// The real file of the running program, through the platform: its headers
// say it ends where the file ends, nothing appended.
TEST(Programma, OwnFileIsAProgramWithNothingAppended) {
  const std::unique_ptr<LettoreIntervalli> programma = apri_programma();
  ASSERT_GT(programma->dimensione(), 0u);
#ifdef _WIN32
  EXPECT_EQ(tipo_eseguibile(*programma), TipoEseguibile::pe);
#else
  EXPECT_EQ(tipo_eseguibile(*programma), TipoEseguibile::elf);
#endif
  EXPECT_EQ(fine_immagine(*programma), programma->dimensione());
  EXPECT_EQ(std::filesystem::file_size(percorso_programma()), programma->dimensione());
}

TEST(Programma, MissingFileIsAPlatformFault) {
  CartellaProva cartella;
  EXPECT_THROW(apri_file(cartella / "manca"), GuastoPiattaforma);
}

}  // namespace
}  // namespace scenario

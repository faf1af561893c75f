#include "pack/carico.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "base/coding.h"
#include "tests/support/eseguibili.h"

namespace scenario {
namespace {

using namespace std::string_literals;

TEST(Carico, LayoutOnBytes) {
  const std::vector<FileNominato> file = {{"a", "xy"}};
  const std::string atteso =
      "SCNCARIC"
      "\x25\0\0\0\0\0\0\0"  // payload length, 37
      "\x01\0L"             // LINEA
      "\x01\0"
      "7"                     // TRENO
      "\x01\0"                // one file
      "\x01\0a"               // its name
      "\x02\0\0\0\0\0\0\0xy"  // its bytes
      // trailer
      "\x25\0\0\0\0\0\0\0"  // payload length
      "\x30\xb2\xe6\x90"    // CRC-32 of the 37 bytes
      "\x01\0\0\0"          // version
      "SCNCODA1"s;
  EXPECT_EQ(codifica_carico({"L", "7"}, file), atteso);
}

// Five texts with every byte value, one empty, in the installer's order.
std::vector<FileNominato> cinque_testi() {
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti.push_back(static_cast<char>(b));
  return {{"Valle_Nera_linea.txt", "[generale]\r\nlunghezza percorso, 91000\r\n"},
          {"Valle_Nera_31415-.txt", tutti},
          {"Valle_Nera_31415_note.txt", "citt\xE0\r\n"},
          {"Valle_Nera_31415_rallentamenti.txt", ""},
          {"Valle_Nera_31415_scheda_treno.txt", std::string(100000, 'z')}};
}
const Identita kValleNera{"Valle_Nera", "31415"};

void uguali(const Carico& c, const Identita& id, const std::vector<FileNominato>& file) {
  EXPECT_EQ(c.id.linea, id.linea);
  EXPECT_EQ(c.id.treno, id.treno);
  ASSERT_EQ(c.file.size(), file.size());
  for (size_t i = 0; i < file.size(); ++i) {
    EXPECT_EQ(c.file[i].nome, file[i].nome);
    EXPECT_EQ(c.file[i].bytes, file[i].bytes) << file[i].nome;
  }
}

// Counts what is read, and from where.
class LettoreContato : public LettoreMemoria {
 public:
  using LettoreMemoria::LettoreMemoria;
  void leggi(uint64_t inizio, std::span<char> d) override {
    letti += d.size();
    primo = std::min(primo, inizio);
    LettoreMemoria::leggi(inizio, d);
  }
  uint64_t letti = 0;
  uint64_t primo = UINT64_MAX;
};

TEST(Carico, ReadsBackFromTheEndReadingOnlyTrailerAndPayload) {
  const std::string stub = test::elf64_minimo(1 << 20);
  const std::string carico = codifica_carico(kValleNera, cinque_testi());
  const std::string installatore = stub + carico;
  LettoreContato lettore(installatore);
  uguali(decodifica_carico(lettore), kValleNera, cinque_testi());
  EXPECT_EQ(lettore.letti, carico.size());
  EXPECT_EQ(lettore.primo, stub.size());
}

// The identity and the names follow the rule of identities; counts and
// lengths must fit their fields.
TEST(Carico, EncoderRefusesWhatTheFormatCannotHold) {
  const std::vector<FileNominato> uno = {{"a", ""}};
  for (const Identita& id : {Identita{"", "7"}, Identita{"L", "a/b"}, Identita{"L x", "7"}}) {
    EXPECT_THROW(codifica_carico(id, uno), std::invalid_argument) << id.linea << id.treno;
  }
  for (const char* nome : {"", ".", "..", "../a", "a\\b", "c:d", "a b"}) {
    const std::vector<FileNominato> f = {{nome, ""}};
    EXPECT_THROW(codifica_carico({"L", "7"}, f), std::invalid_argument) << nome;
  }
  const std::vector<FileNominato> lungo = {{std::string(70000, 'n'), ""}};
  EXPECT_THROW(codifica_carico({"L", "7"}, lungo), std::invalid_argument);
  const std::vector<FileNominato> troppi(kMassimoFile + 1, FileNominato{"a", ""});
  EXPECT_THROW(codifica_carico({"L", "7"}, troppi), std::invalid_argument);
}

std::string motivo(const std::string& installatore) {
  LettoreMemoria lettore(installatore);
  try {
    decodifica_carico(lettore);
  } catch (const CaricoDanneggiato& e) {
    return e.what();
  }
  return "nessun guasto";
}

TEST(Carico, DamageIsNamed) {
  const std::string stub = test::elf64_minimo(4096);
  const std::string carico = codifica_carico(kValleNera, cinque_testi());
  const std::string dati = carico.substr(0, carico.size() - kLunghezzaCoda);
  std::string alterato = stub + carico;
  alterato[stub.size() + 300] ^= 0x01;
  struct Caso {
    const char* nome;
    std::string installatore;
    std::string motivo;
  };
  const Caso casi[] = {
      {"nothing appended", stub, "nessuno scenario aggiunto al programma"},
      {"payload cut short", stub + dati.substr(0, 1000),
       "dati dello scenario troncati (1000 byte su " + std::to_string(dati.size()) + " byte)"},
      {"cut inside the header", stub + dati.substr(0, 10),
       "dati dello scenario troncati (10 byte dopo il programma)"},
      {"trailer missing", stub + dati, "chiusura dei dati dello scenario mancante o incompleta"},
      {"trailer cut short", stub + carico.substr(0, carico.size() - 5),
       "chiusura dei dati dello scenario mancante o incompleta"},
      {"flipped payload byte", alterato, "dati dello scenario alterati (CRC-32 "},
      {"program cut short", stub.substr(0, 3000),
       "programma troncato (3000 byte su " + std::to_string(stub.size()) + " byte)"},
      {"foreign bytes after the program", stub + std::string(100, 'q'),
       "dati dopo il programma che non sono uno scenario"},
      {"not an executable", std::string(10, 'q') + dati,
       "dati dello scenario mancanti o incompleti (nessuna chiusura)"},
      {"empty file", "", "dati dello scenario mancanti o incompleti (nessuna chiusura)"},
  };
  for (const Caso& c : casi) {
    EXPECT_EQ(motivo(c.installatore).substr(0, c.motivo.size()), c.motivo) << c.nome;
  }
}

// Whatever single byte of the payload or the trailer is changed, the
// installer finds out.
TEST(Carico, EveryFlippedByteIsFound) {
  const std::string stub = test::pe_minimo(512);
  const std::vector<FileNominato> piccoli = {{"Prova_linea.txt", "linea"},
                                             {"Prova_7-.txt", "treno"}};
  const std::string installatore = stub + codifica_carico({"Prova", "7"}, piccoli);
  for (size_t i = stub.size(); i < installatore.size(); ++i) {
    for (const char maschera : {'\x01', '\x80'}) {
      std::string x = installatore;
      x[i] ^= maschera;
      EXPECT_NE(motivo(x), "nessun guasto") << "byte " << i - stub.size();
    }
  }
}

// A payload whose CRC-32 is right but whose fields are not: made by a
// faulty or hostile packer.
std::string sigillato(const std::string& dati) {
  std::string c = dati;
  PutFixed64(&c, dati.size());
  PutFixed32(&c, static_cast<uint32_t>(
                     crc32_z(0, reinterpret_cast<const Bytef*>(dati.data()), dati.size())));
  PutFixed32(&c, kVersioneCarico);
  c += kMagiaCoda;
  return c;
}
std::string intestazione(uint64_t lunghezza) {
  std::string h(kMagiaCarico);
  PutFixed64(&h, lunghezza);
  return h;
}
// A payload of the given body, its length field right.
std::string con_corpo(const std::string& corpo) {
  return intestazione(kLunghezzaIntestazione + corpo.size()) + corpo;
}

TEST(Carico, SealedButMalformedPayloadsAreRefused) {
  struct Caso {
    const char* nome;
    std::string dati;
    std::string motivo;
  };
  const std::string id = "\x01\0L\x01\0"s + "7";
  const std::string un_file = id + "\x01\0\x01\0a\x02\0\0\0\0\0\0\0xy"s;
  const Caso casi[] = {
      {"header length differs", intestazione(99) + un_file.substr(0), "intestazione non valida"},
      {"identity with a slash", con_corpo("\x03\0a/b\x01\0"s + "7\0\0"s), "identita' non valida"},
      {"file named ..", con_corpo(id + "\x01\0\x02\0..\0\0\0\0\0\0\0\0"s),
       "nome di file non valido"},
      {"too many files", con_corpo(id + "\xFF\xFF"s), "65535 file"},
      {"file longer than the payload", con_corpo(id + "\x01\0\x01\0a\xFF\0\0\0\0\0\0\0xy"s),
       "un file oltre la fine dei dati"},
      {"bytes after the last file", con_corpo(un_file + "!"), "byte in piu' dopo l'ultimo file"},
      {"identity cut short", con_corpo("\x05\0L"s), "LINEA oltre la fine dei dati"},
  };
  const std::string stub = test::elf64_minimo(64);
  for (const Caso& c : casi) {
    const std::string m = motivo(stub + sigillato(c.dati));
    EXPECT_NE(m.find(c.motivo), std::string::npos) << c.nome << ": " << m;
  }
  EXPECT_EQ(motivo(stub + sigillato(con_corpo(un_file))), "nessun guasto");
}

TEST(Carico, TrailerOfAnotherVersionOrLengthIsRefused) {
  const std::string stub = test::elf64_minimo(64);
  const std::string carico = codifica_carico({"L", "7"}, std::vector<FileNominato>{{"a", "xy"}});
  const size_t coda = stub.size() + carico.size() - kLunghezzaCoda;
  std::string versione = stub + carico;
  versione[coda + 12] = 2;
  EXPECT_EQ(motivo(versione), "formato dei dati dello scenario sconosciuto (versione 2)");
  std::string lunghezza = stub + carico;
  lunghezza[coda + 6] = 1;
  EXPECT_EQ(motivo(lunghezza).substr(0, 42), "dati dello scenario troncati (la chiusura ");
}

}  // namespace
}  // namespace scenario

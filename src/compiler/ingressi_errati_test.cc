// Bad source texts, one row each: the code and position the compiler must
// record, where in which file it read the fault, and what it leaves: the
// sources still there and whether the binary files get written.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emit/dati_linea.h"
#include "emit/dati_treno.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

using test::compila_in_memoria;
using test::file_linea;
using test::kTrenoVuoto;
using test::righe;

struct Caso {
  std::string nome;
  std::optional<std::string> linea;
  std::optional<std::string> treno;
  int32_t codice;
  int32_t posizione = 0;
  // "linea:R" or "treno:R", the source line the fault was read on; "" when
  // it belongs to no place in a file; nothing when not checked.
  std::optional<std::string> dove = "";
  bool resta_linea = false;
  bool resta_treno = false;
  bool scritto = true;  // the cell table exists and the stamps passed
  int32_t j = 1;
};

void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

// 10 MB from a fixed generator: the same garbage on every machine.
const std::string& spazzatura() {
  static const std::string s = [] {
    std::string b(10 << 20, '\0');
    uint64_t x = 0x9E3779B97F4A7C15u;  // xorshift64
    for (size_t i = 0; i < b.size(); i += 8) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      for (size_t k = 0; k < 8; ++k) b[i + k] = static_cast<char>(x >> (8 * k));
    }
    return b;
  }();
  return s;
}

// Boards on cells 2, 3, 4, ..., one per 50 m.
std::string cartelli(int n) {
  std::string s = "[indicazioni]\r\n";
  for (int k = 1; k <= n; ++k) {
    s += "cartello_indicatore, " + std::to_string(50 * k) + ", (C" + std::to_string(k) + ")\r\n";
  }
  return s;
}

// Stations without cell marks (type 25), 500 m apart.
std::string stazioni(int n) {
  std::string s = "[generale]\r\n";
  for (int k = 0; k < n; ++k) {
    s += "stazione, " + std::to_string(1000 + 500 * k) +
         ", 25, 100, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, S" + std::to_string(k) + "\r\n";
  }
  return s + "[fine]\r\n";
}

std::string treno(std::initializer_list<std::string> rr) {
  std::string s = "[generale]\r\n";
  for (const std::string& r : rr) s += r + "\r\n";
  return s + "[fine]\r\n";
}

const std::string kLinea = file_linea("");  // 91000 m: cells 0 to 1960, points 0 to 98000
const std::string kGenerale = "[generale]\r\nlunghezza percorso, 2000\r\n";
const std::string kRigaStazione = ", 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, ";

std::vector<Caso> casi() {
  return {
      // Empty and missing files.
      {.nome = "LineaAssente",
       .linea = std::nullopt,
       .treno = kTrenoVuoto,
       .codice = 101,
       .resta_treno = true,
       .scritto = false},
      {.nome = "LineaVuota",
       .linea = "",
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:1",
       .scritto = false},
      {.nome = "TrenoVuoto", .linea = kLinea, .treno = "", .codice = 25, .dove = "treno:1"},
      // The file that is missing, at no line of it.
      {.nome = "TrenoAssente",
       .linea = kLinea,
       .treno = std::nullopt,
       .codice = 25,
       .dove = "treno:0"},
      // No "[generale]".
      {.nome = "LineaSenzaGenerale",
       .linea = righe({"lunghezza percorso, 2000", "[fine]"}),
       .treno = kTrenoVuoto,
       .codice = 102,
       .dove = "linea:2",
       .resta_treno = true,
       .scritto = false},
      {.nome = "GeneraleUltimoCampo",
       .linea = "x\r\n[generale]",
       .treno = kTrenoVuoto,
       .codice = 102,
       .dove = "linea:2",
       .resta_treno = true,
       .scritto = false},
      // A train file without its heading fails as a missing one: 25, both
      // sources deleted, the files written.
      {.nome = "TrenoSenzaGenerale",
       .linea = kLinea,
       .treno = righe({"velocita, 0, 30"}),
       .codice = 25,
       .dove = "treno:1"},
      {.nome = "TrenoDiUnByte", .linea = kLinea, .treno = "x", .codice = 25, .dove = "treno:1"},
      {.nome = "TrenoGeneraleUltimoCampo",
       .linea = kLinea,
       .treno = "velocita, 0, 30\r\n[GENERALE]",
       .codice = 0},
      // Huge and negative lengths.
      {.nome = "LunghezzaOltre32Bit",
       .linea = "[generale]\r\nlunghezza percorso, 99999999999\r\n[fine]\r\n",
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:2",
       .scritto = false},
      {.nome = "LunghezzaOltreIlMassimo",
       .linea = file_linea("", 1000001),
       .treno = kTrenoVuoto,
       .codice = 1,
       .dove = "linea:2",
       .resta_treno = true,
       .scritto = false},
      {.nome = "LunghezzaNegativa",
       .linea = file_linea("", -1),
       .treno = kTrenoVuoto,
       .codice = 1,
       .dove = "linea:2",
       .resta_treno = true,
       .scritto = false},
      {.nome = "LunghezzaMassima",
       .linea = file_linea("", 1000000),
       .treno = kTrenoVuoto,
       .codice = 0},
      // Numbers out of each place's range: 32-bit, 16-bit and 8-bit.
      {.nome = "SfondoOltre32Bit",
       .linea = kGenerale + "sfondo uno, 2147483648\r\n[fine]\r\n",
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:3"},
      {.nome = "SfondoMinimo32Bit",
       .linea = kGenerale + "sfondo uno, -2147483648\r\n[fine]\r\n",
       .treno = kTrenoVuoto,
       .codice = 0},
      {.nome = "OrologioOltre16Bit",
       .linea = kLinea,
       .treno = treno({"orologio, 32768 0 0"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "OrologioSotto16Bit",
       .linea = kLinea,
       .treno = treno({"orologio, 0 -32769 0"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "SabbiaMassima16Bit",
       .linea = kLinea,
       .treno = treno({"sabbia, 32767"}),
       .codice = 0},
      {.nome = "TipoStazioneOltre8Bit",
       .linea = kLinea,
       .treno = treno({"stazione, 1000, 256, 100" + kRigaStazione + "X"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "TipoStazioneNegativo",
       .linea = kLinea,
       .treno = treno({"stazione, 1000, -1, 100" + kRigaStazione + "X"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "OraStazioneOltre32Bit",
       .linea = kLinea,
       .treno = treno({"stazione, 1000, 25, 100, 0, 0, 0, 1,1,0, 4,1,1, 0, 596524, 0, 0, X"}),
       .codice = 25,
       .dove = "treno:2"},
      // Found while the profile is filled, at the record that set the speed.
      {.nome = "VelocitaOltreIlByte",
       .linea = kLinea,
       .treno = treno({"velocita, 0, 1278"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "VelocitaMassima",
       .linea = kLinea,
       .treno = treno({"velocita, 0, 1277"}),
       .codice = 0},
      {.nome = "IndicatoreOltre16Bit",
       .linea = file_linea("[cartelli]\r\nindicatori_vmax, 1250, 1639, 0, 0, 0, 0, 0, 0, 0\r\n"),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      // Fields with dashes: a keyword with one is passed over, a value with
      // one in the middle is not a number.
      {.nome = "TrattinoInUnNumero",
       .linea = file_linea("[pendenze]\r\npendenza, 1-2, 5\r\n"),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      {.nome = "DoppioTrattino",
       .linea = file_linea("[pendenze]\r\npendenza, 1000, --5\r\n"),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      {.nome = "TrattinoDaSolo",
       .linea = kLinea,
       .treno = treno({"velocita, -, 30"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "ChiaveConTrattino",
       .linea = file_linea("[pendenze]\r\npendenza-x, 1000, 5\r\npendenza, 1000, -5\r\n"),
       .treno = kTrenoVuoto,
       .codice = 0},
      // Unterminated last lines.
      {.nome = "LineaSenzaACapoFinale",
       .linea = kGenerale + "[pendenze]\r\npendenza, 0, 5",
       .treno = kTrenoVuoto,
       .codice = 0},
      {.nome = "TrenoSenzaACapoFinale",
       .linea = kLinea,
       .treno = "[generale]\r\nvelocita, 0, 30",
       .codice = 0},
      {.nome = "RecordTroncatoAFineFile",
       .linea = kGenerale + "[pendenze]\r\npendenza, 1000",
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      {.nome = "StazioneTroncataAFineFile",
       .linea = kLinea,
       .treno = "[generale]\r\nstazione, 1000, 25, 100, 0, 0",
       .codice = 25,
       .dove = "treno:2"},
      // Positions beyond the track.
      {.nome = "PendenzaOltreLaLinea",
       .linea = file_linea("[pendenze]\r\npendenza, 97901, 0\r\n"),
       .treno = kTrenoVuoto,
       .codice = 15,
       .posizione = 97901,
       .dove = "linea:4"},
      {.nome = "SegnaleOltreLaLinea",
       .linea = kLinea,
       .treno = treno({"segnale, 97901, 1, 3, 1, 0, 0, 1, 3,1,0, 0"}),
       .codice = 15,
       .posizione = 97901,
       .dove = "treno:2"},
      // Records whose cells fall outside the table.
      {.nome = "MontagnaOltreLUltimaCella",
       .linea = file_linea("[montagne]\r\nmontagna, 90000, 200000, 2\r\n"),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      {.nome = "IndicatoreInPosizioneNegativa",
       .linea = file_linea("[cartelli]\r\nindicatori_vmax, -100, 1, 1, 1, 0, 1, 1, 1, 0\r\n"),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      {.nome = "PendenzeOltreLUltimaCella",
       .linea = file_linea(
           "[pendenze]\r\npendenza, 6900, 1\r\npendenza, 6900, 1\r\npendenza, 6900, 1\r\n"
           "pendenza, 6900, 1\r\npendenza, 6900, 1\r\n",
           0),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:8"},
      {.nome = "SegnaleConAvvicinamentoSottoZero",
       .linea = kLinea,
       .treno = treno({"segnale, 100, 2, 3, 1, 0, 0, 1, 3,1,0, 0"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "StazioneConSegniOltreLUltimaCella",
       .linea = kLinea,
       .treno = treno({"stazione, 97000, 12, 3000" + kRigaStazione + "X"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "RallentamentoOltreLUltimaCella",
       .linea = kLinea,
       .treno = treno({"rallentamento, 97000, 60, 5000, 0, 0, 0"}),
       .codice = 25,
       .dove = "treno:2"},
      {.nome = "AbbattimentoInPosizioneNegativa",
       .linea = kLinea,
       .treno = treno({"abbattimento, -50, 3"}),
       .codice = 25,
       .dove = "treno:2"},
      // Curves past the plan's end, or without a class.
      {.nome = "CurvaOltreLaFineDelPiano",
       .linea = file_linea("[curve]\r\ncurvad2, 97000, 5000\r\n"),
       .treno = kTrenoVuoto,
       .codice = 103,
       .dove = "linea:4",
       .resta_treno = true},
      {.nome = "CurvaOltreIlMilione",
       .linea = file_linea("[curve]\r\ncurvad2, 999000, 5000\r\n", 1000000),
       .treno = kTrenoVuoto,
       .codice = 103,
       .dove = "linea:4",
       .resta_treno = true},
      {.nome = "CurvaSenzaClasse",
       .linea = file_linea("[curve]\r\ncurva, 1000, 100\r\n"),
       .treno = kTrenoVuoto,
       .codice = 103,
       .dove = "linea:4",
       .resta_treno = true},
      {.nome = "CurvaSenzaPiano",
       .linea = file_linea("[curve]\r\ncurva, 1000, 100\r\n"),
       .treno = kTrenoVuoto,
       .codice = 0,
       .j = 0},
      // Boards beyond the 80th, texts beyond 16-bit lengths.
      {.nome = "Cartelli80", .linea = file_linea(cartelli(80)), .treno = kTrenoVuoto, .codice = 0},
      {.nome = "Cartelli81",
       .linea = file_linea(cartelli(81)),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:84"},
      {.nome = "TestoDelCartelloOltre65535Byte",
       .linea = file_linea("[indicazioni]\r\ncartello_indicatore, 900, " + std::string(65536, 'A') +
                           "\r\n"),
       .treno = kTrenoVuoto,
       .codice = 25,
       .dove = "linea:4"},
      {.nome = "NomeDellaStazioneOltre65535Byte",
       .linea = kLinea,
       .treno = treno({"stazione, 1000, 25, 100" + kRigaStazione + std::string(65536, 'S')}),
       .codice = 25,
       .dove = "treno:2"},
      // Stations beyond the free entries below the boards.
      {.nome = "Cartelli80PoiUnaStazione",
       .linea = file_linea(cartelli(80)),
       .treno = stazioni(1),
       .codice = 10,
       .dove = "treno:2"},
      {.nome = "Stazioni78SenzaCartelli", .linea = kLinea, .treno = stazioni(78), .codice = 0},
      {.nome = "Stazioni79SenzaCartelli",
       .linea = kLinea,
       .treno = stazioni(79),
       .codice = 10,
       .dove = "treno:80"},
      {.nome = "Stazioni21Con57Cartelli",
       .linea = file_linea(cartelli(57)),
       .treno = stazioni(21),
       .codice = 0},
      {.nome = "Stazioni22Con57Cartelli",
       .linea = file_linea(cartelli(57)),
       .treno = stazioni(22),
       .codice = 10,
       .dove = "treno:23"},
  };
}

// 10 MB of garbage: as the line file, after the line's general section,
// after the train's heading. Kept apart: built once, in one test.
std::vector<Caso> casi_spazzatura() {
  return {
      {.nome = "SpazzaturaComeLinea",
       .linea = spazzatura(),
       .treno = kTrenoVuoto,
       .codice = 102,
       .dove = std::nullopt,
       .resta_treno = true,
       .scritto = false},
      {.nome = "SpazzaturaDopoIlGenerale",
       .linea = kGenerale + spazzatura(),
       .treno = kTrenoVuoto,
       .codice = 0},
      {.nome = "SpazzaturaNelTreno",
       .linea = kLinea,
       .treno = "[generale]\r\n" + spazzatura(),
       .codice = 0},
  };
}

// "linea:R" / "treno:R" for a place in a source, "" for none.
std::string dove(const Compilazione& c) {
  if (!c.luogo_errore || c.luogo_errore->file.empty()) return "";
  const std::string& f = c.luogo_errore->file;
  const char* quale = f == nome_sorgente_linea(test::kId)   ? "linea"
                      : f == nome_sorgente_treno(test::kId) ? "treno"
                                                            : "?";
  return std::string(quale) + ":" + std::to_string(c.luogo_errore->riga);
}

void controlla(const Caso& k) {
  SCOPED_TRACE(k.nome);
  const auto p = compila_in_memoria(k.linea, k.treno, {.j = k.j});
  EXPECT_EQ(p.errore(), k.codice) << p.c.motivo_guasto;
  EXPECT_EQ(p.posizione(), k.posizione);
  if (k.dove) {
    EXPECT_EQ(dove(p.c), *k.dove);
  }
  EXPECT_EQ(p.c.motivo_guasto.empty(), k.codice != 25) << p.c.motivo_guasto;
  EXPECT_EQ(p.resta_linea(), k.resta_linea);
  EXPECT_EQ(p.resta_treno(), k.resta_treno);
  EXPECT_EQ(p.c.errore_timbri, Codice::nessuno);
  EXPECT_EQ(p.c.da_scrivere(), k.scritto);
  // Whatever was read, the tables keep their shapes.
  if (p.c.modello.celle) {
    EXPECT_EQ(p.c.modello.celle->size(), static_cast<size_t>(p.c.modello.ultima_cella) + 1);
  }
  for (const Voce& v : p.c.modello.testata) EXPECT_LE(v.testo.size(), 0xFFFFu);
}

class IngressoErrato : public ::testing::TestWithParam<Caso> {};

TEST_P(IngressoErrato, RecordsItsFaultAndLeavesWhatItMust) { controlla(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Tabella, IngressoErrato, ::testing::ValuesIn(casi()),
                         [](const auto& info) { return info.param.nome; });

TEST(Spazzatura, TenMegabytesRecordTheirFaultAndLeaveWhatTheyMust) {
  for (const Caso& k : casi_spazzatura()) controlla(k);
}

// CR LF, a lone LF and a lone CR each end a line: the carried sources give
// the same model with any of them.
TEST(FineRiga, LoneCrAndLfGiveTheSameModel) {
  const auto con = [](std::string s, const char* fine) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s.compare(i, 2, "\r\n") == 0) {
        r += fine;
        ++i;
      } else {
        r += s[i];
      }
    }
    return r;
  };
  const auto crlf = compila_in_memoria(dati_linea(), dati_treno());
  ASSERT_EQ(crlf.errore(), 0);
  for (const char* fine : {"\n", "\r"}) {
    const auto p = compila_in_memoria(con(dati_linea(), fine), con(dati_treno(), fine));
    EXPECT_EQ(p.c.errore, crlf.c.errore) << int{fine[0]};
    EXPECT_TRUE(p.c.modello.celle == crlf.c.modello.celle) << int{fine[0]};
    EXPECT_TRUE(p.c.modello.planimetria == crlf.c.modello.planimetria) << int{fine[0]};
    EXPECT_EQ(p.c.modello.testata, crlf.c.modello.testata) << int{fine[0]};
  }
}

}  // namespace
}  // namespace scenario

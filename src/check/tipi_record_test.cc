// The table of record kinds against the reader and the check: each kind's
// carried keyword starts its own record and no other, its fields are the
// values its handler reads, and a failure inside a record points at the
// field the handler names.
#include "compiler/tipi_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check/controllo.h"
#include "base/testo.h"

namespace scenario {
namespace {

const Identita kId{"Linea_Prova", "7"};
const char kLinea[] = "[generale]\nlunghezza percorso, 10000\n";
const char kTreno[] = "[generale]\naderenza, 0, 100\nvelocita, 0, 100\n";

bool prende(const DefinizioneRecord& d, std::string_view campo) {
  const auto ha = [&](std::string_view p) {
    return d.confronto == Confronto::esatto ? contiene(campo, p)
                                            : contiene_senza_maiuscole(campo, p);
  };
  return ha(d.parola) && ha(d.seconda_parola);
}

TEST(TipiRecord, EachCarriedKeywordStartsItsOwnRecordOnly) {
  for (const DefinizioneRecord& d : tipi_record()) {
    SCOPED_TRACE(std::string(d.nome));
    EXPECT_EQ(&definizione(d.tipo), &d);
    for (const DefinizioneRecord& altro : tipi_letti(d.lettura)) {
      EXPECT_EQ(prende(altro, d.nome), &altro == &d) << altro.nome;
    }
    EXPECT_FALSE(d.campi.empty());
  }
}

// A record of the kind, written with its carried keyword and `valori`
// values, in a pair of sources that is sound without it; and the line it
// stands on.
ArchivioMemoria con_record(const DefinizioneRecord& d, size_t valori, int& riga) {
  // The few keywords that need more than their words to be sound.
  std::string r = d.tipo == TipoRecord::curva         ? "curvad1"
                  : d.tipo == TipoRecord::ripetizione ? "ripetizione segnali 4"
                                                      : std::string(d.nome);
  for (size_t k = 0; k < valori; ++k) {
    const bool testo = k + 1 == d.campi.size() &&
                       (d.tipo == TipoRecord::cartello || d.tipo == TipoRecord::stazione);
    const std::string_view unita = k < d.campi.size() ? d.campi[k].unita : "";
    r += testo ? ", T" : unita == "m" ? ", 1000" : ", 0";
  }
  r += "\n";
  std::string linea = kLinea, treno = kTreno;
  std::string& dove = d.file() == FileSorgente::linea ? linea : treno;
  if (d.lettura == LetturaRecord::successive_linea) dove += std::string(d.intestazione) + "\n";
  riga = static_cast<int>(std::count(dove.begin(), dove.end(), '\n')) + 1;
  dove += r;
  linea += "[fine]\n";
  treno += "[fine]\n";
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(kId), linea);
  a.metti(nome_sorgente_treno(kId), treno);
  return a;
}

// What the check says of the record's line about its fields: a value
// that cannot be read, a value taken from the next line, one left over.
std::vector<std::string> dei_campi(const ArchivioMemoria& a, const DefinizioneRecord& d, int riga) {
  const std::string file =
      d.file() == FileSorgente::linea ? nome_sorgente_linea(kId) : nome_sorgente_treno(kId);
  std::vector<std::string> detti;
  for (const Diagnostica& x : controlla(a, kId)) {
    const bool dei_campi = x.errore() ? x.codice == 25 : x.avviso == Avviso::campi;
    if (dei_campi && x.file == file && (x.riga == riga || x.riga == riga + 1)) {
      detti.push_back(std::to_string(x.riga) + ": " + x.messaggio);
    }
  }
  return detti;
}

TEST(TipiRecord, FieldsAreTheValuesTheHandlerReads) {
  for (const DefinizioneRecord& d : tipi_record()) {
    if (d.tipo == TipoRecord::lunghezza) continue;  // the sources' own
    SCOPED_TRACE(std::string(d.nome));
    int riga = 0;
    const size_t n = d.campi.size();
    EXPECT_EQ(dei_campi(con_record(d, n, riga), d, riga), std::vector<std::string>{});
    ArchivioMemoria uno_in_piu = con_record(d, n + 1, riga);
    EXPECT_FALSE(dei_campi(uno_in_piu, d, riga).empty()) << "one value more is not noticed";
    ArchivioMemoria uno_in_meno = con_record(d, n - 1, riga);
    EXPECT_FALSE(dei_campi(uno_in_meno, d, riga).empty()) << "one value less is not noticed";
  }
}

// The column of a record's field `k` (-1: its keyword) on a line whose
// fields are parted by ", ".
int colonna(const std::string& riga, int k) {
  size_t da = 0;
  for (int i = 0; i <= k; ++i) da = riga.find(", ", da) + 2;
  return static_cast<int>(da) + 1;
}

TEST(TipiRecord, AFailureInARecordPointsAtTheFieldItsHandlerNames) {
  struct Caso {
    const char* nome;
    std::string sezione;  // the line file's later section, or "" for the train file
    std::string riga;
    int campo;
  };
  std::string cartelli;
  for (int k = 1; k <= 80; ++k) {
    cartelli += "cartello_indicatore, " + std::to_string(50 * k) + ", (C)\n";
  }
  const std::string stazione = "stazione, 1000, 0, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, ";
  const Caso casi[] = {
      {"81st board", "[indicazioni]\n" + cartelli, "cartello_indicatore, 4100, (C)", -1},
      {"board text", "[indicazioni]\n", "cartello_indicatore, 1000, " + std::string(70000, 'x'), 1},
      {"indicator speed", "[cartelli]\n", "indicatori_vmax, 1000, 2000, 0, 0, 0, 0, 0, 0, 0", 1},
      {"station time", "", stazione + "2147483647, 0, 0, S", 13},
      {"station name", "", stazione + "0, 0, 0, " + std::string(70000, 'N'), 16},
      {"station zone", "",
       "stazione, 1000, 7, 2147483600, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, S", 2},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const bool linea = !c.sezione.empty();
    std::string l = kLinea, t = kTreno;
    if (linea) l += c.sezione;
    std::string& dove = linea ? l : t;
    const int riga = static_cast<int>(std::count(dove.begin(), dove.end(), '\n')) + 1;
    dove += c.riga + "\n";
    ArchivioMemoria a;
    a.metti(nome_sorgente_linea(kId), l + "[fine]\n");
    a.metti(nome_sorgente_treno(kId), t + "[fine]\n");
    const std::string file = linea ? nome_sorgente_linea(kId) : nome_sorgente_treno(kId);
    bool trovato = false;
    for (const Diagnostica& d : controlla(a, kId)) {
      if (!d.errore() || d.codice != 25) continue;
      trovato = true;
      EXPECT_EQ(d.file, file);
      EXPECT_EQ(d.riga, riga) << d.messaggio;
      EXPECT_EQ(d.colonna, colonna(c.riga, c.campo)) << d.messaggio;
    }
    EXPECT_TRUE(trovato);
  }
}

}  // namespace
}  // namespace scenario

// GoogleTest fixtures for the parser's own tests: the two halves read from
// small files held in memory, and a parser state over a hand-made model for
// calling one record handler at a time.
#ifndef SCENARIO_TESTS_SUPPORT_PROVA_PARSER_H_
#define SCENARIO_TESTS_SUPPORT_PROVA_PARSER_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "compiler/archivio.h"
#include "compiler/stato_parser.h"
#include "tests/support/compila.h"

namespace scenario::test {

// A 91000 m line: cells 0 to 1960, positions up to 97900 on the track.
inline const std::string kLinea = "[generale]\r\nlunghezza percorso,    91000\r\n[fine]\r\n";
constexpr int32_t kU = 1960;

// The values of a station row after its keyword, name last.
inline std::string valori_stazione(int64_t posizione, int tipo, int64_t l, int flag_quattro = 0,
                                   int flag_tre = 0, const std::string& nome = "STAZIONE") {
  return std::to_string(posizione) + ", " + std::to_string(tipo) + ", " + std::to_string(l) +
         ",  0, " + std::to_string(flag_quattro) + ", " + std::to_string(flag_tre) +
         ",  1,1,0,  4,1,1,   30,  17, 7, 0, " + nome + "\r\n";
}
inline std::string riga_stazione(int64_t posizione, int tipo, int64_t l, int flag_quattro = 0,
                                 int flag_tre = 0) {
  return "stazione, " + valori_stazione(posizione, tipo, l, flag_quattro, flag_tre);
}

// A cell holding a mark and its values.
inline Cella marca(uint8_t tipo, int16_t uno = 0, int16_t due = 0, int16_t tre = 0,
                   int16_t quattro = 0) {
  Cella c;
  c.tipo_cella = tipo;
  c.dato_uno = uno;
  c.dato_due = due;
  c.dato_tre = tre;
  c.dato_quattro = quattro;
  return c;
}

// Every cell equals `attese` where listed and is untouched elsewhere.
inline void celle_come(const Modello& m, const std::map<int32_t, Cella>& attese) {
  for (int32_t i = 0; i <= m.ultima_cella; ++i) {
    const auto it = attese.find(i);
    const Cella atteso = it == attese.end() ? Cella{} : it->second;
    ASSERT_EQ((*m.celle)[static_cast<size_t>(i)], atteso) << "cell " << i;
  }
}

// A line file and a train file through the parser alone (no walk, no
// stamps), plan flag clear.
class LetturaSorgenti : public ::testing::Test {
 protected:
  // `corpo` follows the train file's "[generale]" line; "[fine]" ends it.
  void compila_corpo(const std::string& corpo, const std::string& linea = kLinea) {
    compila("[generale]\r\n" + corpo + "[fine]\r\n", linea);
  }
  void compila(const std::string& treno, const std::string& linea = kLinea) {
    Prova p = compila_in_memoria(linea, treno, {.j = 0, .solo_lettura = true, .id = id});
    m = std::move(p.c.modello);
    errore = p.c.errore;
    luogo_errore = p.c.luogo_errore;
    prossima_voce_cartello = p.prossima_voce_cartello;
    sorgenti_rimaste = p.resta_linea() || p.resta_treno();
  }
  const Cella& cella(int32_t i) const { return m.celle->at(static_cast<size_t>(i)); }
  const Voce& voce(int i) const { return m.testata.at(static_cast<size_t>(i)); }
  bool sorgenti_eliminate() const { return !sorgenti_rimaste; }

  Identita id{"Linea", "1"};
  Modello m;
  RecordErrore errore;
  int32_t prossima_voce_cartello = 0;
  std::optional<Luogo> luogo_errore;
  bool sorgenti_rimaste = false;
};

// A parser state over a model with cells 0 to 1960 and no boards; the
// train file is there, so that its deletion shows.
class StatoProva : public ::testing::Test {
 protected:
  StatoProva() {
    m.ultima_cella = kU;
    m.lunghezza_estesa = 98000;
    m.celle.emplace(static_cast<size_t>(kU) + 1);
    archivio.metti(nome_sorgente_treno(id), "");
  }
  // Puts `testo` under the field reader, as the rest of the train file.
  void leggi(std::string testo) { s.lettore.emplace(std::move(testo), nome_sorgente_treno(id)); }
  Cella& cella(int32_t i) { return m.celle->at(static_cast<size_t>(i)); }
  bool treno_eliminato() const { return !archivio.esiste(nome_sorgente_treno(id)); }

  Identita id{"Linea", "1"};
  ArchivioMemoria archivio;
  Modello m;
  RecordErrore errore;
  StatoParser s{m, errore, archivio, id, 0};
};

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_PROVA_PARSER_H_

// Compiles source texts held in memory, and the small sources the tests
// build them from.
#ifndef SCENARIO_TESTS_SUPPORT_COMPILA_H_
#define SCENARIO_TESTS_SUPPORT_COMPILA_H_

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "model/identita.h"
#include "model/modello.h"

namespace scenario::test {

inline const Identita kId{"Linea_Prova", "123"};

// A train file with nothing in it but its heading.
inline const char kTrenoVuoto[] = "[generale]\r\n[fine]\r\n";

// Joins lines with CR LF after each.
std::string righe(std::initializer_list<std::string> rr);
// Splits a text at each `fine` ("\r\n", "\n"); a last line without one
// counts too.
std::vector<std::string> spezza(std::string_view testo, std::string_view fine);

// A line file: the general section with the given length, then `resto`.
std::string file_linea(const std::string& resto, int lunghezza = 91000);

struct Opzioni {
  int32_t j = 1;              // the plan flag
  bool solo_lettura = false;  // the parser alone: no walk, no stamps
  Identita id = kId;
};

// The outcome, and what is left of the sources.
struct Prova {
  Identita id;
  ArchivioMemoria archivio;
  Compilazione c;
  int32_t prossima_voce_cartello = 0;  // as the parser left it

  bool resta_linea() const { return archivio.esiste(nome_sorgente_linea(id)); }
  bool resta_treno() const { return archivio.esiste(nome_sorgente_treno(id)); }
  const Cella& cella(size_t i) const { return c.modello.celle->at(i); }
  const Voce& voce(size_t i) const { return c.modello.testata.at(i); }
  int32_t errore() const { return c.errore.numero_errore; }
  int32_t posizione() const { return c.errore.posizione_errore; }
};

// Compiles the given sources (a missing one is simply not there).
Prova compila_in_memoria(std::optional<std::string> linea,
                         std::optional<std::string> treno = std::string(kTrenoVuoto),
                         const Opzioni& o = {});

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_COMPILA_H_

// Test helper: compiles source texts held in memory.
#ifndef SCENARIO_COMPILER_TESTING_COMPILA_H_
#define SCENARIO_COMPILER_TESTING_COMPILA_H_

#include <optional>
#include <string>

#include "compiler/archivio.h"
#include "compiler/compila.h"

namespace scenario::testing {

inline const Identita kId{"Linea_Prova", "123"};

// A train file with nothing in it but its heading.
inline const char kTrenoVuoto[] = "[generale]\r\n[fine]\r\n";

// Joins lines with CR LF after each.
inline std::string righe(std::initializer_list<std::string> rr) {
  std::string s;
  for (const std::string& r : rr) s += r + "\r\n";
  return s;
}

// A line file: the general section with the given length, then `resto`.
inline std::string file_linea(const std::string& resto, int lunghezza = 91000) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n" + resto +
         "[fine]\r\n";
}

struct Prova {
  ArchivioMemoria archivio;
  Compilazione c;

  bool resta_linea() const { return archivio.esiste(nome_sorgente_linea(kId)); }
  bool resta_treno() const { return archivio.esiste(nome_sorgente_treno(kId)); }
  const Cella& cella(size_t i) const { return c.modello.celle->at(i); }
  const Voce& voce(size_t i) const { return c.modello.testata.at(i); }
  int32_t errore() const { return c.errore.numero_errore; }
  int32_t posizione() const { return c.errore.posizione_errore; }
};

// Compiles the given sources (a missing one is simply not there).
inline Prova compila(std::optional<std::string> linea,
                     std::optional<std::string> treno = std::string(kTrenoVuoto), int32_t j = 1) {
  Prova p;
  if (linea) p.archivio.metti(nome_sorgente_linea(kId), *linea);
  if (treno) p.archivio.metti(nome_sorgente_treno(kId), *treno);
  p.c = memorizza_percorso(p.archivio, kId, j);
  return p;
}

}  // namespace scenario::testing

#endif  // SCENARIO_COMPILER_TESTING_COMPILA_H_

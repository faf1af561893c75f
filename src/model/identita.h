// The scenario's identity and the names of the files derived from it.
#ifndef SCENARIO_MODEL_IDENTITA_H_
#define SCENARIO_MODEL_IDENTITA_H_

#include <string>

namespace scenario {

struct Identita {
  std::string linea;  // line identifier
  std::string treno;  // train number
};

// File names inside the scenario's folder.
inline std::string nome_sorgente_linea(const Identita& id) { return id.linea + "_linea.txt"; }
inline std::string nome_sorgente_treno(const Identita& id) {
  return id.linea + "_" + id.treno + "-.txt";
}
inline std::string nome_documento(const Identita& id, const std::string& fine) {
  return id.linea + "_" + id.treno + "_" + fine;
}
inline std::string nome_planimetria(const Identita& id) { return id.linea + "_linea.dat"; }
inline std::string nome_testata(const Identita& id) { return id.linea + "_" + id.treno + ".sim"; }
inline std::string nome_celle(const Identita& id) { return id.linea + "_" + id.treno + ".dat"; }

}  // namespace scenario

#endif  // SCENARIO_MODEL_IDENTITA_H_

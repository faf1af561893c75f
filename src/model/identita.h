// The scenario's identity and the names of the files derived from it.
#ifndef SCENARIO_MODEL_IDENTITA_H_
#define SCENARIO_MODEL_IDENTITA_H_

#include <string>
#include <string_view>

namespace scenario {

struct Identita {
  std::string linea;  // line identifier
  std::string treno;  // train number
};

// An identity names files inside a folder and nothing else: printable ASCII
// without blanks, '/', '\' or ':'.
inline bool identita_valida(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

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

// The scenario's identity and the names of the files derived from it.
#ifndef SCENARIO_MODEL_IDENTITA_H_
#define SCENARIO_MODEL_IDENTITA_H_

#include <array>
#include <string>
#include <string_view>

namespace scenario {

struct Identita {
  std::string linea;  // line identifier
  std::string treno;  // train number
};

// An identity names files inside a folder and nothing else, on every
// target: printable ASCII without blanks and without the characters Windows
// refuses in a file name.
inline constexpr std::string_view kVietatiNeiNomi = "<>:\"/\\|?*";
inline bool identita_valida(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F || kVietatiNeiNomi.find(c) != std::string_view::npos) return false;
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
inline std::string nome_note(const Identita& id) { return nome_documento(id, "note.txt"); }
inline std::string nome_rallentamenti(const Identita& id) {
  return nome_documento(id, "rallentamenti.txt");
}
inline std::string nome_scheda(const Identita& id) {
  return nome_documento(id, "scheda_treno.txt");
}
// The five texts an installer writes, in the order it writes them: the two
// sources first, for the compile reads them right after.
inline std::array<std::string, 5> nomi_testi(const Identita& id) {
  return {nome_sorgente_linea(id), nome_sorgente_treno(id), nome_note(id), nome_rallentamenti(id),
          nome_scheda(id)};
}
inline std::string nome_planimetria(const Identita& id) { return id.linea + "_linea.dat"; }
inline std::string nome_testata(const Identita& id) { return id.linea + "_" + id.treno + ".sim"; }
inline std::string nome_celle(const Identita& id) { return id.linea + "_" + id.treno + ".dat"; }
// The three binary files, in the order a new set replaces an older one: the
// header last, for it gives the length by which the other two are read.
inline std::array<std::string, 3> nomi_binari(const Identita& id) {
  return {nome_planimetria(id), nome_celle(id), nome_testata(id)};
}

}  // namespace scenario

#endif  // SCENARIO_MODEL_IDENTITA_H_

// The sources back from any three files: decompile never fails but by
// naming what it cannot give, and when it reports success the sources it
// wrote compile to the very files it read.
//
// Input, by its first byte:
//   1:     three raw files, each a 16-bit length and its bytes (header
//          file, cell file, line plan; a missing plan is none);
//   2:     sources as below, then a NUL and pairs (16-bit offset, byte)
//          that overwrite bytes of the compiled cell file;
//   other: the line file, a NUL byte, the train file, compiled (with the
//          plan when the input's length is even) and decompiled.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/coding.h"
#include "decompile/decompila.h"
#include "fuzz/invarianti.h"

namespace scenario::fuzz {
namespace {

Compilazione compila(const std::string& linea, const std::string& treno, int32_t j) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(kId), linea);
  a.metti(nome_sorgente_treno(kId), treno);
  return memorizza_percorso(a, kId, j);
}

std::optional<BytesCompilati> compilati(const std::string& linea, const std::string& treno,
                                        int32_t j) {
  const Compilazione c = compila(linea, treno, j);
  if (!c.da_scrivere()) return std::nullopt;
  BytesCompilati f;
  f.testata = bytes_testata(c.modello.testata);
  f.celle = bytes_celle(*c.modello.celle);
  if (c.modello.planimetria) f.planimetria = c.modello.planimetria->bytes_file();
  return f;
}

// Takes a 16-bit length and that many bytes off the front, as far as there
// are any.
std::string_view prendi(std::string_view& b) {
  if (b.size() < 2) {
    b = {};
    return {};
  }
  const size_t n = std::min<size_t>(DecodeFixed16(b.data()), b.size() - 2);
  const std::string_view r = b.substr(2, n);
  b.remove_prefix(2 + n);
  return r;
}

void verifica(const BytesCompilati& f) {
  const Decompilazione d = decompila(kId, f);
  if (!d.riuscita()) {
    VERIFICA(!d.problemi.front().empty());
    return;
  }
  const std::optional<BytesCompilati> g = compilati(d.linea, d.treno, f.planimetria ? 1 : 0);
  VERIFICA(g.has_value());
  VERIFICA(g->celle == f.celle);
  VERIFICA(g->testata == f.testata);
  VERIFICA(g->planimetria == f.planimetria);
}

}  // namespace
}  // namespace scenario::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  using namespace scenario::fuzz;
  if (size > kMassimoIngresso || size == 0) return 0;
  const std::string ingresso = come_testo(data, size);
  if (data[0] == 1) {
    std::string_view b = std::string_view(ingresso).substr(1);
    BytesCompilati f;
    f.testata = prendi(b);
    f.celle = prendi(b);
    if (!b.empty()) f.planimetria = std::string(prendi(b));
    verifica(f);
    return 0;
  }
  std::string_view resto = ingresso;
  std::string_view modifiche;
  if (data[0] == 2) {
    resto.remove_prefix(1);
    const size_t secondo = resto.find(
        '\0', resto.find('\0') == std::string_view::npos ? resto.size() : resto.find('\0') + 1);
    if (secondo != std::string_view::npos) {
      modifiche = resto.substr(secondo + 1);
      resto = resto.substr(0, secondo);
    }
  }
  const DueSorgenti s = due_sorgenti(reinterpret_cast<const uint8_t*>(resto.data()), resto.size());
  std::optional<BytesCompilati> f = compilati(s.linea, s.treno, size % 2 == 0 ? 1 : 0);
  if (!f) return 0;
  for (; modifiche.size() >= 3; modifiche.remove_prefix(3)) {
    const size_t o = DecodeFixed16(modifiche.data());
    if (o < f->celle.size()) f->celle[o] = modifiche[2];
  }
  verifica(*f);
  return 0;
}

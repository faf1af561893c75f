// The JSON reader: it never crashes or overflows its stack, a refusal points
// inside the input, and what it takes reads back the same once the writer
// has written it again. (tests: src/views/json_lettura_test.cc checks the
// same corpus against Python's json.)
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/invarianti.h"
#include "views/json.h"
#include "views/json_lettura.h"

namespace {

using scenario::ScrittoreJson;
using scenario::ValoreJson;

// A lone surrogate escape is kept as its three bytes, which no UTF-8 reader
// takes back: such a text is not written again.
bool con_surrogato(const std::string& s) {
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (static_cast<unsigned char>(s[i]) == 0xED && static_cast<unsigned char>(s[i + 1]) >= 0xA0)
      return true;
  }
  return false;
}

// Writes `v` again; false when it holds what the writer cannot write as it
// was read.
bool riscrivi(const ValoreJson& v, ScrittoreJson& j) {
  switch (v.tipo()) {
    case ValoreJson::Tipo::nullo: j.nullo(); return true;
    case ValoreJson::Tipo::booleano: j.booleano(v.booleano()); return true;
    case ValoreJson::Tipo::numero:
      if (!std::isfinite(v.numero())) return false;
      if (v.intero()) {
        j.intero(*v.intero());
      } else {
        j.reale(v.numero());
      }
      return true;
    case ValoreJson::Tipo::testo:
      if (con_surrogato(v.testo())) return false;
      j.testo(v.testo());
      return true;
    case ValoreJson::Tipo::lista:
      j.inizia_lista();
      for (const ValoreJson& e : v.elementi()) {
        if (!riscrivi(e, j)) return false;
      }
      j.fine_lista();
      return true;
    case ValoreJson::Tipo::oggetto:
      j.inizia_oggetto();
      for (const auto& [k, e] : v.membri()) {
        if (con_surrogato(k)) return false;
        j.chiave(k);
        if (!riscrivi(e, j)) return false;
      }
      j.fine_oggetto();
      return true;
  }
  return false;
}

bool uguali(const ValoreJson& a, const ValoreJson& b) {
  if (a.tipo() != b.tipo()) return false;
  switch (a.tipo()) {
    case ValoreJson::Tipo::nullo: return true;
    case ValoreJson::Tipo::booleano: return a.booleano() == b.booleano();
    case ValoreJson::Tipo::numero: return a.numero() == b.numero();
    case ValoreJson::Tipo::testo: return a.testo() == b.testo();
    case ValoreJson::Tipo::lista:
      if (a.elementi().size() != b.elementi().size()) return false;
      for (size_t i = 0; i < a.elementi().size(); ++i) {
        if (!uguali(a.elementi()[i], b.elementi()[i])) return false;
      }
      return true;
    case ValoreJson::Tipo::oggetto:
      if (a.membri().size() != b.membri().size()) return false;
      for (size_t i = 0; i < a.membri().size(); ++i) {
        if (a.membri()[i].first != b.membri()[i].first) return false;
        if (!uguali(a.membri()[i].second, b.membri()[i].second)) return false;
      }
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  if (size > fuzz::kMassimoIngresso) return 0;
  const std::string_view testo(reinterpret_cast<const char*>(data), size);
  ValoreJson v;
  try {
    v = leggi_json(testo);
  } catch (const ErroreJson& e) {
    VERIFICA(e.offset() <= size);
    return 0;
  }
  std::string scritto;
  ScrittoreJson j(&scritto);
  if (!riscrivi(v, j)) return 0;
  try {
    VERIFICA(uguali(leggi_json(scritto), v));
  } catch (const ErroreJson&) {
    VERIFICA(!"what the writer wrote is refused");
  }
  return 0;
}

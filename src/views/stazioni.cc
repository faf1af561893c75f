#include "views/stazioni.h"

#include <set>

#include "base/testo.h"

namespace scenario::disegno {

std::vector<Stazione> stazioni(const Testata& t, const std::vector<Cella>& celle) {
  std::set<int> cartelli;
  for (const Cella& c : celle) {
    if (c.tipo_cella == cella_cartello) cartelli.insert(c.dato_uno);
  }
  std::vector<Stazione> r;
  for (int k = 1; k <= kPrimaVoceCartello; ++k) {
    const Voce& v = t[static_cast<size_t>(k)];
    if (cartelli.count(k) != 0 || v == Voce{}) break;
    r.push_back({k, utf8_da_1252(v.testo), v.valore_tre, v.valore_uno, v.valore_due, v.codice,
                 v.valore_quattro});
  }
  return r;
}

}  // namespace scenario::disegno

#include "check/testo_diagnostica.h"

#include "base/testo.h"

namespace scenario {

std::string testo_diagnostica(const Diagnostica& d) {
  std::string s = utf8_da_1252(d.messaggio);
  if (d.errore() && d.posizione) s += " (posizione " + std::to_string(*d.posizione) + " m)";
  return s;
}

}  // namespace scenario

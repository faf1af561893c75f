#include "tools/scenario/diagnostiche.h"

#include <algorithm>

#include "base/testo.h"
#include "check/testo_diagnostica.h"
#include "views/json.h"

namespace scenario {

std::string riga_diagnostica(const Diagnostica& d) {
  std::string s = d.file;
  if (d.riga > 0) {
    // Appended piece by piece: GCC 12 at -O3 warns, wrongly, on ":" + number.
    s += ':';
    s += std::to_string(d.riga);
    s += ':';
    s += std::to_string(d.colonna);
  }
  s += d.ferma() ? ": error: " : ": warning: ";
  s += testo_diagnostica(d);
  if (d.errore()) {
    s += " [errore " + std::to_string(d.codice) + "]";
  } else {
    s += std::string(d.promosso ? " [-Werror=" : " [-W") + std::string(nome_avviso(d.avviso)) + "]";
  }
  return s;
}

bool con_errori(std::span<const Diagnostica> dd) {
  return std::any_of(dd.begin(), dd.end(), [](const Diagnostica& d) { return d.ferma(); });
}

std::string riepilogo_diagnostiche(std::span<const Diagnostica> dd) {
  const auto errori = static_cast<size_t>(
      std::count_if(dd.begin(), dd.end(), [](const Diagnostica& d) { return d.ferma(); }));
  return quanti(errori, "errore", "errori") + ", " +
         quanti(dd.size() - errori, "avvertimento", "avvertimenti");
}

std::string testo_diagnostiche(std::span<const Diagnostica> dd) {
  std::string s;
  for (const Diagnostica& d : dd) s += riga_diagnostica(d) + "\n";
  return s + riepilogo_diagnostiche(dd) + "\n";
}

std::string json_diagnostiche(std::span<const Diagnostica> dd) {
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_lista();
  for (const Diagnostica& d : dd) {
    j.inizia_oggetto();
    j.chiave("file").testo(d.file);
    if (d.riga > 0) {
      j.chiave("line").intero(d.riga);
      j.chiave("column").intero(d.colonna);
    } else {
      j.chiave("line").nullo();
      j.chiave("column").nullo();
    }
    j.chiave("severity").testo(d.ferma() ? "error" : "warning");
    if (d.errore()) {
      j.chiave("code").intero(d.codice);
      j.chiave("warning").nullo();
    } else {
      j.chiave("code").nullo();
      j.chiave("warning").testo(nome_avviso(d.avviso));
    }
    j.chiave("message").testo_1252(d.messaggio);
    if (d.posizione) {
      j.chiave("position").intero(*d.posizione);
    } else {
      j.chiave("position").nullo();
    }
    j.fine_oggetto();
  }
  j.fine_lista();
  return s + "\n";
}

}  // namespace scenario

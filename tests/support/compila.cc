#include "tests/support/compila.h"

#include <algorithm>
#include <utility>

namespace scenario::test {

std::string righe(std::initializer_list<std::string> rr) {
  std::string s;
  for (const std::string& r : rr) s += r + "\r\n";
  return s;
}

std::vector<std::string> spezza(std::string_view testo, std::string_view fine) {
  std::vector<std::string> rr;
  for (size_t da = 0; da < testo.size();) {
    const size_t a = std::min(testo.find(fine, da), testo.size());
    rr.emplace_back(testo.substr(da, a - da));
    da = a + fine.size();
  }
  return rr;
}

std::string file_linea(const std::string& resto, int lunghezza) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n" + resto +
         "[fine]\r\n";
}

Prova compila_in_memoria(std::optional<std::string> linea, std::optional<std::string> treno,
                         const Opzioni& o) {
  Prova p;
  p.id = o.id;
  if (linea) p.archivio.metti(nome_sorgente_linea(o.id), std::move(*linea));
  if (treno) p.archivio.metti(nome_sorgente_treno(o.id), std::move(*treno));
  if (!o.solo_lettura) {
    p.c = memorizza_percorso(p.archivio, o.id, o.j);
    return p;
  }
  p.c.j = o.j;
  StatoParser s(p.c.modello, p.c.errore, p.archivio, p.id, o.j);
  memorizza_dati(s);
  p.c.luogo_errore = s.luogo_errore;
  p.c.motivo_guasto = s.motivo_guasto;
  p.prossima_voce_cartello = s.prossima_voce_cartello;
  return p;
}

}  // namespace scenario::test

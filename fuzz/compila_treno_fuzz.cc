// The train half of the parser, then the cell walk and the stamps, on any
// text, over two fixed lines: the carried one (57 boards, 1961 cells) and a
// short one whose 78 boards leave room for one station only.
// Input: the train file.
#include <cstdint>
#include <string>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "compiler/post/codici_gara.h"
#include "compiler/post/percorso_celle.h"
#include "compiler/stato_parser.h"
#include "emit/dati_linea.h"
#include "fuzz/invarianti.h"

namespace scenario::fuzz {
namespace {

std::string linea_corta() {
  std::string t =
      "[generale]\r\nlunghezza percorso, 2000\r\n"
      "progressiva chilometrica uno, 0, 0, 0\r\n"
      "[pendenze]\r\npendenza, 0, 5\r\npendenza, 1500, -3\r\n"
      "[montagne]\r\nmontagna, 1000, 3000, 12\r\n"
      "[cartelli]\r\nindicatori_vmax, 500, 100, 100, 100, 0, 100, 100, 100, 0\r\n"
      "[indicazioni]\r\n";
  for (int k = 0; k < 78; ++k) {
    t += "cartello_indicatore, " + std::to_string(5000 + 50 * k) + ", (B" + std::to_string(k) +
         ")\r\n";
  }
  return t + "[fine]\r\n";
}

struct Linea {
  std::string testo;
  Testata testata;  // as the line half leaves it
  size_t celle;
};

// The line compiled once with an empty train file: what the train half
// must not touch.
Linea prepara(std::string testo) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(kId), testo);
  a.metti(nome_sorgente_treno(kId), "[generale]\r\n[fine]\r\n");
  Modello m;
  RecordErrore e;
  StatoParser s(m, e, a, kId, 0);
  memorizza_dati(s);
  VERIFICA(e.numero_errore == 0 && m.celle);
  return {std::move(testo), m.testata, m.celle->size()};
}

// The codes of the train half and of the cell walk.
bool codice_del_treno(int32_t n) {
  return registrato_da(n, {Fase::nessuna, Fase::treno, Fase::lettura, Fase::percorso});
}

void controlla_testata(const StatoParser& s, const Linea& l) {
  const Testata& t = s.modello.testata;
  const int32_t libera = s.prossima_voce_cartello;
  // The boards' entries and the line's general entries are the line's.
  for (int32_t i = libera + 1; i <= kVoceProgressivaUno; ++i) {
    VERIFICA(t[static_cast<size_t>(i)] == l.testata[static_cast<size_t>(i)]);
  }
  // The highest free entry stays empty (with one free entry the first
  // station takes it before the count stops the next).
  if (libera > 1) VERIFICA(t[static_cast<size_t>(libera)] == Voce{});
  VERIFICA(t[kVoceDatiTreno].valore_due == l.testata[kVoceDatiTreno].valore_due);
  Voce treno = t[kVoceTreno];
  treno.intero_uno = treno.intero_tre = treno.intero_quattro = treno.intero_cinque = 0;
  VERIFICA(treno == l.testata[kVoceTreno]);
}

void compila(const std::string& treno, const Linea& l) {
  ArchivioMemoria archivio;
  archivio.metti(nome_sorgente_linea(kId), l.testo);
  archivio.metti(nome_sorgente_treno(kId), treno);
  Modello m;
  RecordErrore e;
  StatoParser s(m, e, archivio, kId, 0);
  memorizza_dati(s);

  VERIFICA(codice_del_treno(e.numero_errore));
  VERIFICA((e.numero_errore == 25) == !s.motivo_guasto.empty());
  VERIFICA(!s.lettore.has_value());
  VERIFICA(!archivio.esiste(nome_sorgente_linea(kId)));
  VERIFICA(!archivio.esiste(nome_sorgente_treno(kId)));
  VERIFICA(m.celle && m.celle->size() == l.celle);
  controlla_modello(m, 0);
  controlla_testata(s, l);

  percorri_celle(*m.celle, e);
  VERIFICA(codice_del_treno(e.numero_errore));
  const Codice timbri = timbra(m.testata, *m.celle);
  VERIFICA(timbri == Codice::nessuno || fase(timbri) == Fase::timbri);
  controlla_modello(m, 0);
}

}  // namespace
}  // namespace scenario::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario::fuzz;
  if (size > kMassimoIngresso) return 0;
  static const Linea portata = prepara(scenario::dati_linea());
  static const Linea corta = prepara(linea_corta());
  const std::string treno = come_testo(data, size);
  compila(treno, portata);
  compila(treno, corta);
  return 0;
}

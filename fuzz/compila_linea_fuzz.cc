// The line half of the parser on any text, with the plan flag set and clear.
// Input: the line file. The train file holds its heading and nothing else.
#include <cstdint>
#include <string>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "compiler/stato_parser.h"
#include "fuzz/invarianti.h"

namespace scenario::fuzz {
namespace {

// Boards take entries from 80 down, one cell each; entries below them stay
// empty until the train file's stations come.
void controlla_cartelli(const StatoParser& s) {
  const int32_t libera = s.prossima_voce_cartello;
  VERIFICA(libera >= 0 && libera <= kPrimaVoceCartello);
  const Testata& t = s.modello.testata;
  for (int32_t i = 1; i <= kPrimaVoceCartello; ++i) {
    Voce v = t[static_cast<size_t>(i)];
    if (i > libera) v.testo.clear();  // a board's text is all it has
    VERIFICA(v == Voce{});
  }
  if (!s.modello.celle) return;
  std::vector<bool> presa(kPrimaVoceCartello + 1, false);
  int32_t cartelli = 0;
  for (const Cella& c : *s.modello.celle) {
    if (c.tipo_cella != cella_cartello) continue;
    VERIFICA(c.dato_uno > libera && c.dato_uno <= kPrimaVoceCartello);
    VERIFICA(!presa[static_cast<size_t>(c.dato_uno)]);
    presa[static_cast<size_t>(c.dato_uno)] = true;
    ++cartelli;
  }
  VERIFICA(cartelli == kPrimaVoceCartello - libera);
}

// With an empty train file only the line half and the closing steps can
// record anything.
// The chainage check at the train half's end runs all the same.
bool codice_della_linea(int32_t n) {
  return registrato_da(n, {Fase::nessuna, Fase::linea, Fase::lettura}) ||
         n == numero(Codice::progressiva_fuori_griglia);
}

}  // namespace
}  // namespace scenario::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  using namespace scenario::fuzz;
  if (size > kMassimoIngresso) return 0;
  const std::string linea = come_testo(data, size);
  for (const int32_t j : {1, 0}) {
    ArchivioMemoria archivio;
    archivio.metti(nome_sorgente_linea(kId), linea);
    archivio.metti(nome_sorgente_treno(kId), "[generale]\r\n[fine]\r\n");
    Modello m;
    RecordErrore e;
    StatoParser s(m, e, archivio, kId, j);
    memorizza_dati(s);

    VERIFICA(codice_della_linea(e.numero_errore));
    VERIFICA((e.numero_errore == 25) == !s.motivo_guasto.empty());
    VERIFICA(!s.lettore.has_value());  // no file is left open
    controlla_sorgenti(archivio, kId, e.numero_errore);
    controlla_modello(m, j);
    controlla_cartelli(s);
  }
  return 0;
}

// What must hold after every input, whatever the input: the checks the fuzz
// targets make. A broken one aborts, which the fuzzer reports as a finding
// and the corpus replay as a failed test.
#ifndef SCENARIO_FUZZ_INVARIANTI_H_
#define SCENARIO_FUZZ_INVARIANTI_H_

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>

#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"
#include "compiler/post/codici_gara.h"
#include "base/arrotonda.h"
#include "model/identita.h"
#include "model/modello.h"
#include "base/coding.h"
#include "format/scrittori.h"

#define VERIFICA(cond) \
  ((cond) ? static_cast<void>(0) : ::scenario::fuzz::violata(#cond, __FILE__, __LINE__))

namespace scenario::fuzz {

[[noreturn]] inline void violata(const char* condizione, const char* file, int riga) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, riga, condizione);
  std::abort();
}

// Inputs longer than this are passed over: the targets stay fast, and the
// long inputs have tests of their own.
constexpr size_t kMassimoIngresso = 1 << 16;

inline const Identita kId{"Lanvero_Ostrel", "24817"};
// Its identity codes, worked out by hand from "24817lanvero_ostrelrrsstt":
// the sum of the 25 character codes, and the sum weighted by position.
constexpr int16_t kCodiceGaraOg = 2471;
constexpr int32_t kCodiceGaraSt = 35369;

// A known code recorded by one of the given parts of the compile.
inline bool registrato_da(int32_t n, std::initializer_list<Fase> fasi) {
  const std::optional<Codice> c = codice_di(n);
  return c && std::find(fasi.begin(), fasi.end(), fase(*c)) != fasi.end();
}

// Codes the parser and the cell walk can record: all but the stamps'.
inline bool codice_noto(int32_t n) {
  return registrato_da(n, {Fase::nessuna, Fase::linea, Fase::treno, Fase::lettura, Fase::percorso});
}

// Codes that end the parser in the line half, before the train file is
// read: only they leave the train file behind.
inline bool codice_fine_linea(int32_t n) { return registrato_da(n, {Fase::linea}); }

inline bool tipo_noto(uint8_t t) { return t <= 6 || (t >= 10 && t <= 14); }

// The tables' shapes: sizes agree with each other and with the length read,
// every text fits its 16-bit length, entry 0 stays empty.
inline void controlla_modello(const Modello& m, int32_t j) {
  VERIFICA(m.testata[0] == Voce{});
  for (const Voce& v : m.testata) VERIFICA(v.testo.size() <= 0xFFFF);
  if (!m.celle) {
    VERIFICA(!m.planimetria);
    return;
  }
  const int64_t lunghezza = int64_t{m.lunghezza_estesa} - kMetriProlungamento;
  VERIFICA(lunghezza >= 0 && lunghezza <= kLunghezzaMassima);
  VERIFICA(m.ultima_cella == vicino(m.lunghezza_estesa, kMetriCella));
  VERIFICA(m.celle->size() == static_cast<size_t>(m.ultima_cella) + 1);
  for (const Cella& c : *m.celle) VERIFICA(tipo_noto(c.tipo_cella));
  VERIFICA(m.planimetria.has_value() == (j != 0));
  if (!m.planimetria) return;
  const Planimetria& pl = *m.planimetria;
  VERIFICA(pl.ultimo_punto() == m.lunghezza_estesa);
  // Points 0 and 1 are set together, the trace fills from point 2 without
  // gaps.
  VERIFICA(pl.tipo(0) == pl.tipo(1));
  VERIFICA(pl.tipo(0) != TipoValore::reale);
  size_t p = 2;
  while (p < pl.punti() && pl.tipo(p) == TipoValore::reale) {
    const Punto q = pl.punto(p);
    VERIFICA(std::isfinite(q.x0) && std::isfinite(q.x1));
    ++p;
  }
  VERIFICA(p == 2 || pl.tipo(0) == TipoValore::intero);
  for (; p < pl.punti(); ++p) VERIFICA(pl.tipo(p) == TipoValore::vuoto);
}

// Walks the header file's bytes entry by entry: 87 entries must end exactly
// at the end.
inline void controlla_bytes_testata(const std::string& b, const Testata& t) {
  size_t testi = 0;
  for (const Voce& v : t) testi += v.testo.size();
  VERIFICA(b.size() == kVociTestata * 34 + testi);
  size_t pos = 0;
  for (const Voce& v : t) {
    VERIFICA(pos + 16 <= b.size());
    const size_t n = DecodeFixed16(b.data() + pos + 14);
    VERIFICA(n == v.testo.size());
    VERIFICA(b.compare(pos + 16, n, v.testo) == 0);
    pos += 34 + n;
  }
  VERIFICA(pos == b.size());
}

// Walks the plan file's tagged values: 2 x (L + 1) of them, each with the
// kind and value the plan holds, then the end.
inline void controlla_bytes_planimetria(const std::string& b, const Planimetria& pl) {
  size_t atteso = 0;
  for (size_t p = 0; p < pl.punti(); ++p) {
    atteso += pl.tipo(p) == TipoValore::vuoto ? 4 : pl.tipo(p) == TipoValore::intero ? 8 : 20;
  }
  VERIFICA(b.size() == atteso);
  VERIFICA(dimensione_planimetria(pl) == atteso);
  size_t pos = 0;
  for (size_t n = 0; n < 2 * pl.punti(); ++n) {
    const size_t p = n % pl.punti();
    const int c = n < pl.punti() ? 0 : 1;
    VERIFICA(pos + 2 <= b.size());
    const uint16_t tag = DecodeFixed16(b.data() + pos);
    VERIFICA(tag == static_cast<uint16_t>(pl.tipo(p)));
    pos += 2;
    if (tag == static_cast<uint16_t>(TipoValore::intero)) {
      const auto v = static_cast<int16_t>(DecodeFixed16(b.data() + pos));
      VERIFICA(v == pl.componente(c, p));
      pos += 2;
    } else if (tag == static_cast<uint16_t>(TipoValore::reale)) {
      VERIFICA(DecodeDouble(b.data() + pos) == pl.componente(c, p));
      pos += 8;
    }
  }
  VERIFICA(pos == b.size());
}

// A whole compile of kId's sources: its outcome, the stamps, and the three
// files as the writers make them.
inline void controlla_compilazione(const Compilazione& c) {
  VERIFICA(codice_noto(c.errore.numero_errore));
  VERIFICA(c.errore_timbri == Codice::nessuno || fase(c.errore_timbri) == Fase::timbri);
  controlla_modello(c.modello, c.j);
  const Testata& t = c.modello.testata;
  VERIFICA(t[kVoceLinea].testo == kId.linea);
  VERIFICA(t[kVoceTreno].testo == kId.treno);
  if (c.luogo_errore && !c.luogo_errore->file.empty()) {
    VERIFICA(c.luogo_errore->riga >= 1 && c.luogo_errore->colonna >= 1);
  }
  if (!c.da_scrivere()) return;
  const std::vector<Cella>& celle = *c.modello.celle;
  VERIFICA(t[kVoceLinea].*kCampoTimbroTestata == kTimbroTestata);
  VERIFICA(celle[kCellaTimbro].*kCampoTimbroCelle == kTimbroCelle);
  VERIFICA(t[kVoceLinea].valore_quattro == kCodiceGaraSt);
  VERIFICA(celle[1].dato_due == kCodiceGaraOg);

  VERIFICA(bytes_celle(celle).size() == kBytesCella * celle.size());
  controlla_bytes_testata(bytes_testata(t), t);
  if (c.modello.planimetria) {
    const Planimetria& pl = *c.modello.planimetria;
    const std::string b = bytes_planimetria(pl);
    controlla_bytes_planimetria(b, pl);
    // Its points laid out one by one, the plan writes the same bytes.
    if (pl.punti() > 2 && pl.tipo(2) == TipoValore::reale) {
      Planimetria stesa = pl;
      stesa.imposta_reale(2, stesa.punto(2));
      VERIFICA(bytes_planimetria(stesa) == b);
    }
  }
}

// The sources after a compile: the line file never stays; the train file
// stays only when the line half ended the parser.
inline void controlla_sorgenti(const ArchivioSorgenti& a, const Identita& id,
                               int32_t codice_parser) {
  VERIFICA(!a.esiste(nome_sorgente_linea(id)));
  VERIFICA(a.esiste(nome_sorgente_treno(id)) == codice_fine_linea(codice_parser));
}

inline std::string come_testo(const uint8_t* data, size_t size) {
  return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

// The whole compile's input: the line file, a NUL byte, the train file.
// Without a NUL byte the whole input is the line file, the train file empty.
struct DueSorgenti {
  std::string linea;
  std::string treno;
};
inline DueSorgenti due_sorgenti(const uint8_t* data, size_t size) {
  const std::string ingresso = come_testo(data, size);
  const size_t nul = ingresso.find('\0');
  return {ingresso.substr(0, nul),
          nul == std::string::npos ? std::string() : ingresso.substr(nul + 1)};
}

}  // namespace scenario::fuzz

#endif  // SCENARIO_FUZZ_INVARIANTI_H_

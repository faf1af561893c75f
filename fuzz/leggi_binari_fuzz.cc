// The readers of the three binary files, and what inspect and plot make of
// what they read.
//
// Input: one byte that chooses, then the rest.
//   0, 1, 2: the rest is a header file, a cell file or a line plan. The
//            reader either refuses it, naming an offset inside it, or reads
//            it whole: then the writer gives back the same bytes, and both
//            inspect views are made.
//   3:       the rest, taken as raw values without any check, fills a header
//            table, some cells and a plan (with every kind of value, NaN and
//            infinities among them), and the picture is drawn.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/invarianti.h"
#include "views/disegno.h"
#include "views/ispezione.h"
#include "format/lettori.h"
#include "format/scrittori.h"
#include "tests/support/binari.h"

namespace scenario::fuzz {
namespace {

// The plan's bytes again, value by value.
std::string riscrivi(const PianoLetto& p) {
  std::string b;
  for (const auto* componente : {&p.x0, &p.x1}) {
    for (const ValorePiano& v : *componente) test::metti_valore(&b, v.tipo, v.valore);
  }
  return b;
}

void vedute(TipoFile tipo, std::string_view b) {
  for (const Formato f : {Formato::testo, Formato::json}) {
    const std::string s = ispeziona(tipo, b, f, {});
    VERIFICA(!s.empty() && s.back() == '\n');
  }
}

// Reads with `leggi`; a refusal must name an offset inside the input.
template <typename Leggi>
bool letto(std::string_view b, Leggi leggi) {
  try {
    leggi(b);
    return true;
  } catch (const ErroreLettura& e) {
    VERIFICA(e.offset() <= b.size());
    VERIFICA(std::string_view(e.what()).substr(0, 7) == "offset ");
    return false;
  }
}

// Takes raw bytes off the front of the input.
class Fonte {
 public:
  explicit Fonte(std::string_view b) : b_(b) {}
  bool vuota() const { return b_.empty(); }
  template <typename T>
  T prendi() {
    T v{};
    const size_t n = std::min(sizeof v, b_.size());
    std::memcpy(&v, b_.data(), n);
    b_.remove_prefix(n);
    return v;
  }
  std::string testo() {
    const size_t voluti = prendi<uint8_t>() % 40;
    const size_t n = std::min(voluti, b_.size());
    std::string t(b_.substr(0, n));
    b_.remove_prefix(n);
    return t;
  }

 private:
  std::string_view b_;
};

void disegna(std::string_view b) {
  Fonte f(b);
  Testata t{};
  for (size_t k = 0; k < t.size() && !f.vuota(); k += 1 + f.prendi<uint8_t>() % 8) {
    Voce& v = t[k];
    v.codice = f.prendi<uint8_t>();
    v.valore_uno = f.prendi<int32_t>();
    v.valore_due = f.prendi<int32_t>();
    v.valore_tre = f.prendi<int32_t>();
    v.valore_quattro = f.prendi<int32_t>();
    v.testo = f.testo();
  }
  std::vector<Cella> celle(1 + f.prendi<uint16_t>() % 3000);
  for (size_t i = 0; i < celle.size() && !f.vuota(); i += 1 + f.prendi<uint8_t>() % 16) {
    Cella& c = celle[i];
    c.tipo_cella = f.prendi<uint8_t>() % 16;
    c.dato_uno = f.prendi<int16_t>();
    c.dato_due = f.prendi<int16_t>();
    c.dato_tre = f.prendi<int16_t>();
    c.dato_quattro = f.prendi<int16_t>();
    c.tempo_segnale = f.prendi<uint8_t>();
    c.struttura = f.prendi<uint8_t>() % 5;
    c.velocita_treno = f.prendi<uint8_t>();
    c.pendenza = f.prendi<uint8_t>();
    c.aderenza = f.prendi<uint8_t>();
  }
  PianoLetto p;
  const size_t punti = f.prendi<uint16_t>() % 5000;
  p.x0.resize(punti);
  p.x1.resize(punti);
  for (size_t i = 0; i < punti && !f.vuota(); ++i) {
    for (auto* c : {&p.x0, &p.x1}) {
      const uint8_t tipo = f.prendi<uint8_t>() % 3;
      (*c)[i] = {tipo == 0   ? TipoValore::vuoto
                 : tipo == 1 ? TipoValore::intero
                             : TipoValore::reale,
                 f.prendi<double>()};
    }
  }
  const PianoLetto* const piani[] = {&p, nullptr};
  for (const PianoLetto* piano : piani) {
    const std::string svg = disegna_scenario(t, celle, piano);
    VERIFICA(svg.rfind("<?xml", 0) == 0);
    VERIFICA(svg.size() >= 7 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0);
  }
}

}  // namespace
}  // namespace scenario::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  using namespace scenario::fuzz;
  if (size == 0 || size > kMassimoIngresso) return 0;
  const std::string tutto = come_testo(data, size);
  const std::string_view b = std::string_view(tutto).substr(1);
  switch (data[0] % 4) {
    case 0:
      if (letto(b, leggi_testata)) {
        VERIFICA(bytes_testata(leggi_testata(b)) == b);
        vedute(TipoFile::testata, b);
      }
      break;
    case 1:
      if (letto(b, leggi_celle)) {
        VERIFICA(bytes_celle(leggi_celle(b)) == b);
        vedute(TipoFile::celle, b);
      }
      break;
    case 2:
      if (letto(b, leggi_planimetria)) {
        VERIFICA(riscrivi(leggi_planimetria(b)) == b);
        vedute(TipoFile::planimetria, b);
      } else if (letto(b, leggi_celle)) {
        vedute(TipoFile::planimetria, b);  // a cell file under a plan's name
      } else {
        VERIFICA(!letto(b, [](std::string_view x) {
          ispeziona(TipoFile::planimetria, x, Formato::testo, {});
        }));
      }
      break;
    default: disegna(b); break;
  }
  return 0;
}

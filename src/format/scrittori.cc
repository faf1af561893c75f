#include "format/scrittori.h"

#include <cassert>
#include <iterator>

#include "base/coding.h"

namespace scenario {

size_t dimensione_planimetria(const Planimetria& piano) { return piano.dimensione_file(); }

std::string bytes_planimetria(const Planimetria& piano) { return piano.bytes_file(); }

void scrivi_planimetria(const Planimetria& piano, const ScriviPezzo& scrivi) {
  piano.scrivi_file(scrivi);
}

std::string bytes_testata(const Testata& testata) {
  std::string out;
  out.reserve(kVociTestata * kBytesVoceVuota + 256);
  for (const Voce& v : testata) {
    assert(v.testo.size() <= 0xFFFF);
    for (size_t f = 0; f < std::size(kCampiVoce); ++f) {
      if (f == kCampiPrimaDelTesto) {
        PutFixed16(&out, static_cast<uint16_t>(v.testo.size()));
        out.append(v.testo);
      }
      char b[4];
      kCampiVoce[f].codifica(v, b);
      out.append(b, kCampiVoce[f].larghezza());
    }
  }
  return out;
}

std::string bytes_celle(const std::vector<Cella>& celle) {
  std::string out(celle.size() * kBytesCella, '\0');
  char* p = out.data();
  for (const Cella& c : celle) {
    for (const CampoFile<Cella>& f : kCampiCella) {
      f.codifica(c, p);
      p += f.larghezza();
    }
  }
  return out;
}

}  // namespace scenario

#include "views/progressive.h"

#include <algorithm>
#include <cstdio>

#include "views/quadro.h"

namespace scenario::disegno {

std::vector<Progressiva> progressive(const Testata& t) {
  std::vector<Progressiva> r;
  for (const int k : {kVoceProgressivaUno, kVoceProgressivaDue, kVoceProgressivaTre}) {
    const Voce& v = t[static_cast<size_t>(k)];
    if (v.valore_uno == 0 && v.valore_due == 0) continue;
    r.push_back({static_cast<double>(v.valore_uno), static_cast<double>(v.valore_due)});
  }
  std::sort(r.begin(), r.end(),
            [](const Progressiva& a, const Progressiva& b) { return a.da < b.da; });
  return r;
}

std::vector<Tratto> tratti(const std::vector<Progressiva>& rif, double fine, double totale) {
  std::vector<Tratto> r = {{0, totale, 0}};
  for (const Progressiva& p : rif) {
    if (p.da <= 0) {
      r.back().scarto = p.scarto;
    } else if (p.da < fine) {
      r.back().a = p.da;
      r.push_back({p.da, totale, p.scarto});
    }
  }
  return r;
}

std::string km_e_metri(double m) {
  const auto v = static_cast<int64_t>(std::llround(m));
  const int64_t resto = (v % 1000 + 1000) % 1000;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%03lld", static_cast<long long>(resto));
  return intero((v - resto) / 1000) + "+" + buf;
}

std::string cambio_di_progressiva(const Tratto& prima, const Tratto& dopo) {
  return "cambio di progressiva a " + metri(static_cast<int64_t>(dopo.da)) +
         " dall'inizio: da km " + km_e_metri(dopo.da + prima.scarto) + " a km " +
         km_e_metri(dopo.da + dopo.scarto);
}

}  // namespace scenario::disegno

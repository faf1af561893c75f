#include "views/planimetria.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "views/etichette.h"
#include "views/quadro.h"
#include "views/semplifica.h"

namespace scenario::disegno {

namespace {

constexpr size_t kMassimoPuntiPianta = 100000;  // the ground plan's track at most

}  // namespace

void disegna_pianta(Svg& svg, const Pianta& pi, double cima, const std::vector<Stazione>& st,
                    const std::vector<Tratto>& tr, double fine) {
  svg.t("<g id=\"planimetria\">\n");
  svg.etichetta(12, cima + 18, "Planimetria", 13, "start", "font-weight=\"bold\"");
  // The track, thinned to a third of a pixel; coarser while it would still
  // take more points than a picture needs (only a plan that no compile
  // writes, all noise, gets there), each pass thinning the one before. A
  // pass that keeps nearly every point shows noise that no tolerance
  // thins: its envelope by pixel columns is drawn, and at last every k-th
  // point, so that the track never takes more than the picture's share. A
  // lone point draws no line.
  std::vector<std::vector<Punto2>> tracciato;
  size_t n = 0;
  for (const auto& pezzo : pi.pezzi) {
    if (pezzo.size() < 2) continue;
    tracciato.push_back(pezzo);
    n += pezzo.size();
  }
  const auto ogni_pezzo = [&tracciato, &n](const auto& sfoltito) {
    n = 0;
    for (auto& pezzo : tracciato) {
      pezzo = sfoltito(pezzo);
      n += pezzo.size();
    }
  };
  for (double tolleranza = 0.3;; tolleranza *= 2) {
    const size_t prima = n;
    ogni_pezzo([tolleranza](const auto& pezzo) { return sfoltisci(pezzo, tolleranza); });
    if (n <= kMassimoPuntiPianta || tolleranza > 40 || n > prima / 10 * 9) break;
  }
  if (n > kMassimoPuntiPianta) ogni_pezzo([](const auto& pezzo) { return inviluppo(pezzo); });
  if (n > kMassimoPuntiPianta) {
    const size_t passo = n / kMassimoPuntiPianta + 1;
    size_t k = 0;
    ogni_pezzo([passo, &k](const auto& pezzo) {
      std::vector<Punto2> r;
      for (const Punto2& q : pezzo) {
        if (k++ % passo == 0) r.push_back(q);
      }
      return r;
    });
    std::erase_if(tracciato, [](const auto& pezzo) { return pezzo.size() < 2; });
  }
  Etichette occupate;
  svg.t("<path d=\"");
  for (const auto& pochi : tracciato) {
    for (size_t i = 1; i < pochi.size(); ++i) {
      occupate.binario(pochi[i - 1].x, pochi[i - 1].y, pochi[i].x, pochi[i].y);
    }
    svg.t("M").n(pochi[0].x).t(" ").n(pochi[0].y);
    for (size_t i = 1; i < pochi.size(); ++i) svg.t(" ").n(pochi[i].x).t(" ").n(pochi[i].y);
    svg.t(" ");
  }
  svg.t("\" fill=\"none\" stroke=\"#303030\" stroke-width=\"2.2\" stroke-linejoin=\"round\"/>\n");
  occupate.prendi({8, cima + 4, 110, cima + 24});  // the panel's name
  // Stations first: their names matter most.
  std::vector<std::pair<size_t, const Stazione*>> luoghi;
  for (const Stazione& s : st) {
    if (const auto p = punto_vicino(pi, s.posizione)) luoghi.emplace_back(*p, &s);
  }
  for (const auto& [p, s] : luoghi) {
    occupate.prendi({pi.px[p] - 5, pi.py[p] - 5, pi.px[p] + 5, pi.py[p] + 5});
  }
  Svg stazioni;
  for (const auto& [p, s] : luoghi) {
    stazioni.t("<g><circle cx=\"").n(pi.px[p]).t("\" cy=\"").n(pi.py[p]);
    stazioni.t("\" r=\"4.5\" fill=\"#ffffff\" stroke=\"#1f4e8c\" stroke-width=\"2\"/>");
    stazioni.titolo(s->nome + "\n" + metri(s->posizione));
    const auto d = direzione(pi, p, 400).value_or(std::pair{1.0, 0.0});
    etichetta_accanto(stazioni, occupate, pi.px[p], pi.py[p], d.first, d.second, s->nome, kCorpo,
                      "class=\"alone\" fill=\"#1f4e8c\"", {9, 16, 28, 44, 64}, true);
    stazioni.t("</g>\n");
  }

  // Kilometre ticks in the line's chainage: as dense as a few pixels
  // allow, labelled where there is room, up to the line's end (the run-off
  // has ticks, no kilometres).
  const double per_km = pi.pixel_per_metro * 1000;
  const int64_t tacca = passo_km(per_km, 7);
  const int64_t nome = passo_km(per_km, 80);
  const auto punto = [&pi](double m) -> std::optional<size_t> {
    if (m < 0 || m >= static_cast<double>(pi.px.size())) return std::nullopt;
    const auto p = static_cast<size_t>(std::llround(m));
    if (p >= pi.px.size() || std::isnan(pi.px[p])) return std::nullopt;
    return p;
  };
  // A short stroke across the track at p, `l` pixels each side.
  const auto traverso = [&pi](size_t p, std::pair<double, double> d, double l, std::string* a) {
    const double nx = -d.second, ny = d.first;
    metti_numero(pi.px[p] - nx * l, a);
    *a += ' ';
    metti_numero(pi.py[p] - ny * l, a);
    *a += 'l';
    metti_numero(2 * nx * l, a);
    *a += ' ';
    metti_numero(2 * ny * l, a);
    *a += 'M';
  };
  std::string tacche;
  Svg testi;
  ogni_km(tr, tacca, [&](double m, int64_t km) {
    const auto p = punto(m);
    if (!p) return;
    const auto d = direzione(pi, *p, 30);
    if (!d) return;
    const bool grande = km % nome == 0;
    traverso(*p, *d, grande ? 7 : 4, &tacche);
    if (grande && m <= fine) {
      etichetta_accanto(testi, occupate, pi.px[*p], pi.py[*p], d->first, d->second,
                        "km " + intero(km), 9.5, "class=\"alone\" fill=\"#555555\"", {12, 20, 30},
                        false);
    }
  });
  // The line's end and each change of reference, across the track.
  Svg segni;
  const auto segno = [&](double m, std::string_view colore, const std::string& titolo) {
    const auto p = punto(m);
    if (!p) return;
    const auto d = direzione(pi, *p, 30).value_or(std::pair{1.0, 0.0});
    std::string a;
    traverso(*p, d, 9, &a);
    a.pop_back();
    segni.t("<path d=\"M").t(a).t("\" stroke=\"").t(colore).t("\" stroke-width=\"2.5\">");
    segni.titolo(titolo);
    segni.t("</path>\n");
  };
  for (size_t i = 1; i < tr.size(); ++i) {
    segno(tr[i].da, "#b03030", cambio_di_progressiva(tr[i - 1], tr[i]));
  }
  if (fine > 0 && fine + 1 < static_cast<double>(pi.px.size())) {
    // The run-off, track past the line's end: drawn over in grey, a point a
    // pixel or so.
    const double passo = std::max(1.0, std::floor(1 / std::max(pi.pixel_per_metro, 1e-9)));
    std::string d;
    for (double m = fine; m < static_cast<double>(pi.px.size()); m += passo) {
      const auto p = punto(m);
      if (!p) continue;
      d += d.empty() ? 'M' : ' ';
      metti_numero(pi.px[*p], &d);
      d += ' ';
      metti_numero(pi.py[*p], &d);
    }
    if (!d.empty()) {
      segni.t("<path d=\"").t(d).t("\" fill=\"none\" stroke=\"#a0a0a0\" stroke-width=\"2.6\">");
      segni.titolo("prolungamento (" + metri(kMetriProlungamento) + ") dopo la fine della linea");
      segni.t("</path>\n");
    }
    segno(fine, "#444444",
          "fine della linea, " + metri(static_cast<int64_t>(fine)) + "; dopo, il prolungamento");
  }
  if (!tacche.empty()) {
    tacche.pop_back();
    svg.t("<path d=\"M").t(tacche).t("\" stroke=\"#303030\" stroke-width=\"1.2\"/>\n");
  }
  svg.t(testi.prendi());
  svg.t(segni.prendi());
  // The stations over the ticks.
  svg.t(stazioni.prendi());
  svg.t("</g>\n");
}

}  // namespace scenario::disegno

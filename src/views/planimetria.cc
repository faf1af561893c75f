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
// How far along the track its direction is taken, in plan points: at a
// station, at a kilometre tick.
constexpr size_t kRaggioStazione = 400;
constexpr size_t kRaggioTacca = 30;

// The line's drawable plan point at m metres from the start.
std::optional<size_t> punto(const Pianta& pi, double m) {
  if (m < 0) return std::nullopt;
  const auto p = static_cast<size_t>(std::llround(m));
  if (p >= pi.punti() || !pi.disegnabile[p]) return std::nullopt;
  return p;
}

struct Tacca {
  size_t p;    // the plan point
  double m;    // metres from the start
  int64_t km;  // the kilometre read there
};

// The kilometre ticks in the line's chainage, as dense as a few pixels
// allow, where the track is drawn.
std::vector<Tacca> tacche_km(const Pianta& pi, const std::vector<Tratto>& tr) {
  std::vector<Tacca> r;
  ogni_km(tr, passo_km(pi.pixel_per_metro * 1000, 7), [&](double m, int64_t km) {
    if (const auto p = punto(pi, m)) r.push_back({*p, m, km});
  });
  return r;
}

// The run-off's points, a pixel or so apart, from the line's end on.
std::vector<size_t> punti_prolungamento(const Pianta& pi, double fine) {
  std::vector<size_t> r;
  if (fine <= 0 || fine + 1 >= static_cast<double>(pi.punti())) return r;
  const double passo = std::max(1.0, std::floor(1 / std::max(pi.pixel_per_metro, 1e-9)));
  for (double m = fine; m < static_cast<double>(pi.punti()); m += passo) {
    if (const auto p = punto(pi, m)) r.push_back(*p);
  }
  return r;
}

// A short stroke across the track at p, `l` pixels each side, in path data.
void traverso(const Pianta& pi, size_t p, std::pair<double, double> d, double l, std::string* a) {
  const double nx = -d.second, ny = d.first;
  metti_numero(pi.x(p) - nx * l, a);
  *a += ' ';
  metti_numero(pi.y(p) - ny * l, a);
  *a += 'l';
  metti_numero(2 * nx * l, a);
  *a += ' ';
  metti_numero(2 * ny * l, a);
  *a += 'M';
}

}  // namespace

std::vector<size_t> punti_chiesti(const Pianta& pi, const std::vector<Stazione>& st,
                                  const Chilometri& km) {
  std::vector<size_t> r;
  const auto intorno = [&pi, &r](size_t p, size_t raggio) {
    r.push_back(p);
    if (const auto e = estremi(pi, p, raggio)) {
      r.push_back(e->first);
      r.push_back(e->second);
    }
  };
  for (const Stazione& s : st) {
    if (const auto p = punto_vicino(pi, s.posizione)) intorno(*p, kRaggioStazione);
  }
  for (const Tacca& t : tacche_km(pi, km.tratti)) intorno(t.p, kRaggioTacca);
  for (size_t i = 1; i < km.tratti.size(); ++i) {
    if (const auto p = punto(pi, km.tratti[i].da)) intorno(*p, kRaggioTacca);
  }
  if (const auto p = punto(pi, km.fine)) intorno(*p, kRaggioTacca);
  for (const size_t p : punti_prolungamento(pi, km.fine)) r.push_back(p);
  return r;
}

void disegna_pianta(Svg& svg, const Pianta& pi, double cima, const std::vector<Stazione>& st,
                    const Chilometri& km) {
  svg.t("<g id=\"planimetria\">\n");
  svg.etichetta(12, cima + 18, "Planimetria", 13, "start", "font-weight=\"bold\"");
  // The track, thinned to a third of a pixel; coarser while it would still
  // take more points than a picture needs (only a plan that no compile
  // writes, all noise, gets there), each pass thinning the one before. A
  // pass that keeps nearly every point shows noise that no tolerance
  // thins: its envelope by pixel columns is drawn, and at last every k-th
  // point, so that the track never takes more than the picture's share. A
  // lone point draws no line.
  // The pieces come with the first pass's radial thinning made.
  std::vector<std::vector<Punto2>> tracciato;
  size_t n = 0;
  for (const Pezzo& pezzo : pi.pezzi) {
    if (pezzo.punti < 2) continue;
    tracciato.push_back(pezzo.radiale);
    n += pezzo.punti;
  }
  const auto ogni_pezzo = [&tracciato, &n](const auto& sfoltito) {
    n = 0;
    for (auto& pezzo : tracciato) {
      pezzo = sfoltito(pezzo);
      n += pezzo.size();
    }
  };
  bool radiale = true;
  for (double tolleranza = kTolleranzaPianta;; tolleranza *= 2) {
    const size_t prima = n;
    ogni_pezzo([tolleranza, radiale](const auto& pezzo) {
      return radiale ? sfoltisci_radiale(pezzo, tolleranza) : sfoltisci(pezzo, tolleranza);
    });
    radiale = false;
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
    occupate.prendi({pi.x(p) - 5, pi.y(p) - 5, pi.x(p) + 5, pi.y(p) + 5});
  }
  Svg stazioni;
  for (const auto& [p, s] : luoghi) {
    stazioni.t("<g><circle cx=\"").n(pi.x(p)).t("\" cy=\"").n(pi.y(p));
    stazioni.t("\" r=\"4.5\" fill=\"#ffffff\" stroke=\"#1f4e8c\" stroke-width=\"2\"/>");
    stazioni.titolo(s->nome + "\n" + metri(s->posizione));
    const auto d = direzione(pi, p, kRaggioStazione).value_or(std::pair{1.0, 0.0});
    etichetta_accanto(stazioni, occupate, pi.x(p), pi.y(p), d.first, d.second, s->nome, kCorpo,
                      "class=\"alone\" fill=\"#1f4e8c\"", {9, 16, 28, 44, 64}, true);
    stazioni.t("</g>\n");
  }

  // Kilometre ticks in the line's chainage, labelled where there is room,
  // up to the line's end (the run-off has ticks, no kilometres).
  const int64_t nome = passo_km(pi.pixel_per_metro * 1000, 80);
  std::string tacche;
  Svg testi;
  for (const Tacca& t : tacche_km(pi, km.tratti)) {
    const auto d = direzione(pi, t.p, kRaggioTacca);
    if (!d) continue;
    const bool grande = t.km % nome == 0;
    traverso(pi, t.p, *d, grande ? 7 : 4, &tacche);
    if (grande && t.m <= km.fine) {
      etichetta_accanto(testi, occupate, pi.x(t.p), pi.y(t.p), d->first, d->second,
                        "km " + intero(t.km), 9.5, "class=\"alone\" fill=\"#555555\"", {12, 20, 30},
                        false);
    }
  }
  // Each change of reference and the line's end across the track, the
  // run-off drawn over in grey between them.
  Svg segni;
  const auto segno = [&](double m, std::string_view colore, const std::string& titolo) {
    const auto p = punto(pi, m);
    if (!p) return;
    const auto d = direzione(pi, *p, kRaggioTacca).value_or(std::pair{1.0, 0.0});
    std::string a;
    traverso(pi, *p, d, 9, &a);
    a.pop_back();
    segni.t("<path d=\"M").t(a).t("\" stroke=\"").t(colore).t("\" stroke-width=\"2.5\">");
    segni.titolo(titolo);
    segni.t("</path>\n");
  };
  for (size_t i = 1; i < km.tratti.size(); ++i) {
    segno(km.tratti[i].da, "#b03030", cambio_di_progressiva(km.tratti[i - 1], km.tratti[i]));
  }
  std::string oltre;
  for (const size_t p : punti_prolungamento(pi, km.fine)) {
    oltre += oltre.empty() ? 'M' : ' ';
    metti_numero(pi.x(p), &oltre);
    oltre += ' ';
    metti_numero(pi.y(p), &oltre);
  }
  if (!oltre.empty()) {
    segni.t("<path d=\"").t(oltre).t("\" fill=\"none\" stroke=\"#a0a0a0\" stroke-width=\"2.6\">");
    segni.titolo("prolungamento (" + metri(kMetriProlungamento) + ") dopo la fine della linea");
    segni.t("</path>\n");
    segno(km.fine, "#444444",
          "fine della linea, " + metri(static_cast<int64_t>(km.fine)) + "; dopo, il prolungamento");
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

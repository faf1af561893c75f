#include "views/planimetria.h"

#include <cmath>
#include <cstdint>
#include <string>
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

// The plan points of the kilometre ticks, every `tacca` km, where the
// track is drawn.
std::vector<size_t> punti_tacche(const Pianta& pi, int64_t tacca) {
  std::vector<size_t> r;
  for (int64_t km = 0; km * 1000 < static_cast<int64_t>(pi.punti()); km += tacca) {
    const size_t p = static_cast<size_t>(km * 1000);
    if (pi.disegnabile[p]) r.push_back(p);
  }
  return r;
}

int64_t passo_tacche(const Pianta& pi) { return passo_km(pi.pixel_per_metro * 1000, 7); }

}  // namespace

std::vector<size_t> punti_chiesti(const Pianta& pi, const std::vector<Stazione>& st) {
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
  for (const size_t p : punti_tacche(pi, passo_tacche(pi))) intorno(p, kRaggioTacca);
  return r;
}

void disegna_pianta(Svg& svg, const Pianta& pi, double cima, const std::vector<Stazione>& st) {
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

  // Kilometre ticks: as dense as a few pixels allow, labelled where there
  // is room.
  const int64_t nome = passo_km(pi.pixel_per_metro * 1000, 80);
  std::string tacche;
  Svg testi;
  for (const size_t p : punti_tacche(pi, passo_tacche(pi))) {
    const int64_t km = static_cast<int64_t>(p / 1000);
    const auto d = direzione(pi, p, kRaggioTacca);
    if (!d) continue;
    const bool grande = km % nome == 0;
    const double l = grande ? 7 : 4;
    const double nx = -d->second, ny = d->first;
    metti_numero(pi.x(p) - nx * l, &tacche);
    tacche += ' ';
    metti_numero(pi.y(p) - ny * l, &tacche);
    tacche += 'l';
    metti_numero(2 * nx * l, &tacche);
    tacche += ' ';
    metti_numero(2 * ny * l, &tacche);
    tacche += 'M';
    if (grande) {
      etichetta_accanto(testi, occupate, pi.x(p), pi.y(p), d->first, d->second,
                        "km " + intero(km), 9.5, "class=\"alone\" fill=\"#555555\"", {12, 20, 30},
                        false);
    }
  }
  if (!tacche.empty()) {
    tacche.pop_back();
    svg.t("<path d=\"M").t(tacche).t("\" stroke=\"#303030\" stroke-width=\"1.2\"/>\n");
  }
  svg.t(testi.prendi());
  // The stations over the ticks.
  svg.t(stazioni.prendi());
  svg.t("</g>\n");
}

}  // namespace scenario::disegno

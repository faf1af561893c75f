#include "views/bande_profilo.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace scenario::disegno {

void banda_velocita(Bande& b) {
  Svg& svg = b.svg();
  const Asse& asse = b.asse();
  const std::vector<Cella>& celle = b.celle();
  const std::vector<double> v = b.per_cella([](const Cella& c) { return c.velocita_treno * 5.0; });
  double massima = 50;
  for (const double x : v) massima = std::max(massima, x);
  // The slowdowns: each start cell to the next end cell.
  struct Tratto {
    size_t da, a;
    int16_t v;
  };
  std::vector<Tratto> tratti;
  for (size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo_cella != cella_inizio_rallentamento) continue;
    size_t j = i + 1;
    while (j < celle.size() && celle[j].tipo_cella != cella_fine_rallentamento) ++j;
    if (j == celle.size()) continue;
    tratti.push_back({i, j, celle[i].dato_uno});
    massima = std::max<double>(massima, celle[i].dato_uno);
  }
  const double passo = massima > 250 ? 100 : 50;
  const double tetto = std::ceil(massima / passo) * passo;
  const double altezza = 120;
  const double cima = b.banda(altezza, "Velocità (km/h)");
  b.legenda(cima + 28, {{"— limite del treno", "#1f5fbf"}});
  b.legenda(cima + 39, {{"— rallentamenti", "#d62728"}});
  const double y0 = cima + altezza - 6;
  const double scala = (altezza - 14) / tetto;
  for (double s = 0; s <= tetto; s += passo) {
    b.riga_orizzontale(y0 - s * scala, s == 0 ? "#bbbbbb" : "#e4e4e4");
    b.scala_destra(y0 - s * scala, intero(static_cast<int64_t>(s)));
  }
  b.serie(v, y0, scala, "fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\"", "velocita");
  b.suggerimenti(cima, altezza, v, "km/h");
  for (const Tratto& t : tratti) {
    const double y = y0 - std::max<double>(t.v, 0) * scala;
    svg.t("<path d=\"M").n(asse.x_cella(t.da)).t(" ").n(y).t("H");
    svg.n(std::max(asse.x_cella(t.a + 1), asse.x_cella(t.da) + 1.5));
    svg.t("\" stroke=\"#d62728\" stroke-width=\"3\">");
    svg.titolo("rallentamento a " + intero(t.v) + " km/h, da " + dove(t.da) + " a " + dove(t.a));
    svg.t("</path>\n");
  }
}

void banda_altimetria(Bande& b) {
  Svg& svg = b.svg();
  const Asse& asse = b.asse();
  const std::vector<Cella>& celle = b.celle();
  // Height at each cell boundary, from the gradients; a cell no gradient
  // reached counts as level.
  std::vector<double> quota(celle.size() + 1, 0);
  for (size_t i = 0; i < celle.size(); ++i) {
    const double g = celle[i].pendenza == 0 ? 0 : celle[i].pendenza - 100.0;
    quota[i + 1] = quota[i] + g * kMetriCella / 1000;
  }
  const auto [pmin, pmax] = std::minmax_element(quota.begin(), quota.end());
  const double basso = *pmin, alto = std::max(*pmax, basso + 1);
  const double altezza = 90;
  const double cima = b.banda(altezza, "Altimetria (m)", "dalle pendenze, rispetto\nall'inizio");
  const double scala = (altezza - 16) / (alto - basso);
  const double y0 = cima + altezza - 8;
  b.scala_destra(y0 - (alto - basso) * scala, intero(std::lround(alto)));
  b.scala_destra(y0, intero(std::lround(basso)));
  svg.t("<path d=\"");
  Traccia tr(&svg);
  for (size_t i = 0; i < quota.size(); ++i)
    tr.punto(asse.x_cella(i), y0 - (quota[i] - basso) * scala);
  tr.fine();
  svg.t("\" fill=\"none\" stroke=\"#8c6d31\" stroke-width=\"1.8\"/>\n");
  quota.pop_back();  // one height per cell, at its start
  b.suggerimenti(cima, altezza, quota, "m sull'inizio", true);
}

void banda_pendenza(Bande& b) {
  const std::vector<double> g =
      b.per_cella([](const Cella& c) { return c.pendenza == 0 ? NAN : c.pendenza - 100.0; });
  double massima = 5;
  for (const double x : g) {
    if (!std::isnan(x)) massima = std::max(massima, std::abs(x));
  }
  massima = std::ceil(massima / 5) * 5;
  const double altezza = 80;
  const double cima = b.banda(altezza, "Pendenza (‰)", "salita sopra lo zero");
  const double y0 = cima + altezza / 2;
  const double scala = (altezza / 2 - 6) / massima;
  b.riga_orizzontale(y0, "#bbbbbb");
  const std::string valore = intero(static_cast<int64_t>(massima));
  b.scala_destra(y0 - massima * scala, std::string(1, '+').append(valore));
  b.scala_destra(y0, "0");
  b.scala_destra(y0 + massima * scala, std::string(1, '-').append(valore));
  b.serie(g, y0, scala, "fill=\"none\" stroke=\"#4d7a1f\" stroke-width=\"1.5\"");
  b.suggerimenti(cima, altezza, g, "‰", true);
}

void banda_aderenza(Bande& b) {
  const std::vector<double> a = b.per_cella([](const Cella& c) { return c.aderenza * 1.0; });
  double massima = 100;
  for (const double x : a) massima = std::max(massima, x);
  const double altezza = 54;
  const double cima = b.banda(altezza, "Aderenza");
  const double y0 = cima + altezza - 5;
  const double scala = (altezza - 12) / massima;
  b.riga_orizzontale(y0, "#bbbbbb");
  b.scala_destra(y0 - massima * scala, intero(static_cast<int64_t>(massima)));
  b.scala_destra(y0, "0");
  b.serie(a, y0, scala, "fill=\"none\" stroke=\"#7f4fbf\" stroke-width=\"1.5\"");
}

void banda_strutture(Bande& b) {
  Svg& svg = b.svg();
  const Asse& asse = b.asse();
  const std::vector<Cella>& celle = b.celle();
  static constexpr std::array<std::string_view, 6> kColori = {"#8c564b", "#7f7f7f", "#e08a1e",
                                                              "#17becf", "#bcbd22", "#e377c2"};
  const double altezza = 26;
  const double cima = b.banda(altezza, "Strutture");
  // A key for the colours of the types the line has.
  std::vector<bool> presente(256, false);
  for (const Cella& c : celle) presente[c.struttura] = true;
  double x_chiave = 12;
  for (size_t tipo = 1; tipo < presente.size(); ++tipo) {
    if (!presente[tipo] || x_chiave > kSinistra - 20) continue;
    svg.t("<rect x=\"")
        .n(x_chiave)
        .t("\" y=\"")
        .n(cima + 19)
        .t("\" width=\"8\" height=\"8\" fill=\"");
    svg.t(kColori[(tipo - 1u) % kColori.size()]).t("\"/>");
    svg.etichetta(x_chiave + 10, cima + 26, intero(static_cast<int64_t>(tipo)), 9, "start",
                  "fill=\"#666666\"");
    x_chiave += 24;
  }
  svg.t("<g id=\"strutture\">\n");
  for (size_t i = 0; i < celle.size();) {
    const uint8_t tipo = celle[i].struttura;
    size_t j = i + 1;
    while (j < celle.size() && celle[j].struttura == tipo) ++j;
    if (tipo != 0) {
      const double x0 = asse.x_cella(i);
      svg.t("<rect x=\"").n(x0).t("\" y=\"").n(cima + 5).t("\" width=\"");
      svg.n(std::max(asse.x_cella(j) - x0, 1.0)).t("\" height=\"").n(altezza - 10);
      svg.t("\" fill=\"").t(kColori[(tipo - 1u) % kColori.size()]).t("\">");
      svg.titolo("struttura di tipo " + intero(tipo) + ", celle " +
                 intero(static_cast<int64_t>(i)) + "-" + intero(static_cast<int64_t>(j - 1)) +
                 " (" + metri(static_cast<int64_t>(i) * kMetriCella) + " - " +
                 metri(static_cast<int64_t>(j) * kMetriCella) + ")");
      svg.t("</rect>\n");
    }
    i = j;
  }
  svg.t("</g>\n");
}

}  // namespace scenario::disegno

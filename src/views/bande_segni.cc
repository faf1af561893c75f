#include "views/bande_segni.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/testo.h"

namespace scenario::disegno {

namespace {

// s x 10 + d, both digits: the value pair of a signal field.
std::optional<std::pair<int, int>> coppia(int16_t v) {
  if (v < 0 || v > 99) return std::nullopt;
  return std::pair{v / 10, v % 10};
}

std::string titolo_segnale(const Cella& c, size_t i) {
  std::string s = "segnale, " + dove(i);
  const auto a = coppia(c.dato_uno);
  const auto b = coppia(c.dato_due);
  const auto d = coppia(c.dato_tre);
  if (a && b && d) {
    s += "\naspetti a sinistra " + intero(a->first) + "-" + intero(b->first) + "-" +
         intero(d->first) + ", a destra " + intero(a->second) + "-" + intero(b->second) + "-" +
         intero(d->second);
  } else {
    s += "\ndato_uno " + intero(c.dato_uno) + ", dato_due " + intero(c.dato_due) + ", dato_tre " +
         intero(c.dato_tre);
  }
  const int q = c.dato_quattro;
  s += "\ndato_quattro " + intero(q);
  if (q >= 0) {
    s += " (rapp " + intero(q / 10) + ", sx " + intero(q % 10 / 3) + ", dx " + intero(q % 10 % 3) +
         ")";
  }
  s += ", tempo " + intero(c.tempo_segnale);
  return s;
}

// A speed indicator's rank value is the first-group speed x 20 plus the
// second-group speed / 5. Speeds go in steps of 5 km/h, so the first speed
// x 20 is a multiple of 100: the hundreds give it, the rest the second.
std::string rango(int16_t v) {
  const int centinaia = static_cast<int>(std::floor(v / 100.0));
  return intero(centinaia * 5) + "/" + intero((v - centinaia * 100) * 5);
}

}  // namespace

void banda_segnali(Bande& b) {
  Svg& svg = b.svg();
  const Asse& asse = b.asse();
  const std::vector<Cella>& celle = b.celle();
  const double altezza = 26;
  const double cima = b.banda(altezza, "Segnali");
  b.legenda(cima + 28, {{"■", "#f5d76e"}, {"ripetizione a codici", "#666666"}});
  const Voce& r = b.testata()[kVoceTreno];
  if (r.valore_due > r.valore_uno) {
    const double x0 = asse.x(std::max(r.valore_uno, 0));
    svg.t("<rect x=\"").n(x0).t("\" y=\"").n(cima + 2).t("\" width=\"");
    svg.n(std::max(asse.x(std::min<double>(r.valore_due, asse.totale())) - x0, 1.0));
    svg.t("\" height=\"").n(altezza - 4).t("\" fill=\"#fff1b8\">");
    svg.titolo("ripetizione dei segnali a " + intero(r.valore_tre) + " codici, da " +
               metri(r.valore_uno) + " a " + metri(r.valore_due));
    svg.t("</rect>\n");
  }
  std::vector<Segno> s;
  for (size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo_cella != cella_segnale) continue;
    s.push_back({static_cast<double>(i) * kMetriCella, 0, "segnale, " + dove(i),
                 titolo_segnale(celle[i], i)});
  }
  segni(svg, asse, std::move(s), cima + altezza / 2, {"segnale"}, "segnali");
}

void banda_rallentamenti(Bande& b) {
  Svg& svg = b.svg();
  const Asse& asse = b.asse();
  const std::vector<Cella>& celle = b.celle();
  const double altezza = 26;
  const double cima = b.banda(altezza, "Rallentamenti");
  b.legenda(cima + 28, {{"▲ avviso", "#c98a00"}, {"▶ inizio", "#d62728"}, {"◀ fine", "#2ca02c"}});
  std::vector<Segno> s;
  for (size_t i = 0; i < celle.size(); ++i) {
    const Cella& c = celle[i];
    // Made only for a cell of the band: most cells are not.
    const auto dv = [&c] { return c.dato_due != 0 ? ", d_v " + intero(c.dato_due) : ""; };
    std::string breve;
    int forma = 0;
    switch (c.tipo_cella) {
      case cella_avviso_rallentamento:
        breve = "avviso di rallentamento a " + intero(c.dato_uno) + " km/h" + dv();
        forma = 0;
        break;
      case cella_inizio_rallentamento:
        breve = "inizio del rallentamento a " + intero(c.dato_uno) + " km/h" + dv() + ", f_tt " +
                intero(c.dato_tre);
        forma = 1;
        break;
      case cella_fine_rallentamento:
        breve = "fine del rallentamento a " + intero(c.dato_uno) + " km/h" + dv() + ", f_tt " +
                intero(c.dato_tre);
        forma = 2;
        break;
      case cella_preavviso:
        breve = "preavviso " + intero(c.dato_uno);
        forma = 3;
        break;
      default: continue;
    }
    s.push_back({static_cast<double>(i) * kMetriCella, forma, breve + ", " + dove(i),
                 breve + "\n" + dove(i)});
  }
  segni(svg, asse, std::move(s), cima + altezza / 2, {"avviso", "inizio", "fine", "preavviso"},
        "segni di rallentamento");
}

void banda_segni(Bande& b, std::string_view nome, std::initializer_list<uint8_t> codici,
                 std::string_view simbolo, std::string_view plurale) {
  Svg& svg = b.svg();
  const std::vector<Cella>& celle = b.celle();
  const double altezza = 22;
  const double cima = b.banda(altezza, nome);
  std::vector<Segno> s;
  for (size_t i = 0; i < celle.size(); ++i) {
    const Cella& c = celle[i];
    if (std::find(codici.begin(), codici.end(), c.tipo_cella) == codici.end()) continue;
    std::string breve;
    switch (c.tipo_cella) {
      case cella_indicatore:
        breve = "indicatore di velocità: A " + rango(c.dato_uno) + ", B " + rango(c.dato_due) +
                ", C " + rango(c.dato_tre) + " km/h (" + intero(c.dato_uno) + ", " +
                intero(c.dato_due) + ", " + intero(c.dato_tre) + "), strisce " +
                intero(c.dato_quattro);
        break;
      case cella_abbattimento: breve = "punto di codice " + intero(c.dato_uno); break;
      case cella_abbattimento_senza_valore: breve = "punto di codice senza valore"; break;
      case cella_cartello: {
        const int16_t v = c.dato_uno;
        breve = "cartello (voce " + intero(v) + ")";
        if (v >= 0 && v < kVociTestata)
          breve += ": " + utf8_da_1252(b.testata()[static_cast<size_t>(v)].testo);
        break;
      }
      default: break;
    }
    s.push_back(
        {static_cast<double>(i) * kMetriCella, 0, breve + ", " + dove(i), breve + "\n" + dove(i)});
  }
  segni(svg, b.asse(), std::move(s), cima + altezza / 2, {simbolo}, plurale);
}

}  // namespace scenario::disegno

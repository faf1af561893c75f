#include "views/bande.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace scenario::disegno {

namespace {

// Marks closer than this share a symbol: more than half the widest symbol
// (the indicator, 12 px), so that no symbol hides the middle of another.
constexpr double kVicinanzaSegni = 7;
constexpr size_t kVociPerGruppo = 4;  // lines a shared symbol's title lists

}  // namespace

void Traccia::punto(double x, double y) {
  const double colonna = std::floor(x);
  if (aperta_ && colonna == colonna_) {
    if (y < min_) min_ = y, x_min_ = x;
    if (y > max_) max_ = y, x_max_ = x;
    ultimo_ = y;
    x_ultimo_ = x;
    return;
  }
  chiudi_colonna();
  if (!aperta_) {
    svg_->t(iniziata_ ? " M" : "M").n(x).t(" ").n(y);
    iniziata_ = true;
    aperta_ = true;
  } else {
    svg_->t(" ").n(x).t(" ").n(y);
  }
  colonna_ = colonna;
  x_primo_ = x_min_ = x_max_ = x_ultimo_ = x;
  primo_ = min_ = max_ = ultimo_ = y;
}

void Traccia::interrompi() {
  chiudi_colonna();
  aperta_ = false;
}

void Traccia::chiudi_colonna() {
  if (!aperta_) return;
  // The first point is out already; the others in the order they came.
  std::array<std::pair<double, double>, 3> resto = {
      std::pair{x_min_, min_}, std::pair{x_max_, max_}, std::pair{x_ultimo_, ultimo_}};
  if (x_max_ < x_min_) std::swap(resto[0], resto[1]);
  double y = primo_;
  double x = x_primo_;
  for (const auto& [px, py] : resto) {
    if (py == y && px == x) continue;
    svg_->t(" ").n(px).t(" ").n(py);
    x = px;
    y = py;
  }
}

void gradini(Svg& svg, const Asse& asse, const std::vector<double>& valori, double y_zero,
             double scala) {
  Traccia tr(&svg);
  double precedente = NAN;
  for (size_t i = 0; i < valori.size(); ++i) {
    const double v = valori[i];
    if (std::isnan(v)) {
      tr.interrompi();
      precedente = v;
      continue;
    }
    const double y = y_zero - v * scala;
    if (std::isnan(precedente)) {
      tr.punto(asse.x_cella(i), y);
    } else if (v != precedente) {
      tr.punto(asse.x_cella(i), y_zero - precedente * scala);
      tr.punto(asse.x_cella(i), y);
    }
    precedente = v;
    if (i + 1 == valori.size() || std::isnan(valori[i + 1])) tr.punto(asse.x_cella(i + 1), y);
  }
  tr.fine();
}

void segni(Svg& svg, const Asse& asse, std::vector<Segno> tutti, double y,
           const std::vector<std::string_view>& simboli, std::string_view plurale) {
  const auto prima = [](const Segno& a, const Segno& b) { return a.m < b.m; };
  // Marks mostly come in the cells' order: no sort, and no copy of them.
  if (!std::is_sorted(tutti.begin(), tutti.end(), prima)) {
    std::stable_sort(tutti.begin(), tutti.end(), prima);
  }
  for (size_t i = 0; i < tutti.size();) {
    const double x0 = asse.x(tutti[i].m);
    size_t j = i + 1;
    while (j < tutti.size() && asse.x(tutti[j].m) - x0 < kVicinanzaSegni) ++j;
    const Segno& primo = tutti[i];
    // A shared symbol shows its most telling member (the lowest form).
    int forma = primo.forma;
    for (size_t k = i; k < j; ++k) forma = std::min(forma, tutti[k].forma);
    svg.t("<use xlink:href=\"#").t(simboli[static_cast<size_t>(forma)]).t("\" x=\"");
    svg.n(x0).t("\" y=\"").n(y).t("\">");
    if (j - i == 1) {
      svg.titolo(primo.completo);
    } else {
      std::string t = intero(static_cast<int64_t>(j - i)) + " " + std::string(plurale) + " da " +
                      metri(static_cast<int64_t>(primo.m)) + " a " +
                      metri(static_cast<int64_t>(tutti[j - 1].m)) + ":";
      for (size_t k = i; k < j && k < i + kVociPerGruppo; ++k) t += "\n" + tutti[k].breve;
      if (j - i > kVociPerGruppo) t += "\n…";
      svg.titolo(t);
    }
    svg.t("</use>\n");
    i = j;
  }
}

void riga_orizzontale(Svg& svg, double y, std::string_view colore, double spessore) {
  svg.t("<path d=\"M").n(kSinistra).t(" ").n(y).t("H").n(kDestra).t("\" stroke=\"");
  svg.t(colore).t("\" stroke-width=\"").n(spessore).t("\"/>\n");
}

void griglia_verticale(Svg& svg, const Asse& asse, double da, double a) {
  const int64_t passo = passo_km(asse.per_km(), 70);
  svg.t("<path d=\"");
  for (int64_t km = 0; static_cast<double>(km) * 1000 <= asse.totale(); km += passo) {
    svg.t("M").n(asse.x(static_cast<double>(km) * 1000)).t(" ").n(da).t("V").n(a);
  }
  svg.t("\" stroke=\"#e4e4e4\" stroke-width=\"1\"/>\n");
}

void Bande::suggerimenti(double cima, double altezza, const std::vector<double>& v,
                         std::string_view unita, bool segno) {
  const auto valore = [&](double x) {
    const auto r = static_cast<int64_t>(std::llround(x));
    return std::string(segno && r > 0 ? "+" : "").append(intero(r));
  };
  svg_.t("<g fill=\"#000000\" fill-opacity=\"0\">\n");
  for (size_t i = 0; i < v.size();) {
    if (std::isnan(v[i])) {
      ++i;
      continue;
    }
    double basso = v[i], alto = v[i];
    size_t j = i + 1;
    for (;; ++j) {
      while (j < v.size() && v[j] == v[j - 1]) ++j;
      if (j >= v.size() || std::isnan(v[j]) || asse_.x_cella(j) - asse_.x_cella(i) >= 2) break;
      basso = std::min(basso, v[j]);
      alto = std::max(alto, v[j]);
    }
    const double x0 = asse_.x_cella(i);
    svg_.t("<rect x=\"").n(x0).t("\" y=\"").n(cima).t("\" width=\"").n(asse_.x_cella(j) - x0);
    svg_.t("\" height=\"").n(altezza).t("\">");
    const std::string quanto = std::llround(basso) == std::llround(alto)
                                   ? valore(basso)
                                   : valore(basso) + " … " + valore(alto);
    svg_.titolo(quanto + " " + std::string(unita) + "\nda " +
                metri(static_cast<int64_t>(i) * kMetriCella) + " a " +
                metri(static_cast<int64_t>(j) * kMetriCella) + " (celle " +
                intero(static_cast<int64_t>(i)) + "-" + intero(static_cast<int64_t>(j - 1)) + ")");
    svg_.t("</rect>\n");
    i = j;
  }
  svg_.t("</g>\n");
}

void asse_km(Svg& svg, const Asse& asse, double y, bool sopra, const std::vector<Progressiva>& rif,
             double fine) {
  const int64_t passo = passo_km(asse.per_km(), 70);
  const int64_t piccolo = passo_km(asse.per_km(), 8);
  const std::vector<Tratto> tr = tratti(rif, fine, asse.totale());
  std::string tacche;
  std::vector<std::pair<double, int64_t>> numeri;
  ogni_km(tr, piccolo, [&](double m, int64_t km) {
    const bool grande = km % passo == 0;
    Svg t;
    t.t("M").n(asse.x(m)).t(" ").n(y).t("v").n(sopra ? (grande ? -6 : -3) : (grande ? 6 : 3));
    tacche += t.prendi();
    if (grande && m <= fine) numeri.push_back({m, km});
  });
  svg.t("<path d=\"").t(tacche).t("\" stroke=\"#555555\"/>\n");
  riga_orizzontale(svg, y, "#555555", 1);
  for (const auto& [m, km] : numeri) {
    svg.etichetta(asse.x(m), sopra ? y - 9 : y + 17, intero(km) + " km", 10, "middle",
                  "fill=\"#444444\"");
  }
  // Where the reference changes, as the train card shows it.
  for (size_t i = 1; i < tr.size(); ++i) {
    const double x = asse.x(tr[i].da);
    svg.t("<path d=\"M").n(x).t(" ").n(y - 10).t("v20\" stroke=\"#b03030\" stroke-width=\"2\">");
    svg.titolo(cambio_di_progressiva(tr[i - 1], tr[i]));
    svg.t("</path>\n");
    if (sopra) {
      svg.etichetta(x, y - 21, "cambio progressiva", 9, "middle",
                    "class=\"alone\" fill=\"#b03030\"");
    }
  }
}

double Bande::banda(double altezza, std::string_view nome, std::string_view nota) {
  const double cima = y_;
  svg_.t("<rect x=\"").n(kSinistra).t("\" y=\"").n(cima).t("\" width=\"").n(kDestra - kSinistra);
  svg_.t("\" height=\"").n(altezza).t("\" fill=\"#fafafa\" stroke=\"#dddddd\"/>\n");
  svg_.etichetta(12, cima + 15, nome, 12, "start", "font-weight=\"bold\"");
  double y = cima + 28;
  while (!nota.empty()) {
    const size_t a_capo = std::min(nota.find('\n'), nota.size());
    svg_.etichetta(12, y, nota.substr(0, a_capo), 9, "start", "fill=\"#666666\"");
    nota.remove_prefix(std::min(a_capo + 1, nota.size()));
    y += 11;
  }
  y_ += altezza + 6;
  return cima;
}

void Bande::serie(const std::vector<double>& valori, double y_zero, double scala,
                  std::string_view attributi, std::string_view id) {
  svg_.t("<path");
  if (!id.empty()) svg_.t(" id=\"").t(id).t("\"");
  svg_.t(" d=\"");
  gradini(svg_, asse_, valori, y_zero, scala);
  svg_.t("\" ").t(attributi).t("/>\n");
}

void Bande::legenda(double y,
                    std::initializer_list<std::pair<std::string_view, std::string_view>> pezzi) {
  svg_.t("<text x=\"12\" y=\"").n(y).t("\" font-size=\"9\">");
  bool primo = true;
  for (const auto& [testo, colore] : pezzi) {
    svg_.t(primo ? "<tspan" : "<tspan dx=\"7\"").t(" fill=\"").t(colore).t("\">").x(testo);
    svg_.t("</tspan>");
    primo = false;
  }
  svg_.t("</text>\n");
}

}  // namespace scenario::disegno

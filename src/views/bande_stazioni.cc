#include "views/bande_stazioni.h"

#include <algorithm>
#include <vector>

#include "views/etichette.h"

namespace scenario::disegno {

void banda_stazioni(Bande& b) {
  Svg& svg = b.svg();
  const Asse& asse = b.asse();
  const std::vector<Cella>& celle = b.celle();
  const std::vector<Stazione>& st = b.stazioni();
  // Names in rows above the zones, each in the first row where it hides no
  // other; a name that finds no room is left to its zone's title.
  constexpr int kFile = 4;
  constexpr double kRiga = 13;
  std::vector<std::vector<Riquadro>> file(kFile);
  std::vector<int> fila(st.size(), -1);
  std::vector<double> centro(st.size(), 0);
  int usate = 1;
  for (size_t i = 0; i < st.size(); ++i) {
    const double x = asse.x(st[i].posizione);
    Riquadro r = riquadro_testo(x, 0, st[i].nome, 10.5, "middle");
    // Inside the band: a name near either end moves in.
    const double dentro = std::max(kSinistra - r.x0, 0.0) - std::max(r.x1 - kDestra, 0.0);
    r.x0 += dentro;
    r.x1 += dentro;
    centro[i] = (r.x0 + r.x1) / 2;
    for (int f = 0; f < kFile; ++f) {
      const auto& presi = file[static_cast<size_t>(f)];
      const bool libero = std::none_of(presi.begin(), presi.end(),
                                       [&r](const Riquadro& o) { return r.tocca(o, 6); });
      if (libero) {
        file[static_cast<size_t>(f)].push_back(r);
        fila[i] = f;
        usate = std::max(usate, f + 1);
        break;
      }
    }
  }
  const double zona = 16;
  const double cima = b.banda(usate * kRiga + zona + 22, "Stazioni");
  b.legenda(cima + 28, {{"■", "#9cc3ea"}, {"zona", "#666666"}, {"▲ fermata", "#0b2545"}});
  const double y_zona = cima + usate * kRiga + 12;
  svg.t("<g id=\"stazioni\">\n");
  for (size_t i = 0; i < st.size(); ++i) {
    const Stazione& s = st[i];
    const double x0 = asse.x(std::max<double>(s.inizio, 0));
    const double x1 = std::max(asse.x(std::min<double>(s.fine, asse.totale())), x0 + 1);
    svg.t("<g>");
    svg.titolo(s.nome + "\nstazione a " + metri(s.posizione) + ", zona da " + metri(s.inizio) +
               " a " + metri(s.fine) + "\ntipo " + intero(s.tipo) + ", orario " + orario(s.orario) +
               ", voce " + intero(s.voce));
    svg.t("<rect x=\"").n(x0).t("\" y=\"").n(y_zona).t("\" width=\"").n(x1 - x0);
    svg.t("\" height=\"").n(zona).t("\" fill=\"#9cc3ea\" stroke=\"#1f4e8c\" stroke-width=\"1\"/>");
    const double xs = asse.x(s.posizione);
    svg.t("<path d=\"M").n(xs).t(" ").n(y_zona - 2).t("v").n(zona + 4);
    svg.t("\" stroke=\"#0b2545\" stroke-width=\"1.5\"/>");
    if (fila[i] >= 0) {
      const double y = cima + (usate - fila[i]) * kRiga + 2;
      svg.t("<path d=\"M").n(centro[i]).t(" ").n(y + 2).t("L").n(xs).t(" ").n(y_zona);
      svg.t("\" stroke=\"#9aaabb\" stroke-width=\"0.6\"/>");
      svg.t("\n");
      svg.etichetta(centro[i], y, s.nome, 10.5, "middle", "class=\"alone\" fill=\"#0b2545\"");
    }
    svg.t("</g>\n");
  }
  // Stop marks.
  for (size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo_cella != cella_fermata) continue;
    svg.t("<use xlink:href=\"#fermata\" x=\"").n(asse.x_cella(i)).t("\" y=\"");
    svg.n(y_zona + zona + 1).t("\">");
    svg.titolo("fermata della stazione " + intero(celle[i].dato_uno) + ", " + dove(i));
    svg.t("</use>\n");
  }
  svg.t("</g>\n");
}

}  // namespace scenario::disegno

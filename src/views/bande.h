// What the bands under the ground plan share: one chainage axis, the band
// frames and their scales, cell series drawn as steps, marks in a row.
#ifndef SCENARIO_VIEWS_BANDE_H_
#define SCENARIO_VIEWS_BANDE_H_

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/modello.h"
#include "views/progressive.h"
#include "views/quadro.h"
#include "views/stazioni.h"
#include "views/svg.h"

namespace scenario::disegno {

// The chainage axis: metres from the line's start to x.
class Asse {
 public:
  explicit Asse(double metri_totali) : totale_(std::max(metri_totali, 1.0)) {}
  double x(double m) const { return kSinistra + m / totale_ * (kDestra - kSinistra); }
  double x_cella(size_t i) const { return x(static_cast<double>(i) * kMetriCella); }
  double per_km() const { return 1000 / totale_ * (kDestra - kSinistra); }
  double totale() const { return totale_; }

 private:
  double totale_;
};

// A polyline thinned to whole pixel columns: of the points that fall into
// one column it keeps the first, the lowest, the highest and the last, so
// the line keeps its envelope however many points it is given.
class Traccia {
 public:
  explicit Traccia(Svg* svg) : svg_(svg) {}
  void punto(double x, double y);
  // A gap: the next point starts a new piece.
  void interrompi();
  void fine() { interrompi(); }

 private:
  void chiudi_colonna();

  Svg* svg_;
  bool iniziata_ = false;
  bool aperta_ = false;
  double colonna_ = 0;
  double x_primo_ = 0, x_min_ = 0, x_max_ = 0, x_ultimo_ = 0;
  double primo_ = 0, min_ = 0, max_ = 0, ultimo_ = 0;
};

// A value per cell drawn as steps: each cell's value over its cell. NaN
// leaves a gap.
void gradini(Svg& svg, const Asse& asse, const std::vector<double>& valori, double y_zero,
             double scala);

struct Segno {
  double m;           // chainage
  int forma;          // the symbol
  std::string breve;  // one line
  std::string completo;
};

// Marks of one row, each with the symbol `simboli[forma]`; those closer than
// the drawing shows apart share a symbol whose title counts and lists them.
void segni(Svg& svg, const Asse& asse, std::vector<Segno> tutti, double y,
           const std::vector<std::string_view>& simboli, std::string_view plurale);

// A line across the bands at y.
void riga_orizzontale(Svg& svg, double y, std::string_view colore, double spessore = 0.6);
// The kilometre lines through the bands from y = da to a.
void griglia_verticale(Svg& svg, const Asse& asse, double da, double a);
// The kilometre axis at y, its ticks and numbers above or below it, in the
// line's chainage (`rif`), each change of reference marked; up to `fine`
// metres (the line's end: the run-off has ticks, no kilometres).
void asse_km(Svg& svg, const Asse& asse, double y, bool sopra, const std::vector<Progressiva>& rif,
             double fine);

// The bands being drawn, one under the other from y = cima, and what they
// are drawn from.
class Bande {
 public:
  Bande(const Testata& t, const std::vector<Cella>& c, const std::vector<Stazione>& st,
        const Asse& asse, double cima)
      : t_(t), c_(c), st_(st), asse_(asse), y_(cima) {
    // The bands hold most of a picture: about 50 bytes a cell.
    svg_.riserva(c.size() * 64 + (size_t{64} << 10));
  }

  const Testata& testata() const { return t_; }
  const std::vector<Cella>& celle() const { return c_; }
  const std::vector<Stazione>& stazioni() const { return st_; }
  const Asse& asse() const { return asse_; }
  Svg& svg() { return svg_; }
  double fondo() const { return y_; }  // the top of the next band

  // A band's frame, its name and a note under the name; returns its top.
  double banda(double altezza, std::string_view nome, std::string_view nota = {});
  // A legend line under a band's name: pieces of text, each in its colour.
  void legenda(double y,
               std::initializer_list<std::pair<std::string_view, std::string_view>> pezzi);
  void scala_destra(double y, std::string_view testo) {
    svg_.etichetta(kDestra + 5, y + 3.5, testo, 9, "start", "fill=\"#666666\"");
  }
  void riga_orizzontale(double y, std::string_view colore, double spessore = 0.6) {
    disegno::riga_orizzontale(svg_, y, colore, spessore);
  }
  // A cell series drawn as steps: one path, its id (if any) before its data
  // and `attributi` after them.
  void serie(const std::vector<double>& valori, double y_zero, double scala,
             std::string_view attributi, std::string_view id = {});
  // Transparent strips over a band from y = cima, `altezza` high, that a
  // pointer reads: one per run of cells of one value (runs narrower than
  // two pixels gathered into one, titled with their least and greatest
  // value), titled with the value in `unita` and its chainage. NaN cells
  // have none.
  void suggerimenti(double cima, double altezza, const std::vector<double>& valori,
                    std::string_view unita, bool segno = false);
  // Cell values, NaN where a cell holds none.
  template <typename F>
  std::vector<double> per_cella(F f) const {
    std::vector<double> v(c_.size());
    for (size_t i = 0; i < c_.size(); ++i) v[i] = f(c_[i]);
    return v;
  }

 private:
  const Testata& t_;
  const std::vector<Cella>& c_;
  const std::vector<Stazione>& st_;
  const Asse& asse_;
  Svg svg_;
  double y_;
};

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_BANDE_H_

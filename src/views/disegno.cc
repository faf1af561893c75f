#include "views/disegno.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "base/testo.h"
#include "views/json.h"

namespace scenario {

namespace {

// The drawing's frame, in SVG user units (pixels at 100 %).
constexpr double kLarghezza = 1800;
constexpr double kSinistra = 150;  // band names left of this
constexpr double kDestra = 1752;   // scale numbers right of this
constexpr double kMetriCella = 50;
constexpr double kCorpo = 11;                   // text size of labels
constexpr double kLarghezzaLettera = 0.62;      // a capital's width per unit of text size
constexpr double kVicinanzaSegni = 4;           // marks closer than this share a symbol
constexpr size_t kVociPerGruppo = 4;            // lines a shared symbol's title lists
constexpr size_t kMassimoPuntiPianta = 100000;  // the ground plan's track at most

constexpr std::string_view kCaratteri = "DejaVu Sans, Verdana, Arial, sans-serif";

// ---------------------------------------------------------------------------
// Text and numbers.

// A coordinate with one decimal, without a trailing ".0". Whatever a file
// holds, a coordinate stays a plain number of a few digits.
void metti_numero(double v, std::string* out) {
  char buf[32];
  v = std::isfinite(v) ? std::clamp(v, -1e9, 1e9) : 0;
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  if (s.size() >= 2 && s.substr(s.size() - 2) == ".0") s.remove_suffix(2);
  if (s == "-0") s = "0";
  out->append(s);
}

std::string intero(int64_t v) { return std::to_string(v); }

// "12 345" with a thin space between thousands: long chainages read easier.
std::string metri(int64_t m) {
  std::string cifre = std::to_string(m < 0 ? -m : m);
  std::string r;
  for (size_t i = 0; i < cifre.size(); ++i) {
    if (i > 0 && (cifre.size() - i) % 3 == 0) r += "\u202F";
    r += cifre[i];
  }
  return (m < 0 ? "-" : "") + r + " m";
}

// UTF-8 text for XML content or attributes: the markup characters as
// entities, control characters (which XML 1.0 refuses or discourages) as
// '?'.
void metti_xml(std::string_view utf8, std::string* out) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    switch (b) {
      case '&': out->append("&amp;"); break;
      case '<': out->append("&lt;"); break;
      case '>': out->append("&gt;"); break;
      case '"': out->append("&quot;"); break;
      case '\n': out->push_back('\n'); break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out->push_back('?');
        } else if (b == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
          out->push_back('?');  // a C1 control, U+0080..U+009F
          ++i;
        } else {
          out->push_back(static_cast<char>(b));
        }
    }
  }
}

std::string da_1252(std::string_view bytes) { return utf8_da_1252(bytes); }

size_t lettere(std::string_view utf8) {
  size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

double larghezza_testo(std::string_view utf8, double corpo) {
  return static_cast<double>(lettere(utf8)) * corpo * kLarghezzaLettera;
}

// The SVG being written.
class Svg {
 public:
  Svg& t(std::string_view s) {
    s_.append(s);
    return *this;
  }
  Svg& n(double v) {
    metti_numero(v, &s_);
    return *this;
  }
  Svg& x(std::string_view utf8) {
    metti_xml(utf8, &s_);
    return *this;
  }
  // <title>...</title>
  Svg& titolo(std::string_view utf8) { return t("<title>").x(utf8).t("</title>"); }
  // A label: anchored at (x, y), with a white halo so that it stays
  // readable over lines.
  Svg& etichetta(double x, double y, std::string_view utf8, double corpo,
                 std::string_view ancora = "start", std::string_view altro = {}) {
    t("<text x=\"").n(x).t("\" y=\"").n(y).t("\" font-size=\"").n(corpo).t("\"");
    if (ancora != "start") t(" text-anchor=\"").t(ancora).t("\"");
    if (!altro.empty()) t(" ").t(altro);
    return t(">").x(utf8).t("</text>\n");
  }
  std::string prendi() { return std::move(s_); }

 private:
  std::string s_;
};

struct Riquadro {
  double x0, y0, x1, y1;
  bool tocca(const Riquadro& o, double aria = 2) const {
    return x0 < o.x1 + aria && o.x0 < x1 + aria && y0 < o.y1 + aria && o.y0 < y1 + aria;
  }
};

// Places labels that must not hide each other, nor (where it can be
// helped) the track: the track is kept as a bitmap of 2-pixel squares.
class Etichette {
 public:
  bool libero(const Riquadro& r) const {
    for (const Riquadro& o : presi_) {
      if (r.tocca(o)) return false;
    }
    return true;
  }
  void prendi(const Riquadro& r) { presi_.push_back(r); }

  void binario(double ax, double ay, double bx, double by) {
    const double l = std::hypot(bx - ax, by - ay);
    const int passi = static_cast<int>(std::min(l, 4000.0)) + 1;
    for (int i = 0; i <= passi; ++i) {
      const double t = static_cast<double>(i) / passi;
      if (const auto k = quadretto(ax + t * (bx - ax), ay + t * (by - ay))) mappa_[*k] = 1;
    }
  }
  bool sul_binario(const Riquadro& r) const {
    for (double y = std::floor(r.y0); y <= r.y1 + 1; y += kQuadretto) {
      for (double x = std::floor(r.x0); x <= r.x1 + 1; x += kQuadretto) {
        const auto k = quadretto(x, y);
        if (k && mappa_[*k]) return true;
      }
    }
    return false;
  }

 private:
  static constexpr double kQuadretto = 2;
  static constexpr int kColonne = static_cast<int>(kLarghezza / kQuadretto) + 1;
  static constexpr int kRighe = 2000;

  std::optional<size_t> quadretto(double x, double y) const {
    if (!(x >= 0 && y >= 0)) return std::nullopt;
    const int c = static_cast<int>(x / kQuadretto), r = static_cast<int>(y / kQuadretto);
    if (c >= kColonne || r >= kRighe) return std::nullopt;
    return static_cast<size_t>(r) * kColonne + static_cast<size_t>(c);
  }

  std::vector<Riquadro> presi_;
  std::vector<uint8_t> mappa_ = std::vector<uint8_t>(static_cast<size_t>(kColonne) * kRighe, 0);
};

// A step of 1, 2 or 5 times a power of ten, in kilometres, such that
// `per_km` pixels a kilometre give at least `minimo` pixels a step.
int64_t passo_km(double per_km, double minimo) {
  for (int64_t dieci = 1; dieci <= 10000000; dieci *= 10) {
    for (const int64_t f : {1, 2, 5}) {
      if (static_cast<double>(f * dieci) * per_km >= minimo) return f * dieci;
    }
  }
  return 10000000;
}

std::string orario(int32_t secondi) {
  if (secondi < 0) return intero(secondi) + " s";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secondi / 3600, secondi / 60 % 60, secondi % 60);
  return buf;
}

// ---------------------------------------------------------------------------
// What the files say.

struct Stazione {
  int voce;
  std::string nome;  // UTF-8
  int32_t posizione;
  int32_t inizio;
  int32_t fine;
  uint8_t tipo;
  int32_t orario;
};

// Stations take entries 1, 2, ... and boards 80, 79, ...: the stations end at
// the first empty entry or the first entry a board's cell names.
std::vector<Stazione> stazioni(const Testata& t, const std::vector<Cella>& celle) {
  std::set<int> cartelli;
  for (const Cella& c : celle) {
    if (c.tipo_cella == cella_cartello) cartelli.insert(c.dato_uno);
  }
  std::vector<Stazione> r;
  for (int k = 1; k <= kPrimaVoceCartello; ++k) {
    const Voce& v = t[static_cast<size_t>(k)];
    if (cartelli.count(k) != 0 || v == Voce{}) break;
    r.push_back({k, da_1252(v.testo), v.valore_tre, v.valore_uno, v.valore_due, v.codice,
                 v.valore_quattro});
  }
  return r;
}

std::string dove(size_t cella) {
  return "cella " + std::to_string(cella) + " (" +
         metri(static_cast<int64_t>(cella) * static_cast<int64_t>(kMetriCella)) + ")";
}

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

// ---------------------------------------------------------------------------
// Bands along the chainage.

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
  void punto(double x, double y) {
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
  // A gap: the next point starts a new piece.
  void interrompi() {
    chiudi_colonna();
    aperta_ = false;
  }
  void fine() { interrompi(); }

 private:
  void chiudi_colonna() {
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

  Svg* svg_;
  bool iniziata_ = false;
  bool aperta_ = false;
  double colonna_ = 0;
  double x_primo_ = 0, x_min_ = 0, x_max_ = 0, x_ultimo_ = 0;
  double primo_ = 0, min_ = 0, max_ = 0, ultimo_ = 0;
};

// A value per cell drawn as steps: each cell's value over its 50 m. NaN
// leaves a gap.
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

struct Segno {
  double m;           // chainage
  int forma;          // the symbol
  std::string breve;  // one line
  std::string completo;
};

// Marks of one row; those closer than kVicinanzaSegni share a symbol whose
// title counts and lists them.
void segni(Svg& svg, const Asse& asse, std::vector<Segno> tutti, double y,
           const std::vector<std::string_view>& simboli, std::string_view plurale) {
  std::stable_sort(tutti.begin(), tutti.end(),
                   [](const Segno& a, const Segno& b) { return a.m < b.m; });
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

// ---------------------------------------------------------------------------
// The ground plan.

struct Punto2 {
  double x, y;
  size_t p;  // plan point
};

// The square of q's distance from the segment a-b: squares compare as the
// distances do, without a square root per point.
double distanza2_segmento(const Punto2& q, const Punto2& a, const Punto2& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double l2 = dx * dx + dy * dy;
  const double qx = q.x - a.x, qy = q.y - a.y;
  if (l2 == 0) return qx * qx + qy * qy;
  const double t = std::clamp((qx * dx + qy * dy) / l2, 0.0, 1.0);
  const double ex = qx - t * dx, ey = qy - t * dy;
  return ex * ex + ey * ey;
}

// Douglas-Peucker after a radial pass: points nearer than `tolleranza` to the
// last kept one go first (linear), then the polyline keeps only the points
// that stand out from it by more than `tolleranza`. A split far off the
// middle of its stretch costs the whole stretch again, so that noise would
// make the splits quadratic. Once the work passes 64 looks per point (a
// traced line takes a few tens at most: the plain splits, and so every
// compiled line's picture, stay as they are), a lopsided split also keeps
// its stretch's middle point, and every stretch is then at most three
// quarters of the one before it: the work stays O(n log n) on any input,
// and a point dropped is still within `tolleranza` of the line kept.
std::vector<Punto2> sfoltisci(const std::vector<Punto2>& in, double tolleranza) {
  if (in.size() <= 2) return in;
  std::vector<Punto2> radiale;
  radiale.push_back(in.front());
  for (size_t i = 1; i + 1 < in.size(); ++i) {
    const Punto2& u = radiale.back();
    if (std::hypot(in[i].x - u.x, in[i].y - u.y) >= tolleranza) radiale.push_back(in[i]);
  }
  radiale.push_back(in.back());
  const size_t n = radiale.size();
  const double soglia = tolleranza * tolleranza;
  const size_t bilanciato = 64 * n;  // looks at points before splits are balanced
  size_t lavoro = 0;
  std::vector<char> tieni(n, 0);
  tieni.front() = tieni.back() = 1;
  std::vector<std::pair<size_t, size_t>> pila = {{0, n - 1}};
  while (!pila.empty()) {
    const auto [a, b] = pila.back();
    pila.pop_back();
    double peggiore = -1;
    size_t dove_peggiore = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double d = distanza2_segmento(radiale[i], radiale[a], radiale[b]);
      if (d > peggiore) peggiore = d, dove_peggiore = i;
    }
    lavoro += b - a;
    if (peggiore <= soglia) continue;
    tieni[dove_peggiore] = 1;
    const size_t quarto = (b - a) / 4;
    if (lavoro > bilanciato && (dove_peggiore - a < quarto || b - dove_peggiore < quarto)) {
      const size_t mezzo = a + (b - a) / 2;
      tieni[mezzo] = 1;
      const auto [x, y] = std::minmax(dove_peggiore, mezzo);
      pila.push_back({a, x});
      if (x != y) pila.push_back({x, y});
      pila.push_back({y, b});
    } else {
      pila.push_back({a, dove_peggiore});
      pila.push_back({dove_peggiore, b});
    }
  }
  std::vector<Punto2> r;
  for (size_t i = 0; i < n; ++i) {
    if (tieni[i]) r.push_back(radiale[i]);
  }
  return r;
}

// The last resort for a plan that no tolerance thins (all noise): in each
// pixel column a run of points keeps its first, lowest, highest and last,
// so that the drawing keeps its envelope, as the cell series do.
std::vector<Punto2> inviluppo(const std::vector<Punto2>& in) {
  std::vector<Punto2> r;
  for (size_t i = 0; i < in.size();) {
    const double colonna = std::floor(in[i].x);
    size_t j = i, basso = i, alto = i;
    for (; j < in.size() && std::floor(in[j].x) == colonna; ++j) {
      if (in[j].y < in[basso].y) basso = j;
      if (in[j].y > in[alto].y) alto = j;
    }
    const auto [primo, secondo] = std::minmax(basso, alto);
    for (const size_t k : {i, primo, secondo, j - 1}) {
      if (r.empty() || r.back().p != in[k].p) r.push_back(in[k]);
    }
    i = j;
  }
  return r;
}

struct Pianta {
  // Pieces of traced line (a gap in the plan splits them), in pixels.
  std::vector<std::vector<Punto2>> pezzi;
  // Every drawable point in pixels, by plan point; NaN where none.
  std::vector<double> px, py;
  double altezza = 0;  // of the panel
  double pixel_per_metro = 0;
};

bool disegnabile(const PianoLetto& piano, size_t p) {
  return piano.x0[p].tipo != TipoValore::vuoto && piano.x1[p].tipo != TipoValore::vuoto &&
         std::isfinite(piano.x0[p].valore) && std::isfinite(piano.x1[p].valore);
}

// Turns the plan so that its main direction runs across, start on the left,
// and fits it into the panel that starts at y = cima.
std::optional<Pianta> pianta(const PianoLetto& piano, double cima) {
  const size_t n = piano.punti();
  // The main direction of the points (their principal axis).
  double sx = 0, sy = 0, k = 0;
  size_t primo = n, ultimo = n;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) continue;
    sx += piano.x0[p].valore;
    sy += piano.x1[p].valore;
    k += 1;
    if (primo == n) primo = p;
    ultimo = p;
  }
  if (k < 2) return std::nullopt;
  const double mx = sx / k, my = sy / k;
  double sxx = 0, syy = 0, sxy = 0;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) continue;
    const double dx = piano.x0[p].valore - mx, dy = piano.x1[p].valore - my;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  double angolo = 0.5 * std::atan2(2 * sxy, sxx - syy);
  if (!std::isfinite(angolo)) angolo = 0;
  // x0 across, x1 up: the plan as a map, turned by -angolo.
  auto ruota = [&](double a, double b, double ang) {
    const double c = std::cos(ang), s = std::sin(ang);
    return std::pair{(a - mx) * c + (b - my) * s, -(a - mx) * s + (b - my) * c};
  };
  if (ruota(piano.x0[primo].valore, piano.x1[primo].valore, angolo).first >
      ruota(piano.x0[ultimo].valore, piano.x1[ultimo].valore, angolo).first) {
    angolo += std::numbers::pi;
  }
  double minx = INFINITY, maxx = -INFINITY, miny = INFINITY, maxy = -INFINITY;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) continue;
    const auto [u, v] = ruota(piano.x0[p].valore, piano.x1[p].valore, angolo);
    minx = std::min(minx, u), maxx = std::max(maxx, u);
    miny = std::min(miny, v), maxy = std::max(maxy, v);
  }
  const double larghezza = kDestra - 60, altezza_massima = 520;
  const double estensione = std::max(maxx - minx, maxy - miny);
  if (!std::isfinite(estensione) || estensione <= 0) return std::nullopt;
  const double scala = std::min(larghezza / std::max(maxx - minx, estensione * 1e-3),
                                altezza_massima / std::max(maxy - miny, estensione * 1e-3));
  if (!std::isfinite(scala) || scala <= 0) return std::nullopt;
  Pianta r;
  r.pixel_per_metro = scala;
  const double alto = (maxy - miny) * scala;
  r.altezza = alto + 110;
  const double ox = 60 + (larghezza - (maxx - minx) * scala) / 2;
  const double oy = cima + 55 + alto;  // where miny lands
  r.px.assign(n, NAN);
  r.py.assign(n, NAN);
  std::vector<Punto2> pezzo;
  for (size_t p = 0; p < n; ++p) {
    if (!disegnabile(piano, p)) {
      if (pezzo.size() > 0) r.pezzi.push_back(std::move(pezzo));
      pezzo.clear();
      continue;
    }
    const auto [u, v] = ruota(piano.x0[p].valore, piano.x1[p].valore, angolo);
    const double x = ox + (u - minx) * scala, y = oy - (v - miny) * scala;
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    r.px[p] = x;
    r.py[p] = y;
    pezzo.push_back({x, y, p});
  }
  if (!pezzo.empty()) r.pezzi.push_back(std::move(pezzo));
  return r;
}

// The direction of the track at plan point p, from the drawable points
// around it; none where there are too few.
std::optional<std::pair<double, double>> direzione(const Pianta& pi, size_t p, size_t raggio) {
  const size_t a = p >= raggio ? p - raggio : 0;
  const size_t b = std::min(pi.px.size() - 1, p + raggio);
  size_t da = a, a_ = b;
  while (da < p && std::isnan(pi.px[da])) ++da;
  while (a_ > p && std::isnan(pi.px[a_])) --a_;
  if (std::isnan(pi.px[da]) || std::isnan(pi.px[a_]) || da == a_) return std::nullopt;
  const double dx = pi.px[a_] - pi.px[da], dy = pi.py[a_] - pi.py[da];
  const double l = std::hypot(dx, dy);
  if (l == 0) return std::nullopt;
  return std::pair{dx / l, dy / l};
}

// The nearest drawable plan point to p.
std::optional<size_t> punto_vicino(const Pianta& pi, int64_t p) {
  const int64_t n = static_cast<int64_t>(pi.px.size());
  if (n == 0) return std::nullopt;
  p = std::clamp<int64_t>(p, 0, n - 1);
  for (int64_t d = 0; d < n; ++d) {
    if (p - d >= 0 && !std::isnan(pi.px[static_cast<size_t>(p - d)])) {
      return static_cast<size_t>(p - d);
    }
    if (p + d < n && !std::isnan(pi.px[static_cast<size_t>(p + d)])) {
      return static_cast<size_t>(p + d);
    }
    if (p - d < 0 && p + d >= n) break;
  }
  return std::nullopt;
}

Riquadro riquadro_testo(double x, double y, std::string_view utf8, double corpo,
                        std::string_view ancora) {
  const double w = larghezza_testo(utf8, corpo);
  const double x0 = ancora == "middle" ? x - w / 2 : ancora == "end" ? x - w : x;
  return {x0, y - corpo * 0.8, x0 + w, y + corpo * 0.25};
}

// A label beside plan point (x, y), on either side of the track of
// direction (dx, dy), at the first place that hides no other label and no
// track; failing that, with `sul_binario`, the first that hides no label.
// False when none is found.
bool etichetta_accanto(Svg& svg, Etichette& occupate, double x, double y, double dx, double dy,
                       std::string_view testo, double corpo, std::string_view altro,
                       std::initializer_list<double> distanze, bool sul_binario) {
  // Normal to the track; labels go above first.
  double nx = -dy, ny = dx;
  if (ny > 0) nx = -nx, ny = -ny;
  for (const bool anche_sul_binario : {false, true}) {
    if (anche_sul_binario && !sul_binario) break;
    for (const double d : distanze) {
      for (const int lato : {1, -1}) {
        const double cx = x + lato * nx * d, cy = y + lato * ny * d;
        // Anchor so that the text grows away from the track.
        const double ex = lato * nx;
        const std::string_view ancora = ex > 0.4 ? "start" : ex < -0.4 ? "end" : "middle";
        const double by = cy + (lato * ny > 0.4    ? corpo * 0.8
                                : lato * ny < -0.4 ? 0
                                                   : corpo * 0.35);
        const Riquadro r = riquadro_testo(cx, by, testo, corpo, ancora);
        if (r.x0 < 8 || r.x1 > kLarghezza - 8 || !occupate.libero(r)) continue;
        if (!anche_sul_binario && occupate.sul_binario(r)) continue;
        occupate.prendi(r);
        svg.etichetta(cx, by, testo, corpo, ancora, altro);
        return true;
      }
    }
  }
  return false;
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

  // Kilometre ticks: as dense as a few pixels allow, labelled where there
  // is room.
  const double per_km = pi.pixel_per_metro * 1000;
  const int64_t tacca = passo_km(per_km, 7);
  const int64_t nome = passo_km(per_km, 80);
  std::string tacche;
  Svg testi;
  for (int64_t km = 0; km * 1000 < static_cast<int64_t>(pi.px.size()); km += tacca) {
    const size_t p = static_cast<size_t>(km * 1000);
    if (std::isnan(pi.px[p])) continue;
    const auto d = direzione(pi, p, 30);
    if (!d) continue;
    const bool grande = km % nome == 0;
    const double l = grande ? 7 : 4;
    const double nx = -d->second, ny = d->first;
    metti_numero(pi.px[p] - nx * l, &tacche);
    tacche += ' ';
    metti_numero(pi.py[p] - ny * l, &tacche);
    tacche += 'l';
    metti_numero(2 * nx * l, &tacche);
    tacche += ' ';
    metti_numero(2 * ny * l, &tacche);
    tacche += 'M';
    if (grande) {
      etichetta_accanto(testi, occupate, pi.px[p], pi.py[p], d->first, d->second,
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

// ---------------------------------------------------------------------------
// The whole drawing.

class Disegno {
 public:
  Disegno(const Testata& t, const std::vector<Cella>& c, const PianoLetto* piano)
      : t_(t),
        c_(c),
        piano_(piano),
        st_(stazioni(t, c)),
        asse_(static_cast<double>(c.size()) * kMetriCella) {}

  std::string disegna();

 private:
  double banda(double altezza, std::string_view nome, std::string_view nota = {});
  // A legend line under a band's name: pieces of text, each in its colour.
  void legenda(double y,
               std::initializer_list<std::pair<std::string_view, std::string_view>> pezzi);
  void griglia_verticale(double da, double a);
  void asse_km(double y, bool sopra);
  void banda_stazioni();
  void banda_velocita();
  void banda_altimetria();
  void banda_pendenza();
  void banda_aderenza();
  void banda_strutture();
  void banda_segnali();
  void banda_rallentamenti();
  void banda_segni(std::string_view nome, std::initializer_list<uint8_t> codici,
                   std::string_view simbolo, std::string_view plurale);
  void scala_destra(double y, std::string_view testo) {
    svg_.etichetta(kDestra + 5, y + 3.5, testo, 9, "start", "fill=\"#666666\"");
  }
  void riga_orizzontale(double y, std::string_view colore, double spessore = 0.6) {
    svg_.t("<path d=\"M").n(kSinistra).t(" ").n(y).t("H").n(kDestra).t("\" stroke=\"");
    svg_.t(colore).t("\" stroke-width=\"").n(spessore).t("\"/>\n");
  }
  // Cell values, NaN where a cell holds none.
  template <typename F>
  std::vector<double> per_cella(F f) const {
    std::vector<double> v(c_.size());
    for (size_t i = 0; i < c_.size(); ++i) v[i] = f(c_[i]);
    return v;
  }

  const Testata& t_;
  const std::vector<Cella>& c_;
  const PianoLetto* piano_;
  std::vector<Stazione> st_;
  Asse asse_;
  Svg svg_;
  double y_ = 0;  // the top of the next band
};

double Disegno::banda(double altezza, std::string_view nome, std::string_view nota) {
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

void Disegno::legenda(double y,
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

void Disegno::griglia_verticale(double da, double a) {
  const int64_t passo = passo_km(asse_.per_km(), 70);
  svg_.t("<path d=\"");
  for (int64_t km = 0; static_cast<double>(km) * 1000 <= asse_.totale(); km += passo) {
    svg_.t("M").n(asse_.x(static_cast<double>(km) * 1000)).t(" ").n(da).t("V").n(a);
  }
  svg_.t("\" stroke=\"#e4e4e4\" stroke-width=\"1\"/>\n");
}

void Disegno::asse_km(double y, bool sopra) {
  const int64_t passo = passo_km(asse_.per_km(), 70);
  const int64_t piccolo = passo_km(asse_.per_km(), 8);
  svg_.t("<path d=\"");
  for (int64_t km = 0; static_cast<double>(km) * 1000 <= asse_.totale(); km += piccolo) {
    const double l = km % passo == 0 ? 6 : 3;
    svg_.t("M").n(asse_.x(static_cast<double>(km) * 1000)).t(" ").n(y).t("v").n(sopra ? -l : l);
  }
  svg_.t("\" stroke=\"#555555\"/>\n");
  riga_orizzontale(y, "#555555", 1);
  for (int64_t km = 0; static_cast<double>(km) * 1000 <= asse_.totale(); km += passo) {
    svg_.etichetta(asse_.x(static_cast<double>(km) * 1000), sopra ? y - 9 : y + 17,
                   intero(km) + " km", 10, "middle", "fill=\"#444444\"");
  }
}

void Disegno::banda_stazioni() {
  // Names in rows above the zones, each in the first row where it hides no
  // other; a name that finds no room is left to its zone's title.
  constexpr int kFile = 4;
  constexpr double kRiga = 13;
  std::vector<std::vector<Riquadro>> file(kFile);
  std::vector<int> fila(st_.size(), -1);
  std::vector<double> centro(st_.size(), 0);
  int usate = 1;
  for (size_t i = 0; i < st_.size(); ++i) {
    const double x = asse_.x(st_[i].posizione);
    Riquadro r = riquadro_testo(x, 0, st_[i].nome, 10.5, "middle");
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
  const double cima = banda(usate * kRiga + zona + 22, "Stazioni");
  legenda(cima + 28, {{"■", "#9cc3ea"}, {"zona", "#666666"}, {"▲ fermata", "#0b2545"}});
  const double y_zona = cima + usate * kRiga + 12;
  svg_.t("<g id=\"stazioni\">\n");
  for (size_t i = 0; i < st_.size(); ++i) {
    const Stazione& s = st_[i];
    const double x0 = asse_.x(std::max<double>(s.inizio, 0));
    const double x1 = std::max(asse_.x(std::min<double>(s.fine, asse_.totale())), x0 + 1);
    svg_.t("<g>");
    svg_.titolo(s.nome + "\nstazione a " + metri(s.posizione) + ", zona da " + metri(s.inizio) +
                " a " + metri(s.fine) + "\ntipo " + intero(s.tipo) + ", orario " +
                orario(s.orario) + ", voce " + intero(s.voce));
    svg_.t("<rect x=\"").n(x0).t("\" y=\"").n(y_zona).t("\" width=\"").n(x1 - x0);
    svg_.t("\" height=\"").n(zona).t("\" fill=\"#9cc3ea\" stroke=\"#1f4e8c\" stroke-width=\"1\"/>");
    const double xs = asse_.x(s.posizione);
    svg_.t("<path d=\"M").n(xs).t(" ").n(y_zona - 2).t("v").n(zona + 4);
    svg_.t("\" stroke=\"#0b2545\" stroke-width=\"1.5\"/>");
    if (fila[i] >= 0) {
      const double y = cima + (usate - fila[i]) * kRiga + 2;
      svg_.t("<path d=\"M").n(centro[i]).t(" ").n(y + 2).t("L").n(xs).t(" ").n(y_zona);
      svg_.t("\" stroke=\"#9aaabb\" stroke-width=\"0.6\"/>");
      svg_.t("\n");
      svg_.etichetta(centro[i], y, s.nome, 10.5, "middle", "class=\"alone\" fill=\"#0b2545\"");
    }
    svg_.t("</g>\n");
  }
  // Stop marks.
  for (size_t i = 0; i < c_.size(); ++i) {
    if (c_[i].tipo_cella != cella_fermata) continue;
    svg_.t("<use xlink:href=\"#fermata\" x=\"").n(asse_.x_cella(i)).t("\" y=\"");
    svg_.n(y_zona + zona + 1).t("\">");
    svg_.titolo("fermata della stazione " + intero(c_[i].dato_uno) + ", " + dove(i));
    svg_.t("</use>\n");
  }
  svg_.t("</g>\n");
}

void Disegno::banda_velocita() {
  const std::vector<double> v = per_cella([](const Cella& c) { return c.velocita_treno * 5.0; });
  double massima = 50;
  for (const double x : v) massima = std::max(massima, x);
  // The slowdowns: each start cell to the next end cell.
  struct Tratto {
    size_t da, a;
    int16_t v;
  };
  std::vector<Tratto> tratti;
  for (size_t i = 0; i < c_.size(); ++i) {
    if (c_[i].tipo_cella != cella_inizio_rallentamento) continue;
    size_t j = i + 1;
    while (j < c_.size() && c_[j].tipo_cella != cella_fine_rallentamento) ++j;
    if (j == c_.size()) continue;
    tratti.push_back({i, j, c_[i].dato_uno});
    massima = std::max<double>(massima, c_[i].dato_uno);
  }
  const double passo = massima > 250 ? 100 : 50;
  const double tetto = std::ceil(massima / passo) * passo;
  const double altezza = 120;
  const double cima = banda(altezza, "Velocità (km/h)");
  legenda(cima + 28, {{"— limite del treno", "#1f5fbf"}});
  legenda(cima + 39, {{"— rallentamenti", "#d62728"}});
  const double y0 = cima + altezza - 6;
  const double scala = (altezza - 14) / tetto;
  for (double s = 0; s <= tetto; s += passo) {
    riga_orizzontale(y0 - s * scala, s == 0 ? "#bbbbbb" : "#e4e4e4");
    scala_destra(y0 - s * scala, intero(static_cast<int64_t>(s)));
  }
  svg_.t("<path id=\"velocita\" d=\"");
  gradini(svg_, asse_, v, y0, scala);
  svg_.t("\" fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\"/>\n");
  for (const Tratto& t : tratti) {
    const double y = y0 - std::max<double>(t.v, 0) * scala;
    svg_.t("<path d=\"M").n(asse_.x_cella(t.da)).t(" ").n(y).t("H");
    svg_.n(std::max(asse_.x_cella(t.a + 1), asse_.x_cella(t.da) + 1.5));
    svg_.t("\" stroke=\"#d62728\" stroke-width=\"3\">");
    svg_.titolo("rallentamento a " + intero(t.v) + " km/h, da " + dove(t.da) + " a " + dove(t.a));
    svg_.t("</path>\n");
  }
}

void Disegno::banda_altimetria() {
  // Height at each cell boundary, from the gradients; a cell no gradient
  // reached counts as level.
  std::vector<double> quota(c_.size() + 1, 0);
  for (size_t i = 0; i < c_.size(); ++i) {
    const double g = c_[i].pendenza == 0 ? 0 : c_[i].pendenza - 100.0;
    quota[i + 1] = quota[i] + g * kMetriCella / 1000;
  }
  const auto [pmin, pmax] = std::minmax_element(quota.begin(), quota.end());
  const double basso = *pmin, alto = std::max(*pmax, basso + 1);
  const double altezza = 90;
  const double cima = banda(altezza, "Altimetria (m)", "dalle pendenze, rispetto\nall'inizio");
  const double scala = (altezza - 16) / (alto - basso);
  const double y0 = cima + altezza - 8;
  scala_destra(y0 - (alto - basso) * scala, intero(std::lround(alto)));
  scala_destra(y0, intero(std::lround(basso)));
  svg_.t("<path d=\"");
  Traccia tr(&svg_);
  for (size_t i = 0; i < quota.size(); ++i)
    tr.punto(asse_.x_cella(i), y0 - (quota[i] - basso) * scala);
  tr.fine();
  svg_.t("\" fill=\"none\" stroke=\"#8c6d31\" stroke-width=\"1.8\"/>\n");
}

void Disegno::banda_pendenza() {
  const std::vector<double> g =
      per_cella([](const Cella& c) { return c.pendenza == 0 ? NAN : c.pendenza - 100.0; });
  double massima = 5;
  for (const double x : g) {
    if (!std::isnan(x)) massima = std::max(massima, std::abs(x));
  }
  massima = std::ceil(massima / 5) * 5;
  const double altezza = 80;
  const double cima = banda(altezza, "Pendenza (‰)", "salita sopra lo zero");
  const double y0 = cima + altezza / 2;
  const double scala = (altezza / 2 - 6) / massima;
  riga_orizzontale(y0, "#bbbbbb");
  scala_destra(y0 - massima * scala, "+" + intero(static_cast<int64_t>(massima)));
  scala_destra(y0, "0");
  scala_destra(y0 + massima * scala, "-" + intero(static_cast<int64_t>(massima)));
  svg_.t("<path d=\"");
  gradini(svg_, asse_, g, y0, scala);
  svg_.t("\" fill=\"none\" stroke=\"#4d7a1f\" stroke-width=\"1.5\"/>\n");
}

void Disegno::banda_aderenza() {
  const std::vector<double> a = per_cella([](const Cella& c) { return c.aderenza * 1.0; });
  double massima = 100;
  for (const double x : a) massima = std::max(massima, x);
  const double altezza = 54;
  const double cima = banda(altezza, "Aderenza");
  const double y0 = cima + altezza - 5;
  const double scala = (altezza - 12) / massima;
  riga_orizzontale(y0, "#bbbbbb");
  scala_destra(y0 - massima * scala, intero(static_cast<int64_t>(massima)));
  scala_destra(y0, "0");
  svg_.t("<path d=\"");
  gradini(svg_, asse_, a, y0, scala);
  svg_.t("\" fill=\"none\" stroke=\"#7f4fbf\" stroke-width=\"1.5\"/>\n");
}

void Disegno::banda_strutture() {
  static constexpr std::array<std::string_view, 6> kColori = {"#8c564b", "#7f7f7f", "#e08a1e",
                                                              "#17becf", "#bcbd22", "#e377c2"};
  const double altezza = 26;
  const double cima = banda(altezza, "Strutture", "un colore per tipo");
  svg_.t("<g id=\"strutture\">\n");
  for (size_t i = 0; i < c_.size();) {
    const uint8_t tipo = c_[i].struttura;
    size_t j = i + 1;
    while (j < c_.size() && c_[j].struttura == tipo) ++j;
    if (tipo != 0) {
      const double x0 = asse_.x_cella(i);
      svg_.t("<rect x=\"").n(x0).t("\" y=\"").n(cima + 5).t("\" width=\"");
      svg_.n(std::max(asse_.x_cella(j) - x0, 1.0)).t("\" height=\"").n(altezza - 10);
      svg_.t("\" fill=\"").t(kColori[(tipo - 1u) % kColori.size()]).t("\">");
      svg_.titolo("struttura di tipo " + intero(tipo) + ", celle " +
                  intero(static_cast<int64_t>(i)) + "-" + intero(static_cast<int64_t>(j - 1)) +
                  " (" + metri(static_cast<int64_t>(i) * 50) + " - " +
                  metri(static_cast<int64_t>(j) * 50) + ")");
      svg_.t("</rect>\n");
    }
    i = j;
  }
  svg_.t("</g>\n");
}

void Disegno::banda_segnali() {
  const double altezza = 26;
  const double cima = banda(altezza, "Segnali");
  legenda(cima + 28, {{"■", "#f5d76e"}, {"ripetizione a codici", "#666666"}});
  const Voce& r = t_[kVoceTreno];
  if (r.valore_due > r.valore_uno) {
    const double x0 = asse_.x(std::max(r.valore_uno, 0));
    svg_.t("<rect x=\"").n(x0).t("\" y=\"").n(cima + 2).t("\" width=\"");
    svg_.n(std::max(asse_.x(std::min<double>(r.valore_due, asse_.totale())) - x0, 1.0));
    svg_.t("\" height=\"").n(altezza - 4).t("\" fill=\"#fff1b8\">");
    svg_.titolo("ripetizione dei segnali a " + intero(r.valore_tre) + " codici, da " +
                metri(r.valore_uno) + " a " + metri(r.valore_due));
    svg_.t("</rect>\n");
  }
  std::vector<Segno> s;
  for (size_t i = 0; i < c_.size(); ++i) {
    if (c_[i].tipo_cella != cella_segnale) continue;
    s.push_back(
        {static_cast<double>(i) * kMetriCella, 0, "segnale, " + dove(i), titolo_segnale(c_[i], i)});
  }
  segni(svg_, asse_, std::move(s), cima + altezza / 2, {"segnale"}, "segnali");
}

void Disegno::banda_rallentamenti() {
  const double altezza = 26;
  const double cima = banda(altezza, "Rallentamenti");
  legenda(cima + 28, {{"▲ avviso", "#c98a00"}, {"▶ inizio", "#d62728"}, {"◀ fine", "#2ca02c"}});
  std::vector<Segno> s;
  for (size_t i = 0; i < c_.size(); ++i) {
    const Cella& c = c_[i];
    const std::string dv = c.dato_due != 0 ? ", d_v " + intero(c.dato_due) : "";
    std::string breve;
    int forma = 0;
    switch (c.tipo_cella) {
      case cella_avviso_rallentamento:
        breve = "avviso di rallentamento a " + intero(c.dato_uno) + " km/h" + dv;
        forma = 0;
        break;
      case cella_inizio_rallentamento:
        breve = "inizio del rallentamento a " + intero(c.dato_uno) + " km/h" + dv + ", f_tt " +
                intero(c.dato_tre);
        forma = 1;
        break;
      case cella_fine_rallentamento:
        breve = "fine del rallentamento a " + intero(c.dato_uno) + " km/h" + dv + ", f_tt " +
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
  segni(svg_, asse_, std::move(s), cima + altezza / 2, {"avviso", "inizio", "fine", "preavviso"},
        "segni di rallentamento");
}

void Disegno::banda_segni(std::string_view nome, std::initializer_list<uint8_t> codici,
                          std::string_view simbolo, std::string_view plurale) {
  const double altezza = 22;
  const double cima = banda(altezza, nome);
  std::vector<Segno> s;
  for (size_t i = 0; i < c_.size(); ++i) {
    const Cella& c = c_[i];
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
        if (v >= 0 && v < kVociTestata) breve += ": " + da_1252(t_[static_cast<size_t>(v)].testo);
        break;
      }
      default: break;
    }
    s.push_back(
        {static_cast<double>(i) * kMetriCella, 0, breve + ", " + dove(i), breve + "\n" + dove(i)});
  }
  segni(svg_, asse_, std::move(s), cima + altezza / 2, {simbolo}, plurale);
}

constexpr std::string_view kSimboli =
    "<defs>\n"
    "<style>.alone{paint-order:stroke;stroke:#ffffff;stroke-width:3px;stroke-linejoin:round}"
    "</style>\n"
    "<g id=\"segnale\"><path d=\"M0 9V-2\" stroke=\"#202020\" stroke-width=\"1.4\"/>"
    "<circle cy=\"-4\" r=\"3.6\" fill=\"#c0392b\" stroke=\"#202020\" stroke-width=\"0.8\"/>"
    "</g>\n"
    "<path id=\"avviso\" d=\"M0 -7L6 5H-6Z\" fill=\"#f0a30a\" stroke=\"#7a5200\" "
    "stroke-width=\"0.8\"/>\n"
    "<path id=\"inizio\" d=\"M-1 -8V8L8 0Z\" fill=\"#d62728\"/>\n"
    "<path id=\"fine\" d=\"M1 -8V8L-8 0Z\" fill=\"#2ca02c\"/>\n"
    "<circle id=\"preavviso\" r=\"2.2\" fill=\"#f0a30a\"/>\n"
    "<path id=\"indicatore\" d=\"M0 -6L6 0L0 6L-6 0Z\" fill=\"#ffffff\" stroke=\"#1f5fbf\" "
    "stroke-width=\"1.6\"/>\n"
    "<rect id=\"codice\" x=\"-3\" y=\"-3\" width=\"6\" height=\"6\" fill=\"#9467bd\"/>\n"
    "<rect id=\"cartello\" x=\"-4\" y=\"-5\" width=\"8\" height=\"7\" fill=\"#ffffff\" "
    "stroke=\"#505050\" stroke-width=\"1.2\"/>\n"
    "<path id=\"fermata\" d=\"M-4 6H4L0 0Z\" fill=\"#0b2545\"/>\n"
    "</defs>\n";

std::string Disegno::disegna() {
  const std::string linea = da_1252(t_[kVoceLinea].testo);
  const std::string treno = da_1252(t_[kVoceTreno].testo);
  const int32_t lunghezza = t_[kVoceDatiTreno].valore_due;

  size_t segnali = 0, rallentamenti = 0;
  for (const Cella& c : c_) {
    segnali += c.tipo_cella == cella_segnale;
    rallentamenti += c.tipo_cella == cella_inizio_rallentamento;
  }

  svg_.t("<text x=\"12\" y=\"30\" font-size=\"20\" font-weight=\"bold\">");
  svg_.x(linea).t(" — treno ").x(treno).t("</text>\n");
  svg_.etichetta(12, 50,
                 "linea di " + metri(lunghezza) + ", " + intero(static_cast<int64_t>(c_.size())) +
                     " celle (" + metri(static_cast<int64_t>(c_.size()) * 50) + "), " +
                     intero(static_cast<int64_t>(st_.size())) + " stazioni, " +
                     intero(static_cast<int64_t>(segnali)) + " segnali, " +
                     intero(static_cast<int64_t>(rallentamenti)) + " rallentamenti",
                 12, "start", "fill=\"#444444\"");
  y_ = 62;

  std::optional<Pianta> pi;
  if (piano_ != nullptr) pi = pianta(*piano_, y_);
  if (pi) {
    svg_.t("<rect x=\"6\" y=\"").n(y_).t("\" width=\"").n(kLarghezza - 12).t("\" height=\"");
    svg_.n(pi->altezza).t("\" fill=\"#ffffff\" stroke=\"#dddddd\"/>\n");
    disegna_pianta(svg_, *pi, y_, st_);
    y_ += pi->altezza + 10;
  } else {
    svg_.etichetta(12, y_ + 14,
                   piano_ == nullptr ? "Nessuna planimetria: il file della linea non c'è."
                                     : "Planimetria senza punti da disegnare.",
                   11, "start", "fill=\"#666666\"");
    y_ += 26;
  }

  // The bands, under a kilometre axis, with a grid through all of them.
  y_ += 22;
  const double cima_bande = y_;
  Svg bande;
  std::swap(bande, svg_);
  y_ += 6;
  banda_stazioni();
  banda_velocita();
  banda_altimetria();
  banda_pendenza();
  banda_aderenza();
  banda_strutture();
  banda_segnali();
  banda_rallentamenti();
  banda_segni("Indicatori", {cella_indicatore}, "indicatore", "indicatori di velocità");
  banda_segni("Punti codice", {cella_abbattimento, cella_abbattimento_senza_valore}, "codice",
              "punti di codice");
  banda_segni("Cartelli", {cella_cartello}, "cartello", "cartelli");
  const double fondo_bande = y_;
  std::swap(bande, svg_);
  griglia_verticale(cima_bande, fondo_bande);
  svg_.t(bande.prendi());
  asse_km(cima_bande, true);
  asse_km(fondo_bande, false);
  if (lunghezza > 0 && lunghezza < asse_.totale()) {
    const double x = asse_.x(lunghezza);
    svg_.t("<path d=\"M").n(x).t(" ").n(cima_bande).t("V").n(fondo_bande);
    svg_.t("\" stroke=\"#444444\" stroke-dasharray=\"4 3\"><title>fine della linea, ");
    svg_.x(metri(lunghezza)).t("; dopo, i 7000 m che la prolungano</title></path>\n");
    svg_.etichetta(x, fondo_bande + 30, "fine della linea", 9, "middle", "fill=\"#444444\"");
  }
  y_ = fondo_bande + 40;
  svg_.etichetta(
      12, y_,
      "Progressive in metri dall'inizio della linea; la cella i è il tratto da i × 50 m. "
      "Passando sopra un segno se ne legge il contenuto.",
      10, "start", "fill=\"#666666\"");
  y_ += 14;

  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "width=\"";
  metti_numero(kLarghezza, &out);
  out += "\" height=\"";
  metti_numero(y_, &out);
  out += "\" viewBox=\"0 0 ";
  metti_numero(kLarghezza, &out);
  out += ' ';
  metti_numero(y_, &out);
  out += "\" font-family=\"" + std::string(kCaratteri) + "\">\n<title>";
  metti_xml(linea + " — treno " + treno, &out);
  out += "</title>\n";
  out += kSimboli;
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out += svg_.prendi();
  out += "</svg>\n";
  return out;
}

}  // namespace

std::string disegna_scenario(const Testata& testata, const std::vector<Cella>& celle,
                             const PianoLetto* piano) {
  return Disegno(testata, celle, piano).disegna();
}

}  // namespace scenario

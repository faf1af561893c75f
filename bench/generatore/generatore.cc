#include "generatore/generatore.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <string_view>

namespace scenario {

namespace {

// The track repeats one stretch of 16 cells (800 m). Relative to the
// stretch's first cell b:
//   b + 0   slowdown start; its end is b + 2 (100 m), its warning b - 24 and
//           its four pre-warning cells b - 25 .. b - 28 (offsets 8 and 7..4
//           of earlier stretches);
//   b + 1   speed indicator, every fourth stretch;
//   b + 10  signal;  b + 13  signal;
//   b + 12  station mark, in 20 stretches;
//   b + 15  board, in 57 stretches.
// Offsets 3, 9, 11 and 14 stay free for the code points of the cell walk,
// so every slowdown finds a free cell in each approach group, and every
// signal a free cell just before it. Nothing is placed below cell 48: the
// first warning then lies at cell 24, and the departure terminus' mark at
// cell 13 meets nothing.
constexpr int32_t kCellePeriodo = 16;
constexpr int32_t kPrimoPeriodo = 3;
constexpr int32_t kScartoIndicatore = 1;
constexpr int32_t kScartiSegnali[] = {10, 13};
constexpr int32_t kScartoFermata = 12;
constexpr int32_t kScartoCartello = 15;

// 57 boards leave entry 23 as the first free one below them, so 21
// stations fit: the header table is then full.
constexpr int32_t kCartelli = 57;
constexpr int32_t kStazioniNelPercorso = 20;  // besides the departure terminus

constexpr int32_t kPassoProfilo = 200;  // a curve and a gradient every 200 m

// The position whose cell, nearest(p / 50 + 1), is c.
int32_t posizione_di_cella(int32_t c) { return (c - 1) * kMetriCella; }

// What the line's length fixes.
struct Disposizione {
  explicit Disposizione(int32_t l)
      : lunghezza(l),
        ultima_cella(static_cast<int32_t>(cella_finale(l + kMetriProlungamento))),
        // The last stretch keeps 48 cells from the end, so every signal
        // passes the position check and every search after a slowdown
        // stays inside the track.
        ultimo_periodo((ultima_cella - 48) / kCellePeriodo - 1) {}

  int32_t periodi() const { return ultimo_periodo - kPrimoPeriodo + 1; }
  bool con_cartello(int32_t k) const {
    for (int32_t i = 0; i < kCartelli; ++i) {
      if (kPrimoPeriodo + i * periodi() / kCartelli == k) return true;
    }
    return false;
  }
  // The stretch of station s (0 = the first after the terminus): spread
  // evenly, zones at least 5 stretches (4 km) apart.
  int32_t periodo_stazione(int32_t s) const {
    return kPrimoPeriodo + 1 + (s + 1) * (periodi() - 2) / (kStazioniNelPercorso + 1);
  }

  int32_t lunghezza;
  int32_t ultima_cella;
  int32_t ultimo_periodo;
};

class Testo {
 public:
  explicit Testo(size_t riserva) { s_.reserve(riserva); }

  Testo& operator<<(std::string_view t) {
    s_.append(t);
    return *this;
  }
  Testo& operator<<(int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    s_.append(buf, r.ptr);
    return *this;
  }
  Testo& operator<<(int32_t v) { return *this << int64_t{v}; }

  // A keyword and its values, each after a comma and two blanks; a text
  // value, when given, ends the row after a comma and one blank.
  void riga(std::string_view chiave, std::initializer_list<int64_t> valori,
            std::string_view testo_finale = {}) {
    s_.append(chiave);
    for (const int64_t v : valori) *this << ",  " << v;
    if (!testo_finale.empty()) *this << ", " << testo_finale;
    fine_riga();
  }
  void fine_riga() { s_.append("\r\n"); }
  std::string prendi() { return std::move(s_); }

 private:
  std::string s_;
};

// "Km 12+345", padded to nine characters like the carried boards.
std::string chilometri(int32_t posizione) {
  std::string t = "Km " + std::to_string(posizione / 1000) + "+";
  const std::string metri = std::to_string(1000 + posizione % 1000).substr(1);
  t += metri;
  t.resize(std::max<size_t>(t.size(), 9), ' ');
  return t;
}

std::string testo_cartello(int32_t i, int32_t posizione) {
  switch (i % 4) {
    case 0: return "(PASSAGGIO)(A LIVELLO)(" + chilometri(posizione) + ")";
    case 1: return "(CAVALCAVIA)";
    case 2: return "(SEGNALE   )(PERMISSIVO)(" + chilometri(posizione) + " )";
    default: return "(CAVALCAVIA)(AUTOSTRADA)";
  }
}

void generale_linea(Testo& t, const Disposizione& d) {
  t << "[generale]";
  t.fine_riga();
  t << "lunghezza percorso,    " << d.lunghezza;
  t.fine_riga();
  t << "progressiva chilometrica uno,    12800,    -12800,    0";
  t.fine_riga();
  t << "progressiva chilometrica due,    0,    0,    0";
  t.fine_riga();
  t << "progressiva chilometrica tre,    0,    0,    0";
  t.fine_riga();
  t << "sfondo uno,    0";
  t.fine_riga();
  t << "sfondo due,    1";
  t.fine_riga();
  t << "sfondo tre,    60000";
  t.fine_riga();
  t << "ripetizione segnali 4 codici,    1250,    12150";
  t.fine_riga();
}

// Curves of 100 m from every 200 m, sides alternating, classes 1 to 5;
// the last ends 100 m before the line does, short of the trace limit.
void curve(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[curve]";
  t.fine_riga();
  for (int32_t p = kPassoProfilo; p < d.lunghezza; p += kPassoProfilo) {
    const int32_t k = p / kPassoProfilo;
    const char parola[] = {
        'c', 'u', 'r', 'v', 'a', k % 2 == 0 ? 'd' : 's', static_cast<char>('1' + k % 5)};
    t.riga(std::string_view(parola, sizeof parola), {p, 100});
    ++n.curve;
  }
}

void pendenze(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[pendenze]";
  t.fine_riga();
  for (int32_t p = 0; p < d.lunghezza; p += kPassoProfilo) {
    const int32_t k = p / kPassoProfilo;
    t.riga("pendenza", {p, (k * 7) % 25 - 12});
    ++n.pendenze;
  }
}

// One structure every 2000 m, 150 to 500 m long, every other one long (type
// 12: a marker every fourth cell). The gaps keep every type as read.
void montagne(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[montagne]";
  t.fine_riga();
  for (int32_t k = 1; k < d.lunghezza / 2000; ++k) {
    const int32_t inizio = 2000 * k + 300;
    t.riga("montagna", {inizio, inizio + 150 + 50 * (k % 8), k % 2 == 0 ? 2 : 12});
    ++n.montagne;
  }
}

void indicatori(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[cartelli]";
  t.fine_riga();
  for (int32_t k = kPrimoPeriodo; k <= d.ultimo_periodo; ++k) {
    if (k % 4 != 0) continue;
    const int32_t p = posizione_di_cella(k * kCellePeriodo + kScartoIndicatore);
    const int32_t v = 100 + 10 * (k % 7);
    if (k % 8 == 0) {  // the second group left empty, as many carried rows have it
      t << "indicatori_vmax,  " << p << ",  " << v << ",  " << v + 10 << ",  " << v + 10 << ",  "
        << k % 3 << ",  ,  ,  ,  0";
      t.fine_riga();
    } else {
      t.riga("indicatori_vmax", {p, v, v + 10, v + 10, k % 3, v - 10, v, v, k % 3});
    }
    ++n.indicatori;
  }
}

void cartelli(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[indicazioni]";
  t.fine_riga();
  for (int32_t k = kPrimoPeriodo; k <= d.ultimo_periodo; ++k) {
    if (!d.con_cartello(k)) continue;
    const int32_t p = posizione_di_cella(k * kCellePeriodo + kScartoCartello);
    t << "cartello_indicatore,  " << p << ",   " << testo_cartello(n.cartelli, p);
    t.fine_riga();
    ++n.cartelli;
  }
}

void generale_treno(Testo& t, const Disposizione& d) {
  for (const std::string_view r :
       {"[generale]", "numero vetture,    6", "percentuale massa frenata,    115", "sabbia,    300",
        "orologio,    16              59            30 ", "[aderenze]"}) {
    t << r;
    t.fine_riga();
  }
  for (int32_t p = 0; p < d.lunghezza; p += 100000) {
    t.riga("aderenza", {p, (p / 100000) % 2 == 0 ? 100 : 90});
  }
}

void velocita(Testo& t, const Disposizione& d) {
  static constexpr std::array<int32_t, 6> kVelocita = {120, 140, 160, 100, 90, 130};
  t << "[vel_limite]";
  t.fine_riga();
  for (int32_t p = 0; p < d.lunghezza; p += 5000) {
    t.riga("velocita", {p, kVelocita[static_cast<size_t>(p / 5000) % kVelocita.size()]});
  }
}

// The departure terminus at 0 (zone -700 to 700, mark in cell 13), then
// stations of 600 m zones whose mark, nearest((p + 300) / 50 - 1), falls on
// the stretch's station cell, spread evenly along the line.
void stazioni(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[stazioni]";
  t.fine_riga();
  t << "stazione,       0,  7,  700,  1, 0, 0,  3,1,0,  2,1,1,    1,  6, 0, 0, PARTENZA";
  t.fine_riga();
  ++n.stazioni;
  for (int32_t s = 0; s < kStazioniNelPercorso; ++s) {
    const int32_t k = d.periodo_stazione(s);
    const int32_t segno = k * kCellePeriodo + kScartoFermata;
    const int32_t p = (segno - 5) * kMetriCella;
    const int32_t tipo = s % 3 == 2 ? 22 : 12;
    const int32_t ore = 6 + s * 17 / kStazioniNelPercorso;
    // Appended, not "..." + std::string: GCC 12 at -O3 warns falsely on that.
    std::string nome = "STAZIONE ";
    nome += std::to_string(s + 2);
    t.riga("stazione", {p, tipo, 600, s % 2, 1, 0, 1, 1, 0, 4, 1, 1, 30, ore, (s * 7) % 60, 0},
           nome);
    ++n.stazioni;
  }
}

// One slowdown per stretch, 100 m long, starting on the stretch's first
// cell; slow and fast ones alternate, so the walk's both paths run.
void rallentamenti(Testo& t, const Disposizione& d, Conteggi& n) {
  t << "[rallentamenti]";
  t.fine_riga();
  for (int32_t k = kPrimoPeriodo; k <= d.ultimo_periodo; ++k) {
    const int32_t x = posizione_di_cella(k * kCellePeriodo);
    t.riga("rallentamento", {x, k % 2 == 0 ? 70 : 130, 100, k % 2, 1, k % 3 == 0 ? 50 : 0});
    ++n.rallentamenti;
  }
}

void segnali(Testo& t, const Disposizione& d, Conteggi& n) {
  static constexpr std::array<int32_t, 4> kTempi = {0, 50, 203, 105};
  t << "[segnali]";
  t.fine_riga();
  for (int32_t k = kPrimoPeriodo; k <= d.ultimo_periodo; ++k) {
    for (const int32_t scarto : kScartiSegnali) {
      const int32_t p = posizione_di_cella(k * kCellePeriodo + scarto);
      const int32_t sx = scarto == kScartiSegnali[0] ? 1 + k % 2 : 2;
      t.riga("segnale", {p, sx, 3 + k % 2, 1, k % 3, k % 2, k % 3, 2, 1, k % 2,
                         kTempi[static_cast<size_t>(k) % kTempi.size()]});
      ++n.segnali;
    }
  }
}

// The three documents: a train card listing the stations, the slow-order
// form and a few lines of notes, of about the carried documents' sizes.
std::string scheda(const Disposizione& d) {
  Testo t(4096);
  t << "SCHEDA TRENO";
  t.fine_riga();
  t << "Fermata        km";
  t.fine_riga();
  t << "PARTENZA       0";
  t.fine_riga();
  for (int32_t s = 0; s < kStazioniNelPercorso; ++s) {
    const int32_t segno = d.periodo_stazione(s) * kCellePeriodo + kScartoFermata;
    t << "STAZIONE " << s + 2 << "    " << (segno - 5) * kMetriCella / 1000;
    t.fine_riga();
  }
  return t.prendi();
}

std::string modulo_rallentamenti(const Disposizione& d) {
  Testo t(4096);
  t << "RALLENTAMENTI";
  t.fine_riga();
  for (int32_t k = kPrimoPeriodo; k <= d.ultimo_periodo && k < kPrimoPeriodo + 40; ++k) {
    t << "km " << posizione_di_cella(k * kCellePeriodo) / 1000 << "  velocita "
      << (k % 2 == 0 ? 70 : 130) << "  per 100 m";
    t.fine_riga();
  }
  return t.prendi();
}

std::string note() {
  Testo t(1024);
  for (const std::string_view r :
       {"NOTE", "Linea generata per le misure di prestazione.",
        "Curve e pendenze ogni 200 m, segnali e rallentamenti in ogni tratto di 800 m."}) {
    t << r;
    t.fine_riga();
  }
  return t.prendi();
}

}  // namespace

Identita identita_massima() { return {"Linea_Massima", "99999"}; }
Identita identita_breve() { return {"Linea_Breve", "91000"}; }

ScenarioGenerato genera_scenario(const Identita& id, int32_t lunghezza) {
  const Disposizione d(lunghezza);
  ScenarioGenerato r;
  r.id = id;
  Testo linea(static_cast<size_t>(lunghezza) / 3);
  generale_linea(linea, d);
  curve(linea, d, r.conteggi);
  pendenze(linea, d, r.conteggi);
  montagne(linea, d, r.conteggi);
  indicatori(linea, d, r.conteggi);
  cartelli(linea, d, r.conteggi);
  linea << "[fine]";
  linea.fine_riga();
  r.linea = linea.prendi();

  Testo treno(static_cast<size_t>(lunghezza) / 4);
  generale_treno(treno, d);
  velocita(treno, d);
  stazioni(treno, d, r.conteggi);
  rallentamenti(treno, d, r.conteggi);
  segnali(treno, d, r.conteggi);
  treno << "[codici]";
  treno.fine_riga();
  treno << "[fine]";
  treno.fine_riga();
  r.treno = treno.prendi();

  r.scheda = scheda(d);
  r.rallentamenti = modulo_rallentamenti(d);
  r.note = note();
  return r;
}

ScenarioGenerato genera_scenario_massimo() {
  return genera_scenario(identita_massima(), kLunghezzaMassima);
}
ScenarioGenerato genera_scenario_breve() {
  return genera_scenario(identita_breve(), kLunghezzaBreve);
}

}  // namespace scenario

// Every rule here is the inverse of one of the compiler's: a record is
// written at the position whose rounding gives the cell found, and a value
// that the compile packs is unpacked the way an author writes it. The
// keywords, headings and field orders are the record table's.
#include "decompile/decompila.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <optional>
#include <set>
#include <span>
#include <string_view>

#include "base/coding.h"
#include "base/cursore.h"
#include "base/guasto.h"
#include "base/intervalli.h"
#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "compiler/line/record_linea.h"
#include "compiler/line/regole_linea.h"
#include "compiler/post/codici_gara.h"
#include "compiler/post/percorso_celle.h"
#include "compiler/tipi_record.h"
#include "compiler/train/regole_treno.h"
#include "format/lettori.h"
#include "format/scrittori.h"

namespace scenario {

namespace {

// The general data and the gradients say nothing for the last cells: the
// profiles fill up to U - 3.
constexpr int32_t kCelleSenzaProfilo = 2;
// The warning cell of a slowdown stands this many cells below its start
// cell, its pre-warning cells below it.
constexpr int32_t kCelleAvviso = kMetriAvviso / kMetriCella;

std::string_view nome(TipoRecord t) { return definizione(t).nome; }

// "keyword, v1, v2, ...[, text]", as the carried files write records.
std::string riga(std::string_view chiave, std::initializer_list<int64_t> valori,
                 const std::string* testo = nullptr) {
  std::string r(chiave);
  for (const int64_t v : valori) r += ", " + std::to_string(v);
  if (testo) r += ", " + *testo;
  return r;
}

std::string dove_cella(int64_t c) { return "cella " + std::to_string(c); }
std::string dove_voce(int64_t v) { return "voce " + std::to_string(v); }

bool stessi_bit(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// What a text field cannot give back: the reader skips blanks before it and
// ends it at a comma or a line end.
const char* testo_non_esprimibile(const std::string& t) {
  if (!t.empty() && (t.front() == ' ' || t.front() == '\t')) return "comincia con uno spazio";
  if (t.find_first_of(",\r\n") != std::string::npos) return "contiene una virgola o un a capo";
  return nullptr;
}

class Inversa {
 public:
  Inversa(const Identita& id, Testata t, std::vector<Cella> c, LettoreIntervalli* p)
      : id_(id), t_(std::move(t)), c_(std::move(c)), piano_(p) {}

  void esegui();
  std::string file_linea() const;
  std::string file_treno() const;
  std::vector<std::string>& problemi() { return problemi_; }

 private:
  void problema(const std::string& dove, const std::string& perche) {
    problemi_.push_back(dove + ": " + perche);
  }
  const Cella& cella(int32_t i) const { return c_[static_cast<size_t>(i)]; }
  int32_t ultima() const { return static_cast<int32_t>(c_.size()) - 1; }

  void generale();
  void progressive();
  void curve();
  // The curves from the plan, component 1 supposed to start at offset
  // `supposta` or found where component 0 ends; whether every point fits.
  bool curve_da(std::optional<uint64_t> supposta);
  // A profile of one byte per cell: the records at each change, with
  // `scrivi(cell, byte)` writing one.
  template <typename F>
  void profilo(uint8_t Cella::*campo, uint8_t iniziale, F scrivi);
  void montagne();
  void cartelli_e_indicatori();
  void stazioni();
  void rallentamenti_e_segnali();
  void abbattimenti();
  // The cells no record explains.
  void celle_sconosciute();

  const Identita& id_;
  Testata t_;
  std::vector<Cella> c_;
  LettoreIntervalli* piano_;  // the plan file, if any
  std::vector<std::string> problemi_;
  // Cells a record or the compile itself accounts for.
  std::vector<bool> spiegata_;
  int32_t prima_voce_cartelli_ = kPrimaVoceCartello + 1;

  // Each file's records with their kinds, in the order written; the
  // heading each stands under is its kind's.
  using Record = std::pair<TipoRecord, std::string>;
  std::vector<Record> linea_, treno_;
  void metti(TipoRecord t, std::string r) {
    (definizione(t).file() == FileSorgente::linea ? linea_ : treno_).push_back({t, std::move(r)});
  }
};

void Inversa::esegui() {
  spiegata_.assign(c_.size(), false);
  generale();
  if (piano_) curve();
  profilo(&Cella::pendenza, static_cast<uint8_t>(kZeroPendenza), [this](int32_t c, uint8_t b) {
    metti(TipoRecord::pendenza,
          riga(nome(TipoRecord::pendenza), {int64_t{c} * kMetriCella, int64_t{b} - kZeroPendenza}));
  });
  profilo(&Cella::aderenza, 0, [this](int32_t c, uint8_t b) {
    metti(TipoRecord::aderenza, riga(nome(TipoRecord::aderenza), {int64_t{c} * kMetriCella, b}));
  });
  profilo(&Cella::velocita_treno, 0, [this](int32_t c, uint8_t b) {
    metti(TipoRecord::velocita,
          riga(nome(TipoRecord::velocita), {int64_t{c} * kMetriCella, int64_t{b} * kKmhPerPasso}));
  });
  montagne();
  cartelli_e_indicatori();
  stazioni();
  rallentamenti_e_segnali();
  abbattimenti();
  celle_sconosciute();
}

void Inversa::generale() {
  if (!(t_[0] == Voce{})) problema(dove_voce(0), "non e' vuota, e nessun record la scrive");
  const Voce& dati = t_[kVoceDatiTreno];
  const Voce& linea = t_[kVoceLinea];
  const Voce& treno = t_[kVoceTreno];
  metti(TipoRecord::lunghezza, riga(nome(TipoRecord::lunghezza), {dati.valore_due}));
  progressive();
  metti(TipoRecord::vetture, riga(nome(TipoRecord::vetture), {dati.valore_tre}));
  metti(TipoRecord::massa_frenata, riga(nome(TipoRecord::massa_frenata), {dati.valore_uno}));
  Voce resto = dati;
  resto.valore_uno = resto.valore_due = resto.valore_tre = 0;
  if (!(resto == Voce{})) problema(dove_voce(kVoceDatiTreno), "valori che nessun record da'");

  if (linea.testo != id_.linea) {
    problema(dove_voce(kVoceLinea),
             "la linea si chiama \"" + linea.testo + "\", non \"" + id_.linea + "\"");
  }
  if (treno.testo != id_.treno) {
    problema(dove_voce(kVoceTreno),
             "il treno si chiama \"" + treno.testo + "\", non \"" + id_.treno + "\"");
  }
  metti(TipoRecord::sfondo_uno, riga(nome(TipoRecord::sfondo_uno), {linea.valore_uno}));
  metti(TipoRecord::sfondo_due, riga(nome(TipoRecord::sfondo_due), {linea.valore_tre}));
  metti(TipoRecord::sfondo_tre, riga(nome(TipoRecord::sfondo_tre), {linea.valore_due}));
  if (linea.intero_uno != kTimbroTestata) {
    problema(dove_voce(kVoceLinea), "timbro " + std::to_string(linea.intero_uno) + " invece di " +
                                        std::to_string(kTimbroTestata));
  }
  if (linea.valore_quattro != codice_gara_st(t_)) {
    problema(dove_voce(kVoceLinea), "codice d'identita' " + std::to_string(linea.valore_quattro) +
                                        ", non quello di " + id_.linea + " " + id_.treno);
  }
  resto = linea;
  resto.testo.clear();
  resto.valore_uno = resto.valore_due = resto.valore_tre = resto.valore_quattro = 0;
  resto.intero_uno = 0;
  if (!(resto == Voce{})) problema(dove_voce(kVoceLinea), "valori che nessun record da'");

  // The repetition zone: the keyword holds its code count.
  const int32_t codici = treno.valore_tre;
  if (codici != 0 && codici != 4 && codici != 9) {
    problema(dove_voce(kVoceTreno),
             "ripetizione dei segnali con " + std::to_string(codici) + " codici: solo 4 o 9");
  } else if (codici == 0 && treno.valore_due != 0) {
    problema(dove_voce(kVoceTreno), "zona di ripetizione senza numero di codici");
  }
  const std::string chiave =
      std::string(nome(TipoRecord::ripetizione)) + (codici == 9 ? " 9 codici" : " 4 codici");
  metti(TipoRecord::ripetizione, riga(chiave, {treno.valore_uno, treno.valore_due}));
  metti(TipoRecord::sabbia, riga(nome(TipoRecord::sabbia), {treno.intero_uno}));
  metti(TipoRecord::orologio, riga(nome(TipoRecord::orologio),
                                   {treno.intero_tre, treno.intero_quattro, treno.intero_cinque}));
  resto = treno;
  resto.testo.clear();
  resto.valore_uno = resto.valore_due = resto.valore_tre = 0;
  resto.intero_uno = resto.intero_tre = resto.intero_quattro = resto.intero_cinque = 0;
  if (!(resto == Voce{})) problema(dove_voce(kVoceTreno), "valori che nessun record da'");

  // The stamps of cell 1: the compile's own.
  if (c_.size() > 1) {
    const Cella& prima = cella(1);
    if (prima.dato_uno != kTimbroCelle) {
      problema(dove_cella(1), "timbro " + std::to_string(prima.dato_uno) + " invece di " +
                                  std::to_string(kTimbroCelle));
    }
    if (prima.dato_due != codice_gara_og(t_)) {
      problema(dove_cella(1), "codice d'identita' " + std::to_string(prima.dato_due) +
                                  ", non quello di " + id_.linea + " " + id_.treno);
    }
    // What the records gave the cell before it was stamped.
    c_[1].dato_uno = c_[1].dato_due = 0;
  }
}

void Inversa::progressive() {
  struct Terna {
    int32_t uno, due, tre;
  };
  std::array<Terna, 3> finali{};
  for (int k = 0; k < 3; ++k) {
    const Voce& v = t_[static_cast<size_t>(kVoceProgressivaTre + k)];
    finali[static_cast<size_t>(k)] = {v.valore_uno, v.valore_due, v.valore_tre};
    Voce resto = v;
    resto.valore_uno = resto.valore_due = resto.valore_tre = 0;
    if (!(resto == Voce{}))
      problema(dove_voce(kVoceProgressivaTre + k), "valori che nessun record da'");
  }
  // Each stored reference back as read: its +100 undone.
  std::array<Terna, 3> lette = finali;
  for (Terna& t : lette) {
    if (t.tre == 1) t.due = static_cast<int32_t>(static_cast<uint32_t>(t.due) - 100u);
  }
  // "uno" for the first entry, "due", "tre": the order an author gives them
  // when the first is the farthest; else whichever assignment the ordering
  // turns into the entries found.
  const TipoRecord chiavi[3] = {TipoRecord::progressiva_uno, TipoRecord::progressiva_due,
                                TipoRecord::progressiva_tre};
  std::array<int, 3> perm = {0, 1, 2};
  do {
    Testata prova{};
    for (int k = 0; k < 3; ++k) {
      // chiavi[k] holds lette[perm[k]]; its entry is 83 for uno, 82, 81.
      Voce& v = prova[static_cast<size_t>(kVoceProgressivaUno - k)];
      const Terna& t = lette[static_cast<size_t>(perm[static_cast<size_t>(k)])];
      v.valore_uno = t.uno;
      v.valore_due = t.due;
      v.valore_tre = t.tre;
    }
    progressive_ordina(prova);
    bool uguale = true;
    for (int k = 0; k < 3; ++k) {
      const Voce& v = prova[static_cast<size_t>(kVoceProgressivaTre + k)];
      const Terna& f = finali[static_cast<size_t>(k)];
      uguale = uguale && v.valore_uno == f.uno && v.valore_due == f.due && v.valore_tre == f.tre;
    }
    if (uguale) {
      for (int k = 0; k < 3; ++k) {
        const Terna& t = lette[static_cast<size_t>(perm[static_cast<size_t>(k)])];
        metti(chiavi[k], riga(nome(chiavi[k]), {t.uno, t.due, t.tre}));
      }
      return;
    }
  } while (std::next_permutation(perm.begin(), perm.end()));
  problema(dove_voce(kVoceProgressivaTre),
           "progressive chilometriche che nessun ordine dei tre record da'");
}

// The plan file read in step with its two halves, value by value, through
// two windows: the compiled shape is checked as it is met, the file never
// held whole. What does not read is said by the plan's own reader.
class LetturaPiano {
 public:
  explicit LetturaPiano(LettoreIntervalli& file, uint64_t da = 0)
      : in_(file, static_cast<size_t>(da)) {}
  // Past component 0's n values: the start of component 1.
  bool salta(size_t n) {
    for (size_t k = 0; k < n; ++k) {
      if (!prendi()) return false;
    }
    return true;
  }
  // The next value; none past the end or on an unknown kind.
  bool prendi() {
    const std::string_view b = in_.davanti(larghezza_valore(TipoValore::reale));
    if (b.size() < kBytesEtichetta) return false;
    tipo = static_cast<TipoValore>(DecodeFixed16(b.data()));
    if (tipo != TipoValore::vuoto && tipo != TipoValore::intero && tipo != TipoValore::reale) {
      return false;
    }
    const size_t w = larghezza_valore(tipo);
    if (b.size() < w) return false;
    const char* v = b.data() + kBytesEtichetta;
    valore = tipo == TipoValore::reale    ? DecodeDouble(v)
             : tipo == TipoValore::intero ? static_cast<int16_t>(DecodeFixed16(v))
                                          : 0;
    in_.avanza(w);
    return true;
  }
  size_t posizione() const { return in_.pos(); }
  bool finita() const { return in_.finito(); }

  TipoValore tipo = TipoValore::vuoto;
  double valore = 0;

 private:
  Cursore in_;
};

void Inversa::curve() {
  // Component 1 starts where component 0's values end: in a compiled plan,
  // whose halves are alike, at half the file. A walk that supposes so and
  // holds to the last byte is the walk from there; any other is made again
  // from where component 0 is found to end.
  const size_t righe = linea_.size();
  const size_t detti = problemi_.size();
  if (curve_da(piano_->dimensione() / 2)) return;
  linea_.resize(righe);  // without the curves that walk found
  problemi_.resize(detti);
  curve_da(std::nullopt);
}

bool Inversa::curve_da(std::optional<uint64_t> supposta) {
  const size_t n = static_cast<size_t>(t_[kVoceDatiTreno].valore_due) + kMetriProlungamento + 1;
  const auto illeggibile = [&] {
    if (supposta) return false;
    try {
      const IndicePiano p = indice_planimetria(*piano_);
      problema(nome_planimetria(id_),
               std::to_string(p.punti) + " punti, la linea ne vuole " + std::to_string(n));
    } catch (const ErroreLettura& e) {
      problema(nome_planimetria(id_), e.what());
    }
    return false;
  };
  LetturaPiano x0(*piano_);
  LetturaPiano x1(*piano_, supposta.value_or(0));
  if (!supposta && !x1.salta(n)) return illeggibile();
  const size_t meta = x1.posizione();
  const auto punto = [&] { return x0.prendi() && x1.prendi(); };
  const auto intero = [&](double a, double b) {
    return punto() && x0.tipo == TipoValore::intero && x1.tipo == TipoValore::intero &&
           x0.valore == a && x1.valore == b;
  };
  if (!intero(0, 0) || !intero(0, 1)) {
    problema("punto 0 del piano", "i punti 0 e 1 non sono (0, 0) e (0, 1)");
    return false;
  }
  std::vector<double> candidati = {0};
  for (const ClasseCurva& k : kClassiCurva) {
    candidati.push_back(k.c);
    candidati.push_back(-k.c);
  }
  Punto a{0, 0};
  Punto b{0, 1};
  double corrente = 0;
  size_t inizio = 0;  // first point of the curve in progress
  const auto chiudi = [&](size_t fino) {
    if (corrente == 0) return;
    char cifra = '?';
    for (const ClasseCurva& k : kClassiCurva) {
      if (k.c == corrente || k.c == -corrente) cifra = k.cifra;
    }
    const std::string chiave =
        std::string(nome(TipoRecord::curva)) + (corrente < 0 ? "s" : "d") + cifra;
    metti(TipoRecord::curva, riga(chiave, {static_cast<int64_t>(inizio) - 1,
                                           static_cast<int64_t>(fino - inizio + 1)}));
  };
  size_t k = 2;
  for (; k < n; ++k) {
    if (!punto()) return illeggibile();
    if (x0.tipo != TipoValore::reale || x1.tipo != TipoValore::reale) break;
    const Punto atteso{x0.valore, x1.valore};
    const auto prova = [&](double c) {
      const Punto q = passo_traccia(a, b, c);
      return stessi_bit(q.x0, atteso.x0) && stessi_bit(q.x1, atteso.x1);
    };
    std::optional<double> trovata;
    if (prova(corrente)) {
      trovata = corrente;
    } else {
      for (const double c : candidati) {
        if (prova(c)) {
          trovata = c;
          break;
        }
      }
    }
    if (!trovata) {
      problema("punto " + std::to_string(k) + " del piano",
               "non segue dai due prima di lui con nessuna classe di curva");
      return false;
    }
    if (*trovata != corrente) {
      chiudi(k - 1);
      corrente = *trovata;
      inizio = k;
    }
    a = b;
    b = atteso;
  }
  const size_t ultimo = k - 1;  // the last real point
  chiudi(ultimo);
  // The rest empty, from two before the end at the latest.
  for (; k < n; ++k) {
    if (k > ultimo + 1 && !punto()) return illeggibile();
    if (x0.tipo != TipoValore::vuoto || x1.tipo != TipoValore::vuoto) {
      problema("punto " + std::to_string(k) + " del piano", "valore dopo la fine del tracciato");
      return false;
    }
  }
  if (ultimo + 3 < n) {
    problema("punto " + std::to_string(ultimo + 1) + " del piano", "tracciato interrotto");
    return false;
  }
  if (x0.posizione() != meta || !x1.finita()) return illeggibile();
  return true;
}

template <typename F>
void Inversa::profilo(uint8_t Cella::*campo, uint8_t iniziale, F scrivi) {
  const int32_t u = ultima();
  const int32_t ultima_piena = u - kCelleSenzaProfilo - 1;
  int32_t fino = ultima_piena;  // the last cell the records fill
  for (int32_t c = ultima_piena + 1; c <= u; ++c) {
    if (cella(c).*campo != 0) fino = c;
  }
  uint8_t prima = iniziale;
  for (int32_t c = 0; c <= std::min(fino, ultima_piena); ++c) {
    const uint8_t b = cella(c).*campo;
    if (b != prima) {
      scrivi(c, b);
      prima = b;
    }
  }
  // Past the last cell a record may stand on, each further record writes
  // one more cell: the one its fill has reached.
  for (int32_t c = ultima_piena + 1; c <= fino; ++c) scrivi(ultima_piena + 1, cella(c).*campo);
}

void Inversa::montagne() {
  struct Pezzo {
    int32_t prima, ultima;
    int32_t valore;
    bool lunga;
  };
  std::vector<Pezzo> pezzi;
  const int32_t u = ultima();
  const auto lunga = [&](int32_t c) { return cella(c).tipo_cella == cella_montagna; };
  // Splits the run [da, a] of one value into records: a long one for each
  // stretch of marks on its every fourth cell.
  const auto spezza = [&](int32_t da, int32_t a, int32_t v) {
    int32_t pos = da;
    while (pos <= a) {
      int32_t t = pos;
      while (t <= a && !lunga(t)) ++t;
      if (t > a) {
        pezzi.push_back({pos, a, v, false});
        return;
      }
      const int32_t l = t - 3;
      if (l < pos) {
        problema(dove_cella(t), "segno di struttura lunga che nessuna struttura mette qui");
        spiegata_[static_cast<size_t>(t)] = true;
        pos = t + 1;
        continue;
      }
      if (l > pos) pezzi.push_back({pos, l - 1, v, false});
      int32_t e = l;
      while (e + 1 <= a) {
        const int32_t k = e + 1;
        const bool quarta = (k - l) % 4 == 3;
        if (quarta && cella(k).tipo_cella == cella_libera) break;
        if (!quarta && lunga(k)) break;
        e = k;
      }
      pezzi.push_back({l, e, v, true});
      for (int32_t k = l + 3; k <= e; k += 4) spiegata_[static_cast<size_t>(k)] = true;
      pos = e + 1;
    }
  };
  for (int32_t c = 0; c <= u;) {
    const int32_t v = cella(c).struttura;
    int32_t e = c;
    while (e + 1 <= u && cella(e + 1).struttura == v) ++e;
    if (v != 0) {
      spezza(c, e, v);
    } else {
      // Marks without a structure value: a long structure of type 10.
      int32_t k = c;
      while (k <= e) {
        if (!lunga(k)) {
          ++k;
          continue;
        }
        int32_t f = k;
        for (int32_t m = k; m <= e; ++m) {
          if (lunga(m)) f = m;
        }
        spezza(std::max(c, k - 3), f, 0);
        k = f + 1;
      }
    }
    c = e + 1;
  }
  // In order along the line; a structure that would join the one before it
  // without being of the joined type is moved off the grid by what its
  // rounding allows, or else parted from it by a structure of no cells.
  bool prima = true;
  int64_t fine_precedente = 0;
  for (const Pezzo& p : pezzi) {
    int64_t inizio = int64_t{p.prima} * kMetriCella;
    const int64_t fine = int64_t{p.ultima + 1} * kMetriCella;
    if (!prima && inizio - fine_precedente <= kUnioneMontagne && p.valore != kTipoMontagnaUnita) {
      const int64_t spostato = inizio + kMetriCella / 2 - 1;
      if (spostato - fine_precedente > kUnioneMontagne) {
        inizio = spostato;
      } else {
        const int64_t nessuna = -(kUnioneMontagne + kMetriCella) * 4;
        metti(TipoRecord::montagna, riga(nome(TipoRecord::montagna), {nessuna, nessuna, 0}));
      }
    }
    int64_t tipo = p.valore;
    if (p.lunga) {
      tipo += kTipoMontagnaLunga;
    } else if (tipo > kTipoMontagnaLunga) {
      // The same byte without the long flag: too short for a mark, a long
      // one; else below the long types.
      tipo += p.ultima - p.prima < 3 ? kTipoMontagnaLunga : -256;
    }
    metti(TipoRecord::montagna, riga(nome(TipoRecord::montagna), {inizio, fine, tipo}));
    prima = false;
    fine_precedente = fine;
  }
}

void Inversa::cartelli_e_indicatori() {
  std::vector<std::pair<int32_t, int32_t>> cartelli;  // entry, cell
  for (int32_t c = 0; c <= ultima(); ++c) {
    const Cella& x = cella(c);
    const int64_t pos = int64_t{c - 1} * kMetriCella;
    if (x.tipo_cella == cella_indicatore) {
      spiegata_[static_cast<size_t>(c)] = true;
      // Each rank packs the first group's speed x 100 + the second's, over 5.
      std::array<int64_t, 6> v{};
      for (int k = 0; k < 3; ++k) {
        const int16_t d = k == 0 ? x.dato_uno : k == 1 ? x.dato_due : x.dato_tre;
        const int64_t somma = int64_t{d} * kPassoIndicatore;
        // Both groups alike, or the second empty, or else the two closest.
        constexpr int64_t kUguali = kPesoPrimoGruppo + 1;
        int64_t prima = vicino(somma, kUguali);
        if (somma % kUguali != 0 && somma % kPesoPrimoGruppo == 0) prima = somma / kPesoPrimoGruppo;
        v[static_cast<size_t>(k)] = prima;
        v[static_cast<size_t>(3 + k)] = somma - prima * kPesoPrimoGruppo;
      }
      const auto strisce = static_cast<uint16_t>(x.dato_quattro);
      metti(TipoRecord::indicatori,
            riga(nome(TipoRecord::indicatori),
                 {pos, v[0], v[1], v[2], strisce / 10, v[3], v[4], v[5], strisce % 10}));
      if (x.tempo_segnale != 0) problema(dove_cella(c), "tempo di segnale su un indicatore");
    } else if (x.tipo_cella == cella_cartello) {
      spiegata_[static_cast<size_t>(c)] = true;
      cartelli.push_back({x.dato_uno, c});
      if (x.dato_due != 0 || x.dato_tre != 0 || x.dato_quattro != 0 || x.tempo_segnale != 0) {
        problema(dove_cella(c), "cartello con valori che nessun record da'");
      }
    }
  }
  // Boards take the entries from 80 down, in the order they are read.
  std::sort(cartelli.begin(), cartelli.end(), [](auto a, auto b) { return a.first > b.first; });
  int32_t attesa = kPrimaVoceCartello;
  std::vector<std::string> righe(cartelli.size());
  for (const auto& [voce, c] : cartelli) {
    if (voce != attesa) {
      problema(dove_cella(c), "cartello della voce " + std::to_string(voce) + ", ma la voce " +
                                  std::to_string(attesa) + " e' la prossima libera");
      continue;
    }
    const Voce& v = t_[static_cast<size_t>(voce)];
    Voce resto = v;
    resto.testo.clear();
    if (!(resto == Voce{})) problema(dove_voce(voce), "cartello con valori che nessun record da'");
    if (const char* perche = testo_non_esprimibile(v.testo)) {
      problema(dove_voce(voce), std::string("il testo del cartello ") + perche);
    }
    metti(TipoRecord::cartello,
          riga(nome(TipoRecord::cartello), {int64_t{c - 1} * kMetriCella}, &v.testo));
    --attesa;
  }
  prima_voce_cartelli_ = attesa + 1;
}

void Inversa::stazioni() {
  int32_t i = 1;
  for (; i < prima_voce_cartelli_; ++i) {
    const Voce& v = t_[static_cast<size_t>(i)];
    if (v == Voce{}) break;
    const int64_t pos = v.valore_tre;
    int64_t zona = 0;
    if (v.codice == 5 || v.codice == 6 || v.codice == 7 || v.codice == 8) {
      zona = pos - v.valore_uno;
    } else {
      zona = 2 * (pos - v.valore_uno);
    }
    const int32_t t = v.valore_quattro;
    const std::string nome_stazione = v.testo;
    if (const char* perche = testo_non_esprimibile(nome_stazione)) {
      problema(dove_voce(i), std::string("il nome della stazione ") + perche);
    }
    metti(TipoRecord::stazione,
          riga(nome(TipoRecord::stazione),
               {pos, v.codice, zona, v.opzione, v.flag_quattro, v.flag_tre, v.intero_uno,
                v.intero_due, v.flag_uno, v.intero_tre, v.intero_quattro, v.intero_cinque,
                v.flag_due, t / 3600, (t % 3600) / 60, t % 60},
               &nome_stazione));
  }
  const int32_t stazioni = i - 1;
  for (; i < prima_voce_cartelli_; ++i) {
    if (!(t_[static_cast<size_t>(i)] == Voce{})) {
      problema(dove_voce(i), "dopo una voce vuota: nessuna stazione la scrive");
    }
  }
  // Their stop marks are the compile's own.
  for (int32_t c = 0; c <= ultima(); ++c) {
    const Cella& x = cella(c);
    if (x.tipo_cella == cella_fermata && x.dato_uno >= 1 && x.dato_uno <= stazioni) {
      spiegata_[static_cast<size_t>(c)] = true;
    }
  }
}

void Inversa::rallentamenti_e_segnali() {
  std::set<int32_t> fini_usate;
  for (int32_t c = 0; c <= ultima(); ++c) {
    const Cella& x = cella(c);
    if (x.tipo_cella == cella_segnale) {
      spiegata_[static_cast<size_t>(c)] = true;
      const auto d = [](int16_t v) { return static_cast<uint16_t>(v); };
      const uint16_t quattro = d(x.dato_quattro);
      const int32_t tipo = quattro % 10;
      const int32_t sx = tipo / 3;
      const int32_t dx = tipo % 3;
      metti(TipoRecord::segnale,
            riga(nome(TipoRecord::segnale),
                 {int64_t{c - 1} * kMetriCella, sx, d(x.dato_uno) / 10, d(x.dato_due) / 10,
                  d(x.dato_tre) / 10, quattro / 10, dx, d(x.dato_uno) % 10, d(x.dato_due) % 10,
                  d(x.dato_tre) % 10, x.tempo_segnale}));
    } else if (x.tipo_cella == cella_inizio_rallentamento) {
      spiegata_[static_cast<size_t>(c)] = true;
      int32_t e = c + 1;
      while (e <= ultima() &&
             !(cella(e).tipo_cella == cella_fine_rallentamento && !fini_usate.count(e) &&
               cella(e).dato_uno == x.dato_uno && cella(e).dato_tre == x.dato_tre)) {
        ++e;
      }
      // No end of its own: one in its start's cell, which the start took.
      if (e > ultima()) {
        e = c;
      } else {
        fini_usate.insert(e);
        spiegata_[static_cast<size_t>(e)] = true;
      }
      int64_t pos = int64_t{c - 1} * kMetriCella;
      const int32_t avviso = c - kCelleAvviso;
      const bool con_avviso = avviso >= 0 && cella(avviso).tipo_cella == cella_avviso_rallentamento;
      // The warning starts only beyond kInizioAvvisi: the cell of that
      // position takes one a metre after it.
      if (con_avviso && pos <= kInizioAvvisi && cella_di(kInizioAvvisi + 1) == c) {
        pos = kInizioAvvisi + 1;
      }
      if (con_avviso) spiegata_[static_cast<size_t>(avviso)] = true;
      bool preavviso = con_avviso && avviso >= kCellePreavviso;
      for (int32_t k = 1; preavviso && k <= kCellePreavviso; ++k) {
        const Cella& p = cella(avviso - k);
        preavviso = p.tipo_cella == cella_preavviso && p.dato_uno == k;
      }
      if (preavviso) {
        for (int32_t k = 1; k <= kCellePreavviso; ++k)
          spiegata_[static_cast<size_t>(avviso - k)] = true;
      }
      const int64_t fine = int64_t{e - 1} * kMetriCella;
      metti(TipoRecord::rallentamento,
            riga(nome(TipoRecord::rallentamento),
                 {pos, x.dato_uno, fine - pos, x.dato_tre, preavviso ? 1 : 0, x.dato_due}));
    }
  }
}

// The code points: those the cell walk places on its own are no record's.
// The walk is run over the cells without any, and again with the ones it did
// not place, until both agree.
void Inversa::abbattimenti() {
  class Segni : public OsservatorePercorso {
   public:
    std::set<int32_t> punti;
    void punto(int32_t cella, int32_t) override { punti.insert(cella); }
    void guasto(Codice, int32_t, int32_t) override {}
  };
  std::vector<Cella> base = c_;
  std::set<int32_t> tutti;
  for (int32_t c = 0; c <= ultima(); ++c) {
    Cella& x = base[static_cast<size_t>(c)];
    if (x.tipo_cella == cella_abbattimento) {
      tutti.insert(c);
      x.tipo_cella = cella_libera;
      x.dato_uno = 0;
    }
  }
  std::set<int32_t> propri;  // the records' own: none on the first walk
  for (int giro = 0; giro < 4; ++giro) {
    std::vector<Cella> prova = base;
    for (const int32_t c : propri) {
      prova[static_cast<size_t>(c)].tipo_cella = cella_abbattimento;
      prova[static_cast<size_t>(c)].dato_uno = cella(c).dato_uno;
    }
    RecordErrore e;
    Segni s;
    percorri_celle(prova, e, &s);
    std::set<int32_t> nuovi;
    for (const int32_t c : tutti) {
      if (!s.punti.count(c)) nuovi.insert(c);
    }
    if (giro == 0) {
      propri = nuovi;
      continue;
    }
    if (nuovi == propri) break;
    propri = nuovi;
  }
  for (int32_t c = 0; c <= ultima(); ++c) {
    const Cella& x = cella(c);
    const bool proprio = propri.count(c) != 0;
    if (x.tipo_cella == cella_abbattimento) {
      spiegata_[static_cast<size_t>(c)] = true;
      if (proprio) {
        metti(TipoRecord::abbattimento,
              riga(nome(TipoRecord::abbattimento), {int64_t{c} * kMetriCella, x.dato_uno}));
      }
    } else if (x.tipo_cella == cella_abbattimento_senza_valore) {
      spiegata_[static_cast<size_t>(c)] = true;
      metti(TipoRecord::abbattimento,
            riga(nome(TipoRecord::abbattimento), {int64_t{c} * kMetriCella, 0}));
    }
  }
}

void Inversa::celle_sconosciute() {
  for (int32_t c = 0; c <= ultima(); ++c) {
    const Cella& x = cella(c);
    if (x.tipo_cella == cella_libera || spiegata_[static_cast<size_t>(c)]) continue;
    problema(dove_cella(c),
             "codice " + std::to_string(x.tipo_cella) + " che nessun record da' qui");
  }
}

// The file's headings in their order, each followed by the records of the
// kinds that stand under it.
std::string file_di(FileSorgente f, const std::vector<std::pair<TipoRecord, std::string>>& rr) {
  std::string out;
  const auto metti = [&out](std::string_view r) {
    out += r;
    out += "\r\n";
  };
  for (const std::string_view h : intestazioni(f)) {
    metti(h);
    for (const auto& [t, r] : rr) {
      if (definizione(t).intestazione == h) metti(r);
    }
  }
  return out;
}

std::string Inversa::file_linea() const { return file_di(FileSorgente::linea, linea_); }

std::string Inversa::file_treno() const { return file_di(FileSorgente::treno, treno_); }

// Where the compiled sources' files part from the ones read.
void confronta(const Identita& id, const FileCompilati& f, const Decompilazione& d,
               std::vector<std::string>& problemi) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(id), d.linea);
  a.metti(nome_sorgente_treno(id), d.treno);
  Compilazione c = memorizza_percorso(a, id, f.planimetria ? 1 : 0);
  if (c.errore.numero_errore != 0 || !c.da_scrivere()) {
    problemi.push_back("i sorgenti scritti danno l'errore " +
                       std::to_string(c.errore.numero_errore) + " alla posizione " +
                       std::to_string(c.errore.posizione_errore) +
                       (c.motivo_guasto.empty() ? "" : " (" + c.motivo_guasto + ")"));
    return;
  }
  const size_t massimo = 20;
  const size_t prima = problemi.size();
  const std::vector<Cella>& celle = *c.modello.celle;
  if (bytes_celle(celle) != f.celle) {
    const std::vector<Cella> lette = leggi_celle(f.celle);
    if (lette.size() != celle.size()) {
      problemi.push_back(nome_celle(id) + ": " + std::to_string(lette.size()) +
                         " celle, i sorgenti ne danno " + std::to_string(celle.size()));
    }
    for (size_t i = 0; i < std::min(lette.size(), celle.size()); ++i) {
      if (lette[i] == celle[i]) continue;
      if (problemi.size() - prima >= massimo) break;
      const Cella& x = lette[i];
      const Cella& y = celle[i];
      std::string r = dove_cella(static_cast<int64_t>(i)) + ": ricompilata diversa:";
      const auto campo = [&r](const char* n, int64_t a, int64_t b) {
        if (a != b)
          r += std::string(" ") + n + " " + std::to_string(a) + " e non " + std::to_string(b);
      };
      campo("tipo_cella", x.tipo_cella, y.tipo_cella);
      campo("dato_uno", x.dato_uno, y.dato_uno);
      campo("dato_due", x.dato_due, y.dato_due);
      campo("dato_tre", x.dato_tre, y.dato_tre);
      campo("dato_quattro", x.dato_quattro, y.dato_quattro);
      campo("tempo_segnale", x.tempo_segnale, y.tempo_segnale);
      campo("codice_avvicinamento", x.codice_avvicinamento, y.codice_avvicinamento);
      campo("struttura", x.struttura, y.struttura);
      campo("velocita_treno", x.velocita_treno, y.velocita_treno);
      campo("pendenza", x.pendenza, y.pendenza);
      campo("aderenza", x.aderenza, y.aderenza);
      problemi.push_back(r);
    }
  }
  if (bytes_testata(c.modello.testata) != f.testata) {
    const Testata letta = leggi_testata(f.testata);
    for (int i = 0; i < kVociTestata; ++i) {
      if (letta[static_cast<size_t>(i)] == c.modello.testata[static_cast<size_t>(i)]) continue;
      problemi.push_back(dove_voce(i) + ": ricompilata diversa");
    }
  }
  if (f.planimetria && c.modello.planimetria) {
    LettoreIntervalli& file = *f.planimetria;
    const Planimetria& fatta = *c.modello.planimetria;
    bool uguale = fatta.dimensione_file() == file.dimensione();
    if (uguale) {
      // The pieces come a component at a time, not in the file's order:
      // each is read where it lies, a window at a time.
      std::vector<char> finestra(Cursore::kFinestra);
      fatta.scrivi_file([&](size_t posizione, std::string_view b) {
        for (size_t da = 0; uguale && da < b.size(); da += finestra.size()) {
          const size_t n = std::min(finestra.size(), b.size() - da);
          file.leggi(posizione + da, std::span<char>(finestra.data(), n));
          uguale = b.compare(da, n, std::string_view(finestra.data(), n)) == 0;
        }
      });
    }
    if (!uguale) {
      const IndicePiano indice = indice_planimetria(file);
      PuntiPiano letti(file, indice);
      const size_t fino = std::min(indice.punti, fatta.punti());
      size_t k = 0;
      for (; k < fino; ++k) {
        ValorePiano x0, x1;
        letti.prossimo(x0, x1);
        const TipoValore t = fatta.tipo(k);
        const Punto q = fatta.punto(k);
        if (!(x0 == ValorePiano{t, q.x0} && x1 == ValorePiano{t, q.x1})) break;
      }
      problemi.push_back("punto " + std::to_string(k) + " del piano: ricompilato diverso");
    }
  }
  if (problemi.size() == prima && (bytes_celle(celle) != f.celle)) {
    problemi.push_back(nome_celle(id) + ": ricompilato diverso");
  }
}

}  // namespace

Decompilazione decompila(const Identita& id, const FileCompilati& f) {
  Decompilazione d;
  Testata t;
  std::vector<Cella> c;
  const auto leggi = [&](const std::string& nome, auto&& lettura) {
    try {
      lettura();
      return true;
    } catch (const ErroreLettura& e) {
      d.problemi.push_back(nome + ": " + e.what());
    }
    return false;
  };
  bool letti = leggi(nome_testata(id), [&] { t = leggi_testata(f.testata); });
  letti = leggi(nome_celle(id), [&] { c = leggi_celle(f.celle); }) && letti;
  // The plan is read as its curves are recovered.
  if (!letti) return d;
  const int32_t lunghezza = t[kVoceDatiTreno].valore_due;
  if (lunghezza < 0 || lunghezza > kLunghezzaMassima ||
      c.size() !=
          static_cast<size_t>(vicino(int64_t{lunghezza} + kMetriProlungamento, kMetriCella)) + 1) {
    d.problemi.push_back(
        nome_celle(id) + ": " + std::to_string(c.size()) + " celle, ma la linea di " +
        std::to_string(lunghezza) + " m ne ha " +
        std::to_string(vicino(int64_t{lunghezza} + kMetriProlungamento, kMetriCella) + 1));
    return d;
  }
  Inversa inv(id, std::move(t), std::move(c), f.planimetria);
  inv.esegui();
  d.linea = inv.file_linea();
  d.treno = inv.file_treno();
  d.problemi = std::move(inv.problemi());
  try {
    confronta(id, f, d, d.problemi);
  } catch (const GuastoPiattaforma&) {
    throw;
  } catch (const std::exception& e) {
    d.problemi.push_back(std::string("confronto non riuscito: ") + e.what());
  }
  return d;
}

Decompilazione decompila(const Identita& id, const BytesCompilati& b) {
  std::optional<LettoreMemoria> piano;
  if (b.planimetria) piano.emplace(*b.planimetria);
  return decompila(id, FileCompilati{piano ? &*piano : nullptr, b.testata, b.celle});
}

}  // namespace scenario

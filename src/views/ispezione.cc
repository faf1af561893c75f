#include "views/ispezione.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "base/testo.h"
#include "views/json.h"
#include "views/significato.h"

namespace scenario {

namespace {

// The rows asked for, within the n there are: [primo, fine).
struct Intervallo {
  size_t primo;
  size_t fine;
};
// A first row past the last is refused, with the file's size.
Intervallo dentro(Righe r, size_t n, size_t byte, std::string_view cosa) {
  if (r.da >= n && !(r.da == 0 && n == 0)) throw OltreLaFine(r.da, n, byte, cosa);
  const size_t fine = r.a >= n ? n : r.a + 1;
  return {std::min(r.da, fine), fine};
}

// What a row means, beside its stored fields: "significato" and the
// decoded "valori" (numbers in their units, times and texts as strings).
void significato_json(const Significato& s, ScrittoreJson& j) {
  j.chiave("significato").testo(s.cosa).chiave("valori").inizia_oggetto();
  for (const ValoreDecodificato& v : s.valori) {
    j.chiave(v.nome);
    switch (v.unita) {
      case Unita::orario: j.testo(orario(v.numero)); break;
      case Unita::testo:
      case Unita::parola: j.testo(v.testo); break;
      default: j.intero(v.numero); break;
    }
  }
  j.fine_oggetto();
}

size_t cifre(int64_t v) {
  char buf[24];
  return static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
}

void a_destra(std::string_view s, size_t larghezza, std::string* out) {
  if (s.size() < larghezza) out->append(larghezza - s.size(), ' ');
  out->append(s);
}

void intero_a_destra(int64_t v, size_t larghezza, std::string* out) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  a_destra(std::string_view(buf, static_cast<size_t>(r.ptr - buf)), larghezza, out);
}

constexpr std::string_view kSeparatore = "  ";

// The text of a view as it is made, handed on a piece at a time: after
// every row, once the piece holds kPezzo bytes.
class Pezzi {
 public:
  static constexpr size_t kPezzo = size_t{64} << 10;

  explicit Pezzi(const Scarico& scarica) : scarica_(scarica) { testo_.reserve(kPezzo + 4096); }
  std::string* testo() { return &testo_; }
  void riga_finita() {
    if (testo_.size() >= kPezzo) scarica();
  }
  void scarica() {
    if (!testo_.empty()) scarica_(testo_);
    testo_.clear();
  }

 private:
  const Scarico& scarica_;
  std::string testo_;
};

// A table of whole-number columns, each as wide as its name or its widest
// value among the rows shown.
class Colonne {
 public:
  void aggiungi(std::string_view nome) {
    nomi_.push_back(nome);
    larghezze_.push_back(nome.size());
  }
  void misura(size_t colonna, int64_t v) {
    larghezze_[colonna] = std::max(larghezze_[colonna], cifre(v));
  }
  void intestazione(std::string* out, std::string_view ultima = {}) const {
    for (size_t c = 0; c < nomi_.size(); ++c) {
      if (c > 0) out->append(kSeparatore);
      a_destra(nomi_[c], larghezze_[c], out);
    }
    if (!ultima.empty()) out->append(kSeparatore).append(ultima);
    out->push_back('\n');
  }
  void scrivi(size_t colonna, int64_t v, std::string* out) const {
    if (colonna > 0) out->append(kSeparatore);
    intero_a_destra(v, larghezze_[colonna], out);
  }

 private:
  std::vector<std::string_view> nomi_;
  std::vector<size_t> larghezze_;
};

// A header text on one line: Windows-1252 as UTF-8 in double quotes, with
// '"', '\' and the bytes a terminal could act on (C0 and C1 controls, and
// the five bytes the code page leaves undefined) escaped.
void testo_citato(std::string_view bytes, std::string* out) {
  static constexpr char kEsadecimali[] = "0123456789ABCDEF";
  out->push_back('"');
  size_t da = 0;
  auto chiudi = [&](size_t fino) {
    if (fino > da) out->append(utf8_da_1252(bytes.substr(da, fino - da)));
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const bool controllo =
        b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    if (!controllo && b != '"' && b != '\\') continue;
    chiudi(i);
    da = i + 1;
    if (controllo) {
      out->append("\\x");
      out->push_back(kEsadecimali[b >> 4]);
      out->push_back(kEsadecimali[b & 0xF]);
    } else {
      out->push_back('\\');
      out->push_back(static_cast<char>(b));
    }
  }
  chiudi(bytes.size());
  out->push_back('"');
}

void testo_testata(const Testata& t, Intervallo r, Pezzi& pezzi) {
  Colonne col;
  col.aggiungi("voce");
  for (const auto& c : kCampiVoce) col.aggiungi(c.nome);
  for (size_t k = r.primo; k < r.fine; ++k) {
    for (size_t c = 0; c < std::size(kCampiVoce); ++c)
      col.misura(c + 1, kCampiVoce[c].valore(t[k]));
  }
  std::string& out = *pezzi.testo();
  col.intestazione(&out, "testo  significato");
  for (size_t k = r.primo; k < r.fine; ++k) {
    col.scrivi(0, static_cast<int64_t>(k), &out);
    for (size_t c = 0; c < std::size(kCampiVoce); ++c) {
      col.scrivi(c + 1, kCampiVoce[c].valore(t[k]), &out);
    }
    out.append(kSeparatore);
    testo_citato(t[k].testo, &out);
    const Significato sg = significato_voce(t, k);
    if (!sg.cosa.empty()) {
      out.append(kSeparatore).append(sg.cosa).push_back(' ');
      scrivi_valori(sg, &out);
    }
    out.push_back('\n');
    pezzi.riga_finita();
  }
}

void json_testata(const Testata& t, Intervallo r, Pezzi& pezzi) {
  std::string& out = *pezzi.testo();
  ScrittoreJson j(&out);
  j.inizia_oggetto().chiave("tipo").testo("testata").chiave("voci").inizia_lista();
  for (size_t k = r.primo; k < r.fine; ++k) {
    j.inizia_oggetto().chiave("voce").intero(static_cast<int64_t>(k));
    for (size_t c = 0; c < std::size(kCampiVoce); ++c) {
      if (c == kCampiPrimaDelTesto) j.chiave("testo").testo_1252(t[k].testo);
      j.chiave(kCampiVoce[c].nome).intero(kCampiVoce[c].valore(t[k]));
    }
    significato_json(significato_voce(t, k), j);
    j.fine_oggetto();
    pezzi.riga_finita();
  }
  j.fine_lista().fine_oggetto();
  out.push_back('\n');
}

void testo_celle(const std::vector<Cella>& celle, Intervallo r, const Testata* t, Pezzi& pezzi) {
  Colonne col;
  col.aggiungi("cella");
  col.aggiungi("progressiva");
  for (const auto& c : kCampiCella) col.aggiungi(c.nome);
  if (r.fine > r.primo) {
    col.misura(0, static_cast<int64_t>(r.fine - 1));
    col.misura(1, progressiva_cella(r.fine - 1));
  }
  for (size_t i = r.primo; i < r.fine; ++i) {
    for (size_t c = 0; c < std::size(kCampiCella); ++c) {
      col.misura(c + 2, kCampiCella[c].valore(celle[i]));
    }
  }
  std::string& out = *pezzi.testo();
  col.intestazione(&out, "significato");
  for (size_t i = r.primo; i < r.fine; ++i) {
    col.scrivi(0, static_cast<int64_t>(i), &out);
    col.scrivi(1, progressiva_cella(i), &out);
    for (size_t c = 0; c < std::size(kCampiCella); ++c) {
      col.scrivi(c + 2, kCampiCella[c].valore(celle[i]), &out);
    }
    const Significato sg = significato_cella(celle, i, t);
    out.append(kSeparatore).append(sg.cosa).push_back(' ');
    scrivi_valori(sg, &out);
    out.push_back('\n');
    pezzi.riga_finita();
  }
}

void json_celle(const std::vector<Cella>& celle, Intervallo r, const Testata* t, Pezzi& pezzi) {
  std::string& out = *pezzi.testo();
  ScrittoreJson j(&out);
  j.inizia_oggetto().chiave("tipo").testo("celle").chiave("celle").inizia_lista();
  for (size_t i = r.primo; i < r.fine; ++i) {
    j.inizia_oggetto().chiave("cella").intero(static_cast<int64_t>(i));
    j.chiave("progressiva").intero(progressiva_cella(i));
    for (const auto& c : kCampiCella) j.chiave(c.nome).intero(c.valore(celle[i]));
    significato_json(significato_cella(celle, i, t), j);
    j.fine_oggetto();
    pezzi.riga_finita();
  }
  j.fine_lista().fine_oggetto();
  out.push_back('\n');
}

// A plan value in a text column: an integer as it is, a real always with
// '.' or an exponent (so the two kinds stay apart), an empty one as
// "vuoto". The result is written into buf and returned.
std::string_view valore_testo(const ValorePiano& v, char (&buf)[32]) {
  switch (v.tipo) {
    case TipoValore::vuoto: return "vuoto";
    case TipoValore::intero: {
      const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(v.valore));
      return std::string_view(buf, static_cast<size_t>(r.ptr - buf));
    }
    case TipoValore::reale: break;
  }
  if (std::isnan(v.valore)) return "nan";
  if (std::isinf(v.valore)) return v.valore > 0 ? "inf" : "-inf";
  const auto r = std::to_chars(buf, buf + sizeof buf - 2, v.valore);
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  if (s.find_first_of(".e") == std::string_view::npos) {
    buf[s.size()] = '.';
    buf[s.size() + 1] = '0';
    s = std::string_view(buf, s.size() + 2);
  }
  return s;
}

// The longest text valore_testo() can give a value, from the value alone:
// a real from 1 to 1e16 has at most 17 digits and a point (or ".0" after
// at most 16), anything else fits the 32 bytes written.
size_t al_massimo(const ValorePiano& v) {
  const double a = std::fabs(v.valore);
  if (v.tipo == TipoValore::reale && a >= 1 && a < 1e16) return std::signbit(v.valore) ? 19 : 18;
  return 32;
}

// A column as wide as its widest value: a value that cannot be wider than
// the column already is goes unwritten (most of a traced plan's).
void allarga(size_t& larghezza, const ValorePiano& v, char (&buf)[32]) {
  if (larghezza < al_massimo(v)) larghezza = std::max(larghezza, valore_testo(v, buf).size());
}

// The plan read twice over the rows shown: once for the columns' widths,
// once to write them.
void testo_planimetria(LettoreIntervalli& file, const IndicePiano& indice, Intervallo r,
                       Pezzi& pezzi) {
  size_t larghezze[3] = {5, 2, 2};  // "punto", "x0", "x1"
  char buf[32];
  ValorePiano x0, x1;
  if (r.fine > r.primo)
    larghezze[0] = std::max(larghezze[0], cifre(static_cast<int64_t>(r.fine - 1)));
  {
    PuntiPiano p(file, indice, r.primo);
    for (size_t i = r.primo; i < r.fine; ++i) {
      p.prossimo(x0, x1);
      allarga(larghezze[1], x0, buf);
      allarga(larghezze[2], x1, buf);
    }
  }
  std::string& out = *pezzi.testo();
  a_destra("punto", larghezze[0], &out);
  out.append(kSeparatore);
  a_destra("x0", larghezze[1], &out);
  out.append(kSeparatore);
  a_destra("x1", larghezze[2], &out);
  out.push_back('\n');
  PuntiPiano p(file, indice, r.primo);
  for (size_t i = r.primo; i < r.fine; ++i) {
    p.prossimo(x0, x1);
    intero_a_destra(static_cast<int64_t>(i), larghezze[0], &out);
    out.append(kSeparatore);
    a_destra(valore_testo(x0, buf), larghezze[1], &out);
    out.append(kSeparatore);
    a_destra(valore_testo(x1, buf), larghezze[2], &out);
    out.push_back('\n');
    pezzi.riga_finita();
  }
}

void valore_json(const ValorePiano& v, ScrittoreJson& j) {
  switch (v.tipo) {
    case TipoValore::vuoto: j.nullo(); return;
    case TipoValore::intero: j.intero(static_cast<int64_t>(v.valore)); return;
    case TipoValore::reale: j.reale(v.valore); return;
  }
}

void json_planimetria(LettoreIntervalli& file, const IndicePiano& indice, Intervallo r,
                      Pezzi& pezzi) {
  std::string& out = *pezzi.testo();
  ScrittoreJson j(&out);
  j.inizia_oggetto().chiave("tipo").testo("planimetria");
  j.chiave("da").intero(static_cast<int64_t>(r.primo)).chiave("punti").inizia_lista();
  PuntiPiano p(file, indice, r.primo);
  ValorePiano x0, x1;
  for (size_t i = r.primo; i < r.fine; ++i) {
    p.prossimo(x0, x1);
    j.inizia_lista();
    valore_json(x0, j);
    valore_json(x1, j);
    j.fine_lista();
    pezzi.riga_finita();
  }
  j.fine_lista().fine_oggetto();
  out.push_back('\n');
}

void mostra_celle(std::string_view bytes, Formato formato, Righe righe, const Testata* t,
                  Pezzi& pezzi) {
  const std::vector<Cella> celle = leggi_celle(bytes);
  const Intervallo r = dentro(righe, celle.size(), bytes.size(), "celle");
  if (formato == Formato::json) {
    json_celle(celle, r, t, pezzi);
  } else {
    testo_celle(celle, r, t, pezzi);
  }
}

}  // namespace

std::string_view nome_tipo_cella(uint8_t tipo_cella) {
  switch (tipo_cella) {
    case cella_libera: return "libera";
    case cella_segnale: return "segnale";
    case cella_fine_rallentamento: return "fine_rallentamento";
    case cella_inizio_rallentamento: return "inizio_rallentamento";
    case cella_avviso_rallentamento: return "avviso_rallentamento";
    case cella_preavviso: return "preavviso";
    case cella_indicatore: return "indicatore";
    case cella_fermata: return "fermata";
    case cella_montagna: return "montagna";
    case cella_abbattimento: return "abbattimento";
    case cella_abbattimento_senza_valore: return "abbattimento_senza_valore";
    case cella_cartello: return "cartello";
    default: return "";
  }
}

void ispeziona(TipoFile tipo, LettoreIntervalli& file, Formato formato, Righe righe,
               const Testata* testata, const Scarico& scarica) {
  Pezzi pezzi(scarica);
  const bool json = formato == Formato::json;
  switch (tipo) {
    case TipoFile::testata: {
      const std::string bytes = tutti_i_byte(file);
      const Testata t = leggi_testata(bytes);
      const Intervallo r = dentro(righe, t.size(), bytes.size(), "voci");
      json ? json_testata(t, r, pezzi) : testo_testata(t, r, pezzi);
      break;
    }
    case TipoFile::celle: mostra_celle(tutti_i_byte(file), formato, righe, testata, pezzi); break;
    case TipoFile::planimetria: {
      IndicePiano indice;
      try {
        indice = indice_planimetria(file);
      } catch (const ErroreLettura&) {
        // "X_linea.dat" is also the cell file of train "linea" of line X:
        // of a cell file's length at most.
        if (file.dimensione() <= kMassimoByteCelle) {
          try {
            mostra_celle(tutti_i_byte(file), formato, righe, testata, pezzi);
            pezzi.scarica();
            return;
          } catch (const ErroreLettura&) {
          }
        }
        throw;
      }
      const Intervallo r = dentro(righe, indice.punti, file.dimensione(), "punti");
      json ? json_planimetria(file, indice, r, pezzi) : testo_planimetria(file, indice, r, pezzi);
      break;
    }
  }
  pezzi.scarica();
}

std::string ispeziona(TipoFile tipo, std::string_view bytes, Formato formato, Righe righe,
                      const Testata* testata) {
  LettoreMemoria file(bytes);
  std::string r;
  ispeziona(tipo, file, formato, righe, testata, [&r](std::string_view pezzo) { r.append(pezzo); });
  return r;
}

}  // namespace scenario

#include "views/json_lettura.h"

#include <cstdlib>

#include "base/testo.h"

namespace scenario {

ValoreJson ValoreJson::di_booleano(bool b) {
  ValoreJson v;
  v.tipo_ = Tipo::booleano;
  v.booleano_ = b;
  return v;
}

ValoreJson ValoreJson::di_numero(std::string letterale, double n) {
  ValoreJson v;
  v.tipo_ = Tipo::numero;
  v.testo_ = std::move(letterale);
  v.numero_ = n;
  return v;
}

ValoreJson ValoreJson::di_testo(std::string utf8) {
  ValoreJson v;
  v.tipo_ = Tipo::testo;
  v.testo_ = std::move(utf8);
  return v;
}

ValoreJson ValoreJson::di_lista(std::vector<ValoreJson> elementi) {
  ValoreJson v;
  v.tipo_ = Tipo::lista;
  v.elementi_ = std::move(elementi);
  return v;
}

ValoreJson ValoreJson::di_oggetto(std::vector<std::pair<std::string, ValoreJson>> membri) {
  ValoreJson v;
  v.tipo_ = Tipo::oggetto;
  v.membri_ = std::move(membri);
  return v;
}

bool ValoreJson::scritto_intero() const {
  return tipo_ == Tipo::numero && testo_.find_first_of(".eE") == std::string::npos;
}

std::optional<int64_t> ValoreJson::intero() const {
  if (!scritto_intero()) return std::nullopt;
  const bool negativo = testo_[0] == '-';
  // Accumulated negatively: INT64_MIN has no positive counterpart.
  int64_t v = 0;
  for (size_t i = negativo ? 1 : 0; i < testo_.size(); ++i) {
    const int cifra = testo_[i] - '0';
    if (v < (INT64_MIN + cifra) / 10) return std::nullopt;
    v = v * 10 - cifra;
  }
  if (negativo) return v;
  if (v == INT64_MIN) return std::nullopt;
  return -v;
}

const ValoreJson* ValoreJson::membro(std::string_view chiave) const {
  for (auto m = membri_.rbegin(); m != membri_.rend(); ++m) {
    if (m->first == chiave) return &m->second;
  }
  return nullptr;
}

std::optional<std::string_view> ValoreJson::testo_di(std::string_view chiave) const {
  const ValoreJson* m = membro(chiave);
  if (m == nullptr || m->tipo() != Tipo::testo) return std::nullopt;
  return m->testo();
}

std::optional<int64_t> ValoreJson::intero_di(std::string_view chiave) const {
  const ValoreJson* m = membro(chiave);
  if (m == nullptr) return std::nullopt;
  return m->intero();
}

namespace {

class Lettore {
 public:
  explicit Lettore(std::string_view t) : t_(t) {}

  ValoreJson documento() {
    spazi();
    ValoreJson v = valore(0);
    spazi();
    if (p_ != t_.size()) errore("dati dopo il documento");
    return v;
  }

 private:
  [[noreturn]] void errore(const std::string& motivo) const { throw ErroreJson(motivo, p_); }

  bool fine() const { return p_ >= t_.size(); }
  char qui() const { return fine() ? '\0' : t_[p_]; }

  void spazi() {
    while (!fine() && (t_[p_] == ' ' || t_[p_] == '\t' || t_[p_] == '\n' || t_[p_] == '\r')) ++p_;
  }

  void parola(std::string_view w) {
    if (t_.substr(p_, w.size()) != w) errore("valore non valido");
    p_ += w.size();
  }

  ValoreJson valore(size_t profondita) {
    switch (qui()) {
      case '{': return oggetto(profondita + 1);
      case '[': return lista(profondita + 1);
      case '"': return ValoreJson::di_testo(stringa());
      case 't': parola("true"); return ValoreJson::di_booleano(true);
      case 'f': parola("false"); return ValoreJson::di_booleano(false);
      case 'n': parola("null"); return ValoreJson();
      default:
        if (qui() == '-' || (qui() >= '0' && qui() <= '9')) return numero();
        errore(fine() ? "documento troncato" : "valore non valido");
    }
  }

  ValoreJson lista(size_t profondita) {
    if (profondita > kProfonditaJson) errore("annidamento troppo profondo");
    ++p_;
    std::vector<ValoreJson> ee;
    spazi();
    if (qui() == ']') {
      ++p_;
      return ValoreJson::di_lista(std::move(ee));
    }
    for (;;) {
      spazi();
      ee.push_back(valore(profondita));
      spazi();
      if (qui() == ',') {
        ++p_;
      } else if (qui() == ']') {
        ++p_;
        return ValoreJson::di_lista(std::move(ee));
      } else {
        errore("attesi ',' o ']'");
      }
    }
  }

  ValoreJson oggetto(size_t profondita) {
    if (profondita > kProfonditaJson) errore("annidamento troppo profondo");
    ++p_;
    std::vector<std::pair<std::string, ValoreJson>> mm;
    spazi();
    if (qui() == '}') {
      ++p_;
      return ValoreJson::di_oggetto(std::move(mm));
    }
    for (;;) {
      spazi();
      if (qui() != '"') errore("attesa una chiave tra virgolette");
      std::string k = stringa();
      spazi();
      if (qui() != ':') errore("atteso ':'");
      ++p_;
      spazi();
      ValoreJson v = valore(profondita);
      mm.emplace_back(std::move(k), std::move(v));
      spazi();
      if (qui() == ',') {
        ++p_;
      } else if (qui() == '}') {
        ++p_;
        return ValoreJson::di_oggetto(std::move(mm));
      } else {
        errore("attesi ',' o '}'");
      }
    }
  }

  bool cifra() const { return qui() >= '0' && qui() <= '9'; }

  ValoreJson numero() {
    const size_t inizio = p_;
    if (qui() == '-') ++p_;
    if (qui() == '0') {
      ++p_;
    } else if (cifra()) {
      while (cifra()) ++p_;
    } else {
      errore("numero non valido");
    }
    if (qui() == '.') {
      ++p_;
      if (!cifra()) errore("numero non valido");
      while (cifra()) ++p_;
    }
    if (qui() == 'e' || qui() == 'E') {
      ++p_;
      if (qui() == '+' || qui() == '-') ++p_;
      if (!cifra()) errore("numero non valido");
      while (cifra()) ++p_;
    }
    std::string letterale(t_.substr(inizio, p_ - inizio));
    // strtod, not from_chars: out of range it still gives the nearest value
    // (an infinity, or zero), as other readers do.
    const double v = std::strtod(letterale.c_str(), nullptr);
    return ValoreJson::di_numero(std::move(letterale), v);
  }

  uint32_t esadecimale4() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = qui();
      v <<= 4;
      if (c >= '0' && c <= '9') {
        v |= static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        v |= static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        v |= static_cast<uint32_t>(c - 'A' + 10);
      } else {
        errore("sequenza \\u non valida");
      }
      ++p_;
    }
    return v;
  }

  // One UTF-8 character of the text, checked as strictly as a decoder that
  // refuses overlong forms and encoded surrogates.
  void carattere(std::string* out) {
    const auto b = static_cast<unsigned char>(t_[p_]);
    size_t n = 0;
    unsigned char min2 = 0x80, max2 = 0xBF;
    if (b < 0x80) {
      n = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 3;
      if (b == 0xE0) min2 = 0xA0;
      if (b == 0xED) max2 = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 4;
      if (b == 0xF0) min2 = 0x90;
      if (b == 0xF4) max2 = 0x8F;
    } else {
      errore("UTF-8 non valido");
    }
    if (p_ + n > t_.size()) errore("UTF-8 non valido");
    for (size_t i = 1; i < n; ++i) {
      const auto c = static_cast<unsigned char>(t_[p_ + i]);
      if (i == 1 ? (c < min2 || c > max2) : (c < 0x80 || c > 0xBF)) errore("UTF-8 non valido");
    }
    out->append(t_.substr(p_, n));
    p_ += n;
  }

  std::string stringa() {
    ++p_;  // the opening quote
    std::string s;
    for (;;) {
      if (fine()) errore("testo non chiuso");
      const char c = t_[p_];
      if (c == '"') {
        ++p_;
        return s;
      }
      if (static_cast<unsigned char>(c) < 0x20) errore("carattere di controllo in un testo");
      if (c != '\\') {
        carattere(&s);
        continue;
      }
      ++p_;
      const char e = qui();
      ++p_;
      switch (e) {
        case '"': s.push_back('"'); break;
        case '\\': s.push_back('\\'); break;
        case '/': s.push_back('/'); break;
        case 'b': s.push_back('\b'); break;
        case 'f': s.push_back('\f'); break;
        case 'n': s.push_back('\n'); break;
        case 'r': s.push_back('\r'); break;
        case 't': s.push_back('\t'); break;
        case 'u': {
          uint32_t u = esadecimale4();
          // A high surrogate and a low one escaped right after it are one
          // character; a lone one is kept as it is.
          if (u >= 0xD800 && u <= 0xDBFF && t_.substr(p_, 2) == "\\u") {
            const size_t prima = p_;
            p_ += 2;
            const uint32_t basso = esadecimale4();
            if (basso >= 0xDC00 && basso <= 0xDFFF) {
              u = 0x10000 + ((u - 0xD800) << 10) + (basso - 0xDC00);
            } else {
              p_ = prima;
            }
          }
          metti_utf8(u, &s);
          break;
        }
        default:
          --p_;
          errore("sequenza di escape non valida");
      }
    }
  }

  std::string_view t_;
  size_t p_ = 0;
};

}  // namespace

ValoreJson leggi_json(std::string_view testo) { return Lettore(testo).documento(); }

}  // namespace scenario

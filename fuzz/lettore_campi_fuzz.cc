// The field reader against a plain model of its rules, read after read.
//
// Input: one byte n, then n mod 64 bytes that choose the reads in turn
// (mod 4: text, 32-bit, 16-bit, 8-bit number), then the text to read. With
// no choice bytes the four kinds take turns.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/guasto.h"
#include "compiler/lettore_campi.h"
#include "fuzz/invarianti.h"

namespace scenario::fuzz {
namespace {

// The rules written out again, directly: what a field is, where it starts,
// which line and column it starts at.
class Modello {
 public:
  explicit Modello(std::string_view t) : t_(t) {}

  bool fine() const { return pos_ >= t_.size(); }
  int riga() const { return riga_; }
  int colonna() const { return colonna_; }

  std::optional<std::string_view> testo() {
    if (!inizia()) return std::nullopt;
    const size_t fine_campo = t_.find_first_of(std::string_view(",\r\n", 3), pos_);
    const size_t da = pos_;
    pos_ = fine_campo == std::string_view::npos ? t_.size() : fine_campo;
    const std::string_view campo = t_.substr(da, pos_ - da);
    separatore();
    return campo;
  }

  // The value, or nothing when the read must fail.
  std::optional<int64_t> numero(int64_t minimo, int64_t massimo) {
    if (!inizia()) return std::nullopt;
    size_t fine_numero = pos_;
    while (fine_numero < t_.size() && !separa(t_[fine_numero]) && !bianco(t_[fine_numero])) {
      ++fine_numero;
    }
    if (fine_numero == pos_ && (pos_ == t_.size() || separa(t_[pos_]))) {
      separatore();
      return 0;
    }
    const std::string_view cifre = t_.substr(pos_, fine_numero - pos_);
    int64_t v = 0;
    // from_chars takes exactly an optional "-" and decimal digits.
    const auto [fine, errore] = std::from_chars(cifre.data(), cifre.data() + cifre.size(), v);
    if (errore != std::errc() || fine != cifre.data() + cifre.size()) return std::nullopt;
    if (v < minimo || v > massimo) return std::nullopt;
    pos_ = fine_numero;
    while (pos_ < t_.size() && bianco(t_[pos_])) ++pos_;
    separatore();
    return v;
  }

 private:
  static bool bianco(char c) { return c == ' ' || c == '\t'; }
  static bool separa(char c) { return c == ',' || c == '\r' || c == '\n'; }

  bool inizia() {
    if (fine()) return false;
    while (pos_ < t_.size() && bianco(t_[pos_])) ++pos_;
    riga_ = righe_;
    colonna_ = static_cast<int>(pos_ - inizio_riga_) + 1;
    return true;
  }

  void separatore() {
    if (pos_ >= t_.size()) return;
    if (t_[pos_] == ',') {
      ++pos_;
      return;
    }
    if (t_.substr(pos_, 2) == "\r\n") {
      pos_ += 2;
    } else if (t_[pos_] == '\r' || t_[pos_] == '\n') {
      ++pos_;
    } else {
      return;
    }
    ++righe_;
    inizio_riga_ = pos_;
  }

  std::string_view t_;
  size_t pos_ = 0;
  int righe_ = 1;
  size_t inizio_riga_ = 0;
  int riga_ = 1;
  int colonna_ = 1;
};

template <typename T>
bool numero_uguale(LettoreCampi& in, Modello& m) {
  const std::optional<int64_t> atteso =
      m.numero(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
  try {
    const T v = in.leggi_intero<T>();
    VERIFICA(atteso.has_value());
    VERIFICA(*atteso == v);
    return true;
  } catch (const Guasto& g) {
    VERIFICA(!atteso.has_value());
    VERIFICA(g.luogo().file == "f.txt" && g.luogo().riga >= 1 && g.luogo().colonna >= 1);
    return false;
  }
}

bool testo_uguale(LettoreCampi& in, Modello& m) {
  const std::optional<std::string_view> atteso = m.testo();
  try {
    const std::string_view campo = in.leggi_testo();
    VERIFICA(atteso.has_value());
    VERIFICA(*atteso == campo);
    VERIFICA(campo.find_first_of(std::string_view(",\r\n", 3)) == std::string_view::npos);
    VERIFICA(campo.empty() || (campo.front() != ' ' && campo.front() != '\t'));
    return true;
  } catch (const Guasto&) {
    VERIFICA(!atteso.has_value());
    return false;
  }
}

}  // namespace
}  // namespace scenario::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario::fuzz;
  if (size == 0 || size > kMassimoIngresso) return 0;
  const size_t n_scelte = std::min<size_t>(data[0] % 64, size - 1);
  const std::string_view scelte(reinterpret_cast<const char*>(data) + 1, n_scelte);
  const std::string testo = come_testo(data + 1 + n_scelte, size - 1 - n_scelte);

  scenario::LettoreCampi in(testo, "f.txt");
  Modello m(testo);
  // Every read that does not fail takes at least one byte.
  bool guasto = false;
  for (size_t letture = 0; !in.fine(); ++letture) {
    VERIFICA(letture <= testo.size());
    const int tipo = scelte.empty() ? static_cast<int>(letture % 4)
                                    : static_cast<uint8_t>(scelte[letture % scelte.size()]) % 4;
    bool riuscita = false;
    switch (tipo) {
      case 0: riuscita = testo_uguale(in, m); break;
      case 1: riuscita = numero_uguale<int32_t>(in, m); break;
      case 2: riuscita = numero_uguale<int16_t>(in, m); break;
      default: riuscita = numero_uguale<uint8_t>(in, m); break;
    }
    guasto = !riuscita;  // a failure ends the file's reading
    if (guasto) break;
    VERIFICA(in.luogo().riga == m.riga() && in.luogo().colonna == m.colonna());
    VERIFICA(in.fine() == m.fine());
  }
  // Reading past the end is a failure, never a crash.
  if (!guasto) {
    VERIFICA(!testo_uguale(in, m));
    VERIFICA(!numero_uguale<int32_t>(in, m));
  }
  return 0;
}

// The field reader shared by both source files. It reads field by field, not
// line by line: a comma or a line end (CR LF, LF or CR) ends a field.
#ifndef SCENARIO_COMPILER_LETTORE_CAMPI_H_
#define SCENARIO_COMPILER_LETTORE_CAMPI_H_

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/guasto.h"

namespace scenario {

// The commonest record: a position and one value after it.
struct DatiPunto {
  int32_t posizione = 0;
  int32_t valore = 0;
};

// Sees every field a reader reads: where it begins, its text as it stands
// (blanks before it skipped) and, for a whole-number field, its value.
class OsservatoreCampi {
 public:
  virtual ~OsservatoreCampi() = default;
  virtual void campo_letto(const Luogo& inizio, std::string_view testo,
                           std::optional<int64_t> numero) = 0;
};

class LettoreCampi {
 public:
  // `nome` names the file in fault reports.
  LettoreCampi(std::string bytes, std::string nome);

  // True when nothing is left to read.
  bool fine() const { return pos_ >= testo_.size(); }

  // The next text field: blanks before it skipped, blanks inside and after
  // kept, up to the next comma or line end, which is consumed. The view
  // stays valid as long as the reader.
  std::string_view leggi_testo();

  // The next whole-number field into a place of type T (int32_t, int16_t or
  // uint8_t). An empty field is 0. Anything but an optional "-" and decimal
  // digits, or a value outside T's range, is a Guasto.
  template <typename T>
  T leggi_intero() {
    const int64_t v = leggi_numero();
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
      fallito_ = Fallimento::limiti;
      // As written, in full: never a value cut to what the reader keeps.
      throw Guasto("valore " + std::string(numero_letto_) + " fuori dai limiti del suo posto",
                   inizio_);
    }
    return static_cast<T>(v);
  }

  // Whole-number fields into 32-bit places, one after the other.
  void leggi_interi(std::initializer_list<int32_t*> posti) {
    for (int32_t* p : posti) *p = leggi_intero<int32_t>();
  }

  DatiPunto leggi_punto() {
    DatiPunto d;
    leggi_interi({&d.posizione, &d.valore});
    return d;
  }

  // Where the last field read began (or the one that failed).
  const Luogo& luogo() const { return inizio_; }
  // The same place as a byte offset into testo().
  size_t offset_luogo() const { return inizio_pos_; }
  const std::string& nome() const { return inizio_.file; }
  const std::string& testo() const { return testo_; }

  void osserva(OsservatoreCampi* o) { osservatore_ = o; }

  // How the last field failed, if it did: it could not be read (or nothing
  // was left), or its value does not fit its place.
  enum class Fallimento { nessuno, lettura, limiti };
  Fallimento fallito() const { return fallito_; }

  // For a reading that goes on after a fault. True at the start of a line.
  bool a_inizio_riga() const { return pos_ == inizio_riga_; }
  // On to the start of the next line, unless already at the start of one.
  void salta_riga();
  // Back to the start of the current line.
  void torna_a_inizio_riga() { pos_ = inizio_riga_; }

 private:
  int64_t leggi_numero();
  void salta_spazi();
  bool a_fine_campo() const;  // at a comma, a line end or the end
  void consuma_separatore();  // one comma or one line end (CR LF, LF, CR)
  void inizia_campo();        // guards "nothing left" and notes the start
  [[noreturn]] void guasto(const std::string& motivo) const;
  [[noreturn]] void non_intero() const;

  std::string testo_;
  OsservatoreCampi* osservatore_ = nullptr;
  mutable Fallimento fallito_ = Fallimento::nessuno;
  size_t pos_ = 0;
  size_t inizio_pos_ = 0;  // where the last field began
  int riga_ = 1;
  size_t inizio_riga_ = 0;
  Luogo inizio_;
  std::string_view numero_letto_;  // the sign and digits of the last number
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LETTORE_CAMPI_H_

// What the check notes while the sources are read: every record with the
// fields it read and where, every heading, every field that started no
// record. The warnings are found on it once the reading is over.
#ifndef SCENARIO_CHECK_CONTROLLO_REGISTRO_H_
#define SCENARIO_CHECK_CONTROLLO_REGISTRO_H_

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/tipi_record.h"

namespace scenario::controllo {

using Sorgente = FileSorgente;
using Tipo = TipoRecord;
inline constexpr size_t kNumeroTipi = kNumeroTipiRecord;

// How the record kind is called in messages: its carried keyword (a literal
// of the table, so it ends in a NUL).
inline const char* nome_tipo(Tipo t) { return definizione(t).nome.data(); }
inline Sorgente sorgente_di(Tipo t) { return definizione(t).file(); }

// A place in one of the two files (which, the entry says).
struct Posto {
  int riga = 0;  // 0: no line
  int colonna = 0;
  bool operator==(const Posto&) const = default;
};

// The texts are views into the check's copies of the sources.
struct CampoLetto {
  Posto posto;
  std::string_view testo;  // as it stands in the file, blanks before it skipped
  bool vuoto = false;
  int64_t numero = 0;  // a whole-number field's value; 0 for a text field
};

// A record's fields, in the register's one table of every field records
// read (whose elements never move): a record costs no allocation of its own.
class CampiRecord {
 public:
  CampiRecord() = default;
  CampiRecord(const std::deque<CampoLetto>& tabella, size_t primo)
      : tabella_(&tabella), primo_(primo) {}
  size_t size() const { return quanti_; }
  bool empty() const { return quanti_ == 0; }
  const CampoLetto& operator[](size_t i) const { return (*tabella_)[primo_ + i]; }
  const CampoLetto& back() const { return (*this)[quanti_ - 1]; }
  // The table's newest field is the record's next one.
  void aggiungi_ultimo() { ++quanti_; }

 private:
  const std::deque<CampoLetto>* tabella_ = nullptr;
  size_t primo_ = 0;
  uint32_t quanti_ = 0;
};

struct RecordLetto {
  Tipo tipo{};
  uint32_t indice = 0;      // its place among the register's records
  Posto posto;              // the keyword field
  std::string_view parola;  // the keyword field's text
  CampiRecord campi;        // the values read, up to a fault
  int sezione = -1;         // the heading in force (index), -1 none
  bool dopo_fine = false;   // a "[fine]" came before it
  int32_t guasto = 0;       // the code of the fault that ended it
  // Stations that were stored: their header entry and zone.
  int32_t voce = 0;
  int64_t zona_inizio = 0;
  int64_t zona_fine = 0;

  bool ha(size_t i) const { return i < campi.size(); }
  int64_t valore(size_t i) const { return campi[i].numero; }
};

struct Intestazione {
  Sorgente file{};
  Posto posto;
  std::string_view testo;  // blanks at its ends trimmed
  int rango = -1;          // its place in the usual order; -1 unknown
};

// Where in a file a field that started no record was read.
enum class Parte : uint8_t { prima_generale, generale, successive };

struct CampoScartato {
  Sorgente file{};
  Parte parte{};
  Posto posto;
  std::string_view testo;
  bool trattino = false;     // passed over by the dash rule
  bool inizio_riga = false;  // the first field of its line
  bool dopo_guasto = false;  // read while skipping the rest of a faulty line
  int sezione = -1;
  bool dopo_fine = false;
  // The last record of the same file read before it, if any (an index).
  std::optional<size_t> precedente;
};

// Records and fields are held in deques: they never move and never take
// twice their room while they grow.
struct Registro {
  std::deque<RecordLetto> record;
  std::deque<CampoLetto> campi;  // the fields of every record, in order
  std::vector<Intestazione> intestazioni;
  std::vector<CampoScartato> scartati;
  // Per file: read at all, its reading cut short by a fault that leaves
  // nothing to read, and the last field, which is never looked at.
  std::array<bool, 2> letto{};
  std::array<bool, 2> interrotto{};
  std::array<std::optional<CampoLetto>, 2> ultimo{};
  // Per file, the last line that holds a field (for a missing "[fine]").
  std::array<int, 2> ultima_riga{};
  std::optional<int64_t> lunghezza;       // the line length in force
  std::array<std::string_view, 2> testi;  // the two sources, as read
};

}  // namespace scenario::controllo

#endif  // SCENARIO_CHECK_CONTROLLO_REGISTRO_H_

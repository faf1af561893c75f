// The check of an author's sources: every fault the compile would meet, each
// at the record that raised it, and warnings for what compiles but is
// probably not what the author meant. It reads as the compile does, but goes
// on with the next record after a fault, and it writes nothing.
#ifndef SCENARIO_CHECK_CONTROLLO_H_
#define SCENARIO_CHECK_CONTROLLO_H_

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/archivio.h"
#include "model/identita.h"

namespace scenario {

// The warnings, by what they are about. Each has a short name that switches
// it off (-Wno-NAME) and that the text form shows.
enum class Avviso : uint8_t {
  parola_sconosciuta,  // a keyword no reader takes, or one read nowhere here
  sezione_sconosciuta,
  parola_nel_campo,  // comment marks, a keyword inside a word, two keywords
  trattino,          // a keyword field with '-' is passed over
  fine,              // records after [fine], no [fine], a last field unread
  sezioni,           // headings out of order, a record under another's heading
  ordine,            // records of a kind out of order of position
  stesso_posto,      // the second of two records silently wins
  sovrapposizione,   // a slowdown over a station zone or another slowdown
  cambio_in_stazione,
  griglia,      // a position off the 50 m grid
  oltre_linea,  // a record in the run-off beyond the line's length
  valore,       // a value no railway has, or one the format cuts short
  campi,        // empty last field, fields left over, values on the next line
  curva,        // a curve keyword whose digits or side letter mislead
  progressive,  // chainage references the ordering clears
  profilo,      // no speed or adhesion from position 0
  codifica,     // a source saved as UTF-8, not Windows-1252
  orario,       // station times out of order, a clock after the first departure
  stazioni,     // a station name twice, a first station not at the line's start
  ripetizione,  // a signal-repetition zone given backwards or empty
  cartello,     // a board text not in one to three parenthesised lines
  // a slowdown not below the speeds in force there: it slows nothing
  rallentamento,
};
inline constexpr size_t kNumeroAvvisi = 23;

std::string_view nome_avviso(Avviso a);
std::optional<Avviso> avviso_di_nome(std::string_view nome);
// Every warning, in the order above.
std::span<const Avviso> avvisi();

enum class Gravita : uint8_t { errore, avviso };

struct Diagnostica {
  std::string file;  // the name as the check was told to show it
  int riga = 0;      // 1-based; 0 when it belongs to no line of the file
  int colonna = 0;   // 1-based, with riga
  Gravita gravita = Gravita::errore;
  int32_t codice = 0;                // errors: the code the compile records for it
  Avviso avviso{};                   // warnings
  bool promosso = false;             // a warning that -Werror makes an error
  std::string messaggio;             // Italian; Windows-1252 bytes where it quotes a source
  std::optional<int32_t> posizione;  // metres, where known

  bool errore() const { return gravita == Gravita::errore; }
  // An error, or a warning that -Werror makes one: what stops a run.
  bool ferma() const { return errore() || promosso; }
};

struct OpzioniControllo {
  // Put before each file name in the diagnostics, so that they show the
  // path the sources were read from ("dir/").
  std::string cartella;
  std::bitset<kNumeroAvvisi> spenti;  // warnings not to report
  std::bitset<kNumeroAvvisi> errori;  // warnings reported as errors (-Werror)
};

// Memory ran out while the check read one of the sources (or, the reading
// over, while it looked at what it had read from them).
class MemoriaEsaurita : public std::bad_alloc {
 public:
  explicit MemoriaEsaurita(std::string file) : file_(std::move(file)) {}
  const char* what() const noexcept override { return "memoria esaurita"; }
  const std::string& file() const { return file_; }  // the source's name in the archive

 private:
  std::string file_;
};

// Checks the two sources of `id` found in `archivio` (which stays as it is)
// and returns the diagnostics in file order: the line file's, then the
// train file's, each by line and column. Throws MemoriaEsaurita when memory
// runs out.
std::vector<Diagnostica> controlla(const ArchivioSorgenti& archivio, const Identita& id,
                                   const OpzioniControllo& opzioni = {});

}  // namespace scenario

#endif  // SCENARIO_CHECK_CONTROLLO_H_

// The one table of record kinds of both source files: for each kind the
// words its keyword field must hold and how they match, the part of the
// reading that tries it, its handler, and the fields it reads. The reader's
// section tables are slices of it; the check and its warnings read it too,
// so that no keyword is written anywhere else.
#ifndef SCENARIO_COMPILER_TIPI_RECORD_H_
#define SCENARIO_COMPILER_TIPI_RECORD_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "compiler/stato_parser.h"

namespace scenario {

// Every record kind, general keys included, in the table's order: the
// reader tries a section's kinds in this order.
enum class TipoRecord : uint8_t {
  lunghezza,
  progressiva_tre,
  progressiva_due,
  progressiva_uno,
  sfondo_uno,
  sfondo_due,
  sfondo_tre,
  ripetizione,
  pendenza,
  curva,
  montagna,
  indicatori,
  cartello,
  massa_frenata,
  vetture,
  velocita,
  aderenza,
  orologio,
  sabbia,
  segnale,
  rallentamento,
  abbattimento,
  stazione,
};
inline constexpr size_t kNumeroTipiRecord = 23;

enum class FileSorgente : uint8_t { linea = 0, treno = 1 };

// The part of the reading whose table tries a kind.
enum class LetturaRecord : uint8_t {
  generale_linea,    // the line file's [generale]
  successive_linea,  // the line file's later sections
  treno,             // the train file after its heading
};

enum class Confronto { senza_maiuscole, esatto };

// A value a record reads, in the order it reads them.
struct CampoRecord {
  std::string_view nome;
  std::string_view unita;  // empty: a count, a code or a text
  std::string_view significato;
};

struct DefinizioneRecord {
  TipoRecord tipo;
  LetturaRecord lettura;
  // Its first value is a position on the line (else it holds one value for
  // the whole scenario).
  bool con_posizione;
  // The words the keyword field must hold, anywhere in it (the second may
  // be empty), and how they are compared.
  std::string_view parola;
  std::string_view seconda_parola;
  Confronto confronto;
  Esito (*gestisci)(StatoParser&);
  std::string_view nome;          // the keyword as the carried files write it
  std::string_view intestazione;  // the heading it usually stands under, one of its file's
  // The word that tells this kind's record when it stands in the other
  // file.
  std::string_view indizio;
  // What a keyword no reader takes may be a misspelling of (none, one or
  // two spellings).
  std::array<std::string_view, 2> proposte;
  std::span<const CampoRecord> campi;

  FileSorgente file() const {
    return lettura == LetturaRecord::treno ? FileSorgente::treno : FileSorgente::linea;
  }
};

// Both files' first heading: what is before it is not read.
inline constexpr std::string_view kIntestazioneGenerale = "[generale]";

// The headings of a source file in the order they usually stand (a
// heading's rank is its place here), in small letters.
std::span<const std::string_view> intestazioni(FileSorgente f);

// Every kind, in the order of TipoRecord.
std::span<const DefinizioneRecord> tipi_record();
const DefinizioneRecord& definizione(TipoRecord t);
// The kinds one part of the reading tries, in order.
std::span<const DefinizioneRecord> tipi_letti(LetturaRecord l);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TIPI_RECORD_H_

// The working state of one parse of the two source files: the model being
// filled, the error record, the current field, and the values that one
// record hands to the next (gradient cursor, plan point, board entry, the
// train's profiles).
#ifndef SCENARIO_COMPILER_STATO_PARSER_H_
#define SCENARIO_COMPILER_STATO_PARSER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/guasto.h"
#include "compiler/archivio.h"
#include "compiler/codici_errore.h"
#include "compiler/lettore_campi.h"
#include "model/identita.h"
#include "model/modello.h"

namespace scenario {

// What a record handler hands back to the record loop: go on, end the
// loop over the file's records, or end the parse. After a fault that the
// reading goes on from, `prossimo_record`: no other kind is tried on the
// keyword field, and the loop reads the next one.
enum class Esito { continua, fine_ciclo, fine_parser, prossimo_record };

// What the reading does after a coded fault (see StatoParser::guasto).
enum class Politica {
  // As the installer compiles: the fault ends the record loop or the parse.
  ferma,
  // The fault is recorded and the reading goes on with the next record, so
  // that one reading can find every fault of a source.
  prosegui,
};

struct DefinizioneRecord;
struct StatoParser;

// The parts of a source file, as the reading meets them.
enum class ParteFile { prima_generale, generale, record };

// Watches a reading for the check of an author's sources; the compile reads
// without one.
class Osservatore {
 public:
  virtual ~Osservatore() = default;
  // A part of the open file begins.
  virtual void parte(StatoParser& s, ParteFile p) = 0;
  // A field read as a keyword; `saltato` when the dash rule passes over it.
  virtual void chiave(const StatoParser& s, std::string_view campo, bool saltato) = 0;
  // The file's last field, which the loop never looks at.
  virtual void ultimo_campo(const StatoParser& s, std::string_view campo) = 0;
  // Reads one record with `g`'s handler, in place of the loop.
  virtual Esito record(StatoParser& s, const DefinizioneRecord& g) = 0;
  // A coded fault, as recorded (25: the error tail, with its reason and
  // place in the parser's state).
  virtual void guasto(const StatoParser& s, Codice codice, std::optional<int32_t> posizione) = 0;
};

// What the line half carries from record to record, set between the
// sections.
struct LetturaLinea {
  int32_t cursore_pendenza = 0;
  int32_t pendenza_precedente = 0;
  int32_t punto = 2;  // next plan point
  int32_t conta_montagne = 0;
  int32_t fine_montagna_precedente = 0;
};

// What the train half carries from record to record and on to the closing
// fill. Speed and adhesion are 0 until their first record.
struct LetturaTreno {
  int32_t stazione = 1;         // the next station's number and entry
  int32_t indice_velocita = 0;  // next cell of the speed profile
  int32_t velocita = 0;         // km/h of the last speed record
  int32_t indice_aderenza = 0;  // next cell of the adhesion profile
  int32_t aderenza = 0;         // value of the last adhesion record
  Luogo luogo_velocita;         // where that speed was read
};

struct StatoParser {
  StatoParser(Modello& m, RecordErrore& e, ArchivioSorgenti& a, const Identita& i, int32_t plan)
      : modello(m), errore(e), archivio(a), id(i), j(plan) {}

  Modello& modello;
  RecordErrore& errore;
  ArchivioSorgenti& archivio;
  const Identita& id;
  int32_t j;  // plan flag
  Politica politica = Politica::ferma;
  Osservatore* osservatore = nullptr;
  // The plan's points are computed and kept. A reading that only looks for
  // faults follows the trace's end alone: no point is ever checked.
  bool traccia_piano = true;

  std::string campo;                                       // the current keyword field
  std::optional<LettoreCampi> lettore;                     // the open source file, if any
  std::optional<Luogo> luogo_errore;                       // where the recorded fault was read
  std::string motivo_guasto;                               // what failed, when the code is 25
  Guasto::Oggetto oggetto_guasto = Guasto::Oggetto::dato;  // and what it is about

  // The boards take header entries from the top down; the stations stop
  // below the last one.
  int32_t prossima_voce_cartello = kPrimaVoceCartello;
  LetturaLinea linea;
  LetturaTreno treno;

  // Records a coded fault, with its position when it has one, and hands
  // the code back.
  Codice registra(Codice codice, std::optional<int32_t> posizione = std::nullopt) {
    errore.numero_errore = numero(codice);
    if (posizione) errore.posizione_errore = *posizione;
    if (lettore) luogo_errore = lettore->luogo();
    return codice;
  }

  // The one place that decides what a coded fault does to the reading. The
  // fault is recorded; then, unless the policy goes on with the next record,
  // the reading stops as `fine` says: `fine_ciclo` ends the loop over the
  // file's records (the file's closing steps still run), `fine_parser` ends
  // the parse, the file being read closed and deleted.
  // A length out of range before any valid one leaves nothing to read on
  // under either policy.
  Esito guasto(Codice codice, std::optional<int32_t> posizione = std::nullopt,
               Esito fine = Esito::fine_parser) {
    registra(codice, posizione);
    if (osservatore) osservatore->guasto(*this, codice, posizione);
    const bool senza_seguito = codice == Codice::lunghezza_fuori_limiti && !modello.celle;
    if (politica == Politica::prosegui && !senza_seguito) return Esito::prossimo_record;
    if (fine == Esito::fine_parser && lettore) chiudi_ed_elimina();
    return fine;
  }

  // The position check that opens every record: (p + margine) / 50 must not
  // exceed the last cell.
  static constexpr int64_t kMargineRecord = 100;
  bool in_linea(int64_t p, int64_t margine = kMargineRecord) const {
    return p + margine <= int64_t{kMetriCella} * modello.ultima_cella;
  }
  // A position beyond the track records 15 with that position and ends the
  // record loop.
  Esito fuori_linea(int32_t p) { return guasto(Codice::oltre_la_linea, p, Esito::fine_ciclo); }

  // What a record that marks cells (a structure, an indicator, a signal, a
  // slowdown) does after storing: its own fault, or else one that an
  // earlier record left in the error record (a line position beyond the
  // track), ends the parse with the record's position. A reading that goes
  // on after faults has already told the earlier one.
  Esito dopo_memo(Codice trovato, int32_t posizione) {
    const Codice c = trovato != Codice::nessuno || politica == Politica::prosegui
                         ? trovato
                         : codice_registrato();
    return c == Codice::nessuno ? Esito::continua : guasto(c, posizione);
  }

  // Bounds-checked access: a cell or entry outside its table is a failure.
  Cella& cella(int64_t i) {
    if (!modello.celle)
      throw Guasto("nessuna lunghezza della linea prima di questo record", luogo());
    if (i < 0 || i > modello.ultima_cella) {
      // Said in metres: cell i holds the point (i - 1) x 50 m.
      const auto metri = [](int64_t c) { return std::to_string((c - 1) * kMetriCella) + " m"; };
      throw Guasto("il record segnerebbe la linea a " + metri(i) +
                       (i < 0 ? ", prima del suo inizio"
                              : ", oltre la fine del binario a " + metri(modello.ultima_cella) +
                                    " (la linea e la sua coda di " +
                                    std::to_string(kMetriProlungamento / 1000) + " km)"),
                   luogo());
    }
    return (*modello.celle)[static_cast<size_t>(i)];
  }
  // Sets `campo` to `valore` in the cells from `cursore` on: the first
  // always, then each next one below `fino`. `cursore` ends past the last
  // cell set.
  template <typename T>
  void riempi_celle(int32_t& cursore, int64_t fino, T Cella::*campo,
                    std::type_identity_t<T> valore) {
    do {
      cella(cursore).*campo = valore;
      ++cursore;
    } while (cursore < fino);
  }
  Voce& voce(int64_t i) {
    if (i < 0 || i >= kVociTestata) {
      throw Guasto("voce " + std::to_string(i) + " fuori dalla testata", luogo());
    }
    return modello.testata[static_cast<size_t>(i)];
  }
  // The code in the error record (every number recorded there is one).
  Codice codice_registrato() const { return static_cast<Codice>(errore.numero_errore); }
  Luogo luogo() const { return lettore ? lettore->luogo() : Luogo{}; }

  // Closes the open source file and deletes it.
  void chiudi_ed_elimina() {
    const std::string nome = lettore->nome();
    lettore.reset();
    archivio.elimina(nome);
  }
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_STATO_PARSER_H_

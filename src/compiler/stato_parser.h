// The working state of one parse of the two source files: the model being
// filled, the error record, the current field, and the values that one
// record kind hands to the next (gradient cursor, plan point, board entry).
#ifndef SCENARIO_COMPILER_STATO_PARSER_H_
#define SCENARIO_COMPILER_STATO_PARSER_H_

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/archivio.h"
#include "compiler/guasto.h"
#include "compiler/lettore_campi.h"
#include "model/identita.h"
#include "model/modello.h"

namespace scenario {

// A coded fault ends the reading of the current file (and, but for 15,
// memorizza_dati): what the handlers return to the record loop.
enum class Esito { continua, fine_ciclo, fine_parser };

struct StatoParser {
  StatoParser(Modello& m, RecordErrore& e, ArchivioSorgenti& a, const Identita& i, int32_t plan)
      : modello(m), errore(e), archivio(a), id(i), j(plan) {}

  Modello& modello;
  RecordErrore& errore;
  ArchivioSorgenti& archivio;
  const Identita& id;
  int32_t j;  // plan flag

  std::string campo;                    // the current keyword field
  std::optional<LettoreCampi> lettore;  // the open source file, if any
  std::optional<Luogo> luogo_errore;    // where the recorded fault was read
  std::string motivo_guasto;            // what failed, when the code is 25

  // Line half, set between the sections.
  int32_t prossima_voce_cartello = kPrimaVoceCartello;
  int32_t cursore_pendenza = 0;
  int32_t pendenza_precedente = 0;
  int32_t punto = 2;  // next plan point
  int32_t conta_montagne = 0;
  int32_t fine_montagna_precedente = 0;

  // Records a coded fault, with its position when it has one.
  void registra(int32_t codice, std::optional<int32_t> posizione = std::nullopt) {
    errore.numero_errore = codice;
    if (posizione) errore.posizione_errore = *posizione;
    if (lettore) luogo_errore = lettore->luogo();
  }

  // The position check: (p + margine) / 50 must not exceed the last cell.
  bool in_linea(int64_t p, int64_t margine = 100) const {
    return p + margine <= int64_t{50} * modello.ultima_cella;
  }

  // The position check that opens every record: a position beyond the track
  // records 15 with that position, which ends the record loop.
  bool controlla_posizione(int32_t p, int64_t margine = 100) {
    if (in_linea(p, margine)) return true;
    registra(15, p);
    return false;
  }

  // Bounds-checked access: a cell or entry outside its table is a failure.
  Cella& cella(int64_t i) {
    if (!modello.celle) throw Guasto("no line length read before this record", luogo());
    if (i < 0 || i > modello.ultima_cella) {
      throw Guasto("cell " + std::to_string(i) + " outside the track", luogo());
    }
    return (*modello.celle)[static_cast<size_t>(i)];
  }
  Voce& voce(int64_t i) {
    if (i < 0 || i >= kVociTestata) {
      throw Guasto("header entry " + std::to_string(i) + " outside the table", luogo());
    }
    return modello.testata[static_cast<size_t>(i)];
  }
  Luogo luogo() const { return lettore ? lettore->luogo() : Luogo{}; }

  // Closes the open source file and deletes it.
  void chiudi_ed_elimina(const std::string& nome) {
    lettore.reset();
    archivio.elimina(nome);
  }
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_STATO_PARSER_H_

// The warnings' shared ground, inside the check: how a warning is said, and
// the families of warnings, each in its own file by what it looks at
// (avvisi_*.cc). trova_avvisi (controllo_avvisi.h) runs them in the order
// declared here, which orders the warnings that share a place.
#ifndef SCENARIO_CHECK_AVVISI_H_
#define SCENARIO_CHECK_AVVISI_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/controllo.h"
#include "check/controllo_registro.h"
#include "model/modello.h"

namespace scenario::controllo {

// What the warnings look at, and where they go.
class Avvisi {
 public:
  Avvisi(const Registro& r, const Modello& m, const std::array<std::string, 2>& file,
         std::vector<Diagnostica>& uscita)
      : r_(r), m_(m), file_(file), uscita_(uscita) {}

  const Registro& registro() const { return r_; }
  const Modello& modello() const { return m_; }

  // A warning at a place of file f.
  void avvisa(Avviso a, Sorgente f, const Posto& l, std::string messaggio,
              std::optional<int64_t> posizione = std::nullopt);
  // A warning at a record's field (its keyword when it read no such field).
  void avvisa(Avviso a, const RecordLetto& rec, std::string messaggio, size_t campo = SIZE_MAX,
              std::optional<int64_t> posizione = std::nullopt);

 private:
  const Registro& r_;
  const Modello& m_;
  const std::array<std::string, 2>& file_;
  std::vector<Diagnostica>& uscita_;
};

// "riga N" of a record, and its kind as messages name it.
std::string riga(const RecordLetto& rec);
std::string nome(const RecordLetto& rec);
// A position or length as the files give it, in metres: "36000 m".
std::string metri(int64_t m);

// Letters (Windows-1252 ones too) and digits.
bool lettera(unsigned char c);
bool cifra(unsigned char c);

// The keyword fields and the texts as saved (avvisi_parole.cc):
// -Wparola-sconosciuta, -Wtrattino, -Wparola-nel-campo; -Wcodifica.
void avvisi_parole(Avvisi& av);
void avvisi_codifica(Avvisi& av);
// The headings (avvisi_sezioni.cc): -Wsezione-sconosciuta, -Wsezioni;
// -Wfine.
void avvisi_sezioni(Avvisi& av);
void avvisi_fine(Avvisi& av);
// Each record's position against the one before of its kind, the grid and
// the line's end (avvisi_posizioni.cc): -Wordine, -Wstesso-posto,
// -Wgriglia, -Woltre-linea.
void avvisi_posizioni(Avvisi& av);
// The values and fields records read (avvisi_valori.cc): -Wvalore, -Wcampi.
void avvisi_valori(Avvisi& av);
void avvisi_campi(Avvisi& av);
// The line's curves, chainage references and the train's profiles
// (avvisi_linea.cc): -Wcurva, -Wprogressive, -Wprofilo.
void avvisi_curve(Avvisi& av);
void avvisi_progressive(Avvisi& av);
void avvisi_profilo(Avvisi& av);
// Stations and slowdowns, and what they cover (avvisi_stazioni.cc):
// -Wsovrapposizione, -Wcambio-in-stazione, -Wstesso-posto (stop marks).
void avvisi_stazioni(Avvisi& av);
// The timetable read along the line from the clock (avvisi_orario.cc):
// -Worario, -Wstazioni.
void avvisi_orario(Avvisi& av);
// What one record's values mean only beside the other file's or the
// line's (avvisi_insieme.cc): -Wrallentamento against the speeds in force,
// -Wripetizione, -Wcartello, the chainage references (-Woltre-linea) and
// the signal kinds a cell tells apart (-Wvalore).
void avvisi_insieme(Avvisi& av);

}  // namespace scenario::controllo

#endif  // SCENARIO_CHECK_AVVISI_H_

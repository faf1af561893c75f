// Every fault code the compile records, in one table with what it means and
// the part of the compile that records it. The numbers are the ones the
// error record and the reports carry.
#ifndef SCENARIO_COMPILER_CODICI_ERRORE_H_
#define SCENARIO_COMPILER_CODICI_ERRORE_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace scenario {

enum class Codice : int32_t {
  nessuno = 0,
  lunghezza_fuori_limiti = 1,
  progressiva_fuori_griglia = 2,
  inizio_ripetizione_fuori_griglia = 3,
  fine_ripetizione_fuori_griglia = 4,
  ripetizione_senza_codici = 5,
  cartello_su_cella_occupata = 6,
  abbattimento_su_cella_occupata = 7,
  stazione_fuori_griglia = 8,
  zona_stazione_fuori_griglia = 9,
  troppe_stazioni = 10,
  segnale_senza_punto_codice = 11,
  avvicinamento_senza_punto_codice = 12,
  percorso_senza_punto_codice = 13,
  oltre_la_linea = 15,
  segnale_su_cella_occupata = 16,
  avviso_occupato = 17,
  inizio_rallentamento_occupato = 18,
  fine_rallentamento_occupata = 19,
  preavviso_occupato = 20,
  indicatore_su_cella_occupata = 21,
  stazioni_troppo_vicine = 22,
  stazione_vicina_all_inizio = 24,
  dato_illeggibile = 25,
  linea_mancante = 101,
  linea_senza_generale = 102,
  curva_errata = 103,
  timbro_presente = 1250,
  identita_presente = 1251,
};

// The part of the compile that records a code.
enum class Fase {
  nessuna,
  linea,     // the line half, which it ends
  treno,     // the train half
  lettura,   // either half: a position beyond the track, the error tail
  percorso,  // the cell walk
  timbri,    // the stamps, which it refuses
};

struct VoceCodice {
  Codice codice;
  Fase fase;
  std::string_view significato;  // for the one-line reports
};

// Every code, in increasing order.
std::span<const VoceCodice> codici_errore();

constexpr int32_t numero(Codice c) { return static_cast<int32_t>(c); }
// The code of a recorded number, if it is one.
std::optional<Codice> codice_di(int32_t numero);
Fase fase(Codice c);

// What a recorded number means; "errore sconosciuto" for any other.
std::string_view significato_errore(int32_t numero);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_CODICI_ERRORE_H_

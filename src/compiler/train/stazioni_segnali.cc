// Stations, which fill a header entry each and mark the cells before their
// zone's end, and signals, which mark their cell and four approach cells.
#include <limits>

#include "compiler/train/record_treno.h"
#include "base/arrotonda.h"

namespace scenario {

namespace {

// A station's position check leaves room for its zone.
constexpr int64_t kMargineStazione = 800;
// A stop of type 5 or 6 ends its zone this far past its position.
constexpr int64_t kCodaFermata = 150;
// A zone this long or longer may keep its long-zone flag.
constexpr int32_t kZonaLunga = 600;
// The least distance between one zone's end and the next one's start.
constexpr int64_t kDistanzaStazioni = 350;

// The record's fields a failure can be about.
constexpr int kCampoLunghezzaZona = 2;
constexpr int kCampoOre = 13;
constexpr int kCampoNome = 16;

// A zone bound or a time stored into a 32-bit place: computed exactly, it
// must fit. `campo` is the field the value comes from.
int32_t in_32_bit(const StatoParser& s, int64_t v, const char* cosa,
                  int campo = kCampoLunghezzaZona) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
    throw Guasto(std::string(cosa) + " " + std::to_string(v) + " oltre i 32 bit", s.luogo(), campo);
  }
  return static_cast<int32_t>(v);
}

// Values 4 to 13, the timetable time and the name, as they stand in the file.
void leggi_dati_stazione(StatoParser& s, Voce& v) {
  LettoreCampi& in = *s.lettore;
  v.opzione = in.leggi_intero<uint8_t>();
  v.flag_quattro = in.leggi_intero<uint8_t>();
  v.flag_tre = in.leggi_intero<uint8_t>();
  v.intero_uno = in.leggi_intero<int16_t>();
  v.intero_due = in.leggi_intero<int16_t>();
  v.flag_uno = in.leggi_intero<uint8_t>();
  v.intero_tre = in.leggi_intero<int16_t>();
  v.intero_quattro = in.leggi_intero<int16_t>();
  v.intero_cinque = in.leggi_intero<int16_t>();
  v.flag_due = in.leggi_intero<uint8_t>();
  const int64_t ore = in.leggi_intero<int32_t>();
  const int64_t minuti = in.leggi_intero<int32_t>();
  const int64_t secondi = in.leggi_intero<int32_t>();
  v.valore_quattro =
      in_32_bit(s, ore * 3600 + minuti * 60 + secondi, "orario della stazione", kCampoOre);
  const std::string_view nome = in.leggi_testo();
  // The header file gives a name a 16-bit length.
  if (nome.size() > 0xFFFF) {
    throw Guasto("nome della stazione piu' lungo di 65535 byte", s.luogo(), kCampoNome);
  }
  v.testo = nome;
}

// The zone around the position, by type code.
void calcola_zona(StatoParser& s, Voce& v, int64_t posizione, int64_t l) {
  if (v.codice == 5 || v.codice == 6) {
    v.valore_due = in_32_bit(s, posizione + kCodaFermata, "fine della zona");
    v.valore_uno = in_32_bit(s, posizione - l, "inizio della zona");
    v.flag_tre = 0;
  } else if (v.codice == 7 || v.codice == 8) {
    v.valore_uno = in_32_bit(s, posizione - l, "inizio della zona");
    v.valore_due = in_32_bit(s, posizione + l, "fine della zona");
    v.flag_tre = 0;
  } else {
    // l is a multiple of 100: the half length is whole.
    v.valore_uno = in_32_bit(s, vicino(2 * posizione - l, 2), "inizio della zona");
    const int64_t estensione = v.flag_tre != 0 ? kMetriCella : 0;
    v.valore_due = in_32_bit(s, vicino(2 * posizione + l, 2) + estensione, "fine della zona");
  }
}

// Approach marks at zone end / 50 - k - 1, k = 1..4, while above cell 1.
void segna_avvicinamento(StatoParser& s, int64_t fine_zona) {
  for (int32_t k = 1; k <= 4; ++k) {
    const int64_t resto = fine_zona - kMetriCella * (int64_t{k} + 1);  // 50 x (end / 50 - k - 1)
    if (resto > kMetriCella)
      s.cella(vicino(resto, kMetriCella)).codice_avvicinamento = static_cast<uint8_t>(80 + k);
  }
}

// The packed 16-bit value a x 10 + b on the low 16 bits of both.
int16_t coppia(int32_t a, int32_t b) {
  return static_cast<int16_t>(static_cast<uint16_t>(a) * 10u + static_cast<uint16_t>(b));
}

}  // namespace

Esito record_stazione(StatoParser& s) {
  LetturaTreno& t = s.treno;
  const int32_t i = t.stazione;
  // The entry above the next free board entry is a board's.
  if (i > s.prossima_voce_cartello) return s.guasto(Codice::troppe_stazioni);
  LettoreCampi& in = *s.lettore;
  Voce& v = s.voce(i);
  const int32_t posizione = v.valore_tre = in.leggi_intero<int32_t>();
  if (!s.in_linea(posizione, kMargineStazione)) return s.fuori_linea(posizione);
  if (posizione % kMetriCella != 0) return s.guasto(Codice::stazione_fuori_griglia, posizione);
  v.codice = in.leggi_intero<uint8_t>();
  const int32_t l = in.leggi_intero<int32_t>();
  // Half the zone on either side of the position: both ends on the grid.
  if (l % (2 * kMetriCella) != 0) return s.guasto(Codice::zona_stazione_fuori_griglia, posizione);
  leggi_dati_stazione(s, v);

  calcola_zona(s, v, posizione, l);
  if (l < kZonaLunga) v.flag_quattro = 0;
  if (i == 1) {
    v.flag_tre = 0;
    v.flag_quattro = 0;
  }
  const int64_t fine_zona = v.valore_due;
  if (v.codice < 25 && v.codice != 5 && v.codice != 6) segna_avvicinamento(s, fine_zona);
  if (v.codice < 25) {
    // The stop mark at zone end / 50 - 1, which must lie above cell 1.
    if (fine_zona - kMetriCella <= kMetriCella) return s.guasto(Codice::stazione_vicina_all_inizio);
    Cella& c = s.cella(vicino(fine_zona - kMetriCella, kMetriCella));
    c.tipo_cella = cella_fermata;
    c.dato_uno = static_cast<int16_t>(i);
  }
  if (i > 1 && int64_t{v.valore_uno} - kDistanzaStazioni < s.voce(i - 1).valore_due) {
    return s.guasto(Codice::stazioni_troppo_vicine, posizione);
  }
  t.stazione = i + 1;
  if (t.stazione >= s.prossima_voce_cartello) return s.guasto(Codice::troppe_stazioni);
  return Esito::continua;
}

DatiSegnale leggi_segnale(LettoreCampi& in) {
  DatiSegnale d;
  in.leggi_interi(
      {&d.posizione, &d.sx, &d.s1, &d.s2, &d.s3, &d.rapp, &d.dx, &d.d1, &d.d2, &d.d3, &d.tempo});
  return d;
}

Codice memo_segnale(StatoParser& s, DatiSegnale& d) {
  const int64_t c = cella_di(d.posizione);
  Cella& cella = s.cella(c);
  if (!cella.libera()) return s.registra(Codice::segnale_su_cella_occupata);
  cella.tipo_cella = cella_segnale;
  cella.dato_uno = coppia(d.s1, d.d1);
  cella.dato_due = coppia(d.s2, d.d2);
  cella.dato_tre = coppia(d.s3, d.d3);
  cella.dato_quattro =
      static_cast<int16_t>(static_cast<uint16_t>(d.rapp) * 10u + static_cast<uint16_t>(d.sx) * 3u +
                           static_cast<uint16_t>(d.dx));
  // The simulator takes times up to 100 as 101.
  if (d.tempo >= 1 && d.tempo <= 100) d.tempo = 101;
  cella.tempo_segnale = d.sx == 2 ? static_cast<uint8_t>(d.tempo) : 0;
  const uint32_t tipo = static_cast<uint32_t>(d.sx) * 3u + static_cast<uint32_t>(d.dx);
  for (uint32_t k = 1; k <= 4; ++k) {
    s.cella(c - 2 * int64_t{k}).codice_avvicinamento = static_cast<uint8_t>(tipo * 10u + k);
  }
  return Codice::nessuno;
}

Esito record_segnale(StatoParser& s) {
  DatiSegnale d = leggi_segnale(*s.lettore);
  if (!s.in_linea(d.posizione)) return s.fuori_linea(d.posizione);
  return s.dopo_memo(memo_segnale(s, d), d.posizione);
}

}  // namespace scenario

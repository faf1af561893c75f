#include "check/controllo.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/arrotonda.h"
#include "base/testo.h"
#include "check/controllo_avvisi.h"
#include "check/controllo_registro.h"
#include "compiler/ciclo_record.h"
#include "compiler/codici_errore.h"
#include "compiler/compila.h"
#include "compiler/post/codici_gara.h"
#include "compiler/post/percorso_celle.h"
#include "compiler/train/regole_treno.h"

namespace scenario {

namespace {

struct NomeAvviso {
  Avviso avviso;
  std::string_view nome;
};
constexpr NomeAvviso kAvvisi[] = {
    {Avviso::parola_sconosciuta, "parola-sconosciuta"},
    {Avviso::sezione_sconosciuta, "sezione-sconosciuta"},
    {Avviso::parola_nel_campo, "parola-nel-campo"},
    {Avviso::trattino, "trattino"},
    {Avviso::fine, "fine"},
    {Avviso::sezioni, "sezioni"},
    {Avviso::ordine, "ordine"},
    {Avviso::stesso_posto, "stesso-posto"},
    {Avviso::sovrapposizione, "sovrapposizione"},
    {Avviso::cambio_in_stazione, "cambio-in-stazione"},
    {Avviso::griglia, "griglia"},
    {Avviso::oltre_linea, "oltre-linea"},
    {Avviso::valore, "valore"},
    {Avviso::campi, "campi"},
    {Avviso::curva, "curva"},
    {Avviso::progressive, "progressive"},
    {Avviso::profilo, "profilo"},
    {Avviso::codifica, "codifica"},
    {Avviso::orario, "orario"},
    {Avviso::stazioni, "stazioni"},
    {Avviso::ripetizione, "ripetizione"},
    {Avviso::cartello, "cartello"},
    {Avviso::rallentamento, "rallentamento"},
};
static_assert(std::size(kAvvisi) == kNumeroAvvisi);

constexpr std::array<Avviso, kNumeroAvvisi> kTuttiGliAvvisi = [] {
  std::array<Avviso, kNumeroAvvisi> a{};
  for (size_t i = 0; i < kNumeroAvvisi; ++i) a[i] = kAvvisi[i].avviso;
  return a;
}();

}  // namespace

std::string_view nome_avviso(Avviso a) { return kAvvisi[static_cast<size_t>(a)].nome; }

std::optional<Avviso> avviso_di_nome(std::string_view nome) {
  for (const NomeAvviso& n : kAvvisi) {
    if (n.nome == nome) return n.avviso;
  }
  return std::nullopt;
}

std::span<const Avviso> avvisi() { return kTuttiGliAvvisi; }

namespace controllo {

namespace {

// A section's name stands alone in its field (blanks trimmed): a heading as
// the reading takes it, from the field's first character. "x [curve]" closes
// [generale] all the same, but names no section.
bool nome_di_sezione(std::string_view t) { return t.starts_with('[') && intestazione(t); }

// The line of a source text around a place in it, found from the place
// (its byte offset and column) and never tabled: a file of a million blank
// lines costs nothing here.
class Righe {
 public:
  explicit Righe(std::string_view t) : t_(t) {}
  // The line's bytes from its start up to `offset`, and then to its end.
  std::string_view riga(size_t offset, int colonna) const {
    const size_t da = inizio(offset, colonna);
    size_t a = std::min(offset, t_.size());
    while (a < t_.size() && t_[a] != '\r' && t_[a] != '\n') ++a;
    return t_.substr(da, a - da);
  }
  // True when the place is where its line's first field begins: only
  // blanks before it (looked at back from the place, so each field pays
  // for its own blanks only).
  bool primo_campo(size_t offset, int colonna) const {
    const size_t da = inizio(offset, colonna);
    for (size_t i = std::min(offset, t_.size()); i > da; --i) {
      if (t_[i - 1] != ' ' && t_[i - 1] != '\t') return false;
    }
    return true;
  }

 private:
  static size_t inizio(size_t offset, int colonna) {
    return offset - std::min(offset, static_cast<size_t>(std::max(colonna, 1) - 1));
  }
  std::string_view t_;
};

// A fault as the reading met it; its message and place are settled once the
// reading is over.
struct GuastoLetto {
  Codice codice = Codice::nessuno;
  std::optional<int32_t> posizione;
  std::optional<size_t> record;  // the record it belongs to
  Sorgente file = Sorgente::linea;
  std::optional<Posto> posto;      // a place fixed when it was met
  int campo = 0;                   // else the record's field (-1: its keyword)
  std::string dettaglio;           // what the meaning alone does not say
  bool proprio = false;            // the detail is the whole message
  std::optional<int32_t> cella;    // the walk: the cell with no free place...
  std::optional<int32_t> origine;  // ...and the signal or slowdown it is for
};

// The reading deletes what it has read: here that only hides it from the
// rest of the reading, and the archive stays as it is.
class SoloLettura : public ArchivioSorgenti {
 public:
  explicit SoloLettura(const ArchivioSorgenti& dentro) : dentro_(dentro) {}
  bool esiste(const std::string& nome) const override {
    return !eliminati_.contains(nome) && dentro_.esiste(nome);
  }
  std::string leggi(const std::string& nome) const override { return dentro_.leggi(nome); }
  void elimina(const std::string& nome) override { eliminati_.insert(nome); }

 private:
  const ArchivioSorgenti& dentro_;
  std::set<std::string> eliminati_;
};

class Motore final : public Osservatore, public OsservatoreCampi, public OsservatorePercorso {
 public:
  // `in_lettura` follows the source being read, for a failure to name it.
  Motore(const Identita& id, const OpzioniControllo& opzioni, const ArchivioSorgenti& archivio,
         std::string& in_lettura)
      : in_lettura_(in_lettura) {
    const std::string nomi[2] = {nome_sorgente_linea(id), nome_sorgente_treno(id)};
    for (size_t f = 0; f < 2; ++f) {
      nomi_[f] = nomi[f];
      mostrati_[f] = opzioni.cartella + nomi[f];
      in_lettura_ = nomi[f];
      if (archivio.esiste(nomi[f])) testi_[f] = archivio.leggi(nomi[f]);
      righe_[f].emplace(testi_[f]);
    }
  }

  Registro registro;
  std::vector<GuastoLetto> guasti;
  std::optional<int32_t> primo_punto_origine;  // the walk's code point in cell 1

  // -- Osservatore --------------------------------------------------------

  void parte(StatoParser& s, ParteFile p) override {
    file_ = sorgente(s.lettore->nome());
    in_lettura_ = nomi_[f()];
    parte_ = p;
    lettore_ = &*s.lettore;
    s.lettore->osserva(this);
    registro.letto[f()] = true;
  }

  // The field is the last one the reader saw.
  void chiave(const StatoParser&, std::string_view, bool saltato) override {
    const Posto l = visto_.posto;
    posto_chiave_ = l;
    offset_chiave_ = offset_visto_;
    parola_ = visto_.testo;
    candidato_ = false;
    const std::string_view t = senza_spazi(visto_.testo);
    if (!saltato && nome_di_sezione(t)) {
      registro.intestazioni.push_back({file_, l, t, rango_sezione(file_, t).value_or(-1)});
      sezione_[f()] = static_cast<int>(registro.intestazioni.size()) - 1;
      if (in_minuscolo(t) == intestazioni(file_).back()) dopo_fine_[f()] = true;
      return;
    }
    CampoScartato c;
    c.file = file_;
    c.parte = parte_ == ParteFile::prima_generale ? Parte::prima_generale
              : parte_ == ParteFile::generale     ? Parte::generale
                                                  : Parte::successive;
    c.posto = l;
    c.testo = visto_.testo;
    c.trattino = saltato;
    c.inizio_riga = righe_[f()]->primo_campo(offset_visto_, l.colonna);
    c.sezione = sezione_[f()];
    c.dopo_fine = dopo_fine_[f()];
    c.precedente = ultimo_record_[f()];
    if (!da_tenere(c)) return;
    // Dropped again when a record takes the field.
    registro.scartati.push_back(std::move(c));
    candidato_ = !saltato;
  }

  void ultimo_campo(const StatoParser&, std::string_view) override {
    registro.ultimo[f()] = visto_;
  }

  Esito record(StatoParser& s, const DefinizioneRecord& g) override {
    // The field is a record's keyword, whether or not the record can be
    // read: no warning calls it unknown.
    if (candidato_) registro.scartati.pop_back();
    candidato_ = false;
    // Without a length there are no cells: nothing further can be read.
    if (!s.modello.celle && parte_ == ParteFile::record && file_ == Sorgente::linea) {
      throw Guasto("nessuna lunghezza della linea prima di questo record",
                   Luogo{s.lettore->nome(), posto_chiave_.riga, posto_chiave_.colonna});
    }
    RecordLetto rec;
    rec.tipo = g.tipo;
    rec.posto = posto_chiave_;
    rec.parola = parola_;
    rec.sezione = sezione_[f()];
    rec.dopo_fine = dopo_fine_[f()];
    rec.campi = CampiRecord(registro.campi, registro.campi.size());
    rec.indice = static_cast<uint32_t>(registro.record.size());
    registro.record.push_back(std::move(rec));
    const size_t i = registro.record.size() - 1;
    in_corso_ = i;
    ultimo_record_[f()] = i;
    ultimo_del_record_ = {posto_chiave_, offset_chiave_};

    Esito e = Esito::continua;
    LettoreCampi::Fallimento fallito = LettoreCampi::Fallimento::nessuno;
    try {
      e = g.gestisci(s);
    } catch (const Guasto& x) {
      fallito = s.lettore ? s.lettore->fallito() : LettoreCampi::Fallimento::nessuno;
      guasto_nel_record(s, x, i, fallito);
      e = Esito::prossimo_record;
    }
    in_corso_.reset();

    RecordLetto& r = registro.record[i];
    if (r.tipo == Tipo::lunghezza && r.guasto == 0 && r.ha(0)) registro.lunghezza = r.valore(0);
    if (r.tipo == Tipo::stazione && r.guasto == 0) {
      r.voce = s.treno.stazione - 1;
      r.zona_inizio = s.modello.testata[static_cast<size_t>(r.voce)].valore_uno;
      r.zona_fine = s.modello.testata[static_cast<size_t>(r.voce)].valore_due;
    }
    if (e == Esito::prossimo_record && s.lettore) riprendi(*s.lettore, fallito);
    return e;
  }

  void guasto(const StatoParser& s, Codice codice, std::optional<int32_t> posizione) override {
    GuastoLetto g;
    g.codice = codice;
    g.posizione = posizione;
    g.file = file_;
    if (in_corso_ && codice != Codice::dato_illeggibile) {
      g.record = in_corso_;
      RecordLetto& r = registro.record[*in_corso_];
      r.guasto = numero(codice);
      g.campo = campo_del_codice(codice, r);
      g.dettaglio = dettaglio_al_momento(s, codice, r);
    } else if (codice == Codice::dato_illeggibile) {
      // The error tail, outside every record.
      const Luogo l = s.luogo_errore.value_or(Luogo{});
      if (!l.file.empty()) g.file = sorgente(l.file);
      g.posto = Posto{l.riga, l.colonna};
      g.dettaglio = s.motivo_guasto;
      if (s.oggetto_guasto == Guasto::Oggetto::sorgente_mancante) {
        // A missing file says so in its own words, naming the file.
        g.dettaglio += ": " + mostrati_[1];
        g.proprio = true;
      }
    } else {
      g.posto = Posto{};
      if (codice == Codice::linea_mancante) g.dettaglio = mostrati_[0];
    }
    const bool senza_seguito = codice == Codice::dato_illeggibile ||
                               codice == Codice::linea_senza_generale ||
                               (codice == Codice::lunghezza_fuori_limiti && !s.modello.celle);
    if (senza_seguito) registro.interrotto[static_cast<size_t>(g.file)] = true;
    guasti.push_back(std::move(g));
  }

  // -- OsservatoreCampi ----------------------------------------------------

  void campo_letto(const Luogo& inizio, std::string_view testo,
                   std::optional<int64_t> numero) override {
    registro.ultima_riga[f()] = std::max(registro.ultima_riga[f()], inizio.riga);
    // The same bytes in the check's own copy, which outlives the reader.
    std::string_view mio;
    if (!testo.empty()) {
      const auto da = static_cast<size_t>(testo.data() - lettore_->testo().data());
      mio = std::string_view(testi_[f()]).substr(da, testo.size());
    }
    visto_ = CampoLetto{Posto{inizio.riga, inizio.colonna}, mio, testo.empty()};
    offset_visto_ = lettore_->offset_luogo();
    if (!in_corso_) return;
    ultimo_del_record_ = {visto_.posto, offset_visto_};
    RecordLetto& r = registro.record[*in_corso_];
    registro.campi.push_back(visto_);
    registro.campi.back().numero = numero.value_or(0);
    r.campi.aggiungi_ultimo();
  }

  // -- OsservatorePercorso -------------------------------------------------

  void punto(int32_t cella, int32_t origine) override {
    if (cella == 1 && !primo_punto_origine) primo_punto_origine = origine;
  }
  void guasto(Codice codice, int32_t cella, int32_t origine) override {
    GuastoLetto g;
    g.codice = codice;
    g.posizione = cella * kMetriCella;
    g.cella = cella;
    g.origine = origine;
    guasti.push_back(std::move(g));
  }

  // -- Settling --------------------------------------------------------------

  const std::array<std::string, 2>& mostrati() const { return mostrati_; }
  const std::string& testo(Sorgente f) const { return testi_[static_cast<size_t>(f)]; }
  Sorgente sorgente(const std::string& nome) const {
    return nome == nomi_[1] ? Sorgente::treno : Sorgente::linea;
  }

 private:
  size_t f() const { return static_cast<size_t>(file_); }

  // Only the stray fields a warning can be about are kept, so that what
  // the check holds grows with the records and never with blank lines or
  // commas: a line's first field that holds something, and the first field
  // left over after a sound record on that record's own line.
  bool da_tenere(const CampoScartato& c) const {
    if (c.inizio_riga) return !senza_spazi(c.testo).empty();
    if (c.trattino || c.parte == Parte::prima_generale || !c.precedente) return false;
    const RecordLetto& r = registro.record[*c.precedente];
    if (r.guasto != 0 || r.campi.empty() || r.campi.back().posto.riga != c.posto.riga) return false;
    if (registro.scartati.empty()) return true;
    const CampoScartato& prima = registro.scartati.back();
    return prima.inizio_riga || prima.file != c.file || prima.posto.riga != c.posto.riga;
  }

  // Where the reading goes on after a faulty record: the next line, or the
  // line whose first field the record took for a value it lacked.
  void riprendi(LettoreCampi& in, LettoreCampi::Fallimento fallito) {
    if (fallito == LettoreCampi::Fallimento::lettura && campo_mancante(in)) {
      in.torna_a_inizio_riga();
    } else {
      in.salta_riga();
    }
  }

  // A field that is the first of a later line than the record's last one:
  // the record lacked its last value and took the next line's keyword.
  bool campo_mancante(const LettoreCampi& in) const {
    const Luogo& l = in.luogo();
    return l.riga > ultimo_del_record_.first.riga &&
           righe_[f()]->primo_campo(in.offset_luogo(), l.colonna);
  }

  void guasto_nel_record(StatoParser& s, const Guasto& x, size_t i,
                         LettoreCampi::Fallimento fallito) {
    RecordLetto& r = registro.record[i];
    r.guasto = numero(Codice::dato_illeggibile);
    GuastoLetto g;
    g.codice = Codice::dato_illeggibile;
    g.record = i;
    g.file = file_;
    g.dettaglio = x.what();
    const Luogo lettore = s.lettore ? s.lettore->luogo() : Luogo{};
    if (fallito == LettoreCampi::Fallimento::lettura && s.lettore && campo_mancante(*s.lettore)) {
      const auto& [ultimo, offset] = ultimo_del_record_;
      g.posto = Posto{ultimo.riga,
                      static_cast<int>(righe_[f()]->riga(offset, ultimo.colonna).size()) + 1};
      g.dettaglio = "manca un campo alla fine della riga: il record " +
                    std::string(nome_tipo(r.tipo)) + " prenderebbe " +
                    cita(primo_token(s.lettore->offset_luogo())) + " dalla riga " +
                    std::to_string(lettore.riga);
    } else if (fallito != LettoreCampi::Fallimento::nessuno ||
               (!x.luogo().file.empty() && !(x.luogo() == lettore))) {
      // The reader's own field, or a place the failure names (the record
      // that set a speed that does not fit).
      const Luogo& l = x.luogo().file.empty() ? lettore : x.luogo();
      g.posto = Posto{l.riga, l.colonna};
    } else {
      g.campo = campo_del_guasto(r, x.campo());
    }
    guasti.push_back(std::move(g));
  }

  // The start of a line's first field, for messages.
  std::string primo_token(size_t offset) const {
    const std::string_view t = testi_[f()];
    size_t a = std::min(offset, t.size());
    while (a < t.size() && t[a] != ',' && t[a] != '\r' && t[a] != '\n') ++a;
    const size_t da = std::min(offset, t.size());
    return std::string(senza_spazi(t.substr(da, a - da)));
  }

  // The field a coded fault points at: the position, unless another field
  // is the one that is wrong.
  static int campo_del_codice(Codice c, const RecordLetto& r) {
    switch (c) {
      case Codice::fine_ripetizione_fuori_griglia: return 1;
      case Codice::ripetizione_senza_codici:
      case Codice::troppe_stazioni: return -1;
      case Codice::curva_errata: return classe_curva(r.parola) ? 1 : -1;
      case Codice::zona_stazione_fuori_griglia: return 2;
      case Codice::fine_rallentamento_occupata: return 2;
      default: return 0;
    }
  }

  static bool classe_curva(std::string_view parola) {
    return parola.find_first_of("123456") != std::string_view::npos;
  }

  // A failure of the model's bounds inside a record: the field whose value
  // put the record outside the tables, as the handler that raised it says;
  // else found from the values (a cell or entry out of its table).
  static int campo_del_guasto(const RecordLetto& r, std::optional<int> detto) {
    if (detto) return *detto;
    switch (r.tipo) {
      case Tipo::montagna: return r.ha(0) && vicino(r.valore(0), kMetriCella) < 0 ? 0 : 1;
      case Tipo::rallentamento: return r.ha(0) && cella_di(r.valore(0)) < 0 ? 0 : 2;
      case Tipo::stazione: return 2;  // a zone bound from the zone's length
      default: return 0;
    }
  }

  // What the fault's meaning alone does not say, from the state of the
  // reading when it was met.
  std::string dettaglio_al_momento(const StatoParser& s, Codice c, const RecordLetto& r) const {
    const auto v = [&r](size_t k) { return r.ha(k) ? std::to_string(r.valore(k)) : "?"; };
    const int32_t i = s.treno.stazione;
    const Testata& t = s.modello.testata;
    switch (c) {
      case Codice::lunghezza_fuori_limiti: return v(0) + " m";
      case Codice::inizio_ripetizione_fuori_griglia: return v(0) + " m";
      case Codice::fine_ripetizione_fuori_griglia: return v(1) + " m";
      case Codice::ripetizione_senza_codici:
        return cita(senza_spazi(r.parola)) + " non contiene ne' 4 ne' 9";
      case Codice::curva_errata:
        if (!classe_curva(r.parola)) {
          return cita(senza_spazi(r.parola)) + " non ha una cifra da 1 a 6 per la classe";
        }
        return "il tracciato passa il punto " +
               std::to_string(std::min<int64_t>(kLunghezzaMassima, s.modello.lunghezza_estesa)) +
               ", la fine della linea con la sua coda";
      case Codice::oltre_la_linea: {
        const int64_t margine = r.tipo == Tipo::stazione ? 800 : StatoParser::kMargineRecord;
        return "l'ultima ammessa e' " +
               std::to_string(int64_t{kMetriCella} * s.modello.ultima_cella - margine) +
               " m (la linea e la sua coda di " + std::to_string(kMetriProlungamento / 1000) +
               " km)";
      }

      case Codice::zona_stazione_fuori_griglia: return v(2) + " m";
      case Codice::stazioni_troppo_vicine: {
        if (i < 2 || i >= kVociTestata) return {};
        const Voce& questa = t[static_cast<size_t>(i)];
        const Voce& prima = t[static_cast<size_t>(i) - 1];
        // Stations go along the line in the file's order.
        if (questa.valore_tre < prima.valore_tre) {
          return "la stazione a " + std::to_string(questa.valore_tre) + " m viene nel file dopo " +
                 cita(prima.testo) + " a " + std::to_string(prima.valore_tre) +
                 " m: le stazioni vanno scritte nell'ordine della linea";
        }
        return "la zona inizia a " + std::to_string(questa.valore_uno) +
               " m, meno di 350 m dopo la fine di quella di " + cita(prima.testo) + " (" +
               std::to_string(prima.valore_due) + " m)";
      }
      case Codice::stazione_vicina_all_inizio:
        if (i < 1 || i >= kVociTestata) return {};
        return "la zona finisce a " + std::to_string(t[static_cast<size_t>(i)].valore_due) +
               " m: il segno di fermata cadrebbe nelle celle 0 o 1";
      case Codice::troppe_stazioni:
        // The station numbered one below the first board entry still free
        // is the first refused: 78 - B fit.
        return "con " + std::to_string(kPrimaVoceCartello - s.prossima_voce_cartello) +
               " cartelli sulla linea entrano al piu' " +
               std::to_string(std::max(0, s.prossima_voce_cartello - 2)) + " stazioni";
      default: return {};
    }
  }

  std::string& in_lettura_;
  std::array<std::string, 2> nomi_;
  std::array<std::string, 2> mostrati_;
  std::array<std::string, 2> testi_;
  std::array<std::optional<Righe>, 2> righe_;

  Sorgente file_ = Sorgente::linea;
  ParteFile parte_ = ParteFile::prima_generale;
  std::array<int, 2> sezione_{-1, -1};
  std::array<bool, 2> dopo_fine_{};
  std::array<std::optional<size_t>, 2> ultimo_record_;
  const LettoreCampi* lettore_ = nullptr;
  CampoLetto visto_;  // the last field the reader read
  size_t offset_visto_ = 0;
  Posto posto_chiave_;
  size_t offset_chiave_ = 0;
  // The last field of the record being read (its keyword, before any
  // other), with its offset.
  std::pair<Posto, size_t> ultimo_del_record_;
  std::string_view parola_;
  bool candidato_ = false;  // the keyword field is the last stray field noted
  std::optional<size_t> in_corso_;
};

std::string descrizione(const RecordLetto& r) {
  return std::string(nome_tipo(r.tipo)) + " di riga " + std::to_string(r.posto.riga);
}

// Turns what the reading met into diagnostics, each at its record.
class Resoconto {
 public:
  Resoconto(const Motore& m, const Modello& modello)
      : m_(m), modello_(modello), prop_(m.registro) {}

  Diagnostica diagnostica(const GuastoLetto& g) const {
    Diagnostica d;
    d.gravita = Gravita::errore;
    d.codice = numero(g.codice);
    d.posizione = g.posizione;
    Sorgente file = g.file;
    Posto l;
    const RecordLetto* r = g.record ? &m_.registro.record[*g.record] : nullptr;
    std::string dettaglio = g.dettaglio;
    if (g.origine) {
      // The walk: the signal or slowdown that needs the code point.
      r = prop_.di(*g.origine);
      dettaglio = dettaglio_percorso(g);
    }
    if (r != nullptr) file = sorgente_di(r->tipo);
    if (g.posto) {
      l = *g.posto;
    } else if (r != nullptr) {
      const size_t k = static_cast<size_t>(g.campo);
      l = g.campo >= 0 && k < r->campi.size() ? r->campi[k].posto : r->posto;
    }
    if (r != nullptr && dettaglio.empty()) dettaglio = dettaglio_cella(g, *r);
    d.file = m_.mostrati()[static_cast<size_t>(file)];
    d.riga = l.riga;
    d.colonna = l.riga > 0 ? l.colonna : 0;
    if (g.proprio) {
      d.messaggio = dettaglio;
    } else {
      d.messaggio = std::string(significato_errore(d.codice));
      if (!dettaglio.empty()) d.messaggio += ": " + dettaglio;
    }
    return d;
  }

  // The chainage references off the grid, each at the record that gave it.
  std::vector<Diagnostica> progressive() const {
    std::vector<Diagnostica> dd;
    for (int e = kVoceProgressivaTre; e <= kVoceProgressivaUno; ++e) {
      const Voce& v = modello_.testata[static_cast<size_t>(e)];
      if (v.valore_uno % kMetriCella == 0 && v.valore_due % kMetriCella == 0) continue;
      const RecordLetto* da = nullptr;
      for (const RecordLetto& r : m_.registro.record) {
        const bool progressiva = r.tipo == Tipo::progressiva_uno ||
                                 r.tipo == Tipo::progressiva_due || r.tipo == Tipo::progressiva_tre;
        if (!progressiva || !r.ha(2) || r.guasto != 0) continue;
        const int64_t secondo = r.valore(1) + (r.valore(2) == 1 ? 100 : 0);
        if (r.valore(0) == v.valore_uno && secondo == v.valore_due && r.valore(2) == v.valore_tre) {
          da = &r;
        }
      }
      Diagnostica d;
      d.codice = numero(Codice::progressiva_fuori_griglia);
      d.file = m_.mostrati()[0];
      d.messaggio = std::string(significato_errore(d.codice));
      if (da != nullptr) {
        const size_t k = da->valore(0) % kMetriCella != 0 ? 0 : 1;
        d.riga = da->campi[k].posto.riga;
        d.colonna = da->campi[k].posto.colonna;
        d.messaggio += ": " + std::to_string(da->valore(k)) + " m";
      }
      dd.push_back(std::move(d));
    }
    return dd;
  }

  // Fault 1250 or 1251: what fills cell 1, and who put it there.
  Diagnostica timbri(Codice c, int16_t valore) const {
    Diagnostica d;
    d.codice = numero(c);
    const RecordLetto* r = nullptr;
    std::string chi;
    if (m_.primo_punto_origine) {
      r = prop_.di(*m_.primo_punto_origine);
      chi = "un punto codice messo dal percorso delle celle per " +
            (r != nullptr ? descrizione(*r) : std::string("un record"));
    } else if ((r = prop_.di(1)) != nullptr) {
      chi = descrizione(*r) + ", che cade nella cella 1";
    }
    const Sorgente file = r != nullptr ? sorgente_di(r->tipo) : Sorgente::linea;
    d.file = m_.mostrati()[static_cast<size_t>(file)];
    // At the record that filled the cell: its position, which put it there.
    if (r != nullptr) {
      const Posto& l = r->ha(0) ? r->campi[0].posto : r->posto;
      d.riga = l.riga;
      d.colonna = l.riga > 0 ? l.colonna : 0;
    }
    d.messaggio =
        std::string(significato_errore(d.codice)) + ": la cella 1, riservata " +
        (c == Codice::timbro_presente ? "al timbro di formato" : "al codice di identita'") +
        ", contiene gia' " + std::to_string(valore);
    if (!chi.empty()) d.messaggio += ", scritto da " + chi;
    return d;
  }

 private:
  std::string dettaglio_cella(const GuastoLetto& g, const RecordLetto& r) const {
    if (!r.ha(0)) return {};
    const int64_t p = r.valore(0);
    std::optional<int64_t> cella;
    switch (g.codice) {
      case Codice::cartello_su_cella_occupata:
      case Codice::indicatore_su_cella_occupata:
      case Codice::segnale_su_cella_occupata:
      case Codice::inizio_rallentamento_occupato: cella = cella_di(p); break;
      case Codice::abbattimento_su_cella_occupata: cella = vicino(p, kMetriCella); break;
      case Codice::avviso_occupato: cella = cella_di(p - kMetriAvviso); break;
      case Codice::fine_rallentamento_occupata:
        if (r.ha(2)) cella = cella_di(p + r.valore(2));
        break;
      case Codice::preavviso_occupato: {
        const int64_t h = vicino(p - kMetriAvviso, kMetriCella);
        for (int64_t k = 0; k < kCellePreavviso && !cella; ++k) {
          if (occupante(h - k, r) != nullptr) cella = h - k;
        }
        break;
      }
      default: return {};
    }
    if (!cella) return {};
    const RecordLetto* altro = occupante(*cella, r);
    if (altro == nullptr) return "la cella " + std::to_string(*cella) + " ha gia' un altro segno";
    // A record of the other file is named with its file.
    const Sorgente f = sorgente_di(altro->tipo);
    return "la cella " + std::to_string(*cella) + " ha gia' " + descrizione(*altro) +
           (f == sorgente_di(r.tipo) ? "" : " di " + m_.mostrati()[static_cast<size_t>(f)]);
  }

  const RecordLetto* occupante(int64_t cella, const RecordLetto& r) const {
    return prop_.di(cella, r.indice);
  }

  static std::string dettaglio_percorso(const GuastoLetto& g) {
    const int32_t c = *g.cella;
    switch (g.codice) {
      case Codice::segnale_senza_punto_codice:
        return "le celle " + std::to_string(c - 1) + " e " + std::to_string(c - 2) +
               " prima del segnale sono occupate";
      case Codice::avvicinamento_senza_punto_codice:
        return "tre celle di un gruppo prima della cella " + std::to_string(c) +
               ", inizio del rallentamento, sono tutte occupate";
      default:
        return "nessuna cella libera intorno alla cella " + std::to_string(c) +
               " per il punto codice";
    }
  }

  const Motore& m_;
  const Modello& modello_;
  const Proprietari prop_;
};

}  // namespace

}  // namespace controllo

namespace {

std::vector<Diagnostica> controlla(const ArchivioSorgenti& archivio, const Identita& id,
                                   const OpzioniControllo& opzioni, std::string& in_lettura) {
  using namespace controllo;
  SoloLettura lettura(archivio);
  Motore motore(id, opzioni, archivio, in_lettura);
  motore.registro.testi = {motore.testo(Sorgente::linea), motore.testo(Sorgente::treno)};
  Modello modello;
  RecordErrore errore;
  StatoParser s(modello, errore, lettura, id, 1);
  s.politica = Politica::prosegui;
  s.osservatore = &motore;
  s.traccia_piano = false;
  memorizza_dati(s);

  std::optional<std::pair<Codice, int16_t>> timbri;
  if (modello.celle) {
    percorri_celle(*modello.celle, errore, &motore);
    const Cella prima_cella = (*modello.celle)[1];
    const Codice t = timbra(modello.testata, *modello.celle);
    if (t != Codice::nessuno) {
      timbri = {t, t == Codice::timbro_presente ? prima_cella.dato_uno : prima_cella.dato_due};
    }
  }

  std::vector<Diagnostica> dd;
  const Resoconto esito(motore, modello);
  dd.reserve(motore.guasti.size());
  for (GuastoLetto& g : motore.guasti) {
    if (g.codice == Codice::progressiva_fuori_griglia && !g.record) {
      for (Diagnostica& d : esito.progressive()) dd.push_back(std::move(d));
    } else {
      dd.push_back(esito.diagnostica(g));
    }
    std::string().swap(g.dettaglio);  // said: a fault is held once
  }
  std::vector<GuastoLetto>().swap(motore.guasti);
  if (timbri) dd.push_back(esito.timbri(timbri->first, timbri->second));
  trova_avvisi(motore.registro, modello, motore.mostrati(), dd);

  std::erase_if(dd, [&opzioni](const Diagnostica& d) {
    return !d.errore() && opzioni.spenti.test(static_cast<size_t>(d.avviso));
  });
  for (Diagnostica& d : dd) {
    d.promosso = !d.errore() && opzioni.errori.test(static_cast<size_t>(d.avviso));
  }
  // File order: the line file's, then the train file's, each by line and
  // column, those of no line last. Sorted in place: no second copy.
  const auto chiave = [&motore](const Diagnostica& d) {
    return std::tuple(d.file == motore.mostrati()[0] ? 0 : 1, d.riga == 0 ? 1 : 0, d.riga,
                      d.colonna);
  };
  std::stable_sort(dd.begin(), dd.end(), [&chiave](const Diagnostica& a, const Diagnostica& b) {
    return chiave(a) < chiave(b);
  });
  // The same fault met again (a speed that does not fit, at every record
  // after it) is said once: it stands at the same place. Each place's
  // diagnostics are told apart by a set, however many there are.
  size_t tenute = 0;
  std::set<std::tuple<Gravita, int32_t, std::string>> dette;
  std::optional<decltype(chiave(dd.front()))> posto;
  for (size_t k = 0; k < dd.size(); ++k) {
    if (const auto qui = chiave(dd[k]); qui != posto) {
      dette.clear();
      posto = qui;
    }
    if (!dette.emplace(dd[k].gravita, dd[k].codice, dd[k].messaggio).second) continue;
    if (tenute != k) dd[tenute] = std::move(dd[k]);
    ++tenute;
  }
  dd.resize(tenute);
  return dd;
}

}  // namespace

std::vector<Diagnostica> controlla(const ArchivioSorgenti& archivio, const Identita& id,
                                   const OpzioniControllo& opzioni) {
  std::string in_lettura = nome_sorgente_linea(id);
  try {
    return controlla(archivio, id, opzioni, in_lettura);
  } catch (const std::bad_alloc&) {
    throw MemoriaEsaurita(in_lettura);
  }
}

}  // namespace scenario

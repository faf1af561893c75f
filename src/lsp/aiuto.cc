#include "lsp/aiuto.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "base/testo.h"
#include "compiler/line/record_linea.h"
#include "model/modello.h"

namespace scenario::lsp {

namespace {

struct Campo {
  size_t inizio = 0;  // byte column of its first character, blanks skipped
  size_t fine = 0;    // of the comma or line end after it
  std::string_view testo;
};

std::vector<Campo> campi_della_riga(std::string_view riga) {
  std::vector<Campo> cc;
  size_t i = 0;
  for (;;) {
    size_t fine = riga.find(',', i);
    if (fine == std::string_view::npos) fine = riga.size();
    size_t inizio = i;
    while (inizio < fine && (riga[inizio] == ' ' || riga[inizio] == '\t')) ++inizio;
    cc.push_back({inizio, fine, riga.substr(inizio, fine - inizio)});
    if (fine == riga.size()) return cc;
    i = fine + 1;
  }
}

bool intestazione(std::string_view campo) {
  return !campo.empty() && campo[0] != '-' && campo.find('[') != std::string_view::npos &&
         campo.find(']') != std::string_view::npos;
}

bool corrisponde(const DefinizioneRecord& d, std::string_view campo) {
  const auto ha = [&d, campo](std::string_view w) {
    return w.empty() ||
           (d.confronto == Confronto::esatto ? contiene(campo, w) : contiene_senza_maiuscole(campo, w));
  };
  return ha(d.parola) && ha(d.seconda_parola);
}

// The part of the reading in force at line `riga`: in the line file, the
// general section up to the first other heading.
LetturaRecord lettura_a(FileSorgente f, const RigheSorgente& righe, size_t riga) {
  if (f == FileSorgente::treno) return LetturaRecord::treno;
  for (size_t r = 0; r < riga && r < righe.size(); ++r) {
    for (const Campo& c : campi_della_riga(righe[r])) {
      if (intestazione(c.testo) && !contiene_senza_maiuscole(c.testo, kIntestazioneGenerale))
        return LetturaRecord::successive_linea;
    }
  }
  return LetturaRecord::generale_linea;
}

std::optional<int64_t> intero(std::string_view t) {
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (t.empty()) return 0;  // an empty field reads as 0
  int64_t v = 0;
  const auto [fine, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || fine != t.data() + t.size()) return std::nullopt;
  return v;
}

// The value of the record's field called `nome`, when the line holds it.
std::optional<int64_t> valore(const DefinizioneRecord& d, const std::vector<Campo>& cc,
                              std::string_view nome) {
  for (size_t i = 0; i < d.campi.size() && i + 1 < cc.size(); ++i) {
    if (d.campi[i].nome == nome) return intero(cc[i + 1].testo);
  }
  return std::nullopt;
}

// Appended piece by piece: GCC 12 warns, wrongly, on "0" + number.
std::string due_cifre(int64_t v) {
  std::string s = v >= 0 && v < 10 ? "0" : "";
  s += std::to_string(v);
  return s;
}

// What a record's values become, where that is cheap to say.
std::string effetto(const DefinizioneRecord& d, const std::vector<Campo>& cc, size_t campo) {
  std::string s;
  if (campo < d.campi.size() && campo + 1 < cc.size() && d.campi[campo].unita == "m" &&
      (d.campi[campo].nome == "posizione" || d.campi[campo].nome == "inizio" ||
       d.campi[campo].nome == "fine")) {
    if (const auto p = intero(cc[campo + 1].testo); p && *p >= 0 && *p <= kLunghezzaMassima) {
      const int64_t cella = cella_di(*p);
      s += "\n\nDiventa: cella " + std::to_string(cella) + ", progressiva " +
           std::to_string(cella * kMetriCella) + " m";
      if (*p % kMetriCella != 0) s += " (fuori dalla griglia di 50 m)";
    }
  }
  if (d.tipo == TipoRecord::stazione) {
    // Where the zone lies depends on the station's type; its length is
    // what the record says.
    if (const auto z = valore(d, cc, "zona")) s += "\n\nZona: lunga " + std::to_string(*z) + " m";
    const auto h = valore(d, cc, "ore"), m = valore(d, cc, "minuti"), sec = valore(d, cc, "secondi");
    if (h && m && sec) s += "\n\nOrario: " + due_cifre(*h) + ":" + due_cifre(*m) + ":" + due_cifre(*sec);
  }
  if (d.tipo == TipoRecord::curva) {
    const double c = curvatura_di(cc[0].testo);
    if (c == 0) {
      s += "\n\nNessuna cifra di classe (da 1 a 6) nella parola: la curva e' un errore";
    } else {
      s += "\n\nRaggio: " + std::to_string(std::lround(1 / std::fabs(c))) + " m, verso " +
           (c < 0 ? "sinistra ('s' nella parola)" : "destra");
    }
  }
  return s;
}

std::string elenco_campi(const DefinizioneRecord& d) {
  std::string s;
  for (const CampoRecord& c : d.campi) {
    s += "\n- `" + std::string(c.nome) + "`";
    if (!c.unita.empty()) s += " (" + std::string(c.unita) + ")";
    s += ": " + std::string(c.significato);
  }
  return s;
}

}  // namespace

std::optional<std::string> descrivi(FileSorgente f, const RigheSorgente& righe, size_t riga,
                                    size_t colonna) {
  if (riga >= righe.size()) return std::nullopt;
  const std::vector<Campo> cc = campi_della_riga(righe[riga]);
  size_t qui = 0;
  while (qui + 1 < cc.size() && colonna > cc[qui].fine) ++qui;
  if (intestazione(cc[0].testo)) {
    return "Sezione `" + utf8_da_1252(cc[0].testo) + "` del file " +
           (f == FileSorgente::linea ? "della linea" : "del treno");
  }
  const LetturaRecord l = lettura_a(f, righe, riga);
  for (const DefinizioneRecord& d : tipi_letti(l)) {
    if (!corrisponde(d, cc[0].testo)) continue;
    std::string s;
    if (qui == 0 || qui > d.campi.size()) {
      s = "**" + std::string(d.nome) + "**, sotto `" + std::string(d.intestazione) + "`" +
          elenco_campi(d);
      if (qui > d.campi.size()) s += "\n\nCampo in piu': il record ne legge " +
                                     std::to_string(d.campi.size());
    } else {
      const CampoRecord& c = d.campi[qui - 1];
      s = "**" + std::string(c.nome) + "**";
      if (!c.unita.empty()) s += " (" + std::string(c.unita) + ")";
      s += ": " + std::string(c.significato) + "\n\nCampo " + std::to_string(qui) + " di " +
           std::to_string(d.campi.size()) + " di **" + std::string(d.nome) + "**";
    }
    return s + effetto(d, cc, qui == 0 ? 0 : qui - 1);
  }
  return std::nullopt;
}

std::optional<Proposte> proponi(FileSorgente f, std::string_view riga, size_t colonna) {
  const std::string_view prima = riga.substr(0, std::min(colonna, riga.size()));
  if (prima.find(',') != std::string_view::npos) return std::nullopt;
  Proposte p;
  while (p.inizio < prima.size() && (prima[p.inizio] == ' ' || prima[p.inizio] == '\t')) ++p.inizio;
  for (const DefinizioneRecord& d : tipi_record()) {
    if (d.file() != f) continue;
    std::string campi;
    for (const CampoRecord& c : d.campi) campi += (campi.empty() ? "" : ", ") + std::string(c.nome);
    p.voci.push_back({std::string(d.nome), std::string(d.intestazione) + ": " + campi, false});
  }
  for (const std::string_view h : intestazioni(f)) p.voci.push_back({std::string(h), "sezione", true});
  return p;
}

}  // namespace scenario::lsp

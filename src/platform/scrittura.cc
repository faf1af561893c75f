#include "platform/scrittura.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <set>

#include "platform/pulizia.h"
#include "platform/scrittura_sistema.h"

namespace scenario {

bool nome_temporaneo(std::string_view nome) {
  if (nome.size() != kLunghezzaTemporaneo || !nome.starts_with(kPrefissoTemporaneo)) return false;
  for (const char c : nome.substr(kPrefissoTemporaneo.size())) {
    const bool alfanumerico =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alfanumerico) return false;
  }
  return true;
}

void InsiemeFile::aggiungi(const std::filesystem::path& finale, std::string_view bytes,
                           bool eseguibile) {
  aggiungi(
      finale, [bytes](const ScriviA& scrivi) { scrivi(0, bytes); }, eseguibile);
}

void scrivi_file(const std::filesystem::path& percorso, std::string_view bytes, bool eseguibile) {
  InsiemeFile uno;
  uno.aggiungi(percorso, bytes, eseguibile);
  uno.sostituisci();
}

void scrivi_provvisorio(const std::filesystem::path& percorso, std::string_view bytes) {
  InsiemeFile uno(false);
  uno.aggiungi(percorso, bytes);
  uno.sostituisci();
}

namespace {

using Stato = InsiemeFile::Voce::Stato;

[[noreturn]] void fallisci(const std::filesystem::path& finale, const sistema::Motivo& motivo) {
  throw GuastoPiattaforma(finale, motivo);
}

// Puts the new file of `v` under its final name. `scambio` stays true
// while the file system swaps names in one step.
void posa(InsiemeFile::Voce& v, bool& scambio) {
  if (!v.esiste) {
    if (const auto m = sistema::rinomina(v.temp, v.finale); !m.empty()) fallisci(v.finale, m);
    v.stato = Stato::posato;
    return;
  }
  if (scambio) {
    sistema::Motivo m;
    switch (sistema::scambia(v.temp, v.finale, &m)) {
      case sistema::Scambio::fatto: v.stato = Stato::scambiato; return;
      case sistema::Scambio::fallito: fallisci(v.finale, m);
      case sistema::Scambio::mancante: scambio = false; break;
    }
  }
  // The older file goes aside first, so that it can be put back.
  v.vecchio = sistema::nome_libero(v.finale);
  v.rimozione_vecchio = DaRimuovere(v.vecchio);
  if (const auto m = sistema::rinomina(v.finale, v.vecchio); !m.empty()) {
    v.rimozione_vecchio.rilascia();
    v.vecchio.clear();
    fallisci(v.finale, m);
  }
  v.stato = Stato::spostato;
  if (const auto m = sistema::rinomina(v.temp, v.finale); !m.empty()) fallisci(v.finale, m);
  v.stato = Stato::posato;
}

// Puts the older file of `v` (or no file) back under its final name.
sistema::Motivo rimetti(InsiemeFile::Voce& v) {
  sistema::Motivo m;
  switch (v.stato) {
    case Stato::da_fare: return m;
    case Stato::scambiato:
      if (sistema::scambia(v.temp, v.finale, &m) != sistema::Scambio::fatto) {
        return m.empty() ? motivo_errno(EINVAL) : m;
      }
      break;
    case Stato::spostato:
    case Stato::posato:
      m = v.vecchio.empty() ? sistema::elimina(v.finale) : sistema::rinomina(v.vecchio, v.finale);
      if (!m.empty()) return m;
      break;
  }
  v.vecchio.clear();
  v.rimozione_vecchio.rilascia();
  v.stato = Stato::da_fare;
  return m;
}

// Where the older file of `v` sits while the new one is in place.
const std::filesystem::path& copia_vecchia(const InsiemeFile::Voce& v) {
  return v.stato == Stato::scambiato ? v.temp : v.vecchio;
}

}  // namespace

InsiemeFile::~InsiemeFile() {
  // A file not put back is the only copy of an older one: it stays, where
  // the failure's message says.
  for (const auto& v : voci_) {
    if (v->stato == Stato::da_fare) sistema::elimina(v->temp);
  }
}

void InsiemeFile::sostituisci() {
  for (const auto& v : voci_) v->esiste = sistema::controlla_sostituibile(v->finale);
  {
    // The renames run as one: an interruption waits for the last of them.
    SegnaliSospesi sospesi;
    bool scambio = true;
    size_t i = 0;
    try {
      for (; i < voci_.size(); ++i) posa(*voci_[i], scambio);
    } catch (...) {
      // Put back what this set has replaced, the last first.
      std::string seguito;
      for (size_t k = i + 1; k-- > 0;) {
        Voce& w = *voci_[k];
        if (const auto m = rimetti(w); !m.empty()) {
          seguito += "; impossibile rimettere " + w.finale.string() + ": " + m;
          if (!copia_vecchia(w).empty()) {
            seguito += " (il file precedente e' in " + copia_vecchia(w).string() + ")";
          }
        }
      }
      if (seguito.empty()) throw;
      try {
        throw;
      } catch (const GuastoPiattaforma& g) {
        throw GuastoInsieme(g, seguito);
      }
    }
  }
  // The new set stands: made durable, then the older files go. A failure
  // now is told, though the new set stays.
  std::optional<GuastoPiattaforma> guasto;
  if (durevole_) {
    std::set<std::filesystem::path> cartelle;
    for (const auto& v : voci_) {
      const std::filesystem::path c = v->finale.parent_path();
      cartelle.insert(c.empty() ? std::filesystem::path(".") : c);
    }
    for (const auto& c : cartelle) {
      const auto m = sistema::consolida_cartella(c);
      if (!m.empty() && !guasto) guasto.emplace(c, m, "scrivere in");
    }
  }
  for (const auto& v : voci_) {
    const std::filesystem::path& copia = copia_vecchia(*v);
    if (copia.empty()) continue;
    const auto m = sistema::elimina(copia);
    if (!m.empty() && !guasto) guasto.emplace(copia, m, "eliminare");
  }
  voci_.clear();
  if (guasto) throw *guasto;
}

}  // namespace scenario

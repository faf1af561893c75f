#include "installer/corsa.h"

#include <algorithm>
#include <system_error>

#include "platform/guasti_prova.h"

namespace scenario {

namespace {

// Only this program's files, never a folder. Under the lock no other run is
// writing, so each one is what a killed run left.
void rimuovi_avanzi(const std::filesystem::path& cartella, const std::vector<std::string>& nomi) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine;
       it.increment(ec)) {
    const std::string voce = it->path().filename().string();
    if (!nome_di_avanzo(voce, nomi)) continue;
    std::error_code tipo;
    if (it->is_directory(tipo) && !it->is_symlink(tipo)) continue;
    std::error_code rimozione;
    std::filesystem::remove(it->path(), rimozione);  // one that stays does no harm
  }
}

// Names in `cartella` that are the run's outputs, each its own role.
NomiCorsa uscite_di(const std::filesystem::path& cartella, const std::vector<std::string>& nomi) {
  NomiCorsa n;
  for (const std::string& nome : nomi) n.uscite.push_back({cartella / nome, nome});
  return n;
}

// The names of the run's files in `cartella`.
std::vector<std::string> nomi_in(const std::filesystem::path& cartella, const NomiCorsa& file) {
  std::vector<std::string> nomi;
  for (const auto* gruppo : {&file.uscite, &file.sorgenti}) {
    for (const FileCorsa& f : *gruppo) {
      if (f.percorso.parent_path() == cartella) nomi.push_back(f.percorso.filename().string());
    }
  }
  return nomi;
}

}  // namespace

void controlla_nomi(const std::filesystem::path& cartella, const std::vector<std::string>& nomi) {
  const size_t limite = limite_nome(cartella);
  const auto lungo = std::max_element(
      nomi.begin(), nomi.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); });
  if (lungo == nomi.end()) return;
  // A temporary name is never longer than a final one, so the finals decide.
  if (std::max(lungo->size(), kLunghezzaTemporaneo) > limite) {
    throw NomeTroppoLungo(cartella / *lungo, lungo->size(), limite);
  }
}

Corsa::Corsa(std::filesystem::path cartella, const std::vector<std::string>& nomi,
             std::chrono::milliseconds attesa)
    : Corsa(cartella, uscite_di(cartella, nomi), attesa) {}

Corsa::Corsa(std::filesystem::path cartella, const NomiCorsa& file,
             std::chrono::milliseconds attesa)
    // Names that cannot be are refused at once, without waiting for the
    // folder.
    : cartella_((verifica_cartella(cartella), controlla_nomi(cartella, nomi_in(cartella, file)),
                 controlla_corsa(file), std::move(cartella))),
      blocco_(cartella_, attesa) {
  rimuovi_avanzi(cartella_, nomi_in(cartella_, file));
}

Corsa::~Corsa() {
  for (const auto& p : da_rimuovere_) {
    std::error_code ec;
    std::filesystem::remove(p, ec);
  }
}

void Corsa::rimuovi_alla_fine(const std::string& nome) {
  const std::filesystem::path p = cartella_ / nome;
  da_rimuovere_.push_back(p);
  rimozioni_.emplace_back(p);
}

std::string ArchivioOsservato::leggi(const std::string& nome) const {
  ultimo_ = nome;
  if (const int e = guasto_di_prova(Chiamata::lettura, cartella_ / nome); e != 0) {
    throw GuastoPiattaforma(cartella_ / nome, motivo_errno(e), "leggere");
  }
  return dentro_.leggi(nome);
}

void ArchivioOsservato::elimina(const std::string& nome) {
  if (const int e = guasto_di_prova(Chiamata::eliminazione, cartella_ / nome); e != 0) {
    throw GuastoPiattaforma(cartella_ / nome, motivo_errno(e), "eliminare");
  }
  dentro_.elimina(nome);
}

std::filesystem::path ArchivioOsservato::in_lettura() const {
  return ultimo_.empty() ? cartella_ : cartella_ / ultimo_;
}

void memoria_esaurita(const std::filesystem::path& file, const char* azione) {
  throw GuastoPiattaforma(file, "memoria esaurita", azione);
}

}  // namespace scenario

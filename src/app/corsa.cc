#include "app/corsa.h"

#include <algorithm>
#include <system_error>

#include "app/guasti_prova.h"

namespace scenario {

namespace {

// "NAME.tmp" and one to ten digits: what a run of an older version wrote
// before it renamed a file.
bool temporaneo_antico(std::string_view voce, const std::vector<std::string>& nomi) {
  for (const std::string& nome : nomi) {
    const std::string prefisso = nome + ".tmp";
    if (!voce.starts_with(prefisso)) continue;
    const std::string_view cifre = voce.substr(prefisso.size());
    if (cifre.empty() || cifre.size() > 10) continue;
    if (std::all_of(cifre.begin(), cifre.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return true;
    }
  }
  return false;
}

// Only this program's files, never a folder. Under the lock no other run is
// writing, so each one is what a killed run left.
void rimuovi_avanzi(const std::filesystem::path& cartella, const std::vector<std::string>& nomi) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine;
       it.increment(ec)) {
    const std::string voce = it->path().filename().string();
    if (!nome_temporaneo(voce) && !temporaneo_antico(voce, nomi)) continue;
    std::error_code tipo;
    if (it->is_directory(tipo) && !it->is_symlink(tipo)) continue;
    std::error_code rimozione;
    std::filesystem::remove(it->path(), rimozione);  // one that stays does no harm
  }
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
    : cartella_(std::move(cartella)), blocco_(cartella_, attesa) {
  controlla_nomi(cartella_, nomi);
  rimuovi_avanzi(cartella_, nomi);
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

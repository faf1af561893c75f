// A run over one folder, taken as a whole: the folder's lock held from before
// the first write to the end, every name the run makes checked against the
// folder's limit before anything is written, the temporary files an earlier
// killed run left removed, and the sources the run writes for itself never
// left behind, whatever ends it.
#ifndef SCENARIO_INSTALLER_CORSA_H_
#define SCENARIO_INSTALLER_CORSA_H_

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/blocco_cartella.h"
#include "installer/nomi_corsa.h"
#include "platform/pulizia.h"
#include "platform/scrittura.h"
#include "compiler/archivio.h"

namespace scenario {

// A name the run would make is longer than the folder takes.
class NomeTroppoLungo : public GuastoPiattaforma {
 public:
  NomeTroppoLungo(const std::filesystem::path& file, size_t lunghezza, size_t limite)
      : GuastoPiattaforma(file, "nome di " + std::to_string(lunghezza) +
                                    " caratteri, la cartella ne ammette al massimo " +
                                    std::to_string(limite)) {}
};

// The longest of `nomi`, when it does not fit `cartella`: throws
// NomeTroppoLungo naming it.
void controlla_nomi(const std::filesystem::path& cartella, const std::vector<std::string>& nomi);

class Corsa {
 public:
  // Takes the lock of `cartella` (at most `attesa` waiting for another run),
  // checks `nomi` (every final name the run makes), and removes what an
  // earlier run left: this program's temporary files, and the older kind
  // ("NAME.tmp" and digits) of `nomi`. Throws GuastoPiattaforma.
  Corsa(std::filesystem::path cartella, const std::vector<std::string>& nomi,
        std::chrono::milliseconds attesa = kAttesaBlocco);
  // The same for a run whose files are described with their roles: first
  // `file` is checked by the rule of controlla_corsa (outputs that collide,
  // with each other, with a source or with the program; an output name held
  // by a device, a FIFO, a socket), before the lock is taken and anything is
  // removed or written. The outputs and sources in `cartella`
  // are the names checked against its limit.
  Corsa(std::filesystem::path cartella, const NomiCorsa& file,
        std::chrono::milliseconds attesa = kAttesaBlocco);
  // Removes what is left of the names given to `rimuovi_alla_fine`.
  ~Corsa();
  Corsa(const Corsa&) = delete;
  Corsa& operator=(const Corsa&) = delete;

  const std::filesystem::path& cartella() const { return cartella_; }
  // `nome` does not outlive the run: removed at its end, and if the run is
  // interrupted.
  void rimuovi_alla_fine(const std::string& nome);

 private:
  std::filesystem::path cartella_;
  BloccoCartella blocco_;
  std::vector<std::filesystem::path> da_rimuovere_;
  std::vector<DaRimuovere> rimozioni_;
};

// The sources as the compiler reads them, remembering the last one read, so
// that running out of memory can name it.
class ArchivioOsservato : public ArchivioSorgenti {
 public:
  ArchivioOsservato(ArchivioSorgenti& dentro, std::filesystem::path cartella)
      : dentro_(dentro), cartella_(std::move(cartella)) {}
  bool esiste(const std::string& nome) const override { return dentro_.esiste(nome); }
  std::string leggi(const std::string& nome) const override;
  void elimina(const std::string& nome) override;
  // The file last read, or the folder before any.
  std::filesystem::path in_lettura() const;

 private:
  ArchivioSorgenti& dentro_;
  std::filesystem::path cartella_;
  mutable std::string ultimo_;
};

// Running out of memory while reading or writing `file`.
[[noreturn]] void memoria_esaurita(const std::filesystem::path& file, const char* azione);

}  // namespace scenario

#endif  // SCENARIO_INSTALLER_CORSA_H_

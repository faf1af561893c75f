// The compiler's sources as files in a folder of the file system: the
// installer's own folder.
#ifndef SCENARIO_PLATFORM_ARCHIVIO_CARTELLA_H_
#define SCENARIO_PLATFORM_ARCHIVIO_CARTELLA_H_

#include <filesystem>
#include <memory>
#include <string>

#include "base/intervalli.h"
#include "compiler/archivio.h"

namespace scenario {

// Files in a folder of the file system.
class ArchivioCartella : public ArchivioSorgenti {
 public:
  explicit ArchivioCartella(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
  bool esiste(const std::string& nome) const override;
  std::string leggi(const std::string& nome) const override;
  // The file opened for reading by ranges, refused as leggi() refuses it.
  std::unique_ptr<LettoreIntervalli> apri(const std::string& nome) const;
  void elimina(const std::string& nome) override;

 private:
  std::filesystem::path percorso(const std::string& nome) const;
  // Throws unless a regular file, or nothing, is under `p`.
  static void solo_file(const std::filesystem::path& p);
  std::filesystem::path cartella_;
};

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_ARCHIVIO_CARTELLA_H_

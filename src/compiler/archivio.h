// Where the compiler finds its two source files and deletes them once read.
// The installer gives it the program's folder (platform/archivio_cartella.h);
// the author tool and the tests give it copies held in memory.
#ifndef SCENARIO_COMPILER_ARCHIVIO_H_
#define SCENARIO_COMPILER_ARCHIVIO_H_

#include <map>
#include <string>

namespace scenario {

class ArchivioSorgenti {
 public:
  virtual ~ArchivioSorgenti() = default;
  // Whether the file is there. A folder throws GuastoPiattaforma when the
  // system cannot tell.
  virtual bool esiste(const std::string& nome) const = 0;
  // The whole file; throws when it cannot be read (GuastoPiattaforma from a
  // folder: the system's failure, which the compile never records as a
  // fault of the data).
  virtual std::string leggi(const std::string& nome) const = 0;
  // Removes the file if it is there; throws when it cannot (a folder:
  // GuastoPiattaforma, as for a read).
  virtual void elimina(const std::string& nome) = 0;
};

// Files held in memory.
class ArchivioMemoria : public ArchivioSorgenti {
 public:
  void metti(const std::string& nome, std::string bytes) { file_[nome] = std::move(bytes); }
  bool esiste(const std::string& nome) const override { return file_.count(nome) != 0; }
  std::string leggi(const std::string& nome) const override;
  void elimina(const std::string& nome) override { file_.erase(nome); }

 private:
  std::map<std::string, std::string> file_;
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_ARCHIVIO_H_

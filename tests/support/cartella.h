// A fresh folder for one test or benchmark, with a non-ASCII letter in its
// name, removed with everything in it afterwards; and plain whole-file
// reads and writes.
#ifndef SCENARIO_TESTS_SUPPORT_CARTELLA_H_
#define SCENARIO_TESTS_SUPPORT_CARTELLA_H_

#include <filesystem>
#include <string>
#include <vector>

namespace scenario::test {

class CartellaProva {
 public:
  CartellaProva();
  ~CartellaProva();
  CartellaProva(const CartellaProva&) = delete;
  CartellaProva& operator=(const CartellaProva&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }
  // Removes everything in the folder, keeping the folder.
  void svuota() const;

 private:
  std::filesystem::path percorso_;
};

// A path as a program's command line carries it to main: the bytes of the
// system's code page on Windows, the name's own bytes elsewhere.
std::string come_argomento(const std::filesystem::path& p);

// The names in a folder, sorted; none when it does not exist.
std::vector<std::string> nomi(const std::filesystem::path& cartella);
// The whole file; empty when it cannot be read.
std::string leggi(const std::filesystem::path& p);
void scrivi(const std::filesystem::path& p, const std::string& bytes);

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_CARTELLA_H_

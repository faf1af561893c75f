// Writing finished files: the bytes go to a fresh temporary file beside the
// final one, flushed to the disk, which then replaces the final name in one
// step; the folder is flushed after the renames. No partial file is ever
// left under a final name, and a failed write leaves the old file. A set of
// files is replaced as a whole: every temporary file is written first,
// every final name is checked, and only then are they renamed; a rename
// that fails puts back what the set had replaced.
#ifndef SCENARIO_PLATFORM_SCRITTURA_H_
#define SCENARIO_PLATFORM_SCRITTURA_H_

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/guasto.h"

namespace scenario {

// The system's reason for an errno value, in Italian for the common ones
// on POSIX systems.
std::string motivo_errno(int codice);
// The same for what std::filesystem reported.
std::string motivo_codice(const std::error_code& ec);

// Temporary files are named ".scenario." and six letters or digits: short
// enough that any folder taking the final names takes them too.
inline constexpr std::string_view kPrefissoTemporaneo = ".scenario.";
inline constexpr size_t kLunghezzaTemporaneo = kPrefissoTemporaneo.size() + 6;
// True for a name of this program's temporary files.
bool nome_temporaneo(std::string_view nome);

// The longest file name the folder takes, in bytes (255 on Windows, where
// the limit counts UTF-16 units and every name here is ASCII).
size_t limite_nome(const std::filesystem::path& cartella);

// Puts bytes at their offset in the file being written.
using ScriviA = std::function<void(size_t posizione, std::string_view bytes)>;

// Replaces `percorso` with `bytes`; throws GuastoPiattaforma. An
// `eseguibile` file gets the run bit on POSIX (a packed installer).
void scrivi_file(const std::filesystem::path& percorso, std::string_view bytes,
                 bool eseguibile = false);
// The same for a file that never outlives the run (a source the run
// compiles and deletes): nothing is flushed.
void scrivi_provvisorio(const std::filesystem::path& percorso, std::string_view bytes);

// A failure of a set whose putting back failed too: the first failure, and
// then what could not be put back and where its older file is.
class GuastoInsieme : public GuastoPiattaforma {
 public:
  GuastoInsieme(const GuastoPiattaforma& primo, const std::string& seguito)
      : GuastoPiattaforma(primo), testo_(primo.what() + seguito) {}
  const char* what() const noexcept override { return testo_.c_str(); }

 private:
  std::string testo_;
};

// Files replaced together: `aggiungi` writes, flushes and closes each one's
// temporary file; `sostituisci` checks that every final name can be
// replaced and then renames them in the order they were added, each older
// file swapped with its new one where the file system can do it in one
// step, else moved aside just before. A failure before the renames leaves
// every older file as it was; a failure among them puts back, the last
// first, every file the set had replaced, so the older set is whole again
// (a put-back that fails as well is told, with where that older file was
// left). Once every new file is in place the folder is flushed and the
// older files are deleted. The temporary files never outlive the object.
class InsiemeFile {
 public:
  // `durevole`: each file flushed before its rename, the folder after them.
  explicit InsiemeFile(bool durevole = true);
  ~InsiemeFile();
  InsiemeFile(const InsiemeFile&) = delete;
  InsiemeFile& operator=(const InsiemeFile&) = delete;

  void aggiungi(const std::filesystem::path& finale, std::string_view bytes,
                bool eseguibile = false);
  // The same for a file made a piece at a time: `produci` puts every byte
  // of it, through the function it is given, in any order.
  void aggiungi(const std::filesystem::path& finale,
                const std::function<void(const ScriviA&)>& produci, bool eseguibile = false);
  void sostituisci();

  // One file of the set (platform/scrittura_sistema.h).
  struct Voce;

 private:
  bool durevole_;
  std::vector<std::unique_ptr<Voce>> voci_;
};

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_SCRITTURA_H_

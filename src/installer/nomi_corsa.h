// The one rule for every name a run will write, checked before anything is
// written: no two outputs of the run may be the same file, as the target's
// file system compares names; no output may be a source of the same run or
// the running program itself; neither an output nor the program may bear a
// name a run removes as left over (a temporary file); and an older entry
// under an output name must be a file that a rename replaces (a regular
// file, or a symbolic link, which is replaced itself), never a device, a
// FIFO or a socket, which a rename would replace with a file. (A folder no
// rename replaces; the writer stops the set on it before any rename.)
// Nothing is opened to tell.
#ifndef SCENARIO_INSTALLER_NOMI_CORSA_H_
#define SCENARIO_INSTALLER_NOMI_CORSA_H_

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/identita.h"

namespace scenario {

// How a file system compares two names.
enum class ConfrontoNomi { esatto, senza_maiuscole };

// How this build's own file system compares: without regard to case on
// Windows. A packed installer is compared without regard to case on every
// build, since players run it on Windows.
ConfrontoNomi confronto_locale();

// A file a run reads or writes, with what it is to the run ("la
// planimetria della linea"), for the message.
struct FileCorsa {
  std::filesystem::path percorso;
  std::string ruolo;
};

struct NomiCorsa {
  std::vector<FileCorsa> uscite;
  std::vector<FileCorsa> sorgenti;
  // The running program's file; empty when there is none to protect.
  std::filesystem::path programma;
  ConfrontoNomi confronto = confronto_locale();
};

inline constexpr char kRuoloProgramma[] = "il programma stesso";

// Two files of a run that would be one, or a name a run would remove: the
// message names both roles and says that nothing was written.
class NomiInConflitto : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The eight files an installer of `id` writes in `cartella`, in the order
// it writes them, with their roles: the five texts (the two sources first),
// then the three binary files.
std::vector<FileCorsa> file_installatore(const std::filesystem::path& cartella, const Identita& id);
inline constexpr size_t kTestiInstallatore = 5;
// Where each file stands in file_installatore.
enum PostoFile : size_t {
  posto_sorgente_linea,
  posto_sorgente_treno,
  posto_note,
  posto_rallentamenti,
  posto_scheda,
  posto_planimetria,
  posto_celle,
  posto_testata,
};

// What an entry that is not a file is, in words for a message ("una FIFO").
const char* genere_non_file(std::filesystem::file_type tipo);

// Throws NomiInConflitto when two of `n`'s files collide, and
// GuastoPiattaforma naming an output whose name is held by something that
// is not a file.
void controlla_corsa(const NomiCorsa& n);

// Only the names: the same as controlla_corsa without looking at what the
// outputs' names hold now. For a run still to come (an installer being
// packed).
void controlla_nomi_corsa(const NomiCorsa& n);

// Whether a run in the folder removes `nome` as what a killed run left:
// this program's temporary files, and the older kind, "NAME.tmp" and one to
// ten digits, of the run's own names `nomi`.
bool nome_di_avanzo(std::string_view nome, const std::vector<std::string>& nomi);

}  // namespace scenario

#endif  // SCENARIO_INSTALLER_NOMI_CORSA_H_

// One run at a time in a folder: the installer and `scenario compile` hold
// the folder's exclusive lock from before their first write to their end. A
// second run waits for the first, at most a bounded time, and then refuses.
// The lock leaves no file behind: on POSIX it is taken on the folder itself
// (flock on a handle of the directory); on Windows, where only files can be
// locked, on a file that the system deletes when the last handle to it
// closes, however the process ends.
#ifndef SCENARIO_APP_BLOCCO_H_
#define SCENARIO_APP_BLOCCO_H_

#include <chrono>
#include <filesystem>

namespace scenario {

// Long enough for the largest scenario on a slow disk.
inline constexpr std::chrono::milliseconds kAttesaBlocco{30000};

// The name of the Windows lock file.
inline constexpr char kNomeBloccoWin32[] = ".scenario-blocco";

class BloccoCartella {
 public:
  // Throws GuastoPiattaforma naming the folder when it cannot be opened
  // (missing, not a folder) or another run keeps it past `attesa`.
  BloccoCartella(const std::filesystem::path& cartella, std::chrono::milliseconds attesa);
  ~BloccoCartella();
  BloccoCartella(const BloccoCartella&) = delete;
  BloccoCartella& operator=(const BloccoCartella&) = delete;

 private:
  void* maniglia_ = nullptr;  // HANDLE on Windows
  int fd_ = -1;               // POSIX
};

// For a run that only reads in a folder: throws GuastoPiattaforma naming it,
// as BloccoCartella does, when it is missing or not a folder.
void verifica_cartella(const std::filesystem::path& cartella);

// The refusal after waiting: what the message says.
std::string motivo_cartella_occupata(std::chrono::milliseconds attesa);

}  // namespace scenario

#endif  // SCENARIO_APP_BLOCCO_H_

// One run at a time in a folder: the installer and `scenario compile` hold
// the folder's exclusive lock from before their first write to their end. A
// second run waits for the first, at most a bounded time, and then refuses.
// The lock is taken on the file kNomeBlocco in the folder, through a handle
// open for writing, which a user who may only read the folder cannot have.
// On POSIX it is a write lock (fcntl) and the holder deletes the file as it
// lets go (a killed run leaves it empty, and the next run takes it and
// deletes it); on Windows the system deletes the file when the last handle
// to it closes, however the process ends.
#ifndef SCENARIO_PLATFORM_BLOCCO_CARTELLA_H_
#define SCENARIO_PLATFORM_BLOCCO_CARTELLA_H_

#include <chrono>
#include <filesystem>

namespace scenario {

// Long enough for the largest scenario on a slow disk.
inline constexpr std::chrono::milliseconds kAttesaBlocco{30000};

// The name of the lock file.
inline constexpr char kNomeBlocco[] = ".scenario-blocco";
inline constexpr const char* kNomeBloccoWin32 = kNomeBlocco;

class BloccoCartella {
 public:
  // Throws GuastoPiattaforma naming the folder when it cannot be opened
  // (missing, not a folder) or another run keeps it past `attesa`.
  BloccoCartella(const std::filesystem::path& cartella, std::chrono::milliseconds attesa);
  ~BloccoCartella();
  BloccoCartella(const BloccoCartella&) = delete;
  BloccoCartella& operator=(const BloccoCartella&) = delete;

 private:
  void* maniglia_ = nullptr;  // HANDLE on Windows; the file's name on POSIX
  int fd_ = -1;               // POSIX
};

// For a run that only reads in a folder: throws GuastoPiattaforma naming it,
// as BloccoCartella does, when it is missing or not a folder.
void verifica_cartella(const std::filesystem::path& cartella);

// The refusal after waiting: what the message says.
std::string motivo_cartella_occupata(std::chrono::milliseconds attesa);

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_BLOCCO_CARTELLA_H_

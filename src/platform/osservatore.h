// `scenario watch`'s eyes: the changes to the files of one folder, and
// Ctrl+C as one more thing to wait for.
#ifndef SCENARIO_PLATFORM_OSSERVATORE_H_
#define SCENARIO_PLATFORM_OSSERVATORE_H_

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

struct Cambio {
  std::string nome;  // the file's name in the folder
  // The writer is done with it (closed after writing, renamed into place,
  // removed); false while it is being written.
  bool finito = false;
};

class OsservatoreCartella {
 public:
  // Starts watching `dir` and takes over Ctrl+C (SIGINT, SIGTERM on POSIX;
  // the console's Ctrl+C and Ctrl+Break on Windows), which from then on only
  // ends the wait. Throws GuastoPiattaforma when the folder cannot be watched.
  explicit OsservatoreCartella(const std::filesystem::path& dir);
  ~OsservatoreCartella();
  OsservatoreCartella(const OsservatoreCartella&) = delete;
  OsservatoreCartella& operator=(const OsservatoreCartella&) = delete;

  // Waits up to `millisecondi` (forever when negative) for changes: those
  // seen, possibly none when the time ran out; none at all once Ctrl+C came.
  std::optional<std::vector<Cambio>> attendi(int millisecondi);

 private:
  struct Stato;
  std::unique_ptr<Stato> s_;
};

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_OSSERVATORE_H_

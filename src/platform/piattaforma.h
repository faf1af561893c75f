// What the installer needs from the operating system: its own folder and
// file, the waiting window, the error message box. One implementation per platform
// (piattaforma-posix.cc, piattaforma-win32.cc); tests supply their own.
#ifndef SCENARIO_PLATFORM_PIATTAFORMA_H_
#define SCENARIO_PLATFORM_PIATTAFORMA_H_

#include <filesystem>
#include <memory>
#include <string>

#include "base/intervalli.h"

namespace scenario {

class Piattaforma {
 public:
  virtual ~Piattaforma() = default;
  // The folder that holds the running program.
  virtual std::filesystem::path cartella_programma() = 0;
  // Shows the waiting window and has it painted once.
  virtual void mostra_attesa() = 0;
  // `errore`'s message box: the text, one OK button, no icon; returns when
  // the user has closed it.
  virtual void messaggio_errore(const std::string& testo) = 0;
  // A platform failure that ends the run: the text names the file and why.
  virtual void messaggio_guasto(const std::string& testo) = 0;
  // The running program's own file, for its payload (platform/programma.h).
  virtual std::unique_ptr<LettoreIntervalli> apri_programma();
  // The running program's file, which no output of the run may replace.
  virtual std::filesystem::path percorso_programma();
};

std::unique_ptr<Piattaforma> crea_piattaforma();

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_PIATTAFORMA_H_

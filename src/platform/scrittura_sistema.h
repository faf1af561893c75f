// Inside the writers: a file of a set as the set replacement of
// scrittura.cc sees it, and the steps each platform gives it
// (scrittura-posix.cc, scrittura-win32.cc).
#ifndef SCENARIO_PLATFORM_SCRITTURA_SISTEMA_H_
#define SCENARIO_PLATFORM_SCRITTURA_SISTEMA_H_

#include <filesystem>
#include <string>

#include "platform/pulizia.h"
#include "platform/scrittura.h"

namespace scenario {

struct InsiemeFile::Voce {
  // Where the older file is while the set is being replaced.
  enum class Stato {
    da_fare,    // under its final name still; the new file under `temp`
    scambiato,  // swapped: the new file is in place, the older under `temp`
    spostato,   // moved aside to `vecchio`; nothing under the final name
    posato,     // the new file in place, the older one (if any) at `vecchio`
  };
  std::filesystem::path finale;
  std::filesystem::path temp;
  DaRimuovere rimozione;
  bool esiste = false;  // an older file was under the final name
  Stato stato = Stato::da_fare;
  std::filesystem::path vecchio;
  DaRimuovere rimozione_vecchio;
};

namespace sistema {

// The system's reason for a step that failed; empty when it was done.
using Motivo = std::string;

// What would stop a rename over `finale`, found before any rename (a
// folder under its name, a file that may not be replaced); throws
// GuastoPiattaforma naming it. False when there is no file of that name.
bool controlla_sostituibile(const std::filesystem::path& finale);

enum class Scambio { fatto, mancante, fallito };
// Swaps the files under `a` and `b` in one step; `mancante` where the file
// system has no such step.
Scambio scambia(const std::filesystem::path& a, const std::filesystem::path& b, Motivo* motivo);
// Puts `da` under the name `a`, replacing what is there.
Motivo rinomina(const std::filesystem::path& da, const std::filesystem::path& a);
Motivo elimina(const std::filesystem::path& percorso);
// Makes the folder's names, as the renames left them, survive a power cut.
Motivo consolida_cartella(const std::filesystem::path& cartella);
// A fresh temporary name beside `accanto` that nothing holds.
std::filesystem::path nome_libero(const std::filesystem::path& accanto);

}  // namespace sistema

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_SCRITTURA_SISTEMA_H_

#include <windows.h>

#include "platform/pulizia.h"
#include "platform/pulizia_registro.h"

namespace scenario {

namespace {

// Ctrl+C, Ctrl+Break, the console closing: the names held are removed, then
// the next handler (the system's, which ends the process) runs.
BOOL WINAPI gestore(DWORD) {
  registro::rimuovi_tutti();
  return FALSE;
}

}  // namespace

void registro::rimuovi(const wchar_t* nome) { DeleteFileW(nome); }

void installa_pulizia() {
  static bool installata = false;
  if (installata) return;
  installata = true;
  SetConsoleCtrlHandler(gestore, TRUE);
}

// Ctrl+C is handled on a thread of its own: nothing to hold back here.
SegnaliSospesi::SegnaliSospesi() = default;
SegnaliSospesi::~SegnaliSospesi() = default;

}  // namespace scenario

#include <windows.h>

#include <thread>

#include "platform/blocco_cartella.h"
#include "platform/scrittura.h"
#include "platform/sistema-win32.h"

namespace scenario {

namespace {

[[noreturn]] void rifiuta(const std::filesystem::path& cartella, const std::string& motivo) {
  throw GuastoPiattaforma(cartella, motivo, "scrivere in");
}

// A file being deleted still has its name in the folder's listing, though
// it can no longer be opened or even asked for its attributes.
bool in_cancellazione(const std::filesystem::path& nome) {
  WIN32_FIND_DATAW dati;
  const HANDLE ricerca = FindFirstFileW(nome.c_str(), &dati);
  if (ricerca == INVALID_HANDLE_VALUE) return false;
  FindClose(ricerca);
  return true;
}

}  // namespace

void verifica_cartella(const std::filesystem::path& cartella) {
  const DWORD attributi = GetFileAttributesW(cartella.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) {
    throw GuastoPiattaforma(cartella, win32::motivo(GetLastError()), "usare la cartella");
  }
  if ((attributi & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw GuastoPiattaforma(cartella, win32::motivo(ERROR_DIRECTORY), "usare la cartella");
  }
}

// Only a file can be locked on Windows, not a folder; a handle on the folder
// that shuts others out would also shut out Explorer. So the lock is a byte
// of a hidden file opened with FILE_FLAG_DELETE_ON_CLOSE: the system deletes
// it when the last handle to it closes, also when a process is killed. A
// run that finds it being deleted (the last holder has just closed it)
// waits and creates it afresh. It is opened for writing only and shared
// with no reader, so a user who may only read the folder can neither open
// it nor lock a byte of it.
BloccoCartella::BloccoCartella(const std::filesystem::path& cartella,
                               std::chrono::milliseconds attesa) {
  verifica_cartella(cartella);
  const std::filesystem::path nome = cartella / kNomeBlocco;
  const auto limite = std::chrono::steady_clock::now() + attesa;
  auto pausa = std::chrono::milliseconds(1);
  const auto aspetta = [&] {
    if (std::chrono::steady_clock::now() >= limite) return false;
    std::this_thread::sleep_for(pausa);
    pausa = std::min(pausa * 2, std::chrono::milliseconds(50));
    return true;
  };
  HANDLE h = INVALID_HANDLE_VALUE;
  while (true) {
    h = CreateFileW(nome.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) break;
    const DWORD codice = GetLastError();
    if (codice != ERROR_ACCESS_DENIED || !in_cancellazione(nome))
      rifiuta(cartella, win32::motivo(codice));
    if (!aspetta()) rifiuta(cartella, motivo_cartella_occupata(attesa));
  }
  while (true) {
    OVERLAPPED dove{};
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &dove)) break;
    const DWORD codice = GetLastError();
    if (codice != ERROR_LOCK_VIOLATION || !aspetta()) {
      CloseHandle(h);
      rifiuta(cartella, codice == ERROR_LOCK_VIOLATION ? motivo_cartella_occupata(attesa)
                                                       : win32::motivo(codice));
    }
  }
  maniglia_ = h;
}

BloccoCartella::~BloccoCartella() {
  if (maniglia_ != nullptr) CloseHandle(static_cast<HANDLE>(maniglia_));
}

}  // namespace scenario

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>

#include "app/scrittura.h"
#include "app/sistema-win32.h"

namespace scenario {

namespace {

// Creates a new file beside `finale`, never opening one that exists.
HANDLE crea_temporaneo(const std::filesystem::path& finale, std::filesystem::path* temp) {
  static std::minstd_rand generatore(static_cast<unsigned>(GetCurrentProcessId()) ^
                                     static_cast<unsigned>(GetTickCount()));
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    *temp = finale;
    temp->concat(L".tmp" + std::to_wstring(generatore()));
    const HANDLE h = CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

[[noreturn]] void fallisci(const std::filesystem::path& percorso, const std::filesystem::path& temp,
                           DWORD codice) {
  DeleteFileW(temp.c_str());
  throw GuastoPiattaforma(percorso, win32::motivo(codice));
}

}  // namespace

// Windows runs a program by its name, not by a permission bit.
void scrivi_file(const std::filesystem::path& percorso, std::string_view bytes, bool) {
  std::filesystem::path temp;
  const HANDLE h = crea_temporaneo(percorso, &temp);
  if (h == INVALID_HANDLE_VALUE) throw GuastoPiattaforma(percorso, win32::motivo(GetLastError()));

  size_t scritti = 0;
  while (scritti < bytes.size()) {
    const DWORD parte = static_cast<DWORD>(std::min<size_t>(bytes.size() - scritti, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(h, bytes.data() + scritti, parte, &n, nullptr)) {
      const DWORD e = GetLastError();
      CloseHandle(h);
      fallisci(percorso, temp, e);
    }
    if (n == 0) {  // no progress: never loop for ever
      CloseHandle(h);
      fallisci(percorso, temp, ERROR_WRITE_FAULT);
    }
    scritti += n;
  }
  if (!CloseHandle(h)) fallisci(percorso, temp, GetLastError());
  // The old file, if any, stays whole until this one step replaces it.
  if (!MoveFileExW(temp.c_str(), percorso.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    fallisci(percorso, temp, GetLastError());
  }
}

}  // namespace scenario

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "app/pulizia.h"
#include "app/scrittura.h"
#include "app/sistema-win32.h"
#include "app/temporaneo.h"

namespace scenario {

namespace {

[[noreturn]] void fallisci(const std::filesystem::path& finale, DWORD codice) {
  throw GuastoPiattaforma(finale, win32::motivo(codice));
}

// Creates a new file beside `finale`, never opening one that exists.
HANDLE crea_temporaneo(const std::filesystem::path& finale, std::filesystem::path* temp,
                       DaRimuovere* rimozione) {
  static std::minstd_rand generatore(static_cast<unsigned>(GetCurrentProcessId()) ^
                                     static_cast<unsigned>(GetTickCount()) ^
                                     std::random_device{}());
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    *temp = nome_casuale(finale.parent_path(), generatore);
    const HANDLE h = CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *rimozione = DaRimuovere(*temp);
      return h;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

// 0, or the error of the write that failed.
DWORD scrivi_tutto(HANDLE h, size_t posizione, std::string_view bytes) {
  size_t scritti = 0;
  while (scritti < bytes.size()) {
    const DWORD parte = static_cast<DWORD>(std::min<size_t>(bytes.size() - scritti, 1u << 30));
    // On a handle opened for plain (not overlapped) writes, the offset in
    // OVERLAPPED places the write and the call still waits for it.
    const uint64_t dove = uint64_t{posizione} + scritti;
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(dove);
    o.OffsetHigh = static_cast<DWORD>(dove >> 32);
    DWORD n = 0;
    if (!WriteFile(h, bytes.data() + scritti, parte, &n, &o)) return GetLastError();
    if (n == 0) return ERROR_WRITE_FAULT;  // no progress: never loop for ever
    scritti += n;
  }
  return 0;
}

}  // namespace

// Every name here is ASCII: bytes and UTF-16 units count alike.
size_t limite_nome(const std::filesystem::path&) { return 255; }

struct InsiemeFile::Voce {
  std::filesystem::path finale;
  std::filesystem::path temp;
  DaRimuovere rimozione;
  DWORD attributi = INVALID_FILE_ATTRIBUTES;  // the older file's, if any
};

InsiemeFile::InsiemeFile() = default;

InsiemeFile::~InsiemeFile() {
  for (const auto& v : voci_) DeleteFileW(v->temp.c_str());
}

// Windows runs a program by its name, not by a permission bit.
void InsiemeFile::aggiungi(const std::filesystem::path& finale,
                           const std::function<void(const ScriviA&)>& produci, bool) {
  auto v = std::make_unique<Voce>();
  v->finale = finale;
  const HANDLE h = crea_temporaneo(finale, &v->temp, &v->rimozione);
  if (h == INVALID_HANDLE_VALUE) fallisci(finale, GetLastError());
  try {
    produci([h, &finale](size_t posizione, std::string_view bytes) {
      if (const DWORD codice = scrivi_tutto(h, posizione, bytes); codice != 0) {
        fallisci(finale, codice);
      }
    });
  } catch (...) {
    CloseHandle(h);
    DeleteFileW(v->temp.c_str());
    throw;
  }
  if (!CloseHandle(h)) {
    const DWORD codice = GetLastError();
    DeleteFileW(v->temp.c_str());
    fallisci(finale, codice);
  }
  voci_.push_back(std::move(v));
}

void InsiemeFile::sostituisci() {
  // A folder under a final name, or a file in use, stops the set before
  // anything is renamed, with the reason MoveFileExW would give.
  for (const auto& v : voci_) {
    v->attributi = GetFileAttributesW(v->finale.c_str());
    if (v->attributi == INVALID_FILE_ATTRIBUTES) {
      const DWORD codice = GetLastError();
      if (codice != ERROR_FILE_NOT_FOUND) fallisci(v->finale, codice);
    } else if ((v->attributi & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      fallisci(v->finale, ERROR_ACCESS_DENIED);
    } else {
      // A file another program holds open without sharing its deletion
      // (the simulator reading the scenario) cannot be replaced: its rename
      // would fail halfway through the set, after the files before it.
      const HANDLE h = CreateFileW(v->finale.c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
      } else if (const DWORD codice = GetLastError(); codice == ERROR_SHARING_VIOLATION) {
        fallisci(v->finale, codice);
      }
    }
  }
  for (const auto& v : voci_) {
    // A read-only older file is replaced as on POSIX, where the permission
    // bits of a file never stop a rename over it: MoveFileExW refuses one,
    // so the attribute is taken off first, and put back if the move fails.
    const bool sola_lettura =
        v->attributi != INVALID_FILE_ATTRIBUTES && (v->attributi & FILE_ATTRIBUTE_READONLY) != 0;
    if (sola_lettura) {
      SetFileAttributesW(v->finale.c_str(), v->attributi & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    // The old file, if any, stays whole until this one step replaces it.
    if (!MoveFileExW(v->temp.c_str(), v->finale.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      const DWORD codice = GetLastError();
      if (sola_lettura) SetFileAttributesW(v->finale.c_str(), v->attributi);
      fallisci(v->finale, codice);
    }
  }
  voci_.clear();
}

}  // namespace scenario

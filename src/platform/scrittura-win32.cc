#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "platform/pulizia.h"
#include "platform/scrittura.h"
#include "platform/scrittura_sistema.h"
#include "platform/sistema-win32.h"
#include "platform/temporaneo.h"

namespace scenario {

// The C library's text, as the system gives it.
std::string motivo_errno(int codice) { return std::strerror(codice); }

// The system's own message (FormatMessage) for what it reported.
std::string motivo_codice(const std::error_code& ec) { return ec.message(); }

namespace {

[[noreturn]] void fallisci(const std::filesystem::path& finale, DWORD codice) {
  throw GuastoPiattaforma(finale, win32::motivo(codice));
}

std::minstd_rand& generatore() {
  static std::minstd_rand g(static_cast<unsigned>(GetCurrentProcessId()) ^
                            static_cast<unsigned>(GetTickCount()) ^ std::random_device{}());
  return g;
}

// Creates a new file beside `finale`, never opening one that exists.
HANDLE crea_temporaneo(const std::filesystem::path& finale, std::filesystem::path* temp,
                       DaRimuovere* rimozione) {
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    *temp = nome_casuale(finale.parent_path(), generatore());
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

// A folder under the final name, or a file another program holds open
// without sharing its deletion (the simulator reading the scenario), whose
// rename would fail halfway through the set.
bool sistema::controlla_sostituibile(const std::filesystem::path& finale) {
  const DWORD attributi = GetFileAttributesW(finale.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) {
    const DWORD codice = GetLastError();
    if (codice == ERROR_FILE_NOT_FOUND) return false;
    fallisci(finale, codice);
  }
  if ((attributi & FILE_ATTRIBUTE_DIRECTORY) != 0) fallisci(finale, ERROR_ACCESS_DENIED);
  const HANDLE h =
      CreateFileW(finale.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
  } else if (const DWORD codice = GetLastError(); codice == ERROR_SHARING_VIOLATION) {
    fallisci(finale, codice);
  }
  return true;
}

// No step swaps two names: the older file is moved aside instead.
sistema::Scambio sistema::scambia(const std::filesystem::path&, const std::filesystem::path&,
                                  Motivo*) {
  return Scambio::mancante;
}

// The move is on the disk when it returns. A read-only older file (the
// attribute) moves as on POSIX, where the permission bits of a file never
// stop a rename: if the move is refused the attribute is taken off for it,
// and put back on the file wherever it is afterwards.
sistema::Motivo sistema::rinomina(const std::filesystem::path& da, const std::filesystem::path& a) {
  constexpr DWORD kModo = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (MoveFileExW(da.c_str(), a.c_str(), kModo)) return {};
  const DWORD codice = GetLastError();
  const DWORD attributi = GetFileAttributesW(da.c_str());
  if (codice != ERROR_ACCESS_DENIED || attributi == INVALID_FILE_ATTRIBUTES ||
      (attributi & FILE_ATTRIBUTE_READONLY) == 0) {
    return win32::motivo(codice);
  }
  SetFileAttributesW(da.c_str(), attributi & ~DWORD{FILE_ATTRIBUTE_READONLY});
  const BOOL fatto = MoveFileExW(da.c_str(), a.c_str(), kModo);
  const DWORD ancora = GetLastError();
  SetFileAttributesW((fatto ? a : da).c_str(), attributi);
  return fatto ? sistema::Motivo{} : win32::motivo(ancora);
}

// A read-only older file is deleted as on POSIX, where the permission bits
// of a file never stop it: the attribute is taken off first.
sistema::Motivo sistema::elimina(const std::filesystem::path& percorso) {
  if (DeleteFileW(percorso.c_str())) return {};
  const DWORD codice = GetLastError();
  if (codice == ERROR_FILE_NOT_FOUND) return {};
  const DWORD attributi = GetFileAttributesW(percorso.c_str());
  if (codice == ERROR_ACCESS_DENIED && attributi != INVALID_FILE_ATTRIBUTES &&
      (attributi & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(percorso.c_str(), attributi & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (DeleteFileW(percorso.c_str())) return {};
    const DWORD ancora = GetLastError();
    SetFileAttributesW(percorso.c_str(), attributi);
    return win32::motivo(ancora);
  }
  return win32::motivo(codice);
}

// Each move was written through: nothing is left to flush.
sistema::Motivo sistema::consolida_cartella(const std::filesystem::path&) { return {}; }

std::filesystem::path sistema::nome_libero(const std::filesystem::path& accanto) {
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    std::filesystem::path p = nome_casuale(accanto.parent_path(), generatore());
    if (GetFileAttributesW(p.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
      return p;
    }
  }
  fallisci(accanto, ERROR_FILE_EXISTS);
}

InsiemeFile::InsiemeFile(bool durevole) : durevole_(durevole) {}

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
    if (durevole_ && !FlushFileBuffers(h)) fallisci(finale, GetLastError());
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

}  // namespace scenario

#include <windows.h>

#include <string>

#include "base/guasto.h"
#include "platform/osservatore.h"
#include "platform/pulizia.h"

namespace scenario {

namespace {

// Set by the console's handler: it wakes the wait.
HANDLE evento_ctrl = nullptr;

BOOL WINAPI ctrl_arrivato(DWORD tipo) {
  if (tipo != CTRL_C_EVENT && tipo != CTRL_BREAK_EVENT) return FALSE;
  SetEvent(evento_ctrl);
  return TRUE;  // handled: the cleanup's handler does not end the process
}

std::string utf8(const wchar_t* w, int n) {
  const int m = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, n, s.data(), m, nullptr, nullptr);
  return s;
}

std::string motivo(DWORD e) {
  char buf[512];
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, e, 0, buf, sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.')) s.pop_back();
  return s;
}

}  // namespace

struct OsservatoreCartella::Stato {
  HANDLE cartella = INVALID_HANDLE_VALUE;
  OVERLAPPED ov{};
  alignas(DWORD) char buf[16384];
  bool in_attesa = false;
  bool interrotto = false;
};

OsservatoreCartella::OsservatoreCartella(const std::filesystem::path& dir) : s_(std::make_unique<Stato>()) {
  s_->cartella = CreateFileW(dir.c_str(), FILE_LIST_DIRECTORY,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                             nullptr);
  if (s_->cartella == INVALID_HANDLE_VALUE)
    throw GuastoPiattaforma(dir, motivo(GetLastError()), "osservare");
  s_->ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (evento_ctrl == nullptr) evento_ctrl = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  installa_pulizia();
  SetConsoleCtrlHandler(ctrl_arrivato, TRUE);
}

OsservatoreCartella::~OsservatoreCartella() {
  if (s_->in_attesa) CancelIo(s_->cartella);
  CloseHandle(s_->ov.hEvent);
  CloseHandle(s_->cartella);
}

std::optional<std::vector<Cambio>> OsservatoreCartella::attendi(int millisecondi) {
  if (s_->interrotto) return std::nullopt;
  if (!s_->in_attesa) {
    ResetEvent(s_->ov.hEvent);
    if (!ReadDirectoryChangesW(s_->cartella, s_->buf, sizeof s_->buf, FALSE,
                               FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                   FILE_NOTIFY_CHANGE_SIZE,
                               nullptr, &s_->ov, nullptr)) {
      throw GuastoPiattaforma("ReadDirectoryChangesW", motivo(GetLastError()), "osservare");
    }
    s_->in_attesa = true;
  }
  const HANDLE hh[2] = {s_->ov.hEvent, evento_ctrl};
  const DWORD r = WaitForMultipleObjects(2, hh, FALSE,
                                         millisecondi < 0 ? INFINITE : static_cast<DWORD>(millisecondi));
  if (r == WAIT_OBJECT_0 + 1) {
    s_->interrotto = true;
    return std::nullopt;
  }
  std::vector<Cambio> cc;
  if (r != WAIT_OBJECT_0) return cc;
  DWORD n = 0;
  s_->in_attesa = false;
  if (!GetOverlappedResult(s_->cartella, &s_->ov, &n, FALSE) || n == 0) return cc;
  for (size_t i = 0;;) {
    const auto* e = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(s_->buf + i);
    // Windows says nothing of a writer closing the file: every change is
    // taken as done, and the size and time settling shows the rest.
    cc.push_back({utf8(e->FileName, static_cast<int>(e->FileNameLength / sizeof(wchar_t))), true});
    if (e->NextEntryOffset == 0) break;
    i += e->NextEntryOffset;
  }
  return cc;
}

}  // namespace scenario

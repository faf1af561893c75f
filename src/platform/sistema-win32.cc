#include "platform/sistema-win32.h"

#include <windows.h>

#include <stdexcept>

namespace scenario::win32 {

namespace {

std::wstring converti(UINT pagina, DWORD opzioni, std::string_view testo) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(pagina, opzioni, testo.data(), static_cast<int>(testo.size()),
                                    nullptr, 0);
  if (n <= 0) return {};
  std::wstring r(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(pagina, opzioni, testo.data(), static_cast<int>(testo.size()), r.data(), n);
  return r;
}

}  // namespace

std::wstring largo(std::string_view testo) {
  std::wstring r = converti(CP_UTF8, MB_ERR_INVALID_CHARS, testo);
  if (r.empty() && !testo.empty()) r = converti(CP_ACP, 0, testo);
  return r;
}

std::string stretto(std::wstring_view testo) {
  if (testo.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()),
                                    nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string r(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), r.data(), n,
                      nullptr, nullptr);
  return r;
}

std::filesystem::path percorso_modulo() {
  // Wide characters throughout, so that any folder name works.
  std::wstring modulo(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(nullptr, modulo.data(), static_cast<DWORD>(modulo.size()));
    if (n == 0) {
      throw std::runtime_error("impossibile trovare la cartella del programma: " +
                               motivo(GetLastError()));
    }
    if (n < modulo.size()) {
      modulo.resize(n);
      return std::filesystem::path(modulo);
    }
    // Cut short: try again with room to spare (paths stop at 32767).
    if (modulo.size() > 65536) {
      throw std::runtime_error("impossibile trovare la cartella del programma: " +
                               motivo(ERROR_INSUFFICIENT_BUFFER));
    }
    modulo.resize(modulo.size() * 2);
  }
}

std::string motivo(uint32_t codice) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, codice, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring testo = n > 0 && buffer != nullptr ? std::wstring(buffer, n) : std::wstring();
  if (buffer != nullptr) LocalFree(buffer);
  // The system's texts end with a line break.
  while (!testo.empty() &&
         (testo.back() == L'\r' || testo.back() == L'\n' || testo.back() == L' ')) {
    testo.pop_back();
  }
  if (testo.empty()) return "errore di sistema " + std::to_string(codice);
  return stretto(testo) + " (" + std::to_string(codice) + ")";
}

}  // namespace scenario::win32

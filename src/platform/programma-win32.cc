#include <windows.h>

#include <algorithm>

#include "platform/programma.h"
#include "platform/scrittura.h"
#include "platform/sistema-win32.h"

namespace scenario {

namespace {

class LettoreFile : public LettoreIntervalli {
 public:
  explicit LettoreFile(const std::filesystem::path& percorso) : percorso_(percorso) {
    // Others may read the file meanwhile, as the loader does with a program.
    h_ = CreateFileW(percorso.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h_ == INVALID_HANDLE_VALUE) guasto(GetLastError());
    // A pipe or a device is no file to read by ranges.
    if (GetFileType(h_) != FILE_TYPE_DISK) {
      CloseHandle(h_);
      throw GuastoPiattaforma(percorso_, "non e' un file", "leggere");
    }
    LARGE_INTEGER d{};
    if (!GetFileSizeEx(h_, &d)) {
      const DWORD e = GetLastError();
      CloseHandle(h_);
      guasto(e);
    }
    dimensione_ = static_cast<uint64_t>(d.QuadPart);
  }
  ~LettoreFile() override { CloseHandle(h_); }
  LettoreFile(const LettoreFile&) = delete;
  LettoreFile& operator=(const LettoreFile&) = delete;

  uint64_t dimensione() const override { return dimensione_; }

  void leggi(uint64_t inizio, std::span<char> destinazione) override {
    size_t letti = 0;
    while (letti < destinazione.size()) {
      const uint64_t da = inizio + letti;
      OVERLAPPED posizione{};
      posizione.Offset = static_cast<DWORD>(da);
      posizione.OffsetHigh = static_cast<DWORD>(da >> 32);
      const DWORD parte =
          static_cast<DWORD>(std::min<size_t>(destinazione.size() - letti, 1u << 30));
      DWORD n = 0;
      if (!ReadFile(h_, destinazione.data() + letti, parte, &n, &posizione)) guasto(GetLastError());
      if (n == 0) throw GuastoPiattaforma(percorso_, "file piu' corto del previsto", "leggere");
      letti += n;
    }
  }

 private:
  [[noreturn]] void guasto(DWORD codice) const {
    throw GuastoPiattaforma(percorso_, win32::motivo(codice), "leggere");
  }

  std::filesystem::path percorso_;
  HANDLE h_ = INVALID_HANDLE_VALUE;
  uint64_t dimensione_ = 0;
};

}  // namespace

std::unique_ptr<LettoreIntervalli> apri_programma() {
  return std::make_unique<LettoreFile>(percorso_programma());
}

std::filesystem::path percorso_programma() { return win32::percorso_modulo(); }

std::unique_ptr<LettoreIntervalli> apri_file(const std::filesystem::path& percorso) {
  return std::make_unique<LettoreFile>(percorso);
}

}  // namespace scenario

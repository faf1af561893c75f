// Win32: the form `Form1` with its one label, shown without modality and
// painted once before the work; `errore`'s message box; the failure box.
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>

#include "platform/piattaforma.h"
#include "platform/sistema-win32.h"

namespace scenario {

namespace {

constexpr wchar_t kClasseForm[] = L"Form1";

// The form's layout, in twips (1440 to the inch).
constexpr int kTwipPollice = 1440;
constexpr int kLarghezzaInterna = 4200;
constexpr int kAltezzaInterna = 2688;
constexpr int kSinistraLabel = 960;
constexpr int kAltoLabel = 960;
constexpr int kLarghezzaLabel = 2652;
constexpr int kAltezzaLabel = 792;
constexpr int kPuntiCarattere = 24;

// Twips to pixels at the screen's resolution: 15 twips a pixel at 96 dpi.
struct Risoluzione {
  int x;
  int y;
  int orizzontale(int twip) const { return MulDiv(twip, x, kTwipPollice); }
  int verticale(int twip) const { return MulDiv(twip, y, kTwipPollice); }
};

Risoluzione risoluzione_schermo() {
  Risoluzione r{96, 96};
  if (HDC schermo = GetDC(nullptr)) {
    r.x = GetDeviceCaps(schermo, LOGPIXELSX);
    r.y = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);
  }
  return r;
}

[[noreturn]] void guasto_finestra(const char* passo) {
  const DWORD codice = GetLastError();
  throw std::runtime_error(std::string("impossibile mostrare la finestra (") + passo +
                           "): " + win32::motivo(codice));
}

class PiattaformaWin32 : public Piattaforma {
 public:
  ~PiattaformaWin32() override {
    if (form_ != nullptr) DestroyWindow(form_);
    if (carattere_ != nullptr) DeleteObject(carattere_);
  }

  std::filesystem::path cartella_programma() override {
    return win32::percorso_modulo().parent_path();
  }

  void mostra_attesa() override {
    const HINSTANCE istanza = GetModuleHandleW(nullptr);
    WNDCLASSEXW classe{};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = DefWindowProcW;  // no input is handled while the work runs
    classe.hInstance = istanza;
    classe.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    classe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    classe.lpszClassName = kClasseForm;
    if (RegisterClassExW(&classe) == 0) guasto_finestra("RegisterClassExW");

    const Risoluzione dpi = risoluzione_schermo();
    constexpr DWORD kStile = WS_OVERLAPPEDWINDOW;
    RECT esterno{0, 0, dpi.orizzontale(kLarghezzaInterna), dpi.verticale(kAltezzaInterna)};
    AdjustWindowRectEx(&esterno, kStile, FALSE, 0);
    form_ = CreateWindowExW(0, kClasseForm, L"Form1", kStile, CW_USEDEFAULT, CW_USEDEFAULT,
                            esterno.right - esterno.left, esterno.bottom - esterno.top, nullptr,
                            nullptr, istanza, nullptr);
    if (form_ == nullptr) guasto_finestra("CreateWindowExW Form1");

    // Label1.
    const HWND etichetta =
        CreateWindowExW(0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT,
                        dpi.orizzontale(kSinistraLabel), dpi.verticale(kAltoLabel),
                        dpi.orizzontale(kLarghezzaLabel), dpi.verticale(kAltezzaLabel), form_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(1)), istanza, nullptr);
    if (etichetta == nullptr) guasto_finestra("CreateWindowExW Label1");
    carattere_ = CreateFontW(-MulDiv(kPuntiCarattere, dpi.y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                             FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"MS Sans Serif");
    if (carattere_ != nullptr) {
      SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_), FALSE);
    }

    ShowWindow(form_, SW_SHOWNORMAL);
    // Painted now, once: the work that follows handles no messages.
    UpdateWindow(form_);
    trattieni_per_prova();
  }

  void messaggio_errore(const std::string& testo) override {
    // One OK button, no icon, the default title.
    MessageBoxW(form_, win32::largo(testo).c_str(), nullptr, MB_OK);
  }

  void messaggio_guasto(const std::string& testo) override {
    std::cerr << testo << std::endl;  // for a console that may be watching
    MessageBoxW(form_, win32::largo(testo).c_str(), nullptr, MB_OK | MB_ICONERROR);
  }

 private:
  // Test builds only: SCENARIO_PROVA_ATTESA_MS holds the painted window that
  // long before the work, so that a screenshot can catch it.
  static void trattieni_per_prova() {
#ifdef SCENARIO_TEST_HOOKS
    if (const char* ms = std::getenv("SCENARIO_PROVA_ATTESA_MS")) {
      Sleep(static_cast<DWORD>(std::strtoul(ms, nullptr, 10)));
    }
#endif
  }

  HWND form_ = nullptr;
  HFONT carattere_ = nullptr;
};

}  // namespace

std::unique_ptr<Piattaforma> crea_piattaforma() { return std::make_unique<PiattaformaWin32>(); }

}  // namespace scenario

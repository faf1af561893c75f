// Small Win32 helpers shared by the Windows platform layer and the Windows
// file writer. Narrow texts inside the program are UTF-8 on Windows (as
// std::filesystem::path::string() gives them); the system wants UTF-16.
#ifndef SCENARIO_PLATFORM_SISTEMA_WIN32_H_
#define SCENARIO_PLATFORM_SISTEMA_WIN32_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace scenario::win32 {

// UTF-8 to UTF-16; bytes that are not UTF-8 are taken in the ANSI code page.
std::wstring largo(std::string_view testo);
// UTF-16 to UTF-8.
std::string stretto(std::wstring_view testo);
// The running program's file (GetModuleFileNameW, wide characters, any
// length); throws std::runtime_error with the system's reason.
std::filesystem::path percorso_modulo();
// The system's own text for an error code (GetLastError), in UTF-8.
std::string motivo(uint32_t codice);

}  // namespace scenario::win32

#endif  // SCENARIO_PLATFORM_SISTEMA_WIN32_H_

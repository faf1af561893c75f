// Byte-text helpers: the source texts are Windows-1252 bytes.
#ifndef SCENARIO_BASE_TESTO_H_
#define SCENARIO_BASE_TESTO_H_

#include <string>
#include <string_view>

namespace scenario {

// Folds A-Z and the Windows-1252 capitals to their small letters.
char minuscola(char c);
std::string in_minuscolo(std::string_view s);

// Substring tests, from the field's first character.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_senza_maiuscole(std::string_view campo, std::string_view parola);

// The text without the blanks (spaces and tabs) at its ends.
std::string_view senza_spazi(std::string_view s);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the
// same value, so no byte is ever lost.
std::string utf8_da_1252(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_BASE_TESTO_H_

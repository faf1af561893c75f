// Byte-text helpers: the source texts are Windows-1252 bytes.
#ifndef SCENARIO_MODEL_TESTO_H_
#define SCENARIO_MODEL_TESTO_H_

#include <string>
#include <string_view>

namespace scenario {

// Folds A-Z and the Windows-1252 capitals to their small letters.
char minuscola(char c);
std::string in_minuscolo(std::string_view s);

// Substring tests, from the field's first character.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_senza_maiuscole(std::string_view campo, std::string_view parola);

}  // namespace scenario

#endif  // SCENARIO_MODEL_TESTO_H_

// Byte-text helpers: the source texts are Windows-1252 bytes.
#ifndef SCENARIO_BASE_TESTO_H_
#define SCENARIO_BASE_TESTO_H_

#include <cstddef>
#include <optional>
#include <span>
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

// "1 errore", "2 errori": a count and the word that agrees with it.
std::string quanti(size_t n, std::string_view singolare, std::string_view plurale);

// The edit distance of two texts (insertions, deletions, substitutions of
// one byte) when it is below `limite`, else `limite`.
size_t distanza_entro(std::string_view a, std::string_view b, size_t limite);

// The word of `parole` nearest to `testo`, at an edit distance below
// `limite`; the first of two as near. What a mistyped word probably meant.
std::optional<std::string_view> parola_vicina(std::string_view testo,
                                              std::span<const std::string_view> parole,
                                              size_t limite);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the
// same value, so no byte is ever lost.
std::string utf8_da_1252(std::string_view bytes);

// The way back, for a text an editor holds as UTF-8: one byte per
// character, '?' for one the code page has no byte for (the text is taken
// to be valid UTF-8).
std::string in_1252(std::string_view utf8);

// One character's UTF-8 appended to `out`.
void metti_utf8(char32_t c, std::string* out);

}  // namespace scenario

#endif  // SCENARIO_BASE_TESTO_H_

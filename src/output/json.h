// A small JSON writer: every command that prints JSON goes through it, so
// escaping, text encoding and number forms are decided once.
#ifndef SCENARIO_OUTPUT_JSON_H_
#define SCENARIO_OUTPUT_JSON_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the
// same value, so no byte is ever lost.
std::string utf8_da_1252(std::string_view bytes);

// Writes one JSON document into a string. Commas between members and
// elements are the writer's business; the caller only opens and closes.
// A key must come before every value inside an object.
class ScrittoreJson {
 public:
  explicit ScrittoreJson(std::string* uscita) : uscita_(uscita) {}

  ScrittoreJson& inizia_oggetto();
  ScrittoreJson& fine_oggetto();
  ScrittoreJson& inizia_lista();
  ScrittoreJson& fine_lista();
  ScrittoreJson& chiave(std::string_view k);

  ScrittoreJson& testo(std::string_view utf8);
  ScrittoreJson& testo_1252(std::string_view bytes);
  ScrittoreJson& intero(int64_t v);
  // The shortest form that reads back as the same double, always with a
  // '.' or an exponent so that it stays a real for the reader. JSON has no
  // non-finite numbers: those are the strings "nan", "inf" and "-inf".
  ScrittoreJson& reale(double v);
  ScrittoreJson& nullo();
  ScrittoreJson& booleano(bool v);

 private:
  void prima_del_valore();
  void stringa(std::string_view utf8);

  std::string* uscita_;
  // One entry per open object or list: whether it holds a member yet.
  std::vector<bool> pieno_;
  bool dopo_chiave_ = false;
};

}  // namespace scenario

#endif  // SCENARIO_OUTPUT_JSON_H_

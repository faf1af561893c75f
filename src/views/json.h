// A small JSON writer: every command that prints JSON goes through it, so
// escaping, text encoding and number forms are decided once.
#ifndef SCENARIO_VIEWS_JSON_H_
#define SCENARIO_VIEWS_JSON_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

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

#endif  // SCENARIO_VIEWS_JSON_H_

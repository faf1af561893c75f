// The JSON reader beside the writer: one document in, one tree of values
// out. It takes what RFC 8259 allows and nothing else (no NaN, no comments,
// no trailing commas), as strictly as Python's json module with its
// constants refused does.
#ifndef SCENARIO_VIEWS_JSON_LETTURA_H_
#define SCENARIO_VIEWS_JSON_LETTURA_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scenario {

class ValoreJson {
 public:
  enum class Tipo : uint8_t { nullo, booleano, numero, testo, lista, oggetto };

  ValoreJson() = default;
  static ValoreJson di_booleano(bool b);
  // `letterale` is the number as written; `v` its nearest double.
  static ValoreJson di_numero(std::string letterale, double v);
  static ValoreJson di_testo(std::string utf8);
  static ValoreJson di_lista(std::vector<ValoreJson> elementi);
  static ValoreJson di_oggetto(std::vector<std::pair<std::string, ValoreJson>> membri);

  Tipo tipo() const { return tipo_; }
  bool nullo() const { return tipo_ == Tipo::nullo; }
  bool booleano() const { return booleano_; }
  double numero() const { return numero_; }
  // A number written without fraction or exponent that fits 64 bits.
  std::optional<int64_t> intero() const;
  // Whether the number was written without fraction or exponent.
  bool scritto_intero() const;
  // A string's UTF-8 (a lone surrogate escape kept as its three-byte form),
  // or a number as written.
  const std::string& testo() const { return testo_; }
  const std::vector<ValoreJson>& elementi() const { return elementi_; }
  // In the order written, a repeated key as many times as written.
  const std::vector<std::pair<std::string, ValoreJson>>& membri() const { return membri_; }
  // The member of that name (the last one written, as JSON readers take
  // it); null when there is none or this is not an object.
  const ValoreJson* membro(std::string_view chiave) const;
  // The member's text or number, when it is one.
  std::optional<std::string_view> testo_di(std::string_view chiave) const;
  std::optional<int64_t> intero_di(std::string_view chiave) const;

 private:
  Tipo tipo_ = Tipo::nullo;
  bool booleano_ = false;
  double numero_ = 0;
  std::string testo_;
  std::vector<ValoreJson> elementi_;
  std::vector<std::pair<std::string, ValoreJson>> membri_;
};

class ErroreJson : public std::runtime_error {
 public:
  ErroreJson(const std::string& motivo, size_t offset)
      : std::runtime_error(motivo), offset_(offset) {}
  size_t offset() const { return offset_; }  // the byte where reading stopped

 private:
  size_t offset_;
};

// Arrays and objects nest at most this deep: a deeper document is refused
// rather than read on a stack that runs out.
inline constexpr size_t kProfonditaJson = 512;

// Reads one document: blanks around it allowed, anything else after it not.
// The text must be UTF-8. Throws ErroreJson.
ValoreJson leggi_json(std::string_view testo);

}  // namespace scenario

#endif  // SCENARIO_VIEWS_JSON_LETTURA_H_

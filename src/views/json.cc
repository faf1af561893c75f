#include "views/json.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "base/testo.h"

namespace scenario {

void ScrittoreJson::prima_del_valore() {
  if (dopo_chiave_) {
    dopo_chiave_ = false;
    return;
  }
  if (!pieno_.empty()) {
    if (pieno_.back()) uscita_->push_back(',');
    pieno_.back() = true;
  }
}

ScrittoreJson& ScrittoreJson::inizia_oggetto() {
  prima_del_valore();
  uscita_->push_back('{');
  pieno_.push_back(false);
  return *this;
}

ScrittoreJson& ScrittoreJson::fine_oggetto() {
  pieno_.pop_back();
  uscita_->push_back('}');
  return *this;
}

ScrittoreJson& ScrittoreJson::inizia_lista() {
  prima_del_valore();
  uscita_->push_back('[');
  pieno_.push_back(false);
  return *this;
}

ScrittoreJson& ScrittoreJson::fine_lista() {
  pieno_.pop_back();
  uscita_->push_back(']');
  return *this;
}

ScrittoreJson& ScrittoreJson::chiave(std::string_view k) {
  prima_del_valore();
  stringa(k);
  uscita_->push_back(':');
  dopo_chiave_ = true;
  return *this;
}

void ScrittoreJson::stringa(std::string_view utf8) {
  static constexpr char kEsadecimali[] = "0123456789abcdef";
  uscita_->push_back('"');
  for (const char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': *uscita_ += "\\\""; break;
      case '\\': *uscita_ += "\\\\"; break;
      case '\n': *uscita_ += "\\n"; break;
      case '\r': *uscita_ += "\\r"; break;
      case '\t': *uscita_ += "\\t"; break;
      default:
        if (b < 0x20 || b == 0x7F) {
          *uscita_ += "\\u00";
          uscita_->push_back(kEsadecimali[b >> 4]);
          uscita_->push_back(kEsadecimali[b & 0xF]);
        } else {
          uscita_->push_back(ch);
        }
    }
  }
  uscita_->push_back('"');
}

ScrittoreJson& ScrittoreJson::testo(std::string_view utf8) {
  prima_del_valore();
  stringa(utf8);
  return *this;
}

ScrittoreJson& ScrittoreJson::testo_1252(std::string_view bytes) {
  return testo(utf8_da_1252(bytes));
}

ScrittoreJson& ScrittoreJson::intero(int64_t v) {
  prima_del_valore();
  *uscita_ += std::to_string(v);
  return *this;
}

ScrittoreJson& ScrittoreJson::reale(double v) {
  if (std::isnan(v)) return testo("nan");
  if (std::isinf(v)) return testo(v > 0 ? "inf" : "-inf");
  prima_del_valore();
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  const std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  *uscita_ += s;
  if (s.find_first_of(".eE") == std::string_view::npos) *uscita_ += ".0";
  return *this;
}

ScrittoreJson& ScrittoreJson::nullo() {
  prima_del_valore();
  *uscita_ += "null";
  return *this;
}

ScrittoreJson& ScrittoreJson::booleano(bool v) {
  prima_del_valore();
  *uscita_ += v ? "true" : "false";
  return *this;
}

}  // namespace scenario

#include "output/json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace scenario {

namespace {

// 0x80..0x9F of Windows-1252; 0 where the code page defines nothing.
constexpr std::array<char16_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void metti_utf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string utf8_da_1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b >= 0x80 && b < 0xA0 && kAlti[b - 0x80] != 0) c = kAlti[b - 0x80];
    metti_utf8(c, &out);
  }
  return out;
}

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

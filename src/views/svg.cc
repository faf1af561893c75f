#include "views/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace scenario::disegno {

void metti_numero(double v, std::string* out) {
  char buf[32];
  v = std::isfinite(v) ? std::clamp(v, -1e9, 1e9) : 0;
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  if (s.size() >= 2 && s.substr(s.size() - 2) == ".0") s.remove_suffix(2);
  if (s == "-0") s = "0";
  out->append(s);
}

void metti_xml(std::string_view utf8, std::string* out) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    switch (b) {
      case '&': out->append("&amp;"); break;
      case '<': out->append("&lt;"); break;
      case '>': out->append("&gt;"); break;
      case '"': out->append("&quot;"); break;
      case '\n': out->push_back('\n'); break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out->push_back('?');
        } else if (b == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
          out->push_back('?');  // a C1 control, U+0080..U+009F
          ++i;
        } else {
          out->push_back(static_cast<char>(b));
        }
    }
  }
}

Svg& Svg::etichetta(double x, double y, std::string_view utf8, double corpo,
                    std::string_view ancora, std::string_view altro) {
  t("<text x=\"").n(x).t("\" y=\"").n(y).t("\" font-size=\"").n(corpo).t("\"");
  if (ancora != "start") t(" text-anchor=\"").t(ancora).t("\"");
  if (!altro.empty()) t(" ").t(altro);
  return t(">").x(utf8).t("</text>\n");
}

}  // namespace scenario::disegno

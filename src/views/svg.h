// The SVG writer of the picture: numbers in one short form, text escaped
// for XML, labels and titles.
#ifndef SCENARIO_VIEWS_SVG_H_
#define SCENARIO_VIEWS_SVG_H_

#include <string>
#include <string_view>

namespace scenario::disegno {

// A coordinate with one decimal, without a trailing ".0". Whatever a file
// holds, a coordinate stays a plain number of a few digits.
void metti_numero(double v, std::string* out);

// UTF-8 text for XML content or attributes: the markup characters as
// entities, control characters (which XML 1.0 refuses or discourages) as
// '?'.
void metti_xml(std::string_view utf8, std::string* out);

// The SVG being written.
class Svg {
 public:
  Svg& t(std::string_view s) {
    s_.append(s);
    return *this;
  }
  Svg& n(double v) {
    metti_numero(v, &s_);
    return *this;
  }
  Svg& x(std::string_view utf8) {
    metti_xml(utf8, &s_);
    return *this;
  }
  // <title>...</title>
  Svg& titolo(std::string_view utf8) { return t("<title>").x(utf8).t("</title>"); }
  // A label: anchored at (x, y), with a white halo so that it stays
  // readable over lines.
  Svg& etichetta(double x, double y, std::string_view utf8, double corpo,
                 std::string_view ancora = "start", std::string_view altro = {});
  // Room for n more bytes taken at once: a long drawing is then written in
  // place instead of copied each time it outgrows its buffer.
  void riserva(size_t n) { s_.reserve(s_.size() + n); }
  // `s` before everything written so far.
  Svg& prima(std::string_view s) {
    s_.insert(0, s);
    return *this;
  }
  std::string prendi() { return std::move(s_); }

 private:
  std::string s_;
};

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_SVG_H_

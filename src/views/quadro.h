// The picture's frame, shared by its parts: the drawing's size, where the
// bands run along the chainage, and how chainages, times and cells read in
// its labels and titles.
#ifndef SCENARIO_VIEWS_QUADRO_H_
#define SCENARIO_VIEWS_QUADRO_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace scenario::disegno {

// The drawing's frame, in SVG user units (pixels at 100 %).
constexpr double kLarghezza = 1800;
constexpr double kSinistra = 150;  // band names left of this
constexpr double kDestra = 1752;   // scale numbers right of this
constexpr double kCorpo = 11;      // text size of labels

std::string intero(int64_t v);

// "12 345 m", with a thin space between thousands: long chainages read
// easier.
std::string metri(int64_t m);

// hh:mm:ss; a negative time as its seconds.
std::string orario(int32_t secondi);

// "cella i (chainage)".
std::string dove(size_t cella);

// A step of 1, 2 or 5 times a power of ten, in kilometres, such that
// `per_km` pixels a kilometre give at least `minimo` pixels a step.
int64_t passo_km(double per_km, double minimo);

}  // namespace scenario::disegno

#endif  // SCENARIO_VIEWS_QUADRO_H_

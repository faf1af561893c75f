// A failure inside the parser that is not one of its coded checks: a field
// that cannot be read, a value that does not fit its place, a cell or entry
// outside its table. It is caught once, where the error tail records 25.
#ifndef SCENARIO_COMPILER_GUASTO_H_
#define SCENARIO_COMPILER_GUASTO_H_

#include <stdexcept>
#include <string>

namespace scenario {

// Where in a source file something was read: 1-based line and column.
struct Luogo {
  std::string file;
  int riga = 0;
  int colonna = 0;
  bool operator==(const Luogo&) const = default;
};

class Guasto : public std::runtime_error {
 public:
  Guasto(const std::string& motivo, Luogo luogo = {})
      : std::runtime_error(motivo), luogo_(std::move(luogo)) {}
  const Luogo& luogo() const { return luogo_; }

 private:
  Luogo luogo_;
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_GUASTO_H_

// The two sources back from the three compiled files: each record the
// compiler's rules would turn into the cells, entries and plan points found,
// written as an author writes it; then the sources compiled in memory and
// their files compared with the ones read, byte for byte.
#ifndef SCENARIO_DECOMPILE_DECOMPILA_H_
#define SCENARIO_DECOMPILE_DECOMPILA_H_

#include <optional>
#include <string>
#include <vector>

#include "base/intervalli.h"
#include "model/identita.h"

namespace scenario {

// The three files: the header and cell files' bytes, and the plan read a
// piece at a time where it lies (it is the largest by far); no plan when the
// scenario was compiled without one.
struct FileCompilati {
  LettoreIntervalli* planimetria = nullptr;
  std::string testata;
  std::string celle;
};

// The three files' bytes, all held in memory.
struct BytesCompilati {
  std::optional<std::string> planimetria;
  std::string testata;
  std::string celle;
};

struct Decompilazione {
  std::string linea;  // LINEA_linea.txt
  std::string treno;  // LINEA_TRENO-.txt
  // What no record can give, or what the sources' compile gives otherwise:
  // each names its cell, entry, plan point or file, and says why.
  std::vector<std::string> problemi;
  // The sources compiled to the same files, byte for byte.
  bool riuscita() const { return problemi.empty(); }
};

// The sources of `id` whose compile writes `f`. Never throws for what the
// files hold: a file that does not read, or holds what no fault-free compile
// writes, is a problem of the result. What the plan's reader throws when it
// cannot read (GuastoPiattaforma) is passed on.
Decompilazione decompila(const Identita& id, const FileCompilati& f);
Decompilazione decompila(const Identita& id, const BytesCompilati& b);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILA_H_

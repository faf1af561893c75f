// Writing a finished file: the bytes go to a fresh temporary file beside the
// final one, which then replaces the final name in one step. No partial file
// is ever left under a final name, and a failed write leaves the old file.
#ifndef SCENARIO_APP_SCRITTURA_H_
#define SCENARIO_APP_SCRITTURA_H_

#include <filesystem>
#include <string_view>

#include "compiler/guasto.h"

namespace scenario {

// Replaces `percorso` with `bytes`; throws GuastoPiattaforma. An
// `eseguibile` file gets the run bit on POSIX (a packed installer).
void scrivi_file(const std::filesystem::path& percorso, std::string_view bytes,
                 bool eseguibile = false);

}  // namespace scenario

#endif  // SCENARIO_APP_SCRITTURA_H_

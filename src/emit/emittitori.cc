#include "emit/emittitori.h"

namespace scenario {

// The carried texts are not stored yet.
std::span<const Emittitore> emittitori() { return {}; }

}  // namespace scenario

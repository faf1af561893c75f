// Inside the removal on interruption: the names held, and the platform's
// own removal of one name. Both are safe inside a signal handler.
#ifndef SCENARIO_PLATFORM_PULIZIA_REGISTRO_H_
#define SCENARIO_PLATFORM_PULIZIA_REGISTRO_H_

#include <filesystem>

namespace scenario::registro {

// Removes every name held now.
void rimuovi_tutti();
// Removes one name (unlink, DeleteFileW); failures are ignored.
void rimuovi(const std::filesystem::path::value_type* nome);

}  // namespace scenario::registro

#endif  // SCENARIO_PLATFORM_PULIZIA_REGISTRO_H_

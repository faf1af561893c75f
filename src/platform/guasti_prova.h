// Test builds only (SCENARIO_TEST_HOOKS): the system calls of a run that a
// test may have fail, one at a time, so that every failure point of a run
// is tried on the real program without a tracer. In any other build the
// hook is nothing at all.
//
//   SCENARIO_PROVA_GUASTO=N:E,...  the N-th counted call (from 1) fails with
//                                  errno E, and so on; reads, deletions,
//                                  renames and flushes count, an exchange of
//                                  two names counting as a rename
//   SCENARIO_PROVA_SENZA_SCAMBIO=1 every exchange of two names is refused as
//                                  by a file system that has none (EINVAL),
//                                  uncounted
//   SCENARIO_PROVA_TRACCIA=FILE    "N KIND PATH" appended for every counted
//                                  call
#ifndef SCENARIO_PLATFORM_GUASTI_PROVA_H_
#define SCENARIO_PLATFORM_GUASTI_PROVA_H_

#include <filesystem>

namespace scenario {

enum class Chiamata { lettura, eliminazione, rinomina, scambio, flush };

#ifdef SCENARIO_TEST_HOOKS
// 0, or the errno this call is to fail with.
int guasto_di_prova(Chiamata chiamata, const std::filesystem::path& percorso);
#else
inline int guasto_di_prova(Chiamata, const std::filesystem::path&) { return 0; }
#endif

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_GUASTI_PROVA_H_

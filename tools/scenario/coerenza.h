// Whether compiled files read together belong to one compile: the header
// gives the line's length and the identity, the other two must agree.
#ifndef SCENARIO_TOOLS_SCENARIO_COERENZA_H_
#define SCENARIO_TOOLS_SCENARIO_COERENZA_H_

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace scenario {

// What keeps a cell file from going with the header file, in a few words
// ("ha 200 celle, ..."); none when they go together: as many cells as the
// header's line has, and the identity code of cell 1 the header's.
std::optional<std::string> celle_discordi(const Testata& t, const std::vector<Cella>& celle);

// The same for a line plan of `punti` points.
std::optional<std::string> piano_discorde(const Testata& t, size_t punti);

// Throws ErroreComando (exit 1) when `motivo` holds one: one line naming
// both files, `altro` first ("scenario: B non va con A: MOTIVO").
void richiedi_accordo(const std::filesystem::path& testata, const std::filesystem::path& altro,
                      const std::optional<std::string>& motivo);

// The sources of the scenario the header names, `prefisso` + their names
// ("DIR/" or nothing), that were changed after the oldest of `compilati`:
// compiled files that no longer show them.
std::vector<std::filesystem::path> sorgenti_piu_recenti(
    const std::string& prefisso, const Testata& t,
    const std::vector<std::filesystem::path>& compilati);

// Says on standard error, one line each after `davanti` (the command's
// prefix), which sources are newer than the compiled files
// ("scenario plot: attenzione: ...").
void avvisa_sorgenti_piu_recenti(std::string_view davanti, const std::string& prefisso,
                                 const Testata& t,
                                 const std::vector<std::filesystem::path>& compilati);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_COERENZA_H_

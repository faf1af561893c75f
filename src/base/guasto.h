// Failures. Inside the parser, a Guasto is one that is not a coded check: a
// field that cannot be read, a value that does not fit its place, a cell or
// entry outside its table; it is caught once, where the error tail records
// 25. A GuastoPiattaforma is the system refusing a file operation.
#ifndef SCENARIO_BASE_GUASTO_H_
#define SCENARIO_BASE_GUASTO_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

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
  // What the failure is about, for whoever reports it: a value of the
  // record being read, or a source file that is not there.
  enum class Oggetto : uint8_t { dato, sorgente_mancante };

  // `campo` is the index, among the fields the record reads, of the one
  // whose value failed, when the place raising it knows.
  Guasto(const std::string& motivo, Luogo luogo = {}, std::optional<int> campo = std::nullopt,
         Oggetto oggetto = Oggetto::dato)
      : std::runtime_error(motivo), luogo_(std::move(luogo)), campo_(campo), oggetto_(oggetto) {}
  const Luogo& luogo() const { return luogo_; }
  std::optional<int> campo() const { return campo_; }
  Oggetto oggetto() const { return oggetto_; }

 private:
  Luogo luogo_;
  std::optional<int> campo_;
  Oggetto oggetto_;
};

// A failure of the system on a file, in the program's words: "impossibile
// scrivere PERCORSO: MOTIVO", the reason as the system gives it. `azione`
// is the verb for other operations ("leggere", "eliminare").
class GuastoPiattaforma : public std::runtime_error {
 public:
  GuastoPiattaforma(const std::filesystem::path& file, const std::string& motivo,
                    std::string_view azione = "scrivere")
      : std::runtime_error("impossibile " + std::string(azione) + " " + file.string() + ": " +
                           motivo),
        file_(file) {}
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_GUASTO_H_

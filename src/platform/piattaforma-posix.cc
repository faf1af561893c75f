// POSIX: the waiting window is a console line, the message box is its text
// on standard error, waiting for Enter only when someone is at a terminal.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/piattaforma.h"

namespace scenario {

namespace {

class PiattaformaPosix : public Piattaforma {
 public:
  std::filesystem::path cartella_programma() override {
    std::error_code ec;
    auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
      throw std::runtime_error("impossibile trovare la cartella del programma: " + ec.message());
    }
    return eseguibile.parent_path();
  }

  void mostra_attesa() override { std::cout << "Attendere" << std::endl; }

  void messaggio_errore(const std::string& testo) override {
    std::cerr << testo << std::endl;
    if (isatty(STDIN_FILENO)) {
      std::string riga;
      std::getline(std::cin, riga);
    }
  }

  void messaggio_guasto(const std::string& testo) override { std::cerr << testo << std::endl; }
};

}  // namespace

std::unique_ptr<Piattaforma> crea_piattaforma() { return std::make_unique<PiattaformaPosix>(); }

}  // namespace scenario

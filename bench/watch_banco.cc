// `scenario watch` on the carried scenario: from a save of the line file to
// the end of the round it starts (the diagnostics printed, the three files
// compiled, the picture redrawn). The real program, watching a real folder;
// the target is 200 ms.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cartella.h"
#include "tests/support/esegui.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr char kFineGiro[] = "== fine\n";

// The tool running `argomenti`, its standard output on a pipe.
struct Figlio {
  pid_t pid = -1;
  int uscita = -1;
  std::string letto;

  explicit Figlio(std::vector<std::string> argomenti) {
    int tubo[2];
    if (pipe(tubo) != 0) return;
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_adddup2(&azioni, tubo[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&azioni, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&azioni, tubo[0]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(SCENARIO_TOOL_PATH));
    for (std::string& a : argomenti) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid, SCENARIO_TOOL_PATH, &azioni, nullptr, argv.data(), environ) != 0) {
      pid = -1;
    }
    posix_spawn_file_actions_destroy(&azioni);
    close(tubo[1]);
    uscita = tubo[0];
  }

  ~Figlio() {
    if (pid > 0) {
      kill(pid, SIGINT);
      int stato = 0;
      waitpid(pid, &stato, 0);
    }
    if (uscita >= 0) close(uscita);
  }

  // Reads until `n` more rounds have ended; false on the end of the output
  // or after 10 s without one.
  bool attendi_giri(size_t n) {
    size_t visti = 0;
    while (visti < n) {
      if (const size_t p = letto.find(kFineGiro); p != std::string::npos) {
        letto.erase(0, p + sizeof kFineGiro - 1);
        ++visti;
        continue;
      }
      pollfd pf{uscita, POLLIN, 0};
      if (poll(&pf, 1, 10000) <= 0) return false;
      char buf[65536];
      const ssize_t r = read(uscita, buf, sizeof buf);
      if (r <= 0) return false;
      letto.append(buf, static_cast<size_t>(r));
    }
    return true;
  }
};

void BM_WatchDopoUnSalvataggio(benchmark::State& state) {
  const scenario::test::CartellaProva dir;
  scenario::test::esegui(scenario::test::avvio(SCENARIO_TOOL_PATH, "emit"), dir.percorso());
  const fs::path linea = dir / "Lanvero_Ostrel_linea.txt";
  const std::string testo = scenario::test::leggi(linea);
  if (testo.empty()) {
    state.SkipWithError("emit non ha scritto il file della linea");
    return;
  }
  // Declared after the folder, so ended before the folder is removed.
  Figlio watch({"watch", "Lanvero_Ostrel", "24817", "--dir", dir.percorso().string()});
  // The first round runs at the start.
  if (watch.pid <= 0 || !watch.attendi_giri(1)) {
    state.SkipWithError("watch non e' partito");
    return;
  }
  for (auto _ : state) {
    const auto inizio = std::chrono::steady_clock::now();
    scenario::test::scrivi(linea, testo);
    if (!watch.attendi_giri(1)) {
      state.SkipWithError("nessun giro dopo il salvataggio");
      break;
    }
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count());
  }
}
BENCHMARK(BM_WatchDopoUnSalvataggio)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();

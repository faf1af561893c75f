// Benchmarks of the compile and of the writes, for the carried scenario and
// the two generated ones (the short one, of the carried line's length, and
// the maximal one), each beside its floor: the same bytes written with one
// plain write per file into the same folder.
//
// Every benchmark that writes starts each iteration from a folder without
// the files it writes (emptied while the clock is stopped), as the installer
// finds its folder on a first run. Freed memory stays with the process, so
// iterations run on warm memory: these numbers are the code's. What a real
// run adds, the first touch of fresh pages, is in the whole-run measure of
// bench/installer_vs_floor.sh.
#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "installer/avvio.h"
#include "compiler/compila.h"
#include "check/controllo.h"
#include "emit/emittitori.h"
#include "generatore/generatore.h"
#include "format/scrittori.h"
#include "pavimento.h"
#include "tests/support/cartella.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

using Cartella = test::CartellaProva;

// One scenario as the installer gets it: its identity and its five texts.
struct Caso {
  Identita id;
  std::span<const Emittitore> testi;
  std::string linea;  // the two sources among the texts
  std::string treno;
};

std::optional<Caso> caso_da(const Identita& id, std::span<const Emittitore> testi) {
  Caso c{id, testi, {}, {}};
  bool linea = false;
  bool treno = false;
  for (const Emittitore& e : testi) {
    const std::string nome = e.nome_file(id);
    if (nome == nome_sorgente_linea(id)) {
      c.linea = e.contenuto();
      linea = true;
    } else if (nome == nome_sorgente_treno(id)) {
      c.treno = e.contenuto();
      treno = true;
    }
  }
  if (!linea || !treno) return std::nullopt;
  return c;
}

// The carried scenario: absent while its texts are not in the program.
const Caso* caso_portato() {
  static const std::optional<Caso> c = caso_da(identita_portata(), emittitori());
  return c ? &*c : nullptr;
}

// The texts of a generated scenario as emitters, in the installer's order.
template <const ScenarioGenerato& (*G)()>
std::span<const Emittitore> testi_generati() {
  static const Emittitore t[] = {
      {"dati_linea", nome_sorgente_linea, [] { return G().linea; }},
      {"dati_treno", nome_sorgente_treno, [] { return G().treno; }},
      {"dati_note", [](const Identita& id) { return nome_documento(id, "note.txt"); },
       [] { return G().note; }},
      {"dati_rallentamenti",
       [](const Identita& id) { return nome_documento(id, "rallentamenti.txt"); },
       [] { return G().rallentamenti; }},
      {"dati_scheda", [](const Identita& id) { return nome_documento(id, "scheda_treno.txt"); },
       [] { return G().scheda; }},
  };
  return t;
}

const ScenarioGenerato& breve() {
  static const ScenarioGenerato s = genera_scenario_breve();
  return s;
}
const ScenarioGenerato& massimo() {
  static const ScenarioGenerato s = genera_scenario_massimo();
  return s;
}
const Caso* caso_breve() {
  static const std::optional<Caso> c = caso_da(breve().id, testi_generati<breve>());
  return &*c;
}
const Caso* caso_massimo() {
  static const std::optional<Caso> c = caso_da(massimo().id, testi_generati<massimo>());
  return &*c;
}

using Fonte = const Caso* (*)();

const Caso* caso_o_salta(benchmark::State& state, Fonte fonte) {
  const Caso* c = fonte();
  if (c == nullptr)
    state.SkipWithError("the carried texts are not there yet (emittitori() is empty)");
  return c;
}

Compilazione compila(const Caso& s) {
  return std::move(test::compila_in_memoria(s.linea, s.treno, {.id = s.id}).c);
}

using File = std::vector<std::pair<std::string, std::string>>;

// The three binary files' names and bytes, in the order they are written.
File binari(const Caso& s, Compilazione&& c) {
  File f;
  if (c.modello.planimetria) {
    f.emplace_back(nome_planimetria(s.id), bytes_planimetria(*c.modello.planimetria));
  }
  f.emplace_back(nome_testata(s.id), bytes_testata(c.modello.testata));
  f.emplace_back(nome_celle(s.id), bytes_celle(*c.modello.celle));
  return f;
}

size_t totale(const File& f) {
  size_t n = 0;
  for (const auto& [nome, bytes] : f) n += bytes.size();
  return n;
}

void scrivi_tutti(const Cartella& dir, const File& f) {
  for (const auto& [nome, bytes] : f) scrivi_pavimento(dir.percorso() / nome, bytes);
}

// Parse, walk, stamps and the three files' bytes in memory.
void BM_Compila(benchmark::State& state, Fonte fonte) {
  const Caso* s = caso_o_salta(state, fonte);
  if (s == nullptr) return;
  size_t bytes = 0;
  for (auto _ : state) {
    const File f = binari(*s, compila(*s));
    bytes = totale(f);
    benchmark::DoNotOptimize(f.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["output_bytes"] = static_cast<double>(bytes);
}

// The same, and the three files written as the installer writes them.
void BM_CompilaScrivi(benchmark::State& state, Fonte fonte) {
  const Caso* s = caso_o_salta(state, fonte);
  if (s == nullptr) return;
  Cartella dir;
  for (auto _ : state) {
    scrivi_binari(dir.percorso(), s->id, compila(*s));
    state.PauseTiming();
    dir.svuota();
    state.ResumeTiming();
  }
}

// The floor of BM_CompilaScrivi: the same bytes, one plain write per file.
void BM_PavimentoBinari(benchmark::State& state, Fonte fonte) {
  const Caso* s = caso_o_salta(state, fonte);
  if (s == nullptr) return;
  const File f = binari(*s, compila(*s));
  Cartella dir;
  for (auto _ : state) {
    scrivi_tutti(dir, f);
    state.PauseTiming();
    dir.svuota();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totale(f)));
}

// A platform that names a folder and shows nothing.
class PiattaformaMuta : public Piattaforma {
 public:
  explicit PiattaformaMuta(fs::path cartella) : cartella_(std::move(cartella)) {}
  fs::path cartella_programma() override { return cartella_; }
  void mostra_attesa() override {}
  void messaggio_errore(const std::string&) override {}
  void messaggio_guasto(const std::string& testo) override { guasto = testo; }
  std::string guasto;

 private:
  fs::path cartella_;
};

// The installer's whole run but the process: the five texts written, the
// sources compiled from the folder and deleted, the binary files written.
void BM_Installa(benchmark::State& state, Fonte fonte) {
  const Caso* s = caso_o_salta(state, fonte);
  if (s == nullptr) return;
  Cartella dir;
  PiattaformaMuta piattaforma(dir.percorso());
  for (auto _ : state) {
    const int esito = avvio(piattaforma, s->id, s->testi);
    if (esito != uscita_ok) {
      state.SkipWithError(
          ("the run ended with status " + std::to_string(esito) + " " + piattaforma.guasto)
              .c_str());
      return;
    }
    state.PauseTiming();
    dir.svuota();
    state.ResumeTiming();
  }
}

// The floor of BM_Installa: the files the run leaves, one plain write each.
void BM_PavimentoInstalla(benchmark::State& state, Fonte fonte) {
  const Caso* s = caso_o_salta(state, fonte);
  if (s == nullptr) return;
  Cartella dir;
  PiattaformaMuta piattaforma(dir.percorso());
  if (avvio(piattaforma, s->id, s->testi) != uscita_ok) {
    state.SkipWithError("the run failed");
    return;
  }
  File f;
  for (const auto& e : fs::directory_iterator(dir.percorso())) {
    std::ifstream in(e.path(), std::ios::binary);
    f.emplace_back(e.path().filename().string(),
                   std::string(std::istreambuf_iterator<char>(in), {}));
  }
  dir.svuota();
  for (auto _ : state) {
    scrivi_tutti(dir, f);
    state.PauseTiming();
    dir.svuota();
    state.ResumeTiming();
  }
  state.counters["files"] = static_cast<double>(f.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * totale(f)));
}

// The check of the sources, beside the compile it reads them as: the
// counter `rispetto_alla_compilazione` is the check's time over the
// compile's (parse, walk, stamps and the plan's points), each measured in
// every iteration. The target for the maximal scenario: at most 2.
void BM_Controlla(benchmark::State& state, Fonte fonte) {
  const Caso* s = caso_o_salta(state, fonte);
  if (s == nullptr) return;
  ArchivioMemoria archivio;
  archivio.metti(nome_sorgente_linea(s->id), s->linea);
  archivio.metti(nome_sorgente_treno(s->id), s->treno);
  using Orologio = std::chrono::steady_clock;
  Orologio::duration controllo{}, compilazione{};
  size_t diagnostiche = 0;
  for (auto _ : state) {
    const auto t0 = Orologio::now();
    const std::vector<Diagnostica> dd = controlla(archivio, s->id);
    controllo += Orologio::now() - t0;
    diagnostiche = dd.size();
    benchmark::DoNotOptimize(dd.data());
    state.PauseTiming();
    // The compile with its plan's points: they are made as the plan file is
    // written, so they are made here as the writer would be given them.
    const auto t1 = Orologio::now();
    const Compilazione c = compila(*s);
    if (c.modello.planimetria) {
      scrivi_planimetria(*c.modello.planimetria,
                         [](size_t, std::string_view b) { benchmark::DoNotOptimize(b.data()); });
    }
    compilazione += Orologio::now() - t1;
    state.ResumeTiming();
  }
  state.counters["rispetto_alla_compilazione"] =
      std::chrono::duration<double>(controllo) / std::chrono::duration<double>(compilazione);
  state.counters["diagnostiche"] = static_cast<double>(diagnostiche);
}

// The parts of the maximal compile, to see where its time goes.
void BM_MassimoAnalisi(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(compila(*caso_massimo()));
}
void BM_MassimoBytesPlanimetria(benchmark::State& state) {
  const Compilazione c = compila(*caso_massimo());
  size_t bytes = 0;
  for (auto _ : state) {
    // Made a piece at a time, as the installer writes it.
    scrivi_planimetria(*c.modello.planimetria, [&bytes](size_t, std::string_view b) {
      benchmark::DoNotOptimize(b.data());
      bytes += b.size();
    });
  }
  benchmark::DoNotOptimize(bytes);
}
void BM_MassimoBytesCelle(benchmark::State& state) {
  const Compilazione c = compila(*caso_massimo());
  for (auto _ : state) benchmark::DoNotOptimize(bytes_celle(*c.modello.celle));
}
void BM_MassimoGenera(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(genera_scenario_massimo());
}

#define SCENARIO_CASI(bm)                                                      \
  BENCHMARK_CAPTURE(bm, portato, caso_portato)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(bm, breve, caso_breve)->Unit(benchmark::kMillisecond);     \
  BENCHMARK_CAPTURE(bm, massimo, caso_massimo)->Unit(benchmark::kMillisecond)

SCENARIO_CASI(BM_Compila);
SCENARIO_CASI(BM_CompilaScrivi);
SCENARIO_CASI(BM_PavimentoBinari);
SCENARIO_CASI(BM_Installa);
SCENARIO_CASI(BM_PavimentoInstalla);
SCENARIO_CASI(BM_Controlla);
BENCHMARK(BM_MassimoAnalisi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MassimoBytesPlanimetria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MassimoBytesCelle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MassimoGenera)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Keep freed blocks in the heap: no fresh pages from one iteration to the
  // next.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

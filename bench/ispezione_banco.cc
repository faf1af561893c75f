// Benchmarks of `scenario inspect` and `scenario plot` on the largest files
// there are: the maximal scenario's cell file (20141 cells) and line plan
// (1007001 points, 20 MB), and its picture. The files are made in memory
// once; each iteration reads and prints, or reads and draws, as the
// commands do (without the file reads and writes).
#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "generatore/generatore.h"
#include "views/disegno.h"
#include "views/ispezione.h"
#include "format/lettori.h"
#include "format/scrittori.h"
#include "tests/support/compila.h"

namespace scenario {
namespace {

struct FileMassimi {
  std::string planimetria;
  std::string testata;
  std::string celle;
};

const FileMassimi& massimi() {
  static const FileMassimi f = [] {
    const ScenarioGenerato g = genera_scenario_massimo();
    Compilazione c = test::compila_in_memoria(g.linea, g.treno, {.id = g.id}).c;
    return FileMassimi{bytes_planimetria(*c.modello.planimetria), bytes_testata(c.modello.testata),
                       bytes_celle(*c.modello.celle)};
  }();
  return f;
}

// inspect of one of the maximal files, as text or JSON.
void BM_IspezionaMassimo(benchmark::State& state, TipoFile tipo, Formato formato) {
  const std::string& b = tipo == TipoFile::celle         ? massimi().celle
                         : tipo == TipoFile::planimetria ? massimi().planimetria
                                                         : massimi().testata;
  size_t uscita = 0;
  for (auto _ : state) {
    const std::string s = ispeziona(tipo, b, formato, {});
    uscita = s.size();
    benchmark::DoNotOptimize(s.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.size()));
  state.counters["output_bytes"] = static_cast<double>(uscita);
}

// What `plot` does between reading the three files and writing the picture.
void BM_DisegnaMassimo(benchmark::State& state) {
  const FileMassimi& f = massimi();
  size_t svg = 0;
  for (auto _ : state) {
    const Testata t = leggi_testata(f.testata);
    const std::vector<Cella> c = leggi_celle(f.celle);
    const PianoLetto p = leggi_planimetria(f.planimetria);
    const std::string s = disegna_scenario(t, c, &p);
    svg = s.size();
    benchmark::DoNotOptimize(s.data());
  }
  state.counters["svg_bytes"] = static_cast<double>(svg);
}

// The drawing alone, the files already read.
void BM_DisegnaMassimoSoloDisegno(benchmark::State& state) {
  const FileMassimi& f = massimi();
  const Testata t = leggi_testata(f.testata);
  const std::vector<Cella> c = leggi_celle(f.celle);
  const PianoLetto p = leggi_planimetria(f.planimetria);
  for (auto _ : state) benchmark::DoNotOptimize(disegna_scenario(t, c, &p));
}

BENCHMARK_CAPTURE(BM_IspezionaMassimo, celle_testo, TipoFile::celle, Formato::testo)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IspezionaMassimo, celle_json, TipoFile::celle, Formato::json)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IspezionaMassimo, planimetria_testo, TipoFile::planimetria, Formato::testo)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IspezionaMassimo, planimetria_json, TipoFile::planimetria, Formato::json)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisegnaMassimo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisegnaMassimoSoloDisegno)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

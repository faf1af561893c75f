// The maximal generated scenario's compile, in memory to the bytes of its
// three files, beside its decompile, which reads those bytes, writes the two
// sources and compiles them again to compare: the decompile is to stay
// within three compiles.
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "decompile/decompila.h"
#include "format/scrittori.h"
#include "generatore/generatore.h"

namespace scenario {
namespace {

const ScenarioGenerato& massimo() {
  static const ScenarioGenerato s = genera_scenario_massimo();
  return s;
}

FileCompilati compila(const ScenarioGenerato& s) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(s.id), s.linea);
  a.metti(nome_sorgente_treno(s.id), s.treno);
  const Compilazione c = memorizza_percorso(a, s.id, 1);
  FileCompilati f;
  f.testata = bytes_testata(c.modello.testata);
  f.celle = bytes_celle(*c.modello.celle);
  f.planimetria = c.modello.planimetria->bytes_file();
  return f;
}

void BM_CompilaMassimo(benchmark::State& state) {
  for (auto _ : state) {
    FileCompilati f = compila(massimo());
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_CompilaMassimo)->Unit(benchmark::kMillisecond);

void BM_DecompilaMassimo(benchmark::State& state) {
  const FileCompilati f = compila(massimo());
  for (auto _ : state) {
    Decompilazione d = decompila(massimo().id, f);
    if (!d.riuscita()) state.SkipWithError(d.problemi.front().c_str());
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_DecompilaMassimo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();

// The maximal generated scenario's compile, in memory to the bytes of its
// three files, beside its decompile, which reads those bytes, writes the two
// sources and compiles them again to compare: the decompile is to stay
// within three compiles. Once more with the three files read from a folder,
// as the command reads them: the plan a window at a time.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <utility>

#include "compiler/archivio.h"
#include "compiler/compila.h"
#include "decompile/decompila.h"
#include "format/scrittori.h"
#include "generatore/generatore.h"
#include "platform/archivio_cartella.h"
#include "tests/support/cartella.h"

namespace scenario {
namespace {

const ScenarioGenerato& massimo() {
  static const ScenarioGenerato s = genera_scenario_massimo();
  return s;
}

BytesCompilati compila(const ScenarioGenerato& s) {
  ArchivioMemoria a;
  a.metti(nome_sorgente_linea(s.id), s.linea);
  a.metti(nome_sorgente_treno(s.id), s.treno);
  const Compilazione c = memorizza_percorso(a, s.id, 1);
  BytesCompilati f;
  f.testata = bytes_testata(c.modello.testata);
  f.celle = bytes_celle(*c.modello.celle);
  f.planimetria = c.modello.planimetria->bytes_file();
  return f;
}

void BM_CompilaMassimo(benchmark::State& state) {
  for (auto _ : state) {
    BytesCompilati f = compila(massimo());
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_CompilaMassimo)->Unit(benchmark::kMillisecond);

void BM_DecompilaMassimo(benchmark::State& state) {
  const BytesCompilati f = compila(massimo());
  for (auto _ : state) {
    Decompilazione d = decompila(massimo().id, f);
    if (!d.riuscita()) state.SkipWithError(d.problemi.front().c_str());
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_DecompilaMassimo)->Unit(benchmark::kMillisecond);

void BM_DecompilaMassimoDaCartella(benchmark::State& state) {
  const ScenarioGenerato& s = massimo();
  const test::CartellaProva dir;
  {
    BytesCompilati f = compila(s);
    test::scrivi(dir / nome_testata(s.id), f.testata);
    test::scrivi(dir / nome_celle(s.id), f.celle);
    test::scrivi(dir / nome_planimetria(s.id), *f.planimetria);
  }
  const ArchivioCartella cartella(dir.percorso());
  for (auto _ : state) {
    FileCompilati f;
    f.testata = cartella.leggi(nome_testata(s.id));
    f.celle = cartella.leggi(nome_celle(s.id));
    const std::unique_ptr<LettoreIntervalli> piano = cartella.apri(nome_planimetria(s.id));
    f.planimetria = piano.get();
    Decompilazione d = decompila(s.id, f);
    if (!d.riuscita()) state.SkipWithError(d.problemi.front().c_str());
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_DecompilaMassimoDaCartella)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();

// Benchmarks of `scenario inspect` and `scenario plot` on the largest files
// there are: the maximal scenario's cell file (20141 cells) and line plan
// (1007001 points, 20 MB), and its picture. The files are made in memory
// once; each iteration reads and prints, or reads and draws, as the
// commands do (the file read by ranges from memory, the text handed on in
// pieces and dropped). bench/ingressi_grandi.sh times the whole commands.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/intervalli.h"
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
    LettoreMemoria file(b);
    uscita = 0;
    ispeziona(tipo, file, formato, {}, nullptr, [&uscita](std::string_view pezzo) {
      uscita += pezzo.size();
      benchmark::DoNotOptimize(pezzo.data());
    });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.size()));
  state.counters["output_bytes"] = static_cast<double>(uscita);
}

// The floors the two commands are held to. A plain pass over the plan's
// bytes (what reading them costs at the least), and the plan's numbers
// formatted alone: each value decoded and written with to_chars, one point
// a line, no columns and no checks. `inspect` of the plan is judged against
// the second.
void BM_LetturaPianaPiano(benchmark::State& state) {
  const std::string& b = massimi().planimetria;
  for (auto _ : state) {
    uint64_t somma = 0;
    for (const char c : b) somma += static_cast<unsigned char>(c);
    benchmark::DoNotOptimize(somma);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.size()));
}

void BM_FormattaNumeriPiano(benchmark::State& state) {
  const std::string& b = massimi().planimetria;
  size_t uscita = 0;
  for (auto _ : state) {
    const PianoLetto p = leggi_planimetria(b);
    std::string s;
    s.reserve(p.punti() * 40);
    char buf[32];
    const auto metti = [&](const ValorePiano& v) {
      const auto r = v.tipo == TipoValore::intero
                         ? std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(v.valore))
                         : std::to_chars(buf, buf + sizeof buf, v.valore);
      s.append(buf, static_cast<size_t>(r.ptr - buf));
    };
    for (size_t i = 0; i < p.punti(); ++i) {
      metti(p.x0[i]);
      s.push_back(' ');
      metti(p.x1[i]);
      s.push_back('\n');
    }
    uscita = s.size();
    benchmark::DoNotOptimize(s.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.size()));
  state.counters["output_bytes"] = static_cast<double>(uscita);
}

// The plan checked to its end, its values passed over: the pass both
// commands make before they read it again.
void BM_IndicePiano(benchmark::State& state) {
  const std::string& b = massimi().planimetria;
  for (auto _ : state) {
    LettoreMemoria file(b);
    benchmark::DoNotOptimize(indice_planimetria(file).punti);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.size()));
}

// What `plot` does between reading the header and cell files and writing
// the picture: the plan indexed, then read as the drawing goes.
void BM_DisegnaMassimo(benchmark::State& state) {
  const FileMassimi& f = massimi();
  size_t svg = 0;
  for (auto _ : state) {
    const Testata t = leggi_testata(f.testata);
    const std::vector<Cella> c = leggi_celle(f.celle);
    LettoreMemoria file(f.planimetria);
    const IndicePiano indice = indice_planimetria(file);
    const std::string s = disegna_scenario(t, c, file, indice);
    svg = s.size();
    benchmark::DoNotOptimize(s.data());
  }
  state.counters["svg_bytes"] = static_cast<double>(svg);
}

// The drawing alone, the plan decoded and held (as a test draws it).
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
BENCHMARK(BM_LetturaPianaPiano)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormattaNumeriPiano)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndicePiano)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisegnaMassimo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisegnaMassimoSoloDisegno)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scenario

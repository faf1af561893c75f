// The editor server's latency: from a change to the maximal generated
// scenario's train file to both files' diagnostics published (the check of
// the pair, positions and JSON included). The target is 20 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "base/testo.h"
#include "generatore/generatore.h"
#include "lsp/server.h"
#include "views/json.h"

namespace scenario {
namespace {

std::string messaggio(const std::string& metodo, const std::string& uri, const std::string& testo,
                      int versione) {
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("jsonrpc").testo("2.0");
  j.chiave("method").testo(metodo);
  j.chiave("params").inizia_oggetto();
  j.chiave("textDocument").inizia_oggetto();
  j.chiave("uri").testo(uri);
  j.chiave("version").intero(versione);
  if (metodo == "textDocument/didOpen") j.chiave("text").testo(testo);
  j.fine_oggetto();
  if (metodo == "textDocument/didChange") {
    j.chiave("contentChanges").inizia_lista().inizia_oggetto();
    j.chiave("text").testo(testo);
    j.fine_oggetto().fine_lista();
  }
  j.fine_oggetto();
  j.fine_oggetto();
  return s;
}

void BM_DiagnosticheDopoUnCambio(benchmark::State& state) {
  const ScenarioGenerato g = genera_scenario_massimo();
  const std::string cartella = "file:///banco/";
  const std::string ul = cartella + nome_sorgente_linea(g.id);
  const std::string ut = cartella + nome_sorgente_treno(g.id);
  size_t pubblicati = 0, byte = 0;
  lsp::Server server([&](const std::string& m) {
    ++pubblicati;
    byte += m.size();
  });
  server.ricevi(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
  server.ricevi(R"({"jsonrpc":"2.0","method":"initialized","params":{}})");
  const std::string treno = utf8_da_1252(g.treno);
  server.ricevi(messaggio("textDocument/didOpen", ul, utf8_da_1252(g.linea), 1));
  server.ricevi(messaggio("textDocument/didOpen", ut, treno, 1));
  // Two versions in turn, one with a fault more: each change is checked.
  const std::string altro = treno + "\r\nvelocita, 1025, 40\r\n";
  const std::string cambi[] = {messaggio("textDocument/didChange", ut, altro, 2),
                               messaggio("textDocument/didChange", ut, treno, 3)};
  size_t i = 0;
  for (auto _ : state) {
    server.ricevi(cambi[i++ % 2]);
  }
  state.counters["messaggi_per_cambio"] =
      static_cast<double>(pubblicati) / static_cast<double>(state.iterations() + 2);
  state.counters["byte_per_cambio"] =
      static_cast<double>(byte) / static_cast<double>(state.iterations() + 2);
}
BENCHMARK(BM_DiagnosticheDopoUnCambio)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();

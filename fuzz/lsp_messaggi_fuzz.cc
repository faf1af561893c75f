// The editor server on any sequence of message bodies: it never crashes,
// everything it sends is a JSON-RPC object, and it answers every request
// (an object with an id and a method) with one response of that id.
// Input: bodies separated by NUL bytes, after an initialize of its own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/invarianti.h"
#include "lsp/server.h"
#include "views/json_lettura.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scenario;
  if (size > fuzz::kMassimoIngresso) return 0;
  std::vector<std::string> inviati;
  lsp::Server server([&inviati](const std::string& m) { inviati.push_back(m); });
  server.ricevi(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})");
  const std::string_view tutto(reinterpret_cast<const char*>(data), size);
  size_t da = 0;
  while (da <= tutto.size() && !server.finito()) {
    size_t a = tutto.find('\0', da);
    if (a == std::string_view::npos) a = tutto.size();
    const std::string_view corpo = tutto.substr(da, a - da);
    const size_t prima = inviati.size();
    server.ricevi(corpo);
    std::optional<ValoreJson> m;
    try {
      m = leggi_json(corpo);
    } catch (const ErroreJson&) {
    }
    const ValoreJson* id = m ? m->membro("id") : nullptr;
    const bool richiesta = id != nullptr && m->membro("method") != nullptr &&
                           (id->tipo() == ValoreJson::Tipo::numero ||
                            id->tipo() == ValoreJson::Tipo::testo);
    size_t risposte = 0;
    for (size_t i = prima; i < inviati.size(); ++i) {
      const ValoreJson r = leggi_json(inviati[i]);  // throws, and so aborts, if not JSON
      VERIFICA(r.tipo() == ValoreJson::Tipo::oggetto);
      VERIFICA(r.testo_di("jsonrpc") == "2.0");
      if (r.membro("method") == nullptr) ++risposte;
    }
    if (richiesta) VERIFICA(risposte == 1);
    da = a + 1;
  }
  return 0;
}

// `scenario lsp`: a Language Server Protocol server for the two sources of
// a scenario. It keeps the texts the editor has open, runs the check on
// the pair each time one changes (the open buffer of each, or the file on
// disk) and publishes the diagnostics of both; hover and completion come
// from the compiler's record table.
#ifndef SCENARIO_LSP_SERVER_H_
#define SCENARIO_LSP_SERVER_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/tipi_record.h"
#include "lsp/posizioni.h"
#include "views/json.h"
#include "views/json_lettura.h"

namespace scenario::lsp {

// The JSON-RPC error codes it answers with.
enum ErroreRpc : int {
  errore_sintassi = -32700,
  richiesta_non_valida = -32600,
  metodo_sconosciuto = -32601,
  parametri_non_validi = -32602,
  errore_interno = -32603,
  non_inizializzato = -32002,
};

class Server {
 public:
  // `invia` takes the body of every message the server sends.
  explicit Server(std::function<void(const std::string&)> invia, std::string versione = "");

  // One message body as received.
  void ricevi(std::string_view corpo);
  // A message whose header could not be read.
  void intestazione_errata();

  // After `exit`: the process ends, with this status (0 when `shutdown`
  // came first, 1 otherwise).
  bool finito() const { return finito_; }
  int stato_uscita() const { return chiuso_ ? 0 : 1; }
  Codifica codifica() const { return codifica_; }

 private:
  void richiesta(const ValoreJson& id, std::string_view metodo, const ValoreJson* parametri);
  void notifica(std::string_view metodo, const ValoreJson* parametri);
  void risposta(const ValoreJson& id, const std::string& risultato);
  void errore(const ValoreJson* id, int codice, const std::string& messaggio);

  std::string inizializza(const ValoreJson* parametri);
  // The document and place a request is about; none for a file that is
  // not a source, or that is neither open nor on disk.
  struct Posto {
    std::string utf8;  // its text
    FileSorgente file{};
    size_t riga = 0;
    uint32_t carattere = 0;  // in the agreed encoding
  };
  std::optional<Posto> posto(const ValoreJson* parametri) const;
  std::string hover(const ValoreJson* parametri);
  std::string completamento(const ValoreJson* parametri);
  // Checks the pair the document belongs to and publishes both files'
  // diagnostics.
  void pubblica(const std::string& uri);
  // A publishDiagnostics notification for `uri` up to its list, which the
  // caller writes and closes with the two objects around it.
  void inizia_pubblicazione(ScrittoreJson& j, const std::string& uri) const;

  // An open buffer's text, else the file's on disk as UTF-8; none when
  // neither is there.
  std::optional<std::string> testo(const std::string& uri) const;

  std::function<void(const std::string&)> invia_;
  std::string versione_;
  Codifica codifica_ = Codifica::utf16;
  bool inizializzato_ = false;
  bool chiuso_ = false;  // shutdown received
  bool finito_ = false;  // exit received
  struct Documento {
    std::string testo;  // UTF-8
    int64_t versione = 0;
  };
  std::map<std::string, Documento> aperti_;
};

// The local path of a file: URI; empty for any other.
std::string percorso_di_uri(std::string_view uri);

}  // namespace scenario::lsp

#endif  // SCENARIO_LSP_SERVER_H_

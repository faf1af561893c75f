"""A JSON-RPC client of `scenario lsp`, written from the protocol alone: the
framing and its errors, the errors of JSON-RPC, and the diagnostics, hover
and completion on the carried scenario, positions counted in UTF-16 and in
UTF-8 over text that is not ASCII. Arguments: the folder holding the
carried sources, then the words that start the server (the tool and `lsp`,
behind the build's emulator when it has one). Prints every failure; exits 1
if there was one."""
import json
import os
import queue
import subprocess
import sys
import threading
import urllib.parse
import urllib.request

CARTELLA, SERVER = sys.argv[1], sys.argv[2:]
LINEA = "Lanvero_Ostrel"
TRENO = "24817"
guasti = []


def verifica(cond, cosa):
    if not cond:
        guasti.append(cosa)
        print("FALLITO:", cosa)


def uri(nome):
    return "file://" + urllib.request.pathname2url(os.path.join(os.path.abspath(CARTELLA), nome))


class Server:
    def __init__(self):
        self.p = subprocess.Popen(SERVER, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
        self.arrivati = queue.Queue()
        threading.Thread(target=self._leggi, daemon=True).start()
        self.prossimo = 100

    def _leggi(self):
        f = self.p.stdout
        while True:
            intestazione = {}
            while True:
                riga = f.readline()
                if not riga:
                    self.arrivati.put(None)
                    return
                riga = riga.rstrip(b"\r\n")
                if not riga:
                    break
                nome, _, valore = riga.partition(b":")
                intestazione[nome.strip().lower()] = valore.strip()
            corpo = f.read(int(intestazione[b"content-length"]))
            self.arrivati.put(json.loads(corpo.decode("utf-8")))

    def grezzo(self, dati):
        self.p.stdin.write(dati)
        self.p.stdin.flush()

    def corpo(self, testo):
        b = testo.encode("utf-8")
        self.grezzo(b"Content-Length: %d\r\n\r\n" % len(b) + b)

    def invia(self, messaggio):
        self.corpo(json.dumps(messaggio))

    def ricevi(self, timeout=10):
        return self.arrivati.get(timeout=timeout)

    def richiesta(self, metodo, params=None):
        self.prossimo += 1
        m = {"jsonrpc": "2.0", "id": self.prossimo, "method": metodo}
        if params is not None:
            m["params"] = params
        self.invia(m)
        return self.risposta(self.prossimo)

    def risposta(self, id_):
        while True:
            m = self.ricevi()
            if m is None or m.get("id") == id_ and "method" not in m:
                return m

    def notifica(self, metodo, params):
        self.invia({"jsonrpc": "2.0", "method": metodo, "params": params})

    def diagnostiche(self, quanti=2):
        per_uri = {}
        while len(per_uri) < quanti:
            m = self.ricevi()
            if m is None:
                break
            if m.get("method") == "textDocument/publishDiagnostics":
                per_uri[m["params"]["uri"]] = m["params"]["diagnostics"]
        return per_uri


def codice_errore(m):
    return m and m.get("error", {}).get("code")


def leggi_1252(nome):
    with open(os.path.join(CARTELLA, nome), "rb") as f:
        return f.read().decode("cp1252")


def colonna(riga, i, codifica):
    if codifica == "utf-16":
        return len(riga[:i].encode("utf-16-le")) // 2
    return len(riga[:i].encode("utf-8"))


def errori_di_framing_e_rpc():
    s = Server()
    # Before initialize, a request has its own error.
    s.invia({"jsonrpc": "2.0", "id": 1, "method": "textDocument/hover", "params": {}})
    verifica(codice_errore(s.risposta(1)) == -32002, "request before initialize: -32002")
    def incorniciato(corpo):
        return b"Content-Length: %d\r\n\r\n" % len(corpo) + corpo

    casi = [
        ("header without a number", b"Content-Length: dodici\r\n\r\n", -32700, None),
        ("header without Content-Length", b"Content-Type: x\r\n\r\n", -32700, None),
        ("malformed JSON", incorniciato(b"{bad}"), -32700, None),
        ("JSON cut short", incorniciato(b'{"jsonrpc":"2.0","id":'), -32700, None),
        ("body that is not an object", incorniciato(b"[1]"), -32600, None),
        ("id that is an object", incorniciato(b'{"jsonrpc":"2.0","id":{},"method":"x"}'), -32600, None),
        ("request without method", incorniciato(b'{"jsonrpc":"2.0","id":5}'), -32600, 5),
        ("method that is not a text", incorniciato(b'{"jsonrpc":"2.0","id":"s","method":7}'), -32600, "s"),
    ]
    for cosa, dati, atteso, id_ in casi:
        s.grezzo(dati)
        m = s.ricevi()
        verifica(m is not None and codice_errore(m) == atteso and m.get("id") == id_,
                 "%s: error %d with id %r, got %r" % (cosa, atteso, id_, m))
    r = s.richiesta("initialize", {"capabilities": {}})
    verifica(r and r["result"]["capabilities"]["positionEncoding"] == "utf-16",
             "initialize without offers: utf-16, got %r" % r)
    r = s.richiesta("initialize", {"capabilities": {}})
    verifica(codice_errore(r) == -32600, "a second initialize is refused")
    s.notifica("initialized", {})
    r = s.richiesta("scenario/inesistente", {})
    verifica(codice_errore(r) == -32601, "unknown method: -32601, got %r" % r)
    r = s.richiesta("textDocument/hover", {"textDocument": {}})
    verifica(codice_errore(r) == -32602, "hover without position: -32602, got %r" % r)
    # An unknown notification is no error at all; the next request answers.
    s.notifica("$/qualcosa", {})
    r = s.richiesta("shutdown")
    verifica(r is not None and "result" in r and r["result"] is None, "shutdown: null result")
    r = s.richiesta("textDocument/hover", {})
    verifica(codice_errore(r) == -32600, "request after shutdown: -32600, got %r" % r)
    s.grezzo(b"Content-Length: 4\r\n\r\n{x:1")
    verifica(codice_errore(s.ricevi()) == -32700, "still answering after shutdown")
    s.notifica("exit", {})
    verifica(s.p.wait(timeout=10) == 0, "exit after shutdown: status 0")


def diagnostiche_e_posizioni(codifiche_offerte, attesa):
    s = Server()
    r = s.richiesta("initialize", {"capabilities": {"general": {"positionEncodings": codifiche_offerte}}})
    verifica(r["result"]["capabilities"]["positionEncoding"] == attesa,
             "offered %r: %s" % (codifiche_offerte, attesa))
    s.notifica("initialized", {})
    nome_treno = "%s_%s-.txt" % (LINEA, TRENO)
    nome_linea = "%s_linea.txt" % LINEA
    testo = leggi_1252(nome_treno)
    # A station off the grid, after a character the code page has and one
    # it has not, on the same line.
    vecchia = "stazione,    4250,"
    nuova = "stazione \u00e8\U0001F600,    4275,"
    verifica(vecchia in testo, "the carried train file has the station at 4250")
    testo_errato = testo.replace(vecchia, nuova, 1)
    s.notifica("textDocument/didOpen", {"textDocument": {
        "uri": uri(nome_treno), "languageId": "scenario", "version": 1, "text": testo_errato}})
    dd = s.diagnostiche()
    verifica(set(dd) == {uri(nome_treno), uri(nome_linea)},
             "diagnostics of both files, got %r" % list(dd))
    righe = testo_errato.splitlines()
    n = next(i for i, r in enumerate(righe) if nuova in r)
    i = righe[n].index("4275")
    griglia = [d for d in dd.get(uri(nome_treno), []) if d.get("code") == 8]
    verifica(len(griglia) == 1, "one diagnostic with code 8, got %r" % dd.get(uri(nome_treno)))
    if griglia:
        d = griglia[0]
        verifica(d["range"]["start"] == {"line": n, "character": colonna(righe[n], i, attesa)},
                 "%s start of the field: %r" % (attesa, d["range"]))
        verifica(d["range"]["end"] == {"line": n, "character": colonna(righe[n], i + 4, attesa)},
                 "%s end of the field: %r" % (attesa, d["range"]))
        verifica(d["severity"] == 1, "an error")
        verifica("posizione della stazione non multipla di 50" in d["message"],
                 "the message as check says it: %r" % d["message"])
    verifica(not [d for d in dd.get(uri(nome_linea), []) if d["severity"] == 1],
             "the carried line file has no error: %r" % dd.get(uri(nome_linea)))
    # Mended in the buffer, not saved: the fault goes.
    s.notifica("textDocument/didChange", {"textDocument": {"uri": uri(nome_treno), "version": 2},
                                          "contentChanges": [{"text": testo}]})
    dd = s.diagnostiche()
    verifica(not [d for d in dd.get(uri(nome_treno), []) if d["severity"] == 1],
             "mended: no error left, got %r" % dd.get(uri(nome_treno)))
    # Hover on a signal's position, in the encoding agreed: its cell and
    # chainage.
    righe = testo.splitlines()
    n = next(i for i, r in enumerate(righe) if r.startswith("segnale,    1600,"))
    i = righe[n].index("1600")
    r = s.richiesta("textDocument/hover", {"textDocument": {"uri": uri(nome_treno)},
                                           "position": {"line": n, "character": colonna(righe[n], i + 1, attesa)}})
    valore = r and r.get("result") and r["result"]["contents"]["value"]
    verifica(valore and "posizione" in valore and "cella 33, progressiva 1650 m" in valore,
             "hover on a signal's position: %r" % valore)
    # Completion at the start of a line: keywords and headings.
    r = s.richiesta("textDocument/completion", {"textDocument": {"uri": uri(nome_treno)},
                                                "position": {"line": n, "character": 0}})
    etichette = [v["label"] for v in (r.get("result") or {}).get("items", [])]
    verifica("segnale" in etichette and "[segnali]" in etichette and "curva" not in etichette,
             "completion of the train file's words: %r" % etichette)
    # A change to the line file is checked with the train file on disk.
    linea = leggi_1252(nome_linea)
    s.notifica("textDocument/didOpen", {"textDocument": {
        "uri": uri(nome_linea), "languageId": "scenario", "version": 1,
        "text": linea.replace("[curve]", "[curve]\r\ncurva, 1100, 50", 1)}})
    dd = s.diagnostiche()
    verifica([d["code"] for d in dd.get(uri(nome_linea), []) if d["severity"] == 1] == [103],
             "a curve without its class in the open line file: %r" % dd.get(uri(nome_linea)))
    s.richiesta("shutdown")
    s.notifica("exit", {})
    verifica(s.p.wait(timeout=10) == 0, "status 0")


def fine_senza_shutdown():
    s = Server()
    s.richiesta("initialize", {"capabilities": {}})
    s.notifica("exit", {})
    verifica(s.p.wait(timeout=10) == 1, "exit without shutdown: status 1")


errori_di_framing_e_rpc()
diagnostiche_e_posizioni(["utf-16"], "utf-16")
diagnostiche_e_posizioni(["utf-8", "utf-16"], "utf-8")
fine_senza_shutdown()
sys.exit(1 if guasti else 0)

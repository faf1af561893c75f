#include "lsp/server.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "base/testo.h"
#include "check/controllo.h"
#include "check/testo_diagnostica.h"
#include "compiler/archivio.h"
#include "compiler/tipi_record.h"
#include "lsp/aiuto.h"
#include "model/identita.h"
#include "views/json.h"

namespace scenario::lsp {

namespace {

// A request whose parameters are not what its method takes.
class ParametriNonValidi : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const ValoreJson& membro(const ValoreJson* v, std::string_view k) {
  const ValoreJson* m = v == nullptr ? nullptr : v->membro(k);
  if (m == nullptr) throw ParametriNonValidi("manca \"" + std::string(k) + "\"");
  return *m;
}

std::string testo_di(const ValoreJson* v, std::string_view k) {
  const ValoreJson& m = membro(v, k);
  if (m.tipo() != ValoreJson::Tipo::testo)
    throw ParametriNonValidi("\"" + std::string(k) + "\" non e' un testo");
  return m.testo();
}

int64_t intero_di(const ValoreJson* v, std::string_view k) {
  const std::optional<int64_t> n = membro(v, k).intero();
  if (!n || *n < 0) throw ParametriNonValidi("\"" + std::string(k) + "\" non e' un intero");
  return *n;
}

void scrivi_id(ScrittoreJson& j, const ValoreJson* id) {
  if (id == nullptr || id->nullo()) {
    j.nullo();
  } else if (id->tipo() == ValoreJson::Tipo::testo) {
    j.testo(id->testo());
  } else if (id->intero()) {
    j.intero(*id->intero());
  } else {
    j.reale(id->numero());
  }
}

int esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string decodifica(std::string_view s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() + 0 && esadecimale(s[i + 1]) >= 0 &&
        esadecimale(s[i + 2]) >= 0) {
      r.push_back(static_cast<char>(esadecimale(s[i + 1]) * 16 + esadecimale(s[i + 2])));
      i += 2;
    } else {
      r.push_back(s[i]);
    }
  }
  return r;
}

std::string codifica_nome(std::string_view nome) {
  static constexpr char kEsadecimali[] = "0123456789ABCDEF";
  std::string r;
  for (const char c : nome) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      r.push_back(c);
    } else {
      r.push_back('%');
      r.push_back(kEsadecimali[b >> 4]);
      r.push_back(kEsadecimali[b & 0xF]);
    }
  }
  return r;
}

std::optional<std::string> leggi_disco(const std::string& percorso) {
  if (percorso.empty()) return std::nullopt;
  std::ifstream f(percorso, std::ios::binary);
  if (!f) return std::nullopt;
  std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (f.bad()) return std::nullopt;
  return s;
}

constexpr std::string_view kFineLinea = "_linea.txt";
constexpr std::string_view kFineTreno = "-.txt";

bool finisce_con(std::string_view s, std::string_view f) {
  return s.size() >= f.size() && s.substr(s.size() - f.size()) == f;
}

// The pair of sources a document belongs to.
struct Coppia {
  std::string cartella;  // the URI up to its last '/', included
  Identita id;
  bool treno_noto = false;
  FileSorgente questo{};
  std::string uri(const std::string& nome) const { return cartella + codifica_nome(nome); }
};

// A column as the editor counts it, of the character column `k` on line
// `riga` of `righe`.
struct Punto {
  size_t riga = 0;
  uint32_t carattere = 0;
};

void scrivi_punto(ScrittoreJson& j, const Punto& p) {
  j.inizia_oggetto();
  j.chiave("line").intero(static_cast<int64_t>(p.riga));
  j.chiave("character").intero(p.carattere);
  j.fine_oggetto();
}

void scrivi_intervallo(ScrittoreJson& j, const Punto& da, const Punto& a) {
  j.inizia_oggetto();
  j.chiave("start");
  scrivi_punto(j, da);
  j.chiave("end");
  scrivi_punto(j, a);
  j.fine_oggetto();
}

// Character columns of a UTF-8 line: where the field that starts at `k`
// ends, its blanks after it left out (one character at least, when there
// is one).
size_t fine_campo(std::string_view riga, size_t k) {
  size_t i = 0, c = 0;
  while (i < riga.size() && c < k) {
    const auto b = static_cast<unsigned char>(riga[i]);
    i += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    ++c;
  }
  size_t fine = c, dopo_testo = c;
  while (i < riga.size() && riga[i] != ',') {
    const auto b = static_cast<unsigned char>(riga[i]);
    i += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    ++fine;
    if (b != ' ' && b != '\t') dopo_testo = fine;
  }
  if (dopo_testo == k && fine > k) dopo_testo = k + 1;
  return dopo_testo;
}

}  // namespace

std::string percorso_di_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.substr(0, kSchema.size()) != kSchema) return {};
  uri.remove_prefix(kSchema.size());
  const size_t barra = uri.find('/');
  if (barra == std::string_view::npos) return {};
  std::string p = decodifica(uri.substr(barra));
#ifdef _WIN32
  // file:///C:/dir: the drive letter after the first slash.
  if (p.size() >= 3 && p[0] == '/' && p[2] == ':') p.erase(0, 1);
#endif
  return p;
}

Server::Server(std::function<void(const std::string&)> invia, std::string versione)
    : invia_(std::move(invia)), versione_(std::move(versione)) {}

void Server::errore(const ValoreJson* id, int codice, const std::string& messaggio) {
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("jsonrpc").testo("2.0");
  j.chiave("id");
  scrivi_id(j, id);
  j.chiave("error").inizia_oggetto();
  j.chiave("code").intero(codice);
  j.chiave("message").testo(messaggio);
  j.fine_oggetto();
  j.fine_oggetto();
  invia_(s);
}

void Server::risposta(const ValoreJson& id, const std::string& risultato) {
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("jsonrpc").testo("2.0");
  j.chiave("id");
  scrivi_id(j, &id);
  j.fine_oggetto();
  s.pop_back();
  invia_(s + ",\"result\":" + risultato + "}");
}

void Server::intestazione_errata() {
  errore(nullptr, errore_sintassi, "intestazione non valida: manca Content-Length o non e' un numero");
}

void Server::ricevi(std::string_view corpo) {
  ValoreJson m;
  try {
    m = leggi_json(corpo);
  } catch (const ErroreJson& e) {
    errore(nullptr, errore_sintassi,
           std::string("JSON non valido: ") + e.what() + " (byte " + std::to_string(e.offset()) +
               ")");
    return;
  }
  if (m.tipo() != ValoreJson::Tipo::oggetto) {
    errore(nullptr, richiesta_non_valida, "un messaggio e' un oggetto JSON");
    return;
  }
  const ValoreJson* id = m.membro("id");
  if (id != nullptr && id->tipo() != ValoreJson::Tipo::numero &&
      id->tipo() != ValoreJson::Tipo::testo) {
    errore(nullptr, richiesta_non_valida, "\"id\" e' un numero o un testo");
    return;
  }
  const ValoreJson* metodo = m.membro("method");
  if (metodo == nullptr) {
    // An answer of the client: the server asks nothing, so there is none
    // to wait for.
    if (id != nullptr && (m.membro("result") != nullptr || m.membro("error") != nullptr)) return;
    errore(id, richiesta_non_valida, "manca \"method\"");
    return;
  }
  if (metodo->tipo() != ValoreJson::Tipo::testo || m.testo_di("jsonrpc") != "2.0") {
    if (id != nullptr) {
      errore(id, richiesta_non_valida, "\"jsonrpc\" deve essere \"2.0\" e \"method\" un testo");
    }
    return;
  }
  const ValoreJson* parametri = m.membro("params");
  if (parametri != nullptr && parametri->tipo() != ValoreJson::Tipo::oggetto &&
      parametri->tipo() != ValoreJson::Tipo::lista) {
    if (id != nullptr) errore(id, richiesta_non_valida, "\"params\" e' un oggetto o una lista");
    return;
  }
  try {
    if (id != nullptr) {
      richiesta(*id, metodo->testo(), parametri);
    } else {
      notifica(metodo->testo(), parametri);
    }
  } catch (const ParametriNonValidi& e) {
    if (id != nullptr) errore(id, parametri_non_validi, e.what());
  } catch (const std::exception& e) {
    if (id != nullptr) errore(id, errore_interno, e.what());
  }
}

void Server::richiesta(const ValoreJson& id, std::string_view metodo,
                       const ValoreJson* parametri) {
  if (chiuso_) {
    errore(&id, richiesta_non_valida, "richiesta dopo shutdown: resta solo exit");
    return;
  }
  if (metodo == "initialize") {
    if (inizializzato_) {
      errore(&id, richiesta_non_valida, "initialize una seconda volta");
      return;
    }
    risposta(id, inizializza(parametri));
    inizializzato_ = true;
    return;
  }
  if (!inizializzato_) {
    errore(&id, non_inizializzato, "prima di tutto initialize");
    return;
  }
  if (metodo == "shutdown") {
    chiuso_ = true;
    risposta(id, "null");
  } else if (metodo == "textDocument/hover") {
    risposta(id, hover(parametri));
  } else if (metodo == "textDocument/completion") {
    risposta(id, completamento(parametri));
  } else {
    errore(&id, metodo_sconosciuto, "metodo sconosciuto: " + std::string(metodo));
  }
}

std::string Server::inizializza(const ValoreJson* parametri) {
  // UTF-8 when the client can count so: the cheaper of the two here.
  codifica_ = Codifica::utf16;
  const ValoreJson* cap = parametri == nullptr ? nullptr : parametri->membro("capabilities");
  const ValoreJson* gen = cap == nullptr ? nullptr : cap->membro("general");
  const ValoreJson* cc = gen == nullptr ? nullptr : gen->membro("positionEncodings");
  if (cc != nullptr) {
    for (const ValoreJson& c : cc->elementi()) {
      if (c.tipo() == ValoreJson::Tipo::testo && c.testo() == "utf-8") codifica_ = Codifica::utf8;
    }
  }
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("capabilities").inizia_oggetto();
  j.chiave("positionEncoding").testo(codifica_ == Codifica::utf8 ? "utf-8" : "utf-16");
  j.chiave("textDocumentSync").inizia_oggetto();
  j.chiave("openClose").booleano(true);
  j.chiave("change").intero(1);  // the whole text each time
  j.chiave("save").booleano(true);
  j.fine_oggetto();
  j.chiave("hoverProvider").booleano(true);
  j.chiave("completionProvider").inizia_oggetto();
  j.chiave("triggerCharacters").inizia_lista().testo("[").fine_lista();
  j.fine_oggetto();
  j.fine_oggetto();
  j.chiave("serverInfo").inizia_oggetto();
  j.chiave("name").testo("scenario");
  if (!versione_.empty()) j.chiave("version").testo(versione_);
  j.fine_oggetto();
  j.fine_oggetto();
  return s;
}

void Server::inizia_pubblicazione(ScrittoreJson& j, const std::string& uri) const {
  j.inizia_oggetto();
  j.chiave("jsonrpc").testo("2.0");
  j.chiave("method").testo("textDocument/publishDiagnostics");
  j.chiave("params").inizia_oggetto();
  j.chiave("uri").testo(uri);
  if (const auto d = aperti_.find(uri); d != aperti_.end())
    j.chiave("version").intero(d->second.versione);
  j.chiave("diagnostics");
}

void Server::notifica(std::string_view metodo, const ValoreJson* parametri) {
  if (metodo == "exit") {
    finito_ = true;
    return;
  }
  if (!inizializzato_ || chiuso_) return;
  if (metodo == "textDocument/didOpen") {
    const ValoreJson& doc = membro(parametri, "textDocument");
    const std::string uri = testo_di(&doc, "uri");
    aperti_[uri] = {testo_di(&doc, "text"), doc.intero_di("version").value_or(0)};
    pubblica(uri);
  } else if (metodo == "textDocument/didChange") {
    const ValoreJson& doc = membro(parametri, "textDocument");
    const std::string uri = testo_di(&doc, "uri");
    const ValoreJson& cambi = membro(parametri, "contentChanges");
    if (cambi.elementi().empty()) return;
    // Whole texts only: the last one is the buffer.
    Documento& d = aperti_[uri];
    d.testo = testo_di(&cambi.elementi().back(), "text");
    d.versione = doc.intero_di("version").value_or(d.versione + 1);
    pubblica(uri);
  } else if (metodo == "textDocument/didClose") {
    const std::string uri = testo_di(&membro(parametri, "textDocument"), "uri");
    aperti_.erase(uri);
    std::string s;
    ScrittoreJson j(&s);
    inizia_pubblicazione(j, uri);
    j.inizia_lista().fine_lista();
    j.fine_oggetto();
    j.fine_oggetto();
    invia_(s);
    // The other file of the pair, if open, now reads this one from disk.
    for (const auto& [altro, d] : aperti_) {
      if (altro.substr(0, altro.rfind('/')) == uri.substr(0, uri.rfind('/'))) pubblica(altro);
    }
  } else if (metodo == "textDocument/didSave") {
    pubblica(testo_di(&membro(parametri, "textDocument"), "uri"));
  }
}

std::optional<std::string> Server::testo(const std::string& uri) const {
  if (const auto d = aperti_.find(uri); d != aperti_.end()) return d->second.testo;
  std::optional<std::string> b = leggi_disco(percorso_di_uri(uri));
  if (!b) return std::nullopt;
  return utf8_da_1252(*b);
}

namespace {

// The pair the document `uri` belongs to; none for a file that is not a
// source. A line file pairs with an open train file of its line, else the
// first on disk; a train file's line is the longest one whose file is there.
std::optional<Coppia> coppia_di(const std::string& uri,
                                const std::function<bool(const std::string&)>& esiste,
                                const std::vector<std::string>& aperti) {
  const size_t barra = uri.rfind('/');
  if (barra == std::string::npos) return std::nullopt;
  Coppia c;
  c.cartella = uri.substr(0, barra + 1);
  const std::string nome = decodifica(std::string_view(uri).substr(barra + 1));
  if (finisce_con(nome, kFineLinea) && nome.size() > kFineLinea.size()) {
    c.questo = FileSorgente::linea;
    c.id.linea = nome.substr(0, nome.size() - kFineLinea.size());
    const std::string inizio = c.id.linea + "_";
    std::vector<std::string> treni;
    for (const std::string& a : aperti) {
      if (a.substr(0, barra + 1) != c.cartella) continue;
      const std::string n = decodifica(std::string_view(a).substr(barra + 1));
      if (n.rfind(inizio, 0) == 0 && finisce_con(n, kFineTreno) &&
          n.size() > inizio.size() + kFineTreno.size())
        treni.push_back(n);
    }
    if (treni.empty()) {
      std::error_code ec;
      const std::filesystem::path dir = std::filesystem::path(percorso_di_uri(uri)).parent_path();
      for (std::filesystem::directory_iterator i(dir, ec), fine; !ec && i != fine; i.increment(ec)) {
        const std::string n = i->path().filename().string();
        if (n.rfind(inizio, 0) == 0 && finisce_con(n, kFineTreno) &&
            n.size() > inizio.size() + kFineTreno.size())
          treni.push_back(n);
      }
    }
    if (!treni.empty()) {
      const std::string& t = *std::min_element(treni.begin(), treni.end());
      c.id.treno = t.substr(inizio.size(), t.size() - inizio.size() - kFineTreno.size());
      c.treno_noto = true;
    } else {
      c.id.treno = "?";  // no train: the line file is checked alone
    }
    return c;
  }
  if (!finisce_con(nome, kFineTreno)) return std::nullopt;
  c.questo = FileSorgente::treno;
  c.treno_noto = true;
  const std::string stelo = nome.substr(0, nome.size() - kFineTreno.size());
  std::optional<size_t> scelta;
  for (size_t p = stelo.rfind('_'); p != std::string::npos && p > 0; p = stelo.rfind('_', p - 1)) {
    if (!scelta) scelta = p;
    if (esiste(c.cartella + codifica_nome(stelo.substr(0, p) + std::string(kFineLinea)))) {
      scelta = p;
      break;
    }
  }
  if (!scelta || *scelta + 1 >= stelo.size()) return std::nullopt;
  c.id.linea = stelo.substr(0, *scelta);
  c.id.treno = stelo.substr(*scelta + 1);
  return c;
}

}  // namespace

void Server::pubblica(const std::string& uri) {
  std::vector<std::string> aperti;
  for (const auto& [u, d] : aperti_) aperti.push_back(u);
  const auto esiste = [this](const std::string& u) {
    if (aperti_.count(u) != 0) return true;
    std::error_code ec;
    return std::filesystem::is_regular_file(percorso_di_uri(u), ec);
  };
  const std::optional<Coppia> c = coppia_di(uri, esiste, aperti);
  if (!c) return;

  struct File {
    std::string nome, uri;
    std::optional<std::string> utf8;
  };
  std::vector<File> file;
  const std::string nl = nome_sorgente_linea(c->id), nt = nome_sorgente_treno(c->id);
  file.push_back({nl, c->questo == FileSorgente::linea ? uri : c->uri(nl), std::nullopt});
  if (c->treno_noto)
    file.push_back({nt, c->questo == FileSorgente::treno ? uri : c->uri(nt), std::nullopt});
  ArchivioMemoria archivio;
  for (File& f : file) {
    if (const auto d = aperti_.find(f.uri); d != aperti_.end()) {
      f.utf8 = d->second.testo;
      archivio.metti(f.nome, in_1252(d->second.testo));
    } else if (std::optional<std::string> b = leggi_disco(percorso_di_uri(f.uri))) {
      f.utf8 = utf8_da_1252(*b);
      archivio.metti(f.nome, std::move(*b));
    }
  }
  std::vector<Diagnostica> dd;
  try {
    dd = controlla(archivio, c->id);
  } catch (const std::bad_alloc&) {
    return;  // nothing said rather than half
  }
  for (const File& f : file) {
    if (!f.utf8) continue;
    const Righe righe(*f.utf8);
    std::string s;
    ScrittoreJson j(&s);
    inizia_pubblicazione(j, f.uri);
    j.inizia_lista();
    for (const Diagnostica& d : dd) {
      if (d.file != f.nome) continue;
      Punto da, a;
      if (d.riga > 0) {
        const size_t r = static_cast<size_t>(d.riga - 1);
        const std::string_view riga = righe.riga(r);
        const size_t k = static_cast<size_t>(std::max(d.colonna - 1, 0));
        da = {r, carattere_editor(riga, k, codifica_)};
        a = {r, carattere_editor(riga, fine_campo(riga, k), codifica_)};
      }
      j.inizia_oggetto();
      j.chiave("range");
      scrivi_intervallo(j, da, a);
      j.chiave("severity").intero(d.errore() ? 1 : 2);
      if (d.errore()) {
        j.chiave("code").intero(d.codice);
      } else {
        j.chiave("code").testo("-W" + std::string(nome_avviso(d.avviso)));
      }
      j.chiave("source").testo("scenario");
      j.chiave("message").testo(testo_diagnostica(d));
      j.fine_oggetto();
    }
    j.fine_lista();
    j.fine_oggetto();
    j.fine_oggetto();
    invia_(s);
  }
}

std::optional<Server::Posto> Server::posto(const ValoreJson* p) const {
  const std::string uri = testo_di(&membro(p, "textDocument"), "uri");
  const ValoreJson& pos = membro(p, "position");
  Posto qui;
  qui.riga = static_cast<size_t>(intero_di(&pos, "line"));
  qui.carattere = static_cast<uint32_t>(intero_di(&pos, "character"));
  std::optional<std::string> utf8 = testo(uri);
  const std::optional<Coppia> c = coppia_di(uri, [](const std::string&) { return false; }, {});
  if (!utf8 || !c) return std::nullopt;
  qui.utf8 = std::move(*utf8);
  qui.file = c->questo;
  return qui;
}

std::string Server::hover(const ValoreJson* p) {
  const std::optional<Posto> qui = posto(p);
  if (!qui) return "null";
  const Righe ru(qui->utf8);
  const std::string t1252 = in_1252(qui->utf8);
  const Righe rb(t1252);
  RigheSorgente righe;
  for (size_t i = 0; i < rb.quante(); ++i) righe.push_back(rb.riga(i));
  const std::optional<std::string> md = descrivi(
      qui->file, righe, qui->riga, colonna_di(ru.riga(qui->riga), qui->carattere, codifica_));
  if (!md) return "null";
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("contents").inizia_oggetto();
  j.chiave("kind").testo("markdown");
  j.chiave("value").testo(*md);
  j.fine_oggetto();
  j.fine_oggetto();
  return s;
}

std::string Server::completamento(const ValoreJson* p) {
  const std::optional<Posto> qui = posto(p);
  if (!qui) return "[]";
  const size_t riga = qui->riga;
  const uint32_t carattere = qui->carattere;
  const Righe ru(qui->utf8);
  const std::string_view r = ru.riga(riga);
  const size_t colonna = colonna_di(r, carattere, codifica_);
  const std::optional<Proposte> pp = proponi(qui->file, in_1252(r), colonna);
  if (!pp) return "[]";
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("isIncomplete").booleano(false);
  j.chiave("items").inizia_lista();
  for (const Proposta& v : pp->voci) {
    j.inizia_oggetto();
    j.chiave("label").testo(v.parola);
    j.chiave("kind").intero(v.intestazione ? 9 : 14);  // module, keyword
    j.chiave("detail").testo(v.dettaglio);
    j.chiave("textEdit").inizia_oggetto();
    j.chiave("range");
    scrivi_intervallo(j, {riga, carattere_editor(r, pp->inizio, codifica_)},
                      {riga, carattere_editor(r, colonna, codifica_)});
    j.chiave("newText").testo(v.parola);
    j.fine_oggetto();
    j.fine_oggetto();
  }
  j.fine_lista();
  j.fine_oggetto();
  return s;
}

}  // namespace scenario::lsp

// The check's diagnostics as a SARIF 2.1.0 log, the form code-scanning
// services read: one run, its rules, one result per diagnostic.
#include <string>

#include "base/testo.h"
#include "compiler/codici_errore.h"
#include "tools/scenario/diagnostiche.h"
#include "views/json.h"

namespace scenario {

namespace {

std::string id_errore(int32_t codice) { return "errore-" + std::to_string(codice); }
std::string id_avviso(Avviso a) { return "avviso-" + std::string(nome_avviso(a)); }

// A file name as a URI reference: '/' between the parts, every byte that is
// not plain ASCII of a path percent-encoded; a path from the root gets the
// file scheme.
std::string uri(std::string_view percorso) {
  std::string s;
  const bool radice = !percorso.empty() && (percorso[0] == '/' || percorso[0] == '\\');
  const bool disco = percorso.size() > 1 && percorso[1] == ':';
  if (radice) s = "file://";
  if (disco) s = "file:///";
  static constexpr char kCifre[] = "0123456789ABCDEF";
  for (const char c : percorso) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\') {
      s += '/';
    } else if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
               std::string_view("-._~/:").find(c) != std::string_view::npos) {
      s += c;
    } else {
      s += '%';
      s += kCifre[b >> 4];
      s += kCifre[b & 15];
    }
  }
  return s;
}

void regola(ScrittoreJson& j, const std::string& id, std::string_view descrizione,
            const char* livello) {
  j.inizia_oggetto();
  j.chiave("id").testo(id);
  j.chiave("shortDescription").inizia_oggetto().chiave("text").testo(descrizione).fine_oggetto();
  j.chiave("defaultConfiguration").inizia_oggetto().chiave("level").testo(livello).fine_oggetto();
  j.fine_oggetto();
}

}  // namespace

std::string sarif_diagnostiche(std::span<const Diagnostica> dd, std::string_view versione) {
  std::string s;
  ScrittoreJson j(&s);
  j.inizia_oggetto();
  j.chiave("$schema").testo("https://json.schemastore.org/sarif-2.1.0.json");
  j.chiave("version").testo("2.1.0");
  j.chiave("runs").inizia_lista().inizia_oggetto();

  // The rules in a fixed order, the same for every log: the fault codes,
  // then the warnings; a result names its rule by id and by index.
  j.chiave("tool").inizia_oggetto().chiave("driver").inizia_oggetto();
  j.chiave("name").testo("scenario check");
  j.chiave("version").testo(versione);
  j.chiave("rules").inizia_lista();
  const auto codici = codici_errore();
  for (const VoceCodice& v : codici) {
    regola(j, id_errore(numero(v.codice)), utf8_da_1252(v.significato), "error");
  }
  for (const Avviso a : avvisi())
    regola(j, id_avviso(a), "-W" + std::string(nome_avviso(a)), "warning");
  j.fine_lista().fine_oggetto().fine_oggetto();

  j.chiave("columnKind").testo("unicodeCodePoints");
  j.chiave("results").inizia_lista();
  for (const Diagnostica& d : dd) {
    size_t indice = 0;
    if (d.errore()) {
      while (indice < codici.size() && numero(codici[indice].codice) != d.codice) ++indice;
    } else {
      indice = codici.size() + static_cast<size_t>(d.avviso);
    }
    j.inizia_oggetto();
    j.chiave("ruleId").testo(d.errore() ? id_errore(d.codice) : id_avviso(d.avviso));
    if (indice < codici.size() + avvisi().size()) {
      j.chiave("ruleIndex").intero(static_cast<int64_t>(indice));
    }
    j.chiave("level").testo(d.ferma() ? "error" : "warning");
    std::string testo = utf8_da_1252(d.messaggio);
    if (d.errore() && d.posizione) testo += " (posizione " + std::to_string(*d.posizione) + " m)";
    j.chiave("message").inizia_oggetto().chiave("text").testo(testo).fine_oggetto();
    j.chiave("locations").inizia_lista().inizia_oggetto();
    j.chiave("physicalLocation").inizia_oggetto();
    j.chiave("artifactLocation").inizia_oggetto().chiave("uri").testo(uri(d.file)).fine_oggetto();
    if (d.riga > 0) {
      j.chiave("region").inizia_oggetto();
      j.chiave("startLine").intero(d.riga);
      j.chiave("startColumn").intero(d.colonna);
      j.fine_oggetto();
    }
    j.fine_oggetto().fine_oggetto().fine_lista();
    j.fine_oggetto();
  }
  j.fine_lista();
  j.fine_oggetto().fine_lista().fine_oggetto();
  return s + "\n";
}

}  // namespace scenario

#include "installer/nomi_corsa.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <tuple>

#include "base/testo.h"
#include "platform/scrittura.h"

namespace scenario {

namespace {

// A file as the file system finds it: its folder with every link in it
// resolved, then its own name, which a rename replaces whatever it holds.
std::filesystem::path luogo(const std::filesystem::path& p) {
  std::error_code ec;
  std::filesystem::path a = std::filesystem::absolute(p, ec);
  if (ec) a = p;
  std::filesystem::path cartella = std::filesystem::weakly_canonical(a.parent_path(), ec);
  if (ec) cartella = a.parent_path().lexically_normal();
  return cartella / a.filename();
}

std::string chiave_di_luogo(const std::filesystem::path& l, ConfrontoNomi c) {
  const std::string s = l.generic_string();
  return c == ConfrontoNomi::senza_maiuscole ? in_minuscolo(s) : s;
}

std::string chiave(const std::filesystem::path& p, ConfrontoNomi c) {
  return chiave_di_luogo(luogo(p), c);
}

// A resolved folder resolves to itself: its files' folder needs no second
// look.
std::string cartella_di_luogo(const std::filesystem::path& l, ConfrontoNomi c) {
  return chiave_di_luogo(l.parent_path() / "x", c);
}

[[noreturn]] void conflitto(const FileCorsa& a, const FileCorsa& b, ConfrontoNomi c) {
  std::string m = "nomi in conflitto: " + a.ruolo + " " + a.percorso.string() + " e " + b.ruolo +
                  " " + b.percorso.string() + " sarebbero lo stesso file";
  if (c == ConfrontoNomi::senza_maiuscole && luogo(a.percorso) != luogo(b.percorso)) {
    m += " per un file system che non distingue maiuscole e minuscole";
  }
  throw NomiInConflitto(m + "; nessun file scritto");
}

[[noreturn]] void avanzo(const FileCorsa& f) {
  throw NomiInConflitto("nomi in conflitto: " + f.ruolo + " " + f.percorso.string() +
                        " ha il nome di un file temporaneo, che una corsa nella sua cartella "
                        "rimuove come avanzo; nessun file scritto");
}

// The names of the outputs whose folder (exact) is `qui`.
std::vector<std::string> nomi_accanto(const NomiCorsa& n, const std::vector<std::string>& cartelle,
                                      const std::string& qui) {
  std::vector<std::string> nomi;
  for (size_t i = 0; i < n.uscite.size(); ++i) {
    if (cartelle[i] == qui) nomi.push_back(n.uscite[i].percorso.filename().string());
  }
  return nomi;
}

bool temporaneo_antico(std::string_view voce, const std::vector<std::string>& nomi) {
  for (const std::string& nome : nomi) {
    const std::string prefisso = nome + ".tmp";
    if (!voce.starts_with(prefisso)) continue;
    const std::string_view cifre = voce.substr(prefisso.size());
    if (cifre.empty() || cifre.size() > 10) continue;
    if (std::all_of(cifre.begin(), cifre.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return true;
    }
  }
  return false;
}

// An older entry under an output name is replaced only if it is a file.
void controlla_sostituibile(const FileCorsa& u) {
  std::error_code ec;
  const std::filesystem::file_status s = std::filesystem::symlink_status(u.percorso, ec);
  switch (s.type()) {
    case std::filesystem::file_type::not_found:
    case std::filesystem::file_type::regular:
    case std::filesystem::file_type::symlink:
    // No rename puts a file over a folder: the writer names it when the
    // set is checked, before any rename.
    case std::filesystem::file_type::directory: return;
    // Not known (a folder that cannot be searched, a name too long): the
    // writer meets it and says why.
    case std::filesystem::file_type::none: return;
    default:
      throw GuastoPiattaforma(u.percorso, std::string("sotto questo nome c'e' ") +
                                              genere_non_file(s.type()) +
                                              ", non un file: nessun file sostituito");
  }
}

}  // namespace

const char* genere_non_file(std::filesystem::file_type tipo) {
  switch (tipo) {
    case std::filesystem::file_type::directory: return "una cartella";
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character: return "un dispositivo";
    case std::filesystem::file_type::fifo: return "una FIFO";
    case std::filesystem::file_type::socket: return "un socket";
    default: return "qualcosa che non e' un file";
  }
}

ConfrontoNomi confronto_locale() {
#ifdef _WIN32
  return ConfrontoNomi::senza_maiuscole;
#else
  return ConfrontoNomi::esatto;
#endif
}

std::vector<FileCorsa> file_installatore(const std::filesystem::path& cartella,
                                         const Identita& id) {
  static_assert(std::tuple_size_v<decltype(nomi_testi(id))> == kTestiInstallatore);
  return {
      {cartella / nome_sorgente_linea(id), "il sorgente della linea"},
      {cartella / nome_sorgente_treno(id), "il sorgente del treno"},
      {cartella / nome_note(id), "le note"},
      {cartella / nome_rallentamenti(id), "il modulo dei rallentamenti"},
      {cartella / nome_scheda(id), "la scheda del treno"},
      {cartella / nome_planimetria(id), "la planimetria della linea"},
      {cartella / nome_celle(id), "il file delle celle"},
      {cartella / nome_testata(id), "il file di testata"},
  };
}

bool nome_di_avanzo(std::string_view nome, const std::vector<std::string>& nomi) {
  return nome_temporaneo(nome) || temporaneo_antico(nome, nomi);
}

void controlla_nomi_corsa(const NomiCorsa& n) {
  const ConfrontoNomi c = n.confronto;
  // Each name resolved once: resolving asks the file system about every
  // folder on the way, and every name is compared with every other.
  std::vector<std::filesystem::path> luoghi;
  for (const FileCorsa& u : n.uscite) luoghi.push_back(luogo(u.percorso));
  std::vector<std::string> chiavi, esatte;
  for (const auto& l : luoghi) {
    chiavi.push_back(chiave_di_luogo(l, c));
    esatte.push_back(cartella_di_luogo(l, ConfrontoNomi::esatto));
  }
  std::vector<std::string> sorgenti;
  for (const FileCorsa& s : n.sorgenti) sorgenti.push_back(chiave(s.percorso, c));
  const std::optional<std::filesystem::path> programma =
      n.programma.empty() ? std::nullopt : std::optional(luogo(n.programma));
  for (size_t i = 0; i < n.uscite.size(); ++i) {
    const FileCorsa& u = n.uscite[i];
    if (nome_di_avanzo(u.percorso.filename().string(), nomi_accanto(n, esatte, esatte[i]))) {
      avanzo(u);
    }
    const std::string& k = chiavi[i];
    for (size_t j = 0; j < i; ++j) {
      if (chiavi[j] == k) conflitto(n.uscite[j], u, c);
    }
    for (size_t j = 0; j < n.sorgenti.size(); ++j) {
      if (sorgenti[j] == k) conflitto(u, n.sorgenti[j], c);
    }
    if (programma && chiave_di_luogo(*programma, c) == k) {
      conflitto(u, {n.programma, kRuoloProgramma}, c);
    }
  }
  if (!programma) return;
  // A run removes what it takes for left over in its own folders.
  const std::string qui = cartella_di_luogo(*programma, c);
  const bool accanto = std::any_of(luoghi.begin(), luoghi.end(),
                                   [&](const auto& l) { return cartella_di_luogo(l, c) == qui; });
  if (accanto &&
      nome_di_avanzo(
          n.programma.filename().string(),
          nomi_accanto(n, esatte, cartella_di_luogo(*programma, ConfrontoNomi::esatto)))) {
    avanzo({n.programma, kRuoloProgramma});
  }
}

void controlla_corsa(const NomiCorsa& n) {
  controlla_nomi_corsa(n);
  for (const FileCorsa& u : n.uscite) controlla_sostituibile(u);
}

}  // namespace scenario

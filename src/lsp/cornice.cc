#include "lsp/cornice.h"

#include <charconv>
#include <optional>

#include "base/testo.h"

namespace scenario::lsp {

namespace {

// One header line without its end; none at the end of the input. A line
// longer than any header is cut: the rest is passed over.
std::optional<std::string> riga_intestazione(std::istream& in) {
  std::string r;
  int c;
  while ((c = in.get()) != std::char_traits<char>::eof()) {
    if (c == '\n') {
      if (!r.empty() && r.back() == '\r') r.pop_back();
      return r;
    }
    if (r.size() < 4096) r.push_back(static_cast<char>(c));
  }
  return std::nullopt;
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

Cornice leggi_cornice(std::istream& in, std::string* corpo) {
  std::optional<size_t> lunghezza;
  bool valida = true;
  bool vuota = true;
  for (;;) {
    const std::optional<std::string> r = riga_intestazione(in);
    if (!r) return Cornice::fine;
    if (r->empty()) {
      // Blank lines between messages are no header at all.
      if (vuota) continue;
      break;
    }
    vuota = false;
    const size_t due_punti = r->find(':');
    if (due_punti == std::string::npos) {
      valida = false;
      continue;
    }
    if (in_minuscolo(senza_spazi(std::string_view(*r).substr(0, due_punti))) != "content-length")
      continue;
    const std::string_view v = senza_spazi(std::string_view(*r).substr(due_punti + 1));
    size_t n = 0;
    const auto [fine, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || fine != v.data() + v.size() || v.empty()) {
      valida = false;
    } else {
      lunghezza = n;
    }
  }
  if (!valida || !lunghezza) return Cornice::intestazione_errata;
  if (*lunghezza > kCorpoMassimo) {
    in.ignore(static_cast<std::streamsize>(*lunghezza));
    return in ? Cornice::intestazione_errata : Cornice::fine;
  }
  corpo->resize(*lunghezza);
  in.read(corpo->data(), static_cast<std::streamsize>(*lunghezza));
  if (static_cast<size_t>(in.gcount()) != *lunghezza) return Cornice::fine;
  return Cornice::messaggio;
}

std::string incornicia(std::string_view corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + std::string(corpo);
}

}  // namespace scenario::lsp

#include "tools/scenario/coerenza.h"

#include <iostream>
#include <system_error>

#include "base/testo.h"
#include "compiler/post/codici_gara.h"
#include "model/formato.h"
#include "model/identita.h"
#include "installer/avvio.h"
#include "tools/scenario/riga_comando.h"

namespace scenario {
namespace {

// The header's line length, or why it gives none a file could match.
std::optional<int32_t> lunghezza_linea(const Testata& t, std::string* motivo) {
  const int32_t m = t[kVoceDatiTreno].valore_due;
  if (m < 0 || m > kLunghezzaMassima) {
    *motivo = "la testata da' una linea di " + std::to_string(m) + " m, fuori da 0.." +
              std::to_string(kLunghezzaMassima);
    return std::nullopt;
  }
  return m;
}

}  // namespace

std::optional<std::string> celle_discordi(const Testata& t, const std::vector<Cella>& celle) {
  std::string motivo;
  const std::optional<int32_t> m = lunghezza_linea(t, &motivo);
  if (!m) return motivo;
  const size_t attese = celle_di_linea(*m);
  if (celle.size() != attese) {
    return "ha " + std::to_string(celle.size()) + " celle, la linea della testata (" +
           std::to_string(*m) + " m e " + std::to_string(kMetriProlungamento) +
           " di prolungamento) ne ha " + std::to_string(attese);
  }
  const int16_t codice = codice_gara_og(t);
  const int16_t stampato = celle[kCellaTimbro].dato_due;
  if (stampato != codice) {
    return "il codice d'identita' della cella " + std::to_string(kCellaTimbro) + " e' " +
           std::to_string(stampato) + ", quello della linea " +
           utf8_da_1252(t[kVoceLinea].testo) + " e del treno " +
           utf8_da_1252(t[kVoceTreno].testo) + " e' " + std::to_string(codice) +
           ": sono di un altro scenario";
  }
  return std::nullopt;
}

std::optional<std::string> piano_discorde(const Testata& t, size_t punti) {
  std::string motivo;
  const std::optional<int32_t> m = lunghezza_linea(t, &motivo);
  if (!m) return motivo;
  const size_t attesi = punti_di_linea(*m);
  if (punti == attesi) return std::nullopt;
  return "ha " + std::to_string(punti) + " punti, la linea della testata (" +
         std::to_string(*m) + " m e " + std::to_string(kMetriProlungamento) +
         " di prolungamento) ne ha " + std::to_string(attesi);
}

void richiedi_accordo(const std::filesystem::path& testata, const std::filesystem::path& altro,
                      const std::optional<std::string>& motivo) {
  if (!motivo) return;
  throw ErroreComando(uscita_errore_dati,
                      altro.string() + " non va con " + testata.string() + ": " + *motivo);
}

std::vector<std::filesystem::path> sorgenti_piu_recenti(
    const std::string& prefisso, const Testata& t,
    const std::vector<std::filesystem::path>& compilati) {
  std::error_code ec;
  std::optional<std::filesystem::file_time_type> piu_vecchio;
  for (const auto& c : compilati) {
    const auto tempo = std::filesystem::last_write_time(c, ec);
    if (ec) continue;
    if (!piu_vecchio || tempo < *piu_vecchio) piu_vecchio = tempo;
  }
  std::vector<std::filesystem::path> nuovi;
  if (!piu_vecchio) return nuovi;
  const Identita id{t[kVoceLinea].testo, t[kVoceTreno].testo};
  // A header whose names no file could carry has no sources to look for.
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) return nuovi;
  for (const std::string& nome : {nome_sorgente_linea(id), nome_sorgente_treno(id)}) {
    const std::filesystem::path p = prefisso + nome;
    const auto tempo = std::filesystem::last_write_time(p, ec);
    if (!ec && tempo > *piu_vecchio) nuovi.push_back(p);
  }
  return nuovi;
}

void avvisa_sorgenti_piu_recenti(std::string_view davanti, const std::string& prefisso,
                                 const Testata& t,
                                 const std::vector<std::filesystem::path>& compilati) {
  for (const auto& s : sorgenti_piu_recenti(prefisso, t, compilati)) {
    std::string nomi;
    for (const auto& c : compilati) {
      if (!nomi.empty()) nomi += ", ";
      nomi += c.string();
    }
    std::cerr << davanti << "attenzione: " << s.string() << " e' piu' recente di " << nomi
              << ": i file compilati non mostrano le sue ultime modifiche (ricompila)\n";
  }
}

}  // namespace scenario

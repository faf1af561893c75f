#include "views/significato.h"

#include <cmath>
#include <cstdio>

#include "base/testo.h"
#include "model/formato.h"
#include "views/ispezione.h"

namespace scenario {

namespace {

using V = ValoreDecodificato;

V metri(std::string_view nome, int64_t m) { return {nome, Unita::metri, m}; }
V kmh(std::string_view nome, int64_t v) { return {nome, Unita::kmh, v}; }
V numero(std::string_view nome, int64_t n) { return {nome, Unita::numero, n}; }
V testo(std::string_view nome, std::string s) { return {nome, Unita::testo, 0, std::move(s)}; }
V parola(std::string_view nome, std::string s) { return {nome, Unita::parola, 0, std::move(s)}; }

// A signal's field: the left aspect x 10 + the right one.
std::string aspetti(const Cella& c, bool sinistra) {
  std::string s;
  for (const int16_t v : {c.dato_uno, c.dato_due, c.dato_tre}) {
    if (!s.empty()) s += "-";
    s += std::to_string(sinistra ? v / 10 : v % 10);
  }
  return s;
}

// A speed indicator's field: the first-group speed x 20 plus the
// second-group speed / 5; speeds go in steps of 5 km/h, so the hundreds
// give the first and the rest the second.
std::string velocita_indicatore(int16_t v) {
  const int centinaia = static_cast<int>(std::floor(v / 100.0));
  return std::to_string(centinaia * kKmhPerPasso) + "/" +
         std::to_string((v - centinaia * 100) * kKmhPerPasso);
}

// Stations take entries 1, 2, ... up to the first empty one; boards count
// down from 80 and there is always an empty entry between the two.
bool voce_stazione(const Testata& t, size_t k) {
  if (k < 1 || k > static_cast<size_t>(kPrimaVoceCartello)) return false;
  for (size_t j = 1; j <= k; ++j) {
    if (t[j] == Voce{}) return false;
  }
  return true;
}

const Voce* voce_di(const Testata* t, int16_t k) {
  if (t == nullptr || k < 0 || k >= kVociTestata) return nullptr;
  return &(*t)[static_cast<size_t>(k)];
}

}  // namespace

std::string orario(int64_t secondi) {
  if (secondi < 0) return std::to_string(secondi) + " s";
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(secondi / 3600),
                static_cast<long long>(secondi / 60 % 60), static_cast<long long>(secondi % 60));
  return buf;
}

Significato significato_cella(const std::vector<Cella>& celle, size_t i, const Testata* t) {
  const Cella& c = celle[i];
  const auto ci = static_cast<int64_t>(i);
  Significato s{nome_tipo_cella(c.tipo_cella), {}};
  switch (c.tipo_cella) {
    case cella_segnale:
      s.valori = {metri("scritto_a", posizione_di_cella(ci)), parola("aspetti_sx", aspetti(c, true)),
                  parola("aspetti_dx", aspetti(c, false)), numero("rapp", c.dato_quattro / 10),
                  numero("sx", c.dato_quattro % 10 / 3), numero("dx", c.dato_quattro % 10 % 3),
                  numero("tempo", c.tempo_segnale)};
      break;
    case cella_inizio_rallentamento:
    case cella_fine_rallentamento:
      s.valori = {metri("scritto_a", posizione_di_cella(ci)), kmh("velocita", c.dato_uno),
                  numero("d_v", c.dato_due), numero("f_tt", c.dato_tre)};
      break;
    case cella_avviso_rallentamento:
      s.valori = {metri("rallentamento_a", posizione_di_cella(ci) + kMetriAvviso),
                  kmh("velocita", c.dato_uno), numero("d_v", c.dato_due)};
      break;
    case cella_preavviso:
      // The n-th pre-warning stands n - 1 cells before nearest((x - 1200) / 50).
      s.valori = {numero("numero", c.dato_uno),
                  metri("rallentamento_a", (ci + c.dato_uno - 1) * kMetriCella + kMetriAvviso)};
      break;
    case cella_indicatore:
      s.valori = {metri("scritto_a", posizione_di_cella(ci)),
                  parola("a_kmh", velocita_indicatore(c.dato_uno)),
                  parola("b_kmh", velocita_indicatore(c.dato_due)),
                  parola("c_kmh", velocita_indicatore(c.dato_tre)),
                  numero("strisce_sx", c.dato_quattro / 10), numero("strisce_dx", c.dato_quattro % 10)};
      break;
    case cella_fermata: {
      // The stop mark stands at nearest(zone end / 50 - 1).
      s.valori = {numero("stazione", c.dato_uno), metri("fine_zona", (ci + 1) * kMetriCella)};
      if (const Voce* v = voce_di(t, c.dato_uno)) s.valori.push_back(testo("nome", utf8_da_1252(v->testo)));
      break;
    }
    case cella_abbattimento:
      // Placed at nearest(p / 50), without the + 1 of signals.
      s.valori = {metri("scritto_a", ci * kMetriCella), kmh("velocita", c.dato_uno)};
      break;
    case cella_abbattimento_senza_valore: s.valori = {metri("scritto_a", ci * kMetriCella)}; break;
    case cella_cartello:
      s.valori = {metri("scritto_a", posizione_di_cella(ci)), numero("voce", c.dato_uno)};
      if (const Voce* v = voce_di(t, c.dato_uno)) s.valori.push_back(testo("testo", utf8_da_1252(v->testo)));
      break;
    default: break;
  }
  if (i == kCellaTimbro) {
    s.valori.push_back(numero("timbro", c.*kCampoTimbroCelle));
    s.valori.push_back(numero("codice_identita", c.dato_due));
  }
  if (c.codice_avvicinamento != 0) s.valori.push_back(numero("avvicinamento", c.codice_avvicinamento));
  if (c.struttura != 0) s.valori.push_back(numero("struttura", c.struttura));
  s.valori.push_back(kmh("velocita_treno", int64_t{c.velocita_treno} * kKmhPerPasso));
  if (c.pendenza != 0) {
    s.valori.push_back({"pendenza", Unita::per_mille, int64_t{c.pendenza} - kZeroPendenza});
  }
  s.valori.push_back(numero("aderenza", c.aderenza));
  return s;
}

Significato significato_voce(const Testata& t, size_t k) {
  const Voce& v = t[k];
  if (v == Voce{}) return {"", {}};
  if (voce_stazione(t, k)) {
    return {"stazione",
            {testo("nome", utf8_da_1252(v.testo)), numero("tipo", v.codice),
             metri("inizio_zona", v.valore_uno), metri("fine_zona", v.valore_due),
             metri("posizione", v.valore_tre), {"orario", Unita::orario, v.valore_quattro},
             numero("fermata", v.flag_due)}};
  }
  if (k >= 1 && k <= static_cast<size_t>(kPrimaVoceCartello)) {
    return {"cartello", {testo("testo", utf8_da_1252(v.testo))}};
  }
  switch (k) {
    case kVoceProgressivaTre:
    case kVoceProgressivaDue:
    case kVoceProgressivaUno:
      return {"progressiva_chilometrica",
              {metri("da", v.valore_uno), metri("scarto", v.valore_due),
               numero("opzione", v.valore_tre)}};
    case kVoceDatiTreno:
      return {"dati",
              {numero("massa_frenata_percento", v.valore_uno), metri("lunghezza", v.valore_due),
               numero("vetture", v.valore_tre)}};
    case kVoceLinea:
      return {"linea",
              {testo("linea", utf8_da_1252(v.testo)), numero("sfondo_uno", v.valore_uno),
               numero("sfondo_tre", v.valore_due), numero("sfondo_due", v.valore_tre),
               numero("timbro", v.*kCampoTimbroTestata), numero("codice_identita", v.valore_quattro)}};
    case kVoceTreno:
      return {"treno",
              {testo("treno", utf8_da_1252(v.testo)), metri("ripetizione_da", v.valore_uno),
               metri("ripetizione_a", v.valore_due), numero("codici", v.valore_tre),
               numero("sabbia", v.intero_uno),
               {"orologio", Unita::orario,
                int64_t{v.intero_tre} * 3600 + int64_t{v.intero_quattro} * 60 + v.intero_cinque}}};
    default: return {"", {}};
  }
}

void scrivi_valori(const Significato& s, std::string* out) {
  bool primo = true;
  for (const ValoreDecodificato& v : s.valori) {
    if (!primo) out->push_back(' ');
    primo = false;
    out->append(v.nome).push_back('=');
    switch (v.unita) {
      case Unita::numero: out->append(std::to_string(v.numero)); break;
      case Unita::metri: out->append(std::to_string(v.numero)).append("m"); break;
      case Unita::kmh: out->append(std::to_string(v.numero)).append("km/h"); break;
      case Unita::per_mille:
        out->append(v.numero > 0 ? "+" : "").append(std::to_string(v.numero)).append("‰");
        break;
      case Unita::orario: out->append(orario(v.numero)); break;
      case Unita::parola: out->append(v.testo); break;
      case Unita::testo:
        // Quoted, with what a terminal could act on escaped.
        out->push_back('"');
        for (const char ch : v.testo) {
          const auto b = static_cast<unsigned char>(ch);
          if (b < 0x20 || b == 0x7F) {
            static constexpr char kEsa[] = "0123456789ABCDEF";
            out->append("\\x").push_back(kEsa[b >> 4]);
            out->push_back(kEsa[b & 0xF]);
          } else {
            if (ch == '"' || ch == '\\') out->push_back('\\');
            out->push_back(ch);
          }
        }
        out->push_back('"');
        break;
    }
  }
}

}  // namespace scenario

#include "compiler/tipi_record.h"

#include "compiler/line/record_linea.h"
#include "compiler/train/record_treno.h"

namespace scenario {

namespace {

constexpr std::string_view kIntestazioniLinea[] = {
    kIntestazioneGenerale, "[curve]",       "[pendenze]", "[montagne]",
    "[cartelli]",          "[indicazioni]", "[fine]"};
constexpr std::string_view kIntestazioniTreno[] = {
    kIntestazioneGenerale, "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]",     "[segnali]",  "[codici]",     "[fine]"};

// The fields of each kind, in the order its handler reads them.
constexpr CampoRecord kLunghezza[] = {{"lunghezza", "m", "lunghezza della linea"}};
constexpr CampoRecord kProgressiva[] = {
    {"posizione", "m", "punto della linea"},
    {"distanza", "m", "progressiva al punto, con segno"},
    {"indicatore", "", "1 aggiunge 100 alla distanza"},
};
constexpr CampoRecord kSfondo[] = {{"valore", "", "valore dello sfondo"}};
constexpr CampoRecord kRipetizione[] = {
    {"inizio", "m", "inizio della zona di ripetizione"},
    {"fine", "m", "fine della zona di ripetizione"},
};
constexpr CampoRecord kPendenza[] = {
    {"posizione", "m", "inizio della pendenza"},
    {"pendenza", "per mille", "pendenza, con segno"},
};
constexpr CampoRecord kCurva[] = {
    {"inizio", "m", "inizio della curva"},
    {"lunghezza", "m", "lunghezza della curva"},
};
constexpr CampoRecord kMontagna[] = {
    {"inizio", "m", "inizio della struttura"},
    {"fine", "m", "fine della struttura"},
    {"tipo", "", "tipo di struttura; sopra 10 e' lunga"},
};
constexpr CampoRecord kIndicatori[] = {
    {"posizione", "m", "punto dell'indicatore"},
    {"vas", "km/h", "velocita A del primo gruppo"},
    {"vbs", "km/h", "velocita B del primo gruppo"},
    {"vcs", "km/h", "velocita C del primo gruppo"},
    {"strisces", "", "strisce del primo gruppo"},
    {"vad", "km/h", "velocita A del secondo gruppo"},
    {"vbd", "km/h", "velocita B del secondo gruppo"},
    {"vcd", "km/h", "velocita C del secondo gruppo"},
    {"strisced", "", "strisce del secondo gruppo"},
};
constexpr CampoRecord kCartello[] = {
    {"posizione", "m", "punto del cartello"},
    {"testo", "", "righe del cartello, ciascuna tra parentesi"},
};
constexpr CampoRecord kMassaFrenata[] = {{"percentuale", "%", "percentuale di massa frenata"}};
constexpr CampoRecord kVetture[] = {{"vetture", "", "numero di vetture"}};
constexpr CampoRecord kVelocita[] = {
    {"posizione", "m", "da dove vale il limite"},
    {"velocita", "km/h", "limite di velocita"},
};
constexpr CampoRecord kAderenza[] = {
    {"posizione", "m", "da dove vale l'aderenza"},
    {"aderenza", "", "valore dell'aderenza"},
};
constexpr CampoRecord kOrologio[] = {
    {"ore", "h", "ora di partenza"},
    {"minuti", "min", "minuti di partenza"},
    {"secondi", "s", "secondi di partenza"},
};
constexpr CampoRecord kSabbia[] = {{"sabbia", "", "valore della sabbia"}};
constexpr CampoRecord kSegnale[] = {
    {"posizione", "m", "punto del segnale"},      {"sx", "", "tipo del lato sinistro"},
    {"s1", "", "primo valore del lato sinistro"}, {"s2", "", "secondo valore del lato sinistro"},
    {"s3", "", "terzo valore del lato sinistro"}, {"rapp", "", "decine del quarto valore"},
    {"dx", "", "tipo del lato destro"},           {"d1", "", "primo valore del lato destro"},
    {"d2", "", "secondo valore del lato destro"}, {"d3", "", "terzo valore del lato destro"},
    {"tempo", "", "tempo, tenuto solo con sx 2"},
};
constexpr CampoRecord kRallentamento[] = {
    {"inizio", "m", "inizio del rallentamento"},
    {"velocita", "km/h", "velocita del rallentamento"},
    {"lunghezza", "m", "lunghezza del rallentamento"},
    {"f_tt", "", "valore nelle celle di inizio e fine"},
    {"preavviso", "", "non zero: le quattro celle di preavviso"},
    {"d_v", "", "non zero: secondo valore nelle celle"},
};
constexpr CampoRecord kAbbattimento[] = {
    {"posizione", "m", "punto del codice"},
    {"valore", "", "valore del codice"},
};
constexpr CampoRecord kStazione[] = {
    {"posizione", "m", "punto della stazione"},
    {"tipo", "", "tipo di stazione: regola della zona e segni"},
    {"zona", "m", "lunghezza della zona"},
    {"opzione", "", "primo indicatore"},
    {"zona lunga", "", "indicatore di zona lunga"},
    {"estensione", "", "non zero: la zona finisce 50 m dopo"},
    {"gruppo uno a", "", "primo valore del primo gruppo"},
    {"gruppo uno b", "", "secondo valore del primo gruppo"},
    {"gruppo uno c", "", "terzo valore del primo gruppo"},
    {"gruppo due a", "", "primo valore del secondo gruppo"},
    {"gruppo due b", "", "secondo valore del secondo gruppo"},
    {"gruppo due c", "", "terzo valore del secondo gruppo"},
    {"fermata", "", "byte di fermata"},
    {"ore", "h", "ora dell'orario"},
    {"minuti", "min", "minuti dell'orario"},
    {"secondi", "s", "secondi dell'orario"},
    {"nome", "", "nome della stazione"},
};

using L = LetturaRecord;
using T = TipoRecord;
constexpr Confronto kEsatto = Confronto::esatto;
constexpr Confronto kMaiuscole = Confronto::senza_maiuscole;

// In the order the reader tries them. The general keys but the length match
// in small letters only.
// clang-format off
constexpr DefinizioneRecord kTipi[] = {
    {T::lunghezza, L::generale_linea, false, "percorso", "lunghezza", kMaiuscole, chiave_lunghezza,
     "lunghezza percorso", "[generale]", "lunghezza", {"lunghezza percorso"}, kLunghezza},
    {T::progressiva_tre, L::generale_linea, false, "tre", "progressiva", kEsatto,
     chiave_progressiva_tre, "progressiva chilometrica tre", "[generale]", "progressiva",
     {}, kProgressiva},
    {T::progressiva_due, L::generale_linea, false, "due", "progressiva", kEsatto,
     chiave_progressiva_due, "progressiva chilometrica due", "[generale]", "progressiva",
     {}, kProgressiva},
    {T::progressiva_uno, L::generale_linea, false, "uno", "progressiva", kEsatto,
     chiave_progressiva_uno, "progressiva chilometrica uno", "[generale]", "progressiva",
     {"progressiva chilometrica uno"}, kProgressiva},
    {T::sfondo_uno, L::generale_linea, false, "sfondo", "uno", kEsatto, chiave_sfondo_uno,
     "sfondo uno", "[generale]", "sfondo", {"sfondo uno"}, kSfondo},
    {T::sfondo_due, L::generale_linea, false, "sfondo", "due", kEsatto, chiave_sfondo_due,
     "sfondo due", "[generale]", "sfondo", {}, kSfondo},
    {T::sfondo_tre, L::generale_linea, false, "sfondo", "tre", kEsatto, chiave_sfondo_tre,
     "sfondo tre", "[generale]", "sfondo", {}, kSfondo},
    {T::ripetizione, L::generale_linea, false, "segnali", "ripetizione", kEsatto,
     chiave_ripetizione, "ripetizione segnali", "[generale]", "ripetizione",
     {"ripetizione segnali"}, kRipetizione},
    {T::pendenza, L::successive_linea, true, "pendenza", "", kMaiuscole, record_pendenza,
     "pendenza", "[pendenze]", "pendenza", {"pendenza"}, kPendenza},
    // The class digit and the side letter are read from the keyword field.
    {T::curva, L::successive_linea, true, "curva", "", kMaiuscole, record_curva,
     "curva", "[curve]", "curva", {"curvad", "curvas"}, kCurva},
    {T::montagna, L::successive_linea, true, "montagna", "", kMaiuscole, record_montagna,
     "montagna", "[montagne]", "montagna", {"montagna"}, kMontagna},
    {T::indicatori, L::successive_linea, true, "indicatori_v", "", kMaiuscole, record_indicatori,
     "indicatori_vmax", "[cartelli]", "indicatori_v", {"indicatori_vmax"}, kIndicatori},
    {T::cartello, L::successive_linea, true, "cartello", "indicat", kMaiuscole, record_cartello,
     "cartello_indicatore", "[indicazioni]", "cartello", {"cartello_indicatore"}, kCartello},
    {T::massa_frenata, L::treno, false, "frenata", "massa", kMaiuscole, record_massa_frenata,
     "percentuale massa frenata", "[generale]", "percentuale",
     {"percentuale massa frenata"}, kMassaFrenata},
    {T::vetture, L::treno, false, "vetture", "", kMaiuscole, record_vetture,
     "numero vetture", "[generale]", "numero", {"numero vetture"}, kVetture},
    {T::velocita, L::treno, true, "velocit", "", kMaiuscole, record_velocita,
     "velocita", "[vel_limite]", "velocita", {"velocita"}, kVelocita},
    {T::aderenza, L::treno, true, "aderenza", "", kMaiuscole, record_aderenza,
     "aderenza", "[aderenze]", "aderenza", {"aderenza"}, kAderenza},
    {T::orologio, L::treno, false, "orologio", "", kMaiuscole, record_orologio,
     "orologio", "[generale]", "orologio", {"orologio"}, kOrologio},
    {T::sabbia, L::treno, false, "sabbia", "", kMaiuscole, record_sabbia,
     "sabbia", "[generale]", "sabbia", {"sabbia"}, kSabbia},
    {T::segnale, L::treno, true, "segnale", "", kMaiuscole, record_segnale,
     "segnale", "[segnali]", "segnale", {"segnale"}, kSegnale},
    {T::rallentamento, L::treno, true, "rallentamento", "", kMaiuscole, record_rallentamento,
     "rallentamento", "[rallentamenti]", "rallentamento", {"rallentamento"}, kRallentamento},
    {T::abbattimento, L::treno, true, "abbattimento", "", kMaiuscole, record_abbattimento,
     "abbattimento", "[codici]", "abbattimento", {"abbattimento"}, kAbbattimento},
    {T::stazione, L::treno, true, "stazione", "", kMaiuscole, record_stazione,
     "stazione", "[stazioni]", "stazione", {"stazione"}, kStazione},
};
// clang-format on
static_assert(std::size(kTipi) == kNumeroTipiRecord);

constexpr bool una_di(std::span<const std::string_view> hh, std::string_view h) {
  for (const std::string_view x : hh) {
    if (x == h) return true;
  }
  return false;
}

// Each kind stands at its own place, each part's kinds in one run, each
// under a heading of its own file.
constexpr bool in_ordine() {
  for (size_t i = 0; i < std::size(kTipi); ++i) {
    if (static_cast<size_t>(kTipi[i].tipo) != i) return false;
    if (i > 0 && kTipi[i].lettura < kTipi[i - 1].lettura) return false;
    const bool linea = kTipi[i].lettura != LetturaRecord::treno;
    if (!una_di(linea ? std::span<const std::string_view>(kIntestazioniLinea)
                      : std::span<const std::string_view>(kIntestazioniTreno),
                kTipi[i].intestazione)) {
      return false;
    }
  }
  return true;
}
static_assert(in_ordine());

}  // namespace

std::span<const std::string_view> intestazioni(FileSorgente f) {
  if (f == FileSorgente::linea) return kIntestazioniLinea;
  return kIntestazioniTreno;
}

std::span<const DefinizioneRecord> tipi_record() { return kTipi; }

const DefinizioneRecord& definizione(TipoRecord t) { return kTipi[static_cast<size_t>(t)]; }

std::span<const DefinizioneRecord> tipi_letti(LetturaRecord l) {
  size_t da = 0;
  while (da < std::size(kTipi) && kTipi[da].lettura != l) ++da;
  size_t a = da;
  while (a < std::size(kTipi) && kTipi[a].lettura == l) ++a;
  return std::span<const DefinizioneRecord>(kTipi).subspan(da, a - da);
}

}  // namespace scenario

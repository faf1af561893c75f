#include "compiler/codici_errore.h"

namespace scenario {

namespace {

using enum Codice;
using enum Fase;

constexpr VoceCodice kCodici[] = {
    {nessuno, Fase::nessuna, "nessun errore"},
    {lunghezza_fuori_limiti, linea, "lunghezza del percorso fuori dai limiti (0-1000000)"},
    {progressiva_fuori_griglia, treno, "progressiva chilometrica non multipla di 50"},
    {inizio_ripetizione_fuori_griglia, linea,
     "inizio della zona di ripetizione segnali non multiplo di 50"},
    {fine_ripetizione_fuori_griglia, linea,
     "fine della zona di ripetizione segnali non multipla di 50"},
    {ripetizione_senza_codici, linea, "ripetizione segnali senza 4 o 9 codici"},
    {cartello_su_cella_occupata, linea, "cartello su una cella occupata"},
    {abbattimento_su_cella_occupata, treno, "abbattimento su una cella occupata"},
    {stazione_fuori_griglia, treno, "posizione della stazione non multipla di 50"},
    {zona_stazione_fuori_griglia, treno, "lunghezza della zona di stazione non multipla di 100"},
    {troppe_stazioni, treno, "troppe stazioni per le voci libere sotto i cartelli"},
    {segnale_senza_punto_codice, percorso,
     "nessuna cella libera per il punto codice prima del segnale"},
    {avvicinamento_senza_punto_codice, percorso,
     "nessuna cella libera per il punto codice prima del rallentamento"},
    {percorso_senza_punto_codice, percorso,
     "nessuna cella libera per il punto codice nel o dopo il rallentamento"},
    {oltre_la_linea, lettura, "posizione oltre la fine del binario"},
    {segnale_su_cella_occupata, treno, "segnale su una cella occupata"},
    {avviso_occupato, treno, "cella di avviso del rallentamento occupata"},
    {inizio_rallentamento_occupato, treno, "cella di inizio del rallentamento occupata"},
    {fine_rallentamento_occupata, treno, "cella di fine del rallentamento occupata"},
    {preavviso_occupato, treno, "cella di preavviso del rallentamento occupata"},
    {indicatore_su_cella_occupata, linea, "indicatore di velocita su una cella occupata"},
    {stazioni_troppo_vicine, treno, "zona di stazione a meno di 350 m dalla precedente"},
    {stazione_vicina_all_inizio, treno, "zona di stazione troppo vicina all'inizio della linea"},
    {dato_illeggibile, lettura, "dato illeggibile o fuori dai limiti"},
    {linea_mancante, linea, "file della linea mancante"},
    {linea_senza_generale, linea, "file della linea senza [generale]"},
    {curva_errata, linea, "curva senza classe o tracciato oltre il limite"},
    {timbro_presente, timbri, "timbro di formato gia' presente"},
    {identita_presente, timbri, "codice di identita' gia' presente"},
};

const VoceCodice* voce_di(int32_t n) {
  for (const VoceCodice& v : kCodici) {
    if (numero(v.codice) == n) return &v;
  }
  return nullptr;
}

}  // namespace

std::span<const VoceCodice> codici_errore() { return kCodici; }

std::optional<Codice> codice_di(int32_t n) {
  const VoceCodice* v = voce_di(n);
  return v ? std::optional<Codice>(v->codice) : std::nullopt;
}

Fase fase(Codice c) {
  const VoceCodice* v = voce_di(numero(c));
  return v ? v->fase : Fase::nessuna;
}

std::string_view significato_errore(int32_t n) {
  const VoceCodice* v = voce_di(n);
  return v ? v->significato : "errore sconosciuto";
}

}  // namespace scenario

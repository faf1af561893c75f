#include "compiler/codici_errore.h"

namespace scenario {

std::string_view significato_errore(int32_t codice) {
  switch (codice) {
    case 0: return "nessun errore";
    case 1: return "lunghezza del percorso fuori dai limiti (0-1000000)";
    case 2: return "progressiva chilometrica non multipla di 50";
    case 3: return "inizio della zona di ripetizione segnali non multiplo di 50";
    case 4: return "fine della zona di ripetizione segnali non multipla di 50";
    case 5: return "ripetizione segnali senza 4 o 9 codici";
    case 6: return "cartello su una cella occupata";
    case 7: return "abbattimento su una cella occupata";
    case 8: return "posizione della stazione non multipla di 50";
    case 9: return "lunghezza della zona di stazione non multipla di 100";
    case 10: return "troppe stazioni per le voci libere sotto i cartelli";
    case 11: return "nessuna cella libera per il punto codice prima del segnale";
    case 12: return "nessuna cella libera per il punto codice prima del rallentamento";
    case 13: return "nessuna cella libera per il punto codice nel o dopo il rallentamento";
    case 15: return "posizione oltre la fine del binario";
    case 16: return "segnale su una cella occupata";
    case 17: return "cella di avviso del rallentamento occupata";
    case 18: return "cella di inizio del rallentamento occupata";
    case 19: return "cella di fine del rallentamento occupata";
    case 20: return "cella di preavviso del rallentamento occupata";
    case 21: return "indicatore di velocita su una cella occupata";
    case 22: return "zona di stazione a meno di 350 m dalla precedente";
    case 24: return "zona di stazione troppo vicina all'inizio della linea";
    case 25: return "dato illeggibile o fuori dai limiti";
    case 101: return "file della linea mancante";
    case 102: return "file della linea senza [generale]";
    case 103: return "curva senza classe o tracciato oltre il limite";
    case 1250: return "timbro di formato gia presente";
    case 1251: return "codice di identita gia presente";
    default: return "errore sconosciuto";
  }
}

}  // namespace scenario

#include "tools/scenario/opzioni_avvisi.h"

#include <string_view>
#include <utility>

namespace scenario {

std::vector<Opzione> opzioni_avvisi() {
  return {{"-Wno-", "", "NOME", "non mostra l'avviso NOME", true},
          {"-w", "", "", "non mostra nessun avviso"},
          {"-Werror", "", "", "tratta ogni avviso come un errore"},
          {"-Werror=", "", "NOME", "tratta l'avviso NOME come un errore", true}};
}

std::string nomi_avvisi() {
  std::string s;
  for (const Avviso a : avvisi()) {
    if (!s.empty()) s += ", ";
    s += nome_avviso(a);
  }
  return s;
}

void leggi_opzioni_avvisi(const Argomenti& a, OpzioniControllo* opzioni) {
  const std::pair<const char*, std::bitset<kNumeroAvvisi>*> famiglie[] = {
      {"-Wno-", &opzioni->spenti}, {"-Werror=", &opzioni->errori}};
  for (const auto& [opzione, insieme] : famiglie) {
    for (const std::string& nome : a.valori(opzione)) {
      const std::optional<Avviso> avviso = avviso_di_nome(nome);
      if (!avviso) {
        std::vector<std::string_view> nomi;
        for (const Avviso n : avvisi()) nomi.push_back(nome_avviso(n));
        const std::string vicino = forse(nome, nomi, opzione);
        errore_uso("avviso sconosciuto: " + std::string(opzione) + nome +
                   (vicino.empty() ? " (avvisi: " + nomi_avvisi() + ")" : vicino));
      }
      insieme->set(static_cast<size_t>(*avviso));
    }
  }
  if (a.ha("-w")) opzioni->spenti.set();
  if (a.ha("-Werror")) opzioni->errori.set();
}

}  // namespace scenario

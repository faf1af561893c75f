// scenario watch: check, compile and picture again each time a source is
// saved.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "installer/avvio.h"
#include "platform/osservatore.h"
#include "tools/scenario/comandi.h"

namespace scenario {
namespace {

// How long a source must stay as it is (no change seen, size and time the
// same) before it is read: an editor's save in several writes is one.
constexpr int kQuieteMs = 30;
// A writer that keeps the file open longer than this is not waited for.
constexpr auto kAttesaMassima = std::chrono::seconds(2);

struct Impronta {
  std::optional<uintmax_t> dimensione;
  std::optional<std::filesystem::file_time_type> ora;
  bool operator==(const Impronta&) const = default;
};

Impronta impronta(const std::filesystem::path& p) {
  std::error_code ec;
  Impronta i;
  if (const auto d = std::filesystem::file_size(p, ec); !ec) i.dimensione = d;
  if (const auto t = std::filesystem::last_write_time(p, ec); !ec) i.ora = t;
  return i;
}

// One round: what check, compile and plot say of the sources now, each run
// as its own command line (`parole`: LINEA TRENO and the folder) would run
// it.
void giro(std::span<const std::string_view> parole) {
  std::cout << "== check\n" << std::flush;
  esegui_sottocomando(comando_check(), parole);
  std::cout << "== compile\n" << std::flush;
  const int compilato = esegui_sottocomando(comando_compile(), parole);
  std::cout.flush();
  // The picture of what was written; after 1250/1251 or a failure nothing
  // was.
  if (compilato == uscita_ok || compilato == uscita_errore_dati) {
    std::cout << "== plot\n" << std::flush;
    // plot names the file it wrote.
    esegui_sottocomando(comando_plot(), parole);
  }
  std::cout << "== fine\n" << std::flush;
}

int esegui(const Richiesta& a) {
  const Identita& id = a.id;
  const std::filesystem::path& dir = a.dir;
  const std::string sorgenti[] = {nome_sorgente_linea(id), nome_sorgente_treno(id)};
  // Which of the two a name is, if either.
  const auto quale = [&sorgenti](const std::string& n) -> int {
    return n == sorgenti[0] ? 0 : n == sorgenti[1] ? 1 : -1;
  };
  // check, compile and plot take the identity and the folder only.
  std::vector<std::string_view> comune = {id.linea, id.treno};
  const std::optional<std::string> d = a.valore(kOpzioneDir.nome);
  if (d) {
    comune.push_back(kOpzioneDir.nome);
    comune.push_back(*d);
  }
  {
    OsservatoreCartella osservatore(dir);
    std::cout << "osservo " << (dir / sorgenti[0]).string() << " e " << (dir / sorgenti[1]).string()
              << " (Ctrl+C per finire)\n";
    giro(comune);
    for (;;) {
      std::optional<std::vector<Cambio>> cc = osservatore.attendi(-1);
      if (!cc) break;
      // Per source: still being written (changed, not yet closed).
      bool in_scrittura[2] = {false, false};
      bool toccato = false;
      for (const Cambio& c : *cc) {
        if (const int k = quale(c.nome); k >= 0) {
          toccato = true;
          in_scrittura[k] = !c.finito;
        }
      }
      if (!toccato) continue;
      // Settles: no change for a while, the writer done, the sizes and
      // times the same twice.
      const auto inizio = std::chrono::steady_clock::now();
      bool interrotto = false;
      for (;;) {
        const Impronta prima[] = {impronta(dir / sorgenti[0]), impronta(dir / sorgenti[1])};
        cc = osservatore.attendi(kQuieteMs);
        if (!cc) {
          interrotto = true;
          break;
        }
        bool nuovi = false;
        for (const Cambio& c : *cc) {
          if (const int k = quale(c.nome); k >= 0) {
            nuovi = true;
            in_scrittura[k] = !c.finito;
          }
        }
        const bool scaduto = std::chrono::steady_clock::now() - inizio > kAttesaMassima;
        if ((in_scrittura[0] || in_scrittura[1]) && !scaduto) continue;
        if (nuovi && !scaduto) continue;
        const Impronta dopo[] = {impronta(dir / sorgenti[0]), impronta(dir / sorgenti[1])};
        if ((prima[0] == dopo[0] && prima[1] == dopo[1]) || scaduto) break;
      }
      if (interrotto) break;
      const std::time_t ora = std::time(nullptr);
      char quando[16];
      std::strftime(quando, sizeof quando, "%H:%M:%S", std::localtime(&ora));
      std::cout << "-- " << quando << " salvato\n";
      giro(comune);
    }
    std::cout << "fine dell'osservazione\n";
    return uscita_ok;
  }
}

}  // namespace

Sottocomando comando_watch() {
  return {
      .nome = "watch",
      .descrizione =
          "Osserva DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt e, all'inizio e a ogni\n"
          "salvataggio di uno dei due, stampa le diagnostiche come 'scenario check',\n"
          "compila come 'scenario compile' e ridisegna DIR/LINEA_TRENO.svg come\n"
          "'scenario plot'. Un salvataggio in corso si attende finche' il file non\n"
          "cambia piu'. Ctrl+C finisce.\n"
          "Stato d'uscita: 0 dopo Ctrl+C, 3 errore del sistema, 64 uso errato.\n",
      .identita = FonteIdentita::argomenti,
      .cartella = true,
      .esegui = esegui,
  };
}

}  // namespace scenario

// scenario: the author tool. Every subcommand lives in its own file; this
// is the table that names them.
#include <vector>

#include "installer/uscita.h"
#include "platform/memoria.h"
#include "tools/scenario/comandi.h"

int main(int argc, char** argv) {
  using namespace scenario;
  const std::vector<Sottocomando> comandi = {
      comando_compile(), comando_check(),  comando_emit(),      comando_inspect(), comando_plot(),
      comando_pack(),    comando_unpack(), comando_decompile(), comando_lsp(),     comando_watch(),
  };
  // Standard output and error checked to the last byte, a failure with its
  // reason.
  prepara_uscite();
  tieni_memoria_liberata();
  return stato_finale(esegui_riga_comando(comandi, SCENARIO_VERSIONE, argc, argv));
}

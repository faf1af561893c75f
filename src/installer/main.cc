// The installer: one run, no arguments.
#include "installer/avvio.h"
#include "installer/marca_stub.h"

namespace {

// What tells `scenario pack` that this program is the stub.
constexpr auto kMarca = scenario::marca_in_chiaro(scenario::kMarcaStubComplementata);
const auto marca = kMarca;

}  // namespace

int main() {
  // Read once, so that neither the compiler nor the linker drops the mark.
  static_cast<void>(*static_cast<const volatile char*>(marca.data()));
  auto piattaforma = scenario::crea_piattaforma();
  return scenario::avvio(*piattaforma);
}

#include "pack/eseguibile.h"

#include <gtest/gtest.h>

#include "tests/support/eseguibili.h"

namespace scenario {
namespace {

std::optional<uint64_t> fine(const std::string& f) {
  LettoreMemoria l(f);
  return fine_immagine(l);
}
TipoEseguibile tipo(const std::string& f) {
  LettoreMemoria l(f);
  return tipo_eseguibile(l);
}

TEST(Eseguibile, EndOfTheProgramFromItsHeaders) {
  struct Caso {
    const char* nome;
    std::string file;
    TipoEseguibile tipo;
  };
  const Caso casi[] = {
      {"ELF64, section table last", test::elf64_minimo(1000), TipoEseguibile::elf},
      {"ELF32, program header only", test::elf32_minimo(777), TipoEseguibile::elf},
      {"PE, sections only", test::pe_minimo(512), TipoEseguibile::pe},
      {"PE with COFF symbols and strings", test::pe_minimo(512, 3), TipoEseguibile::pe},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(tipo(c.file), c.tipo);
    EXPECT_EQ(fine(c.file), c.file.size());
    // Bytes appended do not move the end.
    EXPECT_EQ(fine(c.file + std::string(300, '\x55')), c.file.size());
  }
}

TEST(Eseguibile, UnknownHeadersGiveNoEnd) {
  std::string pe_altrove = test::pe_minimo(512, 3);
  pe_altrove[0x3C] = '\x70';  // e_lfanew to where no signature is
  std::string sezioni_piccole = test::elf64_minimo(100);
  sezioni_piccole[0x3A] = 8;  // section headers of 8 bytes cannot be read
  struct Caso {
    const char* nome;
    std::string file;
  };
  const Caso casi[] = {
      {"empty", ""},
      {"text", "#!/bin/sh\necho ciao\n"},
      {"MZ without PE", pe_altrove},
      {"ELF with entries too small", sezioni_piccole},
  };
  for (const Caso& c : casi) EXPECT_EQ(fine(c.file), std::nullopt) << c.nome;
  EXPECT_EQ(tipo("#!/bin/sh\n"), TipoEseguibile::sconosciuto);
  EXPECT_EQ(tipo(pe_altrove), TipoEseguibile::sconosciuto);
}

// A file cut short still claims the program's whole length, so the cut can
// be told from a program with nothing appended. Offsets and sizes that add
// past 2^64 give the largest end, never a small one.
TEST(Eseguibile, CutShortFileClaimsItsWholeLength) {
  const std::string elf = test::elf64_minimo(1000);
  const std::string elf32 = test::elf32_minimo(777);
  const std::string pe = test::pe_minimo(512, 3);
  std::string sezione_enorme = elf;
  for (int i = 0; i < 8; ++i) sezione_enorme[elf.size() - 64 + 0x20 + i] = '\xFF';
  std::string tabella_lontana = elf;
  for (int i = 0; i < 8; ++i) tabella_lontana[0x28 + i] = '\xFF';
  constexpr uint64_t kMassimo = UINT64_MAX;
  struct Caso {
    const char* nome;
    std::string file;
    uint64_t fine;
  };
  const Caso casi[] = {
      {"ELF cut inside its section table", elf.substr(0, elf.size() - 10), elf.size()},
      {"ELF cut inside its body", elf.substr(0, 500), elf.size()},
      {"ELF32 cut inside its body", elf32.substr(0, 100), elf32.size()},
      // The string table's size is cut off with it: its size field counts.
      {"PE cut inside its symbols", pe.substr(0, pe.size() - 12), pe.size() - 6},
      {"PE cut inside its section", pe.substr(0, 300), pe.size() - 6},
      {"section up to 2^64", sezione_enorme, kMassimo},
      {"section table at 2^64 - 1", tabella_lontana, kMassimo},
  };
  for (const Caso& c : casi) EXPECT_EQ(fine(c.file), c.fine) << c.nome;
}

}  // namespace
}  // namespace scenario

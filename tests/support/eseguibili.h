// Test support: the smallest executables whose headers say where the
// program ends, to stand for a stub without linking one.
#ifndef SCENARIO_TESTS_SUPPORT_ESEGUIBILI_H_
#define SCENARIO_TESTS_SUPPORT_ESEGUIBILI_H_

#include <cstdint>
#include <string>

#include "base/coding.h"

namespace scenario::test {

// A 64-bit ELF file: the header, `corpo` bytes, then a table of two section
// headers (the null one and one section over the body). It ends with its
// section table.
inline std::string elf64_minimo(size_t corpo) {
  std::string f(
      "\x7F"
      "ELF\x02\x01\x01",
      7);
  f.resize(0x20, '\0');
  PutFixed64(&f, 0);           // e_phoff
  PutFixed64(&f, 64 + corpo);  // e_shoff
  f.resize(0x3A, '\0');
  PutFixed16(&f, 64);  // e_shentsize
  PutFixed16(&f, 2);   // e_shnum
  f.resize(64, '\0');
  f.append(corpo, '\xAB');
  f.append(64, '\0');  // the null section
  std::string sezione;
  PutFixed32(&sezione, 0);
  PutFixed32(&sezione, 1);  // SHT_PROGBITS
  sezione.resize(0x18, '\0');
  PutFixed64(&sezione, 64);     // sh_offset
  PutFixed64(&sezione, corpo);  // sh_size
  sezione.resize(64, '\0');
  return f + sezione;
}

// A 32-bit ELF file: the header and one program header over `corpo` bytes
// that follow; no section table.
inline std::string elf32_minimo(size_t corpo) {
  std::string f(
      "\x7F"
      "ELF\x01\x01\x01",
      7);
  f.resize(0x1C, '\0');
  PutFixed32(&f, 52);  // e_phoff
  PutFixed32(&f, 0);   // e_shoff
  f.resize(0x2A, '\0');
  PutFixed16(&f, 32);  // e_phentsize
  PutFixed16(&f, 1);   // e_phnum
  f.resize(52, '\0');
  PutFixed32(&f, 1);   // PT_LOAD
  PutFixed32(&f, 84);  // p_offset
  f.resize(52 + 0x10, '\0');
  PutFixed32(&f, static_cast<uint32_t>(corpo));  // p_filesz
  f.resize(84, '\0');
  f.append(corpo, '\xCD');
  return f;
}

// A PE file: DOS header, signature, COFF header, no optional header, one
// section of `corpo` bytes; with `simboli`, a COFF symbol table of that
// many entries and a string table of 10 bytes after the section.
inline std::string pe_minimo(size_t corpo, uint32_t simboli = 0) {
  std::string f = "MZ";
  f.resize(0x3C, '\0');
  PutFixed32(&f, 64);  // e_lfanew
  f += std::string("PE\0\0", 4);
  PutFixed16(&f, 0x8664);  // machine
  PutFixed16(&f, 1);       // sections
  PutFixed32(&f, 0);
  const uint32_t dati = 64 + 24 + 40;
  PutFixed32(&f, simboli == 0 ? 0 : dati + static_cast<uint32_t>(corpo));  // symbol table
  PutFixed32(&f, simboli);
  PutFixed16(&f, 0);  // no optional header
  PutFixed16(&f, 0);
  std::string sezione = ".text";
  sezione.resize(16, '\0');
  PutFixed32(&sezione, static_cast<uint32_t>(corpo));  // SizeOfRawData
  PutFixed32(&sezione, dati);                          // PointerToRawData
  sezione.resize(40, '\0');
  f += sezione;
  f.append(corpo, '\xEF');
  if (simboli != 0) {
    f.append(18 * simboli, '\x11');
    PutFixed32(&f, 10);  // the size field and six bytes of names
    f.append("abc\0de", 6);
  }
  return f;
}

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_SUPPORT_ESEGUIBILI_H_

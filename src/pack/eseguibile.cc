#include "pack/eseguibile.h"

#include <algorithm>
#include <limits>
#include <string>

#include "base/coding.h"

namespace scenario {

namespace {

// `n` bytes from `inizio`, or none when they do not all lie in the file.
std::optional<std::string> leggi_dentro(LettoreIntervalli& f, uint64_t inizio, uint64_t n) {
  const uint64_t d = f.dimensione();
  if (inizio > d || n > d - inizio) return std::nullopt;
  std::string b(static_cast<size_t>(n), '\0');
  f.leggi(inizio, b);
  return b;
}

// a + b, or the largest value when that does not fit: a corrupt header may
// hold any offset and size.
uint64_t somma(uint64_t a, uint64_t b) {
  return b > std::numeric_limits<uint64_t>::max() - a ? std::numeric_limits<uint64_t>::max()
                                                      : a + b;
}

// The first bytes, as many as the file has up to `n`.
std::string inizio(LettoreIntervalli& f, uint64_t n) {
  return *leggi_dentro(f, 0, std::min(n, f.dimensione()));
}

bool elf(std::string_view h) {
  return h.size() >= 52 &&
         h.substr(0, 4) ==
             "\x7F"
             "ELF" &&
         (h[4] == 1 || h[4] == 2) && h[5] == 1;
}

// Where the PE signature stands, when `h` is a DOS header that points at one.
std::optional<uint32_t> firma_pe(LettoreIntervalli& f, std::string_view h) {
  if (h.size() < 64 || h.substr(0, 2) != "MZ") return std::nullopt;
  const uint32_t pe = DecodeFixed32(h.data() + 0x3C);
  const auto firma = leggi_dentro(f, pe, 4);
  if (!firma || *firma != std::string_view("PE\0\0", 4)) return std::nullopt;
  return pe;
}

uint64_t prodotto(uint64_t a, uint64_t b) {
  return a != 0 && b > std::numeric_limits<uint64_t>::max() / a
             ? std::numeric_limits<uint64_t>::max()
             : a * b;
}

// A table of `n` entries of `passo` bytes at `da`, each of at least
// `minimo` bytes. Its end alone when it reaches past the end of the file
// (a file cut short), none when the entries are too small to be read.
struct Tabella {
  std::string byte;
  uint64_t fine = 0;
};
std::optional<Tabella> tabella(LettoreIntervalli& f, uint64_t da, uint64_t n, uint64_t passo,
                               uint64_t minimo) {
  if (n == 0) return Tabella{};
  if (passo < minimo) return std::nullopt;
  Tabella t;
  t.fine = somma(da, prodotto(n, passo));
  if (t.fine <= f.dimensione()) t.byte = *leggi_dentro(f, da, n * passo);
  return t;
}

struct CampiElf {
  uint64_t intestazione, phoff, shoff, phentsize, phnum, shentsize, shnum;
};

std::optional<uint64_t> fine_elf(LettoreIntervalli& f, std::string_view h) {
  const bool b64 = h[4] == 2;
  if (b64 && h.size() < 64) return std::nullopt;
  const char* p = h.data();
  const CampiElf e = b64 ? CampiElf{64,
                                    DecodeFixed64(p + 0x20),
                                    DecodeFixed64(p + 0x28),
                                    DecodeFixed16(p + 0x36),
                                    DecodeFixed16(p + 0x38),
                                    DecodeFixed16(p + 0x3A),
                                    DecodeFixed16(p + 0x3C)}
                         : CampiElf{52,
                                    DecodeFixed32(p + 0x1C),
                                    DecodeFixed32(p + 0x20),
                                    DecodeFixed16(p + 0x2A),
                                    DecodeFixed16(p + 0x2C),
                                    DecodeFixed16(p + 0x2E),
                                    DecodeFixed16(p + 0x30)};
  uint64_t fine = e.intestazione;
  const auto estendi = [&fine](uint64_t offset, uint64_t n) {
    fine = std::max(fine, somma(offset, n));
  };

  const auto ph = tabella(f, e.phoff, e.phnum, e.phentsize, b64 ? 56 : 32);
  if (!ph) return std::nullopt;
  estendi(ph->fine, 0);
  for (size_t o = 0; o < ph->byte.size(); o += e.phentsize) {
    const char* q = ph->byte.data() + o;
    if (b64) {
      estendi(DecodeFixed64(q + 8), DecodeFixed64(q + 0x20));
    } else {
      estendi(DecodeFixed32(q + 4), DecodeFixed32(q + 0x10));
    }
  }

  uint64_t sezioni = e.shnum;
  if (sezioni == 0 && e.shoff != 0) {  // many sections: the count is in section 0
    const auto zero = tabella(f, e.shoff, 1, e.shentsize, b64 ? 64 : 40);
    if (!zero) return std::nullopt;
    if (zero->byte.empty()) return std::max(fine, zero->fine);
    sezioni =
        b64 ? DecodeFixed64(zero->byte.data() + 0x20) : DecodeFixed32(zero->byte.data() + 0x14);
  }
  const auto sh = tabella(f, e.shoff, sezioni, e.shentsize, b64 ? 64 : 40);
  if (!sh) return std::nullopt;
  estendi(sh->fine, 0);
  constexpr uint32_t kSenzaBit = 8;  // SHT_NOBITS: takes no room in the file
  for (size_t o = 0; o < sh->byte.size(); o += e.shentsize) {
    const char* q = sh->byte.data() + o;
    if (DecodeFixed32(q + 4) == kSenzaBit) continue;
    if (b64) {
      estendi(DecodeFixed64(q + 0x18), DecodeFixed64(q + 0x20));
    } else {
      estendi(DecodeFixed32(q + 0x10), DecodeFixed32(q + 0x14));
    }
  }
  return fine;
}

std::optional<uint64_t> fine_pe(LettoreIntervalli& f, uint32_t pe) {
  const auto coff = leggi_dentro(f, pe + uint64_t{4}, 20);
  if (!coff) return std::nullopt;
  const uint16_t n_sezioni = DecodeFixed16(coff->data() + 2);
  const uint32_t simboli = DecodeFixed32(coff->data() + 8);
  const uint32_t n_simboli = DecodeFixed32(coff->data() + 12);
  const uint16_t opzionale = DecodeFixed16(coff->data() + 16);
  const uint64_t intestazione = pe + uint64_t{24};
  const auto sezioni = tabella(f, intestazione + opzionale, n_sezioni, 40, 40);
  uint64_t fine = std::max(intestazione + opzionale, sezioni->fine);
  const auto estendi = [&fine](uint64_t offset, uint64_t n) {
    if (n != 0) fine = std::max(fine, somma(offset, n));
  };
  for (size_t o = 0; o < sezioni->byte.size(); o += 40) {
    const char* s = sezioni->byte.data() + o;
    estendi(DecodeFixed32(s + 20), DecodeFixed32(s + 16));
  }
  // The certificate table, when the program is signed: a file offset.
  const auto magia = leggi_dentro(f, intestazione, 2);
  const uint64_t directory = magia && DecodeFixed16(magia->data()) == 0x20B ? 112 : 96;
  if (opzionale >= directory + 5 * 8) {
    if (const auto cert = leggi_dentro(f, intestazione + directory + 4 * 8, 8)) {
      estendi(DecodeFixed32(cert->data()), DecodeFixed32(cert->data() + 4));
    }
  }
  // The COFF symbol table and the string table right after it, which
  // starts with its own size.
  if (simboli != 0) {
    const uint64_t fine_simboli = simboli + uint64_t{n_simboli} * 18;
    const auto stringhe = leggi_dentro(f, fine_simboli, 4);
    estendi(fine_simboli, stringhe ? DecodeFixed32(stringhe->data()) : 4);
  }
  return fine;
}

}  // namespace

TipoEseguibile tipo_eseguibile(LettoreIntervalli& file) {
  const std::string h = inizio(file, 64);
  if (elf(h)) return TipoEseguibile::elf;
  if (firma_pe(file, h)) return TipoEseguibile::pe;
  return TipoEseguibile::sconosciuto;
}

std::optional<uint64_t> fine_immagine(LettoreIntervalli& file) {
  const std::string h = inizio(file, 64);
  if (elf(h)) return fine_elf(file, h);
  if (const auto pe = firma_pe(file, h)) return fine_pe(file, *pe);
  return std::nullopt;
}

}  // namespace scenario

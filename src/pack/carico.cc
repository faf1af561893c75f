#include "pack/carico.h"

#include <zlib.h>

#include <cstring>
#include <limits>

#include "base/coding.h"
#include "base/cursore.h"
#include "pack/eseguibile.h"

namespace scenario {

namespace {

uint32_t crc32_di(std::string_view bytes) {
  return static_cast<uint32_t>(
      crc32_z(crc32_z(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

void metti_testo16(std::string* d, std::string_view s, const char* cosa) {
  if (s.size() > std::numeric_limits<uint16_t>::max()) {
    throw std::invalid_argument(std::string(cosa) + " troppo lungo per il carico");
  }
  PutFixed16(d, static_cast<uint16_t>(s.size()));
  d->append(s);
}

// The payload's fields in order, never past its end.
std::string_view prendi(Cursore& l, uint64_t n, const char* cosa) {
  return l.prendi(n, [cosa] {
    return CaricoDanneggiato(std::string("dati dello scenario illeggibili: ") + cosa +
                             " oltre la fine dei dati");
  });
}
uint16_t u16(Cursore& l, const char* cosa) { return DecodeFixed16(prendi(l, 2, cosa).data()); }
uint64_t u64(Cursore& l, const char* cosa) { return DecodeFixed64(prendi(l, 8, cosa).data()); }
std::string_view testo16(Cursore& l, const char* cosa) { return prendi(l, u16(l, cosa), cosa); }

std::string byte_su(uint64_t n) { return std::to_string(n) + " byte"; }

// No trailer at the end: tells what the file holds after the program.
std::string senza_coda(LettoreIntervalli& file) {
  const std::optional<uint64_t> fine = fine_immagine(file);
  const uint64_t dimensione = file.dimensione();
  if (!fine) return "dati dello scenario mancanti o incompleti (nessuna chiusura)";
  if (dimensione < *fine) {
    return "programma troncato (" + byte_su(dimensione) + " su " + byte_su(*fine) + ")";
  }
  const uint64_t aggiunti = dimensione - *fine;
  if (aggiunti == 0) return "nessuno scenario aggiunto al programma";
  if (aggiunti < kLunghezzaIntestazione) {
    return "dati dello scenario troncati (" + byte_su(aggiunti) + " dopo il programma)";
  }
  std::string intestazione(kLunghezzaIntestazione, '\0');
  file.leggi(*fine, intestazione);
  if (std::string_view(intestazione).substr(0, kMagiaCarico.size()) != kMagiaCarico) {
    return "dati dopo il programma che non sono uno scenario";
  }
  const uint64_t attesi = DecodeFixed64(intestazione.data() + kMagiaCarico.size());
  if (aggiunti < attesi) {
    return "dati dello scenario troncati (" + byte_su(aggiunti) + " su " + byte_su(attesi) + ")";
  }
  return "chiusura dei dati dello scenario mancante o incompleta";
}

}  // namespace

bool nome_file_semplice(std::string_view nome) {
  return identita_valida(nome) && nome != "." && nome != "..";
}

std::string codifica_carico(const Identita& id, std::span<const FileNominato> file) {
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) {
    throw std::invalid_argument("identita' non valida");
  }
  if (file.size() > kMassimoFile) throw std::invalid_argument("troppi file per il carico");
  std::string c(kMagiaCarico);
  PutFixed64(&c, 0);  // the length, once known
  metti_testo16(&c, id.linea, "LINEA");
  metti_testo16(&c, id.treno, "TRENO");
  PutFixed16(&c, static_cast<uint16_t>(file.size()));
  for (const FileNominato& f : file) {
    if (!nome_file_semplice(f.nome))
      throw std::invalid_argument("nome di file non valido: " + f.nome);
    metti_testo16(&c, f.nome, "nome di file");
    PutFixed64(&c, f.bytes.size());
    c += f.bytes;
  }
  const uint64_t lunghezza = c.size();
  std::string campo;
  PutFixed64(&campo, lunghezza);
  c.replace(kMagiaCarico.size(), campo.size(), campo);

  const uint32_t crc = crc32_di(c);
  PutFixed64(&c, lunghezza);
  PutFixed32(&c, crc);
  PutFixed32(&c, kVersioneCarico);
  c += kMagiaCoda;
  return c;
}

Carico decodifica_carico(LettoreIntervalli& file) {
  const uint64_t dimensione = file.dimensione();
  std::string coda(kLunghezzaCoda, '\0');
  if (dimensione >= kLunghezzaCoda) file.leggi(dimensione - kLunghezzaCoda, coda);
  if (dimensione < kLunghezzaCoda ||
      std::string_view(coda).substr(kLunghezzaCoda - kMagiaCoda.size()) != kMagiaCoda) {
    throw CaricoDanneggiato(senza_coda(file));
  }
  const uint64_t lunghezza = DecodeFixed64(coda.data());
  const uint32_t crc_atteso = DecodeFixed32(coda.data() + 8);
  const uint32_t versione = DecodeFixed32(coda.data() + 12);
  if (versione != kVersioneCarico) {
    throw CaricoDanneggiato("formato dei dati dello scenario sconosciuto (versione " +
                            std::to_string(versione) + ")");
  }
  const uint64_t prima_della_coda = dimensione - kLunghezzaCoda;
  if (lunghezza > prima_della_coda || lunghezza < kLunghezzaIntestazione) {
    throw CaricoDanneggiato("dati dello scenario troncati (la chiusura ne indica " +
                            byte_su(lunghezza) + ", prima di essa ce ne sono " +
                            byte_su(prima_della_coda) + ")");
  }
  if (lunghezza > std::numeric_limits<size_t>::max()) {
    throw CaricoDanneggiato("dati dello scenario troppo grandi (" + byte_su(lunghezza) + ")");
  }

  // Checked whole first: a flipped byte is reported as such, wherever it is.
  std::string dati(static_cast<size_t>(lunghezza), '\0');
  file.leggi(prima_della_coda - lunghezza, dati);
  const uint32_t crc = crc32_di(dati);
  if (crc != crc_atteso) {
    throw CaricoDanneggiato("dati dello scenario alterati (CRC-32 " + std::to_string(crc) +
                            ", atteso " + std::to_string(crc_atteso) + ")");
  }

  Cursore l(dati);
  if (prendi(l, kMagiaCarico.size(), "intestazione") != kMagiaCarico ||
      u64(l, "lunghezza") != lunghezza) {
    throw CaricoDanneggiato("dati dello scenario illeggibili: intestazione non valida");
  }
  Carico c;
  c.id.linea = testo16(l, "LINEA");
  c.id.treno = testo16(l, "TRENO");
  if (!identita_valida(c.id.linea) || !identita_valida(c.id.treno)) {
    throw CaricoDanneggiato("dati dello scenario illeggibili: identita' non valida");
  }
  const uint16_t n = u16(l, "numero dei file");
  if (n > kMassimoFile) {
    throw CaricoDanneggiato("dati dello scenario illeggibili: " + std::to_string(n) + " file");
  }
  c.file.reserve(n);
  for (uint16_t i = 0; i < n; ++i) {
    FileNominato f;
    f.nome = testo16(l, "nome di file");
    if (!nome_file_semplice(f.nome)) {
      throw CaricoDanneggiato("dati dello scenario illeggibili: nome di file non valido");
    }
    f.bytes = prendi(l, u64(l, "lunghezza di un file"), "un file");
    c.file.push_back(std::move(f));
  }
  if (!l.finito()) {
    throw CaricoDanneggiato("dati dello scenario illeggibili: byte in piu' dopo l'ultimo file");
  }
  return c;
}

}  // namespace scenario

#include "format/lettori.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <iterator>
#include <utility>

#include "base/coding.h"
#include "base/cursore.h"
#include "format/scrittori.h"

namespace scenario {

namespace {

bool finisce_con(std::string_view s, std::string_view fine) {
  if (s.size() < fine.size()) return false;
  return std::equal(fine.begin(), fine.end(), s.end() - static_cast<ptrdiff_t>(fine.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

std::string byte_o_byte(size_t n) { return std::to_string(n) + " byte"; }

// The next n bytes of the file; cosa() says what they are ("`codice` della
// voce 3"), asked only when they are missing.
template <typename Cosa>
const char* prendi(Cursore& in, size_t n, Cosa cosa) {
  return in
      .prendi(n,
              [&] {
                return ErroreLettura(in.pos(), "atteso " + cosa() + " (" + byte_o_byte(n) +
                                                   "), ma il file finisce all'offset " +
                                                   std::to_string(in.dimensione()));
              })
      .data();
}

}  // namespace

std::optional<TipoFile> tipo_da_nome(std::string_view nome) {
  if (finisce_con(nome, "_linea.dat")) return TipoFile::planimetria;
  if (finisce_con(nome, ".sim")) return TipoFile::testata;
  if (finisce_con(nome, ".dat")) return TipoFile::celle;
  return std::nullopt;
}

Testata leggi_testata(std::string_view bytes) {
  Testata t{};
  Cursore in(bytes);
  size_t timbro = 0;
  for (int k = 0; k < kVociTestata; ++k) {
    Voce& v = t[static_cast<size_t>(k)];
    const std::string voce = " della voce " + std::to_string(k);
    for (size_t f = 0; f < std::size(kCampiVoce); ++f) {
      if (f == kCampiPrimaDelTesto) {
        const size_t n = DecodeFixed16(prendi(
            in, kBytesLunghezzaTesto, [&voce] { return "la lunghezza del `testo`" + voce; }));
        v.testo.assign(prendi(in, n,
                              [&voce] {
                                return "il `testo`" + voce + ", lungo quanto dice la sua lunghezza";
                              }),
                       n);
      }
      const CampoFile<Voce>& c = kCampiVoce[f];
      if (k == kVoceLinea && c.di(kCampoTimbroTestata)) timbro = in.pos();
      c.decodifica(v, prendi(in, c.larghezza(),
                             [&voce, &c] { return "`" + std::string(c.nome) + "`" + voce; }));
    }
  }
  if (in.resto() != 0) {
    throw ErroreLettura(in.pos(), "attesa la fine del file dopo la voce " +
                                      std::to_string(kVociTestata - 1) + ", ma seguono altri " +
                                      byte_o_byte(in.resto()));
  }
  const int16_t stampo = t[kVoceLinea].*kCampoTimbroTestata;
  if (stampo != kTimbroTestata) {
    const std::string_view campo = kCampiVoce[indice_campo(kCampiVoce, kCampoTimbroTestata)].nome;
    throw ErroreLettura(
        timbro, "`" + std::string(campo) + "` della voce " + std::to_string(kVoceLinea) + " vale " +
                    std::to_string(stampo) + ", atteso il timbro di formato " +
                    std::to_string(kTimbroTestata) + ": non e' una testata compilata");
  }
  return t;
}

namespace {

// The cells a file of `byte` bytes holds; throws when no cell file is that
// long.
size_t celle_in(uint64_t byte) {
  const size_t intere = static_cast<size_t>(byte / kBytesCella);
  if (byte % kBytesCella != 0) {
    throw ErroreLettura(
        intere * kBytesCella,
        "attesa la cella " + std::to_string(intere) + " (" + byte_o_byte(kBytesCella) +
            "), ma il file finisce all'offset " + std::to_string(byte) +
            ": la sua lunghezza non e' un multiplo di " + std::to_string(kBytesCella));
  }
  if (intere < kMinimoCelle) {
    throw ErroreLettura(static_cast<size_t>(byte),
                        "il file finisce dopo " + std::to_string(intere) +
                            " celle, ne servono almeno " + std::to_string(kMinimoCelle) + " (da " +
                            std::to_string(kMinimoCelle) + " a " + std::to_string(kMassimoCelle) +
                            ", una ogni " + std::to_string(kMetriCella) + " m della linea e dei " +
                            std::to_string(kMetriProlungamento) + " m dopo)");
  }
  if (intere > kMassimoCelle) {
    throw ErroreLettura(kMassimoCelle * kBytesCella,
                        "attesa la fine del file dopo la cella " +
                            std::to_string(kMassimoCelle - 1) + ", l'ultima di una linea di " +
                            std::to_string(kLunghezzaMassima) + " m, ma seguono altre " +
                            std::to_string(intere - kMassimoCelle) + " celle");
  }
  return intere;
}

}  // namespace

std::vector<Cella> leggi_celle(std::string_view bytes) {
  const size_t intere = celle_in(bytes.size());
  std::vector<Cella> celle(intere);
  for (size_t i = 0; i < intere; ++i) {
    const char* p = bytes.data() + i * kBytesCella;
    Cella& c = celle[i];
    for (const CampoFile<Cella>& f : kCampiCella) {
      f.decodifica(c, p);
      p += f.larghezza();
    }
    const uint8_t t = c.tipo_cella;
    if (t > cella_indicatore && (t < cella_fermata || t > cella_cartello)) {
      throw ErroreLettura(i * kBytesCella, "`" + std::string(kCampiCella[0].nome) +
                                               "` della cella " + std::to_string(i) + " vale " +
                                               std::to_string(t) +
                                               ", atteso un codice di cella (0-6, 10-14)");
    }
  }
  const int16_t stampo = celle[kCellaTimbro].*kCampoTimbroCelle;
  if (stampo != kTimbroCelle) {
    const size_t f = indice_campo(kCampiCella, kCampoTimbroCelle);
    throw ErroreLettura(kCellaTimbro * kBytesCella + scostamento(kCampiCella, f),
                        "`" + std::string(kCampiCella[f].nome) + "` della cella " +
                            std::to_string(kCellaTimbro) + " vale " + std::to_string(stampo) +
                            ", atteso il timbro di formato " + std::to_string(kTimbroCelle) +
                            ": non e' un file di celle compilato");
  }
  return celle;
}

std::vector<Cella> leggi_celle_file(LettoreIntervalli& file) {
  celle_in(file.dimensione());
  return leggi_celle(tutti_i_byte(file));
}

bool ValorePiano::operator==(const ValorePiano& o) const {
  return tipo == o.tipo && std::bit_cast<uint64_t>(valore) == std::bit_cast<uint64_t>(o.valore);
}

ValorePiano ValoriPiano::leggi(bool decodifica) {
  if (indice_ == 2 * kMassimoPunti) {
    throw ErroreLettura(in_.pos(), "attesa la fine del file dopo " +
                                       std::to_string(2 * kMassimoPunti) + " valori (" +
                                       std::to_string(kMassimoPunti) + " punti, una linea di " +
                                       std::to_string(kLunghezzaMassima) +
                                       " m), ma seguono altri " + byte_o_byte(in_.resto()));
  }
  const size_t inizio = in_.pos();
  const size_t indice = indice_;
  auto quale = [indice](const char* cosa) {
    return [indice, cosa] { return cosa + (" del valore " + std::to_string(indice)); };
  };
  const uint16_t tag = DecodeFixed16(prendi(in_, kBytesEtichetta, quale("l'etichetta")));
  ValorePiano v;
  switch (tag) {
    case static_cast<uint16_t>(TipoValore::vuoto): break;
    case static_cast<uint16_t>(TipoValore::intero): {
      const char* d = prendi(in_, larghezza_dato(TipoValore::intero), quale("l'intero"));
      v.tipo = TipoValore::intero;
      if (decodifica) v.valore = static_cast<int16_t>(DecodeFixed16(d));
      break;
    }
    case static_cast<uint16_t>(TipoValore::reale): {
      const char* d = prendi(in_, larghezza_dato(TipoValore::reale), quale("il reale"));
      v.tipo = TipoValore::reale;
      if (decodifica) v.valore = DecodeDouble(d);
      break;
    }
    default:
      throw ErroreLettura(inizio, "etichetta " + std::to_string(tag) + " del valore " +
                                      std::to_string(indice) +
                                      ", attesa 0 (vuoto), 2 (intero) o 5 (reale)");
  }
  ++indice_;
  return v;
}

namespace {

// A plan ends after 2 x (L + 1) values, L within the line's limits.
void controlla_valori(size_t n, size_t byte) {
  if (n % 2 != 0 || n < 2 * kMinimoPunti) {
    throw ErroreLettura(byte,
                        "il file finisce dopo " + std::to_string(n) +
                            " valori, attesi 2 x (L + 1) valori (componente 0 e componente 1 "
                            "dei punti da 0 a L), con L da " +
                            std::to_string(kMinimoPunti - 1) + " a " +
                            std::to_string(kMassimoPunti - 1));
  }
}

}  // namespace

PianoLetto leggi_planimetria(std::string_view bytes) {
  std::vector<ValorePiano> valori;
  // Most plans are whole traces: about 10 bytes a value.
  valori.reserve(
      std::min(bytes.size() / larghezza_valore(TipoValore::reale) + 4, 2 * kMassimoPunti));
  Cursore in(bytes);
  ValoriPiano v(in);
  while (!v.finiti()) valori.push_back(v.prossimo());
  const size_t n = valori.size();
  controlla_valori(n, bytes.size());
  PianoLetto piano;
  piano.x1.assign(valori.begin() + static_cast<ptrdiff_t>(n / 2), valori.end());
  valori.resize(n / 2);
  piano.x0 = std::move(valori);
  return piano;
}

namespace {

// Walks the values whole at hand in `b` from value `indice` on, at most
// `quanti` of them, and stops before the first that is not (cut by the
// bytes' end, or a tag no value has): on_valore(kind, bytes of its datum)
// for each. Returns the bytes walked and the values.
template <typename F>
std::pair<size_t, size_t> in_corsa(std::string_view b, size_t quanti, F&& on_valore) {
  const char* p = b.data();
  const char* const fine = p + b.size();
  size_t j = 0;
  // Whole or not, a value is at most ValoriPiano::kPiuLungo bytes: those
  // before the last few need no check of their length.
  while (j < quanti && static_cast<size_t>(fine - p) >= ValoriPiano::kPiuLungo) {
    const uint16_t tag = DecodeFixed16(p);
    if (tag == static_cast<uint16_t>(TipoValore::reale)) {
      on_valore(TipoValore::reale, p + kBytesEtichetta);
      p += larghezza_valore(TipoValore::reale);
    } else if (tag == static_cast<uint16_t>(TipoValore::intero)) {
      on_valore(TipoValore::intero, p + kBytesEtichetta);
      p += larghezza_valore(TipoValore::intero);
    } else if (tag == static_cast<uint16_t>(TipoValore::vuoto)) {
      on_valore(TipoValore::vuoto, p + kBytesEtichetta);
      p += larghezza_valore(TipoValore::vuoto);
    } else {
      break;
    }
    ++j;
  }
  return {static_cast<size_t>(p - b.data()), j};
}

}  // namespace

// Runs of values decoded straight from the bytes at hand; the value where a
// run stops (the window's last bytes, the file's end, a fault) read one at a
// time, so every fault is the one prossimo() finds.
void ValoriPiano::prossimi(std::span<ValorePiano> fuori) {
  size_t k = 0;
  while (k < fuori.size()) {
    const size_t quanti = std::min(fuori.size() - k, 2 * kMassimoPunti - indice_);
    ValorePiano* v = fuori.data() + k;
    const auto [byte, valori] =
        in_corsa(in_.a_mano(kPiuLungo), quanti, [&v](TipoValore tipo, const char* d) {
          v->tipo = tipo;
          v->valore = tipo == TipoValore::reale    ? DecodeDouble(d)
                      : tipo == TipoValore::intero ? static_cast<int16_t>(DecodeFixed16(d))
                                                   : 0;
          ++v;
        });
    in_.avanza(byte);
    indice_ += valori;
    k += valori;
    if (k < fuori.size()) fuori[k++] = prossimo();
  }
}

void ValoriPiano::salta_fino(size_t k) {
  while (indice_ < k && !finiti()) {
    const size_t quanti = std::min(k, 2 * kMassimoPunti) - std::min(indice_, 2 * kMassimoPunti);
    const auto [byte, valori] =
        in_corsa(in_.a_mano(kPiuLungo), quanti, [](TipoValore, const char*) {});
    in_.avanza(byte);
    indice_ += valori;
    if (indice_ < k && !finiti()) salta();
  }
}

IndicePiano indice_planimetria(LettoreIntervalli& file, size_t finestra) {
  IndicePiano r;
  Cursore in(file, 0, finestra);
  ValoriPiano v(in);
  while (!v.finiti()) {
    if (v.indice() % IndicePiano::kPasso == 0) r.inizi.push_back(in.pos());
    v.salta_fino((v.indice() / IndicePiano::kPasso + 1) * IndicePiano::kPasso);
  }
  controlla_valori(v.indice(), in.dimensione());
  r.punti = v.indice() / 2;
  return r;
}

namespace {

// The offset the index gives nearest before value k (the file's end past
// the last value), and that value's number.
std::pair<size_t, size_t> verso_valore(const IndicePiano& indice, size_t k, size_t fine) {
  const size_t i = k / IndicePiano::kPasso;
  if (i >= indice.inizi.size()) return {fine, k};
  return {indice.inizi[i], i * IndicePiano::kPasso};
}

}  // namespace

PuntiPiano::PuntiPiano(LettoreIntervalli& file, const IndicePiano& indice, size_t da,
                       size_t finestra)
    : c0_(file, verso_valore(indice, da, file.dimensione()).first, finestra),
      c1_(file, verso_valore(indice, indice.punti + da, file.dimensione()).first, finestra),
      v0_(c0_, verso_valore(indice, da, file.dimensione()).second),
      v1_(c1_, verso_valore(indice, indice.punti + da, file.dimensione()).second) {
  while (v0_.indice() < da) v0_.salta();
  while (v1_.indice() < indice.punti + da) v1_.salta();
}

std::optional<TipoFile> tipo_dal_contenuto(std::string_view bytes) {
  try {
    leggi_testata(bytes);
    return TipoFile::testata;
  } catch (const ErroreLettura&) {
  }
  try {
    leggi_celle(bytes);
    return TipoFile::celle;
  } catch (const ErroreLettura&) {
  }
  try {
    leggi_planimetria(bytes);
    return TipoFile::planimetria;
  } catch (const ErroreLettura&) {
  }
  return std::nullopt;
}

std::optional<TipoFile> tipo_dal_contenuto(LettoreIntervalli& file) {
  if (file.dimensione() <= std::max(kMassimoByteTestata, kMassimoByteCelle)) {
    return tipo_dal_contenuto(tutti_i_byte(file));
  }
  try {
    indice_planimetria(file);
    return TipoFile::planimetria;
  } catch (const ErroreLettura&) {
  }
  return std::nullopt;
}

PianoLetto piano_letto_da(const Planimetria& piano) {
  PianoLetto r;
  r.x0.resize(piano.punti());
  r.x1.resize(piano.punti());
  for (size_t p = 0; p < piano.punti(); ++p) {
    const TipoValore t = piano.tipo(p);
    const Punto q = piano.punto(p);
    r.x0[p] = {t, q.x0};
    r.x1[p] = {t, q.x1};
  }
  return r;
}

}  // namespace scenario

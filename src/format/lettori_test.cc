// The readers against the writers: what is written reads back the same, and
// every way a file can be wrong is named with its offset.
#include "format/lettori.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "base/coding.h"
#include "format/scrittori.h"
#include "tests/support/binari.h"

namespace scenario {
namespace {

// A header table as the compiler leaves it, with every field of every entry
// set and texts holding every byte value.
Testata testata_piena() {
  std::mt19937 caso(7);
  auto u = [&caso](int64_t da, int64_t a) {
    return std::uniform_int_distribution<int64_t>(da, a)(caso);
  };
  Testata t{};
  for (size_t k = 1; k < t.size(); ++k) {
    Voce& v = t[k];
    v.codice = static_cast<uint8_t>(u(0, 255));
    v.valore_uno = static_cast<int32_t>(u(INT32_MIN, INT32_MAX));
    v.valore_due = static_cast<int32_t>(u(INT32_MIN, INT32_MAX));
    v.valore_tre = static_cast<int32_t>(u(INT32_MIN, INT32_MAX));
    v.opzione = static_cast<uint8_t>(u(0, 255));
    for (int64_t n = u(0, 40); n > 0; --n) v.testo.push_back(static_cast<char>(u(0, 255)));
    v.intero_uno = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    v.intero_due = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    v.intero_tre = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    v.intero_quattro = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    v.intero_cinque = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    v.flag_uno = static_cast<uint8_t>(u(0, 255));
    v.flag_due = static_cast<uint8_t>(u(0, 255));
    v.flag_tre = static_cast<uint8_t>(u(0, 255));
    v.flag_quattro = static_cast<uint8_t>(u(0, 255));
    v.valore_quattro = static_cast<int32_t>(u(INT32_MIN, INT32_MAX));
  }
  t[kVoceLinea].intero_uno = kTimbroTestata;
  t[kVoceTreno].testo = std::string(300, '\xE8');  // a text longer than 255 bytes
  return t;
}

std::vector<Cella> celle_piene(size_t n) {
  std::mt19937 caso(11);
  auto u = [&caso](int64_t da, int64_t a) {
    return std::uniform_int_distribution<int64_t>(da, a)(caso);
  };
  constexpr uint8_t kCodici[] = {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14};
  std::vector<Cella> celle(n);
  for (Cella& c : celle) {
    c.tipo_cella = kCodici[u(0, 11)];
    c.dato_uno = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    c.dato_due = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    c.dato_tre = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    c.dato_quattro = static_cast<int16_t>(u(INT16_MIN, INT16_MAX));
    c.tempo_segnale = static_cast<uint8_t>(u(0, 255));
    c.codice_avvicinamento = static_cast<uint8_t>(u(0, 255));
    c.struttura = static_cast<uint8_t>(u(0, 255));
    c.velocita_treno = static_cast<uint8_t>(u(0, 255));
    c.pendenza = static_cast<uint8_t>(u(0, 255));
    c.aderenza = static_cast<uint8_t>(u(0, 255));
  }
  celle[1].dato_uno = kTimbroCelle;
  return celle;
}

// A plan of points 0..l: the two whole points, a trace, empty points, and
// reals of every sort (negative zero, denormals, extremes).
Planimetria piano_misto(int32_t l) {
  Planimetria pl(l);
  pl.imposta_intero(0, 0, 0);
  pl.imposta_intero(1, -32768, 32767);
  const double strani[] = {-0.0, 5e-324, std::numeric_limits<double>::max(), -1e-300, 0.1};
  for (int32_t p = 2; p <= l - 2; ++p) {
    if (p % 1000 == 999) continue;  // an empty point in the middle
    const double a = strani[static_cast<size_t>(p) % 5];
    pl.imposta_reale(static_cast<size_t>(p), {a * p, 1.0 / p});
  }
  return pl;
}

TEST(Lettori, WhatIsWrittenReadsBackTheSame) {
  const Testata t = testata_piena();
  EXPECT_EQ(leggi_testata(bytes_testata(t)), t);

  for (const size_t n : {kMinimoCelle, size_t{1961}, kMassimoCelle}) {
    const std::vector<Cella> c = celle_piene(n);
    EXPECT_EQ(leggi_celle(bytes_celle(c)), c) << n;
  }

  for (const int32_t l : {7000, 98000}) {
    const Planimetria pl = piano_misto(l);
    const PianoLetto letto = leggi_planimetria(bytes_planimetria(pl));
    ASSERT_EQ(letto.punti(), static_cast<size_t>(l) + 1);
    EXPECT_EQ(letto, piano_letto_da(pl)) << l;
  }
  // The plan of a fault that stopped before the trace: only empty points.
  const PianoLetto vuoto = leggi_planimetria(bytes_planimetria(Planimetria(7000)));
  EXPECT_EQ(vuoto, piano_letto_da(Planimetria(7000)));
}

// The reals come back bit for bit, NaN included, and the two components may
// have different kinds.
TEST(Lettori, PlanValuesKeepTheirKindAndBits) {
  std::string b;
  auto valore = [&b](TipoValore t, double v) { test::metti_valore(&b, t, v); };
  const size_t punti = kMinimoPunti;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (size_t p = 0; p < punti; ++p) valore(p == 5 ? TipoValore::reale : TipoValore::vuoto, nan);
  for (size_t p = 0; p < punti; ++p) valore(p == 5 ? TipoValore::intero : TipoValore::vuoto, -7);
  const PianoLetto letto = leggi_planimetria(b);
  EXPECT_EQ(letto.x0[5].tipo, TipoValore::reale);
  EXPECT_TRUE(std::isnan(letto.x0[5].valore));
  EXPECT_EQ(letto.x0[5], (ValorePiano{TipoValore::reale, nan}));
  EXPECT_EQ(letto.x1[5], (ValorePiano{TipoValore::intero, -7}));
  EXPECT_EQ(letto.x1[4], ValorePiano{});
}

TEST(Lettori, KindFromTheName) {
  struct Caso {
    const char* nome;
    std::optional<TipoFile> tipo;
  };
  const Caso casi[] = {
      {"Lanvero_Ostrel_linea.dat", TipoFile::planimetria},
      {"cartella/X_LINEA.DAT", TipoFile::planimetria},
      {"Lanvero_Ostrel_24817.sim", TipoFile::testata},
      {"a.SIM", TipoFile::testata},
      {"Lanvero_Ostrel_24817.dat", TipoFile::celle},
      {"linea.dat", TipoFile::celle},  // no underscore: not a line plan
      {"Lanvero_Ostrel_24817.txt", std::nullopt},
      {"sim", std::nullopt},
      {"", std::nullopt},
  };
  for (const Caso& c : casi) EXPECT_EQ(tipo_da_nome(c.nome), c.tipo) << c.nome;
}

// What a file's content is, whatever its name.
TEST(Lettori, KindFromTheContent) {
  EXPECT_EQ(tipo_dal_contenuto(bytes_testata(testata_piena())), TipoFile::testata);
  EXPECT_EQ(tipo_dal_contenuto(bytes_celle(celle_piene(kMinimoCelle))), TipoFile::celle);
  EXPECT_EQ(tipo_dal_contenuto(bytes_planimetria(piano_misto(7000))), TipoFile::planimetria);
  EXPECT_EQ(tipo_dal_contenuto(std::string(3000, '\x07')), std::nullopt);
  // From a file: a plan larger than any header or cell file is indexed,
  // not read whole.
  const std::string grande = bytes_planimetria(piano_misto(600000));
  ASSERT_GT(grande.size(), std::max(kMassimoByteTestata, kMassimoByteCelle));
  for (const std::string& b : {bytes_celle(celle_piene(kMinimoCelle)), grande, grande + "x"}) {
    LettoreMemoria file(b);
    EXPECT_EQ(tipo_dal_contenuto(file), tipo_dal_contenuto(b)) << b.size();
  }
}

struct Difetto {
  const char* caso;
  std::string bytes;
  size_t offset;
  const char* atteso;  // a piece of the message
};

template <typename Leggi>
void controlla_difetti(const std::vector<Difetto>& difetti, Leggi leggi) {
  for (const Difetto& d : difetti) {
    try {
      leggi(d.bytes);
      ADD_FAILURE() << d.caso << ": read without complaint";
    } catch (const ErroreLettura& e) {
      EXPECT_EQ(e.offset(), d.offset) << d.caso << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find(d.atteso), std::string::npos)
          << d.caso << ": " << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("offset " + std::to_string(d.offset) + ": ", 0), 0u)
          << e.what();
    }
  }
}

TEST(Lettori, HeaderFaultsNameTheirOffset) {
  Testata t{};
  t[kVoceLinea].testo = "Lanvero_Ostrel";
  t[kVoceLinea].intero_uno = kTimbroTestata;
  t[kVoceTreno].testo = "24817";
  const std::string b = bytes_testata(t);  // 2977 bytes
  const size_t e85 = 85 * 34;              // entry 85 starts here
  std::string timbro = b;
  timbro[e85 + 16 + 14] = 0x63;  // 610 = 0x0262 -> 0x0263
  std::string lungo = b;
  lungo[e85 + 14] = '\xFF';  // a text length of 255 + 14 * 256
  const std::vector<Difetto> difetti = {
      {"empty", "", 0, "atteso `codice` della voce 0 (1 byte), ma il file finisce all'offset 0"},
      {"cut in entry 0", b.substr(0, 3), 1, "`valore_uno` della voce 0 (4 byte)"},
      {"cut in a text", b.substr(0, e85 + 20), e85 + 16, "il `testo` della voce 85"},
      {"last byte missing", b.substr(0, b.size() - 1), b.size() - 4,
       "`valore_quattro` della voce 86"},
      {"padded", b + std::string(3, '\0'), b.size(), "seguono altri 3 byte"},
      {"text length too long", lungo, e85 + 16, "lungo quanto dice la sua lunghezza"},
      {"format stamp", timbro, e85 + 16 + 14, "vale 611, atteso il timbro di formato 610"},
  };
  controlla_difetti(difetti, leggi_testata);
}

TEST(Lettori, CellFaultsNameTheirOffset) {
  std::vector<Cella> c(kMinimoCelle);
  c[1].dato_uno = kTimbroCelle;
  const std::string b = bytes_celle(c);
  std::string timbro = b;
  timbro[16] = 0;
  std::string codice = b;
  codice[15 * 7] = 7;
  const std::vector<Difetto> difetti = {
      {"empty", "", 0, "il file finisce dopo 0 celle"},
      {"not a multiple of 15", b.substr(0, b.size() - 1), b.size() - 15,
       "attesa la cella 140 (15 byte)"},
      {"too few cells", b.substr(0, b.size() - 15), b.size() - 15,
       "dopo 140 celle, ne servono almeno 141"},
      {"too many cells", bytes_celle(std::vector<Cella>(kMassimoCelle + 2)), kMassimoCelle * 15,
       "seguono altre 2 celle"},
      {"format stamp", timbro, 16, "vale 5120, atteso il timbro di formato 5121"},
      {"unknown code", codice, 15 * 7, "`tipo_cella` della cella 7 vale 7"},
  };
  controlla_difetti(difetti, [](std::string_view b) { return leggi_celle(b); });
  controlla_difetti(difetti, [](std::string_view b) {
    LettoreMemoria file(b);
    return leggi_celle_file(file);
  });
}

TEST(Lettori, PlanFaultsNameTheirOffset) {
  const std::string b = bytes_planimetria(piano_misto(7000));
  std::string etichetta = b;
  etichetta[8] = 3;  // point 2, component 0
  std::string vuoti;
  for (size_t i = 0; i < 2 * kMassimoPunti + 1; ++i) PutFixed16(&vuoti, 0);
  const std::vector<Difetto> difetti = {
      {"empty", "", 0, "il file finisce dopo 0 valori"},
      {"bad tag", etichetta, 8, "etichetta 3 del valore 2, attesa 0 (vuoto), 2 (intero) o 5"},
      {"cut in a tag", b.substr(0, 9), 8, "atteso l'etichetta del valore 2 (2 byte)"},
      {"cut in a real", b.substr(0, 12), 10, "il reale del valore 2 (8 byte)"},
      {"odd count", b.substr(0, b.size() - 2), b.size() - 2, "dopo 14001 valori"},
      {"too few points", std::string(4 * 7000, '\0'), 4 * 7000, "dopo 14000 valori"},
      {"too many values", vuoti, 4 * kMassimoPunti, "dopo 2014002 valori"},
  };
  controlla_difetti(difetti, leggi_planimetria);
  // Indexed through a window smaller than a value: the same faults.
  controlla_difetti(difetti, [](std::string_view b) {
    LettoreMemoria file(b);
    return indice_planimetria(file, 7);
  });
}

// The plan read point by point from a file, from any point and through
// windows of any size, is the plan read whole; the index keeps a few
// offsets, not the points.
TEST(Lettori, PlanPointsReadFromAFile) {
  // 7168 points: 14 x 1024 values, the index's last stretch full.
  const Planimetria pl = piano_misto(7167);
  const std::string b = bytes_planimetria(pl);
  const PianoLetto intero = leggi_planimetria(b);
  LettoreMemoria file(b);
  for (const size_t finestra :
       {size_t{1}, size_t{9}, size_t{10}, size_t{4096}, Cursore::kFinestra}) {
    SCOPED_TRACE(finestra);
    const IndicePiano indice = indice_planimetria(file, finestra);
    ASSERT_EQ(indice.punti, intero.punti());
    EXPECT_EQ(indice.inizi.size(),
              (2 * indice.punti + IndicePiano::kPasso - 1) / IndicePiano::kPasso);
    for (const size_t da : {size_t{0}, size_t{1}, IndicePiano::kPasso - 1, IndicePiano::kPasso,
                            size_t{5000}, intero.punti() - 1, intero.punti()}) {
      PuntiPiano p(file, indice, da, finestra);
      ValorePiano x0, x1;
      for (size_t i = da; i < intero.punti(); ++i) {
        p.prossimo(x0, x1);
        ASSERT_EQ(x0, intero.x0[i]) << da << " " << i;
        ASSERT_EQ(x1, intero.x1[i]) << da << " " << i;
      }
      // In runs: decoded straight from the window, a run crossing its end.
      for (const size_t corsa : {size_t{1}, size_t{7}, size_t{4096}}) {
        PuntiPiano q(file, indice, da, finestra);
        std::vector<ValorePiano> v0(corsa), v1(corsa);
        for (size_t i = da; i < intero.punti(); i += corsa) {
          const size_t n = std::min(corsa, intero.punti() - i);
          q.prossimi(std::span(v0).first(n), std::span(v1).first(n));
          for (size_t j = 0; j < n; ++j) {
            ASSERT_EQ(v0[j], intero.x0[i + j]) << da << " " << corsa << " " << i + j;
            ASSERT_EQ(v1[j], intero.x1[i + j]) << da << " " << corsa << " " << i + j;
          }
        }
      }
    }
  }
}

// A plan changed since it was indexed: read in runs, the fault is the one
// the whole read names, at the same offset.
TEST(Lettori, PlanChangedSinceIndexedIsRefusedInRuns) {
  const std::string b = bytes_planimetria(piano_misto(7167));
  LettoreMemoria originale(b);
  const IndicePiano indice = indice_planimetria(originale);
  std::vector<size_t> inizi;  // where each value starts
  {
    Cursore in(b);
    ValoriPiano v(in);
    while (!v.finiti()) {
      inizi.push_back(in.pos());
      v.salta();
    }
  }
  // A value of component 0, one of component 1 (its first), the last.
  for (const size_t k : {size_t{2}, inizi.size() / 2, inizi.size() - 1}) {
    const size_t inizio = inizi[k];
    std::string cambiato = b;
    cambiato[inizio] = 3;
    SCOPED_TRACE(inizio);
    std::string atteso;
    try {
      leggi_planimetria(cambiato);
    } catch (const ErroreLettura& e) {
      atteso = e.what();
    }
    ASSERT_NE(atteso, "");
    LettoreMemoria file(cambiato);
    PuntiPiano p(file, indice);
    std::vector<ValorePiano> v0(4096), v1(4096);
    try {
      for (size_t i = 0; i < indice.punti; i += 4096) {
        const size_t n = std::min<size_t>(4096, indice.punti - i);
        p.prossimi(std::span(v0).first(n), std::span(v1).first(n));
      }
      ADD_FAILURE() << "no fault";
    } catch (const ErroreLettura& e) {
      EXPECT_EQ(e.what(), atteso);
      EXPECT_EQ(e.offset(), inizio);
    }
  }
}

// A file whose length no cell file has is refused from its length: not a
// byte of it is read.
TEST(Lettori, CellFileRefusedFromItsLength) {
  struct Illeggibile : LettoreIntervalli {
    uint64_t n;
    explicit Illeggibile(uint64_t d) : n(d) {}
    uint64_t dimensione() const override { return n; }
    void leggi(uint64_t, std::span<char>) override { ADD_FAILURE() << "read"; }
  };
  for (const uint64_t n : {uint64_t{0}, uint64_t{kBytesCella * (kMassimoCelle + 1)},
                           uint64_t{2} << 30}) {
    Illeggibile file(n);
    EXPECT_THROW(leggi_celle_file(file), ErroreLettura) << n;
  }
}

// Every file cut short is refused, at an offset inside what is left.
TEST(Lettori, EveryPrefixIsRefused) {
  const std::string t = bytes_testata(testata_piena());
  for (size_t n = 0; n < t.size(); ++n) {
    EXPECT_THROW(leggi_testata(t.substr(0, n)), ErroreLettura) << n;
  }
  const std::string c = bytes_celle(celle_piene(kMinimoCelle));
  for (size_t n = 0; n < c.size(); ++n) {
    EXPECT_THROW(leggi_celle(c.substr(0, n)), ErroreLettura) << n;
  }
  const std::string p = bytes_planimetria(piano_misto(7000));
  for (size_t n = 0; n < p.size(); n += 97) {
    try {
      leggi_planimetria(p.substr(0, n));
      ADD_FAILURE() << n;
    } catch (const ErroreLettura& e) {
      EXPECT_LE(e.offset(), n);
    }
  }
}

}  // namespace
}  // namespace scenario

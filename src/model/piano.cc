#include "model/piano.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>

namespace scenario {

// --- PianoSteso ---

PianoSteso::PianoSteso(size_t punti)
    : punti_(punti),
      interi_(std::min<size_t>(2, punti_)),
      reali_fino_(std::max(interi_, punti_ - std::min<size_t>(2, punti_))),
      componente_(inizio(punti_)),
      blocco_(2 * componente_),
      impostati_((punti_ + 63) / 64),
      difformi_(reali_fino_),
      dimensione_file_(2 * punti_ * larghezza_valore(TipoValore::vuoto)) {}

TipoValore PianoSteso::tipo(size_t p) const {
  if (!a_parte_.empty()) {
    const auto it = a_parte_.find(p);
    if (it != a_parte_.end()) return it->second.tipo;
  }
  return impostato(p) ? atteso(p) : TipoValore::vuoto;
}

double PianoSteso::componente(int c, size_t p) const {
  TipoValore t = TipoValore::vuoto;
  const char* v = nullptr;
  const auto it = a_parte_.find(p);
  if (it != a_parte_.end()) {
    t = it->second.tipo;
    v = it->second.byte[c];
  } else if (impostato(p)) {
    t = atteso(p);
    v = posto(p) + static_cast<size_t>(c) * componente_;
  }
  switch (t) {
    case TipoValore::intero: return static_cast<int16_t>(DecodeFixed16(v + 2));
    case TipoValore::reale: return DecodeDouble(v + 2);
    case TipoValore::vuoto: break;
  }
  return 0;
}

void PianoSteso::imposta_intero(size_t p, int16_t x0, int16_t x1) {
  constexpr auto kTag = static_cast<uint16_t>(TipoValore::intero);
  Valore v{TipoValore::intero, {}};
  EncodeTaggedFixed16(v.byte[0], kTag, static_cast<uint16_t>(x0));
  EncodeTaggedFixed16(v.byte[1], kTag, static_cast<uint16_t>(x1));
  imposta(p, v);
}

void PianoSteso::imposta_reale_a_parte(size_t p, Punto x) {
  constexpr auto kTag = static_cast<uint16_t>(TipoValore::reale);
  Valore v{TipoValore::reale, {}};
  EncodeTaggedDouble(v.byte[0], kTag, x.x0);
  EncodeTaggedDouble(v.byte[1], kTag, x.x1);
  imposta(p, v);
}

void PianoSteso::imposta(size_t p, const Valore& v) {
  const TipoValore prima = tipo(p);
  const TipoValore forma = atteso(p);
  dimensione_file_ += 2 * larghezza_valore(v.tipo);
  dimensione_file_ -= 2 * larghezza_valore(prima);
  if (prima == forma) ++difformi_;
  if (v.tipo == forma) {
    --difformi_;
    a_parte_.erase(p);
    const size_t w = larghezza_valore(forma);
    std::memcpy(posto(p), v.byte[0], w);
    std::memcpy(posto(p) + componente_, v.byte[1], w);
    impostati_[p / 64] |= uint64_t{1} << (p % 64);
    return;
  }
  if (impostato(p)) {
    const size_t w = larghezza_valore(forma);
    std::memset(posto(p), 0, w);
    std::memset(posto(p) + componente_, 0, w);
    impostati_[p / 64] &= ~(uint64_t{1} << (p % 64));
  }
  a_parte_[p] = v;
}

void PianoSteso::scrivi_file(const ScriviPezzo& scrivi) const {
  if (difformi_ == 0) {  // the block is the file
    if (blocco_.size() != 0) scrivi(0, blocco_.vista());
    return;
  }
  static constexpr char kVuoto[2] = {0, 0};
  size_t posizione = 0;
  const auto pezzo = [&](const char* b, size_t n) {
    scrivi(posizione, {b, n});
    posizione += n;
  };
  for (size_t c = 0; c < 2; ++c) {
    const char* base = blocco_.data() + c * componente_;
    auto a_parte = a_parte_.begin();
    // The block's bytes [da, a) go out unchanged.
    size_t da = 0;
    size_t a = 0;
    for (size_t p = 0; p < punti_; ++p) {
      const TipoValore forma = atteso(p);
      const size_t w = larghezza_valore(forma);
      const bool aside = a_parte != a_parte_.end() && a_parte->first == p;
      if (!aside && (forma == TipoValore::vuoto || impostato(p))) {
        a += w;
        continue;
      }
      if (a > da) pezzo(base + da, a - da);
      if (aside) {
        pezzo(a_parte->second.byte[c], larghezza_valore(a_parte->second.tipo));
        ++a_parte;
      } else {
        pezzo(kVuoto, sizeof kVuoto);
      }
      da = a += w;
    }
    if (a > da) pezzo(base + da, a - da);
  }
  assert(posizione == dimensione_file_);
}

// --- Planimetria ---

Planimetria::Planimetria(int32_t ultimo_punto) : punti_(static_cast<size_t>(ultimo_punto) + 1) {}

Punto Planimetria::iniziale(size_t p) const {
  if (p >= punti_ || !iniziali_[p]) return {};
  return {static_cast<double>((*iniziali_[p])[0]), static_cast<double>((*iniziali_[p])[1])};
}

const PianoSteso& Planimetria::steso_letto() const {
  if (!steso_) {
    PianoSteso st(punti_);
    for (size_t p = 0; p < 2 && p < punti_; ++p) {
      if (iniziali_[p]) st.imposta_intero(p, (*iniziali_[p])[0], (*iniziali_[p])[1]);
    }
    Punto a = iniziale(0);
    Punto b = iniziale(1);
    size_t p = 2;
    for (const Tratto& t : tratti_) {
      for (; p <= t.a; ++p) {
        const Punto n = passo_traccia(a, b, t.c);
        st.imposta_reale(p, n);
        a = b;
        b = n;
      }
    }
    steso_.emplace(std::move(st));
  }
  return *steso_;
}

PianoSteso& Planimetria::steso() {
  if (!steso_pieno_) {
    steso_letto();
    steso_pieno_ = true;
    tratti_.clear();
  }
  return *steso_;
}

TipoValore Planimetria::tipo(size_t p) const {
  if (!tracciata()) return steso_->tipo(p);
  if (p < 2) return iniziali_[p] ? TipoValore::intero : TipoValore::vuoto;
  return p < prossimo_ ? TipoValore::reale : TipoValore::vuoto;
}

double Planimetria::componente(int c, size_t p) const {
  if (tracciata()) {
    if (p < 2) return c == 0 ? iniziale(p).x0 : iniziale(p).x1;
    if (p >= prossimo_) return 0;
  }
  return steso_letto().componente(c, p);
}

void Planimetria::imposta_intero(size_t p, int16_t x0, int16_t x1) {
  if (tracciata() && p < 2 && p < punti_ && tratti_.empty()) {
    iniziali_[p] = std::array<int16_t, 2>{x0, x1};
    steso_.reset();
    return;
  }
  steso().imposta_intero(p, x0, x1);
}

void Planimetria::imposta_reale(size_t p, Punto v) { steso().imposta_reale(p, v); }

void Planimetria::traccia(size_t da, size_t a, double c) {
  assert(da >= 2 && da <= a && a < punti_);
  if (tracciata() && da == prossimo_) {
    if (!tratti_.empty() && tratti_.back().c == c) {
      tratti_.back().a = a;
    } else {
      tratti_.push_back({a, c});
    }
    prossimo_ = a + 1;
    steso_.reset();
    return;
  }
  PianoSteso& st = steso();
  Punto pa{st.componente(0, da - 2), st.componente(1, da - 2)};
  Punto pb{st.componente(0, da - 1), st.componente(1, da - 1)};
  for (size_t p = da; p <= a; ++p) {
    const Punto n = passo_traccia(pa, pb, c);
    st.imposta_reale(p, n);
    pa = pb;
    pb = n;
  }
}

size_t Planimetria::dimensione_file() const {
  if (!tracciata()) return steso_->dimensione_file();
  const size_t primi = std::min<size_t>(2, punti_);
  size_t n = 0;
  for (size_t p = 0; p < primi; ++p) n += larghezza_valore(tipo(p));
  n += larghezza_valore(TipoValore::reale) * (prossimo_ - 2);
  n += larghezza_valore(TipoValore::vuoto) * (punti_ - std::min(punti_, prossimo_));
  return 2 * n;
}

std::string Planimetria::bytes_file() const {
  std::string out(dimensione_file(), '\0');
  scrivi_file([&out](size_t posizione, std::string_view b) {
    std::memcpy(out.data() + posizione, b.data(), b.size());
  });
  return out;
}

void Planimetria::scrivi_file(const ScriviPezzo& scrivi) const {
  if (!tracciata()) {
    steso_->scrivi_file(scrivi);
    return;
  }
  // Both components of a run of points are made together: each piece goes
  // out twice, once in each half of the file.
  constexpr size_t kPuntiPerPezzo = 16384;
  constexpr size_t kCapienza = kPuntiPerPezzo * larghezza_valore(TipoValore::reale);
  const auto memoria = std::make_unique_for_overwrite<char[]>(2 * kCapienza);
  char* const b0 = memoria.get();
  char* const b1 = b0 + kCapienza;
  const size_t meta = dimensione_file() / 2;
  size_t inizio = 0;  // where the pieces at hand start in each component
  size_t pieno = 0;   // bytes at hand in each component
  const auto svuota = [&] {
    if (pieno == 0) return;
    scrivi(inizio, {b0, pieno});
    scrivi(meta + inizio, {b1, pieno});
    inizio += pieno;
    pieno = 0;
  };

  constexpr auto kIntero = static_cast<uint16_t>(TipoValore::intero);
  for (size_t p = 0; p < 2 && p < punti_; ++p) {
    if (iniziali_[p]) {
      EncodeTaggedFixed16(b0 + pieno, kIntero, static_cast<uint16_t>((*iniziali_[p])[0]));
      EncodeTaggedFixed16(b1 + pieno, kIntero, static_cast<uint16_t>((*iniziali_[p])[1]));
      pieno += larghezza_valore(TipoValore::intero);
    } else {
      EncodeFixed16(b0 + pieno, 0);
      EncodeFixed16(b1 + pieno, 0);
      pieno += larghezza_valore(TipoValore::vuoto);
    }
  }

  constexpr auto kReale = static_cast<uint16_t>(TipoValore::reale);
  constexpr size_t kW = larghezza_valore(TipoValore::reale);
  Punto a = iniziale(0);
  Punto b = iniziale(1);
  size_t p = 2;
  for (const Tratto& t : tratti_) {
    while (p <= t.a) {
      if (pieno + kW > kCapienza) svuota();
      const size_t fino = std::min(t.a + 1, p + (kCapienza - pieno) / kW);
      // The straight and the curved step each get a loop of their own.
      const auto tratto = [&](double c) {
        for (char *v0 = b0 + pieno, *v1 = b1 + pieno; p < fino; ++p, v0 += kW, v1 += kW) {
          const Punto n = passo_traccia(a, b, c);
          EncodeTaggedDouble(v0, kReale, n.x0);
          EncodeTaggedDouble(v1, kReale, n.x1);
          a = b;
          b = n;
        }
      };
      const size_t quanti = fino - p;
      if (t.c == 0) {
        tratto(0);
      } else {
        tratto(t.c);
      }
      pieno += quanti * kW;
    }
  }

  for (size_t vuoti = punti_ - std::min(punti_, prossimo_); vuoti > 0;) {
    if (pieno + 2 > kCapienza) svuota();
    const size_t n = std::min(vuoti, (kCapienza - pieno) / 2);
    std::memset(b0 + pieno, 0, 2 * n);
    std::memset(b1 + pieno, 0, 2 * n);
    pieno += 2 * n;
    vuoti -= n;
  }
  svuota();
}

bool Planimetria::operator==(const Planimetria& o) const {
  return punti_ == o.punti_ && bytes_file() == o.bytes_file();
}

}  // namespace scenario

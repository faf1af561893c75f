// Reads the pixels of a PNG as a renderer writes them: 8 bits a channel, RGB
// or RGBA, not interlaced. Enough to look at what rsvg-convert drew.
#ifndef SCENARIO_TESTS_PNG_H_
#define SCENARIO_TESTS_PNG_H_

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace scenario::test {

struct Colore {
  int r, g, b;
};

class Immagine {
 public:
  // None when the bytes are not a PNG of the kind above.
  static std::optional<Immagine> da_png(const std::string& png) {
    auto u32 = [&png](size_t p) {
      return static_cast<uint32_t>(static_cast<uint8_t>(png[p])) << 24 |
             static_cast<uint32_t>(static_cast<uint8_t>(png[p + 1])) << 16 |
             static_cast<uint32_t>(static_cast<uint8_t>(png[p + 2])) << 8 |
             static_cast<uint32_t>(static_cast<uint8_t>(png[p + 3]));
    };
    if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return std::nullopt;
    Immagine im;
    std::string compressi;
    int profondita = 0, tipo = 0, interlacciato = 0;
    for (size_t p = 8; p + 8 <= png.size();) {
      const uint32_t n = u32(p);
      const std::string nome = png.substr(p + 4, 4);
      if (p + 12 + n > png.size()) return std::nullopt;
      if (nome == "IHDR") {
        im.w_ = u32(p + 8);
        im.h_ = u32(p + 12);
        profondita = static_cast<uint8_t>(png[p + 16]);
        tipo = static_cast<uint8_t>(png[p + 17]);
        interlacciato = static_cast<uint8_t>(png[p + 20]);
      } else if (nome == "IDAT") {
        compressi.append(png, p + 8, n);
      }
      p += 12 + n;
    }
    if (profondita != 8 || (tipo != 2 && tipo != 6) || interlacciato != 0) return std::nullopt;
    im.canali_ = tipo == 6 ? 4 : 3;
    const size_t riga = static_cast<size_t>(im.w_) * im.canali_;
    std::vector<uint8_t> grezzi((riga + 1) * im.h_);
    uLongf lunghezza = static_cast<uLongf>(grezzi.size());
    if (uncompress(grezzi.data(), &lunghezza, reinterpret_cast<const Bytef*>(compressi.data()),
                   static_cast<uLong>(compressi.size())) != Z_OK ||
        lunghezza != grezzi.size()) {
      return std::nullopt;
    }
    im.px_.assign(riga * im.h_, 0);
    const size_t bpp = im.canali_;
    for (size_t y = 0; y < im.h_; ++y) {
      const uint8_t filtro = grezzi[y * (riga + 1)];
      const uint8_t* in = &grezzi[y * (riga + 1) + 1];
      uint8_t* out = &im.px_[y * riga];
      const uint8_t* su = y > 0 ? &im.px_[(y - 1) * riga] : nullptr;
      for (size_t i = 0; i < riga; ++i) {
        const int a = i >= bpp ? out[i - bpp] : 0;
        const int b = su ? su[i] : 0;
        const int c = su && i >= bpp ? su[i - bpp] : 0;
        int v = in[i];
        switch (filtro) {
          case 0: break;
          case 1: v += a; break;
          case 2: v += b; break;
          case 3: v += (a + b) / 2; break;
          case 4: {
            const int p = a + b - c;
            const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            break;
          }
          default: return std::nullopt;
        }
        out[i] = static_cast<uint8_t>(v);
      }
    }
    return im;
  }

  size_t larghezza() const { return w_; }
  size_t altezza() const { return h_; }
  // The colour at (x, y) over white.
  Colore colore(size_t x, size_t y) const {
    const uint8_t* p = &px_[(y * w_ + x) * canali_];
    const int alfa = canali_ == 4 ? p[3] : 255;
    auto su_bianco = [alfa](int v) { return (v * alfa + 255 * (255 - alfa)) / 255; };
    return {su_bianco(p[0]), su_bianco(p[1]), su_bianco(p[2])};
  }

 private:
  size_t w_ = 0, h_ = 0, canali_ = 4;
  std::vector<uint8_t> px_;
};

}  // namespace scenario::test

#endif  // SCENARIO_TESTS_PNG_H_

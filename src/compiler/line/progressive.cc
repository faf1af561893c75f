#include <cstdint>

#include "compiler/line/record_linea.h"

namespace scenario {

namespace {

struct Terna {
  int32_t uno = 0, due = 0, tre = 0;
};

Terna da_voce(const Voce& v) { return {v.valore_uno, v.valore_due, v.valore_tre}; }

void in_voce(Voce& v, const Terna& t) {
  v.valore_uno = t.uno;
  v.valore_due = t.due;
  v.valore_tre = t.tre;
}

int32_t somma32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

void progressive_ordina(Testata& testata) {
  const Terna t = da_voce(testata[kVoceProgressivaTre]);
  const Terna d = da_voce(testata[kVoceProgressivaDue]);
  const Terna u = da_voce(testata[kVoceProgressivaUno]);
  Terna nuove[3] = {};  // entries 81, 82, 83

  if (somma32(somma32(t.uno, d.uno), u.uno) != 0) {
    // Largest first; of two equal smaller ones "uno" before "due" before "tre".
    if (t.uno > d.uno && t.uno > u.uno) {
      nuove[0] = t;
      nuove[1] = d.uno > u.uno ? d : u;
      nuove[2] = d.uno > u.uno ? u : d;
    } else if (d.uno > t.uno && d.uno > u.uno) {
      nuove[0] = d;
      nuove[1] = t.uno > u.uno ? t : u;
      nuove[2] = t.uno > u.uno ? u : t;
    } else if (u.uno > t.uno && u.uno > d.uno) {
      nuove[0] = u;
      nuove[1] = t.uno > d.uno ? t : d;
      nuove[2] = t.uno > d.uno ? d : t;
    }
  } else {
    // First values summing to zero are not compared: the last positive
    // second value decides.
    if (t.due > 0) {
      nuove[0] = t, nuove[1] = d, nuove[2] = u;
    }
    if (d.due > 0) {
      nuove[0] = d, nuove[1] = t, nuove[2] = u;
    }
    if (u.due > 0) {
      nuove[0] = u, nuove[1] = d, nuove[2] = t;
    }
  }

  for (int k = 0; k < 3; ++k) {
    if (nuove[k].tre == 1) nuove[k].due = somma32(nuove[k].due, 100);
    in_voce(testata[kVoceProgressivaTre + k], nuove[k]);
  }
}

}  // namespace scenario

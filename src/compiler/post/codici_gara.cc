#include "compiler/post/codici_gara.h"

#include "base/testo.h"

namespace scenario {

namespace {
constexpr int kCaratteri = 25;
}

std::string testo_identita(const Testata& testata) {
  return in_minuscolo(testata[kVoceTreno].testo + testata[kVoceLinea].testo) +
         "rrssttuuvvzzaabbccddeeffgg";
}

int16_t codice_gara_og(const Testata& testata) {
  const std::string t = testo_identita(testata);
  int32_t somma = 0;  // at most 25 x 255, always within 16 bits
  for (int p = 0; p < kCaratteri; ++p) somma += static_cast<unsigned char>(t[p]);
  return static_cast<int16_t>(somma);
}

int32_t codice_gara_st(const Testata& testata) {
  const std::string t = testo_identita(testata);
  int32_t somma = 0;
  for (int p = 0; p < kCaratteri; ++p) somma += static_cast<unsigned char>(t[p]) * (p + 1);
  return somma;
}

Codice timbra(Testata& testata, std::vector<Cella>& celle) {
  Voce& linea = testata[kVoceLinea];
  Cella& prima = celle.at(kCellaTimbro);
  int16_t& timbro_testata = linea.*kCampoTimbroTestata;
  int16_t& timbro_celle = prima.*kCampoTimbroCelle;
  if (timbro_testata != 0 || timbro_celle != 0) return Codice::timbro_presente;
  timbro_testata = kTimbroTestata;
  timbro_celle = kTimbroCelle;
  if (linea.valore_quattro != 0 || prima.dato_due != 0) return Codice::identita_presente;
  linea.valore_quattro = codice_gara_st(testata);
  prima.dato_due = codice_gara_og(testata);
  return Codice::nessuno;
}

}  // namespace scenario

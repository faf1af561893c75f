#include "compiler/lettore_campi.h"

#include <algorithm>

namespace scenario {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }

}  // namespace

LettoreCampi::LettoreCampi(std::string bytes, std::string nome) : testo_(std::move(bytes)) {
  inizio_.file = std::move(nome);
  inizio_.riga = 1;
  inizio_.colonna = 1;
}

// A field that cannot be read is shown where it begins; reading past the
// end, where the file ends.
void LettoreCampi::guasto(const std::string& motivo) const {
  fallito_ = Fallimento::lettura;
  Luogo qui = inizio_;
  if (fine()) {
    qui.riga = riga_;
    qui.colonna = static_cast<int>(pos_ - inizio_riga_) + 1;
  }
  throw Guasto(motivo, qui);
}

// The field as it stands, up to its comma or line end, in the message.
void LettoreCampi::non_intero() const {
  size_t a = inizio_pos_;
  while (a < testo_.size() && testo_[a] != ',' && testo_[a] != '\r' && testo_[a] != '\n') ++a;
  std::string campo = testo_.substr(inizio_pos_, std::min<size_t>(a - inizio_pos_, 40));
  while (!campo.empty() && spazio(campo.back())) campo.pop_back();
  guasto("'" + campo + "' non e' un numero intero");
}

void LettoreCampi::salta_riga() {
  if (a_inizio_riga()) return;
  while (pos_ < testo_.size() && testo_[pos_] != '\r' && testo_[pos_] != '\n') ++pos_;
  consuma_separatore();
}

void LettoreCampi::salta_spazi() {
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

bool LettoreCampi::a_fine_campo() const {
  if (pos_ >= testo_.size()) return true;
  const char c = testo_[pos_];
  return c == ',' || c == '\r' || c == '\n';
}

void LettoreCampi::consuma_separatore() {
  if (pos_ >= testo_.size()) return;
  if (testo_[pos_] == ',') {
    ++pos_;
    return;
  }
  if (testo_[pos_] == '\r') {
    ++pos_;
    if (pos_ < testo_.size() && testo_[pos_] == '\n') ++pos_;
  } else if (testo_[pos_] == '\n') {
    ++pos_;
  } else {
    return;
  }
  ++riga_;
  inizio_riga_ = pos_;
}

void LettoreCampi::inizia_campo() {
  fallito_ = Fallimento::nessuno;
  if (fine()) guasto("lettura oltre la fine del file");
  salta_spazi();
  inizio_pos_ = pos_;
  inizio_.riga = riga_;
  inizio_.colonna = static_cast<int>(pos_ - inizio_riga_) + 1;
}

std::string_view LettoreCampi::leggi_testo() {
  inizia_campo();
  const size_t da = pos_;
  while (!a_fine_campo()) ++pos_;
  const std::string_view campo(testo_.data() + da, pos_ - da);
  if (osservatore_) osservatore_->campo_letto(inizio_, campo, std::nullopt);
  consuma_separatore();
  return campo;
}

int64_t LettoreCampi::leggi_numero() {
  inizia_campo();
  if (a_fine_campo()) {  // empty field
    if (osservatore_) osservatore_->campo_letto(inizio_, {}, 0);
    consuma_separatore();
    return 0;
  }
  const size_t da = pos_;
  bool negativo = false;
  if (testo_[pos_] == '-') {
    negativo = true;
    ++pos_;
  }
  if (pos_ >= testo_.size() || !cifra(testo_[pos_])) non_intero();
  int64_t v = 0;
  constexpr int64_t kTroppo = int64_t{1} << 40;  // beyond every place's range
  while (pos_ < testo_.size() && cifra(testo_[pos_])) {
    if (v < kTroppo) v = v * 10 + (testo_[pos_] - '0');
    ++pos_;
  }
  numero_letto_ = std::string_view(testo_).substr(da, pos_ - da);
  if (!a_fine_campo() && !spazio(testo_[pos_])) non_intero();
  if (osservatore_) osservatore_->campo_letto(inizio_, numero_letto_, negativo ? -v : v);
  salta_spazi();
  consuma_separatore();  // one comma or one line end, if next
  return negativo ? -v : v;
}

}  // namespace scenario

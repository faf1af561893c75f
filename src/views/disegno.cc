#include "views/disegno.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "base/testo.h"
#include "views/bande.h"
#include "views/bande_profilo.h"
#include "views/bande_segni.h"
#include "views/bande_stazioni.h"
#include "views/geometria_piano.h"
#include "views/planimetria.h"
#include "views/quadro.h"
#include "views/stazioni.h"
#include "views/svg.h"

namespace scenario {

namespace {

constexpr std::string_view kCaratteri = "DejaVu Sans, Verdana, Arial, sans-serif";

constexpr std::string_view kSimboli =
    "<defs>\n"
    "<style>.alone{paint-order:stroke;stroke:#ffffff;stroke-width:3px;stroke-linejoin:round}"
    "</style>\n"
    "<g id=\"segnale\"><path d=\"M0 9V-2\" stroke=\"#202020\" stroke-width=\"1.4\"/>"
    "<circle cy=\"-4\" r=\"3.6\" fill=\"#c0392b\" stroke=\"#202020\" stroke-width=\"0.8\"/>"
    "</g>\n"
    "<path id=\"avviso\" d=\"M0 -7L6 5H-6Z\" fill=\"#f0a30a\" stroke=\"#7a5200\" "
    "stroke-width=\"0.8\"/>\n"
    "<path id=\"inizio\" d=\"M-1 -8V8L8 0Z\" fill=\"#d62728\"/>\n"
    "<path id=\"fine\" d=\"M1 -8V8L-8 0Z\" fill=\"#2ca02c\"/>\n"
    "<circle id=\"preavviso\" r=\"2.2\" fill=\"#f0a30a\"/>\n"
    "<path id=\"indicatore\" d=\"M0 -6L6 0L0 6L-6 0Z\" fill=\"#ffffff\" stroke=\"#1f5fbf\" "
    "stroke-width=\"1.6\"/>\n"
    "<rect id=\"codice\" x=\"-3\" y=\"-3\" width=\"6\" height=\"6\" fill=\"#9467bd\"/>\n"
    "<rect id=\"cartello\" x=\"-4\" y=\"-5\" width=\"8\" height=\"7\" fill=\"#ffffff\" "
    "stroke=\"#505050\" stroke-width=\"1.2\"/>\n"
    "<path id=\"fermata\" d=\"M-4 6H4L0 0Z\" fill=\"#0b2545\"/>\n"
    "</defs>\n";

std::string disegna(const Testata& testata, const std::vector<Cella>& celle,
                    disegno::FontePunti* piano) {
  using namespace disegno;
  const std::vector<Stazione> st = stazioni(testata, celle);
  const Asse asse(static_cast<double>(celle.size()) * kMetriCella);
  const std::string linea = utf8_da_1252(testata[kVoceLinea].testo);
  const std::string treno = utf8_da_1252(testata[kVoceTreno].testo);
  const int32_t lunghezza = testata[kVoceDatiTreno].valore_due;

  size_t segnali = 0, rallentamenti = 0;
  for (const Cella& c : celle) {
    segnali += c.tipo_cella == cella_segnale;
    rallentamenti += c.tipo_cella == cella_inizio_rallentamento;
  }

  Svg svg;
  svg.t("<text x=\"12\" y=\"30\" font-size=\"20\" font-weight=\"bold\">");
  svg.x(linea).t(" — treno ").x(treno).t("</text>\n");
  svg.etichetta(12, 50,
                "linea di " + metri(lunghezza) + ", " + quanti(celle.size(), "cella", "celle") +
                    " (" + metri(static_cast<int64_t>(celle.size()) * kMetriCella) + "), " +
                    quanti(st.size(), "stazione", "stazioni") + ", " +
                    quanti(segnali, "segnale", "segnali") + ", " +
                    quanti(rallentamenti, "rallentamento", "rallentamenti"),
                12, "start", "fill=\"#444444\"");
  double y = 62;

  std::optional<Pianta> pi;
  Chilometri km;
  if (piano != nullptr) {
    km.fine = std::max<double>(lunghezza, 0);
    km.tratti = tratti(progressive(testata), km.fine, static_cast<double>(piano->punti()));
    pi = pianta(*piano, y, [&st, &km](const Pianta& p) { return punti_chiesti(p, st, km); });
  }
  if (pi) {
    svg.t("<rect x=\"6\" y=\"").n(y).t("\" width=\"").n(kLarghezza - 12).t("\" height=\"");
    svg.n(pi->altezza).t("\" fill=\"#ffffff\" stroke=\"#dddddd\"/>\n");
    disegna_pianta(svg, *pi, y, st, km);
    y += pi->altezza + 10;
  } else {
    svg.etichetta(12, y + 14,
                  piano == nullptr ? "Nessuna planimetria: il file della linea non c'è."
                                   : "Planimetria senza punti da disegnare.",
                  11, "start", "fill=\"#666666\"");
    y += 26;
  }

  // The bands, under a kilometre axis, with a grid through all of them.
  y += 22;
  const double cima_bande = y;
  Bande b(testata, celle, st, asse, y + 6);
  banda_stazioni(b);
  banda_velocita(b);
  banda_altimetria(b);
  banda_pendenza(b);
  banda_aderenza(b);
  banda_strutture(b);
  banda_segnali(b);
  banda_rallentamenti(b);
  banda_segni(b, "Indicatori", {cella_indicatore}, "indicatore", "indicatori di velocità");
  banda_segni(b, "Punti codice", {cella_abbattimento, cella_abbattimento_senza_valore}, "codice",
              "punti di codice");
  banda_segni(b, "Cartelli", {cella_cartello}, "cartello", "cartelli");
  const double fondo_bande = b.fondo();
  griglia_verticale(svg, asse, cima_bande, fondo_bande);
  svg.t(b.svg().prendi());
  const std::vector<Progressiva> rif = progressive(testata);
  const double fine_linea = std::clamp<double>(lunghezza, 0, asse.totale());
  asse_km(svg, asse, cima_bande, true, rif, fine_linea);
  asse_km(svg, asse, fondo_bande, false, rif, fine_linea);
  if (lunghezza > 0 && lunghezza < asse.totale()) {
    const double x = asse.x(lunghezza);
    // The run-off: track past the line's end, shaded over every band.
    svg.t("<rect id=\"prolungamento\" x=\"").n(x).t("\" y=\"").n(cima_bande).t("\" width=\"");
    svg.n(asse.x(asse.totale()) - x).t("\" height=\"").n(fondo_bande - cima_bande);
    svg.t("\" fill=\"#7f7f7f\" fill-opacity=\"0.12\" pointer-events=\"none\"/>\n");
    svg.etichetta((x + asse.x(asse.totale())) / 2, cima_bande - 9,
                  "prolungamento (" + metri(kMetriProlungamento) + ")", 10, "middle",
                  "class=\"alone\" fill=\"#444444\"");
    svg.t("<path d=\"M").n(x).t(" ").n(cima_bande).t("V").n(fondo_bande);
    svg.t("\" stroke=\"#444444\" stroke-dasharray=\"4 3\"><title>fine della linea, ");
    svg.x(metri(lunghezza)).t("; dopo, i ").t(intero(kMetriProlungamento));
    svg.t(" m che la prolungano</title></path>\n");
    svg.etichetta(x, fondo_bande + 30, "fine della linea", 9, "middle", "fill=\"#444444\"");
  }
  y = fondo_bande + 40;
  svg.etichetta(
      12, y,
      "Sugli assi i chilometri delle progressive della linea, nei testi dei segni i metri "
      "dall'inizio; la cella i è il tratto da i × " +
          intero(kMetriCella) + " m. Passando sopra un segno se ne legge il contenuto.",
      10, "start", "fill=\"#666666\"");
  y += 14;

  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "width=\"";
  metti_numero(kLarghezza, &out);
  out += "\" height=\"";
  metti_numero(y, &out);
  out += "\" viewBox=\"0 0 ";
  metti_numero(kLarghezza, &out);
  out += ' ';
  metti_numero(y, &out);
  out += "\" font-family=\"" + std::string(kCaratteri) + "\">\n<title>";
  metti_xml(linea + " — treno " + treno, &out);
  out += "</title>\n";
  out += kSimboli;
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out += svg.prendi();
  out += "</svg>\n";
  return out;
}

}  // namespace

std::string disegna_scenario(const Testata& testata, const std::vector<Cella>& celle,
                             const PianoLetto* piano) {
  if (piano == nullptr) return disegna(testata, celle, nullptr);
  disegno::PuntiInMemoria punti(*piano);
  return disegna(testata, celle, &punti);
}

std::string disegna_scenario(const Testata& testata, const std::vector<Cella>& celle,
                             LettoreIntervalli& piano, const IndicePiano& indice) {
  disegno::PuntiDaFile punti(piano, indice);
  return disegna(testata, celle, &punti);
}

}  // namespace scenario

// The warnings on the line's curves, its chainage references and the
// train's profiles.
#include <algorithm>
#include <string>
#include <string_view>

#include "base/arrotonda.h"
#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"

namespace scenario::controllo {

// -Wcurva.
void avvisi_curve(Avvisi& av) {
  const Registro& r = av.registro();
  for (const RecordLetto& rec : r.record) {
    if (rec.tipo != Tipo::curva || rec.guasto != 0) continue;
    const std::string t = in_minuscolo(rec.parola);
    std::string classi;
    bool altre_cifre = false;
    for (const char c : t) {
      if (c >= '1' && c <= '6') {
        if (classi.find(c) == std::string::npos) classi += c;
      } else if (cifra(static_cast<unsigned char>(c))) {
        altre_cifre = true;
      }
    }
    const char scelta = *std::min_element(classi.begin(), classi.end());
    if (classi.size() > 1 || altre_cifre) {
      av.avvisa(Avviso::curva, rec,
                "la parola " + cita(senza_spazi(rec.parola)) + " ha piu' cifre: conta la classe " +
                    std::string(1, scelta) + ", la prima cifra da 1 a 6 che vi compare");
    }
    const std::string_view parola = definizione(Tipo::curva).parola;
    const size_t dopo = t.find(parola) + parola.size();
    const char lato = dopo < t.size() ? t[dopo] : '\0';
    const bool sinistra = t.find('s') != std::string::npos;
    if (sinistra && lato != 's') {
      av.avvisa(Avviso::curva, rec,
                "la 's' in " + cita(senza_spazi(rec.parola)) +
                    " fa girare la curva a sinistra: il lato e' una 's' ovunque nel campo");
    } else if (!sinistra && lato != 'd' && !(lato >= '1' && lato <= '6')) {
      av.avvisa(Avviso::curva, rec,
                "lato della curva " + cita(senza_spazi(rec.parola)) +
                    " sconosciuto: senza una 's' gira a destra");
    }
  }
}

// -Wprogressive: a reference given with values that the ordering clears.
void avvisi_progressive(Avvisi& av) {
  const Registro& r = av.registro();
  for (const RecordLetto& rec : r.record) {
    const bool progressiva = rec.tipo == Tipo::progressiva_uno ||
                             rec.tipo == Tipo::progressiva_due || rec.tipo == Tipo::progressiva_tre;
    if (!progressiva || rec.guasto != 0 || !rec.ha(2)) continue;
    if (rec.valore(0) == 0 && rec.valore(1) == 0 && rec.valore(2) == 0) continue;
    const int64_t secondo = rec.valore(1) + (rec.valore(2) == 1 ? 100 : 0);
    bool tenuta = false;
    for (int e = kVoceProgressivaTre; e <= kVoceProgressivaUno; ++e) {
      const Voce& v = av.modello().testata[static_cast<size_t>(e)];
      if (v.valore_uno == rec.valore(0) && v.valore_due == secondo &&
          v.valore_tre == rec.valore(2)) {
        tenuta = true;
      }
    }
    if (!tenuta) {
      av.avvisa(Avviso::progressive, rec,
                "l'ordinamento delle progressive azzera questa (due hanno la stessa prima "
                "posizione piu' grande, o le prime posizioni sommano a 0)");
    }
  }
}

// -Wprofilo.
void avvisi_profilo(Avvisi& av) {
  const Registro& r = av.registro();
  const auto treno = static_cast<size_t>(Sorgente::treno);
  if (!r.letto[treno] || r.interrotto[treno]) return;
  for (const Tipo t : {Tipo::velocita, Tipo::aderenza}) {
    const RecordLetto* primo = nullptr;
    for (const RecordLetto& rec : r.record) {
      if (rec.tipo == t && rec.ha(1)) {
        primo = &rec;
        break;
      }
    }
    const char* cosa = nome_tipo(t);
    if (primo == nullptr) {
      av.avvisa(Avviso::profilo, Sorgente::treno, Posto{},
                std::string("nessun record ") + cosa + ": " + cosa + " 0 su tutta la linea");
    } else if (vicino(primo->valore(0), kMetriCella) > 0) {
      av.avvisa(Avviso::profilo, *primo,
                std::string("prima di ") + std::to_string(primo->valore(0)) + " m la " + cosa +
                    " e' 0: manca un record " + cosa + " alla posizione 0",
                0, primo->valore(0));
    }
  }
}

}  // namespace scenario::controllo

// The warnings on keyword fields: a keyword no reader takes (and what it
// may have meant), a dashed field passed over, a keyword inside other text;
// and on a source saved in another encoding.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "base/testo.h"
#include "check/avvisi.h"
#include "check/controllo_avvisi.h"

namespace scenario::controllo {

namespace {

std::optional<std::string_view> suggerimento(Sorgente f, std::string_view campo) {
  const std::string c = in_minuscolo(senza_spazi(campo));
  if (c.size() < 4) return std::nullopt;
  std::optional<std::string_view> migliore;
  size_t minima = 3;
  const auto prova = [&](std::string_view p) {
    // Against the keyword and against its first word.
    const size_t d =
        std::min(distanza_entro(c, p, minima), distanza_entro(c, p.substr(0, p.find(' ')), minima));
    if (d < minima) {
      minima = d;
      migliore = p;
    }
  };
  // The keywords an author would have meant, as the carried files write
  // them, in the table's order: the first of two as near wins.
  for (const DefinizioneRecord& d : tipi_record()) {
    if (d.file() != f) continue;
    for (std::string_view p : d.proposte) {
      if (!p.empty()) prova(p);
    }
  }
  return migliore;
}

std::string perche_ignorato(const CampoScartato& c, std::string_view t) {
  const std::string minuscolo = in_minuscolo(t);
  const auto ha = [&](std::string_view p) { return contiene(minuscolo, p); };
  if (c.parte == Parte::prima_generale) {
    // An editor's byte-order mark at the file's start: the heading right
    // after it is found all the same.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (c.posto.riga == 1 && c.posto.colonna == 1 && t.starts_with(kBom)) {
      const std::string_view resto = senza_spazi(t.substr(kBom.size()));
      std::string m =
          "il file inizia con i byte EF BB BF, il segno (BOM) che alcuni editor scrivono "
          "all'inizio di un file salvato in UTF-8: il formato e' Windows-1252, salvare il file "
          "senza BOM";
      if (!resto.empty() && !contiene_senza_maiuscole(resto, kIntestazioneGenerale)) {
        m += "; " + cita(resto) + " sta prima di " + std::string(kIntestazioneGenerale) +
             ": non e' letto";
      }
      return m;
    }
    return cita(t) + " sta prima di " + std::string(kIntestazioneGenerale) + ": non e' letto";
  }
  // A kind's words, in any case.
  const auto di = [&](LetturaRecord l) {
    for (const DefinizioneRecord& d : tipi_letti(l)) {
      if (ha(d.parola) && ha(d.seconda_parola)) return true;
    }
    return false;
  };
  // The word that tells a record of the other file.
  const auto dell_altro_file = [&] {
    for (const DefinizioneRecord& d : tipi_record()) {
      if (d.file() != c.file && ha(d.indizio)) return true;
    }
    return false;
  };
  if (c.file == Sorgente::linea) {
    const bool chiave_generale = di(LetturaRecord::generale_linea);
    const bool record_successivo = di(LetturaRecord::successive_linea);
    if (c.parte == Parte::generale && chiave_generale) {
      return "le parole chiave di " + std::string(kIntestazioneGenerale) +
             " vanno scritte in minuscolo: " + cita(t) + " e' ignorato";
    }
    if (c.parte == Parte::generale && record_successivo) {
      return cita(t) + " non e' letto nella sezione " + std::string(kIntestazioneGenerale) +
             ": il record e' ignorato";
    }
    if (c.parte == Parte::successive && chiave_generale) {
      return cita(t) + " e' letto solo nella sezione " + std::string(kIntestazioneGenerale) +
             ": il record e' ignorato";
    }
    if (dell_altro_file()) return cita(t) + " e' un record del file del treno: qui e' ignorato";
  } else if (dell_altro_file()) {
    return cita(t) + " e' un record del file della linea: qui e' ignorato";
  }
  std::string m = "parola chiave sconosciuta " + cita(t) + ": il record e' ignorato";
  if (const auto s = suggerimento(c.file, t)) m += " (forse '" + std::string(*s) + "'?)";
  return m;
}

// The records numbered da to a (not included), all started by one field.
void guarda_parola(Avvisi& av, size_t da, size_t a) {
  const Registro& r = av.registro();
  const RecordLetto& rec = r.record[da];
  const std::string_view t = senza_spazi(rec.parola);
  if (rec.parola.size() > 0 && rec.parola.front() == '[') {
    av.avvisa(Avviso::parola_nel_campo, rec,
              "l'intestazione " + cita(t) + " contiene la parola chiave di " + nome(rec) +
                  ": e' letta come un record");
    return;
  }
  if (a - da > 1) {
    std::string elenco;
    for (size_t k = da; k < a; ++k) {
      elenco += std::string(elenco.empty() ? "" : ", ") + nome_tipo(r.record[k].tipo);
    }
    av.avvisa(Avviso::parola_nel_campo, rec,
              "il campo " + cita(t) + " contiene le parole chiave di piu' record (" + elenco +
                  "): sono letti tutti");
    return;
  }
  const auto estraneo = std::find_if(t.begin(), t.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return !lettera(c) && !cifra(c) && c != '_' && c != ' ' && c != '\t' && c != '\'';
  });
  if (estraneo != t.end()) {
    av.avvisa(Avviso::parola_nel_campo, rec,
              "il campo " + cita(t) + " contiene '" + std::string(1, *estraneo) +
                  "' oltre alla parola chiave: il record " + nome(rec) +
                  " e' letto lo stesso (non c'e' modo di commentarlo)");
    return;
  }
  const std::string minuscolo = in_minuscolo(t);
  const DefinizioneRecord& d = definizione(rec.tipo);
  for (std::string_view p : {d.parola, d.seconda_parola}) {
    if (p.empty()) continue;
    const size_t dove = minuscolo.find(p);
    if (dove != std::string::npos && dove > 0 &&
        (lettera(static_cast<unsigned char>(minuscolo[dove - 1])) ||
         cifra(static_cast<unsigned char>(minuscolo[dove - 1])))) {
      av.avvisa(Avviso::parola_nel_campo, rec,
                "il campo " + cita(t) + " contiene '" + std::string(p) +
                    "' dentro un'altra parola: il record " + nome(rec) + " e' letto lo stesso");
      return;
    }
  }
}

}  // namespace

// -Wparola-sconosciuta, -Wtrattino, -Wparola-nel-campo.
void avvisi_parole(Avvisi& av) {
  const Registro& r = av.registro();
  for (const CampoScartato& c : r.scartati) {
    if (!c.inizio_riga || c.dopo_guasto) continue;
    const std::string_view t = senza_spazi(c.testo);
    if (t.empty()) continue;
    if (c.trattino) {
      if (std::any_of(t.begin(), t.end(), [](char ch) { return lettera(ch); })) {
        av.avvisa(Avviso::trattino, c.file, c.posto,
                  "il campo " + cita(t) + " contiene '-': e' saltato e il suo record non e' letto");
      }
      continue;
    }
    av.avvisa(Avviso::parola_sconosciuta, c.file, c.posto, perche_ignorato(c, t));
  }
  // Keyword fields that started records: one look per field.
  const auto stesso_campo = [](const RecordLetto& a, const RecordLetto& b) {
    return a.posto == b.posto && sorgente_di(a.tipo) == sorgente_di(b.tipo);
  };
  for (size_t i = 0; i < r.record.size(); ++i) {
    const RecordLetto& rec = r.record[i];
    if (i > 0 && stesso_campo(r.record[i - 1], rec)) continue;
    size_t fine = i + 1;
    while (fine < r.record.size() && stesso_campo(r.record[fine], rec)) ++fine;
    guarda_parola(av, i, fine);
  }
}

// -Wcodifica: bytes above 127 that all make UTF-8 sequences, some longer
// than one byte: the editor saved the file as UTF-8, and every accented
// letter will reach the simulator as two Windows-1252 characters.
void avvisi_codifica(Avvisi& av) {
  const Registro& r = av.registro();
  for (const Sorgente f : {Sorgente::linea, Sorgente::treno}) {
    const std::string_view t = r.testi[static_cast<size_t>(f)];
    std::optional<size_t> primo;
    bool utf8 = true;
    for (size_t i = 0; i < t.size() && utf8;) {
      const auto c = static_cast<unsigned char>(t[i]);
      const size_t n = c < 0x80                 ? 1
                       : c >= 0xC2 && c <= 0xDF ? 2
                       : c >= 0xE0 && c <= 0xEF ? 3
                       : c >= 0xF0 && c <= 0xF4 ? 4
                                                : 0;
      if (n == 0 || i + n > t.size()) {
        utf8 = false;
        break;
      }
      for (size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) utf8 = false;
      }
      if (n > 1 && !primo) primo = i;
      i += n;
    }
    if (!utf8 || !primo) continue;
    int riga = 1;
    size_t inizio = 0;
    for (size_t i = 0; i < *primo; ++i) {
      if (t[i] == '\n' || (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n'))) {
        ++riga;
        inizio = i + 1;
      }
    }
    av.avvisa(Avviso::codifica, f, Posto{riga, static_cast<int>(*primo - inizio) + 1},
              "il file e' salvato in UTF-8: il formato e' Windows-1252, e ogni lettera "
              "accentata arriverebbe al simulatore come due caratteri");
  }
}

}  // namespace scenario::controllo

#include "tools/scenario/riga_comando.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "installer/avvio.h"
#include "installer/uscita.h"

namespace scenario {

bool Argomenti::ha(std::string_view nome) const {
  for (const auto& [n, v] : dati) {
    if (n == nome) return true;
  }
  return false;
}

std::optional<std::string> Argomenti::valore(std::string_view nome) const {
  std::optional<std::string> ultimo;
  for (const auto& [n, v] : dati) {
    if (n == nome) ultimo = v;
  }
  return ultimo;
}

std::vector<std::string> Argomenti::valori(std::string_view nome) const {
  std::vector<std::string> tutti;
  for (const auto& [n, v] : dati) {
    if (n == nome) tutti.push_back(v);
  }
  return tutti;
}

namespace {

// The table of the running tool, for the usage lines of errore_uso.
std::span<const Sottocomando> g_comandi;

struct ErroreUso {
  std::string motivo;
};

std::string parola_opzione(const Opzione& o) {
  std::string s(o.nome);
  if (o.prefisso) {
    s += o.valore;
  } else if (!o.valore.empty()) {
    s += ' ';
    s += o.valore;
  }
  return s;
}

std::string sinossi(const Sottocomando& c) {
  std::string s = "scenario ";
  s += c.nome;
  if (!c.sinossi.empty()) {
    s += ' ';
    s += c.sinossi;
  }
  for (const Opzione& o : c.opzioni) s += " [" + parola_opzione(o) + "]";
  return s;
}

std::string panoramica() {
  std::string s = "Uso:\n";
  for (const Sottocomando& c : g_comandi) s += "  " + sinossi(c) + "\n";
  s += "  scenario --help | --version\n"
       "'scenario COMANDO --help' spiega un comando e le sue opzioni.\n"
       "DIR e' la cartella corrente se non indicata.\n";
  return s;
}

std::string aiuto(const Sottocomando& c) {
  std::string s = "Uso: " + sinossi(c) + "\n\n";
  s += c.descrizione;
  if (!c.descrizione.empty() && c.descrizione.back() != '\n') s += '\n';
  s += "\nOpzioni:\n";
  size_t larghezza = std::string_view("-h, --help").size();
  for (const Opzione& o : c.opzioni) {
    const size_t l = parola_opzione(o).size() + (o.breve.empty() ? 0 : o.breve.size() + 2);
    larghezza = std::max(larghezza, l);
  }
  auto riga = [&](std::string sinistra, std::string_view testo) {
    sinistra.resize(larghezza, ' ');
    s += "  " + sinistra + "  " + std::string(testo) + "\n";
  };
  for (const Opzione& o : c.opzioni) {
    riga(o.breve.empty() ? parola_opzione(o) : std::string(o.breve) + ", " + parola_opzione(o),
         o.aiuto);
  }
  riga("-h, --help", "mostra questo aiuto");
  return s;
}

const Opzione* trova_opzione(const Sottocomando& c, std::string_view parola) {
  for (const Opzione& o : c.opzioni) {
    if (parola == o.nome || (!o.breve.empty() && parola == o.breve)) return &o;
    if (o.prefisso && parola.size() > o.nome.size() && parola.substr(0, o.nome.size()) == o.nome) {
      return &o;
    }
  }
  return nullptr;
}

// Reads the words after the subcommand. Options may stand anywhere among
// the positional arguments; "--" ends them.
Argomenti leggi(const Sottocomando& c, std::span<const std::string_view> parole) {
  Argomenti a;
  bool solo_posizionali = false;
  for (size_t i = 0; i < parole.size(); ++i) {
    const std::string_view p = parole[i];
    if (p == "--" && !solo_posizionali) {
      solo_posizionali = true;
      continue;
    }
    const bool lunga = p.rfind("--", 0) == 0;
    std::string_view parola = p;
    std::optional<std::string_view> attaccato;
    if (const size_t uguale = p.find('='); lunga && uguale != p.npos) {
      parola = p.substr(0, uguale);
      attaccato = p.substr(uguale + 1);
    }
    // A word with one dash that names no option is an argument: "-5" is a
    // valid train number.
    const Opzione* o =
        solo_posizionali || p.empty() || p[0] != '-' ? nullptr : trova_opzione(c, parola);
    if (o == nullptr && (solo_posizionali || !lunga)) {
      a.posizionali.emplace_back(p);
      continue;
    }
    if (o == nullptr) {
      throw ErroreUso{"opzione sconosciuta per " + std::string(c.nome) + ": " + std::string(p)};
    }
    if (o->prefisso) {
      a.dati.emplace_back(o->nome, p.substr(o->nome.size()));
    } else if (o->valore.empty()) {
      if (attaccato) throw ErroreUso{std::string(o->nome) + " non vuole un valore"};
      a.dati.emplace_back(o->nome, "");
    } else if (attaccato) {
      a.dati.emplace_back(o->nome, *attaccato);
    } else if (i + 1 < parole.size()) {
      a.dati.emplace_back(o->nome, parole[++i]);
    } else {
      throw ErroreUso{std::string(o->nome) + " vuole un valore (" + std::string(o->valore) + ")"};
    }
  }
  const size_t n = a.posizionali.size();
  if (n < c.min_posizionali || n > c.max_posizionali) {
    std::string motivo = std::string(c.nome);
    if (c.max_posizionali == 0) {
      motivo += " non vuole argomenti oltre alle opzioni";
    } else {
      motivo += " vuole " + std::string(c.sinossi);
    }
    throw ErroreUso{motivo};
  }
  return a;
}

bool chiede_aiuto(std::span<const std::string_view> parole) {
  for (const std::string_view p : parole) {
    if (p == "--") return false;
    if (p == "--help" || p == "-h") return true;
  }
  return false;
}

// Standard output is the product of most commands: a write that failed is
// a failure of the run, not a success with nothing printed.
int uscita_controllata(int stato) {
  errno = 0;
  std::cout.flush();
  if (std::cout) return stato;
  const int e = errno != 0 ? errno : errore_uscita();
  std::cerr << "scenario: impossibile scrivere lo standard output: "
            << (e != 0 ? std::strerror(e) : "scrittura non riuscita") << std::endl;
  return uscita_guasto;
}

}  // namespace

int errore_uso(const std::string& motivo) {
  std::cerr << "scenario: " << motivo << "\n\n" << panoramica();
  std::cerr.flush();
  return uscita_uso;
}

int esegui_riga_comando(std::span<const Sottocomando> comandi, std::string_view versione, int argc,
                        const char* const* argv) {
  g_comandi = comandi;
  std::vector<std::string_view> parole(argv + std::min(argc, 1), argv + argc);
  if (parole.empty()) return errore_uso("manca il comando");
  const std::string_view primo = parole.front();
  if (primo == "--help" || primo == "-h" || primo == "help") {
    std::cout << panoramica();
    return uscita_controllata(uscita_ok);
  }
  if (primo == "--version") {
    std::cout << "scenario " << versione << "\n";
    return uscita_controllata(uscita_ok);
  }
  for (const Sottocomando& c : comandi) {
    if (c.nome != primo) continue;
    const std::span<const std::string_view> resto(parole.begin() + 1, parole.end());
    if (chiede_aiuto(resto)) {
      std::cout << aiuto(c);
      return uscita_controllata(uscita_ok);
    }
    try {
      return uscita_controllata(c.esegui(leggi(c, resto)));
    } catch (const ErroreUso& e) {
      return errore_uso(e.motivo);
    }
  }
  return errore_uso("comando sconosciuto: " + std::string(primo));
}

}  // namespace scenario

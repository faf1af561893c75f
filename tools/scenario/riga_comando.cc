#include "tools/scenario/riga_comando.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "base/testo.h"
#include "installer/avvio.h"
#include "installer/corsa.h"
#include "installer/uscita.h"
#include "platform/blocco_cartella.h"
#include "platform/programma.h"
#include "platform/scrittura.h"

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

// The table of the running tool, for the usage lines after a bad command
// line.
std::span<const Sottocomando> g_comandi;

// Its options as the table gives them: the folder's and the identity's
// first, then its own.
std::vector<Opzione> opzioni(const Sottocomando& c) {
  std::vector<Opzione> o;
  if (c.cartella) o.push_back(kOpzioneDir);
  if (c.identita == FonteIdentita::opzioni) {
    o.push_back(kOpzioneLinea);
    o.push_back(kOpzioneTreno);
  }
  o.insert(o.end(), c.opzioni.begin(), c.opzioni.end());
  return o;
}

// The positional arguments, LINEA TRENO first for a command that takes them.
std::string posizionali(const Sottocomando& c) {
  std::string s = c.identita == FonteIdentita::argomenti ? "LINEA TRENO" : "";
  if (!s.empty() && !c.sinossi.empty()) s += ' ';
  s += c.sinossi;
  return s;
}
size_t gia_posizionali(const Sottocomando& c) {
  return c.identita == FonteIdentita::argomenti ? 2 : 0;
}

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
  if (const std::string p = posizionali(c); !p.empty()) s += ' ' + p;
  for (const Opzione& o : opzioni(c)) s += " [" + parola_opzione(o) + "]";
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

// After a bad command line of one command: its usage alone.
std::string uso_di(const Sottocomando& c) {
  return "Uso: " + sinossi(c) + "\n'scenario " + std::string(c.nome) +
         " --help' spiega il comando e le sue opzioni.\n";
}

// The words that name the options `oo`, as typed.
std::vector<std::string_view> nomi_opzioni(const std::vector<Opzione>& oo) {
  std::vector<std::string_view> nomi;
  for (const Opzione& o : oo) {
    nomi.push_back(o.nome);
    if (!o.breve.empty()) nomi.push_back(o.breve);
  }
  nomi.push_back("--help");
  return nomi;
}

std::string aiuto(const Sottocomando& c) {
  std::string s = "Uso: " + sinossi(c) + "\n\n";
  s += c.descrizione;
  if (!c.descrizione.empty() && c.descrizione.back() != '\n') s += '\n';
  s += "\nOpzioni:\n";
  size_t larghezza = std::string_view("-h, --help").size();
  const std::vector<Opzione> tutte = opzioni(c);
  for (const Opzione& o : tutte) {
    const size_t l = parola_opzione(o).size() + (o.breve.empty() ? 0 : o.breve.size() + 2);
    larghezza = std::max(larghezza, l);
  }
  auto riga = [&](std::string sinistra, std::string_view testo) {
    sinistra.resize(larghezza, ' ');
    s += "  " + sinistra + "  " + std::string(testo) + "\n";
  };
  for (const Opzione& o : tutte) {
    riga(o.breve.empty() ? parola_opzione(o) : std::string(o.breve) + ", " + parola_opzione(o),
         o.aiuto);
  }
  riga("-h, --help", "mostra questo aiuto");
  return s;
}

std::optional<Opzione> trova_opzione(const Sottocomando& c, std::string_view parola) {
  for (const Opzione& o : opzioni(c)) {
    if (parola == o.nome || (!o.breve.empty() && parola == o.breve)) return o;
    if (o.prefisso && parola.size() > o.nome.size() && parola.substr(0, o.nome.size()) == o.nome) {
      return o;
    }
  }
  return std::nullopt;
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
    const std::optional<Opzione> o =
        solo_posizionali || p.empty() || p[0] != '-' ? std::nullopt : trova_opzione(c, parola);
    if (!o && (solo_posizionali || !lunga)) {
      a.posizionali.emplace_back(p);
      continue;
    }
    if (!o) {
      errore_uso("opzione sconosciuta: " + std::string(p) +
                 forse(parola, nomi_opzioni(opzioni(c))));
    }
    if (o->prefisso) {
      a.dati.emplace_back(o->nome, p.substr(o->nome.size()));
    } else if (o->valore.empty()) {
      if (attaccato) errore_uso(std::string(o->nome) + " non vuole un valore");
      a.dati.emplace_back(o->nome, "");
    } else if (attaccato) {
      a.dati.emplace_back(o->nome, *attaccato);
    } else if (i + 1 < parole.size()) {
      a.dati.emplace_back(o->nome, parole[++i]);
    } else {
      errore_uso(std::string(o->nome) + " vuole un valore (" + std::string(o->valore) + ")");
    }
  }
  const size_t n = a.posizionali.size();
  const size_t gia = gia_posizionali(c);
  if (n > gia + c.max_posizionali) {
    // The first word too many, and what it may have meant when it looks
    // like an option.
    const std::string& troppo = a.posizionali[gia + c.max_posizionali];
    const std::string suggerito =
        troppo.starts_with("-") ? forse(troppo, nomi_opzioni(opzioni(c))) : "";
    if (!suggerito.empty()) errore_uso("opzione sconosciuta: " + troppo + suggerito);
    std::string motivo = "argomento in piu': " + troppo;
    if (gia + c.max_posizionali == 0) {
      motivo += " (" + std::string(c.nome) + " non vuole argomenti oltre alle opzioni)";
    } else {
      motivo += " (" + std::string(c.nome) + " vuole " + posizionali(c) + ")";
    }
    errore_uso(motivo);
  }
  if (n < gia + c.min_posizionali) {
    errore_uso("argomenti mancanti: " + std::string(c.nome) + " vuole " + posizionali(c));
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
int uscita_controllata(std::string_view prefisso, int stato) {
  errno = 0;
  std::cout.flush();
  if (std::cout) return stato;
  const int e = errno != 0 ? errno : errore_uscita();
  std::cerr << prefisso << "impossibile scrivere lo standard output: "
            << (e != 0 ? motivo_errno(e) : "scrittura non riuscita") << std::endl;
  return uscita_guasto;
}

// The checks the table's fields call for, in this order: the identity, the
// folder's name, the folder, the names of the scenario's files. Then the
// command, with the run over its folder held when it writes there.
int esegui_comando(const Sottocomando& c, std::span<const std::string_view> parole) {
  Richiesta r;
  static_cast<Argomenti&>(r) = leggi(c, parole);
  r.comando = &c;
  if (c.identita == FonteIdentita::argomenti) {
    r.id = {r.posizionali.at(0), r.posizionali.at(1)};
  } else if (c.identita == FonteIdentita::opzioni) {
    r.id = identita_portata();
    if (const auto l = r.valore(kOpzioneLinea.nome)) r.id.linea = *l;
    if (const auto t = r.valore(kOpzioneTreno.nome)) r.id.treno = *t;
  }
  if (c.identita != FonteIdentita::nessuna &&
      (!identita_valida(r.id.linea) || !identita_valida(r.id.treno))) {
    errore_uso(kIdentitaNonValida);
  }
  if (c.cartella) {
    if (const auto dir = r.valore(kOpzioneDir.nome)) {
      // An empty name is no folder, not the current one.
      if (dir->empty()) errore_uso(kCartellaVuota);
      r.dir = *dir;
      r.prefisso_nomi = (r.dir / "").string();
      try {
        verifica_cartella(r.dir);
      } catch (const GuastoPiattaforma& e) {
        throw ErroreComando(uscita_guasto, e.what());
      }
    }
  }
  if (!c.file.scritti.empty() || !c.file.letti.empty()) {
    r.nomi = corsa_dello_scenario(r.dir, r.id, c.file.scritti, c.file.letti);
  }
  // Held to the end: no other run writes in the folder meanwhile, and no
  // name that does not fit is ever begun.
  std::optional<Corsa> corsa;
  if (!c.file.scritti.empty()) corsa.emplace(r.dir, r.nomi);
  return c.esegui(r);
}

}  // namespace

std::string forse(std::string_view scritta, std::span<const std::string_view> parole,
                  std::string_view davanti) {
  // Up to a third of the word, at least one letter: "chek" is "check".
  const size_t limite = std::max<size_t>(2, scritta.size() / 3 + 1);
  const std::optional<std::string_view> p = parola_vicina(scritta, parole, limite);
  if (!p) return "";
  std::string s = " (forse '";
  s += davanti;
  s += *p;
  s += "'?)";
  return s;
}

void errore_uso(const std::string& motivo) { throw ErroreComando(uscita_uso, motivo); }

std::string prefisso_di(const Sottocomando* comando) {
  std::string p = "scenario";
  if (comando != nullptr) {
    p += ' ';
    p += comando->nome;
  }
  p += ": ";
  return p;
}

int esito(std::string_view prefisso, const std::function<int()>& corpo,
          const Sottocomando* comando) {
  // Said piece by piece, without a string to build: memory may have run out.
  const auto di = [comando, prefisso](int stato, std::string_view testo) {
    std::cout.flush();
    for (size_t inizio = 0;;) {
      const size_t fine = testo.find('\n', inizio);
      std::cerr << prefisso << testo.substr(inizio, fine - inizio);
      if (fine == testo.npos) break;
      std::cerr << '\n';
      inizio = fine + 1;
    }
    if (stato == uscita_uso) {
      std::cerr << "\n\n" << (comando != nullptr ? uso_di(*comando) : panoramica());
    } else {
      std::cerr << '\n';
    }
    std::cerr.flush();
    return stato;
  };
  try {
    return corpo();
  } catch (const ErroreComando& e) {
    return di(e.stato(), e.what());
  } catch (const NomiInConflitto& e) {
    return di(uscita_uso, e.what());
  } catch (const NomeTroppoLungo& e) {
    return di(uscita_uso, e.what());
  } catch (const std::exception& e) {
    return di(uscita_guasto, e.what());
  }
}

int esegui_sottocomando(const Sottocomando& c, std::span<const std::string_view> parole) {
  const auto corpo = [&] { return esegui_comando(c, parole); };
  return esito(prefisso_di(&c), corpo, &c);
}

std::filesystem::path programma_in_corsa() {
  try {
    return percorso_programma();
  } catch (const std::exception&) {
    return {};
  }
}

NomiCorsa corsa_dello_scenario(const std::filesystem::path& dir, const Identita& id,
                               std::span<const size_t> uscite, std::span<const size_t> sorgenti) {
  const std::vector<FileCorsa> tutti = file_installatore(dir, id);
  NomiCorsa n;
  n.uscite = tutti;
  controlla_nomi_corsa(n);
  n.uscite.clear();
  for (const size_t i : uscite) n.uscite.push_back(tutti.at(i));
  for (const size_t i : sorgenti) n.sorgenti.push_back(tutti.at(i));
  n.programma = programma_in_corsa();
  return n;
}

int esegui_riga_comando(std::span<const Sottocomando> comandi, std::string_view versione, int argc,
                        const char* const* argv) {
  g_comandi = comandi;
  std::vector<std::string_view> parole(argv + std::min(argc, 1), argv + argc);
  const std::string dello_strumento = prefisso_di(nullptr);
  if (parole.empty()) {
    return esito(dello_strumento, []() -> int { errore_uso("manca il comando"); });
  }
  const std::string_view primo = parole.front();
  if (primo == "--help" || primo == "-h" || primo == "help") {
    std::cout << panoramica();
    return uscita_controllata(dello_strumento, uscita_ok);
  }
  if (primo == "--version") {
    std::cout << "scenario " << versione << "\n";
    return uscita_controllata(dello_strumento, uscita_ok);
  }
  for (const Sottocomando& c : comandi) {
    if (c.nome != primo) continue;
    const std::span<const std::string_view> resto(parole.begin() + 1, parole.end());
    const std::string prefisso = prefisso_di(&c);
    if (chiede_aiuto(resto)) {
      std::cout << aiuto(c);
      return uscita_controllata(prefisso, uscita_ok);
    }
    return uscita_controllata(prefisso, esegui_sottocomando(c, resto));
  }
  std::vector<std::string_view> nomi;
  for (const Sottocomando& c : comandi) nomi.push_back(c.nome);
  return esito(dello_strumento, [&]() -> int {
    errore_uso("comando sconosciuto: " + std::string(primo) + forse(primo, nomi));
  });
}

}  // namespace scenario

#include "tests/support/esegui.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "tests/support/cartella.h"

extern char** environ;

namespace scenario::test {

namespace fs = std::filesystem;

namespace {

// A cross build's programs run through its emulator (qemu-i386 for the
// 32-bit build), as ctest runs the tests themselves.
#ifdef SCENARIO_EMULATORE
constexpr std::string_view kEmulatore = SCENARIO_EMULATORE;
#else
constexpr std::string_view kEmulatore;
#endif

// What qemu-i386 lays out in every guest's address space besides what the
// program maps itself: the heap's first 16 MiB, kept free after the image
// (qemu 7), and the guest's stack, made whole at its limit up front (8 MiB
// unless RLIMIT_STACK says otherwise) with a guard page below it. A native
// process's limit counts neither the unused heap nor the unused stack.
constexpr rlim_t kHeapIniziale = rlim_t{16} << 20;
constexpr rlim_t kPilaPredefinita = rlim_t{8} << 20;

constexpr rlim_t kPagina = 4096;

rlim_t pila_dell_ospite() {
  rlimit r{};
  const bool data = getrlimit(RLIMIT_STACK, &r) == 0 && r.rlim_cur != RLIM_INFINITY;
  return (data ? r.rlim_cur : kPilaPredefinita) + kPagina;
}

// The first address above the 32-bit program's loaded image: the end of
// its highest PT_LOAD segment, a page rounded up; 0 when it cannot be read.
rlim_t fine_immagine(const fs::path& programma) {
  std::ifstream f(programma, std::ios::binary);
  const auto parola = [&f](std::streamoff dove, int byte) {
    unsigned char b[4] = {};
    f.seekg(dove);
    f.read(reinterpret_cast<char*>(b), byte);
    uint32_t v = 0;
    for (int i = byte - 1; i >= 0; --i) v = (v << 8) | b[i];
    return v;
  };
  const uint32_t phoff = parola(0x1C, 4);
  const uint32_t phentsize = parola(0x2A, 2);
  const uint32_t phnum = parola(0x2C, 2);
  rlim_t fine = 0;
  for (uint32_t i = 0; i < phnum && f; ++i) {
    const std::streamoff h = phoff + std::streamoff{i} * phentsize;
    if (parola(h, 4) != 1) continue;  // PT_LOAD
    fine = std::max<rlim_t>(fine, rlim_t{parola(h + 8, 4)} + parola(h + 20, 4));
  }
  return f ? (fine + kPagina - 1) / kPagina * kPagina : 0;
}

// The guest address space that grants the program `limite` bytes as
// RLIMIT_AS grants a native one: its image, its stack and its heap's start
// are laid out by qemu beyond it, and the heap's start counts as memory
// the program uses. The 32-bit build is loaded low (its toolchain file),
// so no unused space lies below the image.
rlim_t spazio_dell_ospite(const fs::path& programma, rlim_t limite) {
  return fine_immagine(programma) + pila_dell_ospite() + std::max(limite, kHeapIniziale);
}

// The file `nome` found in the folders of `path`, as execvp would.
fs::path cerca(const fs::path& nome, const std::string& path) {
  size_t da = 0;
  while (da <= path.size()) {
    size_t a = path.find(':', da);
    if (a == std::string::npos) a = path.size();
    const fs::path cartella = path.substr(da, a - da).empty() ? "." : path.substr(da, a - da);
    if (access((cartella / nome).c_str(), X_OK) == 0) return cartella / nome;
    da = a + 1;
  }
  return nome;
}

std::string path_di(const Avvio& a) {
  if (a.path) return *a.path;
  const char* p = std::getenv("PATH");
  return p != nullptr ? p : "/usr/bin:/bin";
}

// Child side of every start: limits, folder, standard streams, then exec.
[[noreturn]] void esegui_nel_figlio(const Avvio& a, const std::vector<std::string>& riga,
                                    const fs::path& cartella, const fs::path& out,
                                    const fs::path& err, int via) {
  if (via >= 0) {
    char c;
    if (read(via, &c, 1) != 1) _exit(126);
  }
  if (a.limite_file) {
    const rlimit l{*a.limite_file, *a.limite_file};
    if (setrlimit(RLIMIT_FSIZE, &l) != 0) _exit(126);
  }
  // Under emulation the guest's address space carries the limit instead
  // (riga_di_avvio): the emulator itself needs far more than its guest.
  if (a.limite_memoria && !emulato()) {
    const rlimit l{*a.limite_memoria, *a.limite_memoria};
    if (setrlimit(RLIMIT_AS, &l) != 0) _exit(126);
  }
  const int in = open("/dev/null", O_RDONLY);
  const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int e = err == out ? o : open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || o < 0 || e < 0 || chdir(cartella.c_str()) != 0) _exit(126);
  dup2(in, 0);
  dup2(o, 1);
  dup2(e, 2);
  if (a.path) setenv("PATH", a.path->c_str(), 1);
  for (const auto& [nome, valore] : a.ambiente) setenv(nome.c_str(), valore.c_str(), 1);
  std::vector<char*> argv;
  for (const std::string& s : riga) argv.push_back(const_cast<char*>(s.c_str()));
  argv.push_back(nullptr);
  // A program found through PATH knows itself by its bare name, as when a
  // shell starts it.
  const std::string nome = a.programma.string();
  if (riga.size() == a.argomenti.size() + 1 && !a.programma.has_parent_path()) {
    argv[0] = const_cast<char*>(nome.c_str());
  }
  execve(riga[0].c_str(), argv.data(), environ);
  _exit(127);
}

}  // namespace

std::vector<std::string> parole(std::string_view testo) {
  std::vector<std::string> v;
  size_t i = 0;
  while (i < testo.size()) {
    if (testo[i] == ' ') {
      ++i;
      continue;
    }
    std::string p;
    while (i < testo.size() && testo[i] != ' ') {
      if (testo[i] == '\'') {
        const size_t fine = testo.find('\'', i + 1);
        p += testo.substr(i + 1, fine - i - 1);
        i = fine == std::string_view::npos ? testo.size() : fine + 1;
      } else {
        p += testo[i++];
      }
    }
    v.push_back(std::move(p));
  }
  return v;
}

Avvio avvio(const fs::path& programma, std::string_view argomenti) {
  return Avvio{programma, parole(argomenti)};
}

bool programma_della_build(const fs::path& programma) {
  std::ifstream f(programma, std::ios::binary);
  char h[5] = {};
  f.read(h, sizeof h);
  constexpr std::string_view kMagia(
      "\x7f"
      "ELF",
      4);
  const char classe = sizeof(void*) == 4 ? 1 : 2;  // ELFCLASS32, ELFCLASS64
  return f && std::string_view(h, 4) == kMagia && h[4] == classe;
}

bool emulato() { return !kEmulatore.empty(); }

std::vector<std::string> riga_di_avvio(const Avvio& a, const fs::path& cartella) {
  const bool nudo = !a.programma.has_parent_path();
  const fs::path trovato = nudo ? cerca(a.programma, path_di(a)) : a.programma;
  const fs::path nel_figlio = trovato.is_relative() ? cartella / trovato : trovato;
  std::vector<std::string> riga;
  if (emulato() && programma_della_build(nel_figlio)) {
    for (std::string& p : parole(kEmulatore)) riga.push_back(std::move(p));
    if (a.limite_memoria) {
      riga.push_back("-R");
      riga.push_back(std::to_string(spazio_dell_ospite(nel_figlio, *a.limite_memoria)));
    }
    riga.push_back("-0");
    riga.push_back(a.programma.string());
  }
  riga.push_back(nel_figlio.string());
  for (const std::string& s : a.argomenti) riga.push_back(s);
  return riga;
}

Uscita esegui(const Avvio& a, const fs::path& cartella) {
  CartellaProva cattura;
  const fs::path out = a.uscita.empty() ? cattura.percorso() / "out" : a.uscita;
  const fs::path err = cattura.percorso() / "err";
  const std::vector<std::string> riga = riga_di_avvio(a, cartella);
  const pid_t figlio = fork();
  if (figlio == 0) esegui_nel_figlio(a, riga, cartella, out, err, -1);
  Uscita u;
  int r = 0;
  if (figlio > 0 && waitpid(figlio, &r, 0) == figlio) {
    u.stato = WIFEXITED(r) ? WEXITSTATUS(r) : WIFSIGNALED(r) ? 128 + WTERMSIG(r) : -1;
  }
  if (a.uscita.empty()) u.out = leggi(out);
  u.err = leggi(err);
  return u;
}

pid_t lancia(const Avvio& a, const fs::path& cartella, const fs::path& err, int via) {
  const std::vector<std::string> riga = riga_di_avvio(a, cartella);
  const pid_t figlio = fork();
  if (figlio == 0)
    esegui_nel_figlio(a, riga, cartella, a.uscita.empty() ? err : a.uscita, err, via);
  return figlio;
}

int attendi(pid_t figlio) {
  int r = 0;
  if (waitpid(figlio, &r, 0) != figlio) return -1;
  if (WIFSIGNALED(r)) return 128 + WTERMSIG(r);
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

}  // namespace scenario::test

#include "tools/scenario/comandi.h"

#include <cerrno>
#include <iostream>
#include <new>
#include <string>
#include <system_error>

#include "installer/avvio.h"
#include "platform/blocco_cartella.h"
#include "installer/corsa.h"
#include "platform/programma.h"
#include "platform/scrittura.h"
#include "platform/archivio_cartella.h"
#include "compiler/codici_errore.h"
#include "tools/scenario/diagnostiche.h"

namespace scenario {

std::optional<Identita> leggi_identita(const Argomenti& a) {
  Identita id{a.posizionali.at(0), a.posizionali.at(1)};
  if (!identita_valida(id.linea) || !identita_valida(id.treno)) return std::nullopt;
  return id;
}

std::filesystem::path programma_in_corsa() {
  try {
    return percorso_programma();
  } catch (const std::exception&) {
    return {};
  }
}

NomiCorsa corsa_dello_scenario(const std::filesystem::path& dir, const Identita& id,
                               std::initializer_list<size_t> uscite,
                               std::initializer_list<size_t> sorgenti) {
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

int corsa_di_uscita(std::optional<Corsa>* corsa, NomiCorsa file,
                    const std::filesystem::path& uscita, const char* ruolo) {
  const std::filesystem::path dove =
      uscita.parent_path().empty() ? std::filesystem::path(".") : uscita.parent_path();
  std::error_code ec;
  if (!std::filesystem::is_directory(dove, ec)) {
    throw GuastoPiattaforma(uscita,
                            motivo_errno(std::filesystem::exists(dove, ec) ? ENOTDIR : ENOENT));
  }
  file.uscite.push_back({dove / uscita.filename(), ruolo});
  try {
    corsa->emplace(dove, file);
  } catch (const NomiInConflitto& e) {
    return errore_uso(e.what());
  } catch (const NomeTroppoLungo& e) {
    return errore_uso(e.what());
  }
  return 0;
}

std::filesystem::path cartella(const Argomenti& a) {
  return a.valore(kOpzioneDir.nome).value_or(".");
}

bool cartella_vuota(const Argomenti& a) {
  const auto dir = a.valore(kOpzioneDir.nome);
  return dir && dir->empty();
}

int rifiuta_cartella(const Argomenti& a) {
  if (cartella_vuota(a)) return errore_uso(kCartellaVuota);
  if (!a.ha(kOpzioneDir.nome)) return 0;
  try {
    verifica_cartella(cartella(a));
  } catch (const GuastoPiattaforma& e) {
    std::cerr << e.what() << std::endl;
    return uscita_guasto;
  }
  return 0;
}

std::optional<std::string> leggi_se_esiste(const std::filesystem::path& dir,
                                           const std::string& nome) {
  std::error_code ec;
  if (!std::filesystem::exists(dir / nome, ec)) return std::nullopt;
  return ArchivioCartella(dir).leggi(nome);
}

ArchivioMemoria copie_sorgenti(const std::filesystem::path& dir, const Identita& id) {
  ArchivioMemoria copie;
  for (const std::string& nome : {nome_sorgente_linea(id), nome_sorgente_treno(id)}) {
    try {
      if (auto bytes = leggi_se_esiste(dir, nome)) copie.metti(nome, std::move(*bytes));
    } catch (const std::bad_alloc&) {
      memoria_esaurita(dir / nome, "leggere");
    }
  }
  return copie;
}

namespace {

// One recorded fault as a line of `check`.
std::string riga_del_guasto(const Compilazione& c, Codice codice, std::span<const Diagnostica> dd,
                            const std::string& prefisso) {
  const bool timbri = codice == Codice::timbro_presente || codice == Codice::identita_presente;
  const std::optional<Luogo>& l = c.luogo_errore;
  const Diagnostica* trovata = nullptr;
  for (const Diagnostica& d : dd) {
    if (!d.errore() || d.codice != numero(codice)) continue;
    if (trovata == nullptr) trovata = &d;
    const bool stesso_posto = l && l->riga > 0 && d.file == prefisso + l->file && d.riga == l->riga;
    const bool stessa_posizione = d.posizione && *d.posizione == c.errore.posizione_errore;
    if (stesso_posto || (!timbri && stessa_posizione)) {
      trovata = &d;
      break;
    }
  }
  if (trovata != nullptr) return riga_diagnostica(*trovata);
  Diagnostica d;
  d.codice = numero(codice);
  if (l && !l->file.empty()) {
    d.file = prefisso + l->file;
    d.riga = l->riga;
    d.colonna = l->riga > 0 ? l->colonna : 0;
  }
  d.messaggio = std::string(significato_errore(d.codice));
  if (!timbri && !c.motivo_guasto.empty()) d.messaggio += ": " + c.motivo_guasto;
  if (!timbri && c.errore.posizione_errore != 0) d.posizione = c.errore.posizione_errore;
  return riga_diagnostica(d);
}

}  // namespace

std::string rapporto_compilazione(const Compilazione& c, std::span<const Diagnostica> dd,
                                  const std::string& prefisso) {
  std::string r = "numero_errore=" + std::to_string(c.errore.numero_errore) +
                  " posizione_errore=" + std::to_string(c.errore.posizione_errore) + "\n";
  if (c.errore.numero_errore != 0) {
    r += riga_del_guasto(c, static_cast<Codice>(c.errore.numero_errore), dd, prefisso) + "\n";
  }
  if (c.errore_timbri != Codice::nessuno) {
    r += riga_del_guasto(c, c.errore_timbri, dd, prefisso) + "\n";
  }
  return r;
}

}  // namespace scenario

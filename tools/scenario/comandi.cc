#include "tools/scenario/comandi.h"

#include <cerrno>
#include <new>
#include <string>
#include <system_error>

#include "compiler/codici_errore.h"
#include "installer/avvio.h"
#include "installer/corsa.h"
#include "platform/archivio_cartella.h"
#include "platform/scrittura.h"
#include "tools/scenario/diagnostiche.h"

namespace scenario {

Corsa corsa_di_uscita(const Richiesta& r, NomiCorsa file, const std::filesystem::path& uscita) {
  const std::filesystem::path dove =
      uscita.parent_path().empty() ? std::filesystem::path(".") : uscita.parent_path();
  std::error_code ec;
  if (!std::filesystem::is_directory(dove, ec)) {
    throw GuastoPiattaforma(uscita,
                            motivo_errno(std::filesystem::exists(dove, ec) ? ENOTDIR : ENOENT));
  }
  file.uscite.push_back({dove / uscita.filename(), std::string(r.comando->uscita)});
  return Corsa(dove, file);
}

void rifiuta_presenti(const Richiesta& r, std::span<const std::filesystem::path> file) {
  if (r.ha("--force")) return;
  std::string presenti;
  for (const std::filesystem::path& p : file) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(p, ec))) {
      presenti += p.string() + " esiste gia'\n";
    }
  }
  if (!presenti.empty()) {
    throw ErroreComando(uscita_errore_dati,
                        presenti + "nessun file scritto; --force li sostituisce");
  }
}

void richiedi_file(const std::filesystem::path& percorso, std::string_view cosa) {
  std::error_code ec;
  const std::filesystem::file_type tipo = std::filesystem::status(percorso, ec).type();
  if (tipo != std::filesystem::file_type::regular &&
      tipo != std::filesystem::file_type::not_found && tipo != std::filesystem::file_type::none) {
    errore_uso(percorso.string() + " non e' " + std::string(cosa) + ": e' " +
               genere_non_file(tipo));
  }
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

// The installer's run: waiting window, the five texts, the compile, the three
// binary files.
#ifndef SCENARIO_INSTALLER_AVVIO_H_
#define SCENARIO_INSTALLER_AVVIO_H_

#include <chrono>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/blocco_cartella.h"
#include "platform/piattaforma.h"
#include "platform/scrittura.h"
#include "compiler/compila.h"
#include "emit/emittitori.h"
#include "model/identita.h"
#include "pack/carico.h"

namespace scenario {

// Exit statuses of the installer and the author tool.
enum StatoUscita : int {
  uscita_ok = 0,
  uscita_errore_dati = 1,    // the error record holds a fault
  uscita_errore_timbri = 2,  // 1250 / 1251
  uscita_guasto = 3,         // platform failure
  uscita_uso = 64,           // author tool: bad command line
};

// The exit status of a finished compile, the same for the installer and the
// author tool: 2 when the stamps refused the model (nothing may be written),
// 1 when the error record holds a fault, 0 otherwise.
StatoUscita stato_uscita(const Compilazione& c);

// The identity this build carries.
Identita identita_portata();

// The installer's run: the scenario appended to the program's own file (its
// payload, pack/carico.h), then the run below with it. A payload that is
// damaged, or whose files are not the five of its identity, writes nothing:
// the message kInstallatoreDanneggiato and what is wrong, status 3.
int avvio(Piattaforma& piattaforma);
inline constexpr char kInstallatoreDanneggiato[] = "programma di installazione danneggiato: ";

// The start-up sequence for an identity and its texts, written in the order
// given; returns the exit status. `attesa` bounds the wait for another run
// in the same folder.
int avvio(Piattaforma& piattaforma, const Identita& id, std::span<const FileNominato> testi,
          std::chrono::milliseconds attesa = kAttesaBlocco);
// The same with texts made by emitters.
int avvio(Piattaforma& piattaforma, const Identita& id, std::span<const Emittitore> testi,
          std::chrono::milliseconds attesa = kAttesaBlocco);

// The payload's identity and files, checked to be the five texts of that
// identity in their order; throws CaricoDanneggiato.
Carico carico_installatore(LettoreIntervalli& programma);

// Steps shared with the author tool. Each throws GuastoPiattaforma.
void scrivi_testi(const std::filesystem::path& cartella, const Identita& id,
                  std::span<const Emittitore> testi);
// The three binary files, replaced as one set (InsiemeFile): after any one
// failure the older set is whole, or the new one. The header file is
// renamed last: it names the line and train and
// gives the length by which the other two are read, so a scenario never
// appears before its data. The plan's memory is turned into the plan file's
// bytes: `c` keeps no plan afterwards.
void scrivi_binari(const std::filesystem::path& cartella, const Identita& id, Compilazione&& c);
// The same files added to `insieme`, to be replaced with the files before
// them in it.
void aggiungi_binari(InsiemeFile& insieme, const std::filesystem::path& cartella,
                     const Identita& id, Compilazione&& c);

// `errore`'s text: " Errore n. " and the number.
std::string testo_errore(int32_t numero);
// The one-line report of a recorded fault.
std::string riga_errore(const RecordErrore& e);

}  // namespace scenario

#endif  // SCENARIO_INSTALLER_AVVIO_H_

// Standard output and standard error are checked like any file: a write
// that did not reach them ends the run with status 3 and one line on
// standard error, never with a success that printed nothing.
#ifndef SCENARIO_INSTALLER_USCITA_H_
#define SCENARIO_INSTALLER_USCITA_H_

namespace scenario {

// Puts standard output and error (std::cout, std::cerr) on buffers that
// remember why a write failed. Called first thing by each program.
void prepara_uscite();

// The errno of the first write to standard output that failed, 0 if none
// (known once prepara_uscite has run).
int errore_uscita();

// Flushes standard output; throws GuastoPiattaforma ("impossibile scrivere
// lo standard output: MOTIVO") when a write to it has failed.
void controlla_uscita();

// The status to end with, after everything was printed: `stato`, or 3 when
// a write to standard output (said on standard error) or to standard error
// has failed.
int stato_finale(int stato);

}  // namespace scenario

#endif  // SCENARIO_INSTALLER_USCITA_H_

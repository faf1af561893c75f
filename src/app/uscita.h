// Standard output and standard error are checked like any file: a write
// that did not reach them ends the run with status 3 and one line on
// standard error, never with a success that printed nothing.
#ifndef SCENARIO_APP_USCITA_H_
#define SCENARIO_APP_USCITA_H_

namespace scenario {

// Flushes standard output; throws GuastoPiattaforma ("impossibile scrivere
// standard output: MOTIVO") when a write to it has failed.
void controlla_uscita();

// The status to end with, after everything was printed: `stato`, or 3 when
// a write to standard output (said on standard error) or to standard error
// has failed.
int stato_finale(int stato);

}  // namespace scenario

#endif  // SCENARIO_APP_USCITA_H_

#!/usr/bin/env bash
# Windows builds and their check under Wine.
#
# Builds the desktop program for Windows with MinGW-w64, 32-bit (as shipped)
# and 64-bit, plus a 64-bit test build (unit tests, fuzz replays, test
# hooks). Then, in a virtual X display, it runs the checks listed in
# CONTROLLI below, each a function `controllo_NAME`:
#   - test_unitari: the unit tests of the test build under wine64;
#   - replay: the fuzz corpus replays of the test build under wine64;
#   - installer BIT: the shipped installer, copied into a fresh folder whose
#     name has non-ASCII letters, against the Linux installer in another
#     fresh folder: the files it leaves, byte for byte, and its exit status;
#   - insieme: a read-only older file under an output name is replaced, and
#     pairs of installers started together leave the six files;
#   - autore BIT: the author tool on a small scenario of .ci/windows/,
#     against the Linux author tool;
#   - pacchetto BIT: that scenario packed on Linux onto the Linux stub and
#     onto the BIT-bit Windows stub: the two installers, each started in a
#     fresh folder, leave the same six files; the bare Windows stub says it
#     is damaged in a message box, read by OCR;
#   - finestra BIT: the installer of the BIT-bit test-hooks build, holding
#     its waiting window on screen, to take screenshots and check the form
#     and its label;
#   - messaggi BIT: the message boxes a person sees, read back from their
#     screenshots by OCR: `errore`'s box for 1250 and 1251 (the test-hooks
#     build's probe) and the shipped installer's box after a system failure.
# BIT 32 runs wherever a 32-bit Wine can be made to run, which is decided by
# running it: natively where the kernel runs 32-bit Linux programs, or else
# through qemu-i386 user emulation, for which the script registers a
# binfmt_misc entry for i386 programs (only when none makes Wine run, and
# removed at the end; an entry that was there stays as it was). Under
# emulation a run is slow, so the 32-bit checks get longer time limits. The
# unit tests and replays stay 64-bit. Every check skipped is named, with its
# reason, in the last line.
#
# Standalone: runs as root on a fresh Debian 12 machine and installs what it
# lacks. Ends with one line "windows.sh: PASS (...)" or "windows.sh: FAIL:
# ...", exit status 0 or 1. Screenshots and logs go to build/windows-ci/.
#
#   WINE32   the 32-bit Wine loader to try (default /usr/lib/wine/wine)
set -uo pipefail

RADICE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ARTEFATTI="$RADICE/build/windows-ci"
SALTATI="$ARTEFATTI/saltati.txt"
INSTALLER=Lanvero_Ostrel_24817
FASE=${1:-}
FILE_DI_UNA_CORSA=6  # what one installer run leaves
# shellcheck source=SCRIPTDIR/comune.sh
source "$RADICE/.ci/comune.sh"

fail() {
  echo "windows.sh: FAIL: $*"
  exit 1
}
PASSI=0
passo() {
  echo "== windows.sh: $*"
  PASSI=$((PASSI + 1))
}
# The "identical: NAME (N bytes)" lines of the files confronta_cartelle
# found identical, in FOLDER.
elenca_uguali() {  # folder
  local f
  for f in "${UGUALI[@]}"; do echo "   identical: $f ($(stat -c %s "$1/$f") bytes)"; done
}
# Records a check that did not run, and why.
salta() {
  echo "   skipped: $1 ($2)"
  echo "$1 ($2)" >>"$SALTATI"
}

# ---------------------------------------------------------------------------
# Second phase: everything that needs Wine, run inside xvfb-run (see below).
# ---------------------------------------------------------------------------

# Sets WINE to the Wine that runs programs of BIT bits, and TEMPO to the
# seconds one program run may take with it; fails, recording the check WHAT
# as skipped, where there is none.
wine_per() {  # bit what
  TEMPO=120
  if [[ "$1" == 64 ]]; then
    WINE=$WINE64
  elif [[ "$WINE32_ESEGUE" == 1 ]]; then
    WINE=$WINE32
    if [[ "$WINE32_EMULATO" == 1 ]]; then TEMPO=900; fi
  else
    salta "$2" "$WINE32_MOTIVO"
    return 1
  fi
}

controllo_test_unitari() {
  passo "unit tests under wine64"
  local prove t log
  mapfile -t prove < <(find build/windows-64-test -name '*_test.exe' -not -path '*/googletest/*' |
    sort)
  ((${#prove[@]} > 0)) || fail "no unit test executable in build/windows-64-test"
  for t in "${prove[@]}"; do
    log="$ARTEFATTI/$(basename "$t" .exe).log"
    if ! (cd "$LAVORO" && timeout 300 "$WINE64" "$RADICE/$t") >"$log" 2>&1; then
      tail -n 30 "$log"
      fail "unit tests $t failed under wine64 (see $log)"
    fi
    echo "   $(basename "$t"): $(grep -a -m1 -E '\[  PASSED  \]' "$log" | tr -d '\r')"
  done
}

# Each replay reads its whole stored corpus through Windows' file calls.
controllo_replay() {
  passo "fuzz corpus replays under wine64"
  local repliche r nome corpus log attesi
  mapfile -t repliche < <(find build/windows-64-test/fuzz -name '*_replay.exe' | sort)
  ((${#repliche[@]} > 0)) || fail "no fuzz replay executable in build/windows-64-test"
  for r in "${repliche[@]}"; do
    nome=$(basename "$r" _replay.exe)
    corpus="$RADICE/fuzz/corpus/$nome"
    log="$ARTEFATTI/$nome-replay.log"
    attesi=$(find "$corpus" -type f | wc -l)
    if ! (cd "$LAVORO" && timeout 600 "$WINE64" "$RADICE/$r" "$corpus") >"$log" 2>&1; then
      tail -n 30 "$log"
      fail "replay $nome failed under wine64 (see $log)"
    fi
    grep -a -q "^$attesi inputs replayed" "$log" ||
      fail "replay $nome: not the $attesi stored inputs ($(tail -n 1 "$log" | tr -d '\r'))"
    echo "   $nome: $attesi inputs replayed"
  done
}

# The Linux installer's run, once: the reference for every Windows run.
riferimento_linux() {
  [[ -d "$LAVORO/linux" ]] && return
  mkdir -p "$LAVORO/linux"
  cp build/default/installer/$INSTALLER "$LAVORO/linux/"
  (cd "$LAVORO/linux" && timeout 120 "./$INSTALLER" </dev/null >"$ARTEFATTI/linux-run.log" 2>&1)
  STATO_LINUX=$?
  rm "$LAVORO/linux/$INSTALLER"
  ((STATO_LINUX == 0)) ||
    fail "the carried scenario must compile without faults (Linux status $STATO_LINUX)"
  sed 's/^/   Linux:   /' "$ARTEFATTI/linux-run.log"
}

controllo_installer() {  # bit
  local bit=$1 windows stato
  wine_per "$bit" "the $bit-bit installer under Wine" || return 0
  passo "installer: Linux run against the $bit-bit Windows run"
  riferimento_linux
  windows="$LAVORO/windows-$bit-città"
  mkdir -p "$windows"
  cp "build/windows-$bit/installer/$INSTALLER.exe" "$windows/"
  (cd "$windows" && timeout "$TEMPO" "$WINE" "./$INSTALLER.exe" </dev/null \
    >"$ARTEFATTI/wine$bit-run.log" 2>&1)
  stato=$?
  ((stato == 124)) && fail "the $bit-bit installer did not end within $TEMPO s"
  sed 's/\r$//; s/^/   Windows: /' "$ARTEFATTI/wine$bit-run.log"
  echo "   exit status: Linux $STATO_LINUX, Windows $bit-bit $stato"
  ((stato == STATO_LINUX)) ||
    fail "exit status differs: Linux $STATO_LINUX, Windows $bit-bit $stato"
  rm "$windows/$INSTALLER.exe"
  confronta_cartelle Linux "$LAVORO/linux" "Windows $bit-bit" "$windows" ||
    fail "the Linux and $bit-bit Windows runs differ: ${DIVERSI[0]}"
  elenca_uguali "$windows"
  ((${#UGUALI[@]} == FILE_DI_UNA_CORSA)) ||
    fail "a run must leave the $FILE_DI_UNA_CORSA files, not ${#UGUALI[@]}"
  echo "   ${#UGUALI[@]} files byte-identical, same exit status"
}

# Runs as a whole on Windows: a read-only older file under an output name
# is replaced (MoveFileExW alone refuses it), and two installers started
# together in one folder both finish with the same six files and leave no
# lock or temporary file.
controllo_insieme() {
  local insieme coppia primo secondo elenco_linux
  passo "installer: a read-only older file, and two runs at once"
  riferimento_linux
  elenco_linux=$(cd "$LAVORO/linux" && ls -A)
  insieme="$LAVORO/insieme"
  mkdir -p "$insieme"
  cp build/windows-64/installer/$INSTALLER.exe "$insieme/"
  echo vecchio >"$insieme/$INSTALLER.sim"
  (cd "$insieme" && timeout 120 "$WINE64" cmd /c attrib +r "$INSTALLER.sim" >/dev/null 2>&1)
  [[ "$(stat -c %A "$insieme/$INSTALLER.sim")" == -r-* ]] ||
    fail "attrib +r did not make the older file read-only"
  (cd "$insieme" && timeout 120 "$WINE64" "./$INSTALLER.exe" </dev/null >/dev/null 2>&1) ||
    fail "the installer did not replace a read-only older file"
  cmp -s "$insieme/$INSTALLER.sim" "$LAVORO/linux/$INSTALLER.sim" ||
    fail "the read-only older file was not replaced"
  for coppia in 1 2 3 4 5; do
    (cd "$insieme" && timeout 120 "$WINE64" "./$INSTALLER.exe" </dev/null >/dev/null 2>&1) &
    primo=$!
    (cd "$insieme" && timeout 120 "$WINE64" "./$INSTALLER.exe" </dev/null >/dev/null 2>&1) &
    secondo=$!
    wait "$primo" || fail "pair $coppia: the first installer failed"
    wait "$secondo" || fail "pair $coppia: the second installer failed"
    [[ "$(cd "$insieme" && ls -A | grep -v -x "$INSTALLER.exe")" == "$elenco_linux" ]] ||
      fail "pair $coppia left other files: $(cd "$insieme" && ls -A | tr '\n' ' ')"
    # shellcheck disable=SC2086  # names without blanks
    confronta_cartelle Linux "$LAVORO/linux" "pair $coppia" "$insieme" $elenco_linux ||
      fail "pair $coppia differs from the Linux run: ${DIVERSI[0]}"
  done
  echo "   read-only older file replaced; 5 pairs at once, the $FILE_DI_UNA_CORSA files each time"
}

# The author tool on a scenario that traces curves: the plan's reals.
controllo_autore() {  # bit
  local bit=$1 lato stato_linux stato
  wine_per "$bit" "the $bit-bit author tool under Wine" || return 0
  passo "author tool: Linux against $bit-bit Windows on .ci/windows/"
  for lato in linux-scenario "windows-$bit-scenario"; do
    mkdir -p "$LAVORO/$lato"
    cp .ci/windows/Prova_linea.txt .ci/windows/Prova_7-.txt "$LAVORO/$lato/"
  done
  (cd "$LAVORO/linux-scenario" && timeout 120 "$RADICE/build/default/tools/scenario/scenario" \
    compile Prova 7 </dev/null >"$ARTEFATTI/linux-scenario.log" 2>&1)
  stato_linux=$?
  (cd "$LAVORO/windows-$bit-scenario" && timeout "$TEMPO" "$WINE" \
    "$RADICE/build/windows-$bit/tools/scenario/scenario.exe" compile Prova 7 </dev/null \
    >"$ARTEFATTI/wine$bit-scenario.log" 2>&1)
  stato=$?
  echo "   exit status: Linux $stato_linux, Windows $bit-bit $stato;" \
    "$(head -n1 "$ARTEFATTI/linux-scenario.log")"
  ((stato_linux == stato)) || fail "author tool: exit status differs ($bit-bit)"
  diff <(tr -d '\r' <"$ARTEFATTI/wine$bit-scenario.log") "$ARTEFATTI/linux-scenario.log" \
    >/dev/null || fail "author tool: output differs ($bit-bit)"
  confronta_cartelle Linux "$LAVORO/linux-scenario" "Windows $bit-bit" \
    "$LAVORO/windows-$bit-scenario" Prova_linea.dat Prova_7.sim Prova_7.dat ||
    fail "author tool: Linux and $bit-bit Windows differ: ${DIVERSI[0]}"
  ((${#UGUALI[@]} == 3)) || fail "author tool: Linux wrote only [${UGUALI[*]}] of its three files"
  elenca_uguali "$LAVORO/linux-scenario"
}

# `scenario pack` on Linux: the same scenario onto the Linux stub and onto
# the BIT-bit Windows stub, each installer started in a fresh folder.
controllo_pacchetto() {  # bit
  local bit=$1
  wine_per "$bit" "the $bit-bit packed installer under Wine" || return 0
  passo "packed installers: Linux stub against the $bit-bit Windows stub"
  local testi="$LAVORO/pack-testi-$bit" linux="$LAVORO/pack-linux-$bit"
  local windows="$LAVORO/pack-windows-$bit-città" stub="build/windows-$bit/tools/scenario/scenario-stub.exe"
  local stato_linux stato_windows vuoto atteso
  mkdir -p "$testi"
  cp .ci/windows/Prova_* "$testi/"
  build/default/tools/scenario/scenario pack Prova 7 --dir "$testi" >"$ARTEFATTI/pack-linux.log" 2>&1 ||
    fail "pack onto the Linux stub failed (see $ARTEFATTI/pack-linux.log)"
  build/default/tools/scenario/scenario pack Prova 7 --dir "$testi" --stub "$stub" \
    >"$ARTEFATTI/pack-windows-$bit.log" 2>&1 ||
    fail "pack onto the $bit-bit Windows stub failed (see $ARTEFATTI/pack-windows-$bit.log)"
  [[ -f "$testi/Prova_7" && -f "$testi/Prova_7.exe" ]] ||
    fail "pack did not name the installers Prova_7 and Prova_7.exe"
  mkdir -p "$linux" "$windows"
  cp "$testi/Prova_7" "$linux/"
  cp "$testi/Prova_7.exe" "$windows/"
  (cd "$linux" && timeout 120 ./Prova_7 </dev/null >"$ARTEFATTI/pack-linux-run.log" 2>&1)
  stato_linux=$?
  (cd "$windows" && timeout "$TEMPO" "$WINE" ./Prova_7.exe </dev/null \
    >"$ARTEFATTI/pack-wine$bit-run.log" 2>&1)
  stato_windows=$?
  echo "   exit status: Linux $stato_linux, Windows $bit-bit $stato_windows"
  ((stato_linux == 0 && stato_windows == 0)) ||
    fail "packed installers: exit status Linux $stato_linux, Windows $bit-bit $stato_windows (want 0)"
  rm "$linux/Prova_7" "$windows/Prova_7.exe"
  confronta_cartelle Linux "$linux" "Windows $bit-bit" "$windows" ||
    fail "packed installers: the Linux and $bit-bit Windows runs differ: ${DIVERSI[0]}"
  ((${#UGUALI[@]} == FILE_DI_UNA_CORSA)) ||
    fail "a packed installer must leave $FILE_DI_UNA_CORSA files, not ${#UGUALI[@]}"
  confronta_cartelle packed .ci/windows installed "$linux" \
    Prova_7_note.txt Prova_7_rallentamenti.txt Prova_7_scheda_treno.txt ||
    fail "packed installers: a document is not the packed text: ${DIVERSI[0]}"
  echo "   $FILE_DI_UNA_CORSA files byte-identical, the documents as packed"

  # The Windows stub with nothing appended: its message box, then status 3
  # and nothing written.
  vuoto="$LAVORO/stub-vuoto-$bit"
  mkdir -p "$vuoto"
  cp "$stub" "$vuoto/Prova_7.exe"
  mostra_messaggio "danneggiato-$bit" "$vuoto" 3 "$WINE" ./Prova_7.exe
  atteso="programma di installazione danneggiato: nessuno scenario aggiunto al programma"
  grep -q -F "$atteso" "$ARTEFATTI/wine-danneggiato-$bit.log" ||
    fail "the bare $bit-bit stub did not say it is damaged"
  [[ "$(solo_lettere <<<"$OCR_TESTO")" == *"$(solo_lettere <<<"$atteso")"* ]] ||
    fail "the bare $bit-bit stub's box reads [$(tr '\n' '|' <<<"$OCR_TESTO")], not [$atteso]"
  [[ "$(cd "$vuoto" && ls -A)" == "Prova_7.exe" ]] || fail "the bare $bit-bit stub wrote files"
  echo "   bare stub: box reads \"$atteso\", status 3, nothing written; screenshot:" \
    "$ARTEFATTI/windows-danneggiato-$bit.png"
}

# The waiting window, held on screen by the test-hooks builds only.
controllo_finestra() {  # bit
  local bit=$1
  wine_per "$bit" "the $bit-bit waiting window under Wine" || return 0
  passo "waiting window of the $bit-bit installer: screenshot"
  local finestra="$LAVORO/finestra-$bit" pid id stato geometria minimo massimo fuori
  local forma="$ARTEFATTI/windows-form1-$bit.png"
  riferimento_linux
  mkdir -p "$finestra"
  cp "build/windows-$bit-test/installer/$INSTALLER.exe" "$finestra/"
  (cd "$finestra" && SCENARIO_PROVA_ATTESA_MS=15000 timeout "$TEMPO" "$WINE" "./$INSTALLER.exe" \
    </dev/null >"$ARTEFATTI/wine$bit-finestra.log" 2>&1) &
  pid=$!
  id=$(attendi_finestra Form1 "$TEMPO") || fail "no window named Form1 appeared ($bit-bit)"
  sleep 2  # let Wine finish drawing
  /usr/bin/import -window root "$ARTEFATTI/windows-attesa-$bit.png" ||
    fail "screenshot of the display failed"
  /usr/bin/import -window "$id" "$forma" || fail "screenshot of Form1 failed ($bit-bit)"
  wait "$pid"
  stato=$?
  ((stato == STATO_LINUX)) ||
    fail "the held $bit-bit run ended with status $stato, the plain run with $STATO_LINUX"
  geometria=$(/usr/bin/identify -format '%wx%h' "$forma")
  echo "   Form1 inner area: $geometria px"
  [[ "$geometria" == "280x179" ]] || fail "Form1's inner area is $geometria, not 280x179 ($bit-bit)"
  # Label1 stands at 64,64 and measures 177 x 53: dark text inside, nothing
  # but the form's face around it.
  grigio() { /usr/bin/convert "$forma" -crop "$1" +repage -colorspace Gray \
    -format '%[fx:minima] %[fx:maxima]' info:; }
  read -r minimo _ <<<"$(grigio 177x53+64+64)"
  awk -v m="$minimo" 'BEGIN { exit !(m < 0.3) }' || fail "no text inside Label1's area ($bit-bit)"
  for fuori in 280x64+0+0 280x62+0+117 64x179+0+0 39x179+241+0; do
    read -r minimo massimo <<<"$(grigio $fuori)"
    [[ "$minimo" == "$massimo" ]] || fail "Form1 shows something outside Label1 ($fuori, $bit-bit)"
  done
  echo "   Label1 drawn in its place; screenshots: $ARTEFATTI/windows-attesa-$bit.png, $forma"
}

# The id of the first window named NAME, waiting up to SECONDS for it.
attendi_finestra() {  # name seconds
  local id i
  for ((i = 0; i < $2; i++)); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v nome="\"$1\":" '$2 == nome {print $1; exit}')
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 1
  done
  return 1
}

# The text of a screenshot as OCR reads it: in grey, enlarged five times and
# softened (the small system font, read as it is, loses accents and digits),
# one block, with the Italian model (the English one reads "programma" as
# "programme" at some sizes).
leggi_schermata() {  # png
  /usr/bin/convert "$1" -colorspace Gray -resize 500% -blur 0x1 "${1%.png}-ocr.png" &&
    tesseract "${1%.png}-ocr.png" - -l ita --psm 6 2>/dev/null | tr -d '\r' | sed '/^[[:space:]]*$/d'
}

# The ASCII letters, digits and underscores of a text: what OCR is trusted
# to read (it adds stray accents and loses blanks and punctuation).
solo_lettere() { LC_ALL=C tr -cd 'A-Za-z0-9_'; }

# Starts COMMAND in the background in FOLDER, waits for its message box,
# takes a screenshot, reads it, closes the box with OK (Enter), and checks
# the exit status. The text read is left in OCR_TESTO.
mostra_messaggio() {  # name folder status command...
  local nome=$1 cartella=$2 atteso=$3 pid id stato
  shift 3
  (cd "$cartella" && exec timeout "$TEMPO" "$@" </dev/null >"$ARTEFATTI/wine-$nome.log" 2>&1) &
  pid=$!
  id=$(attendi_finestra Error "$TEMPO") || fail "$nome: no message box appeared"
  sleep 2  # let Wine finish drawing
  /usr/bin/import -window "$id" "$ARTEFATTI/windows-$nome.png" ||
    fail "$nome: screenshot of the message box failed"
  kill -0 "$pid" 2>/dev/null || fail "$nome: the program did not wait for the message box"
  OCR_TESTO=$(leggi_schermata "$ARTEFATTI/windows-$nome.png") || fail "$nome: OCR failed"
  xdotool key --window "$id" Return 2>/dev/null
  wait "$pid"
  stato=$?
  ((stato == atteso)) || fail "$nome: the box did not close on OK with status $atteso ($stato)"
}

# What a person sees in the message boxes, read by OCR. OCR cannot see the
# text's leading blank; the bytes of the texts are the unit tests' concern.
controllo_messaggi() {  # bit
  local bit=$1
  wine_per "$bit" "the $bit-bit message boxes under Wine" || return 0
  passo "message boxes of the $bit-bit programs: screenshots read by OCR, then OK"
  local numero cartella="$LAVORO/messaggi-$bit" atteso guasto nome
  mkdir -p "$cartella"
  for numero in 1250 1251; do
    nome="errore-$numero-$bit"
    mostra_messaggio "$nome" "$cartella" 0 \
      "$WINE" "$RADICE/build/windows-$bit-test/src/installer/prova_messaggio.exe" "$numero"
    grep -q -x -F "Errore n. $numero" <<<"$OCR_TESTO" ||
      fail "$nome: the box reads [$(tr '\n' '|' <<<"$OCR_TESTO")], not [Errore n. $numero]"
    echo "   box $numero reads \"Errore n. $numero\"; screenshot $ARTEFATTI/windows-$nome.png"
  done

  # A system failure of the shipped installer: a folder holds the name of
  # its header file. The installer runs from the root of a drive of its own
  # (Q:), so that the box shows the same short line on every run, not a
  # random folder under /tmp. The box must say what standard error says.
  guasto="$LAVORO/guasto-$bit"
  nome="guasto-$bit"
  mkdir -p "$guasto/$INSTALLER.sim"
  cp "build/windows-$bit/installer/$INSTALLER.exe" "$guasto/"
  ln -sfn "$guasto" "$WINEPREFIX/dosdevices/q:"
  mostra_messaggio "$nome" "$guasto" 3 "$WINE" "Q:\\$INSTALLER.exe"
  atteso=$(tr -d '\r' <"$ARTEFATTI/wine-$nome.log" | grep -a -F "$INSTALLER.sim" | head -n 1)
  [[ "$atteso" == *"Q:\\$INSTALLER.sim"* ]] ||
    fail "$nome: the installer did not name Q:\\$INSTALLER.sim on standard error [$atteso]"
  # Compared on letters and digits only: OCR reads the backslash and the
  # colons of a path, and the blanks, poorly.
  [[ "$(solo_lettere <<<"$OCR_TESTO")" == *"$(solo_lettere <<<"$atteso")"* ]] ||
    fail "$nome: the box reads [$(tr '\n' '|' <<<"$OCR_TESTO")], not [$atteso]"
  echo "   failure box reads \"$atteso\" as standard error says; screenshot" \
    "$ARTEFATTI/windows-$nome.png"
}

# The checks of the Wine phase, in order; each entry is a function's name
# without `controllo_` and its arguments.
CONTROLLI=(
  test_unitari
  replay
  "installer 64"
  "installer 32"
  insieme
  "autore 64"
  "autore 32"
  "pacchetto 64"
  "pacchetto 32"
  "finestra 64"
  "finestra 32"
  "messaggi 64"
  "messaggi 32"
)

if [[ "$FASE" == "--nel-display" ]]; then
  : "${WINE64:?}" "${LAVORO:?}" "${WINE32_ESEGUE:?}" "${WINE32_EMULATO:?}"
  cd "$RADICE" || exit 1

  passo "starting Wine in $WINEPREFIX (first start is slow)"
  timeout 300 "$WINE64" wineboot --init >"$ARTEFATTI/wineboot.log" 2>&1 ||
    fail "wineboot did not finish (see $ARTEFATTI/wineboot.log)"

  for voce in "${CONTROLLI[@]}"; do
    read -r -a parti <<<"$voce"
    inizio=$SECONDS
    passi=$PASSI
    saltati=$(wc -l <"$SALTATI")
    "controllo_${parti[0]}" "${parti[@]:1}"
    # A check either ran (it says what it does) or was recorded as skipped:
    # never neither, which would let the last line claim it ran.
    ((PASSI > passi || $(wc -l <"$SALTATI") > saltati)) ||
      fail "the check \"$voce\" neither ran nor was recorded as skipped"
    echo "   ($voce: $((SECONDS - inizio)) s)"
  done
  exit 0
fi

# ---------------------------------------------------------------------------
# First phase: packages, builds, then the Wine phase in a virtual display.
# ---------------------------------------------------------------------------
cd "$RADICE" || exit 1
mkdir -p "$ARTEFATTI"
: >"$SALTATI"

passo "packages"
# wine32 is an i386 package: installa adds the architecture.
: >"$ARTEFATTI/apt.log"
APT_REGISTRO="$ARTEFATTI/apt.log" installa --no-install-recommends \
  cmake make g++ libgtest-dev googletest zlib1g-dev \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  libz-mingw-w64-dev \
  wine64 wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick xdotool tesseract-ocr \
  tesseract-ocr-ita qemu-user ||
  fail "packages could not be installed (see $ARTEFATTI/apt.log)"

passo "building windows-32, windows-64, windows-32-test and windows-64-test"
for preset in windows-32 windows-64 windows-32-test windows-64-test; do
  cmake --workflow --preset "$preset" >"$ARTEFATTI/build-$preset.log" 2>&1 ||
    { tail -n 40 "$ARTEFATTI/build-$preset.log"; fail "build $preset failed"; }
  if grep -q 'warning:' "$ARTEFATTI/build-$preset.log"; then
    grep 'warning:' "$ARTEFATTI/build-$preset.log" | head -n 20
    fail "build $preset has compiler warnings"
  fi
done

# Each executable stands alone: only system DLLs, the right subsystem.
controlla_exe() {  # file, PE kind, subsystem
  local intestazione
  intestazione=$(x86_64-w64-mingw32-objdump -p "$1") || fail "$1 is not a PE file"
  grep -q "($2)" <<<"$intestazione" || fail "$1 is not $2"
  grep -q "Subsystem.*($3)" <<<"$intestazione" || fail "$1 is not a $3 program"
  local dll
  dll=$(awk '/DLL Name:/ {print $3}' <<<"$intestazione" | tr 'a-z' 'A-Z' |
    grep -v -x -E 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|MSVCRT.DLL' || true)
  [[ -z "$dll" ]] || fail "$1 needs DLLs that a bare Windows lacks: $dll"
  echo "   $1: $2, $3, system DLLs only"
}
for bit in 32 64; do
  kind=$([[ $bit == 32 ]] && echo PE32 || echo PE32+)
  controlla_exe "build/windows-$bit/installer/$INSTALLER.exe" "$kind" "Windows GUI"
  controlla_exe "build/windows-$bit/tools/scenario/scenario-stub.exe" "$kind" "Windows GUI"
  controlla_exe "build/windows-$bit/tools/scenario/scenario.exe" "$kind" "Windows CUI"
done

passo "Linux build (build/default)"
if [[ ! -f build/default/CMakeCache.txt ]]; then
  cmake --preset default >"$ARTEFATTI/build-default.log" 2>&1 ||
    { tail -n 40 "$ARTEFATTI/build-default.log"; fail "configure default failed"; }
fi
cmake --build build/default -j2 --target installer scenario >>"$ARTEFATTI/build-default.log" 2>&1 ||
  { tail -n 40 "$ARTEFATTI/build-default.log"; fail "Linux build failed"; }

WINE64=$(command -v wine64 || true)
[[ -n "$WINE64" ]] || WINE64=/usr/lib/wine/wine64
[[ -x "$WINE64" ]] || fail "wine64 not found"

# A 32-bit Wine counts only if it runs: Debian's wine32 installs on any
# amd64 machine, and then fails with "Exec format error" where the kernel
# cannot run 32-bit programs. Its own loader is asked, not /usr/bin/wine,
# which falls back to wine64 when wine32 is missing. Where the kernel cannot
# run it, qemu-i386 can: through a binfmt_misc entry for i386 programs (the
# Wine loader starts further 32-bit programs of its own, so naming qemu
# before the first one is not enough), with the guest's address space set
# to what Wine expects to map (QEMU_RESERVED_VA; without it Wine stops with
# "failed to map the shared user data").
BINFMT=/proc/sys/fs/binfmt_misc
VOCE_QEMU=scenario-qemu-i386
QEMU_SPAZIO=0xf7000000
registrata_qui=0
togli_voce() {
  ((registrata_qui == 1)) && [[ -e "$BINFMT/$VOCE_QEMU" ]] && echo -1 >"$BINFMT/$VOCE_QEMU"
  registrata_qui=0
}
# Registers the entry that hands i386 programs to qemu-i386; on failure
# leaves the reason in PERCHE.
registra_qemu() {
  local qemu
  qemu=$(command -v qemu-i386) || { PERCHE="no qemu-i386 (Debian's qemu-user)"; return 1; }
  ((EUID == 0)) || { PERCHE="not root: cannot register a binfmt_misc entry"; return 1; }
  if [[ ! -e "$BINFMT/register" ]]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
      { PERCHE="binfmt_misc is not mounted and cannot be mounted"; return 1; }
  fi
  [[ -e "$BINFMT/$VOCE_QEMU" ]] && { PERCHE="$BINFMT/$VOCE_QEMU is there already"; return 1; }
  echo ":$VOCE_QEMU:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:" \
    >"$BINFMT/register" 2>/dev/null || { PERCHE="the binfmt_misc entry was refused"; return 1; }
  registrata_qui=1
}
trap togli_voce EXIT

passo "32-bit Wine"
WINE32=${WINE32:-/usr/lib/wine/wine}
WINE32_ESEGUE=0
WINE32_EMULATO=0
if [[ ! -e "$WINE32" ]]; then
  WINE32_MOTIVO="no 32-bit Wine: $WINE32 is missing (Debian's wine32, i386 architecture)"
elif versione=$("$WINE32" --version 2>&1); then
  WINE32_ESEGUE=1
  echo "   $WINE32 --version: $versione (the kernel runs it)"
else
  # The shell's own words end with the system's reason.
  nativo=$(head -n 1 <<<"${versione##*: }")
  echo "   $WINE32 does not run natively here: $nativo"
  PERCHE=
  if versione=$(QEMU_RESERVED_VA=$QEMU_SPAZIO "$WINE32" --version 2>&1); then
    echo "   an i386 entry of binfmt_misc that was there runs it"
  elif registra_qemu && versione=$(QEMU_RESERVED_VA=$QEMU_SPAZIO "$WINE32" --version 2>&1); then
    echo "   registered $BINFMT/$VOCE_QEMU (i386 programs through qemu-i386), removed at the end"
  else
    [[ -n "$PERCHE" ]] || PERCHE="under qemu-i386: $(head -n 1 <<<"$versione")"
    togli_voce
    WINE32_MOTIVO="$WINE32 does not run here ($nativo), nor through qemu-i386 ($PERCHE)"
  fi
  if [[ -z "${WINE32_MOTIVO:-}" ]]; then
    WINE32_ESEGUE=1
    WINE32_EMULATO=1
    export QEMU_RESERVED_VA=$QEMU_SPAZIO
    echo "   $WINE32 --version: $versione (under qemu-i386 user emulation: slow)"
  fi
fi
[[ "$WINE32_ESEGUE" == 1 ]] || echo "   $WINE32_MOTIVO"

LAVORO=$(mktemp -d /tmp/windows-ci.XXXXXX)
export WINE64 WINE32 WINE32_ESEGUE WINE32_EMULATO WINE32_MOTIVO=${WINE32_MOTIVO:-} LAVORO
export WINEPREFIX="$LAVORO/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
pulisci() {
  # Ends this prefix's own wineserver only.
  timeout 30 "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$LAVORO"
  togli_voce
}
trap pulisci EXIT

passo "Wine phase in a virtual display"
LIMITE=1800
((WINE32_EMULATO == 1)) && LIMITE=2700
timeout "$LIMITE" xvfb-run -a -s "-screen 0 800x600x24" bash "$RADICE/.ci/windows.sh" --nel-display
esito=$?
((esito == 124)) && fail "the Wine phase did not end within $((LIMITE / 60)) minutes"
((esito == 0)) || exit 1  # the phase printed its FAIL line

if [[ -s "$SALTATI" ]]; then
  echo "windows.sh: PASS (Windows 32 and 64 built; checked under Wine; skipped:" \
    "$(paste -s -d ';' "$SALTATI" | sed 's/;/; /g'))"
else
  come="32-bit natively"
  ((WINE32_EMULATO == 1)) && come="32-bit under qemu-i386"
  echo "windows.sh: PASS (Windows 32 and 64 built, $come; every check ran, 32-bit included)"
fi

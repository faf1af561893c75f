#!/usr/bin/env bash
# Windows builds and their check under Wine.
#
# Builds the desktop program for Windows with MinGW-w64, 32-bit (as shipped)
# and 64-bit, plus a 64-bit test build (unit tests, test hooks). Then, in a
# virtual X display, it runs under wine64:
#   - the unit tests of the test build;
#   - the shipped 64-bit installer, copied into a fresh folder whose name has
#     non-ASCII letters, and compares what it leaves, byte for byte and with
#     its exit status, with what the Linux installer leaves in another fresh
#     folder;
#   - the author tool on a small scenario of .ci/windows/, against the Linux
#     author tool;
#   - that scenario packed on Linux onto the Linux stub and onto the 64-bit
#     Windows stub: the two installers, each started in a fresh folder, leave
#     the same six files; the bare Windows stub says it is damaged in a
#     message box;
#   - the installer of the test build, holding its waiting window on screen,
#     to take screenshots and check the form and its label;
#   - the test build's probe of `errore`'s message box: screenshot, then OK.
# The 32-bit program is built and linked; it runs only where a 32-bit Wine is
# installed.
#
# Standalone: runs as root on a fresh Debian 12 machine and installs what it
# lacks. Ends with one line "windows.sh: PASS" or "windows.sh: FAIL: ...",
# exit status 0 or 1. Screenshots and logs go to build/windows-ci/.
set -uo pipefail

RADICE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ARTEFATTI="$RADICE/build/windows-ci"
INSTALLER=Lanvero_Ostrel_24817
FASE=${1:-}

fail() {
  echo "windows.sh: FAIL: $*"
  exit 1
}
passo() { echo "== windows.sh: $*"; }

# ---------------------------------------------------------------------------
# Second phase: everything that needs Wine, run inside xvfb-run (see below).
# ---------------------------------------------------------------------------
if [[ "$FASE" == "--nel-display" ]]; then
  : "${WINE64:?}" "${LAVORO:?}"
  cd "$RADICE" || exit 1

  # The message box of the program started in the background as $pid:
  # waits for it, takes its screenshot into $1, closes it with OK, and puts
  # the program's exit status in $stato. $2 says which box, for failures.
  chiudi_casella() {
    local id=""
    for _ in $(seq 1 30); do
      id=$(xwininfo -root -tree 2>/dev/null | awk '/"Error"/ {print $1; exit}')
      [[ -n "$id" ]] && break
      sleep 1
    done
    [[ -n "$id" ]] || fail "no message box appeared ($2)"
    sleep 2
    /usr/bin/import -window "$id" "$1" || fail "screenshot of the message box failed ($2)"
    kill -0 "$pid" 2>/dev/null || fail "the program did not wait for the message box ($2)"
    xdotool key --window "$id" Return 2>/dev/null
    wait "$pid"
    stato=$?
  }

  passo "starting Wine in $WINEPREFIX (first start is slow)"
  timeout 300 "$WINE64" wineboot --init >"$ARTEFATTI/wineboot.log" 2>&1 ||
    fail "wineboot did not finish (see $ARTEFATTI/wineboot.log)"

  # Unit tests of the test build, on Windows' own file system calls.
  passo "unit tests under wine64"
  shopt -s nullglob
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

  # The shipped installer, Linux and Windows, each in a fresh folder.
  passo "installer: Linux run against the wine64 run"
  linux="$LAVORO/linux"
  windows="$LAVORO/windows-città"
  mkdir -p "$linux" "$windows"
  cp build/default/installer/$INSTALLER "$linux/"
  cp build/windows-64/installer/$INSTALLER.exe "$windows/"
  (cd "$linux" && timeout 120 "./$INSTALLER" </dev/null >"$ARTEFATTI/linux-run.log" 2>&1)
  stato_linux=$?
  (cd "$windows" && timeout 120 "$WINE64" "./$INSTALLER.exe" </dev/null \
    >"$ARTEFATTI/wine-run.log" 2>&1)
  stato_windows=$?
  ((stato_windows == 124)) && fail "the Windows installer did not end within 120 s"
  echo "   exit status: Linux $stato_linux, Windows $stato_windows"
  sed 's/\r$//; s/^/   Linux:   /' "$ARTEFATTI/linux-run.log"
  sed 's/\r$//; s/^/   Windows: /' "$ARTEFATTI/wine-run.log"
  ((stato_linux == stato_windows)) ||
    fail "exit status differs: Linux $stato_linux, Windows $stato_windows"
  stato_installer=$stato_linux
  rm "$linux/$INSTALLER" "$windows/$INSTALLER.exe"
  elenco_linux=$(cd "$linux" && ls -A)
  elenco_windows=$(cd "$windows" && ls -A)
  [[ "$elenco_linux" == "$elenco_windows" ]] ||
    fail "the two runs left different files: Linux [$elenco_linux], Windows [$elenco_windows]"
  n=0
  for f in $elenco_linux; do
    cmp -s "$linux/$f" "$windows/$f" || fail "$f differs between Linux and Windows"
    echo "   identical: $f ($(stat -c %s "$linux/$f") bytes)"
    n=$((n + 1))
  done
  ((stato_linux == 0)) || fail "the carried scenario must compile without faults (status $stato_linux)"
  ((n == 6)) || fail "a run must leave the six files, not $n"
  echo "   $n files byte-identical, same exit status"

  # Runs as a whole on Windows: a read-only older file under an output name
  # is replaced (MoveFileExW alone refuses it), and two installers started
  # together in one folder both finish with the same six files and leave no
  # lock or temporary file.
  passo "installer: a read-only older file, and two runs at once"
  insieme="$LAVORO/insieme"
  mkdir -p "$insieme"
  cp build/windows-64/installer/$INSTALLER.exe "$insieme/"
  echo vecchio >"$insieme/$INSTALLER.sim"
  (cd "$insieme" && timeout 120 "$WINE64" cmd /c attrib +r "$INSTALLER.sim" >/dev/null 2>&1)
  [[ "$(stat -c %A "$insieme/$INSTALLER.sim")" == -r-* ]] ||
    fail "attrib +r did not make the older file read-only"
  (cd "$insieme" && timeout 120 "$WINE64" "./$INSTALLER.exe" </dev/null >/dev/null 2>&1) ||
    fail "the installer did not replace a read-only older file"
  cmp -s "$insieme/$INSTALLER.sim" "$linux/$INSTALLER.sim" ||
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
    for f in $elenco_linux; do
      cmp -s "$insieme/$f" "$linux/$f" || fail "pair $coppia: $f differs from the Linux run"
    done
  done
  echo "   read-only older file replaced; 5 pairs at once, the six files each time"

  # The author tool on a scenario that traces curves: the plan's reals.
  passo "author tool: Linux against wine64 on .ci/windows/"
  for lato in linux-scenario windows-scenario; do
    mkdir -p "$LAVORO/$lato"
    cp .ci/windows/Prova_linea.txt .ci/windows/Prova_7-.txt "$LAVORO/$lato/"
  done
  (cd "$LAVORO/linux-scenario" && timeout 120 "$RADICE/build/default/tools/scenario/scenario" \
    compile Prova 7 </dev/null >"$ARTEFATTI/linux-scenario.log" 2>&1)
  stato_linux=$?
  (cd "$LAVORO/windows-scenario" && timeout 120 "$WINE64" \
    "$RADICE/build/windows-64/tools/scenario/scenario.exe" compile Prova 7 </dev/null \
    >"$ARTEFATTI/wine-scenario.log" 2>&1)
  stato_windows=$?
  echo "   exit status: Linux $stato_linux, Windows $stato_windows;" \
    "$(head -n1 "$ARTEFATTI/linux-scenario.log")"
  ((stato_linux == stato_windows)) || fail "author tool: exit status differs"
  diff <(tr -d '\r' <"$ARTEFATTI/wine-scenario.log") "$ARTEFATTI/linux-scenario.log" >/dev/null ||
    fail "author tool: output differs"
  for f in Prova_linea.dat Prova_7.sim Prova_7.dat; do
    [[ -f "$LAVORO/linux-scenario/$f" ]] || fail "author tool: Linux wrote no $f"
    cmp -s "$LAVORO/linux-scenario/$f" "$LAVORO/windows-scenario/$f" ||
      fail "author tool: $f differs between Linux and Windows"
    echo "   identical: $f ($(stat -c %s "$LAVORO/linux-scenario/$f") bytes)"
  done

  # `scenario pack` on Linux: the same scenario onto the Linux stub and onto
  # the 64-bit Windows stub, each installer started in a fresh folder.
  passo "packed installers: Linux stub against the Windows stub under wine64"
  testi="$LAVORO/pack-testi"
  mkdir -p "$testi"
  cp .ci/windows/Prova_* "$testi/"
  build/default/tools/scenario/scenario pack Prova 7 --dir "$testi" >"$ARTEFATTI/pack-linux.log" 2>&1 ||
    fail "pack onto the Linux stub failed (see $ARTEFATTI/pack-linux.log)"
  build/default/tools/scenario/scenario pack Prova 7 --dir "$testi" \
    --stub build/windows-64/tools/scenario/scenario-stub.exe >"$ARTEFATTI/pack-windows.log" 2>&1 ||
    fail "pack onto the Windows stub failed (see $ARTEFATTI/pack-windows.log)"
  [[ -f "$testi/Prova_7" && -f "$testi/Prova_7.exe" ]] ||
    fail "pack did not name the installers Prova_7 and Prova_7.exe"
  linux="$LAVORO/pack-linux"
  windows="$LAVORO/pack-windows-città"
  mkdir -p "$linux" "$windows"
  cp "$testi/Prova_7" "$linux/"
  cp "$testi/Prova_7.exe" "$windows/"
  (cd "$linux" && timeout 120 ./Prova_7 </dev/null >"$ARTEFATTI/pack-linux-run.log" 2>&1)
  stato_linux=$?
  (cd "$windows" && timeout 120 "$WINE64" ./Prova_7.exe </dev/null \
    >"$ARTEFATTI/pack-wine-run.log" 2>&1)
  stato_windows=$?
  echo "   exit status: Linux $stato_linux, Windows $stato_windows"
  ((stato_linux == 0 && stato_windows == 0)) ||
    fail "packed installers: exit status Linux $stato_linux, Windows $stato_windows (want 0)"
  rm "$linux/Prova_7" "$windows/Prova_7.exe"
  elenco_linux=$(cd "$linux" && ls -A)
  [[ "$elenco_linux" == "$(cd "$windows" && ls -A)" ]] ||
    fail "packed installers left different files: [$elenco_linux], [$(cd "$windows" && ls -A)]"
  n=0
  for f in $elenco_linux; do
    cmp -s "$linux/$f" "$windows/$f" || fail "packed installers: $f differs"
    n=$((n + 1))
  done
  ((n == 6)) || fail "a packed installer must leave six files, not $n"
  for f in Prova_7_note.txt Prova_7_rallentamenti.txt Prova_7_scheda_treno.txt; do
    cmp -s "$linux/$f" .ci/windows/$f || fail "packed installers: $f is not the packed text"
  done
  echo "   $n files byte-identical, the documents as packed"

  # The Windows stub with nothing appended: its message box, then status 3
  # and nothing written.
  vuoto="$LAVORO/stub-vuoto"
  mkdir -p "$vuoto"
  cp build/windows-64/tools/scenario/scenario-stub.exe "$vuoto/Prova_7.exe"
  (cd "$vuoto" && exec timeout 60 "$WINE64" ./Prova_7.exe </dev/null \
    >"$ARTEFATTI/wine-stub-vuoto.log" 2>&1) &
  pid=$!
  chiudi_casella "$ARTEFATTI/windows-danneggiato.png" "bare stub"
  ((stato == 3)) || fail "the bare stub ended with status $stato, not 3"
  grep -q "programma di installazione danneggiato: nessuno scenario aggiunto al programma" \
    "$ARTEFATTI/wine-stub-vuoto.log" || fail "the bare stub did not say it is damaged"
  [[ "$(cd "$vuoto" && ls -A)" == "Prova_7.exe" ]] || fail "the bare stub wrote files"
  echo "   bare stub: message box, status 3, nothing written; screenshot:" \
    "$ARTEFATTI/windows-danneggiato.png"

  # The waiting window, held on screen by the test build only.
  passo "waiting window: screenshot"
  finestra="$LAVORO/finestra"
  mkdir -p "$finestra"
  cp build/windows-64-test/installer/$INSTALLER.exe "$finestra/"
  (cd "$finestra" && SCENARIO_PROVA_ATTESA_MS=15000 timeout 120 "$WINE64" "./$INSTALLER.exe" \
    </dev/null >"$ARTEFATTI/wine-finestra.log" 2>&1) &
  pid=$!
  id=""
  for _ in $(seq 1 60); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"Form1"/ {print $1; exit}')
    [[ -n "$id" ]] && break
    sleep 1
  done
  [[ -n "$id" ]] || fail "no window named Form1 appeared"
  sleep 2  # let Wine finish drawing
  /usr/bin/import -window root "$ARTEFATTI/windows-attesa.png" ||
    fail "screenshot of the display failed"
  /usr/bin/import -window "$id" "$ARTEFATTI/windows-form1.png" || fail "screenshot of Form1 failed"
  wait "$pid"
  stato=$?
  ((stato == stato_installer)) ||
    fail "the held run ended with status $stato, the plain run with $stato_installer"
  geometria=$(/usr/bin/identify -format '%wx%h' "$ARTEFATTI/windows-form1.png")
  echo "   Form1 inner area: $geometria px"
  [[ "$geometria" == "280x179" ]] || fail "Form1's inner area is $geometria, not 280x179"
  # Label1 stands at 64,64 and measures 177 x 53: dark text inside, nothing
  # but the form's face around it.
  grigio() { /usr/bin/convert "$ARTEFATTI/windows-form1.png" -crop "$1" +repage -colorspace Gray \
    -format '%[fx:minima] %[fx:maxima]' info:; }
  read -r minimo _ <<<"$(grigio 177x53+64+64)"
  awk -v m="$minimo" 'BEGIN { exit !(m < 0.3) }' || fail "no text inside Label1's area"
  for fuori in 280x64+0+0 280x62+0+117 64x179+0+0 39x179+241+0; do
    read -r minimo massimo <<<"$(grigio $fuori)"
    [[ "$minimo" == "$massimo" ]] || fail "Form1 shows something outside Label1 ($fuori)"
  done
  echo "   Label1 drawn in its place; screenshots: $ARTEFATTI/windows-attesa.png," \
    "$ARTEFATTI/windows-form1.png"

  # errore's real message box (test build's probe): it waits for OK, then
  # the program ends.
  passo "message box: screenshot, then OK"
  (cd "$finestra" && exec timeout 60 "$WINE64" \
    "$RADICE/build/windows-64-test/src/app/prova_messaggio.exe" </dev/null \
    >"$ARTEFATTI/wine-messaggio.log" 2>&1) &
  pid=$!
  chiudi_casella "$ARTEFATTI/windows-errore.png" "errore"
  ((stato == 0)) || fail "the message box did not close on OK (status $stato)"
  echo "   box with the default title shown, closed with OK; screenshot:" \
    "$ARTEFATTI/windows-errore.png"
  exit 0
fi

# ---------------------------------------------------------------------------
# First phase: packages, builds, then the Wine phase in a virtual display.
# ---------------------------------------------------------------------------
cd "$RADICE" || exit 1
mkdir -p "$ARTEFATTI"

passo "packages"
pacchetti=(cmake make g++ libgtest-dev googletest zlib1g-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  wine64 fonts-wine xvfb xauth x11-utils imagemagick xdotool)
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || mancanti+=("$p")
done
if ((${#mancanti[@]} > 0)); then
  echo "   installing: ${mancanti[*]}"
  ((EUID == 0)) || fail "missing packages (${mancanti[*]}); run as root to install them"
  export DEBIAN_FRONTEND=noninteractive
  apt-get -q update >"$ARTEFATTI/apt.log" 2>&1 || fail "apt-get update failed"
  apt-get -q install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${mancanti[@]}" \
    >>"$ARTEFATTI/apt.log" 2>&1 || fail "apt-get install failed (see $ARTEFATTI/apt.log)"
fi

passo "building windows-32, windows-64 and windows-64-test"
for preset in windows-32 windows-64 windows-64-test; do
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
LAVORO=$(mktemp -d /tmp/windows-ci.XXXXXX)
export WINE64 LAVORO
export WINEPREFIX="$LAVORO/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompts
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
pulisci() {
  # Ends this prefix's own wineserver only.
  timeout 30 "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$LAVORO"
}
trap pulisci EXIT

passo "Wine phase in a virtual display"
timeout 1200 xvfb-run -a -s "-screen 0 800x600x24" bash "$RADICE/.ci/windows.sh" --nel-display
esito=$?
((esito == 124)) && fail "the Wine phase did not end within 20 minutes"
((esito == 0)) || exit 1  # the phase printed its FAIL line

# The 32-bit program needs a 32-bit Wine (Debian: wine32, i386 architecture).
if [[ -x /usr/lib/wine/wine ]]; then
  passo "32-bit installer under wine (a 32-bit Wine is installed)"
  dir32="$LAVORO/windows-32"
  mkdir -p "$dir32"
  cp "build/windows-32/installer/$INSTALLER.exe" "$dir32/"
  (cd "$dir32" && timeout 300 xvfb-run -a /usr/lib/wine/wine "./$INSTALLER.exe" </dev/null \
    >"$ARTEFATTI/wine32-run.log" 2>&1)
  stato32=$?
  rm "$dir32/$INSTALLER.exe"
  [[ "$(cd "$dir32" && ls -A)" == "$(cd "$LAVORO/linux" && ls -A)" ]] ||
    fail "32-bit: the run left other files than the Linux run"
  for f in $(cd "$dir32" && ls -A); do
    cmp -s "$dir32/$f" "$LAVORO/linux/$f" || fail "32-bit: $f differs from the Linux run"
  done
  echo "   32-bit run: exit status $stato32, same files as the Linux run"
else
  echo "   32-bit installer: built and linked, not run (no 32-bit Wine here: Debian's" \
    "wine32 needs the i386 architecture)"
fi

echo "windows.sh: PASS (Windows 32 and 64 built; 64-bit checked under wine64)"

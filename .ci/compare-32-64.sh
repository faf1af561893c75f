#!/usr/bin/env bash
# The 32-bit author tool against the 64-bit one: the same inputs must give
# the same bytes. The 32-bit tool is the static i686 Linux build (preset
# linux-32) run under qemu-i386, so no kernel support for 32-bit programs is
# needed; it has the shipped Windows program's word size and arithmetic.
#
# Inputs, each compiled by both tools in a fresh folder of its own:
#   - the carried scenario (its texts from `scenario emit`), with and
#     without the plan (--no-plan);
#   - the generator's short and maximal scenarios, with and without the plan;
#   - every stored corpus input of the whole-compile fuzz target (the line
#     file, a NUL byte, the train file; no NUL: an empty train file).
# Compared: the exit status, the first line of standard output
# (numero_errore=N posizione_errore=P) and the three binary files (present
# on both sides or on neither, byte for byte). The five texts `emit` writes
# are compared too.
#
#   .ci/compare-32-64.sh
#
# Environment, all optional:
#   SCENARIO_64       the reference tool (default build/default/.../scenario)
#   SCENARIO_32       the compared tool, a command line
#                     (default: qemu-i386 build/linux-32/.../scenario)
#   TESTI_GENERATI    the generator's writer (default from build/default)
#   CORPUS            the corpus folder (default fuzz/corpus/compila_tutto_fuzz)
# Without SCENARIO_64 / SCENARIO_32 the two builds are made first (presets
# default and linux-32, only the targets needed). Prints one line per
# difference, then one line of result: "compare-32-64: PASS (...)" or
# "compare-32-64: FAIL: ...", exit status 0 or 1 (64: bad setup).
set -uo pipefail

RADICE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$RADICE" || exit 64
# shellcheck source=SCRIPTDIR/comune.sh
source .ci/comune.sh

guasto_preparazione() {
  echo "compare-32-64: FAIL: $*"
  exit 64
}

# Configures the preset's build when it has none yet, then builds TARGETS.
costruisci() {  # preset targets...
  local preset=$1 cartella="build/$1"
  shift
  if [[ ! -f "$cartella/CMakeCache.txt" ]]; then
    cmake --preset "$preset" >"$LAVORO/build-$preset.log" 2>&1 ||
      { tail -n 30 "$LAVORO/build-$preset.log"; guasto_preparazione "configure $preset failed"; }
  fi
  cmake --build "$cartella" -j2 --target "$@" >>"$LAVORO/build-$preset.log" 2>&1 ||
    { tail -n 30 "$LAVORO/build-$preset.log"; guasto_preparazione "build $preset failed"; }
}

LAVORO=$(mktemp -d "${TMPDIR:-/tmp}/compare-32-64.XXXXXX")
trap 'rm -rf "$LAVORO"' EXIT

if [[ -z "${SCENARIO_64:-}" || -z "${TESTI_GENERATI:-}" ]]; then
  costruisci default scenario testi_generati
fi
if [[ -z "${SCENARIO_32:-}" ]]; then
  command -v qemu-i386 >/dev/null || guasto_preparazione "qemu-i386 missing (Debian: qemu-user)"
  costruisci linux-32 scenario
fi
SCENARIO_64=${SCENARIO_64:-$RADICE/build/default/tools/scenario/scenario}
SCENARIO_32=${SCENARIO_32:-qemu-i386 $RADICE/build/linux-32/tools/scenario/scenario}
TESTI_GENERATI=${TESTI_GENERATI:-$RADICE/build/default/bench/generatore/testi_generati}
CORPUS=${CORPUS:-$RADICE/fuzz/corpus/compila_tutto_fuzz}
read -r -a comando_32 <<<"$SCENARIO_32"
read -r -a comando_64 <<<"$SCENARIO_64"

casi=0
differenze=0
prima_differenza=""

differisce() {  # case, what
  echo "   differs: $1: $2"
  differenze=$((differenze + 1))
  [[ -n "$prima_differenza" ]] || prima_differenza="$1: $2"
}

# Compares the files NAMES... (without NAMES, all) of folders a and b of
# case DIR.
confronta_file() {  # case dir names...
  local caso=$1 dir=$2 d
  shift 2
  confronta_cartelle 64-bit "$dir/a" 32-bit "$dir/b" "$@" && return
  for d in "${DIVERSI[@]}"; do differisce "$caso" "$d"; done
}

# One compile by both tools: DIR/a and DIR/b already hold the sources.
confronta_compile() {  # case dir linea treno [--no-plan]
  local caso=$1 dir=$2 linea=$3 treno=$4
  shift 4
  local stato_a stato_b riga_a riga_b
  (cd "$dir/a" && "${comando_64[@]}" compile "$linea" "$treno" "$@" </dev/null >../out-a 2>../err-a)
  stato_a=$?
  (cd "$dir/b" && "${comando_32[@]}" compile "$linea" "$treno" "$@" </dev/null >../out-b 2>../err-b)
  stato_b=$?
  casi=$((casi + 1))
  ((stato_a == stato_b)) || differisce "$caso" "exit status 64-bit $stato_a, 32-bit $stato_b"
  riga_a=$(head -n 1 "$dir/out-a")
  riga_b=$(head -n 1 "$dir/out-b")
  [[ "$riga_a" == "$riga_b" ]] ||
    differisce "$caso" "first line 64-bit [$riga_a], 32-bit [$riga_b]"
  confronta_file "$caso" "$dir" "${linea}_linea.dat" "${linea}_${treno}.sim" "${linea}_${treno}.dat"
  # An ending the tool itself did not choose (a crash, the emulator failing).
  ((stato_a <= 3 && stato_b <= 3)) ||
    differisce "$caso" "unexpected exit status (64-bit $stato_a, 32-bit $stato_b; $(head -c 200 "$dir/err-b"))"
}

# A fresh case folder with the two sides' folders a and b.
nuovo_caso() {  # name
  local dir="$LAVORO/casi/$1"
  mkdir -p "$dir/a" "$dir/b"
  echo "$dir"
}

# The carried texts, as each tool emits them, then compiled by both.
dir=$(nuovo_caso portato-emit)
(cd "$dir/a" && "${comando_64[@]}" emit) >/dev/null 2>&1 || guasto_preparazione "64-bit emit failed"
(cd "$dir/b" && "${comando_32[@]}" emit) >/dev/null 2>&1 || differisce "carried emit" "32-bit emit failed"
casi=$((casi + 1))
confronta_file "carried emit" "$dir"  # every file either side wrote
sorgenti_portati=$dir/a

for piano in "" --no-plan; do
  caso="carried${piano:+ $piano}"
  dir=$(nuovo_caso "portato$piano")
  cp "$sorgenti_portati"/Lanvero_Ostrel_linea.txt "$sorgenti_portati"/Lanvero_Ostrel_24817-.txt \
    "$dir/a/"
  cp "$dir"/a/* "$dir/b/"
  confronta_compile "$caso" "$dir" Lanvero_Ostrel 24817 $piano
done

# The generator's scenarios, written once, compiled by both tools.
for scenario in breve massimo; do
  testi="$LAVORO/generato-$scenario"
  mkdir -p "$testi"
  identita=$("$TESTI_GENERATI" "$testi" "$scenario") ||
    guasto_preparazione "the generator's writer failed ($scenario)"
  read -r linea treno <<<"$identita"
  for piano in "" --no-plan; do
    caso="generated $scenario${piano:+ $piano}"
    dir=$(nuovo_caso "$scenario$piano")
    cp "$testi/${linea}_linea.txt" "$testi/${linea}_${treno}-.txt" "$dir/a/"
    cp "$dir"/a/* "$dir/b/"
    confronta_compile "$caso" "$dir" "$linea" "$treno" $piano
  done
done

# The corpus: each input split at its first NUL byte into the two sources,
# under the identity the fuzz target compiles it with.
[[ -d "$CORPUS" ]] || guasto_preparazione "no corpus folder $CORPUS"
for ingresso in "$CORPUS"/*; do
  [[ -f "$ingresso" ]] || continue
  dir=$(nuovo_caso "corpus/$(basename "$ingresso")")
  if (($(tr -cd '\0' <"$ingresso" | wc -c) > 0)); then
    n=$(head -z -n 1 "$ingresso" | wc -c)  # the line file and its NUL
    head -c $((n - 1)) "$ingresso" >"$dir/a/Lanvero_Ostrel_linea.txt"
    tail -c +$((n + 1)) "$ingresso" >"$dir/a/Lanvero_Ostrel_24817-.txt"
  else
    cp "$ingresso" "$dir/a/Lanvero_Ostrel_linea.txt"
    : >"$dir/a/Lanvero_Ostrel_24817-.txt"
  fi
  cp "$dir"/a/* "$dir/b/"
done
ingressi=0
for dir in "$LAVORO"/casi/corpus/*/; do
  dir=${dir%/}
  confronta_compile "corpus $(basename "$dir")" "$dir" Lanvero_Ostrel 24817
  ingressi=$((ingressi + 1))
done
((ingressi > 0)) || guasto_preparazione "the corpus $CORPUS is empty"

if ((differenze == 0)); then
  echo "compare-32-64: PASS ($casi runs: the carried texts, the carried scenario, the short" \
    "and maximal generated ones with and without the plan, $ingressi corpus inputs; same exit" \
    "status, first line and files)"
  exit 0
fi
echo "compare-32-64: FAIL: $differenze difference(s) in $casi runs; first: $prima_differenza"
exit 1

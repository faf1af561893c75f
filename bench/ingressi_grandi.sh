#!/usr/bin/env bash
# Times the real `scenario` on inputs that grow without bound, and prints
# one Markdown table row per run: the wall time, the CPU time (user and
# system) and the peak memory (maximum resident set) that /usr/bin/time
# reports.
#
#   bench/ingressi_grandi.sh [-m] [-n RUNS] [BUILD_DIR]
#
# -m: only the maximal scenario's compiled files (cat, plot, inspect).
# -n RUNS: each row run RUNS times (default 1): the median wall and CPU
# times, the largest peak memory.
# BUILD_DIR defaults to build/bench (the `bench` preset). The inputs, made
# in a fresh folder under ${TMPDIR:-/tmp}:
#   - `check` on the carried texts with one line of 64 K to 4 M commas
#     (doubling) appended to the line file (the time should double with
#     the size), with 8 MB of empty lines appended, and with 60 MB of the
#     line file's gradient records repeated (nearly every one a diagnostic);
#   - `plot` with a noisy line plan (bench/piano_rumoroso, zigzag) beside
#     the carried scenario's header and cell files (98 001 points; 7 001,
#     refused), and beside the maximal scenario's (1 007 001 points), and
#     the same length of a six-point pattern;
#   - the maximal scenario's compiled files: `cat` of them, `plot`, and
#     `inspect` of its plan and cell files, as text and as JSON;
#   - `inspect` of a sparse 2 GB header file, refused from its size.
set -euo pipefail

solo_massimo=0
volte=1
while getopts "mn:" o; do
  case "$o" in
    m) solo_massimo=1 ;;
    n) volte="$OPTARG" ;;
    *) echo "usage: $0 [-m] [-n RUNS] [BUILD_DIR]" >&2; exit 64 ;;
  esac
done
shift $((OPTIND - 1))
build="${1:-build/bench}"
scenario="$build/tools/scenario/scenario"
piano="$build/bench/piano_rumoroso"
generati="$build/bench/generatore/testi_generati"
for exe in "$scenario" "$piano" "$generati"; do
  [[ -x "$exe" ]] || { echo "missing $exe: build the bench preset first" >&2; exit 64; }
done
[[ -x /usr/bin/time ]] || { echo "missing /usr/bin/time (Debian: time)" >&2; exit 64; }

work="$(mktemp -d "${TMPDIR:-/tmp}/ingressi_grandi.XXXXXX")"
trap 'rm -rf "$work"' EXIT
id=(Lanvero_Ostrel 24817)
linea="${id[0]}_linea.txt"

mkdir -p "$work/testi" "$work/compilato"
"$scenario" emit --dir "$work/testi"
cp "$work/testi/"* "$work/compilato/"
"$scenario" compile "${id[@]}" --dir "$work/compilato" >/dev/null

# A folder holding the carried texts, the line file with `$2` appended.
testi_con() {  # DIR FILE_OF_BYTES
  mkdir -p "$1"
  cp "$work/testi/"* "$1/"
  cat "$2" >>"$1/$linea"
}

# Microseconds since the epoch.
now_us() { local t="${EPOCHREALTIME/./}"; echo "$((10#$t))"; }

# One row: | WHAT | MILLISECONDS | CPU MILLISECONDS | MiB | EXIT STATUS |,
# the wall time taken around /usr/bin/time (its own start included, well
# under a millisecond); over `volte` runs, the medians and the largest
# peak.
misura() {  # WHAT COMMAND...
  local cosa="$1"
  shift
  local stato inizio fine righe=""
  for ((i = 0; i < volte; i++)); do
    stato=0
    inizio="$(now_us)"
    /usr/bin/time -f "%M %U %S" -o "$work/tempo" "$@" >/dev/null 2>"$work/err" || stato=$?
    fine="$(now_us)"
    righe+="$((fine - inizio)) $(tail -n 1 "$work/tempo")"$'\n'
  done
  printf '%s' "$righe" | awk -v c="$cosa" -v s="$stato" '
    function mediana(v, n,   i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) {
        t = v[j]; v[j] = v[j - 1]; v[j - 1] = t
      }
      return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    { n++; muro[n] = $1 / 1000; cpu[n] = ($3 + $4) * 1000; if ($2 > k) k = $2 }
    END { printf "| %s | %.1f | %.0f | %.1f | %s |\n", c, mediana(muro, n), mediana(cpu, n), k / 1024, s }'
}

echo "| Run | Time (ms) | CPU time (ms) | Peak memory (MiB) | Exit status |"
echo "|---|---:|---:|---:|---:|"

if ((solo_massimo == 0)); then
misura "check, the carried texts alone" "$scenario" check "${id[@]}" --dir "$work/testi"
for k in 64 128 256 512 1024 2048 4096; do
  head -c "$((k * 1024))" /dev/zero | tr '\0' ',' >"$work/virgole"
  printf '\r\n' >>"$work/virgole"
  testi_con "$work/v$k" "$work/virgole"
  misura "check, one line of $k K fields" "$scenario" check "${id[@]}" --dir "$work/v$k"
done

{ yes $'\r' || true; } | head -n "$((4 << 20))" >"$work/vuote"
testi_con "$work/vuote_dir" "$work/vuote"
misura "check, 8 MB of empty lines" "$scenario" check "${id[@]}" --dir "$work/vuote_dir"

# The line file's [pendenze] records, repeated to 60 MB.
awk '/^\[pendenze\]/ { dentro = 1; next } /^\[/ { dentro = 0 } dentro' \
  "$work/testi/$linea" >"$work/blocco"
{ yes "$(cat "$work/blocco")" || true; } | head -c "$((60 << 20))" >"$work/sessanta"
testi_con "$work/ripetuti_dir" "$work/sessanta"
misura "check, 60 MB of repeated records" "$scenario" check "${id[@]}" --dir "$work/ripetuti_dir"

# plot draws only files of one compile: a noisy plan of the carried line's
# count of points beside its header and cells, one of the longest line's
# beside the maximal scenario's; one of another count is refused.
rumoroso() {  # DIR COMPILED_DIR LINE TRAIN POINTS [sei]
  mkdir -p "$1"
  cp "$2/$3_$4.sim" "$2/$3_$4.dat" "$1/"
  "$piano" "$5" "$1/$3_linea.dat" ${6:+"$6"}
}
rumoroso "$work/p7001" "$work/compilato" "${id[@]}" 7001
misura "plot, noisy plan of 7001 points beside the carried header (refused)" \
  "$scenario" plot "${id[@]}" --dir "$work/p7001"
rumoroso "$work/p98001" "$work/compilato" "${id[@]}" 98001
misura "plot, noisy plan of 98001 points" "$scenario" plot "${id[@]}" --dir "$work/p98001"

fi

mkdir -p "$work/massimo"
read -r -a massimo < <("$generati" "$work/massimo" massimo)
"$scenario" compile "${massimo[@]}" --dir "$work/massimo" --no-plan >/dev/null
if ((solo_massimo == 0)); then
rumoroso "$work/p1007001" "$work/massimo" "${massimo[@]}" 1007001
misura "plot, noisy plan of 1007001 points" "$scenario" plot "${massimo[@]}" --dir "$work/p1007001"
rumoroso "$work/sei" "$work/massimo" "${massimo[@]}" 1007001 sei
misura "plot, six-point pattern of 1007001 points" "$scenario" plot "${massimo[@]}" --dir "$work/sei"
fi

# The maximal scenario's own files (a 20 MB plan), beside a plain read of
# the same bytes.
mkdir -p "$work/pieno"
cp "$work/massimo/"*.txt "$work/pieno/"
"$scenario" compile "${massimo[@]}" --dir "$work/pieno" >/dev/null
m="$work/pieno/${massimo[0]}_${massimo[1]}"
p="$work/pieno/${massimo[0]}_linea.dat"
misura "cat, the maximal scenario's three compiled files" cat "$m.sim" "$m.dat" "$p"
misura "plot, the maximal scenario" "$scenario" plot "${massimo[@]}" --dir "$work/pieno"
misura "cat, the maximal plan file" cat "$p"
misura "inspect, the maximal plan file" "$scenario" inspect "$p"
misura "inspect --json, the maximal plan file" "$scenario" inspect --json "$p"
misura "inspect, the maximal cell file" "$scenario" inspect "$m.dat"
misura "inspect --json, the maximal cell file" "$scenario" inspect --json "$m.dat"

((solo_massimo == 0)) || exit 0
truncate -s 2G "$work/enorme.sim"
misura "inspect, sparse 2 GB .sim (refused)" "$scenario" inspect "$work/enorme.sim"

#!/usr/bin/env bash
# Times whole installer runs, process start to exit, against two floors: a C
# program (bench/pavimento, no C++ runtime) that, copied into a fresh folder
# and started there as the installer is, writes the same final files beside
# itself with one write each; and the same program flushing as the installer
# does (pavimento -s: each file flushed after its write, the folder after the
# last). Prints the medians, the installer's ratio to each floor, and the
# peak memory of the installer and the plain floor when /usr/bin/time is
# there.
#
#   bench/installer_vs_floor.sh [-n RUNS] [BUILD_DIR]
#
# BUILD_DIR defaults to build/bench (the `bench` preset). Four installers
# are measured: the carried one (installer/<LINEA>_<TRENO>, the stub with the
# carried texts packed onto it), the same run over the generated short
# scenario (bench/Linea_Breve_91000, the carried line's length) and over the
# maximal one (bench/Linea_Massima_99999), with the texts built into the
# program, and the maximal scenario packed by `scenario pack` onto the stub
# (its texts read from the end of its own file). An installer whose run
# fails is reported and skipped. Every run gets a fresh folder under
# ${TMPDIR:-/tmp}; runs of the installer and of the floors alternate, so a
# change in the machine's load falls on all.
set -euo pipefail

runs=31
while getopts "n:h" opt; do
  case "$opt" in
    n) runs="$OPTARG" ;;
    *) sed -n '2,23p' "$0"; exit 64 ;;
  esac
done
shift $((OPTIND - 1))
build="${1:-build/bench}"

pavimento="$build/bench/pavimento"
[[ -x "$pavimento" ]] || { echo "missing $pavimento: build the bench preset first" >&2; exit 64; }

work="$(mktemp -d "${TMPDIR:-/tmp}/installer_vs_floor.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Microseconds since the epoch.
now_us() { local t="${EPOCHREALTIME/./}"; echo "$((10#$t))"; }

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() {  # EXE [LABEL]
  local exe="$1" name label
  name="$(basename "$exe")"
  label="${2:-$name}"
  [[ -x "$exe" ]] || { echo "$label: not built, skipped"; return; }

  # One reference run gives the files the floor writes.
  local ref
  ref="$(mktemp -d "$work/ref.XXXXXX")"
  cp "$exe" "$ref/"
  if ! (cd "$ref" && "./$name" >/dev/null 2>"$work/stderr"); then
    echo "$label: the run failed ($(head -c 200 "$work/stderr")), skipped"
    return
  fi
  local files=()
  for f in "$ref"/*; do [[ "$(basename "$f")" == "$name" ]] || files+=("$f"); done
  if ((${#files[@]} == 0)); then echo "$label: the run left no file, skipped"; return; fi
  local bytes
  bytes="$(cat "${files[@]}" | wc -c)"

  local inst=() floor=() flush=() i d t0 t1
  for ((i = 0; i < runs; i++)); do
    d="$work/run"
    mkdir "$d" && cp "$exe" "$d/"
    t0="$(now_us)"; "$d/$name" >/dev/null; t1="$(now_us)"
    inst+=($((t1 - t0)))
    rm -rf "$d"

    mkdir "$d" && cp "$pavimento" "$d/"
    t0="$(now_us)"; "$d/pavimento" "${files[@]}"; t1="$(now_us)"
    floor+=($((t1 - t0)))
    rm -rf "$d"

    mkdir "$d" && cp "$pavimento" "$d/"
    t0="$(now_us)"; "$d/pavimento" -s "${files[@]}"; t1="$(now_us)"
    flush+=($((t1 - t0)))
    rm -rf "$d"
  done

  local mi mf ms
  mi="$(printf '%s\n' "${inst[@]}" | median)"
  mf="$(printf '%s\n' "${floor[@]}" | median)"
  ms="$(printf '%s\n' "${flush[@]}" | median)"
  printf '%s: %d files, %d bytes, %d runs\n' "$label" "${#files[@]}" "$bytes" "$runs"
  printf '  installer median      %8.2f ms\n' "$(awk "BEGIN { print $mi / 1000 }")"
  printf '  floor     median      %8.2f ms   ratio %5.2f\n' \
    "$(awk "BEGIN { print $mf / 1000 }")" "$(awk "BEGIN { print $mi / $mf }")"
  printf '  flushing floor median %8.2f ms   ratio %5.2f\n' \
    "$(awk "BEGIN { print $ms / 1000 }")" "$(awk "BEGIN { print $mi / $ms }")"

  if [[ -x /usr/bin/time ]]; then
    local rss_i rss_f
    d="$work/run"
    mkdir "$d" && cp "$exe" "$d/"
    /usr/bin/time -v "$d/$name" >/dev/null 2>"$work/time"
    rss_i="$(awk -F: '/Maximum resident/ { print $2 + 0 }' "$work/time")"
    rm -rf "$d"
    mkdir "$d" && cp "$pavimento" "$d/"
    /usr/bin/time -v "$d/pavimento" "${files[@]}" 2>"$work/time"
    rss_f="$(awk -F: '/Maximum resident/ { print $2 + 0 }' "$work/time")"
    rm -rf "$d"
    printf '  peak RSS  %8d KiB installer, %d KiB floor (output %d KiB)\n' \
      "$rss_i" "$rss_f" "$((bytes / 1024))"
  fi
}

carried="$(find "$build/installer" -maxdepth 1 -type f -executable -name '*_*' | head -n 1)"
measure "${carried:-$build/installer/installer}"
measure "$build/bench/Linea_Breve_91000"
measure "$build/bench/Linea_Massima_99999"

# The maximal scenario again, packed: the stub finds its texts in its own
# file.
tool="$build/tools/scenario/scenario"
if [[ -x "$tool" && -x "$build/bench/generatore/testi_generati" ]]; then
  mkdir "$work/testi" "$work/packed"
  read -r linea treno < <("$build/bench/generatore/testi_generati" "$work/testi" massimo)
  "$tool" pack "$linea" "$treno" --dir "$work/testi" -o "$work/packed/${linea}_$treno" >/dev/null
  rm -rf "$work/testi"
  measure "$work/packed/${linea}_$treno" "${linea}_$treno (packed)"
else
  echo "packed installer: scenario or testi_generati not built, skipped"
fi

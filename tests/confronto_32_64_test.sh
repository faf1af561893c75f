#!/usr/bin/env bash
# .ci/compare-32-64.sh reports what differs. Its compared side is the tool
# under test with one value of its output changed: one bit in the middle of
# the maximal scenario's plan file (a last-place difference in a real, the
# kind that other arithmetic would give), or the position in the carried
# scenario's first line; or one of its files missing. Unchanged, the same
# run passes.
#
#   confronto_32_64_test.sh SCENARIO TESTI_GENERATI
set -uo pipefail

scenario=$(realpath "$1")
testi_generati=$(realpath "$2")
radice=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lavoro=$(mktemp -d "${TMPDIR:-/tmp}/confronto_32_64_test.XXXXXX")
trap 'rm -rf "$lavoro"' EXIT

# Three stored inputs are enough here; CI compares them all.
mkdir "$lavoro/corpus"
find "$radice/fuzz/corpus/compila_tutto_fuzz" -type f | sort | head -n 3 |
  xargs cp -t "$lavoro/corpus"

cat >"$lavoro/alterato.sh" <<'LATO'
#!/usr/bin/env bash
# The tool, then ALTERAZIONE applied to what it printed or wrote.
uscita=$("$SCENARIO_VERO" "$@")
stato=$?
# The first compile is the carried scenario's, with the plan.
if [[ "$1" == compile && ! -e "$MARCA" ]]; then
  : >"$MARCA"
  case "$ALTERAZIONE" in
    riga) uscita=${uscita/posizione_errore=0/posizione_errore=1} ;;
    manca) rm Lanvero_Ostrel_24817.sim ;;
  esac
fi
piano=Linea_Massima_linea.dat
if [[ "$ALTERAZIONE" == bit && -f "$piano" && "$*" == "compile Linea_Massima 99999" ]]; then
  posizione=$(($(stat -c %s "$piano") / 2))
  valore=$(od -An -tu1 -j "$posizione" -N1 "$piano" | tr -d ' ')
  printf "\\$(printf %03o $((valore ^ 1)))" |
    dd of="$piano" bs=1 seek="$posizione" conv=notrunc status=none
fi
[[ -n "$uscita" ]] && printf '%s\n' "$uscita"
exit "$stato"
LATO
chmod +x "$lavoro/alterato.sh"

fallito=0
# alteration, expected exit status, expected last line (a glob: \[ is a bracket)
while read -r alterazione atteso riga; do
  rm -f "$lavoro/marca"
  risultato=$(SCENARIO_VERO="$scenario" ALTERAZIONE="$alterazione" MARCA="$lavoro/marca" \
    SCENARIO_64="$scenario" \
    SCENARIO_32="$lavoro/alterato.sh" TESTI_GENERATI="$testi_generati" \
    CORPUS="$lavoro/corpus" bash "$radice/.ci/compare-32-64.sh")
  stato=$?
  ultima=$(tail -n 1 <<<"$risultato")
  # shellcheck disable=SC2053  # a glob on purpose
  if [[ $stato != "$atteso" || "$ultima" != $riga ]]; then
    echo "alteration $alterazione: status $stato (expected $atteso), output:"
    echo "$risultato"
    fallito=1
  else
    echo "alteration $alterazione: $ultima"
  fi
done <<'CASI'
nessuna 0 compare-32-64: PASS (*)
bit 1 compare-32-64: FAIL: 1 difference(s) in * runs; first: generated massimo: Linea_Massima_linea.dat at byte *
riga 1 compare-32-64: FAIL: 1 difference(s) in * runs; first: carried: first line 64-bit \[numero_errore=0 posizione_errore=0\], 32-bit \[numero_errore=0 posizione_errore=1\]
manca 1 compare-32-64: FAIL: 1 difference(s) in * runs; first: carried: Lanvero_Ostrel_24817.sim on the 64-bit side only
CASI
exit "$fallito"

#!/usr/bin/env bash
# CI steps for bad input and memory faults: each fuzz target for a bounded
# time, starting from its stored corpus (and, on request, every test under
# AddressSanitizer and UndefinedBehaviorSanitizer first; .ci/run runs that
# workflow itself). Runs on a fresh Debian machine as root from a clean
# clone; installs what it needs.
#
#   FUZZ_SECONDS     time per fuzz target (default 60)
#   FUZZ_SANITIZE=1  run the sanitize workflow first
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=SCRIPTDIR/comune.sh
source .ci/comune.sh

secondi=${FUZZ_SECONDS:-60}

installa cmake make g++ libgtest-dev clang

# libFuzzer comes with clang's runtime package, one per clang version.
prova=$(mktemp -d)
trap 'rm -rf "$prova"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$prova/f.cc"
if ! clang++ -fsanitize=fuzzer "$prova/f.cc" -o "$prova/f" 2>/dev/null; then
  versione=$(clang++ -dumpversion | cut -d. -f1)
  installa "libclang-rt-${versione}-dev"
fi

if [ "${FUZZ_SANITIZE:-0}" = 1 ]; then
  cmake --workflow --preset sanitize
fi

cmake --preset fuzz
cmake --build --preset fuzz

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
artefatti=build/fuzz/artefatti
mkdir -p "$artefatti"

# target and longest input: the carried texts are 10 and 4 KB; the smallest
# line plan a compile writes is 28 KB.
for voce in lettore_campi_fuzz:4096 compila_linea_fuzz:16384 compila_treno_fuzz:8192 \
  compila_tutto_fuzz:16384 controlla_fuzz:16384 leggi_binari_fuzz:32768; do
  target=${voce%%:*}
  lungo=${voce##*:}
  nuovi="$prova/$target"
  mkdir -p "$nuovi"
  corpora="fuzz/corpus/$target"
  # The check reads the whole compile's inputs too.
  [ "$target" = controlla_fuzz ] && corpora="$corpora fuzz/corpus/compila_tutto_fuzz"
  echo "== $target, ${secondi}s"
  # New inputs go to a scratch folder; the stored corpora are only read.
  # shellcheck disable=SC2086
  "build/fuzz/fuzz/$target" "$nuovi" $corpora \
    -dict=fuzz/scenario.dict -max_len="$lungo" -timeout=60 -rss_limit_mb=2048 \
    -max_total_time="$secondi" -print_final_stats=1 \
    -artifact_prefix="$artefatti/$target-"
done

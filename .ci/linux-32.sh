#!/usr/bin/env bash
# Every test again as 32-bit code (the static i686 build under qemu-i386),
# with every direct start of a 32-bit program refused.
#
# The tests must start the build's programs through its emulator, whether or
# not the kernel runs 32-bit programs itself. On a kernel that does, a test
# that starts one directly passes and hides the fault; so, for the run, a
# binfmt_misc entry for i386 programs is registered whose interpreter refuses
# with "Exec format error" (exit 126), as such a start fails on a kernel that
# runs no 32-bit program. binfmt_misc entries are consulted newest first and
# before the kernel's own loader; qemu-i386 PROGRAM still runs, since qemu
# reads the file itself. The entry is removed afterwards, and an entry that
# was there before stays as it was.
#
# Needs root and binfmt_misc; without them the tests run all the same and
# the last line says that direct starts were not refused.
#
#   .ci/linux-32.sh [--solo-controllo]
#     --solo-controllo  registers the entry, shows that a direct start is
#                       refused and qemu-i386 still runs, and removes it.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

BINFMT=/proc/sys/fs/binfmt_misc
VOCE=scenario-rifiuta-i386
# An i386 ELF executable (ET_EXEC or ET_DYN), as qemu's own entry matches it.
MAGIA='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASCHERA='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
RIFIUTA=$(mktemp -d /tmp/linux-32.XXXXXX)
trap 'rimuovi; rm -rf "$RIFIUTA"' EXIT

rimuovi() {
  [[ -e "$BINFMT/$VOCE" ]] && echo -1 >"$BINFMT/$VOCE"
}

# Registers the refusing entry; on failure prints why and returns 1.
registra() {
  if [[ ! -e "$BINFMT/register" ]]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null ||
      { PERCHE="binfmt_misc is not mounted and cannot be mounted here"; return 1; }
  fi
  cat >"$RIFIUTA/rifiuta" <<'EOF'
#!/bin/sh
echo "$1: Exec format error (a 32-bit program started without the build's emulator)" >&2
exit 126
EOF
  chmod 755 "$RIFIUTA/rifiuta"
  rimuovi
  echo ":$VOCE:M::$MAGIA:$MASCHERA:$RIFIUTA/rifiuta:" >"$BINFMT/register" 2>/dev/null ||
    { PERCHE="cannot register a binfmt_misc entry (not root?)"; return 1; }
}

# A direct start is refused and qemu-i386 runs the same program.
mostra() {
  local prova="$RIFIUTA/prova32"
  printf 'int main(void) { return 7; }\n' | gcc -m32 -static -x c - -o "$prova" 2>/dev/null ||
    { echo "linux-32.sh: FAIL: cannot build a 32-bit test program"; return 1; }
  "$prova" 2>/dev/null
  local diretto=$?
  qemu-i386 "$prova"
  local emulato=$?
  echo "   direct start: exit $diretto (refused: 126); qemu-i386: exit $emulato (the program's 7)"
  ((diretto == 126 && emulato == 7)) ||
    { echo "linux-32.sh: FAIL: the refusing entry does not work as meant"; return 1; }
}

PERCHE=
if registra; then
  echo "   registered $BINFMT/$VOCE: a 32-bit program started directly exits 126"
  mostra || exit 1
else
  echo "   $PERCHE: direct starts of 32-bit programs are not refused in this run"
fi
[[ "${1:-}" == --solo-controllo ]] && exit 0

cmake --workflow --preset linux-32
esito=$?
if ((esito != 0)); then
  echo "linux-32.sh: FAIL: the 32-bit tests failed (a test that starts a 32-bit program directly" \
    "fails with \"Exec format error\", exit 126)"
  exit 1
fi
if [[ -z "$PERCHE" ]]; then
  echo "linux-32.sh: PASS (every 32-bit test, no program of the build started directly)"
else
  echo "linux-32.sh: PASS (every 32-bit test; not checked for direct starts: $PERCHE)"
fi

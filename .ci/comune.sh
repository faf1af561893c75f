# shellcheck shell=bash
# Sourced by the CI scripts: installing the Debian packages a step lacks,
# and comparing the files of two folders byte for byte.

# Installs with apt-get, as root, those of PACKAGES... that dpkg does not
# list as installed; leading OPTIONS... (each starting with -) go to
# `apt-get install`. A package of a foreign architecture (NAME:i386) adds
# that architecture first. The package lists are fetched once per CI run
# (APT_AGGIORNATO, exported to the scripts started afterwards) and again
# after an architecture is added. apt-get's output is appended to the file
# APT_REGISTRO when that is set. Status 1, with a line on standard error,
# when a package is missing and this is not root or apt-get fails.
installa() {  # [options...] packages...
  local opzioni=() mancanti=() p architettura registro=${APT_REGISTRO:-/dev/stdout}
  while [[ "${1:-}" == -* ]]; do
    opzioni+=("$1")
    shift
  done
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
      mancanti+=("$p")
  done
  ((${#mancanti[@]} > 0)) || return 0
  echo "   installing: ${mancanti[*]}"
  if ((EUID != 0)); then
    echo "missing packages (${mancanti[*]}); run as root to install them" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  for p in "${mancanti[@]}"; do
    [[ "$p" == *:* ]] || continue
    architettura=${p##*:}
    dpkg --print-foreign-architectures | grep -q -x "$architettura" && continue
    dpkg --add-architecture "$architettura" ||
      { echo "dpkg --add-architecture $architettura failed" >&2; return 1; }
    APT_AGGIORNATO=0
  done
  if [[ "${APT_AGGIORNATO:-0}" != 1 ]]; then
    apt-get -qq update >>"$registro" 2>&1 || { echo "apt-get update failed" >&2; return 1; }
    export APT_AGGIORNATO=1
  fi
  apt-get -qq install -y -o DPkg::Lock::Timeout=600 "${opzioni[@]}" "${mancanti[@]}" \
    >>"$registro" 2>&1 || { echo "apt-get install ${mancanti[*]} failed" >&2; return 1; }
}

# Compares folders A and B: the files NAMES..., each on both sides or on
# neither, or without NAMES every file either folder holds. Leaves in
# UGUALI the names found byte-identical and in DIVERSI one line per
# difference, naming the sides by their labels:
#   "NAME at byte N (LABEL-A \X, LABEL-B \Y)"  (the first differing byte, octal)
#   "NAME at lengths X and Y"                  (one is the other's beginning)
#   "NAME on the LABEL-A side only"
# Status 1 when there is any difference. Not for a subshell: the results
# are variables.
confronta_cartelle() {  # label-a folder-a label-b folder-b [names...]
  local etichetta_a=$1 a=$2 etichetta_b=$3 b=$4 f primo posizione x y
  shift 4
  UGUALI=()
  DIVERSI=()
  local nomi=("$@")
  ((${#nomi[@]} > 0)) || mapfile -t nomi < <({ (cd "$a" && ls -A); (cd "$b" && ls -A); } | sort -u)
  for f in "${nomi[@]}"; do
    if [[ -f "$a/$f" && -f "$b/$f" ]]; then
      if cmp -s "$a/$f" "$b/$f"; then
        UGUALI+=("$f")
      else
        primo=$(cmp -l "$a/$f" "$b/$f" 2>/dev/null | head -n 1)
        if [[ -n "$primo" ]]; then
          read -r posizione x y <<<"$primo"
          DIVERSI+=("$f at byte $posizione ($etichetta_a \\$x, $etichetta_b \\$y)")
        else
          DIVERSI+=("$f at lengths $(stat -c %s "$a/$f") and $(stat -c %s "$b/$f")")
        fi
      fi
    elif [[ -e "$a/$f" && -e "$b/$f" ]]; then
      DIVERSI+=("$f is not a plain file on both sides")
    elif [[ -e "$a/$f" ]]; then
      DIVERSI+=("$f on the $etichetta_a side only")
    elif [[ -e "$b/$f" ]]; then
      DIVERSI+=("$f on the $etichetta_b side only")
    fi
  done
  ((${#DIVERSI[@]} == 0))
}

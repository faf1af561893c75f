#!/usr/bin/env python3
"""Dependencies point one way: every `#include "..."` of a file under src/ or
tools/ names a header of its own folder or of a folder its folder may use.

Usage: dipendenze_test.py SOURCE_ROOT

Prints one line per include that breaks the table below (file, line, the
include, the folder it reaches and what the file's folder may use) and
exits 1 when there is any, 0 otherwise.
"""
import pathlib
import re
import sys

COMPILATORE = ["src/compiler", "src/compiler/line", "src/compiler/train", "src/compiler/post"]

# The folders each folder's files may include from, besides their own. The
# compiler's readers (line/, train/) and its last passes (post/) may use the
# compiler's top level; the other folders may use all four. A folder that
# holds sources and has no row here is a fault: a new folder says what it
# may use.
CONSENTITI = {
    "src/base": [],
    "src/model": ["src/base"],
    "src/compiler": COMPILATORE + ["src/model", "src/base"],
    "src/compiler/line": ["src/compiler", "src/model", "src/base"],
    "src/compiler/train": ["src/compiler", "src/model", "src/base"],
    "src/compiler/post": ["src/compiler", "src/model", "src/base"],
    "src/check": COMPILATORE + ["src/model", "src/base"],
    "src/format": ["src/model", "src/base"],
    "src/views": ["src/format", "src/model", "src/base"],
    "src/pack": ["src/model", "src/base"],
    "src/platform": COMPILATORE + ["src/model", "src/base"],
    "src/emit": ["src/model", "src/base"],
    "src/installer": COMPILATORE + ["src/format", "src/pack", "src/platform", "src/emit",
                                    "src/model", "src/base"],
    # The sources back from the compiled files: the compiler's rules, to
    # invert and to compile the result, and the files' readers and writers.
    "src/decompile": COMPILATORE + ["src/format", "src/model", "src/base"],
    # The editor server: the check's diagnostics as JSON-RPC messages.
    "src/lsp": COMPILATORE + ["src/check", "src/views", "src/model", "src/base"],
}
# The author tool uses every folder.
CONSENTITI["tools/scenario"] = list(CONSENTITI)

# A unit test (NAME_test.cc) may also use the test support, the scenario
# generator and the carried texts, as fixtures.
SOLO_PROVE = ["tests/support", "bench/generatore", "src/emit"]

# Where a quoted include is looked for, after the including file's folder:
# the include directories the build gives.
RADICI_INCLUDE = ["src", "bench", "."]

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SORGENTI = {".h", ".cc", ".c"}


def cartella_di(percorso, radice):
    return percorso.parent.relative_to(radice).as_posix()


def trova(include, file, radice):
    for base in [file.parent] + [radice / r for r in RADICI_INCLUDE]:
        candidato = (base / include).resolve()
        if candidato.is_file():
            return candidato
    return None


def violazioni(radice):
    radice = radice.resolve()
    file = sorted(p for cima in ("src", "tools") for p in (radice / cima).rglob("*")
                  if p.suffix in SORGENTI and p.is_file())
    if not file:
        yield f"no source file under {radice}/src or {radice}/tools"
    for f in file:
        nome = f.relative_to(radice).as_posix()
        da = cartella_di(f, radice)
        if da not in CONSENTITI:
            yield f"{nome}: its folder {da} has no row in the table of what each folder may use"
            continue
        consentiti = CONSENTITI[da] + (SOLO_PROVE if f.stem.endswith("_test") else [])
        for numero, riga in enumerate(f.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            m = INCLUDE.match(riga)
            if not m:
                continue
            include = m.group(1)
            trovato = trova(include, f, radice)
            if trovato is None:
                yield f'{nome}:{numero}: #include "{include}" names no file of the tree'
                continue
            try:
                verso = cartella_di(trovato, radice)
            except ValueError:
                yield f'{nome}:{numero}: #include "{include}" names a file outside the tree'
                continue
            if verso == da or verso in consentiti:
                continue
            regola = ", ".join(consentiti) if consentiti else "nothing outside itself"
            yield (f'{nome}:{numero}: #include "{include}" reaches {verso}, but {da} may use '
                   f"only: {regola}")


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    trovate = list(violazioni(pathlib.Path(sys.argv[1])))
    for v in trovate:
        print(v)
    if trovate:
        print(f"{len(trovate)} include(s) against the direction of the dependencies")
        return 1
    print("every include of src/ and tools/ points the allowed way")
    return 0


if __name__ == "__main__":
    sys.exit(main())

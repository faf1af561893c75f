#!/usr/bin/env python3
"""The installer links neither the picture, the check nor decompile.

Usage: installer_separato_test.py TOOL INSTALLER...

Looks in the executables for literals that only the picture's code, only
the check's code and only decompile's code hold: each must be in TOOL (the author tool, which links
both; so the probe is real and survives the build) and in none of the
INSTALLERs (the stub, the carried installer). Prints what it finds and
exits 1 on any fault, 0 otherwise.
"""
import pathlib
import sys

# Literals of one part each, stable because people or other programs read
# them: the SVG and XLink namespaces the picture declares, names of
# warnings the check reports and what decompile says of a cell it cannot
# give back (documented in docs/sorgenti.md).
SONDE = {
    "the picture (src/views)": [b"http://www.w3.org/2000/svg", b"http://www.w3.org/1999/xlink"],
    "the check (src/check)": [b"sezione-sconosciuta", b"cambio-in-stazione"],
    "decompile (src/decompile)": [b"che nessun record da' qui", b": ricompilata diversa"],
}


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    strumento = pathlib.Path(sys.argv[1])
    installer = [pathlib.Path(a) for a in sys.argv[2:]]
    contenuto = {p: p.read_bytes() for p in [strumento] + installer}
    guasti = 0
    for parte, sonde in SONDE.items():
        for sonda in sonde:
            testo = sonda.decode()
            if sonda not in contenuto[strumento]:
                print(f'"{testo}", a literal of {parte}, is not in {strumento}: no probe any more')
                guasti += 1
            for p in installer:
                if sonda in contenuto[p]:
                    print(f'{p} holds "{testo}": it links {parte}')
                    guasti += 1
    if guasti:
        return 1
    nomi = ", ".join(p.name for p in installer)
    print(f"{nomi}: no literal of the picture, the check or decompile "
          f"({strumento.name} holds them all)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

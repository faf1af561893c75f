"""Reads every file of a folder with Python's json module, its constants
(NaN, Infinity) refused, and prints one line per file, by name: the value in
a canonical form, or "rifiutato". The JSON reader's test prints the same
form for what it reads and compares."""
import json
import os
import struct
import sys


def rifiuta(c):
    raise ValueError("constant " + c)


def punti(s):
    return "s" + ",".join(str(ord(c)) for c in s)


def canonico(v):
    if v is None:
        return "n"
    if isinstance(v, bool):
        return "b%d" % v
    if isinstance(v, int):
        return "i%d" % v
    if isinstance(v, float):
        return "r%d" % struct.unpack("<Q", struct.pack("<d", v))[0]
    if isinstance(v, str):
        return punti(v)
    if isinstance(v, list):
        return "[" + "".join(" " + canonico(x) for x in v) + " ]"
    return "{" + "".join(" k" + punti(k) + " " + canonico(x) for k, x in v.items()) + " }"


cartella = sys.argv[1]
for nome in sorted(os.listdir(cartella)):
    with open(os.path.join(cartella, nome), "rb") as f:
        dati = f.read()
    try:
        riga = canonico(json.loads(dati.decode("utf-8"), parse_constant=rifiuta))
    except (ValueError, RecursionError):
        riga = "rifiutato"
    print(nome, riga)

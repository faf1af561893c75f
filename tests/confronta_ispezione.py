#!/usr/bin/env python3
"""Checks `scenario inspect --json` against a reader of its own.

Usage: confronta_ispezione.py FILE JSON [FROM TO]

Reads FILE (a compiled header file .sim, cell file .dat or line plan
_linea.dat, by its name) with nothing but struct, reads the JSON that
inspect printed for it with the json module, and compares value by value:
every integer a JSON integer, every real a JSON float with the same bits
(non-finite reals as the strings "nan", "inf", "-inf"), every empty plan
value null, every header text the Windows-1252 bytes decoded. Prints the
first differences and exits 1 when there are any, 0 otherwise.
"""
import json
import math
import struct
import sys

# Windows-1252 leaves five bytes undefined; the tool shows them as the C1
# controls of the same value.
INDEFINITI = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


def testo_1252(b):
    return "".join(chr(x) if x in INDEFINITI else bytes([x]).decode("cp1252") for x in b)


def testata(b):
    voci = []
    pos = 0
    for k in range(87):
        codice, v1, v2, v3, opzione, n = struct.unpack_from("<BiiiBH", b, pos)
        pos += 16
        testo = testo_1252(b[pos:pos + n])
        pos += n
        i1, i2, i3, i4, i5, f1, f2, f3, f4, v4 = struct.unpack_from("<hhhhhBBBBi", b, pos)
        pos += 18
        voci.append({
            "voce": k, "codice": codice, "valore_uno": v1, "valore_due": v2,
            "valore_tre": v3, "opzione": opzione, "testo": testo, "intero_uno": i1,
            "intero_due": i2, "intero_tre": i3, "intero_quattro": i4, "intero_cinque": i5,
            "flag_uno": f1, "flag_due": f2, "flag_tre": f3, "flag_quattro": f4,
            "valore_quattro": v4,
        })
    assert pos == len(b), "header file: %d bytes left" % (len(b) - pos)
    return {"tipo": "testata", "voci": voci}


CAMPI_CELLA = ("tipo_cella", "dato_uno", "dato_due", "dato_tre", "dato_quattro",
               "tempo_segnale", "codice_avvicinamento", "struttura", "velocita_treno",
               "pendenza", "aderenza")


def celle(b):
    assert len(b) % 15 == 0
    out = []
    for i, valori in enumerate(struct.iter_unpack("<BhhhhBBBBBB", b)):
        d = {"cella": i, "progressiva": 50 * i}
        d.update(zip(CAMPI_CELLA, valori))
        out.append(d)
    return {"tipo": "celle", "celle": out}


def planimetria(b):
    valori = []
    pos = 0
    while pos < len(b):
        (tag,) = struct.unpack_from("<H", b, pos)
        pos += 2
        if tag == 0:
            valori.append(None)
        elif tag == 2:
            valori.append(struct.unpack_from("<h", b, pos)[0])
            pos += 2
        elif tag == 5:
            valori.append(b[pos:pos + 8])
            pos += 8
        else:
            raise AssertionError("tag %d at %d" % (tag, pos - 2))
    meta = len(valori) // 2
    return {"tipo": "planimetria", "punti": list(zip(valori[:meta], valori[meta:]))}


def confronta_punti(atteso, letto, errori):
    """The plan's points, in a plain loop: a million of them."""
    if not isinstance(letto, list) or len(atteso) != len(letto):
        errori.append("$.punti: %d points, JSON has %s" % (len(atteso), len(letto) if isinstance(letto, list) else repr(letto)))
        return
    for i in range(len(atteso)):
        a, l = atteso[i], letto[i]
        if type(l) is not list or len(l) != 2:
            errori.append("$.punti[%d]: %r" % (i, l))
        else:
            for c in (0, 1):
                x, j = a[c], l[c]
                if x is None:
                    ok = j is None
                elif type(x) is bytes:
                    ok = uguale_reale(x, j)
                else:
                    ok = type(j) is int and j == x
                if not ok:
                    errori.append("$.punti[%d][%d]: %r in the file, %r in the JSON" % (i, c, struct.unpack("<d", x)[0] if type(x) is bytes else x, j))
        if len(errori) >= 10:
            return


def uguale_reale(bits, j):
    (v,) = struct.unpack("<d", bits)
    if math.isnan(v):
        return j == "nan"
    if math.isinf(v):
        return j == ("inf" if v > 0 else "-inf")
    return type(j) is float and struct.pack("<d", j) == bits


AGGIUNTE = ("significato", "valori", "da")


def confronta(atteso, letto, dove, errori):
    if len(errori) >= 10:
        return
    if isinstance(atteso, bytes):  # a real, as its bytes
        if not uguale_reale(atteso, letto):
            errori.append("%s: %r in the file, %r in the JSON" % (dove, struct.unpack("<d", atteso)[0], letto))
    elif isinstance(atteso, dict):
        # Beside the stored fields, what they mean (added, never instead).
        if not isinstance(letto, dict) or list(atteso) != [k for k in letto if k not in AGGIUNTE]:
            errori.append("%s: keys %r, JSON has %r" % (dove, list(atteso), letto if not isinstance(letto, dict) else list(letto)))
            return
        for k in atteso:
            confronta(atteso[k], letto[k], dove + "." + k, errori)
    elif isinstance(atteso, list) and dove == "$.punti":
        confronta_punti(atteso, letto, errori)
    elif isinstance(atteso, list):
        if not isinstance(letto, list) or len(atteso) != len(letto):
            errori.append("%s: %d elements, JSON has %s" % (dove, len(atteso), len(letto) if isinstance(letto, list) else repr(letto)))
            return
        for i, (a, l) in enumerate(zip(atteso, letto)):
            confronta(a, l, "%s[%d]" % (dove, i), errori)
    elif atteso is None:
        if letto is not None:
            errori.append("%s: empty in the file, %r in the JSON" % (dove, letto))
    elif type(atteso) is not type(letto) or atteso != letto:
        errori.append("%s: %r in the file, %r in the JSON" % (dove, atteso, letto))


def main():
    nome, file_json = sys.argv[1], sys.argv[2]
    with open(nome, "rb") as f:
        b = f.read()
    basso = nome.lower()
    if basso.endswith("_linea.dat"):
        atteso = planimetria(b)
        righe = "punti"
    elif basso.endswith(".sim"):
        atteso = testata(b)
        righe = "voci"
    else:
        atteso = celle(b)
        righe = "celle"
    if len(sys.argv) > 4:
        atteso[righe] = atteso[righe][int(sys.argv[3]):int(sys.argv[4]) + 1]
    with open(file_json, encoding="utf-8") as f:
        letto = json.load(f, parse_constant=lambda c: sys.exit("JSON constant " + c))
    errori = []
    confronta(atteso, letto, "$", errori)
    for e in errori:
        print(e)
    if errori:
        return 1
    print("%s: %d %s equal" % (nome, len(atteso[righe]), righe))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Writes the single-shot inputs: an HP-GL marker and a garment DXF of given sizes,
and a garment marker the machine can take.

make-inputs.py hpgl BYTES OUT | make-inputs.py dxf BYTES OUT | make-inputs.py pieces BYTES OUT
The HP-GL follows bench_hpgl's marker, the DXF bench_dxf's: the same shapes
and the same pseudo-random sequence, so the figures compare. The HP-GL
marker's cut lines run criss-cross over the whole sheet, more knife records
to a cut pass than the machine holds; "pieces" is the marker the send rows
use, whose cut passes fit.
"""
import math
import sys


def hpgl(size):
    out = ["IN;SP1;LT;"]
    n = len(out[0])
    x, y, i = 1000, 1000, 0
    while n < size - 64:
        if i % 40 == 0:
            x = (x * 69069 + 7) % (1 << 32) % 90000
            s = "PU%d,%d;" % (x, y)
            out.append(s); n += len(s)
        if i % 4000 == 0:
            s = "SP2;" if (i // 4000) % 2 else "SP1;"
            out.append(s); n += len(s)
        x = (x * 1103515245 + 12345) % (1 << 32) % 90000
        y = (y * 22695477 + 1) % (1 << 32) % 20000
        s = "PD%d,%d;" % (x, y)
        out.append(s); n += len(s)
        i += 1
    text = "".join(out)
    return (text + " " * size)[:size].encode()


def pieces(size):
    # A garment marker: closed printed piece outlines of 120 points, radius 10
    # to 100 mm, over 3 m along the feed and 1.5 m across, in "PD x,y;" steps,
    # with a cut line (pen 2) around every twentieth piece.
    out, n = ["IN;SP1;"], 7
    seed, k = 12345, 0

    def rnd():
        nonlocal seed
        seed = (seed * 1103515245 + 12345) % (1 << 31)
        return seed / float(1 << 31)

    while n < size - 4096:
        cx, cy, r = rnd() * 120000, rnd() * 60000, 400 + rnd() * 3600
        pen = "SP2;" if k % 20 == 0 else "SP1;"
        pts = []
        for i in range(121):
            a = 2 * math.pi * i / 120
            w = 1 + 0.2 * math.sin(5 * a)
            pts.append("%d,%d" % (cx + r * w * math.cos(a), cy + r * w * math.sin(a)))
        s = pen + "PU" + pts[0] + ";" + "".join("PD%s;" % p for p in pts[1:])
        out.append(s); n += len(s); k += 1
    return ("".join(out) + " " * size)[:size].encode()


def dxf(size):
    out = []
    n = [0]

    def pair(code, value):
        s = "%3d\r\n%s\r\n" % (code, value)
        out.append(s)
        n[0] += len(s)

    def num(v):
        return "%.4f" % v

    pair(0, "SECTION"); pair(2, "TABLES")
    pair(0, "TABLE"); pair(2, "LTYPE"); pair(0, "LTYPE"); pair(2, "CONTINUOUS"); pair(70, "0"); pair(0, "ENDTAB")
    pair(0, "TABLE"); pair(2, "LAYER")
    for i in range(20):
        pair(0, "LAYER"); pair(2, "L%d" % i); pair(70, "0"); pair(62, str(i + 1)); pair(6, "CONTINUOUS")
    pair(0, "ENDTAB"); pair(0, "ENDSEC")
    pair(0, "SECTION"); pair(2, "BLOCKS")
    for b in range(50):
        pair(0, "BLOCK"); pair(8, "0"); pair(2, "PIECE%d" % b); pair(70, "0")
        pair(10, "0.0"); pair(20, "0.0"); pair(30, "0.0")
        pair(0, "POLYLINE"); pair(8, "L1"); pair(66, "1"); pair(70, "1")
        for v in range(200):
            pair(0, "VERTEX"); pair(8, "L1"); pair(10, num(b * 300 + v * 1.5)); pair(20, num(v * 0.75))
        pair(0, "SEQEND"); pair(0, "ENDBLK")
    pair(0, "ENDSEC")
    pair(0, "SECTION"); pair(2, "ENTITIES")
    i = 0
    while n[0] < size:
        layer = "L%d" % (i % 20)
        k = i % 10
        if k == 0:
            pair(0, "CIRCLE"); pair(8, layer); pair(10, num(i * 0.1)); pair(20, num(i * 0.05)); pair(40, "2.5")
        elif k == 1:
            pair(0, "TEXT"); pair(8, layer); pair(10, num(i * 0.1)); pair(20, num(i * 0.05)); pair(40, "5")
            pair(1, "SIZE 38 PIECE %d" % i)
        elif k == 2:
            pair(0, "POLYLINE"); pair(8, layer); pair(66, "1"); pair(70, "0")
            for v in range(12):
                pair(0, "VERTEX"); pair(8, layer); pair(10, num(i * 0.1 + v)); pair(20, num(v * 2.0))
            pair(0, "SEQEND")
        elif k == 3 and i % 1000 == 3:
            pair(0, "INSERT"); pair(8, layer); pair(2, "PIECE%d" % ((i // 1000) % 50))
            pair(10, "0"); pair(20, "0")
        else:
            pair(0, "LINE"); pair(8, layer); pair(10, num(i * 0.1)); pair(20, num(i * 0.05)); pair(30, "0.0")
            pair(11, num(i * 0.1 + 3)); pair(21, num(i * 0.05 + 4)); pair(31, "0.0")
        i += 1
    pair(0, "ENDSEC"); pair(0, "EOF")
    return "".join(out).encode()


def main():
    kind, size, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    makers = {"hpgl": hpgl, "dxf": dxf, "pieces": pieces}
    if kind not in makers:
        sys.exit("make-inputs.py: the kind is hpgl, dxf or pieces, not %s" % kind)
    data = makers[kind](size)
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the two stroke-font files that the program embeds and writes out
beside itself: resources/fonts/fon_en.bin (single-byte glyphs 0x20..0x7E) and
resources/fonts/fon_hz.bin (GB2312 double-byte glyphs, codes 0xA1A1..0xF7FE).

Not part of the build: the generated files are committed, so building needs
neither source package. Run it again only to change the glyphs:

    sudo apt-get install hershey-fonts-data         # Hershey .jhf files
    mkdir -p /tmp/hwd && (cd /tmp/hwd && npm install hanzi-writer-data)
    python3 tools/make-fonts/make_fonts.py \
        --hershey /usr/share/hershey-fonts \
        --hanzi /tmp/hwd/node_modules/hanzi-writer-data \
        --out resources/fonts

The output depends only on the inputs (no time stamps, sorted order), so two
runs give identical files. Check the result with render_sample.py.

Sources:
- Latin glyphs: Hershey simplex Roman (rowmans.jhf), Greek from greeks.jhf,
  see resources/fonts/LICENSE.md; symbols.py places them in the double-byte
  cell and draws the other symbols of the GB2312 rows 0xA1 and 0xA2.
- Hanzi: the stroke medians of hanzi-writer-data (Make Me a Hanzi, Arphic
  Public License), see resources/fonts/LICENSE.md.

File layouts (little-endian):
  fon_en.bin: u16 topGap, u16 ascent, u16 descent, u32 count,
              count x {u16 code, u16 length, u16 advance, u32 offset}, strokes.
  fon_hz.bin: u16 advance, u16 cellHeight, u32 count,
              count x {u16 code, u16 length, u32 offset}, strokes.
Stroke code: 0 nothing, 1 pen down, 2 pen up, 8 dx dy (one move),
9 {dx dy}... 0 0 (a run of moves), 16..255 a vector (length = byte >> 4,
direction = byte & 15). The pen is down when a glyph starts.
"""

import argparse
import json
import math
import os
import struct
import sys

import symbols

# fon_hz cell: a hanzi is drawn in a square of HZ_CELL units (advance the
# same, so one hanzi advances exactly one character height). 128 keeps the
# medians' shape at large label sizes and most moves within one signed byte.
HZ_CELL = 128
HZ_ADVANCE = HZ_CELL
# Make Me a Hanzi draws in a 1024 box, y up, whose bottom edge is y = -124.
MMAH_BOX = 1024
MMAH_BOTTOM = -124
# The medians lie inside the outlines, half a brush width from the box edge;
# drawn as thin strokes they fill the cell better enlarged about its centre.
MMAH_ENLARGE = 1.1
# Douglas-Peucker tolerance in 1024-box units (about one hz unit).
HZ_TOLERANCE = 7.0

HERSHEY_BASELINE = 9   # Hershey y grows downward; the baseline lies at y = 9
HERSHEY_CAP = 21       # cap height of the simplex Roman letters


# ---------------------------------------------------------------- Hershey ---

def read_jhf(path):
    """Returns the glyphs of a .jhf file in file order as
    (left, right, [polyline of (x, y)]) with Hershey coordinates."""
    glyphs = []
    with open(path, 'rb') as f:
        lines = f.read().decode('ascii').split('\n')
    text = ''
    for line in lines:
        line = line.rstrip('\r')
        if not line and not text:
            continue
        text += line
        count = int(text[5:8])
        data = text[8:]
        if len(data) < 2 * count:
            continue  # wrapped glyph line: keep reading
        pairs = [data[i:i + 2] for i in range(0, 2 * count, 2)]
        text = ''
        left = ord(pairs[0][0]) - ord('R')
        right = ord(pairs[0][1]) - ord('R')
        strokes, cur = [], []
        for p in pairs[1:]:
            if p == ' R':
                if cur:
                    strokes.append(cur)
                cur = []
            else:
                cur.append((ord(p[0]) - ord('R'), ord(p[1]) - ord('R')))
        if cur:
            strokes.append(cur)
        glyphs.append((left, right, strokes))
    return glyphs


# ------------------------------------------------------------ stroke code ---

VECTOR_DIRS = {}  # (dx, dy) in font units -> vector byte, exact for any unit


def _build_vectors():
    for length in range(1, 16):
        half = length // 2 if length % 2 == 0 else None
        offsets = {0: (length, 0), 4: (0, length), 8: (-length, 0), 12: (0, -length),
                   2: (length, length), 6: (-length, length),
                   10: (-length, -length), 14: (length, -length)}
        if half is not None:
            # The decoder halves the scaled length; only even lengths halve
            # exactly whatever the unit.
            offsets.update({1: (length, half), 3: (half, length), 5: (-half, length),
                            7: (-length, half), 9: (-length, -half), 11: (-half, -length),
                            13: (half, -length), 15: (length, -half)})
        for d, off in offsets.items():
            VECTOR_DIRS.setdefault(off, (length << 4) | d)


_build_vectors()


def split_move(dx, dy):
    """Splits a move into steps whose components fit a signed byte."""
    n = max(1, math.ceil(max(abs(dx), abs(dy)) / 127))
    steps, px, py = [], 0, 0
    for i in range(1, n + 1):
        x = round(dx * i / n)
        y = round(dy * i / n)
        steps.append((x - px, y - py))
        px, py = x, y
    return steps


def encode_moves(deltas):
    out = bytearray()
    run = []

    def flush():
        if len(run) >= 4:
            out.append(9)
            for dx, dy in run:
                out.extend(struct.pack('<bb', dx, dy))
            out.extend(b'\0\0')
        else:
            for dx, dy in run:
                out.append(8)
                out.extend(struct.pack('<bb', dx, dy))
        run.clear()

    for step in deltas:
        if step == (0, 0):
            continue
        if step in VECTOR_DIRS:
            flush()
            out.append(VECTOR_DIRS[step])
        else:
            run.append(step)
    flush()
    return bytes(out)


def encode_glyph(polylines):
    """Stroke bytes of a glyph drawn as integer polylines in font units,
    its origin at (0, 0)."""
    out = bytearray([0])
    pos = (0, 0)
    down = True
    for line in polylines:
        if not line:
            continue
        start = line[0]
        if start != pos:
            if down:
                out.append(2)
                down = False
            deltas = []
            for s in split_move(start[0] - pos[0], start[1] - pos[1]):
                deltas.append(s)
            out += encode_moves(deltas)
            pos = start
        if not down:
            out.append(1)
            down = True
        deltas = []
        for p in line[1:]:
            deltas += split_move(p[0] - pos[0], p[1] - pos[1])
            pos = p
        out += encode_moves(deltas)
    out.append(0)
    return bytes(out)


def dedupe(line):
    out = []
    for p in line:
        if not out or out[-1] != p:
            out.append(p)
    return out


# ---------------------------------------------------------------- fon_en ---

CARET = [[(-6, -5), (0, -12), (6, -5)]]  # Hershey coordinates

def roman_font(hershey):
    """The 95 printable ASCII glyphs of the simplex Roman font."""
    glyphs = read_jhf(os.path.join(hershey, 'rowmans.jhf'))[:95]
    left, right, _ = glyphs[ord('^') - 0x20]
    glyphs[ord('^') - 0x20] = (left, right, CARET)  # the Hershey font has an arrow here
    return glyphs


def build_en(hershey):
    glyphs = roman_font(hershey)
    top = max(HERSHEY_BASELINE - y for _, _, st in glyphs for line in st for _, y in line)
    bottom = max(y - HERSHEY_BASELINE for _, _, st in glyphs for line in st for _, y in line)
    ascent = HERSHEY_CAP
    top_gap = top - ascent
    entries = []
    for i, (left, right, strokes) in enumerate(glyphs):
        lines = [dedupe([(x - left, HERSHEY_BASELINE - y) for x, y in line]) for line in strokes]
        entries.append((0x20 + i, right - left, encode_glyph(lines)))
    header_size = 10 + 10 * len(entries)
    index = bytearray()
    data = bytearray()
    for code, adv, strokes in entries:
        index += struct.pack('<HHHI', code, len(strokes), adv, header_size + len(data))
        data += strokes
    head = struct.pack('<HHHI', top_gap, ascent, bottom, len(entries))
    return head + index + data


# ---------------------------------------------------------------- fon_hz ---

def douglas_peucker(points, tol):
    if len(points) < 3:
        return list(points)
    (x0, y0), (x1, y1) = points[0], points[-1]
    dx, dy = x1 - x0, y1 - y0
    norm = math.hypot(dx, dy)
    best, best_i = -1.0, 0
    for i in range(1, len(points) - 1):
        px, py = points[i]
        if norm == 0:
            dist = math.hypot(px - x0, py - y0)
        else:
            dist = abs(dy * (px - x0) - dx * (py - y0)) / norm
        if dist > best:
            best, best_i = dist, i
    if best <= tol:
        return [points[0], points[-1]]
    left = douglas_peucker(points[:best_i + 1], tol)
    right = douglas_peucker(points[best_i:], tol)
    return left[:-1] + right


def hanzi_lines(medians):
    scale = HZ_CELL / MMAH_BOX
    cx, cy = MMAH_BOX / 2, MMAH_BOTTOM + MMAH_BOX / 2
    lines = []
    for median in medians:
        pts = douglas_peucker([tuple(p) for p in median], HZ_TOLERANCE)
        line = dedupe([(round((cx + (x - cx) * MMAH_ENLARGE) * scale),
                        round((cy + (y - cy) * MMAH_ENLARGE - MMAH_BOTTOM) * scale))
                       for x, y in pts])
        if len(line) == 1:
            # A dot that rounds to one point still has to leave a mark.
            x, y = line[0]
            line.append((x + 1, y - 1))
        lines.append(line)
    return lines


def build_hz(hershey, hanzi):
    def medians_of(ch):
        with open(os.path.join(hanzi, ch + '.json'), encoding='utf-8') as f:
            return hanzi_lines(json.load(f)['medians'])

    glyphs = symbols.symbol_glyphs(roman_font(hershey),
                                   read_jhf(os.path.join(hershey, 'greeks.jhf')), medians_of)
    count = 0
    missing = []
    for lead in range(0xB0, 0xF8):
        for trail in range(0xA1, 0xFF):
            try:
                ch = bytes([lead, trail]).decode('gb2312')
            except UnicodeDecodeError:
                continue
            count += 1
            if not os.path.exists(os.path.join(hanzi, ch + '.json')):
                missing.append(ch)
                continue
            glyphs[lead << 8 | trail] = medians_of(ch)
    if missing:
        sys.exit('hanzi without data: ' + ''.join(missing))
    codes = sorted(glyphs)
    header_size = 8 + 8 * len(codes)
    index = bytearray()
    data = bytearray()
    for code in codes:
        strokes = encode_glyph(glyphs[code])
        if len(strokes) > 0xFFFF:
            sys.exit('glyph %04X too long' % code)
        index += struct.pack('<HHI', code, len(strokes), header_size + len(data))
        data += strokes
    head = struct.pack('<HHI', HZ_ADVANCE, HZ_CELL, len(codes))  # advance first, then cell height
    return head + index + data, count, len(codes)


def main():
    ap = argparse.ArgumentParser(description='Writes fon_en.bin and fon_hz.bin.')
    ap.add_argument('--hershey', default='/usr/share/hershey-fonts')
    ap.add_argument('--hanzi', default='/tmp/hwd/node_modules/hanzi-writer-data')
    ap.add_argument('--out', default=os.path.join(os.path.dirname(__file__), '..', '..',
                                                  'resources', 'fonts'))
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    en = build_en(args.hershey)
    hz, hanzi_count, glyph_count = build_hz(args.hershey, args.hanzi)
    for name, data in (('fon_en.bin', en), ('fon_hz.bin', hz)):
        with open(os.path.join(args.out, name), 'wb') as f:
            f.write(data)
    print('fon_en.bin: %d bytes, 95 glyphs' % len(en))
    print('fon_hz.bin: %d bytes, %d glyphs, %d GB2312 hanzi' % (len(hz), glyph_count, hanzi_count))


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws sample text from fon_en.bin and fon_hz.bin into a PNG, decoding the
stroke code the way the label renderer does, to check the glyphs by eye.

    python3 tools/make-fonts/render_sample.py --fonts resources/fonts \
        --out /tmp/sample.png [--height 48] [TEXT ...]

Each TEXT argument is one line (UTF-8; non-ASCII characters are looked up in
fon_hz.bin by their GBK code). Writes a PBM and converts it with
ImageMagick's convert (no Python imaging library needed).
"""

import argparse
import os
import struct
import subprocess
import sys



def offset(d, length):
    half = length >> 1
    return [(length, 0), (length, half), (length, length), (half, length),
            (0, length), (-half, length), (-length, length), (-length, half),
            (-length, 0), (-length, -half), (-length, -length), (-half, -length),
            (0, -length), (half, -length), (length, -length), (length, -half)][d]


class Font:
    def __init__(self, folder):
        with open(os.path.join(folder, 'fon_en.bin'), 'rb') as f:
            self.en = f.read()
        with open(os.path.join(folder, 'fon_hz.bin'), 'rb') as f:
            self.hz = f.read()
        self.top_gap, self.ascent, self.descent, n = struct.unpack_from('<HHHI', self.en, 0)
        self.en_index = {}
        for i in range(n):
            code, length, adv, off = struct.unpack_from('<HHHI', self.en, 10 + 10 * i)
            self.en_index[code] = (length, adv, off)
        self.first_adv = struct.unpack_from('<HHHI', self.en, 10)[2]
        self.advance, self.cell, n = struct.unpack_from('<HHI', self.hz, 0)
        self.hz_index = {}
        for i in range(n):
            code, length, off = struct.unpack_from('<HHI', self.hz, 8 + 8 * i)
            self.hz_index[code] = (length, off)
        self.hs = self.top_gap + self.ascent
        self.base = self.hs * self.cell


def decode(data, gx, gy, q):
    """Yields polylines in scaled glyph units (y up)."""
    lines = [[(gx, gy)]]
    down = True
    skip = False
    i = 0

    def move(dx, dy):
        nonlocal gx, gy
        gx += dx * q
        gy += dy * q
        if down:
            lines[-1].append((gx, gy))
        else:
            lines.append([(gx, gy)])

    while i < len(data):
        b = data[i]
        i += 1
        if b == 0:
            continue
        if b == 1:
            if not down:
                lines.append([(gx, gy)])
            down = True
            continue
        if b == 2:
            down = False
            continue
        if b in (3, 4):
            i += 1
            skip = False
            continue
        if b == 14:
            skip = True
            continue
        if b == 8:
            dx, dy = struct.unpack_from('<bb', data, i)
            i += 2
            if not skip:
                move(dx, dy)
            skip = False
            continue
        if b == 9:
            while i + 1 < len(data):
                dx, dy = struct.unpack_from('<bb', data, i)
                i += 2
                if dx == 0 and dy == 0:
                    break
                if not skip:
                    move(dx, dy)
            skip = False
            continue
        if b >= 15:
            if not skip:
                length = ((b >> 4) * q) & 0xFFFF
                dx, dy = offset(b & 15, length)
                gx += dx
                gy += dy
                if down:
                    lines[-1].append((gx, gy))
                else:
                    lines.append([(gx, gy)])
            skip = False
            continue
        sys.exit('unexpected stroke byte %d' % b)
    return [l for l in lines if len(l) > 1]


def layout(font, text):
    """Polylines of one line of text in scaled units, and its width."""
    out = []
    a = 0
    for ch in text:
        if ord(ch) < 0x80:
            e = font.en_index.get(ord(ch))
            if e and e[0] > 0:
                length, adv, off = e
                out += decode(font.en[off:off + length], a, 0, font.cell)
                a += adv * font.cell
            else:
                a += font.first_adv * font.cell
        else:
            b = ch.encode('gbk', errors='replace')
            code = b[0] << 8 | b[1] if len(b) == 2 else 0
            e = font.hz_index.get(code)
            if e and e[0] > 0:
                length, off = e
                out += decode(font.hz[off:off + length], a, 0, font.hs)
            a += font.hs * font.advance
    return out, a


def draw_line(img, w, h, x0, y0, x1, y1):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(int(n) + 1):
        x = round(x0 + (x1 - x0) * i / n)
        y = round(y0 + (y1 - y0) * i / n)
        for ox in (0, 1):
            for oy in (0, 1):
                if 0 <= x + ox < w and 0 <= y + oy < h:
                    img[(y + oy) * w + x + ox] = 1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--fonts', default='resources/fonts')
    ap.add_argument('--out', default='/tmp/sample.png')
    ap.add_argument('--height', type=float, default=48, help='character height H in pixels')
    ap.add_argument('text', nargs='*', default=[
        'ABCDEFGHIJKLMNOPQRSTUVWXYZ',
        'abcdefghijklmnopqrstuvwxyz 0123456789',
        '!"#$%&\'()*+,-./:;<=>?@[\\]^_`{|}~',
        '尺码：ＸＬ 前片 后片 袖子',
        '款号：Ａ１２３－４５ 领子、口袋。',
        '裁剪（３件）【面料】《里布》±５％'])
    args = ap.parse_args()
    font = Font(args.fonts)
    k = font.base / args.height
    margin = int(args.height)
    rows = [layout(font, t) for t in args.text]
    w = int(max(r[1] for r in rows) / k) + 2 * margin
    pitch = int(args.height * 1.6)
    h = pitch * len(rows) + margin
    img = bytearray(w * h)
    for i, (lines, _) in enumerate(rows):
        baseline = margin + pitch * i + int(args.height)
        for line in lines:
            pts = [(margin + x / k, baseline - y / k) for x, y in line]
            for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
                draw_line(img, w, h, x0, y0, x1, y1)
    pbm = args.out + '.pbm'
    with open(pbm, 'wb') as f:
        f.write(b'P4\n%d %d\n' % (w, h))
        for y in range(h):
            row = img[y * w:(y + 1) * w]
            packed = bytearray((w + 7) // 8)
            for x, v in enumerate(row):
                if v:
                    packed[x >> 3] |= 0x80 >> (x & 7)
            f.write(packed)
    subprocess.run(['convert', pbm, args.out], check=True)
    os.remove(pbm)
    print(args.out, w, 'x', h)


if __name__ == '__main__':
    main()

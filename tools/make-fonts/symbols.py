"""The non-hanzi glyphs of fon_hz.bin (GB2312 rows 0xA1, 0xA2, 0xA3, 0xA6):
Hershey glyphs placed in the double-byte cell, and simple figures drawn here.

All coordinates are hz units: the cell is CELL x CELL, y up, the bottom edge
(y = 0) on the baseline of the single-byte glyphs. Imported by make_fonts.py.
"""

import math

CELL = 128
MID = CELL // 2

HERSHEY_BASELINE = 9   # Hershey y grows downward; the baseline lies at y = 9
# Hershey units to hz units for full-width Latin: capitals 94 units high.
FULLWIDTH_SCALE = 4.5


def dedupe(line):
    out = []
    for p in line:
        p = (round(p[0]), round(p[1]))
        if not out or out[-1] != p:
            out.append(p)
    return out


def hershey_text(roman, text, sx, sy=None, cx=MID, base=0.0):
    """A Hershey string scaled by (sx, sy), centred on cx, its baseline at y =
    base."""
    sy = sx if sy is None else sy
    width = sum(roman[ord(c) - 0x20][1] - roman[ord(c) - 0x20][0] for c in text)
    pen = cx - width * sx / 2
    lines = []
    for c in text:
        left, right, strokes = roman[ord(c) - 0x20]
        for line in strokes:
            lines.append([(pen + (x - left) * sx, base + (HERSHEY_BASELINE - y) * sy) for x, y in line])
        pen += (right - left) * sx
    return lines


def text_width(roman, text):
    return sum(roman[ord(c) - 0x20][1] - roman[ord(c) - 0x20][0] for c in text)


def fitted_text(roman, text, sy, max_width, base):
    """Condensed horizontally when the string would not fit."""
    sx = min(sy, max_width / max(1, text_width(roman, text)))
    return hershey_text(roman, text, sx, sy, MID, base)


def circle(cx, cy, r, a0=0.0, a1=360.0):
    n = max(6, min(32, round(r * 0.6 * (a1 - a0) / 360)))
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


def dot(cx, cy):
    return circle(cx, cy, 3)


def star(cx, cy, r):
    """Outline of a five-pointed star, points and notches alternating."""
    inner = r * 0.381966
    pts = []
    for i in range(11):
        rad = r if i % 2 == 0 else inner
        a = math.pi / 2 + i * math.pi / 5
        pts.append((cx + rad * math.cos(a), cy + rad * math.sin(a)))
    return pts


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)]


def filled(poly, step=6):
    """The outline and horizontal hatching inside it (non-zero winding, so a
    star is filled whole): a plotter fills by drawing."""
    lines = [poly]
    ys = [p[1] for p in poly]
    y = min(ys) + step / 2
    while y < max(ys):
        crossings = []
        for (x0, y0), (x1, y1) in zip(poly, poly[1:]):
            if (y0 <= y < y1) or (y1 <= y < y0):
                crossings.append((x0 + (y - y0) * (x1 - x0) / (y1 - y0), 1 if y1 > y0 else -1))
        crossings.sort()
        winding, start = 0, None
        for x, d in crossings:
            was = winding
            winding += d
            if was == 0 and winding != 0:
                start = x
            elif was != 0 and winding == 0:
                lines.append([(start, y), (x, y)])
        y += step
    return lines


def tilde(cy, x0=28, x1=100, amp=8):
    return [(x0 + (x1 - x0) * i / 12, cy + amp * math.sin(2 * math.pi * i / 12)) for i in range(13)]


def row_a1(roman):
    fw = FULLWIDTH_SCALE
    out = {}

    def alike(code, latin, lift=0):
        out[code] = [[(x, y + lift) for x, y in line]
                     for line in hershey_text(roman, latin, fw)]

    alike(0xA1A4, '.', 40)   # middle dot
    alike(0xA1AE, '`')       # left single quote
    alike(0xA1AF, "'")       # right single quote
    alike(0xA1B4, '<')
    alike(0xA1B5, '>')
    alike(0xA1C3, ':')       # ratio
    alike(0xA1E7, '$')
    alike(0xA1E4, "'")       # prime
    out[0xA1AB] = [tilde(56)]                                    # wave dash
    # Double quotes: two single quotes side by side.
    for code, q in ((0xA1B0, '`'), (0xA1B1, "'")):
        out[code] = hershey_text(roman, q, fw, cx=54) + hershey_text(roman, q, fw, cx=74)
    out[0xA1E5] = out[0xA1B1]                                    # double prime

    h = MID
    drawn = {
        0xA1A2: [[(14, 24), (30, 8)]],                           # 、
        0xA1A3: [circle(22, 14, 9)],                             # 。
        0xA1A5: [[(36, 108), (92, 108)]],                        # ˉ
        0xA1A6: [[(48, 112), (64, 100), (80, 112)]],             # ˇ
        0xA1A7: [dot(52, 106), dot(76, 106)],                    # ¨
        0xA1A8: [[(46, 104), (56, 86)], [(68, 104), (78, 86)]],  # 〃
        0xA1A9: [[(56, 112), (30, 70)], [(42, 90), (98, 90), (84, 58), (62, 30), (36, 8)],
                 [(54, 62), (86, 38)]],                          # 々
        0xA1AA: [[(4, h), (CELL - 4, h)]],                       # ―
        0xA1AC: [[(52, 120), (52, 0)], [(76, 120), (76, 0)]],    # ‖
        0xA1AD: [dot(x, 8) for x in (22, 64, 106)],              # …
        0xA1B2: [[(92, 118), (68, 102), (68, 12), (92, -4)]],    # 〔
        0xA1B3: [[(36, 118), (60, 102), (60, 12), (36, -4)]],    # 〕
        0xA1B6: [[(76, 118), (36, h - 4), (76, -6)], [(100, 118), (60, h - 4), (100, -6)]],
        0xA1B7: [[(28, 118), (68, h - 4), (28, -6)], [(52, 118), (92, h - 4), (52, -6)]],
        0xA1B8: [[(100, 118), (60, 118), (60, 40)]],             # 「
        0xA1B9: [[(28, 88), (68, 88), (68, 10)]],                # 」
        0xA1BA: [[(104, 118), (56, 118), (56, 34), (68, 34), (68, 106), (104, 106), (104, 118)]],
        0xA1BB: [[(24, 94), (72, 94), (72, 10), (60, 10), (60, 82), (24, 82), (24, 94)]],
        0xA1BC: [[(100, 118), (64, 118), (64, -6), (100, -6)], [(100, 110), (76, 100), (76, 12), (100, 2)]],
        0xA1BD: [[(28, 118), (64, 118), (64, -6), (28, -6)], [(28, 110), (52, 100), (52, 12), (28, 2)]],
        0xA1BE: filled([(100, 118), (64, 118), (64, -6), (100, -6), (80, 12), (80, 100), (100, 118)], 4),
        0xA1BF: filled([(28, 118), (64, 118), (64, -6), (28, -6), (48, 12), (48, 100), (28, 118)], 4),
        0xA1C0: [[(h, 100), (h, 36)], [(32, 68), (96, 68)], [(32, 16), (96, 16)]],   # ±
        0xA1C1: [[(36, 88), (92, 32)], [(92, 88), (36, 32)]],                        # ×
        0xA1C2: [[(28, 60), (100, 60)], dot(h, 92), dot(h, 28)],                     # ÷
        0xA1C4: [[(28, 16), (h, 104), (100, 16)]],                                   # ∧
        0xA1C5: [[(28, 104), (h, 16), (100, 16 + 88)]],                              # ∨
        0xA1C6: [[(96, 108), (32, 108), (70, 60), (32, 12), (96, 12)]],              # ∑
        0xA1C7: [[(24, 108), (104, 108)], [(40, 108), (40, 12)], [(88, 108), (88, 12)]],
        0xA1C8: [[(32, 104)] + circle(h, 48, 32, 180, 360) + [(96, 104)]],          # ∪
        0xA1C9: [[(32, 16)] + circle(h, 72, 32, 180, 0) + [(96, 16)]],              # ∩
        0xA1CA: [[(100, 100), (h, 100)] + circle(h, 60, 40, 90, 270) + [(100, 20)],
                 [(24, 60), (100, 60)]],                                             # ∈
        0xA1CB: [dot(44, 84), dot(84, 84), dot(44, 36), dot(84, 36)],                # ∷
        0xA1CC: [[(16, 60), (36, 72), (60, 8), (112, 120)]],                         # √
        0xA1CD: [[(h, 108), (h, 16)], [(20, 16), (108, 16)]],                        # ⊥
        0xA1CE: [[(62, 112), (46, 8)], [(86, 112), (70, 8)]],                        # ∥
        0xA1CF: [[(96, 108), (24, 16), (108, 16)]],                                  # ∠
        0xA1D0: [circle(h, 30, 52, 30, 150)],                                        # ⌒
        0xA1D1: [circle(h, h, 46), dot(h, h)],                                       # ⊙
        0xA1D2: [[(90, 110), (82, 118), (72, 116), (66, 104), (62, 20), (56, 6), (46, 2), (38, 10)]],
        0xA1D3: [[(90, 110), (82, 118), (72, 116), (66, 104), (62, 20), (56, 6), (46, 2), (38, 10)],
                 circle(64, 60, 16)],                                                # ∮
        0xA1D4: [[(28, 88), (100, 88)], [(28, 60), (100, 60)], [(28, 32), (100, 32)]],
        0xA1D5: [tilde(88), [(28, 60), (100, 60)], [(28, 32), (100, 32)]],           # ≌
        0xA1D6: [tilde(72), tilde(44)],                                              # ≈
        0xA1D7: [[(x, 2 * 56 - y) for x, y in tilde(56)]],                           # ∽
        0xA1D8: [[(104, 88), (90, 92), (78, 86), (54, 42), (42, 34), (30, 38), (24, 60),
                  (30, 80), (42, 86), (54, 78), (78, 34), (90, 28), (104, 32)]],     # ∝
        0xA1D9: [[(28, 76), (100, 76)], [(28, 44), (100, 44)], [(84, 100), (44, 20)]],
        0xA1DA: [[(96, 100), (32, h), (96, 20)], [(80, 112), (52, 8)]],              # ≮
        0xA1DB: [[(32, 100), (96, h), (32, 20)], [(76, 112), (48, 8)]],              # ≯
        0xA1DC: [[(96, 108), (32, 80), (96, 52)], [(32, 30), (96, 30)]],             # ≤
        0xA1DD: [[(32, 108), (96, 80), (32, 52)], [(32, 30), (96, 30)]],             # ≥
        0xA1DE: [[(h, h), (44, 76), (24, 80), (12, 64), (24, 48), (44, 52), (h, h),
                  (84, 76), (104, 80), (116, 64), (104, 48), (84, 52), (h, h)]],     # ∞
        0xA1DF: [dot(h, 30), dot(36, 86), dot(92, 86)],                              # ∵
        0xA1E0: [dot(h, 86), dot(36, 30), dot(92, 30)],                              # ∴
        0xA1E1: [circle(52, 50, 30), [(73, 71), (104, 102)], [(80, 102), (104, 102), (104, 78)]],
        0xA1E2: [circle(h, 78, 30), [(h, 48), (h, 4)], [(40, 24), (88, 24)]],         # ♀
        0xA1E3: [circle(40, 96, 12)],                                                # °
        0xA1E6: [circle(26, 100, 10), circle(88, 60, 40, 45, 315)],                  # ℃
        0xA1E8: [circle(h, 60, 30), [(36, 90), (24, 102)], [(92, 90), (104, 102)],
                 [(36, 30), (24, 18)], [(92, 30), (104, 18)]],                       # ¤
        0xA1E9: [circle(66, 50, 32, 40, 320), [(62, 100), (62, 0)]],                 # ￠
        0xA1EA: [[(94, 100), (86, 108), (72, 110), (60, 102), (56, 88), (56, 40), (50, 20),
                  (36, 8), (100, 8)], [(36, 60), (84, 60)]],                         # ￡
        0xA1EB: [circle(20, 92, 10), [(82, 112), (14, 6)], circle(56, 28, 10), circle(100, 28, 10)],
        0xA1EC: [[(84, 104), (72, 114), (54, 114), (42, 104), (44, 90), (86, 66), (88, 48), (76, 36)],
                 [(52, 84), (40, 72), (42, 56), (84, 30), (86, 16), (74, 6), (56, 6), (44, 16)]],
        0xA1EE: [star(h, 60, 52)],                                                   # ☆
        0xA1EF: filled(star(h, 60, 52), 5),                                          # ★
        0xA1F0: [circle(h, h, 46)],                                                  # ○
        0xA1F1: filled(circle(h, h, 46), 5),                                         # ●
        0xA1F2: [circle(h, h, 46), circle(h, h, 26)],                                # ◎
        0xA1F3: [[(h, 112), (112, h), (h, 16), (16, h), (h, 112)]],                  # ◇
        0xA1F4: filled([(h, 112), (112, h), (h, 16), (16, h), (h, 112)], 5),         # ◆
        0xA1F5: [rect(18, 18, 110, 110)],                                            # □
        0xA1F6: filled(rect(18, 18, 110, 110), 5),                                   # ■
        0xA1F7: [[(h, 112), (112, 16), (16, 16), (h, 112)]],                         # △
        0xA1F8: filled([(h, 112), (112, 16), (16, 16), (h, 112)], 5),                # ▲
        0xA1F9: [[(32, 96), (96, 32)], [(96, 96), (32, 32)], dot(h, 100), dot(h, 28),
                 dot(28, h), dot(100, h)],                                           # ※
        0xA1FA: [[(12, h), (116, h)], [(84, h + 24), (116, h), (84, h - 24)]],       # →
        0xA1FB: [[(116, h), (12, h)], [(44, h + 24), (12, h), (44, h - 24)]],        # ←
        0xA1FC: [[(h, 12), (h, 116)], [(h - 24, 84), (h, 116), (h + 24, 84)]],       # ↑
        0xA1FD: [[(h, 116), (h, 12)], [(h - 24, 44), (h, 12), (h + 24, 44)]],        # ↓
        0xA1FE: filled(rect(16, 72, 112, 100), 5) + filled(rect(16, 20, 112, 48), 5),  # 〓
    }
    out.update(drawn)
    # № : N and a small underlined o.
    out[0xA1ED] = (hershey_text(roman, 'N', 4.0, cx=44) +
                   hershey_text(roman, 'o', 2.6, cx=98, base=36) + [[(84, 30), (112, 30)]])
    return out


def row_a2(roman, hanzi_lines):
    """Numbers in the double-byte cell: 1. to 20., (1) to (20), circled 1 to
    10, parenthesised one to ten, Roman numerals."""
    out = {}
    small = ['i', 'ii', 'iii', 'iv', 'v', 'vi', 'vii', 'viii', 'ix', 'x']
    roman_caps = ['I', 'II', 'III', 'IV', 'V', 'VI', 'VII', 'VIII', 'IX', 'X', 'XI', 'XII']
    for i, s in enumerate(small):            # GBK A2A1..A2AA
        out[0xA2A1 + i] = fitted_text(roman, s, 4.0, 112, 0)
    for n in range(1, 21):
        out[0xA2B0 + n] = fitted_text(roman, '%d.' % n, FULLWIDTH_SCALE, 120, 0)
        out[0xA2C4 + n] = fitted_text(roman, '(%d)' % n, 3.4, 122, 24)
    for n in range(1, 11):
        out[0xA2D8 + n] = [circle(MID, 60, 54)] + fitted_text(roman, str(n), 2.6, 70, 33)
    parens = fitted_text(roman, '( )', 3.4, 122, 24)
    for i, numeral in enumerate('一二三四五六七八九十'):
        inner = [[(MID + (x - MID) * 0.5, 60 + (y - MID) * 0.5) for x, y in line]
                 for line in hanzi_lines(numeral)]
        out[0xA2E5 + i] = parens + inner
    for i, s in enumerate(roman_caps):
        out[0xA2F1 + i] = fitted_text(roman, s, FULLWIDTH_SCALE, 120, 0)
    return out


def row_a3(roman):
    """Full-width ASCII, centred in the cell on the single-byte baseline."""
    out = {}
    for c in range(0x21, 0x7F):
        out[0xA380 + c] = hershey_text(roman, chr(c), FULLWIDTH_SCALE)
    out[0xA3A4] = [[(36, 94), (64, 50), (92, 94)], [(64, 50), (64, 0)],
                   [(40, 44), (88, 44)], [(40, 26), (88, 26)]]   # ￥ in GB2312
    out[0xA3FE] = [[(8, 120), (120, 120)]]                        # ￣ in GB2312
    return out


# Hershey greeks.jhf puts the 24 Greek letters, in alphabetical order, on the
# keys A to X: the order of GB2312 row 0xA6.
GREEK_KEYS = 'ABCDEFGHIJKLMNOPQRSTUVWX'


def row_a6(greek):
    out = {}
    for i, key in enumerate(GREEK_KEYS):
        out[0xA6A1 + i] = hershey_text(greek, key, FULLWIDTH_SCALE)
        out[0xA6C1 + i] = hershey_text(greek, key.lower(), FULLWIDTH_SCALE)
    return out


def symbol_glyphs(roman, greek, hanzi_lines):
    glyphs = {0xA1A1: []}  # ideographic space: an empty cell
    glyphs.update(row_a1(roman))
    glyphs.update(row_a2(roman, hanzi_lines))
    glyphs.update(row_a3(roman))
    glyphs.update(row_a6(greek))
    return {code: [dedupe(line) for line in lines] for code, lines in glyphs.items()}

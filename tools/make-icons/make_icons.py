#!/usr/bin/env python3
"""Draws the program's own toolbar and window icons as PNG files, and the
application icon's hicolor set (PNGs of 16 to 256 pixels and a scalable SVG)
from the same shapes.

The icons are committed; run this only to change them:
    python3 tools/make-icons/make_icons.py resources/icons
"""
import struct
import sys
import zlib


def png(path, w, h, pixels):
    raw = b"".join(b"\0" + bytes(c for px in pixels[y * w:(y + 1) * w] for c in px) for y in range(h))
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


class Canvas:
    def __init__(self, n):
        self.n = n
        self.px = [(0, 0, 0, 0)] * (n * n)

    def rect(self, x0, y0, x1, y1, rgba):
        for y in range(max(0, y0), min(self.n, y1)):
            for x in range(max(0, x0), min(self.n, x1)):
                self.px[y * self.n + x] = rgba

    def frame(self, x0, y0, x1, y1, t, rgba):
        self.rect(x0, y0, x1, y0 + t, rgba)
        self.rect(x0, y1 - t, x1, y1, rgba)
        self.rect(x0, y0, x0 + t, y1, rgba)
        self.rect(x1 - t, y0, x1, y1, rgba)

    def save(self, path):
        png(path, self.n, self.n, self.px)


INK = (40, 60, 90, 255)
PAPER = (250, 250, 236, 255)
GREEN = (40, 160, 70, 255)
BLUE = (50, 110, 200, 255)


def add_file(path):
    c = Canvas(32)
    c.rect(6, 3, 22, 29, PAPER)
    c.frame(6, 3, 22, 29, 2, INK)
    for y in (9, 13, 17):
        c.rect(9, y, 19, y + 1, INK)
    c.rect(17, 18, 31, 22, GREEN)  # plus sign
    c.rect(22, 13, 26, 27, GREEN)
    c.save(path)


def hide_window(path):
    c = Canvas(32)
    c.rect(3, 4, 29, 22, PAPER)
    c.frame(3, 4, 29, 22, 2, INK)
    c.rect(3, 4, 29, 8, BLUE)
    for i in range(6):  # arrow down to the tray
        c.rect(10 + i, 23 + i, 22 - i, 24 + i, GREEN)
    c.save(path)


# The application icon, once: rectangles on a 64-unit square, drawn in
# order. The SVG carries them as they are; each PNG size rasterises them by
# exact area coverage, so every size is as sharp as its pixels allow.
APP_ICON = [
    ((8, 4, 56, 60), INK),     # the roll of paper, upright, in its frame
    ((11, 7, 53, 57), PAPER),
    ((4, 26, 60, 34), BLUE),   # the carriage across it
    ((28, 22, 36, 38), INK),   # the head
] + [((14 + i * 3, 46 - (i % 2) * 2, 17 + i * 3, 49 - (i % 2) * 2), GREEN) for i in range(12)]  # a cut line
APP_ID = "org.orlat.OrlatCenter"
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def raster(shapes, n, unit=64):
    """Straight-alpha RGBA pixels of shapes scaled from unit to n pixels."""
    acc = [[0.0, 0.0, 0.0, 0.0] for _ in range(n * n)]  # premultiplied
    k = n / unit
    for (x0, y0, x1, y1), (r, g, b, a) in shapes:
        fx0, fy0, fx1, fy1 = x0 * k, y0 * k, x1 * k, y1 * k
        for y in range(int(fy0), min(n, int(-(-fy1 // 1)))):
            cy = min(fy1, y + 1) - max(fy0, y)
            if cy <= 0:
                continue
            for x in range(int(fx0), min(n, int(-(-fx1 // 1)))):
                cx = min(fx1, x + 1) - max(fx0, x)
                if cx <= 0:
                    continue
                cov = cx * cy * a / 255
                p = acc[y * n + x]
                p[0] = r * cov + p[0] * (1 - cov)
                p[1] = g * cov + p[1] * (1 - cov)
                p[2] = b * cov + p[2] * (1 - cov)
                p[3] = cov + p[3] * (1 - cov)
    out = []
    for pr, pg, pb, pa in acc:
        if pa <= 0:
            out.append((0, 0, 0, 0))
        else:
            out.append((round(pr / pa), round(pg / pa), round(pb / pa), round(pa * 255)))
    return out


def svg(shapes, path, unit=64):
    rects = "".join(
        f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="#{r:02x}{g:02x}{b:02x}"/>\n'
        for (x0, y0, x1, y1), (r, g, b, a) in shapes)
    with open(path, "w", encoding="utf-8") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{unit}" height="{unit}" '
                f'viewBox="0 0 {unit} {unit}">\n{rects}</svg>\n')


def app_icons(out):
    """The window icon (64 px) and the installed hicolor set from APP_ICON."""
    import os
    png(out + "/app.png", 64, 64, raster(APP_ICON, 64))
    for n in HICOLOR_SIZES:
        folder = f"{out}/hicolor/{n}x{n}/apps"
        os.makedirs(folder, exist_ok=True)
        png(f"{folder}/{APP_ID}.png", n, n, raster(APP_ICON, n))
    folder = f"{out}/hicolor/scalable/apps"
    os.makedirs(folder, exist_ok=True)
    svg(APP_ICON, f"{folder}/{APP_ID}.svg")


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/icons"
    add_file(out + "/add_file.png")
    hide_window(out + "/hide_window.png")
    app_icons(out)

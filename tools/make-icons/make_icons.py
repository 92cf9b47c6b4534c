#!/usr/bin/env python3
"""Draws the program's own toolbar and window icons as PNG files.

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


def app_icon(path):
    n = 64
    c = Canvas(n)
    c.rect(8, 4, 56, 60, PAPER)  # the roll of paper, upright
    c.frame(8, 4, 56, 60, 3, INK)
    c.rect(4, 26, 60, 34, BLUE)  # the carriage across it
    c.rect(28, 22, 36, 38, INK)  # the head
    for i in range(12):  # a cut line
        c.rect(14 + i * 3, 46 - (i % 2) * 2, 17 + i * 3, 49 - (i % 2) * 2, GREEN)
    c.save(path)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/icons"
    add_file(out + "/add_file.png")
    hide_window(out + "/hide_window.png")
    app_icon(out + "/app.png")

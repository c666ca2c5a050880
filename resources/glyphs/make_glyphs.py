#!/usr/bin/env python3
"""Draws the button glyphs as 16-colour BMP files: normal image left, disabled image right.

The lower-left pixel (olive) is the transparent colour. The disabled image is the normal shape
in grey with a white shadow one pixel right and down, as classic disabled glyphs look.
Run from anywhere; writes beside this script.
"""
import math
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, GRAY, SILVER, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)


class Image:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[OLIVE] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0)) * 4 or 1
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            for dx in range(width):
                for dy in range(width):
                    self.set(int(round(x)) + dx, int(round(y)) + dy, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c, thickness=1.5):
        for y in range(self.h):
            for x in range(self.w):
                if abs(math.hypot(x - cx, y - cy) - r) <= thickness / 2:
                    self.set(x, y, c)

    def pattern(self, x0, y0, rows, colours):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.set(x0 + dx, y0 + dy, colours[ch])


def disabled(normal):
    """Dark pixels become grey with a white shadow one pixel right and down; light ones white."""
    light = {WHITE, YELLOW, LIME, AQUA, SILVER}
    out = Image(normal.w, normal.h)
    for y in range(normal.h):
        for x in range(normal.w):
            if normal.px[y][x] not in light | {OLIVE}:
                out.set(x + 1, y + 1, WHITE)
    for y in range(normal.h):
        for x in range(normal.w):
            c = normal.px[y][x]
            if c != OLIVE:
                out.set(x, y, WHITE if c in light else GRAY)
    # Keep the lower-left pixel transparent: it names the transparent colour.
    out.px[normal.h - 1][0] = OLIVE
    return out


def write_bmp(path, normal):
    grey = disabled(normal)
    w, h = normal.w * 2, normal.h
    row_bytes = ((w * 4 + 31) // 32) * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = normal.px[y] + grey.px[y]
        packed = bytearray()
        for x in range(0, w, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < w else 0
            packed.append((hi << 4) | lo)
        packed.extend(b"\0" * (row_bytes - len(packed)))
        data.extend(packed)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def check(img, dx=0, dy=0, c=GREEN):
    img.line(2 + dx, 9 + dy, 6 + dx, 13 + dy, c, 2)
    img.line(6 + dx, 13 + dy, 14 + dx, 4 + dy, c, 2)


def cross(img, c=RED, inset=3):
    img.line(inset, inset, 17 - inset - 1, 17 - inset - 1, c, 2)
    img.line(17 - inset - 1, inset, inset, 17 - inset - 1, c, 2)


def glyph_ok():
    img = Image(18, 18)
    check(img)
    return img


def glyph_cancel():
    img = Image(18, 18)
    cross(img)
    return img


def glyph_help():
    img = Image(18, 18)
    img.pattern(5, 2, [
        "..####..",
        ".##..##.",
        ".##..##.",
        ".....##.",
        "....##..",
        "...##...",
        "...##...",
        "...##...",
        "........",
        "...##...",
        "...##...",
    ], {"#": NAVY})
    return img


def glyph_yes():
    img = Image(18, 18)
    check(img, 1, 0, GREEN)
    img.line(3, 9, 7, 13, LIME, 1)
    return img


def glyph_no():
    img = Image(18, 18)
    img.ring(8.5, 8.5, 6.5, RED, 2.2)
    img.line(4, 13, 13, 4, RED, 2)
    return img


def glyph_close():
    img = Image(18, 18)
    # An open door with an arrow leaving through it.
    for y in range(2, 16):
        img.set(3, y, BLACK)
        img.set(11, y, BLACK)
    img.line(3, 2, 11, 2, BLACK)
    img.line(3, 15, 11, 15, BLACK)
    for y in range(4, 16):
        for x in range(4, 8):
            img.set(x, y, TEAL)
    img.line(4, 3, 7, 4, TEAL)
    img.set(6, 9, YELLOW)
    img.line(8, 9, 15, 9, MAROON, 1)
    img.line(13, 7, 15, 9, MAROON)
    img.line(13, 11, 15, 9, MAROON)
    return img


def glyph_abort():
    img = Image(18, 18)
    img.disc(8.5, 8.5, 7, RED)
    img.line(5, 5, 11, 11, WHITE, 2)
    img.line(11, 5, 5, 11, WHITE, 2)
    return img


def glyph_retry():
    img = Image(18, 18)
    for a in range(40, 330, 4):
        r = math.radians(a)
        img.set(int(round(8.5 + 6 * math.cos(r))), int(round(8.5 - 6 * math.sin(r))), GREEN)
        img.set(int(round(8.5 + 5 * math.cos(r))), int(round(8.5 - 5 * math.sin(r))), GREEN)
    # Arrow head at the upper end of the arc.
    img.line(12, 1, 13, 5, GREEN, 1)
    img.line(13, 5, 17, 4, GREEN, 1)
    img.line(12, 2, 16, 4, GREEN, 1)
    return img


def glyph_ignore():
    img = Image(18, 18)
    # A bar on the ground and an arrow jumping over it.
    img.line(7, 10, 7, 16, MAROON, 2)
    for a in range(180, -1, -5):
        r = math.radians(a)
        img.set(int(round(8 + 6 * math.cos(r))), int(round(11 - 8 * math.sin(r))), NAVY)
    img.line(14, 11, 12, 9, NAVY)
    img.line(14, 11, 16, 9, NAVY)
    return img


def glyph_all():
    img = Image(18, 19)
    check(img, -1, -2, GREEN)
    check(img, 2, 3, GREEN)
    return img


def glyph_font():
    img = Image(18, 18)
    img.pattern(3, 1, [
        "....##....",
        "....##....",
        "...####...",
        "...#..#...",
        "..##..##..",
        "..#....#..",
        ".########.",
        ".##....##.",
        "##......##",
        "##......##",
        "###....###",
    ], {"#": NAVY})
    img.line(2, 14, 15, 14, RED, 1)
    img.line(2, 15, 15, 15, RED, 1)
    return img


def glyph_web():
    img = Image(18, 18)
    img.disc(8.5, 8.5, 7.5, BLUE)
    img.pattern(3, 3, [
        "..###.....",
        ".#####..#.",
        "..####.##.",
        "...##..###",
        "....#..##.",
        ".......#..",
        "..##......",
        "..###.....",
        "...##.....",
    ], {"#": LIME})
    img.ring(8.5, 8.5, 7.5, NAVY, 1.2)
    return img


GLYPHS = {
    "BBOKX": glyph_ok, "BBCANCELX": glyph_cancel, "BBHELPX": glyph_help, "BBYESX": glyph_yes,
    "BBNOX": glyph_no, "BBCLOSEX": glyph_close, "BBABORTX": glyph_abort, "BBRETRYX": glyph_retry,
    "BBIGNOREX": glyph_ignore, "BBALLX": glyph_all, "FONTBTN": glyph_font, "WEBBTN": glyph_web,
}

if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in GLYPHS.items():
        write_bmp(os.path.join(here, name + ".bmp"), draw())

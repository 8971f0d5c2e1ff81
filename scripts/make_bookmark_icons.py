#!/usr/bin/env python3
"""Draws the editor's bookmark icon strip, hexeditor/resources/bookmarkicons.png.

The strip is 200 x 10 pixels: twenty 10 x 10 icons side by side. Icons 0 to 9
show the digits 0 to 9 for bookmarks set in the hex field (white digit on a
navy badge), icons 10 to 19 the same digits for bookmarks set in the character
field (dark red digit on a yellow badge with a dark red rim). The top-left
pixel, and every pixel outside the badges, has the transparent colour
(fuchsia). Only the Python standard library is used, so the output is the same
on every machine: run it again after changing the artwork and commit both.
"""
import os
import struct
import sys
import zlib

# 5 x 7 digit glyphs, one string of five pixels per row ('#' = ink).
DIGITS = [
    [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
]

TRANSPARENT = (255, 0, 255)
STYLES = [
    # (rim, fill, ink) for the hex field and the character field
    ((0, 0, 128), (0, 0, 128), (255, 255, 255)),
    ((128, 0, 0), (255, 255, 0), (128, 0, 0)),
]
SIZE = 10
COUNT = 20


def icon_pixel(style, digit, x, y):
    rim, fill, ink = STYLES[style]
    corner = (x in (0, SIZE - 1)) and (y in (0, SIZE - 1))
    if corner:
        return TRANSPARENT
    gx, gy = x - 2, y - 1  # glyph origin inside the badge
    if 0 <= gx < 5 and 0 <= gy < 7 and DIGITS[digit][gy][gx] == "#":
        return ink
    if x in (0, SIZE - 1) or y in (0, SIZE - 1):
        return rim
    return fill


def strip_rows():
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for i in range(COUNT):
            style, digit = divmod(i, 10)
            for x in range(SIZE):
                row.extend(icon_pixel(style, digit, x, y))
        rows.append(bytes(row))
    return rows


def png_bytes(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)  # filter type 0 on every row
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "hexeditor", "resources", "bookmarkicons.png")
    data = png_bytes(SIZE * COUNT, SIZE, strip_rows())
    tmp = target + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, target)  # never leave a half-written image behind


if __name__ == "__main__":
    main()

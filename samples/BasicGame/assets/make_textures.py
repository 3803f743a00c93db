#!/usr/bin/env python3
"""Draws BasicGame's pixel-art textures and writes them as PNG files beside
this script. Only the standard library: each image is a grid of palette
letters, written as 8-bit RGBA rows compressed with zlib.

Run again after changing a picture:  python3 make_textures.py
"""
import os
import struct
import zlib

PALETTE = {
    ".": (0, 0, 0, 0),          # transparent
    "k": (28, 24, 36, 255),     # outline
    "s": (240, 196, 160, 255),  # skin
    "h": (120, 62, 40, 255),    # hair
    "b": (60, 110, 230, 255),   # shirt
    "d": (36, 64, 150, 255),    # trousers
    "w": (255, 255, 255, 255),  # eye white
    "y": (250, 210, 60, 255),   # gold
    "o": (200, 140, 30, 255),   # gold shade
    "l": (255, 245, 180, 255),  # gold light
}

# 16 x 16, facing right; the game mirrors it when the player walks left.
PLAYER = """
.....kkkkkk.....
....khhhhhhk....
...khhhhhhhhk...
...khssssswsk...
...kssssskwsk...
...kssssssssk...
....kssssssk....
.....kkkkkk.....
....kbbbbbbk....
...kbbbbbbbbk...
...ksbbbbbbsk...
...kkbbbbbbkk...
....kddddddk....
....kddkkddk....
....kddk.kddk...
....kkk..kkkk...
"""

COIN = """
................
.....kkkkkk.....
....kyyyyyyk....
...kyllyyyyok...
..kylyyyyyyyok..
..kylyyoyyyyok..
..kyyyyoyyyyok..
..kyyyyoyyyyok..
..kyyyyoyyyyok..
..kyyyyoyyyyok..
..kyyyyyyyyyok..
...kyyyyyyyok...
....koyyyyok....
.....kkkkkk.....
................
................
"""


def write_png(path, picture):
    rows = [line for line in picture.strip().splitlines()]
    width, height = len(rows[0]), len(rows)
    raw = bytearray()
    for row in rows:
        assert len(row) == width, "every row needs the same width"
        raw.append(0)  # filter: none
        for letter in row:
            raw.extend(PALETTE[letter])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "player.png"), PLAYER)
    write_png(os.path.join(here, "coin.png"), COIN)

#!/usr/bin/env python3
"""Draws icon 128 of setup.exe: a loudspeaker sending out three sound waves.

One 32 x 32 image in 16 colours, the only icon format every Windows from 95
on reads. The build uses the committed setup.ico; run this script again only
to change the picture:  python3 make_icon.py [output.ico]
"""
import math
import os
import struct
import sys

SIZE = 32

# The 16-colour VGA palette, as RGB.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GRAY, BLUE, WHITE = 0, 4, 7, 8, 12, 15
CLEAR = None  # transparent: screen shows through


def in_magnet(x, y):
    return 3 <= x <= 9 and 12 <= y <= 19


def in_cone(x, y):
    # Opens at 45 degrees from the magnet's height to the front edge.
    if not 9 <= x <= 17:
        return False
    spread = x - 9
    return 12 - spread <= y <= 19 + spread


def in_speaker(x, y):
    return in_magnet(x, y) or in_cone(x, y)


def wave_colour(x, y):
    """The three arcs in front of the cone, inner one darker."""
    cx, cy = 17.0, 16.0
    dx, dy = x + 0.5 - cx, y + 0.5 - cy
    if dx <= 0:
        return CLEAR
    if abs(math.degrees(math.atan2(dy, dx))) > 48:
        return CLEAR
    distance = math.hypot(dx, dy)
    for radius, colour in ((5.0, NAVY), (9.0, BLUE), (13.0, BLUE)):
        if abs(distance - radius) <= 0.85:
            return colour
    return CLEAR


def speaker_colour(x, y):
    neighbours = ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))
    if any(not in_speaker(nx, ny) for nx, ny in neighbours):
        return BLACK
    if in_cone(x, y) and not in_magnet(x, y):
        # Light from the top left: a white rim under the upper edge.
        return WHITE if not in_cone(x, y - 2) else SILVER
    return GRAY


def pixel(x, y):
    if in_speaker(x, y):
        return speaker_colour(x, y)
    return wave_colour(x, y)


def icon_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bitmaps are stored bottom-up
        packed = bytearray()
        for x in range(0, SIZE, 2):
            high, low = (c if c is not None else BLACK for c in row[x:x + 2])
            packed.append(high << 4 | low)
        xor_rows.append(bytes(packed))
        mask = 0
        for c in row:
            mask = mask << 1 | (1 if c is None else 0)
        and_rows.append(mask.to_bytes(SIZE // 8, "big"))
    xor_bits, and_bits = b"".join(xor_rows), b"".join(and_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    image = header + palette + xor_bits + and_bits
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "setup.ico")
    with open(target, "wb") as out:
        out.write(icon_bytes())


if __name__ == "__main__":
    main()

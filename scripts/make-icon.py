#!/usr/bin/env python3
"""Draws Velmora's program icon and writes it as resources/velmora.ico.

The icon holds one 48 x 48 image, 32 bits per pixel with straight alpha, in
BMP format (not PNG, which older shells cannot show). The artwork is a blue
rounded square with a white page and a magnifier over it: a thesis being
checked. Each pixel is the average of 8 x 8 point samples, which gives the
anti-aliased edges; everything is exact integer arithmetic apart from the
inside tests, so the output is the same byte for byte on every machine.

    scripts/make-icon.py            writes resources/velmora.ico
    scripts/make-icon.py --check    fails if resources/velmora.ico differs
    scripts/make-icon.py --output PATH
"""

import argparse
import struct
import sys
from pathlib import Path

SIZE = 48
SAMPLES = 8  # per pixel and axis

# Colours as (red, green, blue, alpha).
TILE_TOP = (52, 132, 235, 255)
TILE_BOTTOM = (24, 86, 196, 255)
TILE_EDGE = (16, 64, 150, 255)
PAGE = (255, 255, 255, 255)
PAGE_FOLD = (200, 214, 236, 255)
PAGE_LINE = (150, 170, 205, 255)
LENS = (255, 255, 255, 110)
RING = (255, 176, 32, 255)
HANDLE = (214, 120, 18, 255)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    """Whether (x, y) lies inside the rectangle with rounded corners."""
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def in_circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def in_capsule(x, y, x0, y0, x1, y1, radius):
    """Whether (x, y) lies within `radius` of the segment (x0, y0)-(x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return in_circle(x, y, x0 + t * dx, y0 + t * dy, radius)


def over(under, top):
    """`top` composited over `under`; both straight-alpha 0-255 integers."""
    ta = top[3]
    if ta == 255:
        return top
    ua = under[3] * (255 - ta) // 255
    a = ta + ua
    if a == 0:
        return (0, 0, 0, 0)
    rgb = tuple((top[i] * ta + under[i] * ua + a // 2) // a for i in range(3))
    return rgb + (a,)


def tile_colour(row):
    """The tile's vertical gradient, one colour per pixel row."""
    return tuple((TILE_TOP[i] * (SIZE - 1 - row) + TILE_BOTTOM[i] * row + (SIZE - 1) // 2)
                 // (SIZE - 1) for i in range(3)) + (255,)


def sample(x, y, row):
    """The colour of the artwork at the point (x, y)."""
    colour = (0, 0, 0, 0)
    if in_rounded_rect(x, y, 2, 2, 46, 46, 10):
        colour = TILE_EDGE
        if in_rounded_rect(x, y, 3.5, 3.5, 44.5, 44.5, 8.5):
            colour = tile_colour(row)

    # The page, its top right corner folded down along the line x - y = 18.
    if 10 <= x <= 32 and 7 <= y <= 39 and x - y <= 18:
        colour = PAGE
        if x >= 25 and y <= 14:
            colour = PAGE_FOLD
        for top, right in ((13, 22), (18, 28), (23, 26), (28, 20)):
            if top <= y <= top + 2 and 14 <= x <= right:
                colour = PAGE_LINE

    # The magnifier: a tinted lens in a ring, and a handle to the lower right.
    if in_capsule(x, y, 35.5, 35.5, 41, 41, 2.6):
        colour = HANDLE
    if in_circle(x, y, 29, 29, 9):
        if in_circle(x, y, 29, 29, 6.2):
            colour = over(colour, LENS)
        else:
            colour = RING
    return colour


def render():
    """Rows of (red, green, blue, alpha) pixels, top row first."""
    pixels = []
    for row in range(SIZE):
        line = []
        for column in range(SIZE):
            alpha_sum = 0
            weighted = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = column + (sx + 0.5) / SAMPLES
                    y = row + (sy + 0.5) / SAMPLES
                    r, g, b, a = sample(x, y, row)
                    alpha_sum += a
                    weighted[0] += r * a
                    weighted[1] += g * a
                    weighted[2] += b * a
            count = SAMPLES * SAMPLES
            alpha = (alpha_sum + count // 2) // count
            if alpha == 0:
                line.append((0, 0, 0, 0))
            else:
                line.append(tuple((w + alpha_sum // 2) // alpha_sum for w in weighted) + (alpha,))
        pixels.append(line)
    return pixels


def ico_bytes(pixels):
    """An .ico file with the pixels as its single 32-bit BMP-format image."""
    xor_rows = []
    and_rows = []
    and_stride = (SIZE + 31) // 32 * 4
    for line in reversed(pixels):  # BMP rows go bottom up
        xor_rows.append(b"".join(struct.pack("<4B", b, g, r, a) for r, g, b, a in line))
        mask = bytearray(and_stride)
        for column, (_, _, _, a) in enumerate(line):
            if a == 0:  # what a shell that ignores alpha must leave transparent
                mask[column // 8] |= 0x80 >> (column % 8)
        and_rows.append(bytes(mask))
    xor = b"".join(xor_rows)
    and_mask = b"".join(and_rows)
    # The header's height covers the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    default_output = Path(__file__).resolve().parent.parent / "resources" / "velmora.ico"
    parser = argparse.ArgumentParser(description="Draws Velmora's program icon.")
    parser.add_argument("--output", type=Path, default=default_output)
    parser.add_argument("--check", action="store_true",
                        help="compare with the existing file instead of writing it")
    args = parser.parse_args()

    data = ico_bytes(render())
    if args.check:
        try:
            existing = args.output.read_bytes()
        except OSError as error:
            print(f"make-icon: cannot read {args.output}: {error}", file=sys.stderr)
            return 1
        if existing != data:
            print(f"make-icon: {args.output} is not what this script draws; run it again",
                  file=sys.stderr)
            return 1
        return 0
    args.output.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())

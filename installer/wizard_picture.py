#!/usr/bin/env python3
"""Draws the picture on the left of the installer's welcome and finish pages: 164 x 314, the
program's logo on the blue of the window's banner, written as a 24-bit BMP, as NSIS wants it.

    wizard_picture.py OUTPUT.bmp

Python 3 standard library only, with the drawing code the program's own pictures use.
"""
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))

from artwork import fileformats  # noqa: E402
from artwork.icons import Grid, draw_logo  # noqa: E402
from artwork.raster import Canvas, box, circle, linear_gradient, rgb  # noqa: E402

WIDTH, HEIGHT = 164, 314
LOGO = 96


def wizard_picture():
    c = Canvas(WIDTH, HEIGHT)
    deep, light = rgb("#14305c"), rgb("#2f7cc8")
    c.fill(box(-1, -1, WIDTH + 1, HEIGHT + 1), linear_gradient(0, HEIGHT, deep, 0, 0, light))
    # soft light shapes, like pictures fading into each other, as on the banner
    for cx, cy, r, a in ((150, 250, 70, 0.07), (20, 300, 50, 0.06), (120, 330, 40, 0.05),
                         (10, 20, 36, 0.05)):
        c.fill(circle(cx, cy, r), (1, 1, 1, a), (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2))
    c.fill(box(-1, -1, WIDTH + 1, HEIGHT + 1),
           linear_gradient(0, 0, (1, 1, 1, 0.10), 0, HEIGHT * 0.4, (1, 1, 1, 0.0)))
    # accent line along the right edge, where the page begins
    c.fill(box(WIDTH - 3, -1, WIDTH + 1, HEIGHT + 1),
           linear_gradient(0, 0, rgb("#f39a35"), 0, HEIGHT * 0.8, rgb("#f39a35", 0.0)))
    draw_logo(Grid(c, LOGO, ox=(WIDTH - LOGO) / 2, oy=44))
    return c


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: wizard_picture.py OUTPUT.bmp")
    rows = fileformats.flatten(wizard_picture().rgba_rows(), (20, 48, 92))
    with open(sys.argv[1], "wb") as f:
        f.write(fileformats.bmp24(rows))


if __name__ == "__main__":
    main()

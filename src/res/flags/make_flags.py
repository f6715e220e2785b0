#!/usr/bin/env python3
"""Draws the flags of the language list, one icon each.

Each icon holds a square image of 16, 20, 24, 32, 40 and 48 pixels, the
display's small-icon sizes from 100 to 300 %; the flag, four units wide for
three high, fills its width and sits in the middle, with transparent bands
above and below. The images have a palette of the colours they use.

The icons are kept in the repository; run this again (it needs ImageMagick's
`convert`) only to change a flag. Usage: make_flags.py [output folder]
"""
import math
import os
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import icon_file  # noqa: E402

SIZES = (16, 20, 24, 32, 40, 48)
# Flags are drawn on a grid of 16 x 12 units at ten times their size with
# smooth edges, then reduced: stripes stay sharp, emblems come out readable.
# Rectangles name whole units (inclusive); other shapes use continuous
# coordinates over the grid.
W, H = 16, 12
# Canvas pixels per unit: ten at 16 pixels, set for each size.
S = 10


def _p(*values):
    return ",".join(f"{v * S:.1f}" for v in values)


def _c(value):
    return f"{value:g}"


def star(cx, cy, outer, inner=None, points=5, turn=-90):
    """The polygon of a star, as an ImageMagick point list."""
    inner = outer * 0.4 if inner is None else inner
    coords = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(turn + i * 180 / points)
        coords.append(_p(cx + r * math.cos(a), cy + r * math.sin(a)))
    return " ".join(coords)


def stripes(colours, vertical=False, sizes=None):
    """Equal (or given) stripes across the flag."""
    total = W if vertical else H
    sizes = sizes or _split(total, len(colours))
    ops, at = [], 0
    for colour, size in zip(colours, sizes):
        if vertical:
            ops += rect(colour, at, 0, at + size - 1, H - 1)
        else:
            ops += rect(colour, 0, at, W - 1, at + size - 1)
        at += size
    return ops


def _split(total, parts):
    base = [total // parts] * parts
    for i in range(total - sum(base)):
        base[len(base) // 2 - (i % 2)] += 1  # spare pixels go to the middle
    return base


def rect(colour, x0, y0, x1, y1):
    return ["-fill", colour, "-draw",
            f"rectangle {_c(x0 * S)},{_c(y0 * S)} {_c((x1 + 1) * S - 1)},{_c((y1 + 1) * S - 1)}"]


def polygon(colour, points):
    return ["-fill", colour, "-draw", f"polygon {points}"]


def circle(colour, cx, cy, r):
    return ["-fill", colour, "-draw", f"circle {_p(cx, cy)} {_p(cx + r, cy)}"]


def band(colour, x0, y0, x1, y1, width):
    """A straight band of the given width between two points."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return polygon(colour, " ".join(_p(x, y) for x, y in (
        (x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny))))


def nordic_cross(background, outer, inner=None):
    ops = rect(background, 0, 0, W - 1, H - 1)
    if inner is None:
        ops += rect(outer, 4, 0, 5, H - 1) + rect(outer, 0, 5, W - 1, 6)
    else:
        ops += rect(outer, 3, 0, 6, H - 1) + rect(outer, 0, 4, W - 1, 7)
        ops += rect(inner, 4, 0, 5, H - 1) + rect(inner, 0, 5, W - 1, 6)
    return ops


def union_flag():
    blue, red, white = "#012169", "#C8102E", "white"
    ops = rect(blue, 0, 0, W - 1, H - 1)
    ops += band(white, 0, 0, W, H, 2.4) + band(white, 0, H, W, 0, 2.4)
    ops += band(red, 0, 0, W, H, 0.9) + band(red, 0, H, W, 0, 0.9)
    ops += rect(white, 6, 0, 9, H - 1) + rect(white, 0, 4, W - 1, 7)
    ops += rect(red, 7, 0, 8, H - 1) + rect(red, 0, 5, W - 1, 6)
    return ops


def greek_flag():
    blue = "#0D5EAF"
    ops = stripes([blue, "white"] * 4 + [blue], sizes=[1, 1, 2, 1, 1, 2, 1, 1, 2])
    ops += rect(blue, 0, 0, 4, 4) + rect("white", 2, 0, 2, 4) + rect("white", 0, 2, 4, 2)
    return ops


def israeli_flag():
    blue = "#0038B8"
    ops = rect("white", 0, 0, W - 1, H - 1) + rect(blue, 0, 1, W - 1, 2) + rect(blue, 0, 9, W - 1, 10)
    up = [(8, 3.2), (10.6, 7.7), (5.4, 7.7)]
    down = [(8, 8.8), (10.6, 4.3), (5.4, 4.3)]
    for a, b in ((0, 1), (1, 2), (2, 0)):
        ops += band(blue, *up[a], *up[b], 0.7) + band(blue, *down[a], *down[b], 0.7)
    return ops


FLAGS = {
    "german": lambda: stripes(["black", "#DD0000", "#FFCE00"]),
    "danish": lambda: nordic_cross("#C8102E", "white"),
    "spanish": lambda: stripes(["#AA151B", "#F1BF00", "#AA151B"], sizes=[3, 6, 3]),
    "french": lambda: stripes(["#0055A4", "white", "#EF4135"], vertical=True),
    "english": union_flag,
    "italian": lambda: stripes(["#009246", "white", "#CE2B37"], vertical=True),
    "dutch": lambda: stripes(["#AE1C28", "white", "#21468B"]),
    "portuguese": lambda: stripes(["#046A38", "#DA291C"], vertical=True, sizes=[6, 10])
    + circle("#FFE000", 6, 6, 2.6),
    "turkish": lambda: rect("#E30A17", 0, 0, W - 1, H - 1) + circle("white", 6, 6, 3.6)
    + circle("#E30A17", 6.9, 6, 2.9) + polygon("white", star(10.6, 6, 1.9, turn=180)),
    "bulgarian": lambda: stripes(["white", "#00966E", "#D62612"]),
    "romanian": lambda: stripes(["#002B7F", "#FCD116", "#CE1126"], vertical=True),
    "chinese": lambda: rect("#EE1C25", 0, 0, W - 1, H - 1) + polygon("#FFDE00", star(3.2, 3.2, 2.6))
    + polygon("#FFDE00", star(6.4, 1.3, 0.9)) + polygon("#FFDE00", star(7.6, 2.6, 0.9))
    + polygon("#FFDE00", star(7.6, 4.3, 0.9)) + polygon("#FFDE00", star(6.4, 5.6, 0.9)),
    "czech": lambda: stripes(["white", "#D7141A"]) + polygon("#11457E", f"{_p(0, 0)} {_p(8, 6)} {_p(0, 12)}"),
    "norwegian": lambda: nordic_cross("#BA0C2F", "white", "#00205B"),
    "greek": greek_flag,
    "polish": lambda: stripes(["white", "#DC143C"]),
    "hebrew": israeli_flag,
    "vietnamese": lambda: rect("#DA251D", 0, 0, W - 1, H - 1) + polygon("#FFFF00", star(8, 6.3, 4.4)),
    "japanese": lambda: rect("white", 0, 0, W - 1, H - 1) + circle("#BC002D", 8, 6, 3.6),
    "hungarian": lambda: stripes(["#CD2A3E", "white", "#436F4D"]),
    "serbian": lambda: stripes(["#C6363C", "#0C4076", "white"]),
}


def draw(name, size):
    """The RGBA pixels of a flag's square image of that size."""
    global S
    S = 10 * size / W
    height = size * H // W
    # ImageMagick's BMP writer rounds the colours as its icon writer did for
    # the first flags, which keeps the 16-pixel flags as they were.
    flag = subprocess.run(["convert", "-size", f"{size * 10}x{height * 10}", "xc:white", *FLAGS[name](),
                           "-filter", "Box", "-resize", f"{size}x{height}!", "-type", "TrueColor",
                           "BMP3:-"], check=True, capture_output=True).stdout
    return subprocess.run(["convert", "BMP:-", "-background", "none", "-gravity", "center",
                           "-extent", f"{size}x{size}", "-depth", "8", "RGBA:-"], input=flag,
                          check=True, capture_output=True).stdout


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name in FLAGS:
        icon_file.write(os.path.join(out, f"{name}.ico"),
                        [icon_file.bitmap(draw(name, size), size, palette=True) for size in SIZES])


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws the frame's side picture for each display scaling, one bitmap each.

One design, drawn here with ImageMagick's `convert` at every size: a blue
gradient, two light circles, a white K and a light blue line below it. The
coordinates are those of the 100 % picture (87 x 170 pixels, ImageMagick's
pixel centres); a larger picture draws them scaled about the pixel grid.

Each picture fills the picture's place in the frame, 58 x 105 dialog units,
as the dialog font lays it out at that scaling, the way the 100 % picture
fills its 171 pixels: one pixel less than the place is tall, and as wide as
the design's proportions make it. The 100 % picture keeps its 24-bit colours;
the others hold a palette of 256 colours, their rows run-length encoded
(BI_RLE8), which keeps the installer small.

The bitmaps are kept in the repository; run this again only to change the
picture. Usage: make_side.py [output folder]
"""
import os
import subprocess
import sys

WIDTH, HEIGHT = 87, 170
# Scaling in percent: the height of the place less one pixel. The dialog
# font's base units at 96, 120, 144, 168 and 192 dpi are 13, 15, 19, 22 and
# 24 pixels high as Wine 8 lays out the frame (the place is 171, 197, 250,
# 289 and 315 pixels high), where the scenarios measure it.
HEIGHTS = {100: 170, 125: 196, 150: 249, 175: 288, 200: 314}

GRADIENT = ("#2A6FC0", "#0D2C57")
CIRCLES = [("#FFFFFF20", (80, 30), 40), ("#FFFFFF30", (20, 150), 60)]
LETTER = ("white", [(22, 60), (34, 60), (34, 80), (50, 60), (64, 60), (44, 85), (64, 112),
                    (50, 112), (34, 92), (34, 112), (22, 112)])
LINE = ("#9FD0FF", (22, 120), (64, 123))


def drawing(scale):
    """The drawing operations at that scale."""
    def point(x, y):
        # Pixel centres sit at whole coordinates: scale about the pixels' edges.
        return f"{(x + 0.5) * scale - 0.5:g},{(y + 0.5) * scale - 0.5:g}"

    ops = []
    for colour, (x, y), radius in CIRCLES:
        ops += ["-fill", colour, "-draw", f"circle {point(x, y)} {point(x + radius, y)}"]
    colour, corners = LETTER
    ops += ["-fill", colour, "-draw", "polygon " + " ".join(point(x, y) for x, y in corners)]
    colour, start, end = LINE
    ops += ["-fill", colour, "-draw", f"rectangle {point(*start)} {point(*end)}"]
    return ops


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for percent, height in HEIGHTS.items():
        scale = height / HEIGHT
        width = round(WIDTH * scale)
        colours = (["-type", "TrueColor"] if percent == 100 else
                   ["-dither", "None", "-colors", "256", "-type", "Palette", "-compress", "RLE"])
        subprocess.run(["convert", "-size", f"{width}x{height}", "gradient:" + "-".join(GRADIENT),
                        *drawing(scale), *colours,
                        "BMP3:" + os.path.join(out, f"side{percent}.bmp")], check=True)


if __name__ == "__main__":
    main()

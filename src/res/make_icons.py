#!/usr/bin/env python3
"""Gives the application icon and the uninstaller's icon every size they need.

The application icon (installer.ico) holds images of 16, 20, 24, 32, 40, 48
and 256 pixels, the uninstaller's (product/uninstall/uninstall.ico) those up
to 48: the display's icon sizes from 100 to 300 %. An image the file already
holds stays as it was drawn; the missing ones are drawn here with
ImageMagick's `convert` from the icon's design, in 32-bit colour with smooth
edges (the 256-pixel one as PNG). To redraw a size, remove it from the file
first. Usage: make_icons.py
"""
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
import icon_file  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SMALL_SIZES = (16, 20, 24, 32, 40, 48)


def point(x, y, scale):
    # Pixel centres sit at whole coordinates: scale about the pixels' edges.
    return f"{(x + 0.5) * scale - 0.5:g},{(y + 0.5) * scale - 0.5:g}"


def application(size):
    """A white K on a rounded square, blue from light to dark (designed at 64 pixels)."""
    scale = size / 64
    letter = [(17, 12), (26, 12), (26, 28.25), (39, 12), (51, 12), (35.4, 31.5), (51, 51),
              (39, 51), (26, 34.75), (26, 51), (17, 51)]
    corner = 12 * scale
    return ["-size", f"{size}x{size}", "gradient:#3D8EE0-#123A6E",
            "-fill", "white", "-draw", "polygon " + " ".join(point(x, y, scale) for x, y in letter),
            "(", "-size", f"{size}x{size}", "xc:black", "-fill", "white", "-draw",
            f"roundrectangle 0,0 {size - 1},{size - 1} {corner:g},{corner:g}", ")",
            "-alpha", "off", "-compose", "CopyOpacity", "-composite"]


def uninstaller(size):
    """A white U on a dark red square (designed at 48 pixels): two stems on a ring's lower half."""
    scale = size / 48
    red, centre, stroke = "#7A1F1F", (24, 24.5), 2.8

    def disc(colour, radius):
        x, y = centre
        return ["-fill", colour, "-draw", f"circle {point(x, y, scale)} {point(x + radius, y, scale)}"]

    def box(colour, left, top, right, bottom):
        return ["-fill", colour, "-draw",
                f"rectangle {point(left, top, scale)} {point(right, bottom, scale)}"]

    return (["-size", f"{size}x{size}", f"xc:{red}"] + disc("white", 6.7 + stroke)
            + box("white", 17.3 - stroke, 12, 17.3 + stroke, 24.5)
            + box("white", 30.7 - stroke, 12, 30.7 + stroke, 24.5)
            + disc(red, 6.7 - stroke) + box(red, 17.3 + stroke, 12, 30.7 - stroke, 24.5))


ICONS = [
    (os.path.join(HERE, "installer.ico"), application, SMALL_SIZES + (256,)),
    (os.path.join(HERE, "..", "..", "product", "uninstall", "uninstall.ico"), uninstaller, SMALL_SIZES),
]


def drawn(design, size, folder):
    picture = os.path.join(folder, f"{size}.png")
    subprocess.run(["convert", *design(size), "PNG32:" + picture], check=True)
    if size == 256:
        return icon_file.png(picture)
    return icon_file.bitmap(icon_file.rgba(picture, size), size)


def main():
    with tempfile.TemporaryDirectory() as folder:
        for path, design, sizes in ICONS:
            images = icon_file.read(path)
            held = {image.size for image in images}
            images += [drawn(design, size, folder) for size in sizes if size not in held]
            icon_file.write(path, images)


if __name__ == "__main__":
    sys.exit(main())

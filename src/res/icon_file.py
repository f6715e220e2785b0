"""Windows icon files (.ico): one image per size, read and written as stored.

An image is a device-independent bitmap (its colours bottom-up, then a mask
of one bit per pixel, set where the pixel is transparent, both twice the
image's height in the header) or, from 256 pixels on, a PNG file. The
pictures' scripts draw with ImageMagick's `convert` and put the images
together here.
"""
import struct
import subprocess

# ICONDIR: reserved, type 1 (icon), count; ICONDIRENTRY: width, height (0 for
# 256), colours in the palette (0 for none or 256), reserved, planes, bits per
# pixel, size of the image, offset of the image in the file.
DIRECTORY = struct.Struct("<HHH")
ENTRY = struct.Struct("<BBBBHHII")
BITMAPINFOHEADER = struct.Struct("<IiiHHIIiiII")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class Image:
    """One image of an icon: its size, colour depth and bytes as stored."""

    def __init__(self, size, bits, data, colours=0):
        self.size, self.bits, self.data, self.colours = size, bits, data, colours


def read(path):
    """The images of an icon file, as stored."""
    with open(path, "rb") as source:
        data = source.read()
    _, kind, count = DIRECTORY.unpack_from(data)
    if kind != 1:
        raise ValueError(f"{path} is not an icon file")
    images = []
    for index in range(count):
        width, _, colours, _, _, bits, size, offset = ENTRY.unpack_from(
            data, DIRECTORY.size + index * ENTRY.size)
        images.append(Image(width or 256, bits, data[offset:offset + size], colours))
    return images


def write(path, images):
    """An icon file of those images, smallest first."""
    images = sorted(images, key=lambda image: image.size)
    offset = DIRECTORY.size + len(images) * ENTRY.size
    head, body = [DIRECTORY.pack(0, 1, len(images))], []
    for image in images:
        side = image.size % 256
        head.append(ENTRY.pack(side, side, image.colours, 0, 1, image.bits, len(image.data), offset))
        body.append(image.data)
        offset += len(image.data)
    with open(path, "wb") as target:
        target.write(b"".join(head + body))


def rgba(picture, size):
    """The pixels of a square picture (a file ImageMagick reads), RGBA, top row first."""
    pixels = subprocess.run(["convert", picture, "-depth", "8", "RGBA:-"], check=True,
                            capture_output=True).stdout
    assert len(pixels) == size * size * 4
    return pixels


def png(picture):
    """A picture as a 32-bit PNG without time stamps, for the 256-pixel image."""
    data = subprocess.run(["convert", picture, "-strip", "PNG32:-"], check=True,
                          capture_output=True).stdout
    assert data.startswith(PNG_SIGNATURE)
    return Image(256, 32, data)


def bitmap(pixels, size, palette=False):
    """A bitmap image of RGBA pixels: 32 bits with their transparency, or with
    palette=True 8 bits, every pixel either opaque or transparent."""
    rows = [pixels[y * size * 4:(y + 1) * size * 4] for y in reversed(range(size))]
    mask_stride = (size + 31) // 32 * 4
    mask = b"".join(_mask_row(row, size, mask_stride) for row in rows)
    if palette:
        colours, indices = _palette(rows, size)
        header = _header(size, 8, len(indices) + len(mask), len(colours))
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        return Image(size, 8, header + table + indices + mask, len(colours) % 256)
    colour_rows = b"".join(bytes(_bgra(row[x * 4:x * 4 + 4])) for row in rows for x in range(size))
    return Image(size, 32, _header(size, 32, len(colour_rows) + len(mask), 0) + colour_rows + mask)


def _header(size, bits, image_size, colours):
    return BITMAPINFOHEADER.pack(BITMAPINFOHEADER.size, size, size * 2, 1, bits, 0, image_size,
                                 0, 0, colours, 0)


def _bgra(pixel):
    r, g, b, a = pixel
    return (b, g, r, a)


def _mask_row(row, size, stride):
    bits = 0
    for x in range(size):
        if row[x * 4 + 3] == 0:
            bits |= 1 << (stride * 8 - 1 - x)
    return bits.to_bytes(stride, "big")


def _palette(rows, size):
    """The colours of the opaque pixels in order of appearance, and each pixel's index."""
    colours, index_of, indices = [], {}, bytearray()
    stride = (size + 3) // 4 * 4
    for row in rows:
        for x in range(size):
            r, g, b, a = row[x * 4:x * 4 + 4]
            if a not in (0, 255):
                raise ValueError("a palette image has no partly transparent pixels")
            colour = (r, g, b) if a else (0, 0, 0)
            if colour not in index_of:
                index_of[colour] = len(colours)
                colours.append(colour)
            indices.append(index_of[colour])
        indices.extend(bytes(stride - size))
    if len(colours) > 256:
        raise ValueError(f"{len(colours)} colours do not fit a palette")
    return colours, bytes(indices)

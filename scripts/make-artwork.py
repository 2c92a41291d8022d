#!/usr/bin/env python3
"""Draws the Windows library's pictures and writes them into src/resources:

  about_picture.bmp  the About box's banner, 400 x 105, 256 colours
  vis_corvex.ico     the notification-area icon, 32 x 32 and 16 x 16
  vis_corvex.bmp     the background-mode wallpaper: the colour key's pure green, so the
                     overlay shows wherever the desktop is uncovered

The files are committed; run this again only to change the artwork. Plain Python, so the
pictures come out the same bytes on every machine."""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "resources")

# A 5 x 7 pixel font for the banner's word, one string of rows per letter.
GLYPHS = {
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "X": ["10001", "01010", "00100", "00100", "00100", "01010", "10001"],
}


def bmp_8bit(width, height, palette, pixel):
    """An uncompressed bottom-up 8-bit BMP; pixel(x, y) gives a palette index."""
    stride = (width + 3) & ~3
    rows = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytes(pixel(x, y) for x in range(width))
        rows += row + bytes(stride - width)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header_size = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835,
                       len(palette), 0)
    return b"BM" + struct.pack("<IHHI", header_size + len(rows), 0, 0, header_size) + info + \
        colours + rows


def banner():
    # 240 colours of a cool-to-hot ramp for the swirl, then white for the word.
    palette = []
    for i in range(240):
        t = i / 239
        palette.append((int(255 * min(1, 2 * t)), int(255 * (0.5 + 0.5 * math.sin(6.283 * t))),
                        int(255 * (1 - t))))
    palette += [(255, 255, 255)] * 16
    word = "CORVEX"
    scale, left, top = 7, 200 - (len(word) * 6 * 7) // 2 + 3, 28

    def pixel(x, y):
        gx, gy = (x - left) // scale, (y - top) // scale
        if 0 <= gy < 7 and 0 <= gx < len(word) * 6 and gx % 6 < 5 and x >= left and y >= top:
            if GLYPHS[word[gx // 6]][gy][gx % 6] == "1":
                return 240
        dx, dy = (x - 200) / 60.0, (y - 52) / 60.0
        angle, radius = math.atan2(dy, dx), math.hypot(dx, dy)
        v = 0.5 + 0.5 * math.sin(3 * angle + 4 * radius) * math.cos(radius * 1.3)
        return int(v * 239)

    return bmp_8bit(400, 105, palette, pixel)


def icon_image(size):
    """A 32-bit icon image (BITMAPINFOHEADER, XOR pixels, AND mask): a green ring on a dark
    disc, the plug-in's mark."""
    xor, mask = bytearray(), bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        row_mask = bytearray(mask_stride)
        for x in range(size):
            r = math.hypot(x + 0.5 - size / 2, y + 0.5 - size / 2) / (size / 2)
            if r > 1:
                xor += bytes((0, 0, 0, 0))
                row_mask[x // 8] |= 0x80 >> (x % 8)
            elif r > 0.62:
                xor += bytes((60, 220, 40, 255))
            else:
                glow = int(160 * (1 - r))
                xor += bytes((90 + glow // 2, 30, 40 + glow, 255))
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + mask


def icon():
    images = [icon_image(32), icon_image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def wallpaper():
    # Pure green (0, 255, 0), the colour key of every RGB display depth; 1 bit per pixel keeps
    # a full-screen picture small.
    width, height = 1024, 768
    stride = ((width + 31) // 32) * 4
    rows = bytes(stride) * height
    colours = bytes((0, 255, 0, 0)) + bytes((0, 255, 0, 0))
    header_size = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(rows), 2835, 2835, 2, 0)
    return b"BM" + struct.pack("<IHHI", header_size + len(rows), 0, 0, header_size) + info + \
        colours + rows


if __name__ == "__main__":
    for name, data in (("about_picture.bmp", banner()), ("vis_corvex.ico", icon()),
                       ("vis_corvex.bmp", wallpaper())):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)

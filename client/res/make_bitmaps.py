#!/usr/bin/env python3
"""Draws the client's two small bitmaps and writes them as 24-bit BMP files:

  dialog_texture.bmp  100 x 100 fine-grained light grey texture behind every dialog
  close_glyph.bmp      20 x 19 red cross on a white face in a grey round frame

The output is deterministic, so running the script again changes nothing.
Usage: make_bitmaps.py [output folder]   (default: the script's own folder)
"""
import os
import random
import struct
import sys


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y = 0 at the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + image)


def texture():
    rnd = random.Random(199)
    grain = [[rnd.randint(-5, 5) for _ in range(100)] for _ in range(100)]

    def pixel(x, y):
        g = grain[y][x]
        tint = rnd.randint(-1, 1)
        clamp = lambda v: max(0, min(255, v))
        return clamp(239 + g + tint), clamp(236 + g), clamp(238 + g - tint)
    return pixel


def close_glyph():
    w, h = 20, 19
    grey, white, red = (128, 128, 128), (255, 255, 255), (208, 24, 24)

    def inside_round(x, y, inset, radius):
        left, top, right, bottom = inset, inset, w - 1 - inset, h - 1 - inset
        if x < left or x > right or y < top or y > bottom:
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius

    def pixel(x, y):
        if not inside_round(x, y, 0, 4):
            return white
        if not inside_round(x, y, 1, 3):
            return grey
        # two strokes of the cross, about two pixels wide, inside a 4-pixel margin
        if 5 <= x <= w - 6 and 5 <= y <= h - 6:
            u, v = x - 5, y - 5
            span_x, span_y = w - 11, h - 11
            if abs(u * span_y - v * span_x) <= span_x or abs((span_x - u) * span_y - v * span_x) <= span_x:
                return red
        return white
    return w, h, pixel


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(out, "dialog_texture.bmp"), 100, 100, texture())
    w, h, pixel = close_glyph()
    write_bmp(os.path.join(out, "close_glyph.bmp"), w, h, pixel)


if __name__ == "__main__":
    main()

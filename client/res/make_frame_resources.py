#!/usr/bin/env python3
"""Draws the main window's pictures and generates its notification sounds:

  tovan.ico            32 x 32 application icon (tray icon, window icon)
  tray_red.ico         32 x 32 red variant shown while the tray icon blinks
  toolbar_caption.bmp  51 x 30 24-bit background of every toolbar button
  notify_message.wav   chat text, new watched or searched offer (two rising tones)
  notify_chat_peer.wav a peer opened or closed a chat (one short tone)
  voice_ring.wav       voice request ring, played in a loop (a burst and a pause)

Everything is computed, so running the script again changes nothing.
Usage: make_frame_resources.py [output folder]   (default: the script's own folder)
"""
import math
import os
import struct
import sys
import wave


def bmp_rows(width, height, pixel, bottom_up=True):
    stride = (width * 3 + 3) & ~3
    order = range(height - 1, -1, -1) if bottom_up else range(height)
    rows = []
    for y in order:
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    return b"".join(rows)


def write_bmp(path, width, height, pixel):
    image = bmp_rows(width, height, pixel)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + image)


def write_ico(path, size, pixel):
    """pixel(x, y) -> (r, g, b) or None for transparent."""
    def colour(x, y):
        p = pixel(x, y)
        return p if p else (0, 0, 0)
    xor = bmp_rows(size, size, colour)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y) is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def truck_icon(body, cab):
    """A small lorry on a round badge: body and cab colours differ per icon."""
    def pixel(x, y):
        cx, cy = 15.5, 15.5
        d = math.hypot(x - cx, y - cy)
        if d > 15.5:
            return None
        if d > 14.2:
            return (40, 40, 40)
        if 9 <= y <= 19 and 4 <= x <= 18:
            return body
        if 12 <= y <= 19 and 19 <= x <= 26:
            if 13 <= y <= 15 and 21 <= x <= 25:
                return (200, 230, 255)
            return cab
        for wx in (9, 22):
            if math.hypot(x - wx, y - 21.5) <= 2.6:
                return (30, 30, 30)
        return (245, 245, 240)
    return pixel


def caption_background(x, y):
    """A soft vertical gradient with a light frame: the caption is drawn on it."""
    if x == 0 or y == 0:
        return (255, 255, 255)
    if x == 50 or y == 29:
        return (170, 180, 196)
    t = y / 29.0
    return (int(246 - 22 * t), int(248 - 18 * t), int(252 - 10 * t))


def write_tones(path, tones, rate=11025):
    """tones: (frequency Hz, milliseconds) pairs; 0 Hz is a pause."""
    samples = bytearray()
    for freq, ms in tones:
        n = rate * ms // 1000
        for i in range(n):
            if freq == 0:
                v = 0.0
            else:
                fade = min(1.0, i / (rate * 0.005), (n - i) / (rate * 0.01))
                v = 0.45 * fade * math.sin(2 * math.pi * freq * i / rate)
            samples += struct.pack("<h", int(v * 32767))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(samples))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(out, "tovan.ico"), 32, truck_icon((30, 110, 200), (20, 70, 150)))
    write_ico(os.path.join(out, "tray_red.ico"), 32, truck_icon((220, 30, 30), (160, 10, 10)))
    write_bmp(os.path.join(out, "toolbar_caption.bmp"), 51, 30, caption_background)
    write_tones(os.path.join(out, "notify_message.wav"), [(880, 90), (0, 30), (1175, 140)])
    write_tones(os.path.join(out, "notify_chat_peer.wav"), [(660, 120)])
    write_tones(os.path.join(out, "voice_ring.wav"),
                [(988, 70), (0, 40), (988, 70), (0, 40), (988, 70), (0, 700)])


if __name__ == "__main__":
    main()

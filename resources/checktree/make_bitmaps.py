#!/usr/bin/env python3
"""Draws the check-tree layer's bitmaps: check boxes and radio buttons (13 x 13, 4 bits per pixel) and the
dialog-button glyph pairs (32 x 16, 8 bits per pixel: normal and disabled side by side). Run it in this
folder to write the .bmp files that QvCommonBitmaps.rc names."""
import math
import struct

# The 16 standard colours as (red, green, blue).
STANDARD = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
            (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
            (255, 0, 255), (0, 255, 255), (255, 255, 255)]
GREY, WHITE, FUCHSIA, RED, BLUE = (128, 128, 128), (255, 255, 255), (255, 0, 255), (255, 0, 0), (0, 0, 255)


def write_bmp(name, pixels, palette, bits):
    """pixels: rows top to bottom of palette indexes."""
    height, width = len(pixels), len(pixels[0])
    row_bytes = ((width * bits + 31) // 32) * 4
    data = b""
    for row in reversed(pixels):
        bits_row = bytearray(row_bytes)
        for x, index in enumerate(row):
            if bits == 8:
                bits_row[x] = index
            else:
                bits_row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += bytes(bits_row)
    colours = len(palette)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, colours, colours)
    offset = 14 + len(header) + len(table)
    with open(name, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + table + data)


def check_box(name, interior):
    """Grey outer frame, marker colours inside it (fuchsia top-left, red bottom-right), white interior."""
    px = [[STANDARD.index(WHITE)] * 13 for _ in range(13)]
    for i in range(13):
        px[0][i] = px[i][0] = STANDARD.index(GREY)
        px[12][i] = px[i][12] = STANDARD.index(GREY)
    for i in range(1, 12):
        px[1][i] = px[i][1] = STANDARD.index(FUCHSIA)
        px[11][i] = px[i][11] = STANDARD.index(RED)
    interior(px)
    write_bmp(name, px, STANDARD, 4)


def check_mark(px):
    for x, y in [(3, 6), (3, 7), (3, 8), (4, 7), (4, 8), (4, 9), (5, 8), (5, 9), (5, 10), (6, 7), (6, 8), (6, 9),
                 (7, 6), (7, 7), (7, 8), (8, 5), (8, 6), (8, 7), (9, 4), (9, 5), (9, 6)]:
        px[y][x] = STANDARD.index(BLUE)


def grayed(px):
    for y in range(2, 11):
        for x in range(2, 11):
            px[y][x] = STANDARD.index(BLUE)


def radio(name, checked):
    """Each standard colour stands for a system colour: grey shadow, white highlight, black dark shadow,
    silver light, white face, black dot."""
    px = [[STANDARD.index((0, 128, 128))] * 13 for _ in range(13)]  # teal: the transparent background
    for y in range(13):
        for x in range(13):
            d = math.hypot(x - 6, y - 6)
            upper = x + y < 12
            if d <= 4.5:
                px[y][x] = STANDARD.index(WHITE)
            elif d <= 5.5:
                px[y][x] = STANDARD.index((0, 0, 0) if upper else (192, 192, 192))
            elif d <= 6.5:
                px[y][x] = STANDARD.index(GREY if upper else WHITE)
            if checked and d <= 1.6:
                px[y][x] = STANDARD.index((0, 0, 0))
    write_bmp(name, px, STANDARD, 4)


BACKGROUND = (236, 233, 216)


def glyph_pair(name, colour, shape):
    """Normal glyph on the left, its disabled (grey, embossed) form on the right."""
    palette = [BACKGROUND, colour, (128, 128, 128), (255, 255, 255)] + [(0, 0, 0)] * 252
    px = [[0] * 32 for _ in range(16)]
    points = shape()
    for x, y in points:
        px[y][x] = 1
    for x, y in points:
        if x + 17 < 32 and y + 1 < 16:
            px[y + 1][x + 17] = 3
    for x, y in points:
        px[y][x + 16] = 2
    write_bmp(name, px, palette, 8)


def thick_line(x0, y0, x1, y1):
    steps = max(abs(x1 - x0), abs(y1 - y0))
    pts = set()
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        pts.update({(x, y), (x + 1, y)})
    return pts


def tick():
    return thick_line(3, 8, 6, 11) | thick_line(6, 11, 12, 4)


def cross():
    return thick_line(3, 3, 11, 11) | thick_line(11, 3, 3, 11)


def ring(radius, gap=None):
    pts = set()
    for y in range(16):
        for x in range(15):
            d = math.hypot(x - 7, y - 7.5)
            angle = math.degrees(math.atan2(y - 7.5, x - 7)) % 360
            if radius - 1 <= d <= radius + 0.5 and not (gap and gap[0] <= angle <= gap[1]):
                pts.add((x, y))
    return pts


def question():
    return (ring(3.5, (20, 160)) - {(x, y) for x in range(15) for y in range(8, 16)}) | thick_line(7, 8, 7, 10) | {(7, 13), (8, 13)}


def slash_circle():
    return ring(5.5) | thick_line(3, 12, 11, 3)


def octagon():
    return {(x, y) for y in range(3, 13) for x in range(2, 13) if abs(x - 7) + abs(y - 7.5) <= 7}


def retry():
    return ring(5, (300, 359)) | {(12, 5), (12, 6), (11, 6), (13, 6)}


def dash():
    return {(x, y) for x in range(3, 12) for y in (7, 8)}


def double_tick():
    return thick_line(1, 8, 3, 10) | thick_line(3, 10, 8, 4) | thick_line(6, 8, 8, 10) | thick_line(8, 10, 13, 4)


if __name__ == "__main__":
    check_box("QvCheckBoxUnchecked.bmp", lambda px: None)
    check_box("QvCheckBoxChecked.bmp", check_mark)
    check_box("QvCheckBoxGrayed.bmp", grayed)
    radio("QvRadioButtonChecked.bmp", True)
    radio("QvRadioButtonUnchecked.bmp", False)
    glyph_pair("QvOk.bmp", (0, 128, 0), tick)
    glyph_pair("QvCancel.bmp", (192, 0, 0), cross)
    glyph_pair("QvHelp.bmp", (0, 0, 160), question)
    glyph_pair("QvYes.bmp", (0, 128, 0), tick)
    glyph_pair("QvNo.bmp", (192, 0, 0), slash_circle)
    glyph_pair("QvAbort.bmp", (192, 0, 0), octagon)
    glyph_pair("QvRetry.bmp", (0, 96, 160), retry)
    glyph_pair("QvIgnore.bmp", (96, 96, 96), dash)
    glyph_pair("QvAll.bmp", (0, 128, 0), double_tick)
    glyph_pair("QvClose.bmp", (0, 0, 0), cross)

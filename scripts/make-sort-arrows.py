#!/usr/bin/env python3
"""Draws the 8x8 sort arrows of list headers (resources/res/sortup.bmp, sortdown.bmp): a grey
triangle on a magenta background, which the image list takes as transparent."""
import os
import struct

KEY = (255, 0, 255)
INK = (96, 96, 96)
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "res")


def triangle(up):
    rows = []
    for y in range(8):
        # rows 2..5 hold the triangle: widths 1, 3, 5, 7
        step = y - 2 if up else 5 - y
        row = [KEY] * 8
        if 0 <= step <= 3:
            for x in range(3 - step, 4 + step):
                row[x] = INK
        rows.append(row)
    return rows


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    data = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


write_bmp(os.path.join(OUT, "sortup.bmp"), triangle(True))
write_bmp(os.path.join(OUT, "sortdown.bmp"), triangle(False))

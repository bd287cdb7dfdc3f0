#!/usr/bin/env python3
"""Draws the 8x8 sort arrows of list headers (resources/res/sortup.bmp, sortdown.bmp): a grey
triangle on a magenta background, which the image list takes as transparent."""
import os

from bmp24 import write_bmp

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


write_bmp(os.path.join(OUT, "sortup.bmp"), triangle(True))
write_bmp(os.path.join(OUT, "sortdown.bmp"), triangle(False))

#!/usr/bin/env python3
"""Draws the rich-text field's format toolbar strip (resources/res/formatbar.bmp): eight 16x15
pictures on a magenta background (font and size, which the boxes cover, bold, italic,
underline, left, centre, right). Run it after changing a picture."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmpstrip import write_bmp24  # noqa: E402

W, H, N = 16, 15, 8
KEY = (255, 0, 255)
INK = (30, 30, 30)
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "res", "formatbar.bmp")

px = [[KEY] * (W * N) for _ in range(H)]


def dot(i, x, y):
    if 0 <= x < W and 0 <= y < H:
        px[y][i * W + x] = INK


def glyph(i, rows, x0=4, y0=2):
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c == "#":
                dot(i, x0 + x, y0 + y)


BOLD = ["######  ", " ##  ## ", " ##  ## ", " #####  ", " ##  ## ", " ##  ## ", " ##  ## ", "######  "]
ITALIC = ["  #####", "   ##  ", "   ##  ", "  ##   ", "  ##   ", " ##    ", " ##    ", "#####  "]
UNDER = [" ##  ## ", " ##  ## ", " ##  ## ", " ##  ## ", " ##  ## ", "  ####  ", "        ", "########"]


def lines(i, lengths, align):
    for k, n in enumerate(lengths):
        y = 3 + 2 * k
        x0 = {"left": 2, "centre": (W - n) // 2, "right": W - 2 - n}[align]
        for x in range(x0, x0 + n):
            dot(i, x, y)


glyph(2, BOLD)
glyph(3, ITALIC)
glyph(4, UNDER, y0=3)
lines(5, [12, 8, 12, 6, 10], "left")
lines(6, [12, 8, 12, 6, 10], "centre")
lines(7, [12, 8, 12, 6, 10], "right")

write_bmp24(OUT, px)

#!/usr/bin/env python3
"""Draws the icon desktop's built-in background pictures (resources/res/bg-*.bmp), which the
language libraries carry as resources of the type "BACKGROUND" from 32000 on. Run it after
changing a picture."""
import math
import os

from bmp24 import write_bmp

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "res")
NAVY = (0, 64, 128)


def logo():
    # A light "V" of two strokes on the navy ground, the ground in the corners.
    w, h = 96, 72
    rows = [[NAVY] * w for _ in range(h)]
    for y in range(8, 64):
        t = (y - 8) / 56.0
        for cx in (14 + t * 34, 82 - t * 34):
            for x in range(int(cx) - 4, int(cx) + 5):
                if 0 <= x < w:
                    rows[y][x] = (120, 170, 230)
    return rows


def tiles():
    w = h = 32
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            dark = (x < 16) == (y < 16)
            edge = x in (0, 16) or y in (0, 16)
            row.append((40, 90, 140) if edge else ((20, 70, 120) if dark else (30, 80, 130)))
        rows.append(row)
    return rows


def gradient():
    w = h = 64
    return [[(0, int(40 + 80 * y / (h - 1)), int(90 + 120 * x / (w - 1))) for x in range(w)] for y in range(h)]


def waves():
    w, h = 64, 32
    rows = [[(10, 60, 110)] * w for _ in range(h)]
    for x in range(w):
        y = int(16 + 8 * math.sin(2 * math.pi * x / w))
        for dy in (-1, 0, 1):
            rows[y + dy][x] = (90, 150, 210)
    return rows


for name, rows in (("bg-logo", logo()), ("bg-tiles", tiles()), ("bg-gradient", gradient()), ("bg-waves", waves())):
    write_bmp(os.path.join(OUT, name + ".bmp"), rows)

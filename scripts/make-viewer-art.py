#!/usr/bin/env python3
"""Draws the picture viewer's cursors (zoom, pan, panning) and the large picture window's icon
into resources/res: small line drawings of our own, written as .cur and .ico files."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "res")


def canvas(size):
    return [[None] * size for _ in range(size)]


def disc(img, cx, cy, r, colour, inner=None):
    for y in range(len(img)):
        for x in range(len(img)):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if d <= r:
                img[y][x] = colour
            if inner is not None and d <= r - 2:
                img[y][x] = inner


def line(img, x0, y0, x1, y1, colour, width=1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for dx in range(width):
            for dy in range(width):
                if 0 <= y + dy < len(img) and 0 <= x + dx < len(img):
                    img[y + dy][x + dx] = colour


def rect(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            img[y][x] = colour


BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def magnifier():
    img = canvas(32)
    disc(img, 12, 12, 9, BLACK, WHITE)
    line(img, 18, 18, 28, 28, BLACK, 3)
    line(img, 8, 12, 16, 12, BLACK)
    line(img, 12, 8, 12, 16, BLACK)
    return img, (12, 12)


def arrows(closed):
    img = canvas(32)
    # a four-way arrow: panning; with a filled centre while the picture is being dragged
    line(img, 4, 15, 27, 15, BLACK, 2)
    line(img, 15, 4, 15, 27, BLACK, 2)
    for i in range(5):
        line(img, 4 + i, 15 - i, 4 + i, 16 + i, BLACK)
        line(img, 27 - i, 15 - i, 27 - i, 16 + i, BLACK)
        line(img, 15 - i, 4 + i, 16 + i, 4 + i, BLACK)
        line(img, 15 - i, 27 - i, 16 + i, 27 - i, BLACK)
    if closed:
        disc(img, 15.5, 15.5, 4, BLACK)
    else:
        disc(img, 15.5, 15.5, 4, BLACK, WHITE)
    return img, (15, 15)


def write_cur(path, img, hotspot):
    size = len(img)
    stride = 4  # 32 pixels, 1 bit each
    xor, andm = b"", b""
    for row in reversed(img):
        xbits = abits = 0
        for x, c in enumerate(row):
            bit = 1 << (31 - x)
            if c is None:
                abits |= bit
            elif c == WHITE:
                xbits |= bit
        xor += struct.pack(">I", xbits)
        andm += struct.pack(">I", abits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = header + palette + xor + andm
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1) + entry + data)
    del stride


def picture_icon(size):
    img = canvas(size)
    s = size / 32
    frame, sky, hill, sun = (70, 70, 70), (150, 200, 250), (60, 150, 70), (250, 210, 40)
    rect(img, int(2 * s), int(5 * s), int(30 * s), int(27 * s), frame)
    rect(img, int(4 * s), int(7 * s), int(28 * s), int(25 * s), sky)
    disc(img, 21 * s, 12 * s, 3 * s, sun)
    for y in range(int(7 * s), int(25 * s)):
        for x in range(int(4 * s), int(28 * s)):
            if y > 25 * s - (6 * s) - abs(x - 12 * s) * -0.3 - (8 * s - abs(x - 12 * s)) * 0.9 and y >= 15 * s:
                img[y][x] = hill
    return img


def icon_image(img):
    size = len(img)
    pixels = b""
    for row in reversed(img):
        for c in row:
            pixels += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
    mask_stride = ((size + 31) // 32) * 4
    andm = bytes(mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + pixels + andm


def write_ico(path, images):
    blobs = [icon_image(img) for img in images]
    offset = 6 + 16 * len(blobs)
    head = struct.pack("<HHH", 0, 1, len(blobs))
    for img, blob in zip(images, blobs):
        head += struct.pack("<BBBBHHII", len(img) % 256, len(img) % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(head + b"".join(blobs))


if __name__ == "__main__":
    write_cur(os.path.join(OUT, "viewerzoom.cur"), *magnifier())
    write_cur(os.path.join(OUT, "viewerpan.cur"), *arrows(False))
    write_cur(os.path.join(OUT, "viewerdrag.cur"), *arrows(True))
    write_ico(os.path.join(OUT, "bigimage.ico"), [picture_icon(16), picture_icon(32)])

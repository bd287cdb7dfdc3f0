"""Writes a picture strip as a 24-bit bottom-up BMP, for the scripts that draw toolbar strips."""
import struct


def write_bmp24(path, px):
    """px: rows of (r, g, b) from the top."""
    height, width = len(px), len(px[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for (r, g, b) in px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)

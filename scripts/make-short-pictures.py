#!/usr/bin/env python3
"""Writes pictures of every format the image layer reads whose headers promise far more than
their few bytes hold: a decode must fail (or, for PCX, keep the lines its data can reach)
without allocating the promised picture. They are the fuzz seeds in fuzz/seeds/pictures and
the files of the image layer's peak-memory test.
    make-short-pictures.py DIR"""
import os
import struct
import sys
import zlib

BIG = 16384  # 16384 x 16384 is the layer's cap of 2^28 pixels


def pcx(bits, planes, width, height, bytes_per_line, data=b""):
    header = struct.pack("<BBBBHHHHHH", 10, 5, 1, bits, 0, 0, width - 1, height - 1, 72, 72)
    header += b"\0" * 48 + bytes((0, planes)) + struct.pack("<HH", bytes_per_line, 1)
    return header.ljust(128, b"\0") + data


def psd(channels, rows, columns, mode, rest=b""):
    header = b"8BPS" + struct.pack(">H6xHIIHH", 1, channels, rows, columns, 8, mode)
    return header + struct.pack(">III", 0, 0, 0) + rest


def tga(image_type, depth, width, height, data):
    return struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, width, height, depth, 0x20) + data


def bmp_rle(width, height, compression, bit_count, data):
    palette = b"\0\0\0\0\xff\xff\xff\0"
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, compression, len(data), 0, 0, 2, 0)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + info + palette + data


def png_chunk(kind, data, length=None):
    body = kind + data
    return struct.pack(">I", len(data) if length is None else length) + body + \
        struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, chunks):
    ihdr = png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
    return b"\x89PNG\r\n\x1a\n" + ihdr + chunks


def gif(width, height):
    # No colour table, no image: the trailer right after the screen.
    return b"GIF89a" + struct.pack("<HHBBB", width, height, 0, 0, 0) + b";"


def pict_direct(width, height):
    """A version-2 PICT with one 32-bit direct-bits opcode and no rows."""
    body = struct.pack(">H4h", 0, 0, 0, height, width)  # picture size, frame
    body += b"\x00\x11\x02\xff"  # version 2
    body += b"\x0c\x00" + struct.pack(">hhIIhhhhI", -2, 0, 72 << 16, 72 << 16, 0, 0, height, width, 0)
    body += b"\x00\x9a" + b"\0\0\0\xff"  # direct bits and its base address
    body += struct.pack(">H4hHHIIIHHHHIII", 0x8000, 0, 0, height, width, 0, 4, 0,
                        72 << 16, 72 << 16, 16, 32, 3, 8, 0, 0, 0)
    body += struct.pack(">4h4hH", 0, 0, height, width, 0, 0, height, width, 0)
    return b"\0" * 512 + body


def tiff(width, height, samples, compression, strip):
    """Little-endian TIFF, one strip of the given bytes for the whole picture."""
    entries = []
    extra = b""
    extra_at = 8 + 2 + 11 * 12 + 4

    def entry(tag, kind, count, value):
        entries.append(struct.pack("<HHI", tag, kind, count) + value)

    entry(256, 4, 1, struct.pack("<I", width))
    entry(257, 4, 1, struct.pack("<I", height))
    if samples == 1:
        entry(258, 3, 1, struct.pack("<HH", 8, 0))
    else:
        extra += struct.pack("<" + "H" * samples, *([8] * samples))
        entry(258, 3, samples, struct.pack("<I", extra_at))
    entry(259, 3, 1, struct.pack("<HH", compression, 0))
    entry(262, 3, 1, struct.pack("<HH", 1 if samples == 1 else 2, 0))
    strip_at = extra_at + len(extra)
    entry(273, 4, 1, struct.pack("<I", strip_at))
    entry(277, 3, 1, struct.pack("<HH", samples, 0))
    entry(278, 4, 1, struct.pack("<I", height))
    entry(279, 4, 1, struct.pack("<I", len(strip)))
    entry(284, 3, 1, struct.pack("<HH", 1, 0))
    entry(296, 3, 1, struct.pack("<HH", 2, 0))
    ifd = struct.pack("<H", len(entries)) + b"".join(entries) + struct.pack("<I", 0)
    return b"II*\0" + struct.pack("<I", 8) + ifd + extra + strip


def jpeg(width, height):
    """Baseline, three components, tables and a scan header but no coded data."""
    def segment(marker, data):
        return bytes((0xFF, marker)) + struct.pack(">H", len(data) + 2) + data

    out = b"\xff\xd8"
    out += segment(0xDB, b"\x00" + bytes([1] * 64))
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00")
    one_code = bytes([1] + [0] * 15) + b"\x00"  # one code of one bit: symbol 0
    out += segment(0xC4, b"\x00" + one_code + b"\x10" + one_code)
    out += segment(0xDA, b"\x03\x01\x00\x02\x00\x03\x00\x00\x3f\x00")
    return out + b"\xff\xd9"


PICTURES = {
    # Run-length formats: the data can expand to a line or two, not to the picture.
    "pcx-no-data.pcx": pcx(8, 3, BIG, BIG, BIG),
    "pcx-one-line.pcx": pcx(8, 1, BIG, BIG, BIG, b"\xff\x07" * 10),
    "psd-no-rows.psd": psd(3, BIG, BIG, 3),
    "psd-short-rows.psd": psd(1, 2, 1 << 27, 1, struct.pack(">HHH", 1, 2, 2) + b"\x81\x00" * 2),
    "tga-rle-true.tga": tga(10, 32, BIG, BIG, b"\xff\x01\x02\x03\x04"),
    "tga-rle-gray.tga": tga(11, 8, BIG, BIG, b"\xff\x80"),
    "bmp-rle8-one-line.bmp": bmp_rle(BIG, BIG, 1, 8, b"\xff\x01\x00\x00"),
    "bmp-rle4-one-line.bmp": bmp_rle(BIG, BIG, 2, 4, b"\xff\x10\x00\x00"),
    "pict-direct-no-rows.pict": pict_direct(BIG, BIG),
    # One sample a number: the numbers are not there.
    "ppm-ascii.ppm": b"P3 16384 16384 255\n",
    "pgm-ascii.pgm": b"P2 16384 16384 255\n1 2 3\n",
    # The libraries' formats.
    "png-ztxt.png": png(1, 1, png_chunk(b"zTXt", b"", length=0x3FFFFFFF)),
    "png-short-idat.png": png(BIG, BIG, png_chunk(b"IDAT", zlib.compress(b"\0" * 64)) + png_chunk(b"IEND", b"")),
    "gif-screen-only.gif": gif(65535, 4096),
    "tiff-gray-one-byte.tif": tiff(BIG, BIG, 1, 1, b"\x80"),
    "tiff-rgb-deflate.tif": tiff(BIG, BIG, 3, 8, zlib.compress(b"\0" * 64)),
    "jpeg-no-scan.jpg": jpeg(BIG, BIG),
}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, data in PICTURES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws the form frames' toolbar strips (frame/res/*.bmp): simple pictograms on a magenta
background, which the image lists take as transparent. Run it after changing a picture."""
import os
import struct

KEY = (255, 0, 255)
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "frame", "res")


class Icon:
    def __init__(self, size):
        self.n = size
        # Strokes of a master drawn at twice the largest size are twice as thick.
        self.t = max(1, size // 24)
        self.px = [[KEY] * size for _ in range(size)]

    def dot(self, x, y, c):
        if 0 <= x < self.n and 0 <= y < self.n:
            self.px[y][x] = c

    def box(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = min(x - x0, x1 - x, y - y0, y1 - y) < self.t
                if edge:
                    self.dot(x, y, c)
                elif fill:
                    self.dot(x, y, fill)

    def line(self, x0, y0, x1, y1, c, w=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dy in range(self.t):
                for d in range(w * self.t):
                    self.dot(x + d, y + dy, c)

    def ring(self, cx, cy, r, c, fill=None):
        for y in range(self.n):
            for x in range(self.n):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if abs(d - r) < 0.7 * self.t:
                    self.dot(x, y, c)
                elif fill and d < r:
                    self.dot(x, y, fill)


INK = (40, 40, 40)
PAPER = (255, 255, 255)
BLUE = (30, 90, 200)
GREEN = (20, 140, 40)
RED = (200, 30, 30)
GOLD = (220, 170, 30)


def page(i, s, fold=True):
    i.box(s // 5, s // 8, s - s // 4, s - s // 8, INK, PAPER)
    if fold:
        i.line(s - s // 4 - s // 5, s // 8, s - s // 4, s // 8 + s // 5, INK)


def picture(kind, s, accent):
    i = Icon(s)
    m = s // 2
    if kind == "new":
        page(i, s)
        i.line(m - s // 8, m, m + s // 8, m, accent, 2)
        i.line(m, m - s // 8, m, m + s // 8, accent, 2)
    elif kind == "search":
        i.ring(m - s // 8, m - s // 8, s // 4, INK, PAPER)
        i.line(m + s // 8, m + s // 8, s - 3, s - 3, accent, 2)
    elif kind == "tools":
        i.ring(m, m, s // 3, accent, None)
        i.ring(m, m, s // 6, accent, accent)
        for dx, dy in ((0, -1), (0, 1), (-1, 0), (1, 0)):
            i.line(m + dx * s // 3, m + dy * s // 3, m + dx * (s // 2 - 1), m + dy * (s // 2 - 1), accent, 2)
    elif kind == "copy":
        i.box(2, 2, m + 2, m + 4, INK, PAPER)
        i.box(m - 2, m - 2, s - 3, s - 3, accent, PAPER)
    elif kind == "paste":
        i.box(3, 4, s - 4, s - 2, INK, GOLD)
        i.box(m - 1, m - 1, s - 2, s - 1, accent, PAPER)
    elif kind == "close":
        i.line(3, 3, s - 4, s - 4, accent, 2)
        i.line(s - 4, 3, 3, s - 4, accent, 2)
    elif kind == "ok":
        i.line(3, m, m - 1, s - 4, accent, 2)
        i.line(m - 1, s - 4, s - 3, 3, accent, 2)
    elif kind == "print":
        i.box(3, m - 2, s - 4, s - 4, INK, (200, 200, 200))
        i.box(m - s // 4, 2, m + s // 4, m - 2, INK, PAPER)
        i.box(m - s // 4, m + 2, m + s // 4, s - 2, INK, PAPER)
        i.dot(s - 6, m, accent)
    elif kind == "menu":
        for k in range(3):
            y = s // 4 + k * s // 4
            i.line(3, y, s - 4, y, accent, 1)
            i.line(3, y + 1, s - 4, y + 1, accent, 1)
    elif kind == "page":
        page(i, s)
        for k in range(3):
            # Three lines a line apart (3 pixels at the page's own sizes).
            y = s // 3 + k * max(3, s // 8)
            i.line(s // 5 + 2, y, s - s // 4 - 2, y, accent)
    elif kind == "star":
        i.line(m, 2, m, s - 3, accent, 2)
        i.line(2, m, s - 3, m, accent, 1)
        i.line(4, 4, s - 5, s - 5, accent)
        i.line(s - 5, 4, 4, s - 5, accent)
    elif kind in ("first", "prev", "next", "last"):
        # Arrow heads pointing left or right, with a stop bar for first and last.
        right = kind in ("next", "last")
        tip, base = (s - 5, 5) if right else (4, s - 6)
        for k in range(s // 3 + 1):
            x = base + (k if right else -k)
            i.line(x, m - (s // 3 - k), x, m + (s // 3 - k), accent)
        if kind in ("first", "last"):
            x = tip + (1 if right else -1)
            i.line(x, m - s // 3, x, m + s // 3, INK, 2 if right else 1)
            if not right:
                i.line(x - 1, m - s // 3, x - 1, m + s // 3, INK)
    elif kind in ("zoomin", "zoomout"):
        i.ring(m - 1, m - 1, s // 3, INK, PAPER)
        i.line(m + s // 5, m + s // 5, s - 2, s - 2, INK, 2)
        i.line(m - s // 6 - 1, m - 1, m + s // 6 - 1, m - 1, accent)
        if kind == "zoomin":
            i.line(m - 1, m - s // 6 - 1, m - 1, m + s // 6 - 1, accent)
    elif kind == "lock":
        i.ring(m, m - s // 6, s // 5, INK, None)
        i.box(s // 4, m - 1, s - s // 4 - 1, s - 3, INK, accent)
    elif kind == "tree":
        # A folder tree: a root box with two branches.
        i.box(2, 2, m - 1, m // 2 + 1, INK, GOLD)
        i.line(s // 4, m // 2 + 2, s // 4, s - s // 4, INK)
        for y in (m + 1, s - s // 4):
            i.line(s // 4, y, m, y, INK)
            i.box(m, y - s // 8, s - 3, y + s // 8, accent, PAPER)
    elif kind == "module":
        # Three stacked blocks: the program's parts.
        for k in range(3):
            y0 = 2 + k * (s - 4) // 3
            y1 = 2 + (k + 1) * (s - 4) // 3 - 3
            x0 = 2 + (2 - k) * s // 10
            i.box(x0, y0, x0 + s // 2, y1, INK, accent if k == 1 else PAPER)
    elif kind == "cut":
        i.ring(m - s // 5, s - s // 4, s // 7, accent, None)
        i.ring(m + s // 5, s - s // 4, s // 7, accent, None)
        i.line(m - s // 6, s - s // 3, m + s // 5, 2, INK)
        i.line(m + s // 6, s - s // 3, m - s // 5, 2, INK)
    else:  # a plain round mark
        i.ring(m, m, s // 3, INK, accent)
    return i


def reduced(master, size):
    """The master picture at a whole fraction of its size: in each block the darkest colour
    that is not the key wins, so that outlines and thin lines survive."""
    f = master.n // size
    icon = Icon(size)
    for y in range(size):
        for x in range(size):
            block = [master.px[y * f + dy][x * f + dx] for dy in range(f) for dx in range(f)]
            drawn = [c for c in block if c != KEY]
            icon.px[y][x] = min(drawn, key=sum) if drawn else KEY
    return icon


def strip(name, size, kinds, tone, out=None, master=None):
    icons = [reduced(picture(k, master, tone(k)), size) if master else picture(k, size, tone(k))
             for k in kinds]
    w, h = size * len(icons), size
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for icon in icons:
            for x in range(size):
                r, g, b = icon.px[y][x]
                line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(out or OUT, name), "wb") as f:
        f.write(header + info + data)


def grey(k):
    return (150, 150, 150)


KEYS = ["new", "search", "tools", "copy", "paste", "page", "print", "ok", "close", "menu", "star",
        "mark", "new", "search", "tools", "copy"]
COLOURS = {"close": RED, "ok": GREEN, "print": BLUE, "menu": BLUE}

strip("fkeys.bmp", 24, KEYS, lambda k: COLOURS.get(k, BLUE))
strip("fkeyshot.bmp", 24, KEYS, lambda k: GOLD if k not in COLOURS else COLOURS[k])

# The print preview's bar, in the language libraries: print, printer, first, previous, next,
# last, zoom in, zoom out, close.
PREVIEW = ["print", "tools", "first", "prev", "next", "last", "zoomin", "zoomout", "close"]
LANG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "res")
strip("preview.bmp", 16, PREVIEW, lambda k: COLOURS.get(k, BLUE), LANG)
strip("previewdis.bmp", 16, PREVIEW, grey, LANG)


def cursor(name, icon, hot):
    """A 32x32 monochrome cursor: key pixels transparent, dark pixels black, others white."""
    n = icon.n
    xor, mask = bytearray(), bytearray()
    for y in range(n - 1, -1, -1):
        xb, mb = 0, 0
        xrow, mrow = bytearray(), bytearray()
        for x in range(n):
            c = icon.px[y][x]
            key = c == KEY
            light = sum(c) > 384
            xb = (xb << 1) | (1 if (not key and light) else 0)
            mb = (mb << 1) | (1 if key else 0)
            if x % 8 == 7:
                xrow.append(xb)
                mrow.append(mb)
                xb = mb = 0
        xor += xrow
        mask += mrow
    info = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + bytes(xor) + bytes(mask)
    head = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", n, n, 0, 0, hot[0], hot[1], len(image), 22)
    with open(os.path.join(LANG, name), "wb") as f:
        f.write(head + image)


# The main frame's button bar and the modal window's toolbar share one numbering: log-in, lock,
# cut, copy, paste, menu tree, close, F2, save, (unused), manual, print, message, web, module,
# form functions. The large (24) and small (16) pictures come from one master of 48 pixels, so
# that each small one is its large one's twin.
BAR = ["new", "lock", "cut", "copy", "paste", "tree", "close", "star", "ok", "mark", "search", "print",
       "page", "tools", "module", "menu"]
for size, normal, hot, disabled in ((24, "bar.bmp", "barhot.bmp", "bardis.bmp"),
                                    (16, "modal.bmp", "modalhot.bmp", "modaldis.bmp")):
    strip(normal, size, BAR, lambda k: COLOURS.get(k, BLUE), master=48)
    strip(hot, size, BAR, lambda k: GOLD if k not in COLOURS else COLOURS[k], master=48)
    strip(disabled, size, BAR, grey, master=48)


def band(name, width, height):
    """The rebar bands' background: a soft light gradient from top to bottom."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        v = 250 - (y * 22) // max(height - 1, 1)
        line = bytes((min(v + 4, 255), v, v)) * width
        data += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + info + data)


band("band.bmp", 8, 64)

# The preview page's cursor: a magnifier (a click zooms).
glass = picture("zoomin", 32, INK)
cursor("zoom.cur", glass, (15, 15))

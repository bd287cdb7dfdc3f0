#!/usr/bin/env python3
"""Draws the record explorer's toolbar strips (tools/res/explorerbar*.bmp): five 16x16 pictures
on a magenta background (swap the hierarchy, barcode scan, the server's actions, stretch, fit),
once each in the normal, hot and disabled ink. Run it after changing a picture."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmpstrip import write_bmp24  # noqa: E402

W = H = 16
N = 5
KEY = (255, 0, 255)
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tools", "res")

SWAP = ["   #        ", "  ###       ", " # # #      ", "   #        ", "   #    #   ",
        "   #    #   ", "   #    #   ", "        #   ", "      # # # ", "       ###  ", "        #   "]
BARCODE = ["# ## # ### # #", "# ## # ### # #", "# ## # ### # #", "# ## # ### # #", "# ## # ### # #",
           "# ## # ### # #", "# ## # ### # #", "# ## # ### # #", "# ## # ### # #"]
ACTIONS = ["##  ########", "##  ########", "            ", "##  ########", "##  ########", "            ",
           "##  ########", "##  ########", "            ", "     #######", "      ##### ", "       ###  ",
           "        #   "]
STRETCH = ["#####       ", "##          ", "# #         ", "#  #        ", "#   #       ", "     #      ",
           "      #     ", "       #   #", "        #  #", "         # #", "          ##", "       #####"]
FIT = ["###      ###", "#          #", "#          #", "   ######   ", "   #    #   ", "   #    #   ",
       "   #    #   ", "   #    #   ", "   ######   ", "#          #", "#          #", "###      ###"]


def strip(ink):
    px = [[KEY] * (W * N) for _ in range(H)]
    for i, rows in enumerate([SWAP, BARCODE, ACTIONS, STRETCH, FIT]):
        y0 = (H - len(rows)) // 2
        x0 = (W - max(len(r) for r in rows)) // 2
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                if c == "#":
                    px[y0 + y][i * W + x0 + x] = ink
    return px


def write(name, px):
    write_bmp24(os.path.join(OUT, name), px)


write("explorerbar.bmp", strip((30, 30, 30)))
write("explorerbarhot.bmp", strip((0, 70, 200)))
write("explorerbardis.bmp", strip((150, 150, 150)))

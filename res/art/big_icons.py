"""The 55 x 41 main tool-bar pictures and the 32 x 32 Read CD list pictures."""
from prims import *

MW, MH = 55, 41


def _jewel_front(d, x0, y0, s):
    rect(d, x0, y0, x0 + s, y0 + s, G0)
    rect(d, x0 + 2, y0 + 2, x0 + s - 2, y0 + s - 2, BLUE)
    # cover art: a yellow sun over light blue waves
    c = s // 2
    d.ellipse([x0 + c - 6, y0 + 6, x0 + c + 6, y0 + 18], fill=YELLOW, outline=OUT)
    for k in range(3):
        y = y0 + 22 + k * 4
        line(d, [(x0 + 5, y), (x0 + s - 5, y)], LBLUE, 2)


def _jewel_back(d, x0, y0, w, h):
    rect(d, x0, y0, x0 + w, y0 + h, G0)
    rect(d, x0, y0, x0 + 3, y0 + h, LBLUE)
    rect(d, x0 + w - 3, y0, x0 + w, y0 + h, LBLUE)
    for k in range(6):
        y = y0 + 5 + k * 5
        line(d, [(x0 + 7, y), (x0 + w - 7 - (k % 3) * 4, y)], G4)


def _case(d, x0, y0, w, h, front):
    # a tall DVD-style case with its clear sleeve edge on the left
    rect(d, x0, y0, x0 + w, y0 + h, G2)
    if front:
        rect(d, x0 + 3, y0 + 1, x0 + w - 1, y0 + h - 1, BLUE, out=BLUE)
        d.ellipse([x0 + w // 2 - 4, y0 + 6, x0 + w // 2 + 6, y0 + 16], fill=YELLOW, outline=OUT)
        for k in range(3):
            y = y0 + 21 + k * 4
            line(d, [(x0 + 6, y), (x0 + w - 4, y)], LBLUE, 2)
    else:
        rect(d, x0 + 3, y0 + 1, x0 + w - 1, y0 + h - 1, G0, out=G0)
        for k in range(6):
            y = y0 + 6 + k * 5
            line(d, [(x0 + 6, y), (x0 + w - 4 - (k % 2) * 4, y)], G4)
    rect(d, x0, y0, x0 + w, y0 + h, None)
    line(d, [(x0 + 2, y0 + 1), (x0 + 2, y0 + h - 1)], G3)


def _pips(d, x, y, n, col):
    for k in range(n):
        ell(d, x + k * 7, y, x + k * 7 + 5, y + 5, col)


def main_icon(i):
    img, d = new(MW, MH)
    cx, cy = 27, 20
    if i == 0:
        _jewel_front(d, 11, 2, 35)
    elif i == 1:
        _jewel_back(d, 6, 3, 42, 34)
    elif i == 2:
        disc(d, cx, cy, 18, hole=4)
    elif i in (3, 4):
        magnifier(d, 12, 3, 34, "-" if i == 3 else "+")
    elif i == 5:  # read CD: disc and an arrow into a track list
        disc(d, 17, 18, 15, hole=3)
        page(d, 32, 8, 52, 38, fold=5, lines=8, gap=3)
        arrow(d, 24, 28, 38, 28, GREEN, 3, 4)
    elif i == 6:  # guides
        page(d, 9, 1, 45, 39, fold=0)
        for x in (17, 37):
            for y in range(2, 39, 4):
                line(d, [(x, y), (x, y + 1)], BLUE)
        for y in (10, 30):
            for x in range(10, 45, 4):
                line(d, [(x, y), (x + 1, y)], BLUE)
    elif i == 7:  # insert an object
        page(d, 9, 1, 37, 39, fold=7, lines=7, gap=4)
        rect(d, 33, 18, 37, 38, GREEN)
        rect(d, 25, 26, 45, 30, GREEN)
        line(d, [(34, 19), (34, 37)], GREEN)
        d.rectangle([34, 19, 36, 37], fill=GREEN)
        d.rectangle([26, 27, 44, 29], fill=GREEN)
    elif i == 8:
        curved_arrow(d, (14, 6, 46, 38), 180, 20, BLUE, 5, 6, True)
    elif i == 9:
        return main_icon(8).transpose(Image.FLIP_LEFT_RIGHT)
    elif i == 10:
        disc(d, cx, cy, 18, hole=4)
        _pips(d, 42, 33, 1, BLUE)
    elif i == 11:
        disc(d, 21, 20, 16, hole=3, label=mix(ORANGE, WHITE, 0.3))
        disc(d, 35, 20, 16, hole=3, label=mix(ORANGE, WHITE, 0.3))
        _pips(d, 42, 34, 2, ORANGE)
        d.rectangle([41, 33, 55, 40], fill=CLEAR)
        _pips(d, 41, 34, 2, ORANGE)
    elif i == 12:
        printer(d, 9, 2, 45, 38)
    elif i == 13:
        _case(d, 14, 1, 27, 38, False)
    elif i == 14:
        _case(d, 14, 1, 27, 38, True)
    elif i == 15:  # LightScribe print: disc with the laser drawing on its label
        disc(d, cx, cy + 1, 18, hole=4, label=mix(ORANGE, WHITE, 0.55))
        d.arc([cx - 11, cy - 10, cx + 11, cy + 12], 200, 330, fill=OUT, width=2)
        line(d, [(cx + 9, cy - 4), (cx + 22, cy - 19)], RED, 2)
        d.polygon([(cx + 22, cy - 20), (cx + 26, cy - 20), (cx + 26, cy - 16)], fill=RED, outline=OUT)
    else:
        raise KeyError(i)
    return img


MAIN_TEXT = [
    "32800 Show the Front Cover (jewel case)", "32801 Show the Back Cover (jewel case)",
    "32802 Show the Disc Label", "32799 Zoom Out", "32803 Zoom In", "32828 Read CD", "32798 Guides",
    "32997 Insert", "57643 Undo", "57644 Redo", "32802 Disc Label (first of two discs)",
    "32865 Second Disc", "57607 Print", "32801 Back Cover (DVD or Blu-ray case)",
    "32800 Front Cover (DVD or Blu-ray case)", "33022 LightScribe Print",
]
MAIN_SHOWS = [
    "square booklet with blue art and a sun", "tray card with two spines and track lines",
    "compact disc", "magnifier with minus", "magnifier with plus",
    "disc, green arrow into a track list", "page with blue dashed guides", "page with a green plus",
    "blue arrow curving back to the left", "blue arrow curving on to the right",
    "disc with one blue dot", "two discs with two orange dots", "printer", "tall case, back with lines",
    "tall case, front with blue art", "disc with a laser drawing on its label",
]


def readcd_icon(i):
    img, d = new(32, 32)
    if i == 0:  # a match from the disc database: disc with a globe beside it
        disc(d, 13, 13, 12, hole=2.5)
        ell(d, 17, 17, 31, 31, LBLUE)
        d.arc([20, 17, 28, 31], 0, 360, fill=BLUE)
        line(d, [(18, 24), (30, 24)], BLUE)
        line(d, [(24, 18), (24, 30)], BLUE)
    elif i == 1:  # a match from the disc's own text or the CD player file: disc with a page
        disc(d, 13, 13, 12, hole=2.5)
        page(d, 17, 12, 30, 31, fold=4, lines=5, gap=3, linecol=BLUE)
    elif i == 2:  # a CD drive
        rect(d, 1, 12, 30, 25, G2)
        line(d, [(2, 13), (29, 13)], G1)
        rect(d, 4, 16, 24, 19, G1)
        rect(d, 26, 20, 28, 22, GREEN)
        disc(d, 14, 9, 8, hole=1.5)
        d.rectangle([5, 17, 23, 18], fill=G3)
    elif i == 3:  # nothing found
        disc(d, 13, 13, 12, hole=2.5)
        ell(d, 17, 17, 31, 31, YELLOW)
        glyph(d, 21, 19, [" ### ", "#   #", "    #", "  ## ", "  #  ", "     ", "  #  "], OUT)
        glyph(d, 22, 19, ["  ", "   ", "   #", " #", " #", "", " #"], OUT)
    elif i == 4:  # MP3 files
        page(d, 5, 1, 26, 30, fold=6)
        line(d, [(13, 21), (13, 9), (21, 7), (21, 19)], OUT, 2)
        ell(d, 9, 19, 13, 23, OUT)
        ell(d, 17, 17, 21, 21, OUT)
    return img


READCD_TEXT = ["match from the disc database", "match from CD-TEXT or the CD player file",
               "CD drive", "album not found", "MP3 files"]

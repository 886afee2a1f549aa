"""The 19 x 19 pictures: option buttons, slider thumbs, custom colour, formatting bar."""
import math
from prims import *

S = 19


def _lines(d, x0, x1, ys, col=G3):
    for y in ys:
        line(d, [(x0, y), (x1, y)], col)


def _disc_layout(d, where):
    """A disc with its track lines placed on one side (track-list layouts of the disc page)."""
    disc(d, 9, 9, 9, label=G0, face=G0, hole=1.5, shine=False)
    c = BLUE
    if where == "left":
        _lines(d, 3, 6, (6, 8, 10, 12), c)
    elif where == "right":
        _lines(d, 12, 15, (6, 8, 10, 12), c)
    elif where == "top":
        _lines(d, 5, 13, (3, 5), c)
    elif where == "bottom":
        _lines(d, 5, 13, (13, 15), c)
    elif where == "topbottom":
        _lines(d, 5, 13, (3, 15), c)
        _lines(d, 6, 12, (4, 14), c)
    elif where == "twocols":
        _lines(d, 3, 6, (6, 8, 10, 12), c)
        _lines(d, 12, 15, (6, 8, 10, 12), c)


def _angle(d, deg):
    # a line of text (grey bars) with an arrow showing the reading direction
    a = math.radians(-deg)
    cx, cy = 9, 9
    dx, dy = math.cos(a), math.sin(a)
    x0, y0 = cx - dx * 7, cy - dy * 7
    x1, y1 = cx + dx * 8, cy + dy * 8
    arrow(d, round(x0), round(y0), round(x1), round(y1), BLUE, 3, 4)
    # a baseline mark at the start so 0 and 180 differ in more than the head
    nx, ny = -dy, dx
    line(d, [(round(x0 - nx * 4), round(y0 - ny * 4)), (round(x0 + nx * 4), round(y0 + ny * 4))], OUT, 2)


def _track_rows(d, numbers, times, text=True):
    for i, y in enumerate((3, 7, 11, 15)):
        x = 2
        if numbers:
            rect(d, 1, y - 1, 3, y + 1, ORANGE)
            x = 5
        xe = 17
        if times:
            rect(d, 13, y - 1, 17, y + 1, LBLUE)
            xe = 11
        if text:
            line(d, [(x, y), (xe, y)], G4)


def _margin(d, m):
    """A label with its text block moved in by a margin of m pixels (shaded red)."""
    rect(d, 1, 1, 17, 17, G0)
    if m:
        shade = mix(RED, WHITE, 0.55)
        d.rectangle([2, 2, 16, 1 + m], fill=shade)
        d.rectangle([2, 17 - m, 16, 16], fill=shade)
        d.rectangle([2, 2, 1 + m, 16], fill=shade)
        d.rectangle([17 - m, 2, 16, 16], fill=shade)
    y = 3 + m
    while y <= 15 - m:
        line(d, [(2 + m, y), (16 - m, y)], G4)
        y += 2


def _disc_position(d, top, bottom, col):
    """A page with two disc places; the filled ones are where the disc goes."""
    rect(d, 3, 0, 15, 18, G0)
    for cy, on in ((5, top), (13, bottom)):
        if on:
            disc(d, 9, cy, 4, label=None, face=col, hole=1, shine=False)
        else:
            d.ellipse([5, cy - 4, 13, cy + 4], outline=G2)


def _chain(d, broken):
    col = RED if broken else GREEN
    if broken:
        for (x0, y0) in ((0, 8), (10, 3)):
            d.rounded_rectangle([x0, y0, x0 + 8, y0 + 6], 3, outline=OUT, width=3)
            d.rounded_rectangle([x0 + 1, y0 + 1, x0 + 7, y0 + 5], 2, outline=G4, width=1)
        line(d, [(8, 3), (10, 1)], RED, 1)
        line(d, [(8, 15), (10, 17)], RED, 1)
        line(d, [(9, 9), (9, 9)], RED)
    else:
        for (x0, y0) in ((0, 7), (9, 5)):
            d.rounded_rectangle([x0, y0, x0 + 9, y0 + 6], 3, outline=OUT, width=3)
            d.rounded_rectangle([x0 + 1, y0 + 1, x0 + 8, y0 + 5], 2, outline=col, width=1)


def _wheel(d, active):
    cols = [RED, ORANGE, YELLOW, GREEN, (0x3A, 0xA8, 0xB0, 255), BLUE, (0x7E, 0x4F, 0xB3, 255), (0xC8, 0x4F, 0x9A, 255)]
    for i, c in enumerate(cols):
        if not active:
            g = int(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2])
            g = 150 + (g - 128) // 4
            c = (g, g, g, 255)
        d.pieslice([1, 1, 17, 17], i * 45 - 90, (i + 1) * 45 - 90, fill=c)
    d.ellipse([1, 1, 17, 17], outline=OUT if active else G3)
    d.ellipse([6, 6, 12, 12], fill=WHITE, outline=OUT if active else G3)


def _thumb(d, hot):
    body = mix(BLUE, WHITE, 0.25) if hot else G1
    poly(d, [(4, 1), (14, 1), (14, 12), (9, 17), (4, 12)], body)
    line(d, [(5, 2), (13, 2)], WHITE)
    for x in (7, 9, 11):
        line(d, [(x, 5), (x, 10)], OUT if hot else G3)


def tool19(i):
    img, d = new(S, S)
    if i <= 5:
        _disc_layout(d, ["left", "right", "top", "bottom", "topbottom", "twocols"][i])
    elif i <= 9:
        _angle(d, [0, 90, 270, 180][i - 6])
    elif i <= 13:
        _track_rows(d, *[(True, True), (True, False), (False, True), (False, False)][i - 10])
    elif i == 14:  # multi-line
        _lines(d, 2, 16, (4, 8, 12), G4)
        _lines(d, 2, 10, (16,), G4)
        poly(d, [(13, 14), (16, 16), (13, 18)], BLUE)
    elif i == 15:  # word wrap
        _lines(d, 1, 12, (3,), G4)
        _lines(d, 1, 8, (15,), G4)
        d.arc([9, 3, 17, 11], 270, 90, fill=OUT, width=3)
        d.arc([10, 4, 16, 10], 270, 90, fill=BLUE, width=1)
        line(d, [(13, 11), (9, 11)], OUT, 3)
        line(d, [(13, 11), (10, 11)], BLUE, 1)
        poly(d, [(6, 11), (9, 8), (9, 14)], BLUE)
    elif i == 16:  # track wrap: two columns, the first flows into the second
        _lines(d, 1, 7, (2, 5, 8, 11, 14), G4)
        _lines(d, 11, 17, (2, 5, 8), G4)
        line(d, [(7, 16), (9, 16), (9, 3)], BLUE)
        poly(d, [(9, 0), (12, 3), (6, 3)], BLUE)
    elif i == 17:  # table format
        rect(d, 1, 2, 17, 16, G0)
        rect(d, 1, 2, 17, 5, LBLUE)
        for y in (9, 12):
            line(d, [(2, y), (16, y)], G2)
        for x in (6, 12):
            line(d, [(x, 3), (x, 15)], OUT)
    elif i == 18:  # one column
        rect(d, 3, 0, 15, 18, G0)
        _lines(d, 5, 13, (3, 6, 9, 12, 15), G4)
    elif i == 19:
        _chain(d, False)
    elif i == 20:
        _chain(d, True)
    elif i == 21:  # two columns
        rect(d, 1, 0, 17, 18, G0)
        _lines(d, 3, 8, (3, 6, 9, 12, 15), G4)
        _lines(d, 10, 15, (3, 6, 9, 12), G4)
    elif i == 22:  # set as background: picture filling the page behind a text line
        picture(d, 0, 1, 18, 17)
        rect(d, 3, 6, 15, 10, G0)
        line(d, [(5, 8), (13, 8)], G4)
    elif i == 23:  # bring to front
        rect(d, 0, 0, 10, 10, G2)
        rect(d, 6, 6, 18, 18, BLUE)
        line(d, [(7, 7), (17, 7)], LBLUE)
    elif i == 24:
        padlock(d, 3, 1, 15, 17, False)
    elif i == 25:
        padlock(d, 1, 1, 13, 17, True)
    elif i == 26:
        _disc_position(d, True, True, LBLUE)
    elif i == 27:
        _disc_position(d, True, False, LBLUE)
    elif i == 28:
        _disc_position(d, False, True, LBLUE)
    elif 29 <= i <= 32:
        _margin(d, [0, 2, 3, 4][i - 29])
    elif i == 33:  # change label template: sheet with places and a refresh arrow
        rect(d, 0, 0, 14, 16, G0)
        rect(d, 2, 2, 7, 7, LBLUE)
        disc(d, 10, 11, 3, label=None, hole=1, shine=False)
        rect(d, 2, 10, 6, 14, LBLUE)
        d.arc([10, 1, 18, 9], 90, 360, fill=OUT, width=3)
        d.arc([11, 2, 17, 8], 90, 360, fill=GREEN, width=1)
        poly(d, [(18, 2), (18, 6), (14, 6)], GREEN)
    elif i == 34:  # spare: text properties (page with a pencil)
        page(d, 1, 0, 13, 18, fold=4, lines=5)
        line(d, [(16, 4), (8, 14)], OUT, 4)
        line(d, [(16, 4), (8, 14)], YELLOW, 2)
        px(d, 7, 16, OUT)
    elif i == 35:  # single line
        line(d, [(4, 9), (14, 9)], G4, 1)
        poly(d, [(0, 9), (4, 5), (4, 13)], BLUE)
        poly(d, [(18, 9), (14, 5), (14, 13)], BLUE)
        line(d, [(5, 7), (13, 7)], G4)
        line(d, [(5, 11), (13, 11)], G4)
    elif i == 36:  # edit dimensions: box with width and height arrows
        rect(d, 0, 0, 12, 12, LBLUE)
        for (a, b) in (((1, 16), (11, 16)), ((16, 1), (16, 11))):
            line(d, [a, b], OUT)
        poly(d, [(0, 16), (3, 13), (3, 19)], OUT)
        poly(d, [(12, 16), (9, 13), (9, 19)], OUT)
        poly(d, [(16, 0), (13, 3), (19, 3)], OUT)
        poly(d, [(16, 12), (13, 9), (19, 9)], OUT)
    elif i == 37:
        _thumb(d, False)
    elif i == 38:
        _thumb(d, True)
    elif i == 39:
        _wheel(d, True)
    elif i == 40:
        _wheel(d, False)
    elif i == 41:
        _disc_position(d, True, False, ORANGE)
    elif i == 42:
        _disc_position(d, False, True, ORANGE)
    elif i == 43:
        _disc_position(d, True, True, ORANGE)
    else:
        raise KeyError(i)
    return img


TOOL_STRIP_TEXT = [
    "32968 Left Side (track list on the disc)", "32969 Right Side", "32970 Top", "32971 Bottom",
    "32972 Top & Bottom", "32973 2 Columns (disc)", "32962 0 degrees", "32963 90 degrees",
    "32965 270 degrees", "32964 180 degrees", "32977 Track Numbers & Times", "32975 Track Numbers",
    "32974 Track Times", "32976 Text Only", "32980 Multi-Line", "32981 Word-Wrap", "32791 Track-Wrap",
    "32985 Table Format", "32983 1 Column", "32978 Text Linking On", "32979 Text Linking Off",
    "32984 2 Columns (cover)", "32954 Set as Background", "32953 Bring to Front",
    "32966 Lock Aspect Ratio", "32967 Unlock Aspect Ratio", "33011 Disc 1 - Duplicate / 33025 2 Discs",
    "32989 Disc 1 - Top / 1 Disc", "32990 Disc 1 - Bottom", "32993 0.00'' (0.0 mm) Text Margin",
    "32994 0.05'' (1.3 mm) Text Margin", "32995 0.10'' (2.5 mm) Text Margin",
    "32996 0.15'' (3.8 mm) Text Margin", "32987 Change Label Template", "spare (text properties)",
    "33013 Single-Line", "33017 Edit Dimensions", "slider thumb", "slider thumb, hot or dragged",
    "33000 Custom Color", "33000 Custom Color, inactive", "33025 Disc 2 - Top",
    "33026 Disc 2 - Bottom", "33028 Disc 2 - Duplicate",
]

TOOL_STRIP_SHOWS = [
    "disc with track lines on its left", "disc with track lines on its right",
    "disc with track lines at the top", "disc with track lines at the bottom",
    "disc with track lines at top and bottom", "disc with two columns of track lines",
    "arrow reading to the right", "arrow reading upwards", "arrow reading downwards",
    "arrow reading to the left", "rows: orange number, line, blue time", "rows: orange number and line",
    "rows: line and blue time", "rows: lines only", "paragraph of lines with return mark",
    "line wrapping round the right edge", "first column flowing into the second",
    "table with blue header row", "page with one column of lines", "joined green chain",
    "broken chain with red gap", "page with two columns of lines",
    "picture filling the page behind a text line", "blue square on top of a grey one",
    "closed padlock", "open padlock", "page with both disc places filled (blue)",
    "page with the upper disc place filled (blue)", "page with the lower disc place filled (blue)",
    "text block without margin", "text block with narrow red margin", "text block with wider margin",
    "text block with widest margin", "sheet of label places with a green turn arrow",
    "page with a pencil", "one line between two arrow heads", "box with width and height arrows",
    "grey slider pointer", "blue slider pointer", "colour wheel", "grey colour wheel",
    "page with the upper disc place filled (orange)", "page with the lower disc place filled (orange)",
    "page with both disc places filled (orange)",
]


def format19(i, hot):
    """Formatting-bar pictures: bold, italic, underline, alignments; 3..5 and 9..11 are the active looks."""
    img, d = new(S, S)
    base = i % 3 if i < 6 else (i - 6) % 3 + 6
    active = (3 <= i <= 5) or (9 <= i <= 11)
    if active:
        d.rounded_rectangle([0, 0, 18, 18], 2, fill=mix(LBLUE, WHITE, 0.45), outline=BLUE)
    ink = BLUE if hot else OUT
    if base == 0:  # bold B
        glyph(d, 5, 4, ["######  ", "##   ## ", "##   ## ", "##   ## ", "######  ", "##    ##",
                        "##    ##", "##    ##", "####### "], ink)
        glyph(d, 6, 4, ["#", "#", "#", "#", "#", "#", "#", "#", "#"], ink)
    elif base == 1:  # italic I
        glyph(d, 5, 4, ["   ######", "     ### ", "    ###  ", "    ###  ", "   ###   ", "   ###   ",
                        "  ###    ", "  ###    ", "######   "], ink)
    elif base == 2:  # underline U
        glyph(d, 5, 2, ["##   ##", "##   ##", "##   ##", "##   ##", "##   ##", "##   ##", "##   ##",
                        " ##### ", "  ###  "], ink)
        line(d, [(4, 14), (14, 14)], BLUE if not hot else ORANGE, 2)
    else:
        which = base - 6
        widths = [(14, 10, 14, 8), (14, 10, 14, 8), (14, 10, 14, 8)]
        for k, w in enumerate(widths[which]):
            y = 4 + k * 3
            if which == 0:
                x0 = 2
            elif which == 1:
                x0 = 2 + (14 - w) // 2
            else:
                x0 = 16 - w
            line(d, [(x0, y), (x0 + w, y)], ink, 2)
    return img

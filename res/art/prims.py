"""Drawing primitives for the application's pictures.

Everything is drawn pixel by pixel without anti-aliasing so that the small
pictures stay crisp at 100 %; pixels that stay fully transparent become the
magenta key colour in the masked strips.
"""
from PIL import Image, ImageDraw

OUT = (0x39, 0x42, 0x4C, 255)
BLUE = (0x2F, 0x6F, 0xB3, 255)
LBLUE = (0x8E, 0xB8, 0xE5, 255)
ORANGE = (0xE8, 0x89, 0x3A, 255)
GREEN = (0x4C, 0x9A, 0x2A, 255)
RED = (0xC8, 0x40, 0x2F, 255)
YELLOW = (0xF2, 0xC9, 0x4C, 255)
G0 = (0xF4, 0xF4, 0xF4, 255)
G1 = (0xDC, 0xDC, 0xDC, 255)
G2 = (0xBD, 0xBD, 0xBD, 255)
G3 = (0x9A, 0x9A, 0x9A, 255)
G4 = (0x6B, 0x6B, 0x6B, 255)
WHITE = (0xFF, 0xFF, 0xFF, 255)
CLEAR = (0, 0, 0, 0)
PAPER = G0


def mix(a, b, t):
    """Blend colour a towards b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3)) + (255,)


def new(w, h):
    img = Image.new("RGBA", (w, h), CLEAR)
    return img, ImageDraw.Draw(img)


def rect(d, x0, y0, x1, y1, fill=None, out=OUT):
    d.rectangle([x0, y0, x1, y1], fill=fill, outline=out)


def ell(d, x0, y0, x1, y1, fill=None, out=OUT):
    d.ellipse([x0, y0, x1, y1], fill=fill, outline=out)


def poly(d, pts, fill=None, out=OUT):
    d.polygon(pts, fill=fill, outline=out)


def line(d, pts, col=OUT, w=1):
    d.line(pts, fill=col, width=w)


def px(d, x, y, col):
    d.point((x, y), fill=col)


def glyph(d, x, y, rows, col, scale=1):
    """Draws a pixel pattern: '#' is a pixel of col, 'o' a pixel of the outline colour."""
    for j, row in enumerate(rows):
        for i, ch in enumerate(row):
            c = col if ch == "#" else OUT if ch == "o" else WHITE if ch == "w" else None
            if c is not None:
                d.rectangle([x + i * scale, y + j * scale, x + i * scale + scale - 1,
                             y + j * scale + scale - 1], fill=c)


def page(d, x0, y0, x1, y1, fold=3, fill=PAPER, lines=0, linecol=G3, gap=2):
    poly(d, [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], fill)
    if fold > 0:
        poly(d, [(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], G1)
    y = y0 + fold + 2
    for _ in range(lines):
        if y > y1 - 2:
            break
        line(d, [(x0 + 2, y), (x1 - 2, y)], linecol)
        y += gap


def disc(d, cx, cy, r, label=LBLUE, face=G1, hole=None, shine=True):
    """A compact disc centred at (cx, cy) (pixel centre may be .5) with radius r."""
    ell(d, cx - r, cy - r, cx + r, cy + r, face)
    if label is not None and r >= 5:
        lr = r * 0.62
        d.ellipse([cx - lr, cy - lr, cx + lr, cy + lr], fill=label)
    if shine and r >= 6:
        d.arc([cx - r + 2, cy - r + 2, cx + r - 2, cy + r - 2], 200, 250, fill=WHITE)
    hr = hole if hole is not None else max(1.0, r * 0.2)
    ell(d, cx - hr, cy - hr, cx + hr, cy + hr, CLEAR)


def thick_line(d, pts, col, w):
    """A line of width w with a one-pixel outline around it."""
    d.line(pts, fill=OUT, width=w + 2)
    d.line(pts, fill=col, width=w)


def arrow(d, x0, y0, x1, y1, col, w=2, head=3):
    """A straight outlined arrow from (x0, y0) to (x1, y1)."""
    import math
    ang = math.atan2(y1 - y0, x1 - x0)
    bx, by = x1 - math.cos(ang) * head * 1.6, y1 - math.sin(ang) * head * 1.6
    d.line([(x0, y0), (bx, by)], fill=OUT, width=w + 2)
    d.line([(x0, y0), (bx, by)], fill=col, width=w)
    nx, ny = -math.sin(ang), math.cos(ang)
    tri = [(round(x1), round(y1)),
           (round(bx + nx * (head + 0.5)), round(by + ny * (head + 0.5))),
           (round(bx - nx * (head + 0.5)), round(by - ny * (head + 0.5)))]
    poly(d, tri, col)


def curved_arrow(d, box, start, end, col, w, head, at_start):
    """An outlined arc (PIL angles, clockwise from 3 o'clock) with a head at one end."""
    import math
    x0, y0, x1, y1 = box
    d.arc([x0 - 1, y0 - 1, x1 + 1, y1 + 1], start, end, fill=OUT, width=w + 2)
    d.arc([x0, y0, x1, y1], start, end, fill=col, width=w)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    r = (x1 - x0) / 2 - w / 2
    a = math.radians(start if at_start else end)
    hx, hy = cx + r * math.cos(a), cy + r * math.sin(a)
    # tangent direction pointing away from the arc
    t = (-math.sin(a), math.cos(a))
    if at_start:
        t = (-t[0], -t[1])
    nx, ny = math.cos(a), math.sin(a)
    tip = (hx + t[0] * head * 1.3, hy + t[1] * head * 1.3)
    tri = [(round(tip[0]), round(tip[1])),
           (round(hx + nx * (head + 0.5)), round(hy + ny * (head + 0.5))),
           (round(hx - nx * (head + 0.5)), round(hy - ny * (head + 0.5)))]
    poly(d, tri, col)


def magnifier(d, x, y, s, sign=None):
    """A magnifying glass in the box (x, y)-(x+s-1, y+s-1); sign '+', '-' or None."""
    lens = int(s * 0.66)
    hw = max(2, s // 6)
    d.line([(x + lens - 2, y + lens - 2), (x + s - 2, y + s - 2)], fill=OUT, width=hw + 2)
    d.line([(x + lens - 1, y + lens - 1), (x + s - 2, y + s - 2)], fill=G4, width=hw)
    ell(d, x, y, x + lens, y + lens, mix(LBLUE, WHITE, 0.45))
    if s >= 24:
        ell(d, x + 1, y + 1, x + lens - 1, y + lens - 1, None, out=OUT)
    cx, cy = x + lens // 2, y + lens // 2
    k = max(2, lens // 4)
    t = 1 if s < 24 else 3
    if sign in ("+", "-"):
        d.rectangle([cx - k, cy - t // 2, cx + k, cy - t // 2 + t - 1], fill=OUT)
    if sign == "+":
        d.rectangle([cx - t // 2, cy - k, cx - t // 2 + t - 1, cy + k], fill=OUT)


def printer(d, x0, y0, x1, y1):
    w, h = x1 - x0, y1 - y0
    # paper going in at the back
    page(d, x0 + w // 4, y0, x1 - w // 4, y0 + h // 2, fold=0)
    # body
    by0 = y0 + int(h * 0.38)
    by1 = y1 - int(h * 0.2)
    rect(d, x0, by0, x1, by1, G2)
    line(d, [(x0 + 1, by0 + 1), (x1 - 1, by0 + 1)], G1)
    # paper coming out
    page(d, x0 + w // 5, by1 - max(1, h // 8), x1 - w // 5, y1, fold=0)
    px(d, x1 - 2, by0 + 2, GREEN)
    if w > 20:
        rect(d, x1 - 5, by0 + 3, x1 - 3, by0 + 4, GREEN, out=GREEN)


def folder(d, x0, y0, x1, y1, opened=False, fill=YELLOW):
    h = y1 - y0
    tab = max(1, h // 5)
    poly(d, [(x0, y0 + tab), (x0 + 1, y0), (x0 + (x1 - x0) // 2 - 1, y0),
             (x0 + (x1 - x0) // 2 + 1, y0 + tab), (x1, y0 + tab), (x1, y1), (x0, y1)],
         mix(fill, ORANGE, 0.35))
    if opened:
        k = max(2, (x1 - x0) // 5)
        poly(d, [(x0 + k, y0 + tab * 2 + 1), (x1 + 1, y0 + tab * 2 + 1), (x1 - k + 1, y1), (x0, y1)], fill)
    else:
        rect(d, x0, y0 + tab * 2, x1, y1, fill)


def floppy(d, x0, y0, x1, y1, body=BLUE):
    w = x1 - x0
    poly(d, [(x0, y0), (x1 - 2, y0), (x1, y0 + 2), (x1, y1), (x0, y1)], body)
    # label
    rect(d, x0 + 2, y0, x1 - 3, y0 + (y1 - y0) // 2 - 1, G0)
    # shutter
    rect(d, x0 + w // 4, y1 - (y1 - y0) // 3, x1 - w // 4, y1, G2)
    if w > 14:
        px(d, x0 + w // 4 + 2, y1 - (y1 - y0) // 3 + 2, OUT)


def picture(d, x0, y0, x1, y1):
    """A framed picture: sky, sun and a green hill."""
    rect(d, x0, y0, x1, y1, mix(LBLUE, WHITE, 0.3))
    w, h = x1 - x0, y1 - y0
    sr = max(1, w // 8)
    sx, sy = x0 + w * 3 // 4, y0 + h // 3
    d.ellipse([sx - sr, sy - sr, sx + sr, sy + sr], fill=YELLOW)
    d.polygon([(x0 + 1, y1 - 1), (x0 + 1, y1 - h // 3), (x0 + w // 3, y0 + h // 2),
               (x0 + w * 2 // 3, y1 - h // 4), (x1 - 1, y1 - h // 3), (x1 - 1, y1 - 1)], fill=GREEN)
    rect(d, x0, y0, x1, y1, None)


def padlock(d, x0, y0, x1, y1, opened=False):
    w, h = x1 - x0, y1 - y0
    bt = y0 + h * 9 // 20
    sx0, sx1 = x0 + w // 5, x1 - w // 5
    shackle_top = y0 if not opened else y0 - 0
    if opened:
        d.arc([sx0 + w // 3, shackle_top, sx1 + w // 3, bt + h // 3], 180, 360, fill=OUT, width=3)
        d.arc([sx0 + w // 3 + 1, shackle_top + 1, sx1 + w // 3 - 1, bt + h // 3], 180, 360, fill=G3, width=1)
        line(d, [(sx1 + w // 3, (shackle_top + bt + h // 3) // 2), (sx1 + w // 3, bt)], OUT, 3)
        line(d, [(sx1 + w // 3, (shackle_top + bt + h // 3) // 2 + 1), (sx1 + w // 3, bt)], G3, 1)
    else:
        d.arc([sx0, shackle_top, sx1, bt + h // 3], 180, 360, fill=OUT, width=3)
        d.arc([sx0 + 1, shackle_top + 1, sx1 - 1, bt + h // 3], 180, 360, fill=G3, width=1)
        line(d, [(sx0 + 1, (shackle_top + bt + h // 3) // 2), (sx0 + 1, bt)], OUT, 3)
        line(d, [(sx1 - 1, (shackle_top + bt + h // 3) // 2), (sx1 - 1, bt)], OUT, 3)
        line(d, [(sx0 + 1, (shackle_top + bt + h // 3) // 2 + 1), (sx0 + 1, bt)], G3, 1)
        line(d, [(sx1 - 1, (shackle_top + bt + h // 3) // 2 + 1), (sx1 - 1, bt)], G3, 1)
    rect(d, x0, bt, x1, y1, YELLOW)
    cx = (x0 + x1) // 2
    line(d, [(cx, bt + 2), (cx, y1 - 2)], OUT)

"""Application icon, textures, palette, colour wheel, splash, cursors, tabs and small pictures."""
import colorsys
import math
import random
from PIL import Image, ImageDraw, ImageFilter, ImageFont
from prims import *

FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


# ---------------------------------------------------------------- application icon
def app_icon(size):
    """A jewel case with a blue cover and a disc sliding out of it."""
    if size <= 16:
        img, d = new(16, 16)
        disc(d, 10, 8, 5.5, hole=1.2, shine=False)
        rect(d, 0, 2, 8, 13, BLUE)
        line(d, [(1, 3), (1, 12)], LBLUE)
        d.ellipse([3, 5, 6, 8], fill=YELLOW)
        return img
    # drawn four times larger and reduced, for soft edges with real alpha
    k = 4
    S = size * k
    img = Image.new("RGBA", (S, S), CLEAR)
    d = ImageDraw.Draw(img)
    o = k  # one-pixel outline
    r = S * 0.34
    cx, cy = S * 0.64, S * 0.5
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=OUT)
    d.ellipse([cx - r + o, cy - r + o, cx + r - o, cy + r - o], fill=G1)
    lr = r * 0.6
    d.ellipse([cx - lr, cy - lr, cx + lr, cy + lr], fill=LBLUE)
    d.arc([cx - r * 0.82, cy - r * 0.82, cx + r * 0.82, cy + r * 0.82], 200, 250, fill=WHITE, width=o)
    hr = r * 0.18
    d.ellipse([cx - hr - o, cy - hr - o, cx + hr + o, cy + hr + o], fill=OUT)
    d.ellipse([cx - hr, cy - hr, cx + hr, cy + hr], fill=CLEAR)
    # the case
    x0, y0, x1, y1 = S * 0.06, S * 0.14, S * 0.58, S * 0.86
    d.rectangle([x0, y0, x1, y1], fill=OUT)
    d.rectangle([x0 + o, y0 + o, x1 - o, y1 - o], fill=BLUE)
    d.rectangle([x0 + o, y0 + o, x0 + o * 3, y1 - o], fill=LBLUE)
    d.line([(x0 + o * 3, y0 + o), (x0 + o * 3, y1 - o)], fill=OUT, width=o)
    sr = S * 0.08
    sx, sy = S * 0.36, S * 0.33
    d.ellipse([sx - sr - o, sy - sr - o, sx + sr + o, sy + sr + o], fill=OUT)
    d.ellipse([sx - sr, sy - sr, sx + sr, sy + sr], fill=YELLOW)
    for j in range(2):
        yy = S * (0.56 + j * 0.12)
        d.line([(x0 + S * 0.11, yy), (x1 - S * 0.07, yy)], fill=LBLUE, width=int(S * 0.045))
    return img.resize((size, size), Image.LANCZOS)


def _dib(img, bpp):
    """The bytes of one icon or cursor image (header, colours, AND mask)."""
    import struct
    w, h = img.size
    rgba = img.convert("RGBA")
    mask_rows = []
    for y in range(h - 1, -1, -1):
        bits = 0
        row = bytearray()
        for x in range(w):
            a = rgba.getpixel((x, y))[3]
            bits = (bits << 1) | (1 if a < 128 else 0)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        while len(row) % 4:
            row.append(0)
        mask_rows.append(bytes(row))
    mask = b"".join(mask_rows)
    if bpp == 32:
        px = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = rgba.getpixel((x, y))
                px += bytes((b, g, r, a))
        pal = b""
        sizeimage = len(px) + len(mask)
    else:
        flat = Image.new("RGB", (w, h), (0, 0, 0))
        flat.paste(rgba, mask=rgba.split()[3].point(lambda a: 255 if a >= 128 else 0))
        q = flat.quantize(colors=256, method=Image.MEDIANCUT)
        palette = q.getpalette()[:768]
        palette += [0] * (768 - len(palette))
        pal = b"".join(bytes((palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0)) for i in range(256))
        px = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(q.getpixel((x, y)) for x in range(w))
            while len(row) % 4:
                row.append(0)
            px += row
        sizeimage = len(px) + len(mask)
    hdr = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, sizeimage, 0, 0,
                      256 if bpp == 8 else 0, 0)
    return hdr + pal + bytes(px) + mask


def write_ico(path, entries, cursor_hotspot=None):
    """entries: list of (RGBA image, bits per pixel). A cursor file when a hot spot is given."""
    import struct
    blobs = [_dib(img, bpp) for img, bpp in entries]
    out = struct.pack("<HHH", 0, 2 if cursor_hotspot else 1, len(entries))
    off = 6 + 16 * len(entries)
    for (img, bpp), blob in zip(entries, blobs):
        w, h = img.size
        if cursor_hotspot:
            a, b = cursor_hotspot
        else:
            a, b = 1, bpp
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(blob), off)
        off += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


# ---------------------------------------------------------------- textures
def _periodic_noise(w, h, seed, amp, blur):
    rnd = random.Random(seed)
    base = Image.new("L", (w, h))
    base.putdata([128 + int(rnd.gauss(0, 40)) for _ in range(w * h)])
    big = Image.new("L", (w * 3, h * 3))
    for i in range(3):
        for j in range(3):
            big.paste(base, (i * w, j * h))
    big = big.filter(ImageFilter.GaussianBlur(blur))
    n = big.crop((w, h, 2 * w, 2 * h))
    return [(v - 128) * amp / 40.0 for v in n.getdata()]


def texture(kind):
    """Quiet grey textures that tile without seams: 1 for dialogs and bars, 2 behind the canvas."""
    w = h = 64
    if kind == 1:
        base, seed, amp, blur = (0xEC, 0xED, 0xEF), 11, 5.0, 0.8
    else:
        base, seed, amp, blur = (0xA9, 0xAD, 0xB3), 23, 6.0, 0.9
    n1 = _periodic_noise(w, h, seed, amp, blur)
    n2 = _periodic_noise(w, h, seed + 1, amp * 0.6, 3.0)
    img = Image.new("RGB", (w, h))
    data = []
    for v1, v2 in zip(n1, n2):
        t = v1 + v2
        data.append(tuple(max(0, min(255, int(round(c + t)))) for c in base))
    img.putdata(data)
    return img


# ---------------------------------------------------------------- colour bar palette
def palette_colours():
    """82 columns by 2 rows of swatch colours, as (column, row) -> RGB."""
    cols = {}
    greys = {(0, 0): 0x000000, (1, 0): 0x4B4B4B, (0, 1): 0x212121, (1, 1): 0x737373,
             (80, 0): 0x818181, (81, 0): 0xCDCDCD, (80, 1): 0xA7A7A7, (81, 1): 0xFFFFFF}
    for k, v in greys.items():
        cols[k] = ((v >> 16) & 255, (v >> 8) & 255, v & 255)
    hues = {0: [-15, 0, 15, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300],
            1: [-30, 0, 30, 45, 60, 90, 120, 150, 180, 210, 240, 270, 300]}
    levels = {0: [(0x43, 1.0), (0x80, 1.0), (0xBF, 1.0), (0xFF, 1.0), (0xFF, 0.6), (0xFF, 0.3)],
              1: [(0x66, 1.0), (0x99, 1.0), (0xCC, 1.0), (0xFF, 0.8), (0xFF, 0.45), (0xFF, 0.18)]}
    for row in (0, 1):
        c = 2
        for v, s in levels[row]:
            for hdeg in hues[row]:
                hh = (hdeg % 360) / 360.0
                r, g, b = colorsys.hsv_to_rgb(hh, s, v / 255.0)
                cols[(c, row)] = (int(r * 255 + 1e-6), int(g * 255 + 1e-6), int(b * 255 + 1e-6))
                c += 1
        assert c == 80
    return cols


def palette_bitmap(inactive):
    w, h = 82 * 9 + 1, 2 * 9 + 1
    img = Image.new("RGB", (w, h), (0, 0, 0))
    d = ImageDraw.Draw(img)
    for (c, r), rgb in palette_colours().items():
        if inactive:
            g = int(0.3 * rgb[0] + 0.59 * rgb[1] + 0.11 * rgb[2])
            g = 190 + g * 50 // 255
            rgb = (g, g, g)
        d.rectangle([c * 9 + 1, r * 9 + 1, c * 9 + 8, r * 9 + 8], fill=rgb)
    if inactive:
        # lines too go soft grey in the inactive look
        px_ = img.load()
        for y in range(h):
            for x in range(w):
                if x % 9 == 0 or y % 9 == 0:
                    px_[x, y] = (150, 150, 150)
        return img.convert("L")
    return img


# ---------------------------------------------------------------- colour wheel
def colour_wheel():
    n = 201
    img = Image.new("RGBA", (n, n), CLEAR)
    pxl = img.load()
    c = (n - 1) / 2.0
    R = n / 2.0
    for y in range(n):
        for x in range(n):
            dx, dy = x - c, c - y  # y grows upwards so that hue runs counter-clockwise
            r = math.hypot(dx, dy)
            if r > R:
                continue
            hue = (math.degrees(math.atan2(dy, dx)) % 360) / 360.0
            s = min(1.0, r / (R - 0.5))
            rr, gg, bb = colorsys.hsv_to_rgb(hue, s, 1.0)
            a = 255 if r <= R - 1 else int(255 * (R - r))
            pxl[x, y] = (int(rr * 255 + .5), int(gg * 255 + .5), int(bb * 255 + .5), a)
    return img


# ---------------------------------------------------------------- splash and pictures
def splash():
    W, H = 560, 290
    k = 2
    img = Image.new("RGBA", (W * k, H * k), CLEAR)
    d = ImageDraw.Draw(img)
    # soft shadow
    sh = Image.new("RGBA", (W * k, H * k), CLEAR)
    ImageDraw.Draw(sh).rounded_rectangle([14 * k, 14 * k, (W - 6) * k, (H - 6) * k], 18 * k,
                                         fill=(0, 0, 0, 110))
    sh = sh.filter(ImageFilter.GaussianBlur(7 * k))
    img.alpha_composite(sh)
    d.rounded_rectangle([6 * k, 6 * k, (W - 14) * k, (H - 14) * k], 16 * k, fill=(0xF4, 0xF4, 0xF4, 255),
                        outline=OUT, width=2 * k)
    # a band of blue along the bottom
    band = Image.new("RGBA", img.size, CLEAR)
    ImageDraw.Draw(band).rounded_rectangle([6 * k, 6 * k, (W - 14) * k, (H - 14) * k], 16 * k,
                                           fill=BLUE)
    m = Image.new("L", img.size, 0)
    ImageDraw.Draw(m).rectangle([0, 226 * k, W * k, H * k], fill=255)
    img.paste(band, (0, 0), Image.composite(band.split()[3], Image.new("L", img.size, 0), m))
    d.rounded_rectangle([6 * k, 6 * k, (W - 14) * k, (H - 14) * k], 16 * k, outline=OUT, width=2 * k)
    # case with cover art
    o = 2 * k
    x0, y0, x1, y1 = 34 * k, 40 * k, 170 * k, 176 * k
    # the disc partly out of the case
    cx, cy, r = 178 * k, 108 * k, 64 * k
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=OUT)
    d.ellipse([cx - r + o, cy - r + o, cx + r - o, cy + r - o], fill=G1)
    lr = r * 0.62
    d.ellipse([cx - lr, cy - lr, cx + lr, cy + lr], fill=LBLUE)
    d.arc([cx - r * 0.85, cy - r * 0.85, cx + r * 0.85, cy + r * 0.85], 195, 255, fill=WHITE, width=3 * k)
    d.arc([cx - r * 0.85, cy - r * 0.85, cx + r * 0.85, cy + r * 0.85], 15, 75, fill=WHITE, width=3 * k)
    hr = r * 0.17
    d.ellipse([cx - hr - o, cy - hr - o, cx + hr + o, cy + hr + o], fill=OUT)
    d.ellipse([cx - hr, cy - hr, cx + hr, cy + hr], fill=(0xF4, 0xF4, 0xF4, 255))
    d.rectangle([x0, y0, x1, y1], fill=OUT)
    d.rectangle([x0 + o, y0 + o, x1 - o, y1 - o], fill=BLUE)
    d.rectangle([x0 + o, y0 + o, x0 + 10 * k, y1 - o], fill=LBLUE)
    d.line([(x0 + 10 * k, y0 + o), (x0 + 10 * k, y1 - o)], fill=OUT, width=k)
    d.ellipse([100 * k, 60 * k, 140 * k, 100 * k], fill=YELLOW, outline=OUT, width=k)
    for j, c in enumerate((LBLUE, mix(LBLUE, WHITE, 0.4), LBLUE)):
        yy = (120 + j * 14) * k
        d.line([(x0 + 20 * k, yy), (x1 - 12 * k, yy)], fill=c, width=5 * k)
    # product name
    f = ImageFont.truetype(FONT_BOLD, 40 * k)
    tw = d.textlength("Korvanelle", font=f)
    tx = (262 * k + (W - 14) * k) / 2 - tw / 2
    d.text((tx, 94 * k), "Korvanelle", font=f, fill=OUT)
    d.line([(tx, 146 * k), (tx + tw, 146 * k)], fill=ORANGE, width=3 * k)
    return img.resize((W, H), Image.LANCZOS)


def theme_image():
    """A faint disc emblem drawn centred behind content."""
    n = 96
    k = 4
    img = Image.new("RGBA", (n * k, n * k), CLEAR)
    d = ImageDraw.Draw(img)
    c = n * k / 2
    r = n * k / 2 - 2 * k
    col = (0x6B, 0x6B, 0x6B, 40)
    d.ellipse([c - r, c - r, c + r, c + r], fill=col)
    d.ellipse([c - r * 0.62, c - r * 0.62, c + r * 0.62, c + r * 0.62], fill=(0x6B, 0x6B, 0x6B, 28))
    d.ellipse([c - r * 0.18, c - r * 0.18, c + r * 0.18, c + r * 0.18], fill=CLEAR)
    return img.resize((n, n), Image.LANCZOS)


def size_grip():
    img, d = new(12, 12)
    for (x, y) in ((9, 1), (5, 5), (9, 5), (1, 9), (5, 9), (9, 9)):
        d.rectangle([x, y, x + 1, y + 1], fill=(0x9A, 0x9A, 0x9A, 255))
        d.point((x + 1, y + 1), fill=(0x6B, 0x6B, 0x6B, 255))
        d.point((x + 2, y + 2), fill=(0xFF, 0xFF, 0xFF, 200))
    return img


def warning_picture():
    """The LightScribe warning: a disc with a warning triangle in front."""
    n, k = 64, 4
    img = Image.new("RGBA", (n * k, n * k), CLEAR)
    d = ImageDraw.Draw(img)
    o = 2 * k
    cx, cy, r = 26 * k, 26 * k, 24 * k
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=OUT)
    d.ellipse([cx - r + o, cy - r + o, cx + r - o, cy + r - o], fill=G1)
    lr = r * 0.62
    d.ellipse([cx - lr, cy - lr, cx + lr, cy + lr], fill=mix(ORANGE, WHITE, 0.55))
    hr = r * 0.18
    d.ellipse([cx - hr - o, cy - hr - o, cx + hr + o, cy + hr + o], fill=OUT)
    d.ellipse([cx - hr, cy - hr, cx + hr, cy + hr], fill=CLEAR)
    tri = [(44 * k, 24 * k), (63 * k, 61 * k), (25 * k, 61 * k)]
    d.polygon(tri, fill=OUT)
    tri2 = [(44 * k, 29 * k), (59 * k, 59 * k), (29 * k, 59 * k)]
    d.polygon(tri2, fill=YELLOW)
    d.rounded_rectangle([42 * k, 37 * k, 46 * k, 51 * k], k, fill=OUT)
    d.ellipse([42 * k, 53 * k, 46 * k, 57 * k], fill=OUT)
    return img.resize((n, n), Image.LANCZOS)


# ---------------------------------------------------------------- cursors
def _arrow_cursor(d, x, y):
    pts = [(0, 0), (0, 15), (4, 11), (7, 17), (9, 16), (6, 10), (11, 10)]
    pts = [(x + a, y + b) for a, b in pts]
    d.polygon(pts, fill=WHITE, outline=(0, 0, 0, 255))


def cursor_drag(drop):
    img, d = new(32, 32)
    # the outline of the dragged picture
    picture(d, 8, 12, 24, 24)
    _arrow_cursor(d, 0, 0)
    if drop:
        d.ellipse([19, 19, 31, 31], fill=GREEN, outline=OUT)
        d.rectangle([24, 21, 26, 29], fill=WHITE)
        d.rectangle([21, 24, 29, 26], fill=WHITE)
    else:
        d.ellipse([19, 19, 31, 31], fill=WHITE, outline=OUT)
        d.ellipse([20, 20, 30, 30], outline=RED, width=2)
        d.line([(22, 22), (28, 28)], fill=RED, width=2)
    return img, (0, 0)


def cursor_text_turned():
    """An I-beam lying on its side, for text that runs up or down."""
    img, d = new(32, 32)
    blk, wht = (0, 0, 0, 255), WHITE
    cy = 15
    # white border first, then the black beam
    d.rectangle([7, cy - 1, 23, cy + 1], fill=wht)
    d.rectangle([5, cy - 5, 8, cy + 5], fill=wht)
    d.rectangle([22, cy - 5, 25, cy + 5], fill=wht)
    d.line([(8, cy), (22, cy)], fill=blk)
    d.line([(6, cy - 4), (6, cy - 2), (7, cy - 1)], fill=blk)
    d.line([(7, cy + 1), (6, cy + 2), (6, cy + 4)], fill=blk)
    d.line([(24, cy - 4), (24, cy - 2), (23, cy - 1)], fill=blk)
    d.line([(23, cy + 1), (24, cy + 2), (24, cy + 4)], fill=blk)
    d.line([(7, cy), (7, cy)], fill=blk)
    d.line([(23, cy), (23, cy)], fill=blk)
    # clear the inner part of the end caps so they read as serifs
    d.rectangle([5, cy - 5, 5, cy + 5], fill=CLEAR)
    d.rectangle([25, cy - 5, 25, cy + 5], fill=CLEAR)
    d.point([(5, cy - 5), (5, cy + 5), (25, cy - 5), (25, cy + 5)], fill=CLEAR)
    d.rectangle([6, cy - 5, 7, cy - 5], fill=wht)
    return img, (15, cy)


# ---------------------------------------------------------------- tabs and grid marks
def tab_picture(left, right, lit_left):
    W, H = 145, 36
    img = Image.new("RGBA", (W, H), CLEAR)
    d = ImageDraw.Draw(img)
    half = W // 2
    on_fill, off_fill = BLUE, (0xE4, 0xE6, 0xE9, 255)
    d.rounded_rectangle([0, 0, W - 1, H - 1], 6, fill=off_fill, outline=OUT)
    m = Image.new("L", (W, H), 0)
    md = ImageDraw.Draw(m)
    if lit_left:
        md.rectangle([0, 0, half, H], fill=255)
    else:
        md.rectangle([half, 0, W, H], fill=255)
    lit = Image.new("RGBA", (W, H), CLEAR)
    ImageDraw.Draw(lit).rounded_rectangle([0, 0, W - 1, H - 1], 6, fill=on_fill, outline=OUT)
    img.paste(lit, (0, 0), Image.composite(lit.split()[3], Image.new("L", (W, H), 0), m))
    d.line([(half, 1), (half, H - 2)], fill=OUT)
    f = ImageFont.truetype(FONT_BOLD, 13)
    for text, x0, x1, lit_ in ((left, 0, half, lit_left), (right, half, W - 1, not lit_left)):
        tw = d.textlength(text, font=f)
        d.text(((x0 + x1) / 2 - tw / 2, 10), text, font=f, fill=WHITE if lit_ else OUT)
    # hard edges: alpha is either full or none (the strip is keyed on magenta)
    a = img.split()[3].point(lambda v: 255 if v >= 128 else 0)
    img.putalpha(a)
    return img


def grid_mark(state):
    """11 x 11 tag-state marks: 0 tag text known but not used, 1 used, 2 no tag text."""
    img, d = new(11, 11)
    if state == 2:
        rect(d, 1, 1, 9, 9, G1, out=G3)
        line(d, [(3, 5), (7, 5)], G3)
    else:
        rect(d, 1, 1, 9, 9, WHITE)
        if state == 1:
            d.line([(3, 5), (4, 7), (7, 3)], fill=GREEN, width=2)
    return img

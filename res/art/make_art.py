"""Renders every picture of the application into res/images/, and writes res/Images.rc,
res/ResourceImages.h, res/IMAGES.md and res/contact-sheet.png.

Run through scripts/make-art.sh after changing any source in res/art/.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image, ImageDraw, ImageFont  # noqa: E402
from prims import OUT, WHITE  # noqa: E402
import small_icons as si  # noqa: E402
import tool_icons as ti  # noqa: E402
import big_icons as bi  # noqa: E402
import other_art as oa  # noqa: E402

RES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
OUTDIR = os.path.join(RES, "images")
MAGENTA = (255, 0, 255)

# Every resource: (id, C name, type, file, what it is, list of (index, command, shows) or None)
RESOURCES = []
SHEET = []  # (title, [images], scale list)


def keyed(img):
    """RGBA -> RGB with magenta wherever the picture is transparent."""
    bg = Image.new("RGB", img.size, MAGENTA)
    m = img.split()[3].point(lambda a: 255 if a >= 128 else 0)
    bg.paste(img.convert("RGB"), (0, 0), m)
    return bg


def strip(images):
    w, h = images[0].size
    s = Image.new("RGBA", (w * len(images), h), (0, 0, 0, 0))
    for i, im in enumerate(images):
        assert im.size == (w, h), (im.size, (w, h))
        s.paste(im, (i * w, 0))
    return s


def halo(img, col=(0xF7, 0xD8, 0x7C, 255)):
    """Hot look: a two-pixel yellow glow around the picture."""
    a = img.split()[3].point(lambda v: 255 if v >= 128 else 0)
    from PIL import ImageFilter
    grown = a.filter(ImageFilter.MaxFilter(5))
    out = Image.new("RGBA", img.size, (0, 0, 0, 0))
    out.paste(Image.new("RGBA", img.size, col), (0, 0), grown)
    out.alpha_composite(img)
    return out


def greyed(img):
    """Disabled look: light greys only, same shape."""
    out = img.copy()
    px = out.load()
    for y in range(out.height):
        for x in range(out.width):
            r, g, b, a = px[x, y]
            if a:
                l_ = int(0.3 * r + 0.59 * g + 0.11 * b)
                v = int(120 + l_ * 0.45)
                px[x, y] = (v, v, v, a)
    return out


def save_bmp(name, img):
    path = os.path.join(OUTDIR, name)
    img.save(path, "BMP")
    return "images/" + name


def save_png(name, img):
    path = os.path.join(OUTDIR, name)
    img.save(path, "PNG", optimize=True)
    return "images/" + name


def add(rid, cname, rtype, path, what, rows=None, sheet_images=None, note=""):
    RESOURCES.append(dict(id=rid, cname=cname, type=rtype, path=path, what=what, rows=rows or [], note=note))
    if sheet_images is not None:
        SHEET.append((f"{rid} {rtype} {what}", sheet_images))


def main():
    os.makedirs(OUTDIR, exist_ok=True)

    # ---- application icon 128
    entries = []
    icons = {}
    for s in (16, 32, 48):
        icons[s] = oa.app_icon(s)
        entries.append((icons[s], 32))
    for s in (16, 32, 48):
        entries.append((icons[s], 8))
    oa.write_ico(os.path.join(OUTDIR, "app_128.ico"), entries)
    add(128, "IDI_KORVANELLE", "ICON", "images/app_128.ico",
        "application icon: 16, 32 and 48 pixels, 32-bit with alpha and 8-bit",
        [(s, "application", "blue case with a disc sliding out") for s in ("16", "32", "48")],
        [icons[16], icons[32], icons[48]])

    # ---- textures
    for rid, kind, cname, what in ((356, 1, "IDB_TEXTURE_DIALOG", "background texture of dialogs and bars"),
                                   (357, 2, "IDB_TEXTURE_CANVAS", "background texture behind the canvas")):
        t = oa.texture(kind)
        p = save_bmp(f"texture_{rid}.bmp", t)
        tiled = Image.new("RGB", (t.width * 3, t.height * 2))
        for i in range(3):
            for j in range(2):
                tiled.paste(t, (i * t.width, j * t.height))
        add(rid, cname, "BITMAP", p, what + f", {t.width} x {t.height}, tiles without seams",
            [("-", "-", "quiet grey texture")], [t.convert("RGBA"), tiled.convert("RGBA")])

    # ---- menu strip 360
    menu = [si.icon16(n) for n, _ in si.MENU_STRIP]
    p = save_bmp("menu_360.bmp", keyed(strip(menu)))
    add(360, "IDB_MENU_IMAGES", "BITMAP", p, "menu pictures, 26 of 16 x 16, magenta key",
        [(i, t, si.SHOWS[n]) for i, (n, t) in enumerate(si.MENU_STRIP)], menu)

    # ---- frame's 16 x 16 list 264 (the first 24 menu pictures)
    p = save_bmp("menu16_264.bmp", keyed(strip(menu[:24])))
    add(264, "IDB_MENU_ICONS16", "BITMAP", p, "frame's menu pictures, 24 of 16 x 16, magenta key",
        [(i, si.MENU_STRIP[i][1], si.SHOWS[si.MENU_STRIP[i][0]] + " (as menu picture %d)" % i)
         for i in range(24)], None)

    # ---- tool bar 128 (bitmap + tool-bar data)
    tb = [si.icon16(n) for c, n in si.TOOLBAR_128 if c]
    p = save_bmp("toolbar_128.bmp", keyed(strip(tb)))
    buttons = [c for c, n in si.TOOLBAR_128 if c]
    add(128, "IDR_MENU_TOOLBAR", "BITMAP", p, "pictures of the 16 x 16 tool bar that the menus take",
        [(i, "%d %s" % (c, si.TOOLBAR_128_TEXT[c]), si.SHOWS[n])
         for i, (c, n) in enumerate([(c, n) for c, n in si.TOOLBAR_128 if c])], tb)

    # ---- tool strip 416
    tools = [ti.tool19(i) for i in range(44)]
    p = save_bmp("tools_416.bmp", keyed(strip(tools)))
    add(416, "IDB_TOOL_IMAGES", "BITMAP", p, "option-button pictures, 44 of 19 x 19, magenta key",
        [(i, ti.TOOL_STRIP_TEXT[i], ti.TOOL_STRIP_SHOWS[i]) for i in range(44)], tools)

    # ---- properties bar 413 / 414
    fnames = ["Bold 32939", "Italic 32940", "Underline 32941", "Bold, on", "Italic, on", "Underline, on",
              "Align Left 32942", "Center 32943", "Align Right 32944", "Align Left, on", "Center, on",
              "Align Right, on"]
    fshows = ["B", "slanted I", "U over a line", "B on blue", "I on blue", "U on blue",
              "lines flush left", "lines centred", "lines flush right", "flush left on blue",
              "centred on blue", "flush right on blue"]
    for rid, hot, cname in ((413, False, "IDB_PROPBAR_NORMAL"), (414, True, "IDB_PROPBAR_HOT")):
        ims = [ti.format19(i, hot) for i in range(12)]
        p = save_bmp(f"propbar_{rid}.bmp", keyed(strip(ims)))
        add(rid, cname, "BITMAP", p, "formatting-bar pictures, 12 of 19 x 19, " + ("hot" if hot else "normal"),
            [(i, fnames[i], fshows[i] + (" (blue ink)" if hot else "")) for i in range(12)], ims)

    # ---- main tool bar 246 / 348 / 358
    mains = [bi.main_icon(i) for i in range(16)]
    for rid, f, cname, look in ((246, lambda x: x, "IDB_MAINBAR_NORMAL", "normal"),
                                (348, halo, "IDB_MAINBAR_HOT", "hot (yellow glow)"),
                                (358, greyed, "IDB_MAINBAR_DISABLED", "disabled (greys)")):
        ims = [f(m) for m in mains]
        p = save_bmp(f"mainbar_{rid}.bmp", keyed(strip(ims)))
        add(rid, cname, "BITMAP", p, f"main tool-bar pictures, 16 of 55 x 41, {look}",
            [(i, bi.MAIN_TEXT[i], bi.MAIN_SHOWS[i]) for i in range(16)], ims)

    # ---- Read CD list 272
    rc = [bi.readcd_icon(i) for i in range(5)]
    p = save_bmp("readcd_272.bmp", keyed(strip(rc)))
    add(272, "IDB_READCD_IMAGES", "BITMAP", p, "Read CD list pictures, 5 of 32 x 32, magenta key",
        [(i, bi.READCD_TEXT[i], bi.READCD_TEXT[i]) for i in range(5)], rc)

    # ---- colour bar palette 422 / 444
    pal = oa.palette_bitmap(False)
    p = save_bmp("palette_422.bmp", pal)
    chunks = [pal.crop((x, 0, min(pal.width, x + 190), pal.height)).convert("RGBA") for x in range(0, pal.width, 190)]
    add(422, "IDB_PALETTE", "BITMAP", p, "colour-bar palette, 739 x 19, 24-bit, 82 x 2 swatches",
        [("-", "colour swatches", "black-grey, six hue sweeps per row, light greys-white")],
        [pal.convert("RGBA")] + chunks)
    pal8 = oa.palette_bitmap(True)
    p = save_bmp("palette_444.bmp", pal8)
    add(444, "IDB_PALETTE_INACTIVE", "BITMAP", p, "inactive colour-bar palette, 739 x 19, 8-bit",
        [("-", "palette while no colour applies", "grey swatches")], [pal8.convert("RGBA")])

    # ---- label-stock tabs
    tabs = [(394, "Front", "Back", True, "IDB_TAB_FRONT"), (395, "Front", "Back", False, "IDB_TAB_BACK"),
            (430, "Case", "Booklet", True, "IDB_TAB_CASE"), (431, "Case", "Booklet", False, "IDB_TAB_BOOKLET")]
    for rid, a, b, lit_left, cname in tabs:
        im = oa.tab_picture(a, b, lit_left)
        p = save_bmp(f"tab_{rid}.bmp", keyed(im))
        lit = a if lit_left else b
        add(rid, cname, "BITMAP", p, f"page switch \"{a}\" | \"{b}\", 145 x 36, magenta key",
            [("-", f"{lit} page chosen", f"{lit} half lit blue")], [im])

    # ---- track grid marks
    for rid, state, cname, what in ((374, 0, "IDB_TAG_UNUSED", "tag text known, not used: empty box"),
                                    (373, 1, "IDB_TAG_USED", "tag text used: ticked box"),
                                    (375, 2, "IDB_TAG_NONE", "no tag text: grey box with dash")):
        im = oa.grid_mark(state)
        p = save_bmp(f"tag_{rid}.bmp", keyed(im))
        add(rid, cname, "BITMAP", p, "MP3 grid mark, 11 x 11, magenta key", [("-", "Use Tag state " + str(state), what)], [im])

    # ---- PNG pictures
    for rid, cname, fn, im, what in (
            (474, "IDP_LIGHTSCRIBE_WARNING", "warning_474.png", oa.warning_picture(), "LightScribe dialog warning picture, 64 x 64, alpha"),
            (475, "IDP_THEME_IMAGE", "theme_475.png", oa.theme_image(), "faint disc emblem drawn centred, 96 x 96, alpha"),
            (479, "IDP_SPLASH", "splash_479.png", oa.splash(), "start-up splash, 560 x 290, alpha"),
            (480, "IDP_SIZE_GRIP", "sizegrip_480.png", oa.size_grip(), "size grip of resizable dialogs, 12 x 12, alpha"),
            (482, "IDP_COLOR_WHEEL", "wheel_482.png", oa.colour_wheel(), "colour picker's hue and saturation wheel, 201 x 201, alpha")):
        p = save_png(fn, im)
        add(rid, cname, "PNG", p, what, [("-", "-", what.split(",")[0])], [im])

    # ---- cursors
    for rid, cname, (im, hot), what in (
            (172, "IDC_DRAG_NO_DROP", oa.cursor_drag(False), "dragging a picture where it cannot be dropped"),
            (182, "IDC_DRAG_DROP", oa.cursor_drag(True), "dragging a picture over a place that takes it"),
            (417, "IDC_TEXT_TURNED", oa.cursor_text_turned(), "text cursor for text turned 90 or 270 degrees")):
        fn = f"cursor_{rid}.cur"
        oa.write_ico(os.path.join(OUTDIR, fn), [(im, 32)], cursor_hotspot=hot)
        add(rid, cname, "CURSOR", "images/" + fn, what + f", 32 x 32, hot spot {hot}", [("-", "-", what)], [im])

    write_rc()
    write_header()
    write_table()
    write_sheet()


def write_header():
    lines = ["// Resource ids of the application's pictures. Generated by scripts/make-art.sh.",
             "#pragma once", ""]
    seen = set()
    for r in sorted(RESOURCES, key=lambda r: (r["id"], r["cname"])):
        if r["cname"] in seen:
            continue
        seen.add(r["cname"])
        lines.append(f"#define {r['cname']:<26} {r['id']}")
    lines += ["", "// Resource type of tool-bar descriptions.", "#define KV_RT_TOOLBAR              241", ""]
    with open(os.path.join(RES, "ResourceImages.h"), "w") as f:
        f.write("\n".join(lines))


def write_rc():
    lines = ["// The application's pictures. Generated by scripts/make-art.sh; edit res/art/ instead.",
             '#include "ResourceImages.h"', ""]
    for r in RESOURCES:
        t = r["type"]
        lines.append(f"{r['cname']:<26} {t:<7} \"{r['path']}\"")
    lines += ["", "// Tool-bar description: version, image width, image height, item count, then the",
              "// command of each item (0 for a separator).", "IDR_MENU_TOOLBAR KV_RT_TOOLBAR",
              "BEGIN"]
    ids = [c for c, n in si.TOOLBAR_128]
    lines.append("    1, 16, 16, %d," % len(ids))
    for k in range(0, len(ids), 8):
        part = ids[k:k + 8]
        last = k + 8 >= len(ids)
        lines.append("    " + ", ".join(str(c) for c in part) + ("" if last else ","))
    lines += ["END", ""]
    with open(os.path.join(RES, "Images.rc"), "w") as f:
        f.write("\n".join(lines))


def write_table():
    out = ["# The application's pictures", "",
           "Made by `scripts/make-art.sh` from the drawing scripts in `res/art/`; the files in "
           "`res/images/` are the rendered results that `res/Images.rc` puts into the program. "
           "Masked strips use magenta (255, 0, 255) as the transparent colour. "
           "`res/contact-sheet.png` shows every picture at 100 % and 400 %.", "",
           "| id | type | file | index | command | what it shows |", "|---|---|---|---|---|---|"]
    for r in RESOURCES:
        first = True
        for idx, cmd, shows in r["rows"]:
            head = f"| {r['id']} | {r['type']} | `{r['path']}` " if first else "| | | "
            out.append(head + f"| {idx} | {cmd} | {shows} |")
            first = False
        if first:
            out.append(f"| {r['id']} | {r['type']} | `{r['path']}` | | | {r['what']} |")
    out += ["", "Tool-bar description 128 (type 241): 16 x 16 pictures of the bitmap 128 above, for the commands "
            + ", ".join(f"{c} {si.TOOLBAR_128_TEXT[c]}" for c, n in si.TOOLBAR_128 if c)
            + " (with separators between the groups).", "",
            "Resource descriptions:", ""]
    for r in RESOURCES:
        out.append(f"- {r['id']} {r['type']} `{r['cname']}`: {r['what']}")
    out.append("")
    with open(os.path.join(RES, "IMAGES.md"), "w") as f:
        f.write("\n".join(out))


def write_sheet():
    font = ImageFont.truetype(oa.FONT, 12)
    bg = (0xEC, 0xED, 0xEF)
    maxw = 1800
    blocks = []
    for title, ims in SHEET:
        # each picture at 100 % and at 400 % (large pictures: 400 % of their top-left corner)
        cells = []
        for im in ims:
            big = im
            if im.width > 120 or im.height > 120:
                big = im.crop((0, 0, min(im.width, 120), min(im.height, 90)))
            big = big.resize((big.width * 4, big.height * 4), Image.NEAREST)
            cells.append((im, big))
        blocks.append((title, cells))
    # layout
    rows = []
    y = 10
    placements = []
    for title, cells in blocks:
        placements.append(("t", 10, y, title))
        y += 18
        x = 10
        rowh = 0
        for im, big in cells:
            w = max(im.width, big.width) + 12
            h = im.height + big.height + 10
            if x + w > maxw:
                x = 10
                y += rowh + 8
                rowh = 0
            placements.append(("i", x, y, im))
            placements.append(("i", x, y + im.height + 6, big))
            x += w
            rowh = max(rowh, h)
        y += rowh + 16
    sheet = Image.new("RGB", (maxw + 10, y + 10), bg)
    d = ImageDraw.Draw(sheet)
    for kind, x, yy, what in placements:
        if kind == "t":
            d.text((x, yy), what, font=font, fill=OUT[:3])
        else:
            sheet.paste(what, (x, yy), what.split()[3].point(lambda a: 255 if a >= 128 else 0)
                        if what.mode == "RGBA" and what.getextrema()[3][0] < 255 and not _soft(what) else
                        (what if what.mode == "RGBA" else None))
    sheet.save(os.path.join(RES, "contact-sheet.png"), optimize=True)


def _soft(im):
    """True for pictures with partial alpha (drawn with soft edges)."""
    a = im.split()[3]
    return any(0 < v < 255 for v in a.getdata())


if __name__ == "__main__":
    main()

"""The 16 x 16 menu pictures and the pictures of the 16 x 16 tool-bar resource."""
from prims import *

def _tick(d, x, y, col=GREEN):
    d.line([(x, y + 4), (x + 3, y + 7), (x + 9, y + 1)], fill=OUT, width=4)
    d.line([(x, y + 4), (x + 3, y + 7), (x + 9, y + 1)], fill=col, width=2)


def icon16(name):
    img, d = new(16, 16)
    if name == "new":
        page(d, 2, 0, 13, 15, fold=4)
        poly(d, [(12, 8), (14, 11), (12, 14), (10, 11)], YELLOW)
        poly(d, [(9, 11), (12, 10), (15, 11), (12, 12)], YELLOW)
        rect(d, 11, 10, 13, 12, YELLOW, out=YELLOW)
    elif name == "open":
        folder(d, 0, 2, 13, 14, opened=True)
    elif name == "save":
        floppy(d, 1, 1, 14, 14)
    elif name == "print":
        printer(d, 0, 1, 15, 14)
    elif name == "cut":
        line(d, [(4, 0), (10, 9)], OUT, 2)
        line(d, [(11, 0), (5, 9)], G4, 2)
        ell(d, 1, 9, 6, 14, None, out=RED)
        ell(d, 2, 10, 5, 13, None, out=RED)
        ell(d, 9, 9, 14, 14, None, out=RED)
        ell(d, 10, 10, 13, 13, None, out=RED)
    elif name == "copy":
        page(d, 1, 0, 9, 10, fold=3, lines=3)
        page(d, 6, 5, 14, 15, fold=3, lines=3, linecol=BLUE)
    elif name == "paste":
        rect(d, 1, 2, 11, 15, ORANGE)
        rect(d, 4, 0, 8, 3, G2)
        page(d, 6, 6, 14, 15, fold=3, lines=2, linecol=BLUE)
    elif name == "delete":
        for w, c in ((5, OUT), (3, RED)):
            d.line([(3, 3), (12, 12)], fill=c, width=w)
            d.line([(12, 3), (3, 12)], fill=c, width=w)
    elif name == "undo":
        curved_arrow(d, (3, 3, 14, 14), 180, 10, BLUE, 2, 3, True)
    elif name == "redo":
        return icon16("undo").transpose(Image.FLIP_LEFT_RIGHT)
    elif name == "help":
        ell(d, 0, 0, 15, 15, BLUE)
        glyph(d, 5, 3, [" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "], WHITE)
        glyph(d, 6, 3, [" #  ", "    ", "    ", "  # ", " #  ", "    ", " #  "], WHITE)
    elif name == "preview":
        page(d, 1, 0, 11, 14, fold=3, lines=4)
        magnifier(d, 5, 5, 11)
    elif name == "check":
        _tick(d, 3, 3)
    elif name == "center_h":
        line(d, [(7, 0), (7, 15)], G3)
        rect(d, 4, 4, 11, 11, LBLUE)
        line(d, [(7, 5), (7, 10)], BLUE)
        for x0, x1 in ((0, 2), (15, 13)):
            line(d, [(x0, 7), (x1, 7)], BLUE)
        px(d, 2, 6, BLUE); px(d, 2, 8, BLUE); px(d, 13, 6, BLUE); px(d, 13, 8, BLUE)
    elif name == "center_v":
        line(d, [(0, 7), (15, 7)], G3)
        rect(d, 4, 4, 11, 11, LBLUE)
        line(d, [(5, 7), (10, 7)], BLUE)
        for y0, y1 in ((0, 2), (15, 13)):
            line(d, [(7, y0), (7, y1)], BLUE)
        px(d, 6, 2, BLUE); px(d, 8, 2, BLUE); px(d, 6, 13, BLUE); px(d, 8, 13, BLUE)
    elif name == "center_both":
        rect(d, 0, 0, 15, 15, None, out=G3)
        line(d, [(7, 1), (7, 14)], G2)
        line(d, [(1, 7), (14, 7)], G2)
        rect(d, 4, 4, 11, 11, LBLUE)
        rect(d, 6, 6, 9, 9, BLUE)
    elif name == "up":
        poly(d, [(7, 1), (14, 8), (10, 8), (10, 14), (5, 14), (5, 8), (1, 8)], GREEN)
    elif name == "down":
        poly(d, [(7, 14), (14, 7), (10, 7), (10, 1), (5, 1), (5, 7), (1, 7)], GREEN)
    elif name == "readcd":
        disc(d, 7.5, 7.5, 7)
    elif name == "sort":
        for i, w in enumerate((4, 6, 8, 10)):
            rect(d, 1, 1 + i * 4, 1 + w, 2 + i * 4, G2)
        poly(d, [(13, 15), (15, 11), (14, 11), (14, 1), (12, 1), (12, 11), (11, 11)], BLUE)
    elif name == "zoom_in":
        magnifier(d, 0, 0, 16, "+")
    elif name == "zoom_out":
        magnifier(d, 0, 0, 16, "-")
    elif name == "alignment":
        page(d, 1, 0, 14, 15, fold=0)
        line(d, [(7, 2), (7, 13)], RED)
        line(d, [(3, 7), (12, 7)], RED)
        ell(d, 4, 4, 10, 10, None, out=RED)
    elif name == "image_folder":
        folder(d, 0, 1, 15, 14)
        picture(d, 4, 6, 12, 12)
    elif name == "template":
        page(d, 0, 0, 15, 15, fold=0)
        rect(d, 2, 2, 7, 7, LBLUE)
        disc(d, 10.5, 10.5, 3.5, label=None, hole=1, shine=False)
        rect(d, 2, 9, 7, 13, LBLUE)
        rect(d, 9, 2, 13, 7, LBLUE)
    elif name == "save_image":
        picture(d, 0, 0, 12, 10)
        floppy(d, 7, 6, 15, 15)
    elif name == "print_setup":
        printer(d, 0, 0, 12, 11)
        ell(d, 9, 9, 15, 15, G2)
        ell(d, 11, 11, 13, 13, CLEAR)
    elif name == "about":
        ell(d, 0, 0, 15, 15, BLUE)
        rect(d, 7, 3, 8, 4, WHITE, out=WHITE)
        rect(d, 7, 6, 8, 12, WHITE, out=WHITE)
        line(d, [(6, 6), (6, 6)], WHITE)
        line(d, [(6, 12), (9, 12)], WHITE)
    else:
        raise KeyError(name)
    return img


# The menu strip: index -> (picture, what the command is).
MENU_STRIP = [
    ("new", "57600 New"), ("open", "57601 Open"), ("save", "57603 Save"), ("print", "57607 Print"),
    ("cut", "57635 Cut Text / 33006"), ("copy", "57634 Copy Text / 33007"),
    ("paste", "57637 Paste Text / 33008"), ("delete", "33004 Delete Object / 33010, Remove"),
    ("undo", "57643 Undo"), ("redo", "57644 Redo"), ("help", "32868 Help"),
    ("preview", "57609 Print Preview (Preview button)"), ("check", "check mark of checked items"),
    ("center_h", "32858 Center Horizontally"), ("center_v", "32859 Center Vertically"),
    ("center_both", "32860 (centre both ways)"), ("up", "Move Row Up"), ("down", "Move Row Down"),
    ("readcd", "spare (Read CD)"), ("sort", "Sort Track Names"), ("zoom_in", "spare (Zoom In)"),
    ("zoom_out", "spare (Zoom Out)"), ("alignment", "32888 (label alignment)"),
    ("image_folder", "Image Folder / Save Image button"), ("template", "32867 Change Label Template"),
    ("save_image", "spare (Save As Image)"),
]

# The 16 x 16 tool bar whose images the menus take for the same commands (0 = separator).
TOOLBAR_128 = [
    (57600, "new"), (57601, "open"), (57603, "save"), (0, None),
    (57635, "cut"), (57634, "copy"), (57637, "paste"), (0, None),
    (57607, "print"), (57606, "print_setup"), (0, None),
    (32828, "readcd"), (32799, "zoom_out"), (32803, "zoom_in"), (0, None),
    (33016, "save_image"), (0, None), (57664, "about"),
]
TOOLBAR_128_TEXT = {
    57600: "New", 57601: "Open", 57603: "Save", 57635: "Cut Text", 57634: "Copy Text",
    57637: "Paste Text", 57607: "Print", 57606: "Print Setup", 32828: "Read CD",
    32799: "Zoom Out", 32803: "Zoom In", 33016: "Save As Image", 57664: "About",
}

# What each picture shows, by picture name.
SHOWS = {
    "new": "blank page with a yellow sparkle", "open": "open yellow folder", "save": "blue floppy disk",
    "print": "printer with paper", "cut": "scissors with red grips", "copy": "two pages",
    "paste": "orange clipboard with a page", "delete": "red cross", "undo": "blue arrow curving back",
    "redo": "blue arrow curving on", "help": "white question mark on blue disc",
    "preview": "page under a magnifier", "check": "green tick",
    "center_h": "box centred on a vertical line, arrows from the sides",
    "center_v": "box centred on a horizontal line, arrows from top and bottom",
    "center_both": "box centred on both axes of a frame", "up": "green arrow up", "down": "green arrow down",
    "readcd": "compact disc", "sort": "bars growing in length, blue arrow down",
    "zoom_in": "magnifier with plus", "zoom_out": "magnifier with minus",
    "alignment": "page with a red cross-hair", "image_folder": "yellow folder holding a picture",
    "template": "sheet of label places with a disc", "save_image": "picture with a floppy disk",
    "print_setup": "printer with a grey wheel", "about": "white i on blue disc",
}

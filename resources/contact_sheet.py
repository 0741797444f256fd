"""The contact sheet: every resource as it is stored, and the windows put
together from them roughly as the program shows them, to judge the pictures
side by side at 100 % scale.

Usage: contact_sheet.py RESOURCES-DIR OUTPUT.png
"""

import os
import re
import sys

from PIL import Image, ImageDraw, ImageFont

import draw_resources as res

SRC = sys.argv[1]
OUT = sys.argv[2]

# System colours of a current Windows: button face, highlight, shadow.
FACE, HILITE, SHADOW = (240, 240, 240), (255, 255, 255), (160, 160, 160)
LABEL = res.font("DejaVuSans.ttf", 12)
SMALL = res.font("DejaVuSans.ttf", 11)
BOLD = res.font("DejaVuSans-Bold.ttf", 11)


def short_version():
    """The project's version as the windows show it ("2.5"), from CMakeLists.txt."""
    with open(os.path.join(SRC, "..", "CMakeLists.txt")) as f:
        return re.search(r"project\(\w+ VERSION (\d+\.\d+)", f.read()).group(1)


def load(name):
    return Image.open(os.path.join(SRC, name)).convert("RGB")


def recolour(img, factor):
    """How a glyph is greyed: by the sum of its channels, into four system colours."""
    out = img.copy()
    px = out.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            c = px[x, y]
            if c == res.KEY:
                continue
            s = sum(c)
            px[x, y] = FACE if s > 535 * factor else HILITE if s > 274 * factor else SHADOW if s > 55 * factor \
                else (0, 0, 0)
    return out


def masked(dst, img, xy, key=None):
    """Draws img with its bottom-left colour (or `key`) left out."""
    key = key or img.getpixel((0, img.size[1] - 1))
    m = Image.new("L", img.size, 0)
    m.putdata([0 if c == key else 255 for c in img.getdata()])
    dst.paste(img, xy, m)


def tiled(tile, size):
    out = Image.new("RGB", size)
    for y in range(0, size[1], tile.size[1]):
        for x in range(0, size[0], tile.size[0]):
            out.paste(tile, (x, y))
    return out


def bevel(d, box, raised=True, light=HILITE, dark=SHADOW):
    x0, y0, x1, y1 = box
    a, b = (light, dark) if raised else (dark, light)
    d.line((x0, y1, x0, y0, x1, y0), fill=a)
    d.line((x1, y0, x1, y1, x0, y1), fill=b)


def main_window():
    img = load("skin.bmp").crop((0, 0) + res.SHOWN)
    tex = load("texture.bmp")
    d = ImageDraw.Draw(img)

    x, y, w, h = res.LEFT_PANEL
    img.paste(tiled(tex, (w, h)), (x, y))
    fields = ((8, 10, 97, 19, "[-c-]"), (112, 9, 89, 21, "*.HTM;*.HTML"), (8, 32, 193, 129, ""),
              (8, 164, 193, 237, ""))
    for fx, fy, fw, fh, text in fields:
        d.rectangle((x + fx, y + fy, x + fx + fw - 1, y + fy + fh - 1), fill=res.WHITE)
        bevel(d, (x + fx, y + fy, x + fx + fw - 1, y + fy + fh - 1), raised=False)
        d.text((x + fx + 4, y + fy + 4), text, font=SMALL, fill=(0, 0, 0))
    for i, name in enumerate(("C:\\", "Sites", "shop")):
        d.text((x + 14 + 10 * i, y + 36 + 16 * i), name, font=SMALL, fill=(0, 0, 0))
    for i, name in enumerate(("about.htm", "contact.html", "index.htm", "news.html")):
        yy = y + 166 + 20 * i
        if i == 2:
            d.rectangle((x + 9, yy, x + 199, yy + 19), fill=(0, 120, 215))
        d.text((x + 30, yy + 4), name, font=SMALL, fill=res.WHITE if i == 2 else (0, 0, 0))

    x, y, w, h = res.PREVIEW
    img.paste(tiled(tex, (w, h)), (x, y))
    bevel(d, (x, y, x + w - 1, y + h - 1), raised=False)
    idle = load("idle.bmp")
    masked(img, idle, (x + (w - idle.size[0]) // 2, y + (h - idle.size[1]) // 2))

    x, y, w, h = res.START
    d.rectangle((x, y, x + w - 1, y + h - 1), fill=(214, 224, 240))
    bevel(d, (x, y, x + w - 1, y + h - 1))
    bevel(d, (x + 1, y + 1, x + w - 2, y + h - 2), light=(250, 252, 255), dark=(150, 166, 196))
    d.text((x + w // 2, y + h // 2), "Start", font=res.font("DejaVuSans-Bold.ttf", 12), fill=(0, 0, 0), anchor="mm")

    # Help and Tips at rest (greyed until hovered), LOGs hovered, Exit pressed.
    looks = {"Help": "rest", "Tips": "rest", "LOGs": "hot", "Exit": "pressed"}
    names = {"Help": "help", "Tips": "tips", "LOGs": "log", "Exit": "exit"}
    for caption, bx in res.BUTTONS.items():
        strip = load("glyph-%s.bmp" % names[caption])
        look = looks[caption]
        p = 1 if look == "pressed" else 0
        glyph = strip.crop((32, 0, 64, 32)) if look == "pressed" else strip.crop((0, 0, 32, 32))
        if look == "rest":
            glyph = recolour(glyph, 1)
        masked(img, glyph, (bx + 8, 23 + 6 + p), res.KEY)
        d.text((bx + 24, 23 + 44 + p), caption, font=SMALL, fill=(0, 0, 255), anchor="mm")
        if look != "rest":
            bevel(d, (bx, 23, bx + 47, 23 + 53), raised=look == "hot")
    close = load("close.bmp")
    img.paste(close, res.CLOSE_AT)
    d.text((71, 10), "2.5", font=BOLD, fill=(128, 128, 128))
    for (lx, ly, lw, lh), text in zip(res.LINKS, ("Home page", "Write to us")):
        d.text((lx + lw // 2, ly + lh // 2), text, font=BOLD, fill=(0, 0, 0), anchor="mm")
        tw = d.textlength(text, font=BOLD)
        d.line((lx + lw // 2 - tw / 2, ly + lh // 2 + 7, lx + lw // 2 + tw / 2, ly + lh // 2 + 7), fill=(0, 0, 0))
    return img


def tip_window():
    w, h = 347, 233
    tex = load("texture.bmp")
    img = tiled(tex, (w, h))
    img.paste(res.linear((w, 33), [(0, res.SKY), (1, res.ICE)], 90), (0, 0))
    img.paste(Image.new("RGB", (w, 34), res.SKY), (0, h - 34))
    d = ImageDraw.Draw(img)
    f = res.font("DejaVuSans-BoldOblique.ttf", 20)
    title = "HTML Vexel Pro v" + short_version()
    d.text((15, 5), title, font=f, fill=(128, 128, 128))
    d.text((16, 6), title, font=f, fill=res.WHITE)
    masked(img, load("tip-title.bmp"), (8, 40))
    lines = ("HTML Vexel support password ! You can enter a password", "insert to compressed HTML files.", "")
    for i, line in enumerate(lines):
        d.text((16, 88 + 16 * i), line, font=SMALL, fill=(0, 0, 0))
    d.rectangle((16, 142, 28, 154), fill=res.WHITE, outline=(60, 60, 60))
    d.line((18, 148, 21, 151, 26, 144), fill=(0, 0, 0), width=2)
    d.text((33, 142), "Show Tips at Startup", font=BOLD, fill=(0, 0, 0))
    corner = load("tip-corner.bmp")
    full = Image.new("RGB", (w + 11, h), (0, 0, 0))
    full.paste(img, (11, 0))
    masked(full, corner, (0, 166))
    img = full.crop((11, 0, w + 11, h))
    d = ImageDraw.Draw(img)
    for bx, caption in ((184, "Next Tips"), (264, "Close")):
        d.rounded_rectangle((bx + 2, 170, bx + 70, 190), radius=10, fill=(214, 226, 244), outline=(0, 0, 0))
        d.ellipse((bx + 8, 175, bx + 18, 185), fill=(0, 0, 128))
        d.text((bx + 43, 180), caption, font=SMALL, fill=(0, 0, 0), anchor="mm")
    d.text((88, 196), "Registered organisation", font=SMALL, fill=(0, 0, 0))
    return img


def splash_window():
    img = Image.new("RGB", (334, 175), FACE)
    d = ImageDraw.Draw(img)
    bevel(d, (0, 0, 333, 174), raised=False)
    bevel(d, (1, 1, 332, 173), raised=True)
    img.paste(Image.open(os.path.join(SRC, "splash.gif")).convert("RGB"), (2, 2))
    d = ImageDraw.Draw(img)
    d.text((8, 8), "Bulid 0415", font=SMALL, fill=(0, 0, 0))
    # The program writes its version on the band at run time.
    d.text((318, 162), "Version " + short_version(), font=SMALL, fill=(200, 220, 255), anchor="rs")
    return img


def zoom(img, k):
    return img.resize((img.size[0] * k, img.size[1] * k), Image.Resampling.NEAREST)


class Sheet:
    def __init__(self, width, height):
        self.img = Image.new("RGB", (width, height), (96, 104, 118))
        self.d = ImageDraw.Draw(self.img)

    def put(self, img, xy, caption):
        x, y = xy
        self.d.text((x, y), caption, font=LABEL, fill=(255, 255, 255))
        self.img.paste(img, (x, y + 18))
        return y + 18 + img.size[1] + 14


def main():
    sheet = Sheet(1500, 1560)
    left, right = 20, 690
    y = sheet.put(main_window(), (left, 16), "Main window, put together (Help and Tips at rest, LOGs hovered, "
                                             "Exit pressed)")
    y = sheet.put(load("skin.bmp"), (left, y), "skin.bmp  636 x 452")

    ry = sheet.put(tip_window(), (right, 16), "Tip window, put together")
    ry = sheet.put(splash_window(), (right, ry), "Splash window with splash.gif (330 x 172, GIF87a)")
    col2 = right + 400
    gy = ry
    for name in ("help", "tips", "log", "exit"):
        strip = load("glyph-%s.bmp" % name)
        row = Image.new("RGB", (128 * 3, 32 * 3 + 40), (96, 104, 118))
        row.paste(zoom(strip, 3), (0, 0))
        row.paste(strip, (0, 100))
        row.paste(recolour(strip.crop((0, 0, 32, 32)), 1), (140, 100))
        row.paste(recolour(strip.crop((96, 0, 128, 32)), 2), (180, 100))
        ry = sheet.put(row, (right, ry), "glyph-%s.bmp 128 x 32 (x3; then x1, greyed, disabled)" % name)

    items = [("close.bmp", zoom(load("close.bmp"), 4), "close.bmp 17 x 17 (x4)"),
             ("texture.bmp", tiled(load("texture.bmp"), (192, 128)), "texture.bmp 64 x 64, tiled"),
             ("idle.bmp", load("idle.bmp"), "idle.bmp 300 x 110"),
             ("tip-title.bmp", load("tip-title.bmp"), "tip-title.bmp 325 x 35"),
             ("tip-corner.bmp", load("tip-corner.bmp"), "tip-corner.bmp 96 x 67")]
    x2 = col2 + 10
    for _, img, caption in items:
        gy = sheet.put(img, (x2, gy), caption)
    icons = Image.new("RGB", (48 * 2 + 32 * 2 + 16 * 2 + 40, 150), (96, 104, 118))
    ico = Image.open(os.path.join(SRC, "vexel.ico"))
    sizes = sorted(ico.info.get("sizes", []))
    ix = 0
    for n in (16, 32, 48):
        ico.size = (n, n)
        frame = ico.convert("RGBA")
        icons.paste(frame, (ix, 0), frame)
        icons.paste(zoom(frame, 2).convert("RGB"), (ix, 52), zoom(frame, 2))
        ix += 2 * n + 8
    gy = sheet.put(icons, (x2, gy), "vexel.ico %s, and x2" % ", ".join("%dx%d" % s for s in sizes))
    sheet.img.crop((0, 0, sheet.img.size[0], max(y, ry, gy))).save(OUT)


if __name__ == "__main__":
    main()

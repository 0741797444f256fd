"""Draws every picture of the Html Vexel desktop program.

One palette, one light: every surface is lit from the top left, so highlights
sit on top and left edges and shadows fall to the bottom right. Small shapes
are drawn four times over and scaled down, which smooths their edges.

Pictures that are drawn with a transparent colour (glyph strips, the idle
picture, the tip window's pictures) use magenta as that colour, in their
bottom-left pixel; their soft edges are blended with the colour of the
surface they are shown on, so no fringe shows there.

Run through make-resources.sh, which also builds the icon, the splash GIF and
the contact sheet.
"""

import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
WORK = sys.argv[2] if len(sys.argv) > 2 else OUT
S = 4  # supersampling factor for shapes

# ---- Palette --------------------------------------------------------------
INK = (6, 14, 34)          # outlines; dark enough to stay black when greyed
NAVY = (18, 38, 92)
DEEP = (24, 62, 148)
BLUE = (40, 98, 196)
BRIGHT = (96, 156, 236)
SKY = (135, 190, 255)      # the tip window's bands
ICE = (230, 235, 240)      # the tip window's band gradient end
PALE = (244, 247, 252)
STEEL = (92, 116, 158)
GREY = (92, 100, 118)
AMBER = (252, 196, 64)
GOLD = (222, 138, 16)
RED = (214, 64, 50)
WHITE = (255, 255, 255)
KEY = (255, 0, 255)        # the transparent colour
SHELF = (238, 243, 251)    # the tool shelf behind the glyphs

FONTS = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def ramp(stops, t):
    """The colour at t (0..1) of a gradient through (position, colour) stops."""
    t = min(1.0, max(0.0, t))
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, 0 if p1 == p0 else (t - p0) / (p1 - p0))
    return stops[-1][1]


def linear(size, stops, angle=90.0):
    """A gradient image; angle 90 runs top to bottom, 45 top left to bottom right."""
    w, h = size
    dx, dy = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    corners = [x * dx + y * dy for x in (0, w - 1) for y in (0, h - 1)]
    lo, hi = min(corners), max(corners)
    span = (hi - lo) or 1.0
    img = Image.new("RGB", size)
    img.putdata([ramp(stops, ((x * dx + y * dy) - lo) / span) for y in range(h) for x in range(w)])
    return img


def radial(size, centre, radius, stops):
    w, h = size
    cx, cy = centre
    img = Image.new("RGB", size)
    img.putdata([ramp(stops, math.hypot(x - cx, y - cy) / radius) for y in range(h) for x in range(w)])
    return img


def layer(size):
    return Image.new("RGBA", size, (0, 0, 0, 0))


def mask(size):
    return Image.new("L", size, 0)


def paint(dst, fill, shape):
    """Lays `fill` (a colour or an RGB image) on `dst` through the L mask `shape`."""
    src = Image.new("RGBA", dst.size, fill + (255,)) if isinstance(fill, tuple) else fill.convert("RGBA")
    src.putalpha(ImageChops.multiply(src.getchannel("A"), shape))
    dst.alpha_composite(src)


def grow(shape, px):
    """The mask widened by px pixels all round (an outline's outer edge)."""
    px = int(round(px))
    return shape.filter(ImageFilter.MaxFilter(2 * px + 1)) if px > 0 else shape


def shrink(shape, px):
    px = int(round(px))
    return shape.filter(ImageFilter.MinFilter(2 * px + 1)) if px > 0 else shape


def outlined(dst, shape, fill, outline=INK, width=S):
    """An outlined shape: the outline lies outside the shape's edge."""
    paint(dst, outline, grow(shape, width))
    paint(dst, fill, shape)


def gloss(dst, shape, box, strength=110):
    """A soft highlight ellipse from the top left, kept inside the shape."""
    m = mask(dst.size)
    ImageDraw.Draw(m).ellipse(box, fill=strength)
    m = m.filter(ImageFilter.GaussianBlur(dst.size[0] / 40))
    paint(dst, WHITE, ImageChops.multiply(m, shrink(shape, S)))


def down(img, size):
    return img.resize(size, Image.Resampling.BOX)


def keyed(rgba, ground, cut=0.45):
    """Flattens an RGBA picture for drawing with the transparent colour:
    nearly clear pixels become the key, the rest are blended with `ground`."""
    out = Image.new("RGB", rgba.size, KEY)
    px = out.load()
    src = rgba.load()
    for y in range(rgba.size[1]):
        for x in range(rgba.size[0]):
            r, g, b, a = src[x, y]
            if a / 255 >= cut:
                c = mix(ground, (r, g, b), a / 255)
                px[x, y] = c if c != KEY else (254, 0, 254)
    return out


def text_3d(dst, xy, text, fnt, face, highlight=WHITE, shadow=(0, 0, 0, 90), anchor="ls", depth=2):
    """Text lit from the top left: a highlight copy up-left, a soft shadow down-right."""
    sh = layer(dst.size)
    d = ImageDraw.Draw(sh)
    d.text((xy[0] + depth, xy[1] + depth), text, font=fnt, fill=shadow, anchor=anchor)
    dst.alpha_composite(sh.filter(ImageFilter.GaussianBlur(1.2)))
    d = ImageDraw.Draw(dst)
    d.text((xy[0] - 1, xy[1] - 1), text, font=fnt, fill=highlight, anchor=anchor)
    if isinstance(face, tuple):
        d.text(xy, text, font=fnt, fill=face, anchor=anchor)
    else:  # a gradient face
        m = mask(dst.size)
        ImageDraw.Draw(m).text(xy, text, font=fnt, fill=255, anchor=anchor)
        paint(dst, face, m)


# ---- The product mark: a page pinched at the waist by two arrowheads -----

def bezier(p0, p1, p2, steps=16):
    return [((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
             (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
            for t in (i / steps for i in range(steps + 1))]


def emblem(n):
    """The mark at n x n pixels, RGBA, designed on a 32-unit grid."""
    big = n * S
    img = layer((big, big))
    u = big / 32.0
    line = max(S, int(round(u if n >= 32 else S)))

    tile = mask(img.size)
    ImageDraw.Draw(tile).rounded_rectangle((1.2 * u, 1.2 * u, 30.6 * u, 30.6 * u), radius=6 * u, fill=255)
    outlined(img, tile, linear(img.size, [(0, BRIGHT), (0.55, BLUE), (1, DEEP)], 55), NAVY, line)
    gloss(img, tile, (-6 * u, -10 * u, 26 * u, 14 * u), 120)

    # The page: straight top and bottom, sides drawn in towards the middle.
    x0, x1, y0, y1, pinch, fold = 9.5, 22.5, 4.5, 27.5, 3.2, 5.0
    ym = (y0 + y1) / 2
    right = bezier((x1, y0 + fold), (x1 - 2 * pinch, ym), (x1, y1))
    left = bezier((x0, y1), (x0 + 2 * pinch, ym), (x0, y0))
    outline = [(x0, y0), (x1 - fold, y0)] + right + left
    page = mask(img.size)
    ImageDraw.Draw(page).polygon([(x * u, y * u) for x, y in outline], fill=255)
    outlined(img, page, linear(img.size, [(0, WHITE), (1, (206, 218, 238))], 60), INK, line)
    corner = mask(img.size)
    ImageDraw.Draw(corner).polygon([((x1 - fold) * u, y0 * u), ((x1 - fold) * u, (y0 + fold) * u),
                                    (x1 * u, (y0 + fold) * u)], fill=255)
    outlined(img, corner, (178, 196, 226), INK, max(S // 2, line // 2))
    if n >= 32:
        d = ImageDraw.Draw(img)
        for y, a, b in ((9, 12, 16.5), (12, 13.2, 18.6), (20.5, 13.2, 18.8), (23.5, 12, 19.8)):
            d.line((a * u, y * u, b * u, y * u), fill=STEEL + (255,), width=int(u))

    # Two amber arrowheads pressing on the waist from outside.
    arrows = mask(img.size)
    d = ImageDraw.Draw(arrows)
    reach = x0 + pinch - 0.6
    d.polygon([(3.6 * u, (ym - 4.6) * u), (reach * u, ym * u), (3.6 * u, (ym + 4.6) * u)], fill=255)
    d.polygon([(28.4 * u, (ym - 4.6) * u), ((32 - reach) * u, ym * u), (28.4 * u, (ym + 4.6) * u)], fill=255)
    outlined(img, arrows, linear(img.size, [(0, (255, 228, 140)), (0.5, AMBER), (1, GOLD)], 70), INK, line)
    return down(img, (n, n))


# ---- Tool-button glyphs, 32 x 32 ----------------------------------------

def glyph_help():
    img = layer((32 * S, 32 * S))
    u = S
    disc = mask(img.size)
    ImageDraw.Draw(disc).ellipse((3 * u, 3 * u, 29 * u, 29 * u), fill=255)
    outlined(img, disc, radial(img.size, (11 * u, 10 * u), 20 * u,
                               [(0, (70, 126, 220)), (0.08, (44, 96, 190)), (0.17, (30, 74, 164)),
                                (0.6, (14, 38, 104)), (1, (10, 28, 80))]))
    gloss(img, disc, (7 * u, 4.5 * u, 15 * u, 9 * u), 70)
    mark = mask(img.size)
    ImageDraw.Draw(mark).text((16.3 * u, 16.8 * u), "?", font=font("DejaVuSans-Bold.ttf", 21 * u), fill=255, anchor="mm")
    paint(img, INK, ImageChops.offset(mark, u // 2, u // 2))
    paint(img, WHITE, mark)
    return down(img, (32, 32))


def bulb(img, u, ox=0.0, oy=0.0):
    """A light bulb on a 32-unit grid, drawn into img."""
    glass = mask(img.size)
    d = ImageDraw.Draw(glass)
    d.ellipse(((ox + 6) * u, (oy + 2) * u, (ox + 26) * u, (oy + 22) * u), fill=255)
    d.polygon([((ox + 9) * u, (oy + 17) * u), ((ox + 23) * u, (oy + 17) * u),
               ((ox + 20.5) * u, (oy + 24) * u), ((ox + 11.5) * u, (oy + 24) * u)], fill=255)
    outlined(img, glass, radial(img.size, ((ox + 12) * u, (oy + 8) * u), 17 * u,
                                [(0, (255, 252, 214)), (0.45, AMBER), (1, GOLD)]), INK, u)
    gloss(img, glass, ((ox + 8) * u, (oy + 3.5) * u, (ox + 17) * u, (oy + 11) * u), 170)
    # The filament: two wires and a loop between them, seen through the glass.
    d = ImageDraw.Draw(img)
    wire = int(max(2, u // 2 + 1))
    brown = (170, 84, 8, 255)
    d.line(((ox + 14) * u, (oy + 22.5) * u, (ox + 14) * u, (oy + 15.5) * u), fill=brown, width=wire)
    d.line(((ox + 18) * u, (oy + 22.5) * u, (ox + 18) * u, (oy + 15.5) * u), fill=brown, width=wire)
    d.arc(((ox + 13) * u, (oy + 12) * u, (ox + 19) * u, (oy + 18) * u), 180, 360, fill=brown, width=wire)
    base = mask(img.size)
    ImageDraw.Draw(base).rounded_rectangle(((ox + 11.5) * u, (oy + 24) * u, (ox + 20.5) * u, (oy + 29) * u),
                                           radius=u, fill=255)
    outlined(img, base, linear(img.size, [(0, (200, 208, 222)), (0.35, (112, 124, 146)), (1, (52, 62, 84))], 0),
             INK, u)
    d = ImageDraw.Draw(img)
    for y in (25.7, 27.4):
        d.line(((ox + 12) * u, (oy + y) * u, (ox + 20) * u, (oy + y) * u), fill=INK + (255,), width=int(max(2, u // 2)))
    tip = mask(img.size)
    ImageDraw.Draw(tip).ellipse(((ox + 14) * u, (oy + 28.5) * u, (ox + 18) * u, (oy + 31) * u), fill=255)
    paint(img, INK, tip)


def glyph_tips():
    img = layer((32 * S, 32 * S))
    bulb(img, S)
    return down(img, (32, 32))


def glyph_log():
    img = layer((32 * S, 32 * S))
    u = S
    fold = 7 * u
    x0, y0, x1, y1 = 6 * u, 3 * u, 26 * u, 29 * u
    page = mask(img.size)
    ImageDraw.Draw(page).polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], fill=255)
    outlined(img, page, linear(img.size, [(0, WHITE), (0.6, (238, 242, 250)), (1, (200, 212, 234))], 60))
    corner = mask(img.size)
    ImageDraw.Draw(corner).polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], fill=255)
    outlined(img, corner, linear(img.size, [(0, (214, 224, 242)), (1, (150, 170, 206))], 45), INK, u // 2)
    d = ImageDraw.Draw(img)
    d.line((9.5 * u, 8.5 * u, 17 * u, 8.5 * u), fill=DEEP + (255,), width=int(2.2 * u))
    for y, end in ((13.5, 22.5), (17, 20.5), (20.5, 22.5), (24, 18)):
        d.line((9.5 * u, y * u, end * u, y * u), fill=NAVY + (255,), width=int(1.3 * u))
    return down(img, (32, 32))


def glyph_exit():
    img = layer((32 * S, 32 * S))
    u = S
    frame = mask(img.size)
    ImageDraw.Draw(frame).rectangle((4 * u, 3 * u, 19 * u, 29 * u), fill=255)
    outlined(img, frame, linear(img.size, [(0, (40, 56, 96)), (1, (14, 24, 52))], 60))
    leaf = mask(img.size)
    ImageDraw.Draw(leaf).polygon([(4 * u, 3 * u), (12 * u, 6 * u), (12 * u, 31 * u), (4 * u, 29 * u)], fill=255)
    outlined(img, leaf, linear(img.size, [(0, BRIGHT), (0.6, BLUE), (1, DEEP)], 20))
    knob = mask(img.size)
    ImageDraw.Draw(knob).ellipse((9 * u, 16.5 * u, 11.4 * u, 18.9 * u), fill=255)
    paint(img, AMBER, knob)
    arrow = mask(img.size)
    ImageDraw.Draw(arrow).polygon([(14 * u, 13.5 * u), (21 * u, 13.5 * u), (21 * u, 9 * u), (29.5 * u, 16 * u),
                                   (21 * u, 23 * u), (21 * u, 18.5 * u), (14 * u, 18.5 * u)], fill=255)
    outlined(img, arrow, linear(img.size, [(0, (252, 150, 120)), (0.5, RED), (1, (150, 30, 22))], 60))
    return down(img, (32, 32))


def adjust(rgba, factor):
    """Brighter (factor > 1) or darker (< 1), keeping the alpha."""
    rgb = rgba.convert("RGB").point(lambda v: max(0, min(255, int(v * factor if factor <= 1 else
                                                                 v + (255 - v) * (factor - 1)))))
    out = rgb.convert("RGBA")
    out.putalpha(rgba.getchannel("A"))
    return out


def disabled(rgba):
    """The classic disabled look: the dark parts of the glyph in grey over a
    white copy one pixel down-right; the light parts are left out."""
    dark = ImageChops.multiply(rgba.convert("L").point(lambda v: 255 if v < 110 else 0),
                               rgba.getchannel("A").point(lambda v: 255 if v >= 128 else 0))
    out = layer(rgba.size)
    paint(out, WHITE, ImageChops.offset(dark, 1, 1))
    paint(out, (128, 128, 128), dark)
    return out


def strip(glyph):
    """Normal, pressed, hot and disabled looks side by side on the key colour."""
    pressed = layer(glyph.size)
    pressed.alpha_composite(adjust(glyph, 0.86), (1, 1))
    looks = [glyph, pressed, adjust(glyph, 1.12), disabled(glyph)]
    out = Image.new("RGB", (32 * 4, 32), KEY)
    for i, look in enumerate(looks):
        out.paste(keyed(look, SHELF), (32 * i, 0))
    out.putpixel((0, 31), KEY)
    return out


# ---- The texture behind panels (the main window's texture background) -----

def texture():
    n = 64
    rnd = random.Random(415)
    noise = Image.new("L", (n, n))
    noise.putdata([rnd.randint(0, 255) for _ in range(n * n)])
    tiled = Image.new("L", (3 * n, 3 * n))
    for i in range(3):
        for j in range(3):
            tiled.paste(noise, (i * n, j * n))
    soft = tiled.filter(ImageFilter.GaussianBlur(1.1)).crop((n, n, 2 * n, 2 * n))
    lo, hi = soft.getextrema()
    out = Image.new("RGB", (n, n))
    base = (226, 233, 244)
    px = []
    for y in range(n):
        for x in range(n):
            v = (soft.getpixel((x, y)) - lo) / max(1, hi - lo) - 0.5
            weave = 1.6 if (x + y) % 4 == 0 else (-1.0 if (x - y) % 4 == 0 else 0.0)
            k = v * 9 + weave
            px.append(tuple(max(0, min(255, int(round(c + k)))) for c in base))
    out.putdata(px)
    return out


# ---- The main window's skin -------------------------------------------------

SKIN = (636, 452)
SHOWN = (634, 450)  # the window's client area: the last two columns and rows are never seen
LEFT_PANEL = (18, 32, 209, 406)
PREVIEW = (230, 224, 387, 193)
START = (248, 176, 99, 41)
SHELF_BOX = (364, 17, 618, 82)
BUTTONS = {"Help": 371, "Tips": 419, "LOGs": 515, "Exit": 563}
CLOSE_AT = (616, 2)
LINKS = ((256, 422, 161, 21), (440, 421, 161, 21))


def groove(d, box, sunk=True):
    """A one-pixel bevel round `box`: shadow top-left and light bottom-right when sunk."""
    x0, y0, x1, y1 = box
    dark, light = (150, 166, 196), WHITE
    a, b = (dark, light) if sunk else (light, dark)
    d.line((x0, y1, x0, y0, x1, y0), fill=a)
    d.line((x1, y0 + 1, x1, y1, x0 + 1, y1), fill=b)


def well(img, panel):
    """A recess a panel sits in: two sunken rings just outside it."""
    x, y, w, h = panel
    d = ImageDraw.Draw(img)
    groove(d, (x - 3, y - 3, x + w + 2, y + h + 2), sunk=True)
    groove(d, (x - 2, y - 2, x + w + 1, y + h + 1), sunk=False)
    d.rectangle((x - 1, y - 1, x + w, y + h), fill=(214, 223, 238))


def globe(n):
    img = layer((n * S, n * S))
    u = S * n / 16
    disc = mask(img.size)
    ImageDraw.Draw(disc).ellipse((1.2 * u, 1.2 * u, 14.8 * u, 14.8 * u), fill=255)
    outlined(img, disc, radial(img.size, (5 * u, 4.5 * u), 13 * u, [(0, (170, 210, 255)), (0.6, BLUE), (1, DEEP)]),
             INK, S)
    d = ImageDraw.Draw(img)
    w = max(2, S // 2)
    d.ellipse((5 * u, 1.5 * u, 11 * u, 14.5 * u), outline=WHITE + (200,), width=w)
    d.line((1.5 * u, 8 * u, 14.5 * u, 8 * u), fill=WHITE + (200,), width=w)
    d.line((8 * u, 1.5 * u, 8 * u, 14.5 * u), fill=WHITE + (200,), width=w)
    return down(img, (n, n))


def envelope(n):
    img = layer((n * S, n * S))
    u = S * n / 16
    body = mask(img.size)
    ImageDraw.Draw(body).rectangle((1 * u, 3.5 * u, 15 * u, 13 * u), fill=255)
    outlined(img, body, linear(img.size, [(0, WHITE), (1, (196, 210, 234))], 60), INK, S)
    d = ImageDraw.Draw(img)
    d.line((1.5 * u, 4 * u, 8 * u, 9 * u, 14.5 * u, 4 * u), fill=STEEL + (255,), width=S)
    return down(img, (n, n))


def skin():
    w, h = SHOWN
    img = linear(SKIN, [(0, (246, 249, 253)), (0.5, (226, 234, 246)), (1, (198, 213, 236))], 38).convert("RGBA")

    # A wide, faint band of light from the top left, across the title area.
    glow = mask(SKIN)
    ImageDraw.Draw(glow).ellipse((150, -260, 760, 250), fill=60)
    paint(img, WHITE, glow.filter(ImageFilter.GaussianBlur(40)))
    swoosh = mask(SKIN)
    ImageDraw.Draw(swoosh).ellipse((236, 86, 980, 420), outline=70, width=3)
    ImageDraw.Draw(swoosh).ellipse((250, 92, 960, 400), outline=40, width=2)
    paint(img, SKY, swoosh.filter(ImageFilter.GaussianBlur(1)))

    d = ImageDraw.Draw(img)
    # The window's edge: a dark line, then a raised bevel.
    d.rectangle((0, 0, SKIN[0] - 1, SKIN[1] - 1), outline=NAVY)
    d.rectangle((w - 1, 0, SKIN[0] - 1, SKIN[1] - 1), fill=NAVY)
    d.rectangle((0, h - 1, SKIN[0] - 1, SKIN[1] - 1), fill=NAVY)
    d.line((1, h - 2, 1, 1, w - 2, 1), fill=WHITE)
    d.line((w - 2, 1, w - 2, h - 2, 1, h - 2), fill=(120, 140, 182))

    # The title line at the top left; the version label follows at 71, 10.
    d.text((9, 21), "Html Vexel", font=font("DejaVuSansCondensed-Bold.ttf", 11), fill=NAVY, anchor="ls")
    d.line((9, 25, 360, 25), fill=(176, 192, 222))
    d.line((9, 26, 360, 26), fill=WHITE)

    well(img, LEFT_PANEL)
    well(img, PREVIEW)

    # The tool shelf behind the four large buttons, with a groove in the gap
    # between Tips and LOGs.
    shelf = mask(SKIN)
    ImageDraw.Draw(shelf).rounded_rectangle(SHELF_BOX, radius=7, fill=255)
    paint(img, (150, 172, 212), grow(shelf, 1))
    x0, y0, x1, y1 = SHELF_BOX
    fill = Image.new("RGB", SKIN, SHELF)
    # Flat where the glyphs sit, so their blended edges match it exactly.
    fill.paste(linear((x1 - x0 + 1, y1 - y0 + 1), [(0, (252, 253, 255)), (0.18, SHELF), (0.78, SHELF),
                                                   (1, (226, 234, 247))], 90), (x0, y0))
    paint(img, fill, shelf)
    d = ImageDraw.Draw(img)
    d.line((x0 + 5, y0 + 1, x1 - 5, y0 + 1), fill=WHITE)
    d.line((x0 + 1, y0 + 5, x0 + 1, y1 - 5), fill=WHITE)
    d.line((x0 + 5, y1 - 1, x1 - 5, y1 - 1), fill=(208, 218, 236))
    gx = (BUTTONS["Tips"] + 48 + BUTTONS["LOGs"]) // 2
    d.line((gx, y0 + 10, gx, y1 - 10), fill=(168, 186, 218))
    d.line((gx + 1, y0 + 10, gx + 1, y1 - 10), fill=WHITE)

    # The product's name above the Start button.
    mark = emblem(48)
    img.alpha_composite(mark, (240, 104))
    title = font("DejaVuSans-BoldOblique.ttf", 40)
    face = Image.new("RGB", SKIN, NAVY)
    face.paste(linear((360, 34), [(0, BLUE), (1, NAVY)], 90), (296, 112))
    text_3d(img, (298, 144), "Html Vexel", title, face)
    d = ImageDraw.Draw(img)
    d.text((300, 163), "HTML page compressor", font=font("DejaVuSans.ttf", 12), fill=STEEL, anchor="ls")
    d.text((360, 201), "Pick pages on the left, then press Start.", font=font("DejaVuSans-Oblique.ttf", 11),
           fill=GREY, anchor="ls")

    # Small marks in front of the two links at the bottom.
    img.alpha_composite(globe(16), (236, 424))
    img.alpha_composite(envelope(16), (421, 424))
    return img.convert("RGB")


def close_button(ground):
    """The small close picture, drawn on the piece of skin it covers."""
    img = ground.convert("RGBA").resize((17 * S, 17 * S), Image.Resampling.NEAREST)
    u = S
    box = mask(img.size)
    ImageDraw.Draw(box).rounded_rectangle((1 * u, 1 * u, 15.5 * u, 15.5 * u), radius=3 * u, fill=255)
    outlined(img, box, linear(img.size, [(0, (246, 132, 110)), (0.5, RED), (1, (150, 32, 24))], 60),
             (104, 22, 16), u)
    gloss(img, box, (0, -4 * u, 15 * u, 8 * u), 110)
    cross = mask(img.size)
    d = ImageDraw.Draw(cross)
    d.line((5.2 * u, 5.2 * u, 11.3 * u, 11.3 * u), fill=255, width=int(2.1 * u))
    d.line((11.3 * u, 5.2 * u, 5.2 * u, 11.3 * u), fill=255, width=int(2.1 * u))
    paint(img, (120, 24, 18), ImageChops.offset(cross, u // 2, u // 2))
    paint(img, WHITE, cross)
    return down(img, (17, 17)).convert("RGB")


# ---- Pictures with a transparent colour ------------------------------------

def idle_picture(ground):
    img = layer((300, 110))
    img.alpha_composite(emblem(64), (118, 2))
    d = ImageDraw.Draw(img)
    d.text((150, 86), "Html Vexel", font=font("DejaVuSans-BoldOblique.ttf", 17), fill=NAVY + (255,), anchor="ms")
    d.text((150, 103), "Click a page in the list to see its source.", font=font("DejaVuSans.ttf", 11),
           fill=GREY + (255,), anchor="ms")
    out = keyed(img, ground, cut=0.5)
    out.putpixel((0, out.size[1] - 1), KEY)
    return out


def tip_title(ground):
    img = layer((325 * S, 35 * S))
    bulb(img, S * 30 / 32, ox=0.5, oy=1.8)
    img = down(img, (325, 35))
    d = ImageDraw.Draw(img)
    text_3d(img, (36, 24), "Did you know...", font("DejaVuSans-BoldOblique.ttf", 19), NAVY,
            shadow=(0, 0, 0, 70), depth=1)
    rule = linear((280, 2), [(0, BLUE), (0.7, BRIGHT), (1, ground)], 0)
    img.alpha_composite(rule.convert("RGBA"), (36, 29))
    d.line((36, 31, 315, 31), fill=WHITE + (255,))
    out = keyed(img, ground, cut=0.5)
    out.putpixel((0, 34), KEY)
    return out


def tip_corner(ground):
    """A large bulb in the tip window's bottom-left corner, partly cut off by
    the window's edge; its rays point up and right, away from the light."""
    w, h = 96, 67
    img = layer((w * S, h * S))
    u = S * 2.0
    bulb(img, u, ox=4.5, oy=0.6)
    d = ImageDraw.Draw(img)
    cx, cy = (4.5 + 16) * u, (0.6 + 12) * u
    for angle in (-60, -30, 0):
        a = math.radians(angle)
        r0, r1 = 12.5 * u, 16 * u
        d.line((cx + r0 * math.cos(a), cy + r0 * math.sin(a), cx + r1 * math.cos(a), cy + r1 * math.sin(a)),
               fill=GOLD + (255,), width=int(1.4 * u))
    out = keyed(down(img, (w, h)), ground, cut=0.5)
    out.putpixel((0, h - 1), KEY)
    return out


# ---- Splash -----------------------------------------------------------------

def splash():
    w, h = 330, 172
    img = linear((w, h), [(0, (250, 252, 255)), (0.55, (222, 233, 250)), (1, (176, 204, 244))], 30).convert("RGBA")
    glow = mask((w, h))
    ImageDraw.Draw(glow).ellipse((-120, -140, 220, 120), fill=90)
    paint(img, WHITE, glow.filter(ImageFilter.GaussianBlur(30)))
    arcs = mask((w, h))
    for i, r in enumerate((210, 240, 270)):
        ImageDraw.Draw(arcs).ellipse((w - r // 2 - 40, h - r // 3 - 160, w + r, h + r), outline=60 - 15 * i,
                                     width=2)
    paint(img, SKY, arcs)

    band = linear((w, 34), [(0, BLUE), (1, NAVY)], 90)
    img.paste(band, (0, h - 34))
    d = ImageDraw.Draw(img)
    d.line((0, h - 35, w, h - 35), fill=WHITE)
    d.text((14, h - 13), "Shrinks HTML pages in place", font=font("DejaVuSans-Bold.ttf", 12), fill=WHITE,
           anchor="ls")
    # No version here: the splash writes the program's own version on the band.

    img.alpha_composite(emblem(64), (20, 44))
    face = Image.new("RGB", (w, h), NAVY)
    face.paste(linear((220, 34), [(0, BLUE), (1, NAVY)], 90), (96, 64))
    text_3d(img, (98, 94), "Html Vexel", font("DejaVuSans-BoldOblique.ttf", 34), face)
    ImageDraw.Draw(img).text((102, 116), "HTML page compressor", font=font("DejaVuSans.ttf", 13), fill=STEEL,
                             anchor="ls")
    return img.convert("RGB")


def save_bmp(img, name):
    img.convert("RGB").save(os.path.join(OUT, name), "BMP")


def main():
    tex = texture()
    save_bmp(tex, "texture.bmp")
    ground = tuple(int(round(sum(c) / len(c))) for c in zip(*tex.getdata()))

    sk = skin()
    save_bmp(sk, "skin.bmp")
    save_bmp(close_button(sk.crop((CLOSE_AT[0], CLOSE_AT[1], CLOSE_AT[0] + 17, CLOSE_AT[1] + 17))), "close.bmp")

    for name, draw in (("help", glyph_help), ("tips", glyph_tips), ("log", glyph_log), ("exit", glyph_exit)):
        save_bmp(strip(draw()), "glyph-%s.bmp" % name)

    save_bmp(idle_picture(ground), "idle.bmp")
    save_bmp(tip_title(ground), "tip-title.bmp")
    save_bmp(tip_corner(mix(ground, SKY, 0.5)), "tip-corner.bmp")

    for n in (16, 32, 48):
        emblem(n).save(os.path.join(WORK, "icon-%d.png" % n))
    splash().save(os.path.join(WORK, "splash.png"))


if __name__ == "__main__":
    main()

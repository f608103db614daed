"""Toolbar bitmap 128: three 16 x 15 buttons on the grey RGB(192, 192, 192) that the
toolbar maps to the button face: delete selection, make unsent again, about.

The pictures are drawn with soft edges and then settled onto the grey: faint edge pixels
become background, the rest are blended over a typical light button face, so that they
look right on the grey of classic Windows and on the lighter faces of later versions.
"""

from PIL import Image

from .canvas import Canvas, native_text, scaled_size
from .elements import (BLUE, BLUE_DARK, BLUE_LIGHT, ORANGE, ORANGE_DARK, ORANGE_LIGHT,
                       PAPER_SHADE, RED, RED_DARK, RED_LIGHT, WHITE, back_arrow, envelope, mix)

BW, BH = 16, 15
KEY = (192, 192, 192)
FACE = (226, 226, 226)
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def _delete(zoom):
    c = Canvas(BW, BH, 16, zoom=zoom)
    page = c.poly([(2, 0.5), (9, 0.5), (12, 3.5), (12, 14.5), (2, 14.5)])
    c.paint(page, c.linear((2, 0), (12, 15), [(0, WHITE), (1, PAPER_SHADE)]))
    c.paint(c.ring(page, 1.0), (96, 104, 118))
    fold = c.poly([(9, 0.5), (9, 3.5), (12, 3.5)])
    c.paint(fold, (200, 204, 212))
    c.paint(c.stroke([(9, 0.7), (9, 3.5), (11.8, 3.5)], 0.9, caps=False), (96, 104, 118))
    for y in (5.5, 7.5, 9.5):
        c.paint(c.rect((4, y, 9, y + 1)), (150, 168, 196))
    # Bold red cross over the lower right corner.
    a, b = (9.0, 8.0), (14.0, 13.0)
    cross = c.union(c.stroke([a, b], 2.2), c.stroke([(b[0], a[1]), (a[0], b[1])], 2.2))
    c.paint(c.grow(cross, 0.7), RED_DARK)
    c.paint(cross, c.linear((0, 6), (0, 14), [(0, RED_LIGHT), (1, RED)]))
    return c.result()


def _unsent(zoom):
    c = Canvas(BW, BH, 16, zoom=zoom)
    envelope(c, 4.5, 7.5, 11, 7, line=1.0, shadow=False, seams=0.0, flap_depth=0.6,
             edge=(96, 104, 118))
    # A "go back" arrow leaving the envelope's top and turning to point left.
    back_arrow(c, (12.2, 9.0), 3.8, 0.6, 3.0, 1.7, 3.2, ORANGE_LIGHT, ORANGE, ORANGE_DARK)
    return c.result()


def _about(zoom):
    c = Canvas(BW, BH, 16, zoom=zoom)
    disc = c.circle(8, 7.5, 7)
    c.paint(disc, c.radial((6, 4.5), 9, 9, [(0, BLUE_LIGHT), (0.55, BLUE), (1, BLUE_DARK)]))
    c.paint(c.ring(disc, 0.9), mix(BLUE_DARK, (0, 0, 0), 0.25))
    img = c.result()
    return native_text(img, (int(round(8 * zoom)), int(round(12 * zoom))), "?", SANS_BOLD,
                       int(round(11 * zoom)), WHITE, anchor="ms")


def _settle(img):
    """Flatten a soft-edged picture onto the key grey, as described above."""
    out = Image.new("RGB", img.size, KEY)
    src = img.load()
    dst = out.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            r, g, b, a = src[x, y]
            if a < 64:
                continue
            t = a / 255.0
            colour = mix(FACE, (r, g, b), t)
            if colour == KEY:
                colour = (193, 193, 193)
            dst[x, y] = colour
    return out


def button_size(zoom=1):
    """A button's picture at zoom: 16 x 15 at 100 %, 24 x 23 at 150 %."""
    return scaled_size(BW, zoom), scaled_size(BH, zoom)


def render(zoom=1):
    """The strip; zoom 1.25 to 2.5 draws it for that display scale."""
    bw, bh = button_size(zoom)
    strip = Image.new("RGB", (bw * 3, bh), KEY)
    for i, fn in enumerate((_delete, _unsent, _about)):
        strip.paste(_settle(fn(zoom)), (i * bw, 0))
    return strip


"""Bitmap 138: the capsule-shaped drop window, 120 x 150.

The window region cuts the picture to a capsule (a rounded rectangle with 120 x 120 corner
ellipses) plus the close square at the top right, so the panel runs right to the region's
edge in a dark rim colour; whatever the region lets through at its jagged edge is rim.
"""

from PIL import Image, ImageDraw

from .canvas import Canvas, flatten, mix
from .elements import (BLACK, CYAN, NAVY_BOT, NAVY_HI, NAVY_TOP, ORANGE,
                       ORANGE_DARK, ORANGE_LIGHT, RIM, WHITE, back_arrow, envelope,
                       paper_clip, photograph)

W, H = 120, 150
MAIN = (17, 38, 100, 85)
CLOSE = (100, 1, 119, 20)
UNSENT = (17, 100, 100, 130)
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def capsule(c):
    return c.rrect((0, 0, W, H), 60)


def panel(c):
    shape = capsule(c)
    c.paint(c.rect((0, 0, W, H)), RIM)
    face = c.grow(shape, -1.5)
    c.paint(face, c.linear((0, 0), (0, H), [(0, NAVY_TOP), (0.55, mix(NAVY_TOP, NAVY_BOT, 0.6)),
                                            (1, NAVY_BOT)]))
    # A lit bevel along the upper rim and a darker one along the lower rim.
    bevel = c.ring(face, 1.0)
    c.paint(c.inter(bevel, c.rect((0, 0, W, 70))),
            c.linear((0, 0), (0, 70), [(0, NAVY_HI), (1, NAVY_TOP)]), 0.9)
    # Gloss on the dome.
    gloss = c.inter(c.ellipse((14, 3, 106, 58)), c.grow(face, -1.5))
    c.paint(gloss, c.linear((0, 3), (0, 52), [(0, (255, 255, 255, 60)), (1, (255, 255, 255, 0))]))
    return face


def wordmark(c):
    # Brand name on the dome, letter-spaced small capitals in a pale blue.
    text = "MORVEK"
    x = 60
    m = c.text_mask((x, 27), text, FONT_BOLD, 9.5, anchor="ms")
    c.shadow(m, 0, 0.8, 0.3, BLACK, 0.6)
    c.paint(m, c.linear((0, 19), (0, 27), [(0, (236, 244, 255)), (1, (176, 202, 236))]))


def drop_well(c):
    x0, y0, x1, y1 = MAIN
    well = c.rrect((x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5), 7)
    # Recessed: darker fill, shadow along the top edge, light line along the bottom edge.
    c.paint(well, c.linear((0, y0), (0, y1), [(0, (12, 19, 30)), (1, (24, 35, 52))]))
    top_shadow = c.minus(well, c.shift(well, 0, 1.2))
    c.paint(top_shadow, BLACK, 0.55)
    bottom_light = c.minus(c.shift(well, 0, 1.0), well)
    c.paint(bottom_light, (120, 150, 190), 0.35)
    # Dashed inner border: the usual sign of a place to drop things.
    inner = c.rrect((x0 + 3, y0 + 3, x1 - 3, y1 - 3), 5)
    ring = c.ring(inner, 0.8)
    dashes = c.mask()
    step, dash = 4.0, 2.2
    xx = x0
    while xx < x1:
        dashes.paste(c.rect((xx, y0, xx + dash, y1)), (0, 0), c.rect((xx, y0, xx + dash, y1)))
        xx += step
    yy = y0
    vert = c.mask()
    while yy < y1:
        vert.paste(c.rect((x0, yy, x1, yy + dash)), (0, 0), c.rect((x0, yy, x1, yy + dash)))
        yy += step
    sides = c.union(c.inter(dashes, c.rect((x0 + 8, y0, x1 - 8, y1))),
                    c.inter(vert, c.rect((x0, y0 + 8, x1, y1 - 8))),
                    c.minus(c.rect((x0, y0, x1, y1)),
                            c.union(c.rect((x0 + 8, y0, x1 - 8, y1)),
                                    c.rect((x0, y0 + 8, x1, y1 - 8)))))
    c.paint(c.inter(ring, sides), CYAN, 0.55)
    return well


def illustration(c):
    # Photograph behind, tilted to the left; envelope in front; a clip holding them.
    photograph(c, 25, 44, 30, 24, angle=-11)
    envelope(c, 41, 51, 46, 28, line=0.9)
    paper_clip(c, 44, 40, 9.5, 27, wire=1.5, angle=12)


def divider(c):
    y = 92.5
    fade = c.linear((20, 0), (100, 0), [(0, (0, 0, 0, 0)), (0.2, (0, 0, 0, 255)),
                                        (0.8, (0, 0, 0, 255)), (1, (0, 0, 0, 0))])
    line_dark = c.rect((20, y - 1, 100, y))
    line_light = c.rect((20, y, 100, y + 1))
    a_dark = c.inter(line_dark, fade.getchannel("A"))
    a_light = c.inter(line_light, fade.getchannel("A"))
    c.paint(a_dark, BLACK, 0.6)
    c.paint(a_light, (110, 135, 170), 0.45)


def unsent_mark(c):
    x0, y0, x1, y1 = UNSENT
    pill = c.rrect((27, 103, 91, 127), 12)
    c.paint(pill, c.linear((0, 103), (0, 127), [(0, (44, 60, 86)), (1, (28, 40, 58))]))
    c.paint(c.ring(pill, 0.8), (92, 116, 152), 0.55)
    c.paint(c.inter(c.ring(pill, 0.8), c.rect((0, 116, W, H))), BLACK, 0.35)
    # Small envelope with the arrow that sends a message back to the outbox.
    envelope(c, 50, 113, 23, 12.5, line=0.8, shadow=True)
    back_arrow(c, (67.5, 116.0), 108.5, 41.0, 4.2, 2.2, 3.3, ORANGE_LIGHT, ORANGE,
               (70, 32, 0))


def close_box(c):
    x0, y0, x1, y1 = CLOSE
    sq = c.rect((x0, y0, x1 + 1, y1 + 1))
    c.paint(sq, RIM)
    face = c.rect((x0, y0, x1 + 1, y1 + 1))
    c.paint(face, c.linear((0, y0), (0, y1 - 1), [(0, ORANGE_LIGHT), (0.5, ORANGE),
                                                 (1, ORANGE_DARK)]))
    # Lit top and left edges; the region cuts the right and bottom edges.
    c.paint(c.rect((x0, y0, x1 - 1, y0 + 1)), WHITE, 0.45)
    c.paint(c.rect((x0, y0, x0 + 1, y1 - 1)), WHITE, 0.3)
    cx, cy, r = 109.0, 10.0, 4.2
    cross = c.union(c.stroke([(cx - r, cy - r), (cx + r, cy + r)], 2.0),
                    c.stroke([(cx + r, cy - r), (cx - r, cy + r)], 2.0))
    c.shadow(cross, 0, 0.7, 0.4, (110, 40, 0), 0.8)
    c.paint(cross, WHITE)


def render(zoom=1):
    """The bitmap; zoom 1.25, 1.5, 2 or 2.5 gives the same drawing for that display scale
    (150 x 188 pixels at 1.25)."""
    # Eight samples a pixel at 100 %; an integer zoom keeps the same samples per pixel of
    # the picture at 100 % (the help figure draws at zoom 2 this way).
    scale = int(8 // zoom) if zoom == int(zoom) and 8 % zoom == 0 else 8
    c = Canvas(W, H, scale, zoom=zoom)
    panel(c)
    wordmark(c)
    drop_well(c)
    illustration(c)
    divider(c)
    unsent_mark(c)
    close_box(c)
    return flatten(c.result(), RIM)


def region_mask(zoom=1):
    """The window region as a mask (rounded-rectangle regions leave out the right and bottom
    pixel line)."""
    mask = Image.new("L", (int(W * zoom + 0.5), int(H * zoom + 0.5)), 0)
    d = ImageDraw.Draw(mask)
    z = zoom
    d.rounded_rectangle((0, 0, round((W - 1) * z) - 1, round((H - 1) * z) - 1),
                        radius=round(59 * z), fill=255)
    d.rectangle((round(CLOSE[0] * z), round(CLOSE[1] * z), round((CLOSE[2] - 1) * z) - 1,
                 round((CLOSE[3] - 1) * z) - 1), fill=255)
    return mask


def region_preview(img, backdrop=(236, 233, 216), zoom=1):
    """What the window shows on a desktop: the picture cut to the window region."""
    out = Image.new("RGB", (img.size[0] + 20, img.size[1] + 20), backdrop)
    out.paste(img, (10, 10), region_mask(zoom))
    return out

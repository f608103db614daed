"""The program's shared palette and the drawn objects that recur in its pictures:
envelope, paper clip, photograph, shield, curved arrow."""

import math

from .canvas import Canvas, mix

# ---- palette ----------------------------------------------------------------------------
INK = (30, 38, 52)
NAVY_HI = (58, 80, 112)
NAVY_TOP = (40, 56, 82)
NAVY_BOT = (17, 25, 38)
RIM = (10, 15, 23)

BLUE_LIGHT = (118, 176, 246)
BLUE = (46, 112, 214)
BLUE_DARK = (20, 62, 146)
CYAN = (110, 200, 255)

ORANGE_LIGHT = (255, 178, 88)
ORANGE = (243, 128, 28)
ORANGE_DARK = (186, 82, 8)

PAPER = (255, 253, 248)
PAPER_SHADE = (229, 225, 214)
PAPER_FLAP = (240, 236, 226)
PAPER_EDGE = (128, 134, 148)

STEEL_LIGHT = (246, 248, 251)
STEEL = (176, 186, 199)
STEEL_DARK = (78, 88, 104)

RED_LIGHT = (244, 104, 88)
RED = (216, 44, 36)
RED_DARK = (140, 18, 14)

GREEN_LIGHT = (134, 222, 120)
GREEN = (46, 168, 72)
GREEN_DARK = (18, 104, 42)

YELLOW_LIGHT = (255, 240, 150)
YELLOW = (250, 204, 30)
YELLOW_DARK = (120, 84, 0)

SKY_TOP = (96, 160, 232)
SKY_BOT = (190, 222, 250)
HILL = (76, 160, 74)
HILL_DARK = (44, 116, 52)
SUN = (255, 214, 90)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def rotate_points(points, angle, centre):
    """Rotate points clockwise on screen by angle degrees about centre."""
    a = math.radians(angle)
    ca, sa = math.cos(a), math.sin(a)
    cx, cy = centre
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca)
            for x, y in points]


# ---- envelope ---------------------------------------------------------------------------
def envelope(c: Canvas, x, y, w, h, edge=None, line=1.0, shadow=True, flap_depth=0.56,
             seams=0.35):
    """A closed envelope seen from the back: body, V-shaped top flap, faint side seams."""
    edge = edge or PAPER_EDGE
    r = max(0.8, min(w, h) * 0.07)
    body = c.rrect((x, y, x + w, y + h), r)
    if shadow:
        c.shadow(body, 0, max(0.6, h * 0.05), max(0.5, h * 0.06), BLACK, 0.45)
    c.paint(body, c.linear((x, y), (x, y + h), [(0, PAPER), (1, PAPER_SHADE)]))
    cx, cy = x + w / 2.0, y + h * flap_depth
    if seams > 0:
        sm = c.union(c.stroke([(x + r * 0.4, y + h - r * 0.4), (cx, cy)], line * 0.7),
                     c.stroke([(x + w - r * 0.4, y + h - r * 0.4), (cx, cy)], line * 0.7))
        c.paint(c.inter(sm, body), mix(PAPER_SHADE, edge, 0.5), seams)
    # Top flap with a soft shadow under its lower edges.
    flap = c.inter(c.poly([(x - 1, y - 1), (x + w + 1, y - 1), (cx, cy)]), body)
    c.paint(c.inter(c.blur(c.shift(flap, 0, max(0.5, h * 0.05)), max(0.4, h * 0.05)), body),
            BLACK, 0.22)
    c.paint(flap, c.linear((x, y), (x, cy), [(0, PAPER_FLAP), (1, PAPER)]))
    flap_edge = c.stroke([(x + r * 0.3, y + r * 0.3), (cx, cy), (x + w - r * 0.3, y + r * 0.3)],
                         line * 0.8)
    c.paint(c.inter(flap_edge, body), mix(PAPER_SHADE, edge, 0.8))
    c.paint(c.ring(body, line), edge)
    return body


# ---- paper clip -------------------------------------------------------------------------
def clip_path(x, y, w, h):
    """Centre line of a gem paper clip standing upright in the box (x, y, w, h)."""
    # Four legs: x0 (outer left, short), x1 (inner left), x2 (inner right, short), x3 (outer).
    x0 = x
    x3 = x + w
    gap = w * 0.28
    x1 = x0 + gap
    x2 = x3 - gap
    top_outer = y + (x3 - x0) / 2.0
    bottom = y + h - (x3 - x1) / 2.0
    top_inner = y + h * 0.30
    pts = []
    # Leg x2 from the middle up to the inner top bend.
    pts += [(x2, y + h * 0.70), (x2, top_inner)]
    pts += Canvas.arc_points((x1 + x2) / 2.0, top_inner, (x2 - x1) / 2.0,
                             (x2 - x1) / 2.0, 0, -180)
    # Down the inner left leg and round the bottom bend to the outer right leg.
    pts += [(x1, bottom)]
    pts += Canvas.arc_points((x1 + x3) / 2.0, bottom, (x3 - x1) / 2.0, (x3 - x1) / 2.0,
                             180, 0)
    # Up the outer right leg, over the top bend and down the outer left leg.
    pts += [(x3, top_outer)]
    pts += Canvas.arc_points((x0 + x3) / 2.0, top_outer, (x3 - x0) / 2.0,
                             (x3 - x0) / 2.0, 0, -180)
    pts += [(x0, y + h * 0.62)]
    return pts


def paper_clip(c: Canvas, x, y, w, h, wire=1.4, angle=0.0, shadow=True):
    pts = clip_path(x, y, w, h)
    if angle:
        pts = rotate_points(pts, angle, (x + w / 2.0, y + h / 2.0))
    outer = c.stroke(pts, wire + 0.9)
    if shadow:
        c.shadow(outer, 0.5, 0.9, 0.7, BLACK, 0.45)
    c.paint(outer, STEEL_DARK)
    core = c.stroke(pts, wire)
    c.paint(core, c.linear((x, y), (x + w, y + h * 0.35), [(0, STEEL_LIGHT), (0.55, STEEL),
                                                          (1, STEEL_LIGHT)]))
    hi = c.shift(c.stroke(pts, max(0.35, wire * 0.35)), -wire * 0.18, -wire * 0.18)
    c.paint(c.inter(hi, core), WHITE, 0.85)


# ---- photograph -------------------------------------------------------------------------
def photograph(c: Canvas, x, y, w, h, angle=0.0, border=None, shadow=True):
    """A print with a white border: sky, sun and two hills. Rotated clockwise by angle."""
    sub = Canvas.like(c)
    b = border if border is not None else max(1.0, min(w, h) * 0.09)
    outer = sub.rrect((x, y, x + w, y + h), max(0.5, b * 0.35))
    sub.paint(outer, sub.linear((x, y), (x, y + h), [(0, WHITE), (1, (236, 236, 236))]))
    ix0, iy0, ix1, iy1 = x + b, y + b, x + w - b, y + h - b * 1.6
    inner = sub.rect((ix0, iy0, ix1, iy1))
    sub.paint(inner, sub.linear((ix0, iy0), (ix0, iy1), [(0, SKY_TOP), (1, SKY_BOT)]))
    iw, ih = ix1 - ix0, iy1 - iy0
    sun = sub.circle(ix0 + iw * 0.26, iy0 + ih * 0.30, ih * 0.16)
    sub.paint(sub.inter(sun, inner), SUN)
    hill1 = sub.ellipse((ix0 - iw * 0.3, iy0 + ih * 0.55, ix0 + iw * 0.75, iy0 + ih * 1.6))
    hill2 = sub.ellipse((ix0 + iw * 0.35, iy0 + ih * 0.62, ix1 + iw * 0.4, iy0 + ih * 1.7))
    sub.paint(sub.inter(hill2, inner), HILL_DARK)
    sub.paint(sub.inter(hill1, inner),
              sub.linear((ix0, iy0 + ih * 0.55), (ix0, iy1), [(0, HILL), (1, HILL_DARK)]))
    sub.paint(sub.ring(inner, 0.5), BLACK, 0.25)
    sub.paint(sub.ring(outer, 0.6), (150, 150, 150))
    if angle:
        sub.rotated(-angle, (x + w / 2.0, y + h / 2.0))
    if shadow:
        c.shadow(sub.img.getchannel("A"), 0.6, 1.2, max(0.6, h * 0.05), BLACK, 0.5)
    c.layer_from(sub)


# ---- shield -----------------------------------------------------------------------------
def shield_outline(x, y, w, h):
    """A heater shield: flat top with slight dips, sides curving to a point."""
    pts = [(x, y + h * 0.10)]
    pts += [(x + w * 0.25, y + h * 0.05), (x + w * 0.5, y), (x + w * 0.75, y + h * 0.05)]
    pts += [(x + w, y + h * 0.10)]
    steps = 16
    for i in range(1, steps + 1):
        t = i / steps
        # Right side: straight down to 45 % then a curve to the point.
        px = x + w - (w * 0.5) * (t ** 1.8)
        py = y + h * 0.10 + (h * 0.90) * t
        pts.append((px, py))
    for i in range(steps - 1, -1, -1):
        t = i / steps
        px = x + (w * 0.5) * (t ** 1.8)
        py = y + h * 0.10 + (h * 0.90) * t
        pts.append((px, py))
    return pts


def shield(c: Canvas, x, y, w, h, top=BLUE_LIGHT, bottom=BLUE_DARK, edge=None, mark="check",
           line=1.0, shadow=True):
    m = c.poly(shield_outline(x, y, w, h))
    if shadow:
        c.shadow(m, 0.5, 1.0, max(0.6, h * 0.05), BLACK, 0.5)
    c.paint(m, c.linear((x, y), (x + w * 0.3, y + h), [(0, top), (1, bottom)]))
    small = w < 12
    if not small:
        # Glassy upper-left half and a lit inner edge along the top.
        half = c.inter(m, c.poly([(x - 1, y - 1), (x + w * 0.5, y - 1), (x + w * 0.5, y + h + 1),
                                   (x - 1, y + h + 1)]))
        c.paint(half, (255, 255, 255), 0.14)
    c.paint(c.ring(m, line), edge or mix(bottom, BLACK, 0.35))
    if not small:
        inner_hi = c.minus(c.grow(m, -line), c.grow(m, -line * 1.8))
        c.paint(c.inter(inner_hi, c.rect((x, y, x + w, y + h * 0.5))), WHITE, 0.35)
    if mark == "check":
        lw = 2.0 if small else max(1.5, w * 0.15)
        pts = [(x + w * 0.26, y + h * 0.47), (x + w * 0.44, y + h * 0.65),
               (x + w * 0.76, y + h * 0.28)]
        ck = c.stroke(pts, lw)
        if not small:
            c.shadow(ck, 0.2, 0.5, 0.4, BLACK, 0.35)
        c.paint(ck, WHITE)
    return m


# ---- arrow ------------------------------------------------------------------------------
def curved_arrow(c: Canvas, cx, cy, r, a0, a1, width, head, colour, edge=None, ry=None):
    """An arc arrow from angle a0 to a1 (degrees, screen orientation) with its head at a1."""
    ry = ry if ry is not None else r
    pts = Canvas.arc_points(cx, cy, r, ry, a0, a1)
    # Stop the shaft a little before the head's tip.
    ang = math.radians(a1)
    direction = 1 if a1 > a0 else -1
    tx, ty = -math.sin(ang) * r * direction, math.cos(ang) * ry * direction
    tl = math.hypot(tx, ty)
    tx, ty = tx / tl, ty / tl
    end = pts[-1]
    tip = (end[0] + tx * head * 0.9, end[1] + ty * head * 0.9)
    nx, ny = -ty, tx
    base = (end[0] - tx * head * 0.15, end[1] - ty * head * 0.15)
    headpoly = [tip, (base[0] + nx * head * 0.75, base[1] + ny * head * 0.75),
                (base[0] - nx * head * 0.75, base[1] - ny * head * 0.75)]
    shaft = c.stroke(pts, width, caps=True)
    hm = c.poly(headpoly)
    m = c.union(shaft, hm)
    if edge is not None:
        c.paint(c.grow(m, 0.6), edge)
    c.paint(m, colour)
    return m


def back_arrow(c: Canvas, start, top, tip_x, radius, width, head, colour_top, colour_bottom,
               edge):
    """The "go back" arrow: rises from start, turns left at height top, points left at tip_x."""
    sx, sy = start
    cx, cy = sx - radius, top + radius
    path = [(sx, sy)] + Canvas.arc_points(cx, cy, radius, radius, 0, -90)
    base_x = tip_x + head * 1.1
    path += [(base_x + width * 0.3, top)]
    shaft = c.stroke(path, width)
    arrow_head = c.poly([(tip_x, top), (base_x, top - head), (base_x, top + head)])
    arrow = c.union(shaft, arrow_head)
    c.paint(c.grow(arrow, 0.7), edge)
    c.paint(arrow, c.linear((0, top - head), (0, sy), [(0, colour_top), (1, colour_bottom)]))
    return arrow

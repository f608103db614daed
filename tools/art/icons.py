"""Icons: the application icon (128), the record mark (130), the overlays for files that
may not be opened (153 dangerous, 154 not allowed) and the alert-file mark (155).

Each picture is laid out on a 32-unit grid and drawn at the requested size; small sizes
get simpler drawings and thicker lines where the detail would blur away.
"""

from .canvas import Canvas
from .elements import (BLACK, GREEN, GREEN_DARK, GREEN_LIGHT, RED, RED_DARK,
                       RED_LIGHT, WHITE, YELLOW, YELLOW_DARK, YELLOW_LIGHT, envelope, mix,
                       paper_clip, shield)


def _canvas(size):
    scale = max(2, 512 // size)
    return Canvas(size, size, scale), size / 32.0


# ---- application icon -------------------------------------------------------------------
def app_icon(size):
    c, k = _canvas(size)
    if size <= 16:
        envelope(c, 0.5, 1.5, 13.5, 9.5, line=1.0, shadow=False, seams=0.0, flap_depth=0.6,
                 edge=(90, 96, 110))
        shield(c, 7.0, 5.5, 9.0, 10.5, top=GREEN, bottom=GREEN_DARK, line=1.0,
               shadow=False)
        return c.result()
    # Outlines stay about one pixel wide up to 48 pixels and grow slowly beyond.
    line = max(1.0, min(k * 0.9, 1.0 + (k - 1.5) * 0.45))
    envelope(c, 1.5 * k, 9 * k, 27 * k, 18 * k, line=line, seams=0.35 if size >= 48 else 0.0)
    paper_clip(c, 5 * k, 2.5 * k, 6.5 * k, 18 * k, wire=max(1.1, 1.3 * k), angle=10)
    shield(c, 18.5 * k, 14.5 * k, 12.5 * k, 15.5 * k, top=GREEN_LIGHT, bottom=GREEN_DARK,
           line=line * 0.9)
    return c.result()


# ---- record mark: a green triangle pointing right ---------------------------------------
def record_icon(size):
    c, k = _canvas(size)
    if size <= 16:
        pts = [(4.5, 2.5), (4.5, 13.5), (13.5, 8)]
        r = 0.8
    else:
        pts = [(9 * k, 5 * k), (9 * k, 27 * k), (27 * k, 16 * k)]
        r = 1.6 * k
    body = c.union(c.poly(pts), c.stroke(pts, r * 2, closed=True))
    c.shadow(body, 0, 0.6 * max(1, k), 0.6 * max(1, k), BLACK, 0.35)
    top = min(p[1] for p in pts)
    bottom = max(p[1] for p in pts)
    c.paint(body, c.linear((0, top), (0, bottom), [(0, GREEN_LIGHT), (0.5, GREEN),
                                                    (1, GREEN_DARK)]))
    # Gloss over the upper half, edge line all round.
    mid = (top + bottom) / 2.0
    gloss = c.inter(c.grow(body, -1.0 * max(1, k)), c.rect((0, 0, size, mid)))
    c.paint(gloss, WHITE, 0.25)
    c.paint(c.ring(body, max(1.0, 0.9 * k)), mix(GREEN_DARK, BLACK, 0.3))
    return c.result()


# ---- overlays: red circle in the lower-right corner -------------------------------------
def overlay_icon(size, kind):
    c, k = _canvas(size)
    if size <= 16:
        cx = cy = 11.5
        r = 4.3
        ring = 0.9
        lw = 1.35
        arm = 1.9
    else:
        cx = cy = 25.0 * k
        r = 6.6 * k
        ring = 1.1 * k
        lw = 2.2 * k
        arm = 3.0 * k
    halo = c.circle(cx, cy, r + ring)
    c.shadow(halo, 0, 0.5, 0.6, BLACK, 0.45)
    c.paint(halo, WHITE)
    disc = c.circle(cx, cy, r)
    c.paint(disc, c.radial((cx - r * 0.35, cy - r * 0.45), r * 1.5, r * 1.5,
                           [(0, RED_LIGHT), (0.55, RED), (1, RED_DARK)]))
    c.paint(c.ring(disc, 0.7 * max(1, k)), RED_DARK, 0.8)
    if kind == "cross":
        mark = c.union(c.stroke([(cx - arm, cy - arm), (cx + arm, cy + arm)], lw),
                       c.stroke([(cx + arm, cy - arm), (cx - arm, cy + arm)], lw))
    else:
        bar = arm * 1.35
        mark = c.rrect((cx - bar, cy - lw * 0.6, cx + bar, cy + lw * 0.6), lw * 0.3)
    c.paint(mark, WHITE)
    return c.result()


# ---- alert mark: a yellow skull and crossbones ------------------------------------------
def _bone(c, p0, p1, w, knob):
    import math
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    n = math.hypot(dx, dy)
    nx, ny = -dy / n, dx / n
    shaft = c.stroke([p0, p1], w)
    knobs = []
    for (x, y), sgn in ((p0, -1), (p1, 1)):
        for side in (-1, 1):
            knobs.append(c.circle(x + nx * side * knob * 0.75 + dx / n * sgn * knob * 0.1,
                                  y + ny * side * knob * 0.75 + dy / n * sgn * knob * 0.1, knob))
    return c.union(shaft, *knobs)


def skull_icon(size):
    c, k = _canvas(size)
    small = size <= 16
    edge = YELLOW_DARK
    line = 1.0 if small else max(1.0, 0.95 * k)
    # Crossbones behind the skull.
    bw, knob = (2.0, 1.4) if small else (2.6 * k, 1.9 * k)
    b1 = _bone(c, (5.5 * k, 20 * k), (26.5 * k, 29 * k), bw, knob)
    b2 = _bone(c, (26.5 * k, 20 * k), (5.5 * k, 29 * k), bw, knob)
    for b in (b1, b2):
        c.paint(c.grow(b, line), edge)
        c.paint(b, c.linear((0, 18 * k), (0, 31 * k), [(0, YELLOW_LIGHT), (1, YELLOW)]))
    c.paint(c.ring(b2, line * 0.9), edge, 0.5)
    # Skull: cranium and jaw.
    cranium = c.ellipse((7 * k, 2 * k, 25 * k, 20 * k))
    jaw = c.rrect((10.5 * k, 14 * k, 21.5 * k, 24.5 * k), 2.5 * k)
    skull = c.union(cranium, jaw)
    c.shadow(skull, 0, 0.6, 0.6, BLACK, 0.35)
    c.paint(c.grow(skull, line), edge)
    c.paint(skull, c.radial((13 * k, 7 * k), 14 * k, 16 * k,
                            [(0, YELLOW_LIGHT), (0.6, YELLOW), (1, mix(YELLOW, YELLOW_DARK,
                                                                       0.25))]))
    hole = mix(YELLOW_DARK, BLACK, 0.45)
    eyes = c.union(c.ellipse((10.2 * k, 9.2 * k, 15 * k, 14.6 * k)),
                   c.ellipse((17 * k, 9.2 * k, 21.8 * k, 14.6 * k)))
    nose = c.poly([(16 * k, 15.2 * k), (14.3 * k, 18.6 * k), (17.7 * k, 18.6 * k)])
    c.paint(c.union(eyes, nose), hole)
    if not small:
        teeth = c.union(*[c.rect((x * k, 20.3 * k, x * k + max(0.8, 0.7 * k), 24.2 * k))
                          for x in (13.2, 15.6, 18.0)])
        c.paint(teeth, hole, 0.85)
        mouth = c.rect((12.2 * k, 20.3 * k, 19.8 * k, 20.3 * k + max(0.8, 0.7 * k)))
        c.paint(mouth, hole, 0.85)
        # Highlight on the brow.
        c.paint(c.inter(c.ellipse((10 * k, 3.5 * k, 18 * k, 8.5 * k)), cranium), WHITE, 0.35)
    else:
        c.paint(c.rect((13.5 * k, 21 * k, 18.5 * k, 21 * k + 1)), hole, 0.8)
    return c.result()


def sample_file_icon(size):
    """A plain document icon, only for previews of the overlays drawn on file icons."""
    c, k = _canvas(size)
    page = c.poly([(6 * k, 2 * k), (20 * k, 2 * k), (26 * k, 8 * k), (26 * k, 30 * k),
                   (6 * k, 30 * k)])
    c.paint(page, WHITE)
    c.paint(c.ring(page, max(1.0, k)), (110, 110, 120))
    for i in range(5):
        y = (12 + i * 3.5) * k
        c.paint(c.rect((10 * k, y, 22 * k, y + max(1.0, k))), (150, 170, 200))
    return c.result()

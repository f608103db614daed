"""Cursor 159: a pointing hand, 32 x 32, hot spot at the tip of the index finger.

Cursors are read at one pixel per pixel, so the hand is drawn as pixel art: a silhouette
made of finger, palm and thumb blocks, a one-pixel black outline, white skin with a grey
shade on the shadow side, the finger seams, and a soft shadow below and to the right.
"""

from PIL import Image

SIZE = 32
HOTSPOT = (7, 1)

OUTLINE = (0, 0, 0, 255)
SKIN = (255, 255, 255, 255)
SHADE = (214, 218, 226, 255)
SHADOW = (0, 0, 0, 70)


def _silhouette():
    on = set()

    def block(x0, y0, x1, y1):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                on.add((x, y))

    # Index finger, pointing up; its tip rounded by leaving out the top corners.
    block(5, 1, 9, 15)
    block(6, 0, 8, 0)
    # Middle, ring and little fingers, each a little shorter, rounded on top.
    block(9, 8, 13, 15)
    block(10, 7, 12, 7)
    block(13, 9, 17, 15)
    block(14, 8, 16, 8)
    block(17, 11, 20, 16)
    block(18, 10, 19, 10)
    # Palm, narrowing towards the wrist.
    block(5, 14, 20, 20)
    block(6, 21, 19, 22)
    block(7, 23, 18, 24)
    # Thumb, folded in from the left.
    for i, (x0, x1) in enumerate([(1, 3), (0, 4), (0, 5), (0, 5), (1, 5), (2, 5), (3, 5),
                                  (4, 5)]):
        block(x0, 11 + i, x1, 11 + i)
    return on


def render():
    on = _silhouette()
    img = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    px = img.load()

    def inside(x, y):
        return (x, y) in on

    # Shadow: the silhouette moved one pixel right and two down, where nothing else is drawn.
    for x, y in on:
        for sx, sy in ((x + 1, y + 1), (x + 2, y + 2)):
            if 0 <= sx < SIZE and 0 <= sy < SIZE and not inside(sx, sy):
                px[sx, sy] = SHADOW
    for x, y in on:
        edge = any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        if edge:
            px[x, y] = OUTLINE
        elif not inside(x + 2, y) or not inside(x, y + 2):
            px[x, y] = SHADE
        else:
            px[x, y] = SKIN
    # Seams between the fingers, down to the knuckles.
    for x, y0, y1 in ((9, 8, 13), (13, 9, 13), (17, 11, 14)):
        for y in range(y0, y1 + 1):
            px[x, y] = OUTLINE
    # The thumb's edge against the palm.
    for x, y in ((5, 14), (5, 15), (5, 16)):
        px[x, y] = OUTLINE
    for x, y in ((6, 17), (6, 18)):
        px[x, y] = SHADE
    return img

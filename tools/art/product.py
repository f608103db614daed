"""Bitmap 141: the product picture of the splash window and the about box, 300 x 210."""

from PIL import Image

from .canvas import Canvas, flatten, native_text
from .elements import (BLACK, GREEN_DARK, GREEN_LIGHT, ORANGE, ORANGE_LIGHT, WHITE,
                       envelope, paper_clip, photograph, shield)

W, H = 300, 210
SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
GOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
BAND = 176

DEEP = (12, 24, 46)
MID = (26, 62, 124)
BRIGHT = (48, 112, 200)


def background(c):
    full = c.rect((0, 0, W, H))
    c.paint(full, c.linear((0, 0), (W, BAND), [(0, DEEP), (0.55, MID), (1, BRIGHT)]))
    # A soft light behind the illustration.
    c.paint(full, c.radial((222, 92), 110, 90, [(0, (150, 200, 255, 110)),
                                               (1, (150, 200, 255, 0))]))
    # Two broad, faint light sweeps across the sky.
    sweep1 = c.ellipse((-120, 60, 420, 330))
    sweep2 = c.ellipse((-60, 95, 480, 360))
    c.paint(c.minus(sweep1, sweep2), WHITE, 0.05)
    sweep3 = c.ellipse((-200, -40, 360, 150))
    sweep4 = c.ellipse((-180, -30, 380, 170))
    c.paint(c.minus(sweep3, sweep4), WHITE, 0.06)
    # Footer band.
    band = c.rect((0, BAND, W, H))
    c.paint(band, c.linear((0, BAND), (0, H), [(0, (16, 26, 42)), (1, (8, 14, 24))]))
    c.paint(c.rect((0, BAND, W, BAND + 1)), ORANGE, 0.9)
    c.paint(c.rect((0, BAND + 1, W, BAND + 2)), BLACK, 0.4)


def illustration(c):
    photograph(c, 178, 40, 58, 45, angle=-10, border=3.0)
    envelope(c, 194, 64, 90, 58, line=1.2)
    paper_clip(c, 200, 40, 17, 48, wire=2.5, angle=10)
    shield(c, 248, 100, 40, 48, top=GREEN_LIGHT, bottom=GREEN_DARK, line=1.3)


def render(zoom=1):
    """The picture; zoom 1.25 to 2.5 draws it for that display scale."""

    def at(x, y):
        return (int(round(x * zoom)), int(round(y * zoom)))

    def px(size):
        return int(round(size * zoom))

    c = Canvas(W, H, 4, zoom=zoom)
    background(c)
    illustration(c)
    img = c.result()
    # Titles are drawn at the picture's own size so that FreeType's hinting keeps them crisp.
    shadow = (0, px(2), BLACK, 0.45)
    img = native_text(img, at(18, 66), "Morvek", SANS_BOLD, px(32), WHITE, anchor="ls",
                      shadow=shadow)
    img = native_text(img, at(20, 86), "Attachment Extractor", SANS, px(13), (186, 214, 255),
                      anchor="ls", shadow=(0, px(1), BLACK, 0.4))
    accent = Canvas(W, H, 4, zoom=zoom)
    accent.paint(accent.rrect((20, 95, 60, 98), 1.5),
                 accent.linear((20, 0), (64, 0), [(0, ORANGE_LIGHT), (1, ORANGE)]))
    img = Image.alpha_composite(img, accent.result())
    img = native_text(img, at(20, 117), "モルベク 添付ファイル", GOTHIC, px(12),
                      (232, 238, 248), anchor="ls", shadow=(0, px(1), BLACK, 0.4))
    img = native_text(img, at(20, 134), "エクストラクタ", GOTHIC, px(12), (232, 238, 248),
                      anchor="ls", shadow=(0, px(1), BLACK, 0.4))
    img = native_text(img, at(14, 197), "Tevo Software Development", SANS, px(10),
                      (176, 188, 206), anchor="ls")
    # No version in the picture: the about box and the splash window show it as text, taken
    # from the one version number of the build.
    return flatten(img, DEEP)

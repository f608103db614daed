"""Pictures of the help pages: the drop window with its three areas numbered, the marks of
the attachment list and the toolbar buttons, drawn from the same sources as the program's
own artwork so that the help always shows what the program shows."""

from PIL import Image

from . import dropwindow, icons, toolbar
from .canvas import Canvas, flatten, native_text
from .elements import BLUE, BLUE_DARK, WHITE

SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
PAGE = (255, 255, 255)
DESK = (226, 234, 244)


def zones_figure():
    zoom = 2
    fw, fh = 380, 330
    ox, oy = 40, 14
    fig = Canvas(fw, fh, 4)
    fig.paint(fig.rrect((0.5, 0.5, fw - 0.5, fh - 0.5), 10), DESK)
    shadow = Image.new("L", (fw * 4, fh * 4), 0)
    shadow.paste(dropwindow.region_mask(zoom * 4), ((ox + 3) * 4, (oy + 5) * 4))
    fig.paint(fig.blur(shadow, 4), (0, 0, 0), 0.35)
    img = fig.result()
    window = dropwindow.render(zoom)
    img.paste(window, (ox, oy), dropwindow.region_mask(zoom))

    c = Canvas(fw, fh, 4)
    targets = [
        # (number, point in the window, badge centre)
        ("1", (92, 60), (330, 128)),
        ("2", (86, 116), (330, 244)),
        ("3", (118, 10), (330, 34)),
    ]
    for _, (tx, ty), (bx, by) in targets:
        px, py = ox + tx * zoom, oy + ty * zoom
        line = c.stroke([(px, py), (bx - 14, by)], 1.6)
        c.paint(c.grow(line, 0.8), WHITE, 0.9)
        c.paint(line, BLUE_DARK)
        dot = c.circle(px, py, 3.6)
        c.paint(c.grow(dot, 1.2), WHITE)
        c.paint(dot, BLUE_DARK)
        badge = c.circle(bx, by, 13)
        c.shadow(badge, 0, 1.2, 1.2, (0, 0, 0), 0.35)
        c.paint(badge, c.linear((0, by - 13), (0, by + 13), [(0, (84, 146, 232)), (1, BLUE)]))
        c.paint(c.ring(badge, 1.2), BLUE_DARK)
    img = Image.alpha_composite(img, c.result())
    for number, _, (bx, by) in targets:
        img = native_text(img, (bx, by + 6), number, SANS_BOLD, 17, WHITE, anchor="ms")
    return flatten(img, PAGE)


def list_marks():
    """The four marks of the attachment list, each as it appears in a white list row."""
    out = {}
    row = (255, 255, 255, 255)
    for name, img in (("mark-record", icons.record_icon(32)),
                      ("mark-alert", icons.skull_icon(32))):
        tile = Image.new("RGBA", (32, 32), row)
        tile.alpha_composite(img)
        out[name] = tile.convert("RGB")
    for name, kind in (("mark-dangerous", "cross"), ("mark-notallowed", "bar")):
        tile = Image.new("RGBA", (32, 32), row)
        tile.alpha_composite(icons.sample_file_icon(32))
        tile.alpha_composite(icons.overlay_icon(32, kind))
        out[name] = tile.convert("RGB")
    return out


def toolbar_buttons():
    strip = toolbar.render()
    face = (240, 240, 240)
    strip.putdata([face if p == toolbar.KEY else p for p in strip.getdata()])
    out = {}
    for i, name in enumerate(("button-delete", "button-unsent", "button-about")):
        tile = Image.new("RGB", (22, 21), face)
        tile.paste(strip.crop((i * 16, 0, i * 16 + 16, 15)), (3, 3))
        out[name] = tile
    return out


def app_icon():
    tile = Image.new("RGBA", (48, 48), PAGE + (255,))
    tile.alpha_composite(icons.app_icon(48))
    return tile.convert("RGB")

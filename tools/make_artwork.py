#!/usr/bin/python3
"""Draws the program's artwork into res/art/ and previews into build/art-preview/.

Run with Debian's Python and Pillow (apt-get install python3-pil):
    /usr/bin/python3 tools/make_artwork.py
Output is deterministic: running it again rewrites the same bytes.
"""

import io
import os
import sys

from PIL import Image

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__ folders

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

from art import cursor, dropwindow, formats, helpfigures, icons, product, toolbar  # noqa: E402

ART = os.path.join(ROOT, "res", "art")
SCALED_SCRIPT = os.path.join(ROOT, "res", "ScaledPictures.rc")
HELP_IMAGES = os.path.join(ROOT, "res", "help", "images")
PREVIEW = os.path.join(ROOT, "build", "art-preview")


def write(name, data, folder=ART):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(data)
    print("%-26s %7d bytes" % (os.path.relpath(path, ROOT), len(data)))


def write_png(name, img):
    buf = io.BytesIO()
    img.save(buf, "PNG", optimize=True)
    write(name + ".png", buf.getvalue(), HELP_IMAGES)


def preview(name, img, zoom=4):
    img = img.resize((img.size[0] * zoom, img.size[1] * zoom), Image.NEAREST)
    img.save(os.path.join(PREVIEW, name))


# The display scales the program carries pictures for, in percent, beyond 100 %. A bitmap of
# resource id N at scale k (the k-th of these, from 1) has the id 20000 + 10 N + k; the
# program computes the same numbers.
SCALES = [125, 150, 200, 250]
# Bitmaps drawn at every scale: resource id, file stem, drawing function.
SCALED_BITMAPS = [
    (128, "toolbar", toolbar.render),
    (138, "dropwindow", dropwindow.render),
    (141, "product", product.render),
]
# Icon sizes: the list's 32-pixel marks at every scale, and the application icon also at the
# small sizes of the caption and the task bar.
LIST_ICON_SIZES = [80, 64, 48, 40, 32, 16]
APP_ICON_SIZES = [256, 80, 64, 48, 40, 32, 24, 20, 16]


def scaled_id(base, percent):
    return 20000 + base * 10 + SCALES.index(percent) + 1


def write_scaled_script():
    lines = ["// Written by tools/make_artwork.py: the bitmaps for display scales above 100 %,",
             "// each under the id 20000 + 10 x (id at 100 %) + (1 for 125 %, 2 for 150 %,",
             "// 3 for 200 %, 4 for 250 %). Included by morvek.rc.", ""]
    for base, stem, _ in SCALED_BITMAPS:
        for percent in SCALES:
            lines.append('%d BITMAP "art/%s-%d.bmp"' % (scaled_id(base, percent), stem, percent))
    data = ("\n".join(lines) + "\n").encode("ascii")
    write(os.path.basename(SCALED_SCRIPT), data, os.path.dirname(SCALED_SCRIPT))


def write_scaled(stem, render):
    for percent in SCALES:
        write("%s-%d.bmp" % (stem, percent), formats.bmp24(render(percent / 100.0)))


BACKDROPS = [(255, 255, 255), (210, 210, 210), (49, 106, 197), (58, 110, 165), (30, 30, 30)]


def icon_sheet(images, backdrops=BACKDROPS, under=None):
    """All sizes of one icon side by side on each backdrop, one row per backdrop."""
    pad = 6
    width = sum(i.size[0] + pad for i in images) + pad
    height = max(i.size[1] for i in images) + 2 * pad
    sheet = Image.new("RGB", (width, height * len(backdrops)))
    for row, colour in enumerate(backdrops):
        tile = Image.new("RGBA", (width, height), colour + (255,))
        x = pad
        for img in images:
            if under is not None:
                base = under(img.size[0])
                tile.alpha_composite(base, (x, pad))
            tile.alpha_composite(img, (x, pad))
            x += img.size[0] + pad
        sheet.paste(tile.convert("RGB"), (0, row * height))
    return sheet


def main():
    os.makedirs(ART, exist_ok=True)
    os.makedirs(PREVIEW, exist_ok=True)
    os.makedirs(HELP_IMAGES, exist_ok=True)
    only = set(sys.argv[1:])

    if not only or "drop" in only:
        img = dropwindow.render()
        write("dropwindow.bmp", formats.bmp24(img))
        preview("dropwindow.png", dropwindow.region_preview(img))
        write_scaled("dropwindow", dropwindow.render)
        big = dropwindow.render(1.5)
        preview("dropwindow-150.png", dropwindow.region_preview(big, zoom=1.5), 2)

    if not only or "product" in only:
        img = product.render()
        write("product.bmp", formats.bmp24(img))
        preview("product.png", img, 3)
        write_scaled("product", product.render)

    if not only or "icons" in only:
        imgs = [icons.app_icon(n) for n in APP_ICON_SIZES]
        write("morvek.ico", formats.ico(imgs))
        preview("morvek.png", icon_sheet(imgs[1:]))
        preview("morvek256.png", icon_sheet(imgs[:1], BACKDROPS[:2]), 1)
        for name, fn, under in (("record", icons.record_icon, None),
                                ("alert", icons.skull_icon, None),
                                ("dangerous", lambda n: icons.overlay_icon(n, "cross"),
                                 icons.sample_file_icon),
                                ("notallowed", lambda n: icons.overlay_icon(n, "bar"),
                                 icons.sample_file_icon)):
            imgs = [fn(n) for n in LIST_ICON_SIZES]
            write(name + ".ico", formats.ico(imgs))
            preview(name + ".png", icon_sheet(imgs, under=under))

    if not only or "cursor" in only:
        img = cursor.render()
        write("hand.cur", formats.cur(img, cursor.HOTSPOT))
        sheet = icon_sheet([img], [(255, 255, 255), (236, 233, 216), (58, 110, 165)])
        # Mark the hot spot in the preview.
        sheet.putpixel((6 + cursor.HOTSPOT[0], 6 + cursor.HOTSPOT[1]), (255, 0, 0))
        preview("hand.png", sheet, 8)

    if not only or "toolbar" in only:
        img = toolbar.render()
        write("toolbar.bmp", formats.bmp24(img))
        write_scaled("toolbar", toolbar.render)
        faces = []
        for face in ((192, 192, 192), (236, 233, 216), (240, 240, 240)):
            mapped = Image.new("RGB", img.size)
            mapped.putdata([face if p == toolbar.KEY else p for p in img.getdata()])
            faces.append(mapped)
        sheet = Image.new("RGB", (img.size[0] + 8, (img.size[1] + 4) * 3 + 4), (128, 128, 128))
        for i, mapped in enumerate(faces):
            sheet.paste(mapped, (4, 4 + i * (img.size[1] + 4)))
        preview("toolbar.png", sheet, 8)

    if not only:
        write_scaled_script()

    if not only or "help" in only:
        zones = helpfigures.zones_figure()
        write_png("dropwindow-areas", zones)
        preview("help-zones.png", zones, 2)
        pictures = {"morvek": helpfigures.app_icon()}
        pictures.update(helpfigures.list_marks())
        pictures.update(helpfigures.toolbar_buttons())
        for name in sorted(pictures):
            write_png(name, pictures[name])


if __name__ == "__main__":
    main()

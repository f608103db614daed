"""Writers for the Windows image formats the resource compiler takes: 24-bit BMP, ICO, CUR.

Icons and cursors hold 32-bit images with alpha plus the 1-bit AND mask that older drawing
paths use; a 256-pixel icon image is stored as PNG, as Windows expects.
"""

import io
import struct


def bmp24(img):
    """Bytes of a bottom-up 24-bit BMP with a BITMAPINFOHEADER."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    rows = []
    px = img.load()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y]
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        rows.append(bytes(row))
    bits = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return header + info + bits


def _dib32(img):
    """Icon image data: BITMAPINFOHEADER (double height), BGRA rows, AND mask rows."""
    img = img.convert("RGBA")
    w, h = img.size
    px = img.load()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
            # Transparent for the mask-only drawing paths where the image is mostly clear.
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def _png(img):
    buf = io.BytesIO()
    img.convert("RGBA").save(buf, "PNG", optimize=True)
    return buf.getvalue()


def _directory(kind, images, hotspots=None):
    """ICONDIR/CURSORDIR with its entries followed by the image blobs."""
    blobs = []
    for img in images:
        blobs.append(_png(img) if img.size[0] >= 256 else _dib32(img))
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for i, (img, blob) in enumerate(zip(images, blobs)):
        w, h = img.size
        if kind == 1:
            field1, field2 = 1, 32  # planes, bit count
        else:
            field1, field2 = hotspots[i]  # hot spot x, y
        out += struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, 0, 0, field1, field2, len(blob),
                           offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def ico(images):
    return _directory(1, sorted(images, key=lambda i: -i.size[0]))


def cur(image, hotspot):
    return _directory(2, [image], [hotspot])

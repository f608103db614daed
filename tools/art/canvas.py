"""Supersampled drawing on top of Pillow.

Every coordinate is given in pixels of the finished picture (floats allowed); the canvas
draws at `scale` times that size and shrinks the result with premultiplied alpha, which
gives clean anti-aliased edges. Shapes are built as 8-bit masks and painted with a flat
colour or a gradient, so that outlines, rings, highlights and shadows combine freely.
"""

import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont


def _rgba(colour, alpha=None):
    if len(colour) == 3:
        colour = (colour[0], colour[1], colour[2], 255)
    if alpha is not None:
        colour = (colour[0], colour[1], colour[2], int(round(colour[3] * alpha)))
    return tuple(int(v) for v in colour)


def mix(a, b, t):
    """Linear blend of two RGB(A) colours, t from 0 (a) to 1 (b)."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def scaled_size(v, zoom):
    """A length of the picture at 100 % at zoom, rounded as the program scales its geometry
    (half a pixel and more goes up)."""
    return int(math.floor(v * zoom + 0.5))


class Canvas:
    """`zoom` draws the same picture larger (1.25 for 125 %): coordinates stay those of the
    picture at 100 % and the result is scaled_size(width, zoom) pixels wide."""

    def __init__(self, width, height, scale=8, background=(0, 0, 0, 0), zoom=1):
        self.w = width
        self.h = height
        self.scale = scale
        self.zoom = zoom
        self.s = scale * zoom
        if self.s == int(self.s):
            self.s = int(self.s)
        self.size = (scaled_size(width, zoom) * scale, scaled_size(height, zoom) * scale)
        self.img = Image.new("RGBA", self.size, _rgba(background))

    @classmethod
    def like(cls, other):
        """An empty canvas of the same size, scale and zoom."""
        return cls(other.w, other.h, other.scale, zoom=other.zoom)

    # ---- coordinates --------------------------------------------------------------------
    def p(self, v):
        return v * self.s

    def pts(self, points):
        return [(x * self.s, y * self.s) for x, y in points]

    def box(self, b):
        x0, y0, x1, y1 = b
        # Pillow boxes are inclusive of the last pixel; subtract one big pixel at the end.
        return (x0 * self.s, y0 * self.s, x1 * self.s - 1, y1 * self.s - 1)

    # ---- masks --------------------------------------------------------------------------
    def mask(self):
        return Image.new("L", self.size, 0)

    def ellipse(self, b):
        m = self.mask()
        ImageDraw.Draw(m).ellipse(self.box(b), fill=255)
        return m

    def circle(self, cx, cy, r):
        return self.ellipse((cx - r, cy - r, cx + r, cy + r))

    def rect(self, b):
        m = self.mask()
        ImageDraw.Draw(m).rectangle(self.box(b), fill=255)
        return m

    def rrect(self, b, r):
        m = self.mask()
        r = max(0.0, min(r, (b[2] - b[0]) / 2.0, (b[3] - b[1]) / 2.0))
        ImageDraw.Draw(m).rounded_rectangle(self.box(b), radius=r * self.s, fill=255)
        return m

    def poly(self, points):
        m = self.mask()
        ImageDraw.Draw(m).polygon(self.pts(points), fill=255)
        return m

    def stroke(self, points, width, closed=False, caps=True):
        """A polyline of the given width with rounded joints and (optionally) round caps."""
        m = self.mask()
        d = ImageDraw.Draw(m)
        pts = self.pts(points)
        if closed:
            pts = pts + [pts[0]]
        wpx = max(1, int(round(width * self.s)))
        d.line(pts, fill=255, width=wpx, joint="curve")
        if caps or closed:
            r = width * self.s / 2.0
            ends = pts if closed else [pts[0], pts[-1]]
            if not closed:
                for x, y in ends:
                    d.ellipse((x - r, y - r, x + r, y + r), fill=255)
            else:
                for x, y in pts:
                    d.ellipse((x - r, y - r, x + r, y + r), fill=255)
        return m

    @staticmethod
    def arc_points(cx, cy, rx, ry, a0, a1, steps=None):
        """Points on an elliptic arc, angles in degrees (0 = east, 90 = south)."""
        if steps is None:
            steps = max(8, int(abs(a1 - a0) / 4))
        out = []
        for i in range(steps + 1):
            a = math.radians(a0 + (a1 - a0) * i / steps)
            out.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
        return out

    def text_mask(self, xy, text, font_path, size, anchor="la"):
        m = self.mask()
        font = ImageFont.truetype(font_path, int(round(size * self.s)))
        ImageDraw.Draw(m).text((xy[0] * self.s, xy[1] * self.s), text, font=font, fill=255,
                               anchor=anchor)
        return m

    # ---- mask algebra -------------------------------------------------------------------
    @staticmethod
    def union(*masks):
        out = masks[0]
        for m in masks[1:]:
            out = ImageChops.lighter(out, m)
        return out

    @staticmethod
    def inter(a, b):
        return ImageChops.multiply(a, b)

    @staticmethod
    def minus(a, b):
        return ImageChops.subtract(a, b)

    def shift(self, m, dx, dy):
        out = self.mask()
        out.paste(m, (int(round(dx * self.s)), int(round(dy * self.s))))
        return out

    def grow(self, m, px):
        """Dilate (px > 0) or erode (px < 0) a mask by about px pixels of the result."""
        n = int(round(abs(px) * self.s)) * 2 + 1
        if n <= 1:
            return m
        return m.filter(ImageFilter.MaxFilter(n) if px > 0 else ImageFilter.MinFilter(n))

    def blur(self, m, px):
        return m.filter(ImageFilter.GaussianBlur(px * self.s))

    def ring(self, m, width):
        """The inner band of a shape, `width` pixels wide: an outline drawn inside its edge."""
        return self.minus(m, self.grow(m, -width))

    @staticmethod
    def scaled(m, factor):
        return m.point(lambda v: int(round(v * factor)))

    # ---- fills --------------------------------------------------------------------------
    def _lut(self, stops):
        """256-entry colour table per channel from [(t, colour), ...] with t in 0..1."""
        stops = [(t, _rgba(c)) for t, c in stops]
        tables = [[], [], [], []]
        for i in range(256):
            t = i / 255.0
            if t <= stops[0][0]:
                c = stops[0][1]
            elif t >= stops[-1][0]:
                c = stops[-1][1]
            else:
                for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
                    if t0 <= t <= t1:
                        c = mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0)
                        break
            for k in range(4):
                tables[k].append(c[k])
        return tables

    def _colourise(self, t_img, stops):
        tables = self._lut(stops)
        bands = [t_img.point(tables[k]) for k in range(4)]
        return Image.merge("RGBA", bands)

    def linear(self, p0, p1, stops):
        """A linear gradient image over the whole canvas from p0 (t=0) to p1 (t=1)."""
        x0, y0 = p0[0] * self.s, p0[1] * self.s
        x1, y1 = p1[0] * self.s, p1[1] * self.s
        dx, dy = x1 - x0, y1 - y0
        d2 = dx * dx + dy * dy
        pad = 8192
        ramp = Image.new("L", (4, 256 + 2 * pad), 0)
        ramp.paste(255, (0, 256 + pad, 4, 256 + 2 * pad))
        ramp.paste(Image.linear_gradient("L").resize((4, 256)), (0, pad))
        k = 255.0 / d2
        data = (0, 0, 2, dx * k, dy * k, pad - (x0 * dx + y0 * dy) * k)
        t = ramp.transform(self.size, Image.AFFINE, data, resample=Image.BILINEAR)  # noqa
        return self._colourise(t, stops)

    _radial_base = None

    @classmethod
    def _radial(cls):
        """A 1024-square distance ramp: 0 at the centre, 255 at distance 256 and beyond."""
        if cls._radial_base is None:
            n = 1024
            data = bytearray(n * n)
            for y in range(n):
                dy2 = (y + 0.5 - n / 2) ** 2
                row = y * n
                for x in range(n):
                    d = math.sqrt((x + 0.5 - n / 2) ** 2 + dy2)
                    data[row + x] = 255 if d >= 256 else int(d * 255 / 256)
            cls._radial_base = Image.frombytes("L", (n, n), bytes(data))
        return cls._radial_base

    def radial(self, centre, rx, ry, stops):
        """An elliptic radial gradient: t=0 at the centre, t=1 at radii rx, ry and beyond."""
        base = self._radial()
        cx, cy = centre[0] * self.s, centre[1] * self.s
        ax = 256.0 / (rx * self.s)
        ay = 256.0 / (ry * self.s)
        data = (ax, 0, 512 - cx * ax, 0, ay, 512 - cy * ay)
        t = base.transform(self.size, Image.AFFINE, data, resample=Image.BILINEAR, fillcolor=255)
        return self._colourise(t, stops)

    # ---- painting -----------------------------------------------------------------------
    def paint(self, m, fill, opacity=1.0):
        if isinstance(fill, Image.Image):
            layer = fill.copy()
        else:
            layer = Image.new("RGBA", self.size, _rgba(fill))
        a = layer.getchannel("A")
        a = ImageChops.multiply(a, m)
        if opacity != 1.0:
            a = self.scaled(a, opacity)
        layer.putalpha(a)
        self.img = Image.alpha_composite(self.img, layer)

    def shadow(self, m, dx, dy, blur, colour=(0, 0, 0), opacity=0.5):
        sm = self.shift(m, dx, dy)
        if blur > 0:
            sm = self.blur(sm, blur)
        self.paint(sm, colour, opacity)

    def layer_from(self, other, dx=0.0, dy=0.0):
        """Composite another canvas of the same scale (its full-size image) at an offset."""
        lay = Image.new("RGBA", self.size, (0, 0, 0, 0))
        lay.paste(other.img, (int(round(dx * self.s)), int(round(dy * self.s))))
        self.img = Image.alpha_composite(self.img, lay)

    def rotated(self, angle, centre):
        """Rotate the whole drawing counter-clockwise by angle degrees about centre."""
        c = (centre[0] * self.s, centre[1] * self.s)
        self.img = self.img.rotate(angle, resample=Image.BICUBIC, center=c)

    # ---- result -------------------------------------------------------------------------
    def result(self):
        return self.img.reduce(self.scale)


def flatten(img, background):
    """RGBA picture composed over a flat colour, as RGB."""
    bg = Image.new("RGBA", img.size, _rgba(background))
    return Image.alpha_composite(bg, img).convert("RGB")


def native_text(img, xy, text, font_path, size, fill, anchor="la", shadow=None):
    """Text drawn at the picture's own size (hinted by FreeType) onto an RGBA picture."""
    font = ImageFont.truetype(font_path, size)
    m = Image.new("L", img.size, 0)
    ImageDraw.Draw(m).text(xy, text, font=font, fill=255, anchor=anchor)
    out = img
    if shadow is not None:
        dx, dy, colour, opacity = shadow
        sm = Image.new("L", img.size, 0)
        sm.paste(m, (dx, dy))
        sm = sm.point(lambda v: int(v * opacity))
        layer = Image.new("RGBA", img.size, _rgba(colour))
        layer.putalpha(sm)
        out = Image.alpha_composite(out, layer)
    layer = Image.new("RGBA", img.size, _rgba(fill))
    a = ImageChops.multiply(layer.getchannel("A"), m)
    layer.putalpha(a)
    return Image.alpha_composite(out, layer)


def text_width(text, font_path, size):
    font = ImageFont.truetype(font_path, size)
    return font.getlength(text)

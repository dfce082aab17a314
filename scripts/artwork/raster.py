"""A small RGBA canvas with anti-aliased shapes.

Shapes are signed distance functions in pixel units (negative inside); a pixel's coverage is
taken from the distance at its centre, which gives one pixel of smooth edge. Colours are
(r, g, b) or (r, g, b, a) tuples of floats from 0 to 1; the canvas keeps premultiplied values.
Everything is plain Python floats, so a picture comes out byte for byte the same every time.
"""
import math


def rgb(hex_text, alpha=1.0):
    """'#2a5fa8' -> (r, g, b, a) in 0..1."""
    h = hex_text.lstrip("#")
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0, int(h[4:6], 16) / 255.0, alpha)


def mix(a, b, t):
    """Linear blend of two colours (t = 0 gives a)."""
    a = tuple(a) + (1.0,) * (4 - len(a))
    b = tuple(b) + (1.0,) * (4 - len(b))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# --- signed distance functions ---------------------------------------------------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    # Scaled circle: exact enough for the small, nearly round ellipses drawn here.
    k = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k


def box(x0, y0, x1, y1, r=0.0):
    """Rectangle from (x0, y0) to (x1, y1) with corners rounded by r."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0.0 else clamp01(((x - ax) * dx + (y - ay) * dy) / length2)
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def polyline(points, width):
    """A stroke of the given width through the points, with round ends and joins."""
    segs = list(zip(points, points[1:])) or [(points[0], points[0])]
    half = width / 2.0
    return lambda x, y: min(segment_distance(x, y, a[0], a[1], b[0], b[1])
                            for a, b in segs) - half


def polygon(points):
    n = len(points)

    def sdf(x, y):
        d = min(segment_distance(x, y, *points[i], *points[(i + 1) % n]) for i in range(n))
        inside = False
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return -d if inside else d
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def outline(shape, width):
    """A line of the given width centred on the shape's edge."""
    return lambda x, y: abs(shape(x, y)) - width / 2.0


# --- shaders: colour as a function of the position -------------------------------------------

def linear_gradient(x0, y0, c0, x1, y1, c1):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def shader(x, y):
        t = clamp01(((x - x0) * dx + (y - y0) * dy) / length2)
        return mix(c0, c1, t)
    return shader


def radial_gradient(cx, cy, r, c0, c1):
    return lambda x, y: mix(c0, c1, clamp01(math.hypot(x - cx, y - cy) / r))


# --- the canvas ------------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, background=(0.0, 0.0, 0.0, 0.0)):
        self.width, self.height = width, height
        bg = tuple(background) + (1.0,) * (4 - len(background))
        premul = (bg[0] * bg[3], bg[1] * bg[3], bg[2] * bg[3], bg[3])
        self.px = [list(premul) for _ in range(width * height)]

    def blend(self, i, color, coverage):
        """Composites one colour over pixel i ("over" operator)."""
        a = color[3] * coverage if len(color) > 3 else coverage
        if a <= 0.0:
            return
        p = self.px[i]
        keep = 1.0 - a
        p[0] = color[0] * a + p[0] * keep
        p[1] = color[1] * a + p[1] * keep
        p[2] = color[2] * a + p[2] * keep
        p[3] = a + p[3] * keep

    def fill(self, shape, paint, bounds=None, softness=1.0):
        """Paints a shape with a colour or a shader. `bounds` (x0, y0, x1, y1) limits the work;
        `softness` widens the edge ramp (1 = one pixel)."""
        x0, y0, x1, y1 = bounds or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        shader = paint if callable(paint) else None
        for y in range(y0, y1):
            for x in range(x0, x1):
                cx, cy = x + 0.5, y + 0.5
                coverage = clamp01(0.5 - shape(cx, cy) / softness)
                if coverage > 0.0:
                    self.blend(y * self.width + x, shader(cx, cy) if shader else paint, coverage)

    def fill_coverage(self, coverage, paint, dx=0, dy=0):
        """Paints a coverage mask (a list of rows of 0..1, as big as the canvas) moved by
        (dx, dy) pixels."""
        shader = paint if callable(paint) else None
        for y in range(self.height):
            sy = y - dy
            if sy < 0 or sy >= self.height:
                continue
            row = coverage[sy]
            for x in range(self.width):
                sx = x - dx
                if 0 <= sx < self.width and row[sx] > 0.0:
                    c = shader(x + 0.5, y + 0.5) if shader else paint
                    self.blend(y * self.width + x, c, row[sx])

    def pixel(self, x, y):
        """Straight (not premultiplied) colour of a pixel."""
        r, g, b, a = self.px[y * self.width + x]
        if a <= 0.0:
            return (0.0, 0.0, 0.0, 0.0)
        return (r / a, g / a, b / a, a)

    def rgba_rows(self):
        """Rows of straight 8-bit (r, g, b, a) tuples, top row first."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                r, g, b, a = self.pixel(x, y)
                row.append((to_byte(r), to_byte(g), to_byte(b), to_byte(a)))
            rows.append(row)
        return rows


def to_byte(v):
    return int(clamp01(v) * 255.0 + 0.5)

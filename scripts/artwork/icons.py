"""The small pictures: the program's logo, the tray's paint rollers and the channel marks.

Each drawing works on a 16-unit grid scaled to the requested pixel size, so the 16 x 16 icons
land on whole pixels and the larger ones gain detail from the smooth edges.
"""
from .raster import (Canvas, box, circle, ellipse, linear_gradient, outline, polygon, polyline,
                     radial_gradient, rgb)


class Grid:
    """Maps 16-unit design coordinates onto a canvas of `size` pixels."""

    def __init__(self, canvas, size, units=16.0, ox=0.0, oy=0.0):
        self.c = canvas
        self.k = size / units
        self.ox, self.oy = ox, oy
        self.bounds = (ox - 1, oy - 1, ox + size + 1, oy + size + 1)

    def shape(self, factory, *coords, **named):
        """Builds a distance function in pixels from a shape factory and grid coordinates."""
        return self.px(factory(*coords, **named))

    def px(self, sdf):
        """Turns a distance function in grid units into one in pixels."""
        k, ox, oy = self.k, self.ox, self.oy
        return lambda x, y: sdf((x - ox) / k, (y - oy) / k) * k

    def pos(self, x, y):
        return (x * self.k + self.ox, y * self.k + self.oy)

    def fill(self, sdf, paint):
        self.c.fill(sdf, paint, self.bounds)

    def paint(self, shader):
        """Turns a shader in grid units into one in pixels."""
        k, ox, oy = self.k, self.ox, self.oy
        return lambda x, y: shader((x - ox) / k, (y - oy) / k)


def draw_landscape(g, x0, y0, x1, y1, sky_top, sky_bottom, sun, hill_back, hill_front, radius):
    """A little framed picture: sky, sun and two hills inside a rounded white frame."""
    frame = g.shape(box, x0, y0, x1, y1, radius)
    g.fill(frame, rgb("#fbfcfe"))
    inner = g.shape(box, x0 + 1.0, y0 + 1.0, x1 - 1.0, y1 - 1.0, max(0.0, radius - 1.0))
    g.fill(inner, g.paint(linear_gradient(0, y0, sky_top, 0, y1, sky_bottom)))
    w, h = x1 - x0 - 2.0, y1 - y0 - 2.0
    ix, iy = x0 + 1.0, y0 + 1.0

    def clip(sdf):
        return lambda x, y: max(sdf(x, y), inner(x, y))
    g.fill(clip(g.shape(circle, ix + w * 0.72, iy + h * 0.3, min(w, h) * 0.17)), sun)
    back = [(ix - 1, iy + h * 0.78), (ix + w * 0.38, iy + h * 0.42), (ix + w * 0.62, iy + h * 0.62),
            (ix + w * 0.8, iy + h * 0.5), (ix + w + 1, iy + h * 0.72), (ix + w + 1, iy + h + 1),
            (ix - 1, iy + h + 1)]
    g.fill(clip(g.shape(polygon, back)), hill_back)
    front = g.shape(ellipse, ix + w * 0.22, iy + h * 1.28, w * 0.78, h * 0.56)
    g.fill(clip(front), hill_front)


def logo(size):
    """The program's logo: a framed landscape, the wallpaper being changed."""
    c = Canvas(size, size)
    draw_logo(Grid(c, size))
    return c


def draw_logo(g):
    """Draws the logo into a 16-unit square of any canvas."""
    # The next picture waits behind the current one.
    back = box(3.0, 0.5, 15.5, 11.0, 1.8)
    g.fill(g.px(back), g.paint(linear_gradient(0, 0.5, rgb("#ffd27a"), 0, 11, rgb("#f08a3c"))))
    g.fill(g.px(outline(back, 0.9)), rgb("#8a4a1c"))
    # soft shadow, then the frame with a dark edge so that it reads on light and dark taskbars
    g.fill(g.shape(box, 1.0, 4.6, 13.8, 15.8, 2.0), (0.05, 0.1, 0.2, 0.3))
    draw_landscape(g, 0.5, 4.0, 13.0, 15.5, rgb("#2f7fd8"), rgb("#a9d8ff"), rgb("#ffc23a"),
                   rgb("#58b368"), rgb("#2f8a45"), 1.8)
    g.fill(g.px(outline(box(0.5, 4.0, 13.0, 15.5, 1.8), 0.9)), rgb("#27466f"))


def roller(size, body, body_light, body_dark):
    """A paint roller: the sleeve on top, the wire frame and the handle below."""
    c = Canvas(size, size)
    g = Grid(c, size)
    wire = rgb("#6f7884")
    g.fill(g.shape(polyline, [(12.0, 4.0), (14.5, 4.0), (14.5, 8.4), (8.0, 8.4), (8.0, 10.2)], 1.3),
           wire)
    sleeve = g.shape(box, 0.6, 1.2, 12.4, 6.8, 1.9)
    g.fill(sleeve, g.paint(linear_gradient(0, 1.2, body_light, 0, 6.8, body_dark)))
    g.fill(g.shape(box, 1.8, 2.0, 11.2, 3.1, 0.55), (1.0, 1.0, 1.0, 0.45))
    g.fill(g.px(outline(box(0.6, 1.2, 12.4, 6.8, 1.9), 0.9)), body_dark)
    handle = g.shape(box, 6.3, 9.6, 9.7, 15.4, 1.5)
    g.fill(handle, g.paint(linear_gradient(6.3, 0, rgb("#8c96a2"), 9.7, 0, rgb("#4a525c"))))
    g.fill(g.px(outline(box(6.3, 9.6, 9.7, 15.4, 1.5), 0.8)), rgb("#353b43"))
    g.fill(g.shape(box, 7.0, 10.6, 7.8, 14.4, 0.4), (1.0, 1.0, 1.0, 0.3))
    return c


ROLLERS = {
    "blue": (rgb("#2f7fe0"), rgb("#8cc4ff"), rgb("#1b4f9c")),
    "green": (rgb("#34a853"), rgb("#93dda2"), rgb("#1e6e35")),
    "grey": (rgb("#98a1ab"), rgb("#dde2e7"), rgb("#5f6872")),
}


def mark_current():
    """11 x 11: the current channel, a filled disc."""
    c = Canvas(11, 11)
    disc = circle(5.5, 5.5, 4.7)
    c.fill(disc, radial_gradient(4.3, 4.2, 6.0, rgb("#6fb6ff"), rgb("#1c5fb8")))
    c.fill(outline(disc, 0.9), rgb("#17477f"))
    c.fill(circle(4.4, 4.3, 1.3), (1.0, 1.0, 1.0, 0.7))
    return c


def mark_other():
    """11 x 11: any other channel, an empty ring."""
    c = Canvas(11, 11)
    c.fill(outline(circle(5.5, 5.5, 4.0), 1.5), rgb("#7d8894"))
    return c

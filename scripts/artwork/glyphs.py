"""The 16 x 16 pictures of the glyph buttons (the eight under the picture list and "Previous
picture"), and their greyed forms.

They are drawn with smooth edges on a transparent canvas; the caller turns them into key-colour
bitmaps resolved against the button face.
"""
from .icons import Grid, draw_landscape
from .raster import (Canvas, box, circle, linear_gradient, outline, polygon, polyline, rgb,
                     union)

FACE = (240, 240, 240)  # the button face the smooth edges are resolved against

RED, RED_DARK = rgb("#e2403a"), rgb("#9c1f1b")
GREEN, GREEN_DARK = rgb("#3cae4f"), rgb("#1f6e2f")
BLUE_TOP, BLUE_BOTTOM, BLUE_DARK = rgb("#6fb0ff"), rgb("#1f66c8"), rgb("#174a8f")
INK = rgb("#4b5563")


def new():
    c = Canvas(16, 16)
    return c, Grid(c, 16)


def badge(g, color, dark, sign):
    """A round sign in the lower right corner: '+', '-' or 'x'."""
    g.fill(g.shape(circle, 11.8, 11.8, 4.4), rgb("#ffffff"))
    disc = circle(11.8, 11.8, 3.7)
    g.fill(g.px(disc), g.paint(linear_gradient(0, 8.1, color, 0, 15.5, dark)))
    g.fill(g.px(outline(disc, 0.8)), dark)
    white = rgb("#ffffff")
    if sign in "+-":
        g.fill(g.shape(polyline, [(9.9, 11.8), (13.7, 11.8)], 1.5), white)
    if sign == "+":
        g.fill(g.shape(polyline, [(11.8, 9.9), (11.8, 13.7)], 1.5), white)
    if sign == "x":
        g.fill(g.shape(polyline, [(10.4, 10.4), (13.2, 13.2)], 1.4), white)
        g.fill(g.shape(polyline, [(13.2, 10.4), (10.4, 13.2)], 1.4), white)


def page(g, lines=4):
    """A sheet with text lines: the list."""
    sheet = box(2.0, 0.8, 12.6, 15.2, 1.0)
    g.fill(g.px(sheet), g.paint(linear_gradient(0, 0, rgb("#ffffff"), 0, 16, rgb("#e4e9f0"))))
    g.fill(g.px(outline(sheet, 0.9)), rgb("#6b7686"))
    for i in range(lines):
        y = 3.6 + i * 2.6
        g.fill(g.shape(polyline, [(4.3, y), (10.3 if i % 2 == 0 else 8.8, y)], 1.1), rgb("#8a96a8"))


def clear_list():
    c, g = new()
    page(g)
    badge(g, RED, RED_DARK, "x")
    return c


def add_files():
    c, g = new()
    draw_landscape(g, 0.6, 1.5, 13.2, 12.2, rgb("#2f7fd8"), rgb("#a9d8ff"), rgb("#ffc23a"),
                   rgb("#58b368"), rgb("#2f8a45"), 1.4)
    g.fill(g.px(outline(box(0.6, 1.5, 13.2, 12.2, 1.4), 0.9)), rgb("#2a4a74"))
    badge(g, GREEN, GREEN_DARK, "+")
    return c


def folder(g):
    back = polygon([(0.8, 3.2), (5.2, 3.2), (6.6, 4.8), (14.6, 4.8), (14.6, 13.8), (0.8, 13.8)])
    g.fill(g.px(back), rgb("#d69a1e"))
    front = polygon([(0.8, 13.8), (2.2, 6.6), (15.4, 6.6), (14.2, 13.8)])
    g.fill(g.px(front), g.paint(linear_gradient(0, 6.6, rgb("#ffe08a"), 0, 13.8, rgb("#f2b631"))))
    g.fill(g.px(outline(union(back, front), 0.8)), rgb("#9a6a10"))


def add_directory():
    c, g = new()
    folder(g)
    badge(g, GREEN, GREEN_DARK, "+")
    return c


def delete_selected():
    c, g = new()
    cross = union(polyline([(3.5, 3.5), (12.5, 12.5)], 3.2),
                  polyline([(12.5, 3.5), (3.5, 12.5)], 3.2))
    g.fill(g.px(outline(cross, 1.0)), RED_DARK)
    g.fill(g.px(cross), g.paint(linear_gradient(0, 2, rgb("#ff7a70"), 0, 14, RED)))
    return c


def strip_list():
    c, g = new()
    # The screen's proportions, and a picture that does not fit them.
    screen = box(0.8, 3.0, 13.6, 11.6, 0.8)
    g.fill(g.px(screen), rgb("#dcebff"))
    g.fill(g.px(outline(screen, 0.9)), rgb("#3a6fb0"))
    misfit = box(4.4, 0.8, 9.6, 13.8, 0.7)
    g.fill(g.px(misfit), g.paint(linear_gradient(0, 0, rgb("#ffd6d6"), 0, 14, rgb("#f6a3a3"))))
    g.fill(g.px(outline(misfit, 0.9)), rgb("#b04848"))
    badge(g, RED, RED_DARK, "-")
    return c


def install_image():
    c, g = new()
    stand = polygon([(6.0, 12.2), (10.0, 12.2), (10.8, 14.6), (5.2, 14.6)])
    g.fill(g.px(stand), g.paint(linear_gradient(0, 12, rgb("#9aa4b0"), 0, 15, rgb("#5d6672"))))
    g.fill(g.shape(polyline, [(4.2, 14.8), (11.8, 14.8)], 1.2), rgb("#4b5563"))
    body = box(0.5, 1.5, 15.5, 12.4, 1.2)
    g.fill(g.px(body), rgb("#3b4350"))
    draw_landscape(g, 1.6, 2.6, 14.4, 11.3, rgb("#2f7fd8"), rgb("#a9d8ff"), rgb("#ffc23a"),
                   rgb("#58b368"), rgb("#2f8a45"), 0.3)
    return c


def arrow(up):
    c, g = new()
    pts = [(8.0, 1.2), (14.6, 7.8), (10.6, 7.8), (10.6, 14.6), (5.4, 14.6), (5.4, 7.8), (1.4, 7.8)]
    if not up:
        pts = [(x, 16.0 - y) for x, y in pts]
    shape = polygon(pts)
    top, bottom = (BLUE_TOP, BLUE_BOTTOM) if up else (BLUE_BOTTOM, BLUE_TOP)
    g.fill(g.px(shape), g.paint(linear_gradient(0, 1, top, 0, 15, bottom)))
    g.fill(g.px(outline(shape, 0.9)), BLUE_DARK)
    return c


def previous_picture():
    """A picture with a green arrow turning back to the left: the one shown before."""
    c, g = new()
    draw_landscape(g, 3.4, 0.8, 15.4, 10.6, rgb("#2f7fd8"), rgb("#a9d8ff"), rgb("#ffc23a"),
                   rgb("#58b368"), rgb("#2f8a45"), 1.2)
    g.fill(g.px(outline(box(3.4, 0.8, 15.4, 10.6, 1.2), 0.9)), rgb("#2a4a74"))
    head = polygon([(0.6, 11.2), (6.0, 6.6), (6.0, 15.8)])
    shaft = box(4.8, 9.4, 12.6, 13.0, 0.6)
    arrow_shape = union(head, shaft)
    g.fill(g.px(outline(arrow_shape, 1.0)), GREEN_DARK)
    g.fill(g.px(arrow_shape), g.paint(linear_gradient(0, 7, rgb("#7ed68b"), 0, 15, GREEN)))
    return c


# name -> drawing, in the order of the buttons from left to right
GLYPHS = [
    ("clear", clear_list),       # SpeedButton7
    ("addfiles", add_files),     # SpeedButton1
    ("adddir", add_directory),   # SpeedButton2
    ("delete", delete_selected),  # SpeedButton3
    ("strip", strip_list),       # SpeedButton4
    ("install", install_image),  # SpeedButton8
    ("previous", previous_picture),  # SpeedButton9, and SpeedButton10 on the first page
    ("up", lambda: arrow(True)),     # SpeedButton5
    ("down", lambda: arrow(False)),  # SpeedButton6
]


def greyed(rows):
    """The disabled look: the picture's lightness only, faded toward the button face."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            lum = 0.299 * r + 0.587 * g + 0.114 * b
            v = int(lum * 0.45 + 200 * 0.55 + 0.5)
            line.append((v, v, v, a))
        out.append(line)
    return out

"""The wide pictures: the banner under the window's pages and the demo channel's logos."""
from . import strokefont
from .icons import Grid, draw_landscape, draw_logo
from .raster import Canvas, box, circle, linear_gradient, mix, outline, rgb

TITLE = "Dova Wallpaper Changer"
TAGLINE = "A fresh picture on your desktop, every day"


def banner():
    """470 x 54: the program's name and tagline on a blue gradient, with the logo."""
    w, h = 470, 54
    c = Canvas(w, h)
    deep, light = rgb("#14305c"), rgb("#2f7cc8")
    c.fill(box(-1, -1, w + 1, h + 1), linear_gradient(0, 0, deep, w, 0, light))
    c.fill(box(-1, -1, w + 1, h * 0.45), linear_gradient(0, 0, (1, 1, 1, 0.10), 0, h * 0.45,
                                                      (1, 1, 1, 0.0)))
    # soft light shapes on the right, like pictures fading into each other
    for cx, cy, r, a in ((402, -8, 44, 0.07), (452, 40, 34, 0.08), (338, 62, 30, 0.05),
                         (470, -4, 22, 0.07)):
        c.fill(circle(cx, cy, r), (1, 1, 1, a), (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2))
    # accent line along the bottom edge
    c.fill(box(-1, h - 2, w + 1, h + 1),
           linear_gradient(0, 0, rgb("#f39a35"), w * 0.75, 0, rgb("#f39a35", 0.0)))
    # the logo, with a little shadow of its own
    g = Grid(c, 40, ox=10, oy=7)
    draw_logo(g)
    # the name and the tagline
    title = strokefont.coverage(w, h, TITLE, 62, 27, 16, 2.1)
    c.fill_coverage(title, (0.02, 0.06, 0.15, 0.45), 1, 1)
    c.fill_coverage(title, rgb("#ffffff"))
    tag = strokefont.coverage(w, h, TAGLINE, 63, 42, 8, 1.1)
    c.fill_coverage(tag, rgb("#d2e5ff"))
    return c


def channel_logo(name, subtitle, paper, edge, sky_top, sky_bottom, sun, hill_back, hill_front,
                 ink, ink_light):
    """160 x 44: a channel's logo for the channel list. The left 16 pixels stay plain: the list
    draws the channel mark there."""
    w, h = 160, 44
    c = Canvas(w, h)
    card = box(0.5, 0.5, w - 0.5, h - 0.5, 3.5)
    c.fill(card, linear_gradient(0, 0, rgb("#ffffff"), 0, h, paper))
    c.fill(outline(card, 1.0), edge)
    g = Grid(c, 30, units=16.0, ox=18, oy=7)
    draw_landscape(g, 0.5, 1.5, 15.5, 14.5, sky_top, sky_bottom, sun, hill_back, hill_front, 1.6)
    g.fill(g.px(outline(box(0.5, 1.5, 15.5, 14.5, 1.6), 0.7)), mix(ink, (1, 1, 1), 0.2))
    # The name takes what room there is right of the picture, up to a cap height of 11 pixels.
    size = 11.0
    while strokefont.text_width(name, size, size * 0.155) > w - 56 - 6:
        size -= 0.25
    c.fill_coverage(strokefont.coverage(w, h, name, 56, 22, size, size * 0.155), ink)
    c.fill_coverage(strokefont.coverage(w, h, subtitle, 56, 34, 6.5, 0.95), ink_light)
    return c


def text_mark_logo(name, subtitle, paper, edge, accent, ink, ink_light):
    """160 x 44: the logo of a shipped channel, a text mark of our own making (never the
    service's trademark): the name's initial on a tile, the name and what the channel gives.
    The left 16 pixels stay plain for the list's channel mark."""
    w, h = 160, 44
    c = Canvas(w, h)
    card = box(0.5, 0.5, w - 0.5, h - 0.5, 3.5)
    c.fill(card, linear_gradient(0, 0, rgb("#ffffff"), 0, h, paper))
    c.fill(outline(card, 1.0), edge)
    tile = box(18.5, 7.5, 48.5, 36.5, 4.0)
    c.fill(tile, linear_gradient(0, 7, mix(accent, (1, 1, 1), 0.25), 0, 37, accent))
    initial = name[0]
    size = 17.0
    left = 33.5 - strokefont.text_width(initial, size, size * 0.17) / 2
    c.fill_coverage(strokefont.coverage(w, h, initial, left, 30.5, size, size * 0.17),
                    rgb("#ffffff"))
    size = 11.0
    while strokefont.text_width(name, size, size * 0.155) > w - 56 - 6:
        size -= 0.25
    c.fill_coverage(strokefont.coverage(w, h, name, 56, 22, size, size * 0.155), ink)
    c.fill_coverage(strokefont.coverage(w, h, subtitle, 56, 34, 6.5, 0.95), ink_light)
    return c


def bing_logo():
    return text_mark_logo("Bing", "image of the day", rgb("#e6f4f4"), rgb("#8cc3c3"),
                          rgb("#15838a"), rgb("#0f4f55"), rgb("#4a7f84"))


def wikipedia_logo():
    return text_mark_logo("Wikipedia", "featured picture", rgb("#efefef"), rgb("#b5b5b5"),
                          rgb("#5a5a5a"), rgb("#202020"), rgb("#6a6a6a"))


def apod_logo():
    return text_mark_logo("NASA APOD", "astronomy picture", rgb("#e4e8f6"), rgb("#98a3cf"),
                          rgb("#243a8c"), rgb("#16245c"), rgb("#56608f"))


def demo_logo_1():
    return channel_logo("Dova Demo", "picture of the day", rgb("#e3eefb"), rgb("#9db8dc"),
                        rgb("#2f7fd8"), rgb("#a9d8ff"), rgb("#ffc23a"), rgb("#58b368"),
                        rgb("#2f8a45"), rgb("#1d4c8c"), rgb("#5b7ba3"))


def demo_logo_2():
    return channel_logo("Dova Demo 2", "picture of the day", rgb("#fcebd8"), rgb("#e2b78a"),
                        rgb("#f07a4a"), rgb("#ffd39a"), rgb("#fff3c4"), rgb("#a0609c"),
                        rgb("#5f3b78"), rgb("#9c4218"), rgb("#b07a52"))

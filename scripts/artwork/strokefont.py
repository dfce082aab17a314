"""A geometric stroke font: each character is a few polylines and arcs on a grid whose cap
height is 10 units (x-height 7, descenders to -3, baseline 0, y pointing up). Rendered with
round-ended strokes of any width, it stays clean at every size the banner and the logos use.
"""
import math

from .raster import clamp01, segment_distance


def arc(cx, cy, rx, ry, a0, a1, step=12.0):
    """Points on an elliptic arc from angle a0 to a1 (degrees, counter-clockwise positive)."""
    n = max(2, int(abs(a1 - a0) / step) + 1)
    pts = []
    for i in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * i / n)
        pts.append((round(cx + rx * math.cos(a), 6), round(cy + ry * math.sin(a), 6)))
    return pts


def dot(x, y):
    return [(x, y), (x, y)]


# Lower case: round letters are ellipses of 3.3 x 3.5 units around the middle of the x-height.
O_RX, O_RY = 3.3, 3.5
GLYPHS = {
    "a": [arc(3.3, 3.5, O_RX, O_RY, 0, 360), [(6.6, 7), (6.6, 0)]],
    "b": [[(0, 10), (0, 0)], arc(3.3, 3.5, O_RX, O_RY, 0, 360)],
    "c": [arc(3.3, 3.5, O_RX, O_RY, 48, 312)],
    "d": [arc(3.3, 3.5, O_RX, O_RY, 0, 360), [(6.6, 10), (6.6, 0)]],
    "e": [[(0.1, 3.6), (6.5, 3.6)] + arc(3.3, 3.5, O_RX, O_RY, 2, 318)[1:]],
    "f": [arc(4.1, 8.3, 1.7, 1.7, 40, 180) + [(2.4, 0)], [(0.4, 7), (4.4, 7)]],
    "g": [arc(3.3, 3.5, O_RX, O_RY, 0, 360),
          [(6.6, 7), (6.6, -0.6)] + arc(3.4, -0.6, 3.2, 2.4, 0, -158)],
    "h": [[(0, 10), (0, 0)], [(0, 4.4)] + arc(3.0, 4.2, 3.0, 2.8, 180, 0) + [(6.0, 0)]],
    "i": [[(0, 7), (0, 0)], dot(0, 9.4)],
    "j": [[(1.6, 7), (1.6, -1.4)] + arc(0.0, -1.4, 1.6, 1.6, 0, -120), dot(1.6, 9.4)],
    "k": [[(0, 10), (0, 0)], [(5.4, 7), (0, 2.6)], [(2.0, 4.2), (5.8, 0)]],
    "l": [[(0, 10), (0, 0)]],
    "m": [[(0, 7), (0, 0)], [(0, 4.6)] + arc(2.4, 4.7, 2.4, 2.3, 180, 0) + [(4.8, 0)],
          [(4.8, 4.6)] + arc(7.2, 4.7, 2.4, 2.3, 180, 0) + [(9.6, 0)]],
    "n": [[(0, 7), (0, 0)], [(0, 4.4)] + arc(3.0, 4.2, 3.0, 2.8, 180, 0) + [(6.0, 0)]],
    "o": [arc(3.3, 3.5, O_RX, O_RY, 0, 360)],
    "p": [[(0, 7), (0, -3)], arc(3.3, 3.5, O_RX, O_RY, 0, 360)],
    "q": [arc(3.3, 3.5, O_RX, O_RY, 0, 360), [(6.6, 7), (6.6, -3)]],
    "r": [[(0, 7), (0, 0)], [(0, 4.2)] + arc(3.1, 4.2, 3.1, 2.8, 180, 62)],
    "s": [arc(2.75, 5.3, 2.45, 1.7, 28, 270) + arc(2.75, 1.75, 2.7, 1.75, 90, -152)[1:]],
    "t": [[(1.6, 9.2), (1.6, 1.6)] + arc(3.3, 1.6, 1.7, 1.6, 180, 292), [(0, 7), (4.0, 7)]],
    "u": [[(0, 7), (0, 2.6)] + arc(3.0, 2.8, 3.0, 2.8, 180, 360) + [(6.0, 7)],
          [(6.0, 7), (6.0, 0)]],
    "v": [[(0, 7), (3.1, 0), (6.2, 7)]],
    "w": [[(0, 7), (2.2, 0), (4.5, 6.2), (6.8, 0), (9.0, 7)]],
    "x": [[(0, 7), (5.8, 0)], [(5.8, 7), (0, 0)]],
    "y": [[(0, 7), (3.2, 0)], [(6.2, 7), (2.2, -3)]],
    "z": [[(0.2, 7), (5.8, 7), (0.2, 0), (6.0, 0)]],
    "A": [[(0, 0), (3.8, 10), (7.6, 0)], [(1.3, 3.4), (6.3, 3.4)]],
    "B": [[(0, 5.3), (0, 10), (3.5, 10)] + arc(3.5, 7.65, 2.35, 2.35, 90, -90)
          + [(0, 5.3), (4.0, 5.3)] + arc(4.0, 2.65, 2.65, 2.65, 90, -90) + [(0, 0), (0, 5.3)]],
    "C": [arc(5.0, 5.0, 4.8, 5.0, 46, 314)],
    "D": [[(0, 0), (0, 10), (3.2, 10)] + arc(3.2, 5.0, 4.8, 5.0, 90, -90) + [(0, 0)]],
    "E": [[(6.0, 10), (0, 10), (0, 0), (6.0, 0)], [(0, 5.1), (5.2, 5.1)]],
    "F": [[(6.0, 10), (0, 10), (0, 0)], [(0, 5.1), (5.2, 5.1)]],
    "G": [arc(5.0, 5.0, 4.8, 5.0, 46, 360) + [(5.4, 5.0)]],
    "H": [[(0, 10), (0, 0)], [(7.0, 10), (7.0, 0)], [(0, 5.1), (7.0, 5.1)]],
    "I": [[(0, 10), (0, 0)]],
    "J": [[(4.6, 10), (4.6, 2.5)] + arc(2.3, 2.5, 2.3, 2.5, 0, -180)],
    "K": [[(0, 10), (0, 0)], [(6.4, 10), (0, 3.6)], [(2.3, 5.9), (6.8, 0)]],
    "L": [[(0, 10), (0, 0), (5.6, 0)]],
    "M": [[(0, 0), (0, 10), (4.3, 1.6), (8.6, 10), (8.6, 0)]],
    "N": [[(0, 0), (0, 10), (7.2, 0), (7.2, 10)]],
    "O": [arc(5.0, 5.0, 4.9, 5.0, 0, 360)],
    "P": [[(0, 0), (0, 10), (3.6, 10)] + arc(3.6, 7.3, 2.7, 2.7, 90, -90) + [(0, 4.6)]],
    "Q": [arc(5.0, 5.0, 4.9, 5.0, 0, 360), [(6.2, 2.6), (9.6, -0.6)]],
    "R": [[(0, 0), (0, 10), (3.6, 10)] + arc(3.6, 7.3, 2.7, 2.7, 90, -90) + [(0, 4.6)],
          [(3.4, 4.6), (6.6, 0)]],
    "S": [arc(3.6, 7.45, 3.2, 2.55, 30, 270) + arc(3.6, 2.45, 3.5, 2.45, 90, -152)[1:]],
    "T": [[(0, 10), (7.2, 10)], [(3.6, 10), (3.6, 0)]],
    "U": [[(0, 10), (0, 3.4)] + arc(3.5, 3.4, 3.5, 3.4, 180, 360) + [(7.0, 10)]],
    "V": [[(0, 10), (3.8, 0), (7.6, 10)]],
    "W": [[(0, 10), (2.6, 0), (5.3, 8.2), (8.0, 0), (10.6, 10)]],
    "X": [[(0, 10), (7.0, 0)], [(7.0, 10), (0, 0)]],
    "Y": [[(0, 10), (3.6, 4.8), (7.2, 10)], [(3.6, 4.8), (3.6, 0)]],
    "Z": [[(0.4, 10), (7.0, 10), (0, 0), (7.2, 0)]],
    "0": [arc(3.4, 5.0, 3.4, 5.0, 0, 360)],
    "1": [[(0.4, 8.0), (2.6, 10), (2.6, 0)]],
    "2": [arc(3.3, 7.0, 3.1, 3.0, 162, -28) + [(0.2, 0), (6.8, 0)]],
    "3": [arc(3.2, 7.5, 2.9, 2.5, 150, -90) + arc(3.2, 2.65, 3.3, 2.65, 90, -155)[1:]],
    "4": [[(5.2, 0), (5.2, 10), (0, 2.8), (7.0, 2.8)]],
    "5": [[(6.2, 10), (1.1, 10), (0.6, 5.2)] + arc(3.5, 3.2, 3.3, 3.2, 140, -150)[1:]],
    "6": [arc(3.5, 3.2, 3.3, 3.2, 0, 360), [(0.3, 3.8), (4.6, 10)]],
    "7": [[(0.2, 10), (6.8, 10), (2.4, 0)]],
    "8": [arc(3.4, 7.6, 2.5, 2.4, 0, 360), arc(3.4, 2.7, 3.1, 2.7, 0, 360)],
    "9": [arc(3.5, 6.8, 3.3, 3.2, 0, 360), [(6.7, 6.2), (2.4, 0)]],
    ".": [dot(0, 0)],
    ",": [[(0.6, 0.2), (-0.2, -1.8)]],
    ":": [dot(0, 0), dot(0, 6.4)],
    "-": [[(0, 4.0), (3.6, 4.0)]],
    "'": [[(0, 10), (0, 7.4)]],
    "!": [[(0, 10), (0, 3.2)], dot(0, 0)],
    "/": [[(0, -1), (5.0, 10.6)]],
    "+": [[(0, 4.2), (5.6, 4.2)], [(2.8, 1.4), (2.8, 7.0)]],
}
SPACE = 3.2        # width of a blank, in font units
GAP = 1.9          # distance between the ink of two characters, in font units, at stroke 1


def glyph_bounds(strokes):
    xs = [p[0] for s in strokes for p in s]
    return min(xs), max(xs)


def layout(text, size, stroke, tracking=0.0):
    """Positions a line of text. `size` is the cap height in pixels, `stroke` the stroke width
    in pixels. Returns (segments in pixel units with the baseline at y = 0, width in pixels)."""
    scale = size / 10.0
    pen = stroke / 2.0
    segments = []
    for ch in text:
        if ch == " ":
            pen += SPACE * scale + tracking
            continue
        strokes = GLYPHS.get(ch)
        if strokes is None:
            raise KeyError("the stroke font has no character %r" % ch)
        left, right = glyph_bounds(strokes)
        for s in strokes:
            pts = [((x - left) * scale + pen, -y * scale) for x, y in s]
            segments.extend(zip(pts, pts[1:]))
        pen += (right - left) * scale + GAP * scale + stroke + tracking
    return segments, pen - GAP * scale - tracking - stroke / 2.0


def text_width(text, size, stroke, tracking=0.0):
    return layout(text, size, stroke, tracking)[1]


def coverage(width, height, text, x, baseline, size, stroke, tracking=0.0, slant=0.0):
    """A coverage mask (rows of 0..1, width x height) of the text with its left edge at x and
    its baseline at `baseline` (pixels, y down). `slant` leans the letters (0.2 = 11 degrees)."""
    segments, text_w = layout(text, size, stroke, tracking)
    mask = [[0.0] * width for _ in range(height)]
    half = stroke / 2.0
    # Group segments per character cell so every pixel only looks at nearby strokes.
    buckets = {}
    cell = max(4, int(size))
    for (ax, ay), (bx, by) in segments:
        ax, bx = ax + x - ay * slant, bx + x - by * slant
        ay, by = ay + baseline, by + baseline
        lo = int(math.floor((min(ax, bx) - half - 1) / cell))
        hi = int(math.floor((max(ax, bx) + half + 1) / cell))
        for b in range(lo, hi + 1):
            buckets.setdefault(b, []).append((ax, ay, bx, by))
    top = int(math.floor(baseline - size * 1.05 - half - 1))
    bottom = int(math.ceil(baseline + size * 0.35 + half + 1))
    left = int(math.floor(x - size * slant * 0.4 - half - 1))
    right = int(math.ceil(x + text_w + size * slant + half + 1))
    for py in range(max(0, top), min(height, bottom)):
        cy = py + 0.5
        for px in range(max(0, left), min(width, right)):
            cx = px + 0.5
            near = buckets.get(int(math.floor(cx / cell)))
            if not near:
                continue
            d = min(segment_distance(cx, cy, *s) for s in near) - half
            c = clamp01(0.5 - d)
            if c > mask[py][px]:
                mask[py][px] = c
    return mask

#!/usr/bin/env python3
"""Draws the program's pictures and writes them as the files resources/dova.rc names.

    make_resources.py OUTPUT_DIR [--preview]   every picture into OUTPUT_DIR (--preview also
                                               writes a PNG of each into OUTPUT_DIR/preview)
    make_resources.py --committed ROOT         the pictures kept in the source tree ROOT: the
                                               demo channel's logos in Sites/ and the icons
                                               the help shows, in help/HTML/images/
    make_resources.py --check-committed ROOT   exit status 1 when those differ from the drawing

Python 3 standard library only. The output is the same, byte for byte, on every run; a file
whose bytes would not change is not touched, so builds that depend on it do not rerun.
"""
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__ when a build runs this
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from artwork import banners, fileformats, glyphs, icons  # noqa: E402

MARK_EDGE = (251, 252, 254)  # the light corner of a channel logo, where the marks are drawn
LOGOS = {"demo_logo1.bmp": banners.demo_logo_1, "demo_logo2.bmp": banners.demo_logo_2,
         "bing.bmp": banners.bing_logo, "wikipedia.bmp": banners.wikipedia_logo,
         "apod.bmp": banners.apod_logo}


def logo_files():
    return {name: fileformats.bmp24(draw().rgba_rows()) for name, draw in LOGOS.items()}


def unkeyed(rows):
    """Key-colour pixels made transparent, for pictures shown on a web page."""
    return [[(0, 0, 0, 0) if px[:3] == fileformats.KEY_COLOR else px for px in row]
            for row in rows]


def committed_files():
    """{path relative to the source root: rows} of the pictures kept in the source tree."""
    files = {"Sites/" + name: fileformats.read_bmp24(data) for name, data in logo_files().items()}
    pictures = all_files()
    for name, (_, rows) in pictures.items():
        if name.startswith(("tray_", "glyph_", "mark_")) and "_disabled" not in name:
            files["help/HTML/images/" + os.path.splitext(name)[0] + ".png"] = unkeyed(rows)
    return files


def encode(path, rows):
    return fileformats.bmp24(rows) if path.endswith(".bmp") else fileformats.png(rows)


def decode(path, data):
    return fileformats.read_bmp24(data) if path.endswith(".bmp") else fileformats.read_png(data)


def all_files():
    """{file name: (bytes, preview rows)} of every picture."""
    files = {}

    def add(name, data, rows):
        files[name] = (data, rows)

    app = [icons.logo(s).rgba_rows() for s in (16, 24, 32, 48)]
    add("dova.ico", fileformats.ico(app), app[-1])
    tray = [[icons.logo(s).rgba_rows() for s in (16, 24, 32)]]
    for color in ("blue", "green", "grey"):
        tray.append([icons.roller(s, *icons.ROLLERS[color]).rgba_rows() for s in (16, 24, 32)])
    for i, sizes in enumerate(tray):
        add("tray_%d.ico" % i, fileformats.ico(sizes), sizes[0])

    for name, draw in glyphs.GLYPHS:
        rows = draw().rgba_rows()
        for suffix, picture in (("", rows), ("_disabled", glyphs.greyed(rows))):
            keyed = fileformats.keyed(picture, glyphs.FACE)
            add("glyph_%s%s.bmp" % (name, suffix), fileformats.bmp24(keyed), keyed)

    for name, draw in (("mark_current.bmp", icons.mark_current), ("mark_other.bmp",
                                                                  icons.mark_other)):
        keyed = fileformats.keyed(draw().rgba_rows(), MARK_EDGE, threshold=128)
        add(name, fileformats.bmp24(keyed), keyed)

    rows = banners.banner().rgba_rows()
    add("banner.bmp", fileformats.bmp24(rows), rows)
    for name, data in logo_files().items():
        add(name, data, fileformats.read_bmp24(data))
    return files


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def preview_rows(rows):
    """Shows the key colour as a checker board, so that transparent pixels stand out."""
    out = []
    for y, row in enumerate(rows):
        line = []
        for x, px in enumerate(row):
            if px[:3] == fileformats.KEY_COLOR:
                v = 205 if (x // 4 + y // 4) % 2 else 235
                px = (v, v, v, 255)
            line.append(px)
        out.append(line)
    return out


def main(argv):
    args = argv[1:]
    if len(args) == 2 and args[0] in ("--committed", "--check-committed"):
        root = args[1]
        for rel, rows in committed_files().items():
            path = os.path.join(root, rel)
            if args[0] == "--committed":
                os.makedirs(os.path.dirname(path), exist_ok=True)
                write_if_changed(path, encode(rel, rows))
                continue
            # Pixels are compared, not bytes: another zlib may pack a PNG differently.
            try:
                with open(path, "rb") as f:
                    same = decode(rel, f.read()) == rows
            except (OSError, ValueError):
                same = False
            if not same:
                print("%s differs from the drawing; run make_resources.py --committed %s"
                      % (path, root), file=sys.stderr)
                return 1
        return 0
    if len(args) not in (1, 2) or (len(args) == 2 and args[1] != "--preview"):
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    out_dir = args[0]
    os.makedirs(out_dir, exist_ok=True)
    files = all_files()
    for name, (data, rows) in files.items():
        write_if_changed(os.path.join(out_dir, name), data)
    if len(args) == 2:
        preview_dir = os.path.join(out_dir, "preview")
        os.makedirs(preview_dir, exist_ok=True)
        for name, (data, rows) in files.items():
            png_name = os.path.splitext(name)[0] + ".png"
            write_if_changed(os.path.join(preview_dir, png_name),
                             fileformats.png(preview_rows(rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

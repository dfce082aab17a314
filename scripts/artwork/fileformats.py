"""Writers of the Windows picture files the program's resources need, and PNG for previews.

Every writer takes rows of straight 8-bit (r, g, b, a) tuples, top row first, and returns the
file's bytes.
"""
import struct
import zlib

KEY_COLOR = (255, 0, 255)  # the transparent colour of glyphs and marks


def bmp24(rows):
    """A 24-bit Windows bitmap (BITMAPINFOHEADER, bottom-up rows padded to 4 bytes).
    Alpha must already be resolved: it is ignored here."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - width * 3)
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def flatten(rows, background):
    """Resolves alpha against an opaque background colour (r, g, b)."""
    out = []
    for row in rows:
        line = []
        for r, g, b, a in row:
            t = a / 255.0
            line.append(tuple(int(c * t + bg * (1.0 - t) + 0.5)
                              for c, bg in zip((r, g, b), background)) + (255,))
        out.append(line)
    return out


def keyed(rows, edge_background, threshold=96):
    """Turns an RGBA picture into a key-colour one: pixels with alpha below the threshold become
    the key colour; the rest are blended over `edge_background`, the colour the picture is
    expected to stand on, so that the smoothed edges do not show a dark or magenta fringe."""
    out = []
    for row in flatten(rows, edge_background):
        out.append(list(row))
    for y, row in enumerate(rows):
        for x, (_, _, _, a) in enumerate(row):
            if a < threshold:
                out[y][x] = KEY_COLOR + (255,)
    return out


def ico(images):
    """An icon file holding several sizes, each 32-bit with alpha plus the AND mask that older
    code paths use. `images` is a list of RGBA row lists, square."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rows in images:
        size = len(rows)
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                           0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(mask)
        dim = 0 if size >= 256 else size
        entries.append(struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def png(rows):
    """An 8-bit RGBA PNG."""
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def read_bmp24(data):
    """Rows of (r, g, b, 255) from a 24-bit bitmap written by bmp24 (used by the previews)."""
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        line = data[offset + (height - 1 - y) * stride:]
        rows.append([(line[x * 3 + 2], line[x * 3 + 1], line[x * 3], 255) for x in range(width)])
    return rows


def read_png(data):
    """Rows of (r, g, b, a) from an RGBA PNG written by png() (no filtering, one or more IDAT
    chunks). Raises ValueError for anything else."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length = struct.unpack_from(">I", data, pos)[0]
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, color = struct.unpack_from(">IIBB", body)
            if (depth, color) != (8, 6):
                raise ValueError("not an 8-bit RGBA PNG")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4 + 1
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError("filtered PNG rows are not supported")
        rows.append([tuple(line[1 + x * 4:5 + x * 4]) for x in range(width)])
    return rows

#!/usr/bin/env python3
"""Checks a compiled help file for what the program's F1 key relies on.

F1 opens "Dova.chm::/HTML/<topic>>main": every topic below must be stored in the file's HTML
folder, and the window type "main" must be defined. The check reads the file's directory and
its uncompressed #SYSTEM stream, so it needs nothing but Python.

Usage: check_help.py Dova.chm        (exit status 0 when everything is there)
"""
import struct
import sys

TOPICS = ["default.htm", "online.htm", "chanels.htm", "change.htm", "offline.htm", "list.htm",
          "random.htm", "shedulle.htm", "config.htm", "resize.htm", "monitors.htm", "modes.htm", "intray.htm",
          "netconfig.htm", "proxy.htm", "maxfilesize.htm", "speed.htm"]

SYSTEM_DEFAULT_TOPIC = 2
SYSTEM_DEFAULT_WINDOW = 5


def read_encint(data, pos):
    """Reads one variable-length integer of the directory (7 bits per byte, high bit = more)."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def read_directory(chm):
    """Returns {name: (section, offset, length)} and the start of content section 0."""
    if chm[:4] != b"ITSF":
        raise ValueError("not a compiled help file (no ITSF signature)")
    version = struct.unpack_from("<I", chm, 4)[0]
    dir_offset, dir_len = struct.unpack_from("<QQ", chm, 0x48)
    if version >= 3:
        content0 = struct.unpack_from("<Q", chm, 0x58)[0]
    else:
        content0 = dir_offset + dir_len
    if chm[dir_offset:dir_offset + 4] != b"ITSP":
        raise ValueError("directory header missing")
    itsp_len = struct.unpack_from("<I", chm, dir_offset + 8)[0]
    chunk_size = struct.unpack_from("<I", chm, dir_offset + 0x10)[0]
    chunk_count = struct.unpack_from("<I", chm, dir_offset + 0x2C)[0]
    entries = {}
    first_chunk = dir_offset + itsp_len
    for i in range(chunk_count):
        chunk = chm[first_chunk + i * chunk_size:first_chunk + (i + 1) * chunk_size]
        if chunk[:4] != b"PMGL":
            continue  # index chunks (PMGI) only repeat names
        free = struct.unpack_from("<I", chunk, 4)[0]
        pos, end = 20, chunk_size - free
        while pos < end:
            name_len, pos = read_encint(chunk, pos)
            name = chunk[pos:pos + name_len].decode("utf-8")
            pos += name_len
            section, pos = read_encint(chunk, pos)
            offset, pos = read_encint(chunk, pos)
            length, pos = read_encint(chunk, pos)
            entries[name] = (section, offset, length)
    return entries, content0


def read_system(chm, entries, content0):
    """Returns the #SYSTEM records as {code: bytes}."""
    section, offset, length = entries["/#SYSTEM"]
    if section != 0:
        raise ValueError("#SYSTEM is not stored uncompressed")
    data = chm[content0 + offset:content0 + offset + length]
    records, pos = {}, 4
    while pos + 4 <= len(data):
        code, size = struct.unpack_from("<HH", data, pos)
        records[code] = data[pos + 4:pos + 4 + size].rstrip(b"\0")
        pos += 4 + size
    return records


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        chm = f.read()
    try:
        entries, content0 = read_directory(chm)
        system = read_system(chm, entries, content0)
    except (ValueError, KeyError, struct.error, IndexError) as error:
        print("%s: unreadable: %s" % (argv[1], error), file=sys.stderr)
        return 1
    problems = []
    for topic in TOPICS:
        if "/HTML/" + topic not in entries:
            problems.append("topic /HTML/%s is missing" % topic)
    if "/#WINDOWS" not in entries:
        problems.append("no window types (#WINDOWS)")
    if system.get(SYSTEM_DEFAULT_WINDOW) != b"main":
        problems.append("the window type \"main\" is not defined")
    if system.get(SYSTEM_DEFAULT_TOPIC) != b"HTML/default.htm":
        problems.append("the default topic is not HTML/default.htm")
    for problem in problems:
        print("%s: %s" % (argv[1], problem), file=sys.stderr)
    if not problems:
        pages = sum(1 for name in entries if name.startswith("/HTML/") and name.endswith(".htm"))
        print("%s: %d pages, all %d topics, window type \"main\"" % (argv[1], pages, len(TOPICS)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

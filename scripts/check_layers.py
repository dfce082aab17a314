#!/usr/bin/env python3
"""Lists every #include that climbs a floor or crosses sideways between features.

The program is a stack of folders, each built as a library that links only the floors below:

    5  app/ (app/win32/: the window front end)
  4.5  resources/ (the program's resource IDs, for the window only)
    4  online/   picturelist/
    3  form/
    2  wallpaper/   text/
    1  platform/ (platform/win32/, platform/posix/)

A file may include headers of its own folder and of lower floors, never of a higher floor or of
another folder on its own floor. Production code never includes tests/. Test support, end-to-end
tests, benchmarks and fuzz targets sit beside the stack and may include any floor.
Exits 1 when it finds an offending include, 0 when there is none.
"""
import os
import re
import sys

FLOORS = {"platform": 1, "wallpaper": 2, "text": 2, "form": 3, "online": 4, "picturelist": 4,
          "resources": 4.5, "app": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder(path):
    return path.split("/", 1)[0]


def offences(root):
    found = []
    for top in FLOORS:
        for dirpath, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
                is_test = name.endswith("_test.cpp")
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        here, there = folder(path), folder(target)
                        if there == "tests":
                            if not is_test:
                                found.append((path, number, target, "production code includes tests"))
                            continue
                        if there not in FLOORS or there == here:
                            continue
                        if FLOORS[there] > FLOORS[here]:
                            found.append((path, number, target, "climbs from floor %s to %s"
                                          % (FLOORS[here], FLOORS[there])))
                        elif FLOORS[there] == FLOORS[here]:
                            found.append((path, number, target, "sideways on floor %s"
                                          % FLOORS[here]))
    return found


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
    found = offences(root)
    for path, number, target, why in found:
        print("%s:%d: includes %s (%s)" % (path, number, target, why))
    print("check_layers: %d offending include%s" % (len(found), "" if len(found) == 1 else "s"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

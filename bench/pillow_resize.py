"""Pillow's side of picture_bench: times Image.resize, or a whole JPEG -> resize -> BMP
conversion, inside one Python process so that the interpreter's start is not counted.

  pillow_resize.py resize SOURCE WIDTH HEIGHT REPEATS FILTER...
      prints "FILTER cpu_ms wall_ms" per filter, the best of REPEATS resizes of the loaded picture
  pillow_resize.py convert SOURCE TARGET WIDTH HEIGHT FILTER
      prints "cpu_ms wall_ms" of opening, decoding, resizing and saving the picture as BMP

FILTER is a Pillow resampling name: BOX, BILINEAR, BICUBIC, LANCZOS, HAMMING.
"""
import sys
import time

from PIL import Image


def timed(action):
    cpu, wall = time.process_time(), time.perf_counter()
    action()
    return (time.process_time() - cpu) * 1000.0, (time.perf_counter() - wall) * 1000.0


def resize(source, width, height, repeats, filters):
    picture = Image.open(source)
    picture.load()
    for name in filters:
        method = getattr(Image.Resampling, name)
        best = min((timed(lambda: picture.resize((width, height), method))
                    for _ in range(repeats)), key=lambda t: t[0])
        print(f"{name} {best[0]:.3f} {best[1]:.3f}", flush=True)


def convert(source, target, width, height, name):
    method = getattr(Image.Resampling, name)

    def work():
        picture = Image.open(source)
        picture.load()
        picture.resize((width, height), method).save(target, "BMP")

    cpu, wall = timed(work)
    print(f"{cpu:.3f} {wall:.3f}", flush=True)


def main(args):
    if len(args) >= 6 and args[0] == "resize":
        resize(args[1], int(args[2]), int(args[3]), int(args[4]), args[5:])
    elif len(args) == 6 and args[0] == "convert":
        convert(args[1], args[2], int(args[3]), int(args[4]), args[5])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])

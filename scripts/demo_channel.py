#!/usr/bin/env python3
"""Demo picture-of-the-day channel for Dova Wallpaper Changer.

Serves, over HTTP/1.0 on port 80 of a loopback address, what a picture site offers the
program, so that the picture-of-the-day mode works on a machine without Internet access:

  GET /potd    one-line page: http://<address>/pictures/<yyyy-mm-dd>.jpg   (daylight landscape)
  GET /potd2   one-line page: http://<address>/pictures2/<yyyy-mm-dd>.jpg  (evening coast)
  GET /pictures/<date>.jpg, /pictures2/<date>.jpg   the picture, image/jpeg with Content-Length
  HEAD of any of these                              the same headers, no body

The picture address changes every day, so the program fetches one new picture per day. The
pictures are drawn by ImageMagick's convert (1920x1080, a landscape seeded by the date, with the
date written in a corner) and cached. Requests are logged to stderr. Python standard library
only. Port 80 needs root:

  python3 scripts/demo_channel.py                      # 127.0.77.1
  python3 scripts/demo_channel.py --address 127.0.77.2 --cache-dir /tmp/pics --date 2024-05-01

Requests in proxy form ("GET http://127.0.77.1/potd HTTP/1.0") are answered too, so the channel
also works with the program's proxy option pointed at a local proxy.
"""

import argparse
import datetime
import http.server
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading

WIDTH, HEIGHT = 1920, 1080
STYLES = {"pictures": "landscape", "pictures2": "coast"}
PAGES = {"/potd": "pictures", "/potd2": "pictures2"}
PICTURE_PATH = re.compile(r"^/(pictures2?)/(\d{4}-\d{2}-\d{2})\.jpg$")
FONTS = [
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
]


def find_convert():
    for candidate in ("/usr/bin/convert", shutil.which("convert")):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    return None


def find_font():
    for font in FONTS:
        if os.path.exists(font):
            return font
    return None


def mix(a, b, t):
    """Colour between a and b (RGB tuples), t from 0 to 1."""
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def hex_colour(rgb):
    return "#%02x%02x%02x" % rgb


def ridge(rng, base, amplitude, step=24):
    """A polygon of rolling hills: smooth noise from a few sines with random phases."""
    waves = [(rng.uniform(0.5, 1.0) / k, rng.uniform(1.5, 3.0) * k, rng.uniform(0, 2 * math.pi))
             for k in (1, 2.3, 5.1, 11.7)]
    points = []
    for x in range(0, WIDTH + step, step):
        u = x / WIDTH
        y = base - amplitude * sum(a * math.sin(2 * math.pi * f * u + p) for a, f, p in waves)
        points.append("%d,%d" % (x, round(y)))
    points += ["%d,%d" % (WIDTH, HEIGHT), "0,%d" % HEIGHT]
    return "polygon " + " ".join(points)


def halo(x, y, radius, rgba):
    """A soft halo: a disc on a transparent layer, blurred, laid over the picture."""
    return ["(", "-size", "%dx%d" % (WIDTH, HEIGHT), "xc:none", "-fill", rgba,
            "-draw", "circle %d,%d %d,%d" % (x, y, x + radius, y),
            "-blur", "0x%d" % (radius // 2), ")", "-composite"]


def season_palette(date):
    """Near-ground colours by month: spring and summer greens, autumn ochre, winter snow."""
    month = date.month
    if month in (12, 1, 2):
        return (232, 238, 246), (55, 85, 80)
    if month in (9, 10, 11):
        return (196, 140, 60), (110, 70, 35)
    if month in (3, 4, 5):
        return (120, 190, 90), (50, 110, 50)
    return (90, 160, 70), (35, 85, 40)


def landscape_commands(date, rng):
    sky_top = (rng.randint(40, 90), rng.randint(110, 160), rng.randint(200, 240))
    horizon = (rng.randint(230, 255), rng.randint(215, 240), rng.randint(180, 215))
    near, nearest = season_palette(date)
    far = mix((150, 170, 200), horizon, 0.3)
    sun_x, sun_y = rng.randint(300, WIDTH - 300), rng.randint(180, 380)
    args = ["-size", "%dx%d" % (WIDTH, HEIGHT),
            "gradient:%s-%s" % (hex_colour(sky_top), hex_colour(horizon))]
    args += halo(sun_x, sun_y, 220, "rgba(255,245,215,0.45)")
    args += ["-fill", "#fff6dc", "-draw", "circle %d,%d %d,%d" % (sun_x, sun_y, sun_x + 70, sun_y)]
    layers = [(620, 150, far), (720, 110, mix(far, near, 0.5)), (820, 80, mix(near, nearest, 0.3)),
              (930, 50, mix(near, nearest, 0.8))]
    for base, amplitude, colour in layers:
        args += ["-fill", hex_colour(colour), "-draw", ridge(rng, base, amplitude)]
    return args


def coast_commands(date, rng):
    sky_top = (rng.randint(20, 50), rng.randint(30, 60), rng.randint(80, 120))
    glow = (rng.randint(235, 255), rng.randint(120, 170), rng.randint(60, 100))
    sea_top = (rng.randint(60, 90), rng.randint(70, 100), rng.randint(110, 140))
    sea_bottom = (10, 25, 50)
    horizon_y = 640
    sun_x = rng.randint(500, WIDTH - 500)
    args = ["-size", "%dx%d" % (WIDTH, horizon_y),
            "gradient:%s-%s" % (hex_colour(sky_top), hex_colour(glow)),
            "-size", "%dx%d" % (WIDTH, HEIGHT - horizon_y),
            "gradient:%s-%s" % (hex_colour(sea_top), hex_colour(sea_bottom)),
            "-append", "+repage"]
    for _ in range(90):
        x, y = rng.randint(0, WIDTH), rng.randint(0, horizon_y // 2)
        args += ["-fill", "rgba(255,255,255,%.2f)" % rng.uniform(0.3, 0.9),
                 "-draw", "point %d,%d" % (x, y)]
    args += halo(sun_x, horizon_y, 260, "rgba(255,200,140,0.5)")
    # The setting sun: its upper half above the horizon.
    args += ["-fill", "#ffd9a0",
             "-draw", "ellipse %d,%d 90,90 180,360" % (sun_x, horizon_y)]
    # The sea in front of the sun, with the sun's path broken into glittering strokes.
    args += ["-fill", hex_colour(sea_top),
             "-draw", "rectangle 0,%d %d,%d" % (horizon_y, WIDTH, horizon_y + 8)]
    y = horizon_y + 14
    while y < HEIGHT:
        half = int(30 + (y - horizon_y) * 0.35 * rng.uniform(0.6, 1.2))
        args += ["-fill", "rgba(255,210,150,%.2f)" % max(0.05, 0.55 - (y - horizon_y) / 900),
                 "-draw", "rectangle %d,%d %d,%d" % (sun_x - half, y, sun_x + half, y + 3)]
        y += rng.randint(12, 26)
    # A dark headland on one side.
    side = rng.choice((0, 1))
    points = []
    for i in range(0, 13):
        x = i * 60
        points.append("%d,%d" % (x if side == 0 else WIDTH - x,
                                 horizon_y - 180 + round(14 * i * i / 12 + rng.randint(-8, 8))))
    corner = 0 if side == 0 else WIDTH
    points += ["%d,%d" % (abs(corner - 720), horizon_y + 2), "%d,%d" % (corner, horizon_y + 2)]
    args += ["-fill", "#141a28", "-draw", "polygon " + " ".join(points)]
    return args


class PictureMaker:
    """Draws and caches one picture per style and date."""

    def __init__(self, cache_dir):
        self.cache_dir = cache_dir
        self.convert = find_convert()
        self.font = find_font()
        self.lock = threading.Lock()
        os.makedirs(cache_dir, exist_ok=True)

    def picture(self, style_dir, date):
        """Bytes of the JPEG for a date, drawn on first use; None when it cannot be drawn."""
        path = os.path.join(self.cache_dir, "%s-%s.jpg" % (STYLES[style_dir], date.isoformat()))
        with self.lock:
            if not os.path.exists(path) and not self.draw(style_dir, date, path):
                return None
        with open(path, "rb") as f:
            return f.read()

    def draw(self, style_dir, date, path):
        if self.convert is None:
            log("ImageMagick's convert is missing: apt-get install imagemagick")
            return False
        rng = random.Random("%s %s" % (style_dir, date.isoformat()))
        style = landscape_commands if style_dir == "pictures" else coast_commands
        try:
            args = [self.convert] + style(date, rng)
        except Exception as error:  # a drawing bug must not take the channel down
            log("cannot plan %s: %r" % (path, error))
            return False
        if self.font:
            args += ["-font", self.font]
        args += ["-gravity", "southeast", "-pointsize", "54", "-fill", "rgba(0,0,0,0.35)",
                 "-annotate", "+37+33", date.isoformat(),
                 "-fill", "rgba(255,255,255,0.9)", "-annotate", "+40+36", date.isoformat(),
                 "-gravity", "southwest", "-pointsize", "22", "-fill", "rgba(255,255,255,0.7)",
                 "-annotate", "+40+40", "Dova demo channel",
                 "-strip", "-interlace", "none", "-sampling-factor", "2x2", "-quality", "85"]
        fd, temporary = tempfile.mkstemp(suffix=".jpg", dir=self.cache_dir)
        os.close(fd)
        try:
            subprocess.run(args + ["jpeg:" + temporary], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE, timeout=120)
            os.replace(temporary, path)
            log("drew %s" % path)
            return True
        except (OSError, subprocess.SubprocessError) as error:
            detail = getattr(error, "stderr", b"") or b""
            log("cannot draw %s: %s %s" % (path, error, detail.decode(errors="replace").strip()))
            if os.path.exists(temporary):
                os.remove(temporary)
            return False


def log(text):
    sys.stderr.write("demo_channel: %s\n" % text)
    sys.stderr.flush()


class ChannelHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def version_string(self):
        return "DovaDemoChannel/1.0"

    def do_GET(self):
        self.answer(with_body=True)

    def do_HEAD(self):
        self.answer(with_body=False)

    def answer(self, with_body):
        path = self.path
        # Proxy form: an absolute URI names this server; keep only its path.
        match = re.match(r"^[hH][tT][tT][pP]://[^/]*(/.*)?$", path)
        if match:
            path = match.group(1) or "/"
        path = path.split("?", 1)[0]
        config = self.server.config
        if path in PAGES:
            today = config.date or datetime.date.today()
            url = "http://%s/%s/%s.jpg" % (config.public_host, PAGES[path], today.isoformat())
            self.send(200, "text/plain", (url + "\r\n").encode("ascii"), with_body)
            return
        picture = PICTURE_PATH.match(path)
        if picture:
            try:
                date = datetime.date.fromisoformat(picture.group(2))
            except ValueError:
                date = None
            data = config.maker.picture(picture.group(1), date) if date else None
            if data is not None:
                self.send(200, "image/jpeg", data, with_body)
                return
            if date is not None:
                self.send(503, "text/plain", b"The picture cannot be drawn.\r\n", with_body)
                return
        self.send(404, "text/html",
                  b"<html><body><h1>404 Not Found</h1></body></html>\r\n", with_body)

    def send(self, code, content_type, body, with_body):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if with_body:
            self.wfile.write(body)

    def log_message(self, format, *args):
        log("%s %s" % (self.address_string(), format % args))


class Config:
    def __init__(self, public_host, date, maker):
        self.public_host = public_host
        self.date = date
        self.maker = maker


def main():
    parser = argparse.ArgumentParser(description="Demo picture-of-the-day channel for Dova.")
    parser.add_argument("--address", default="127.0.77.1",
                        help="loopback address to serve on (default 127.0.77.1)")
    parser.add_argument("--port", type=int, default=80,
                        help="port (default 80; the program itself only connects to port 80)")
    parser.add_argument("--cache-dir",
                        default=os.path.join(tempfile.gettempdir(), "dova-demo-channel"),
                        help="where drawn pictures are kept")
    parser.add_argument("--date", type=datetime.date.fromisoformat,
                        help="serve this date (yyyy-mm-dd) instead of today's")
    parser.add_argument("address_argument", nargs="?", help="the address, as a plain argument")
    options = parser.parse_args()
    address = options.address_argument or options.address
    public_host = address if options.port == 80 else "%s:%d" % (address, options.port)

    maker = PictureMaker(options.cache_dir)
    if maker.convert is None:
        log("warning: ImageMagick's convert is missing; pictures will answer 503")
    http.server.ThreadingHTTPServer.allow_reuse_address = True
    server = http.server.ThreadingHTTPServer((address, options.port), ChannelHandler)
    server.daemon_threads = True
    server.config = Config(public_host, options.date, maker)
    log("serving http://%s/potd and http://%s/potd2 (pictures cached in %s)"
        % (public_host, public_host, options.cache_dir))
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()

"""Several monitors under Wine: a stand-in libXinerama (tests/e2e/xinerama_heads.c) tells
Wine's X11 driver, with XRandR off, of the heads the test chooses, on an Xvfb screen the size of
their union. Wine then lists them as monitors, negative origins included, and the program writes
one bitmap of the whole desktop, which Wine tiles from the virtual screen's top-left corner."""
import os
import subprocess
import time
import unittest

from release_e2e import rgb_pixels
from wine_session import (ROOT, Display, Program, Wine, screenshot, wait_until,
                          windows_path)

LIBRARY_DIR = os.path.join(ROOT, "build", "e2e-xinerama")
PREFIX = os.path.join(ROOT, "build", "wineprefix-monitors")
GROUND = (0, 192, 0)
RED, BLUE, YELLOW = (224, 0, 0), (0, 0, 224), (224, 224, 0)

# The primary is Xinerama's first head: Wine puts its top-left corner at (0,0), so the second
# head, left of it on the X screen, lies at (-1280, 0) and is higher.
HEADS = "1280,0,1024,768;0,0,1280,1024"
UNION = (2304, 1024)
# Between two runs the second screen moves right of the primary and shrinks.
HEADS_LATER = "0,0,1024,768;1024,0,800,600"


def build_xinerama():
    os.makedirs(LIBRARY_DIR, exist_ok=True)
    subprocess.run(["gcc", "-shared", "-fPIC", "-O2", "-o",
                    os.path.join(LIBRARY_DIR, "libXinerama.so.1"),
                    os.path.join(ROOT, "tests", "e2e", "xinerama_heads.c")], check=True)


def solid_jpeg(path, width, height, rgb):
    subprocess.run(["convert", "-size", "%dx%d" % (width, height),
                    "xc:rgb(%d,%d,%d)" % rgb, "-quality", "95", path], check=True)


class Monitors(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        build_xinerama()
        cls.display = Display(size="%dx%d" % UNION)
        saved = os.environ.get("DOVA_E2E_PREFIX")
        os.environ["DOVA_E2E_PREFIX"] = PREFIX
        try:
            cls.wine = Wine(cls.display)
        finally:
            if saved is None:
                del os.environ["DOVA_E2E_PREFIX"]
            else:
                os.environ["DOVA_E2E_PREFIX"] = saved
        cls.wine.env["LD_LIBRARY_PATH"] = LIBRARY_DIR + ":" + os.environ.get("LD_LIBRARY_PATH", "")
        cls.wine.run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/t",
                     "REG_SZ", "/d", "N", "/f")

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.wine.env, check=False)
        cls.display.close()

    def use_heads(self, heads):
        # Wine reads the monitors when its processes start: end them all.
        self.wine.env["DOVA_XINERAMA_HEADS"] = heads
        subprocess.run(["wineserver", "-k"], env=self.wine.env, check=False)
        self.wine.wait_server()

    def setUp(self):
        self.use_heads(HEADS)
        self.program = Program(self.wine)
        for name in ("Wallpaper", "WallpaperStyle", "TileWallpaper", "StrechWallpaper"):
            self.wine.reg_delete(name)
        p = self.program
        self.red = os.path.join(p.dir, "red.jpg")
        self.blue = os.path.join(p.dir, "blue.jpg")
        solid_jpeg(self.red, 320, 240, RED)
        solid_jpeg(self.blue, 400, 300, BLUE)
        p.write_site("dova.lst", "320x240\t%s\r\n400x300\t%s\r\n"
                     % (windows_path(self.red), windows_path(self.blue)))

    def tearDown(self):
        self.program.cleanup()

    def change_once(self, monitors, resize="dova"):
        """Starts the program with the list's first picture due, lets it change, and ends it;
        the composed bitmap's (width, height, pixels)."""
        p = self.program
        p.write_site("dova.ini", "[Main]\nWorkType=offline\nResize=%s\nFitColor=#00C000\n"
                     "Monitors=%s\n[OffLine]\nSelecting=line\nCursorPosition=1\n"
                     % (resize, monitors))
        for name in ("Wallpaper", "WallpaperStyle", "TileWallpaper", "StrechWallpaper"):
            self.wine.reg_delete(name)
        p.start()
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper") is not None, 60))
        p.close()
        bitmap = self.wine.reg_value("Wallpaper")
        self.assertEqual(self.wine.reg_value("TileWallpaper"), "1")
        self.assertEqual(self.wine.reg_value("WallpaperStyle"), "0")
        self.assertEqual(self.wine.reg_value("StrechWallpaper"), "0")
        bitmaps = [n for n in os.listdir(p.site("")) if n.startswith("wallpaper")]
        self.assertEqual(len(bitmaps), 1, bitmaps)  # nothing left behind
        self.assertEqual(bitmap, windows_path(p.site(bitmaps[0])))
        return rgb_pixels(p.site(bitmaps[0]))

    def assert_area(self, picture, area, rgb, tolerance=6):
        """Every pixel of area (x, y, width, height) of the bitmap is `rgb`."""
        width, _, pixels = picture
        x0, y0, w, h = area
        wanted = bytes(rgb) * w
        for y in range(y0, y0 + h):
            row = pixels[(y * width + x0) * 3:(y * width + x0 + w) * 3]
            if row != wanted:
                worst = max(abs(a - b) for a, b in zip(row, wanted))
                self.assertLessEqual(worst, tolerance, "row %d of %s" % (y, area))

    def test_each_same_and_span_compose_the_whole_desktop(self):
        # A picture for each screen: the primary takes the list's next picture, the screen
        # left of it the one after; the corner below the primary is a gap.
        each = self.change_once("each")
        self.assertEqual(each[:2], UNION)
        self.assert_area(each, (1280, 0, 1024, 768), RED)
        self.assert_area(each, (0, 0, 1280, 1024), BLUE)
        self.assert_area(each, (1280, 768, 1024, 256), GROUND)

        # The desktop as Wine shows it, on a virtual desktop the size of the union.
        # The program runs there hidden in the tray, changing nothing, to keep the desktop open.
        p = self.program
        p.write_site("dova.ini", "[Main]\nWorkType=offline\nInTray=1\n[OffLine]\nOnLoad=0\n")
        desktop = subprocess.Popen(
            ["/usr/lib/wine/wine64", "explorer", "/desktop=Dova,%dx%d" % UNION,
             os.path.join(p.dir, "Dova.exe"), "minimized"], cwd=p.dir, env=self.wine.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        def painted():
            width, _, pixels = rgb_pixels(screenshot(self.display, "monitors-composed-desktop"))
            at = ((300 * width) + 1780) * 3
            return abs(pixels[at] - RED[0]) < 12 and pixels[at + 2] < 12

        # The virtual desktop takes a while to come up on a busy machine.
        wait_until(painted, 90, step=2)
        shot = screenshot(self.display, "monitors-composed-desktop")
        subprocess.run(["wineserver", "-k"], env=self.wine.env, check=False)
        desktop.wait(timeout=60)
        self.wine.wait_server()
        shown = rgb_pixels(shot)
        self.assertEqual(shown[:2], UNION)
        self.assert_area(shown, (1280 + 100, 100, 800, 500), RED, tolerance=12)
        self.assert_area(shown, (100, 100, 1000, 800), BLUE, tolerance=12)

        # The same picture on every screen, each at its own size.
        same = self.change_once("same")
        self.assert_area(same, (1280, 0, 1024, 768), RED)
        self.assert_area(same, (0, 0, 1280, 1024), RED)
        self.assert_area(same, (1280, 768, 1024, 256), GROUND)

        # One picture across both: a picture the union's size, left half blue, right half
        # yellow, lands unscaled.
        across = os.path.join(self.program.dir, "across.png")
        subprocess.run(["convert", "-size", "1152x1024", "xc:rgb(0,0,224)", "-size", "1152x1024",
                        "xc:rgb(224,224,0)", "+append", across], check=True)
        self.program.write_site("dova.lst", "2304x1024\t%s\r\n" % windows_path(across))
        span = self.change_once("span")
        self.assertEqual(span[:2], UNION)
        self.assert_area(span, (0, 0, 1152, 1024), BLUE, tolerance=0)
        self.assert_area(span, (1152, 0, 1152, 1024), YELLOW, tolerance=0)

    def test_a_new_layout_between_two_runs_gives_a_bitmap_of_the_new_desktop(self):
        self.change_once("each")
        self.use_heads(HEADS_LATER)
        later = self.change_once("each")
        self.assertEqual(later[:2], (1824, 768))
        self.assert_area(later, (0, 0, 1024, 768), RED)
        self.assert_area(later, (1024, 0, 800, 600), BLUE)
        self.assert_area(later, (1024, 600, 800, 168), GROUND)

    def test_the_options_page_shows_the_screens_choice_in_both_languages(self):
        p = self.program
        for language, name in (("English", "en"), ("Russian", "ru")):
            p.write_site("dova.ini", "[Main]\nInTray=0\nSection=2\nLanguage=%s\nMonitors=each\n"
                         "[OnLine]\nOnLoad=0\n" % language)
            p.start()
            self.assertTrue(wait_until(p.visible, 10))
            time.sleep(1.0)
            screenshot(self.display, "monitors-options-%s" % name)
            p.close()
            with open(p.site("dova.ini"), "rb") as f:
                self.assertIn(b"Monitors=each", f.read())

"""End-to-end tests of what other changers offer: Fill and Fit that keep a picture's
proportions, PNG pictures with transparency, and "Previous picture", driven as a user would
under Wine. The bitmaps the program writes are also saved as PNG screenshots to look at."""
import os
import subprocess
import time

from e2e_base import ProgramTest, read_ini
from wine_session import (SCREENSHOTS, bmp_info, screenshot, wait_until, windows_path,
                          xdotool)

FIT_COLOUR = (0x20, 0x40, 0xA0)


def bmp_pixel(path, x, y):
    """The (red, green, blue) of pixel x, y (from the top) of a 24-bit bottom-up BMP file."""
    width, height, bits = bmp_info(path)
    assert bits == 24, path
    stride = (width * 3 + 3) & ~3
    with open(path, "rb") as f:
        data = f.read()
    offset = int.from_bytes(data[10:14], "little") + (height - 1 - y) * stride + 3 * x
    b, g, r = data[offset:offset + 3]
    return r, g, b


def near(colour, wanted, slack=6):
    return all(abs(a - b) <= slack for a, b in zip(colour, wanted))


def save_as_png(bitmap, name):
    os.makedirs(SCREENSHOTS, exist_ok=True)
    subprocess.run(["convert", bitmap, os.path.join(SCREENSHOTS, name + ".png")], check=True)


class Placements(ProgramTest):
    def current_bitmap(self):
        path = self.wine.reg_value("Wallpaper")
        name = path.rsplit("\\", 1)[-1]
        return self.program.site(name)

    def test_fill_fit_a_transparent_png_and_back_to_the_previous_picture(self):
        p = self.program
        # A 16:9 picture whose outer 150 columns on either side are red: Fill cuts them away,
        # Fit shows them between two bands of the fit colour.
        wide = os.path.join(p.dir, "wide.jpg")
        subprocess.run(["convert", "-size", "1600x900", "gradient:white-skyblue", "-fill", "red",
                        "-draw", "rectangle 0,0 149,899", "-draw", "rectangle 1450,0 1599,899",
                        "-quality", "92", wide], check=True)
        # A PNG with a half-transparent red disc on a transparent ground, named as a JPEG:
        # the content decides.
        disc = os.path.join(p.dir, "disc.jpg")
        subprocess.run(["convert", "-size", "600x300", "xc:none", "-fill", "rgba(255,0,0,0.6)",
                        "-draw", "circle 300,150 300,20", "PNG32:" + disc], check=True)
        p.write_site("dova.lst", "1600x900\t%s\n600x300\t%s\n" % (windows_path(wide),
                                                                 windows_path(disc)))
        settings = ("[Main]\nInTray=0\nWorkType=offline\nSection=%d\nResize=dova\n"
                    "Proportions=%s\nFitColor=#2040A0\nFilter=5\n[OffLine]\nOnLoad=1\n"
                    "Selecting=line\nCursorPosition=%d\n")

        # Fill: the 16:9 picture covers the 4:3 screen; the red sides are cut off.
        p.write_site("dova.ini", settings % (1, "fill", 1))
        self.start_until_changed()
        p.close()
        bitmap = self.current_bitmap()
        self.assertEqual(bmp_info(bitmap), (1024, 768, 24))
        for x, y in ((0, 384), (1023, 384), (512, 0)):
            self.assertFalse(near(bmp_pixel(bitmap, x, y), (255, 0, 0), 60), (x, y))
        save_as_png(bitmap, "placement-fill")

        # Fit: the transparent PNG, the screen's width, bands of the fit colour above and below.
        p.write_site("dova.ini", read_ini_text(p, "Proportions", "fit", "CursorPosition", "0"))
        p.start()
        self.assertTrue(wait_until(p.visible, 15))
        time.sleep(1)
        screenshot(self.display, "placement-list-with-png")
        bitmap = self.current_bitmap()
        self.assertEqual(bmp_info(bitmap), (1024, 768, 24))
        self.assertEqual(bmp_pixel(bitmap, 512, 60), FIT_COLOUR)     # the band above
        self.assertEqual(bmp_pixel(bitmap, 10, 384), FIT_COLOUR)     # transparent ground
        # The disc: 60 % red over the fit colour.
        self.assertTrue(near(bmp_pixel(bitmap, 512, 384), (166, 26, 64)),
                        bmp_pixel(bitmap, 512, 384))
        save_as_png(bitmap, "placement-fit-png")
        ini = read_ini(p.read_site("dova.ini"))
        rows = p.read_site("dova.lst").splitlines()
        self.assertTrue(rows[1].startswith("600x300\t"), rows)

        # Ctrl+Z on the list page puts the 16:9 picture back, now fitted: red sides between
        # two bands.
        xdotool(self.display, "key", "ctrl+z")
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper").endswith(
            os.path.basename(bitmap)) is False, 20))
        time.sleep(0.5)
        bitmap = self.current_bitmap()
        self.assertEqual(bmp_pixel(bitmap, 512, 60), FIT_COLOUR)
        self.assertTrue(near(bmp_pixel(bitmap, 2, 384), (255, 0, 0), 40), bmp_pixel(bitmap, 2, 384))
        self.assertTrue(near(bmp_pixel(bitmap, 1021, 384), (255, 0, 0), 40))
        save_as_png(bitmap, "placement-fit-previous")
        p.close()
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["Main"]["Recent1"], windows_path(wide))
        self.assertEqual(ini["Main"]["Recent2"], "")

    def test_the_options_page_shows_fill_fit_and_the_colour(self):
        p = self.program
        for language in ("English", "Russian"):
            p.write_site("dova.ini", "[Main]\nInTray=0\nSection=2\nLanguage=%s\nResize=dova\n"
                         "Proportions=fit\nFitColor=#2040A0\n[OnLine]\nOnLoad=0\n" % language)
            p.start()
            self.assertTrue(wait_until(p.visible, 15))
            time.sleep(1)
            screenshot(self.display, "placement-options-%s" % language)
            p.close()


def read_ini_text(program, *pairs):
    """dova.ini as the program left it, with some keys changed, as a user edits the file."""
    text = program.read_site("dova.ini")
    lines = text.replace("\r\n", "\n").split("\n")
    changes = dict(zip(pairs[::2], pairs[1::2]))
    return "\n".join(
        "%s=%s" % (line.split("=", 1)[0], changes[line.split("=", 1)[0]])
        if "=" in line and line.split("=", 1)[0] in changes else line for line in lines)

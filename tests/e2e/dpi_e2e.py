"""The window at 144 DPI (150 %): Wine tells a DPI-aware program the prefix's LogPixels, so the
window must lay its designed 96 DPI form out half as large again, with larger fonts, and the
wallpaper must still be the screen's full size."""
import os
import subprocess
import time

from e2e_base import ProgramTest
from wine_session import bmp_info, make_jpeg, screenshot, wait_until, windows_path

DESIGN_CLIENT = (471, 296)


class HighDpi(ProgramTest):
    def set_dpi(self, dpi):
        for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
            self.wine.run("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                          str(dpi), "/f")
        # Wine reads the DPI when its processes start: end them all.
        subprocess.run(["wineserver", "-k"], env=self.wine.env, check=False)
        self.wine.wait_server()

    def setUp(self):
        super().setUp()
        self.set_dpi(144)

    def tearDown(self):
        super().tearDown()
        self.set_dpi(96)

    def widest_label(self):
        """The window is shown a moment before its labels have their texts: waited for."""
        widths = []

        def measured():
            code, text = self.wine.driver("label")
            widths.append(int(text) if code == 0 else 0)
            return widths[-1] > 0
        self.assertTrue(wait_until(measured, 10), "no label with a text")
        return widths[-1]

    def test_the_window_and_its_fonts_scale_and_every_page_shows_whole(self):
        p = self.program
        for page in range(4):
            p.write_site("dova.ini", "[Main]\nInTray=0\nSection=%d\n[OnLine]\nOnLoad=0\n" % page)
            p.start()
            self.assertTrue(wait_until(p.visible, 10))
            if page == 0:
                code, text = self.wine.driver("client")
                self.assertEqual(code, 0)
                width, height = (int(n) for n in text.split())
                self.assertAlmostEqual(width / DESIGN_CLIENT[0], 1.5, delta=0.05)
                self.assertAlmostEqual(height / DESIGN_CLIENT[1], 1.5, delta=0.05)
                label_at_144 = self.widest_label()
            time.sleep(1.0)
            screenshot(self.display, "dpi144-page%d" % page)
            p.close()
        # The same label at 96 DPI: its text, in the larger font, is about half as wide again.
        self.set_dpi(96)
        p.write_site("dova.ini", "[Main]\nInTray=0\nSection=0\n[OnLine]\nOnLoad=0\n")
        p.start()
        self.assertTrue(wait_until(p.visible, 10))
        label_at_96 = self.widest_label()
        p.close()
        self.assertAlmostEqual(label_at_144 / label_at_96, 1.5, delta=0.15)

    def test_the_wallpaper_is_the_screens_full_size(self):
        p = self.program
        picture = os.path.join(p.dir, "photo.jpg")
        make_jpeg(picture, 800, 600)
        p.write_site("dova.lst", "800x600\t%s\n" % windows_path(picture))
        p.write_site("dova.ini", "[Main]\nWorkType=offline\nResize=dova\n[OffLine]\n"
                     "Selecting=line\nCursorPosition=0\n")
        self.start_until_changed()
        p.close()
        bitmaps = [n for n in ("wallpaper1.bmp", "wallpaper2.bmp") if os.path.exists(p.site(n))]
        self.assertEqual(len(bitmaps), 1)
        self.assertEqual(bmp_info(p.site(bitmaps[0])), (1024, 768, 24))

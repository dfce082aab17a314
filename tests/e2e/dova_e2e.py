"""End-to-end tests: the real Dova.exe under Wine on a virtual 1024x768 display.

Run through tests/e2e/run.sh after the Windows build. Screenshots go to build/e2e-screenshots.
"""
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from e2e_base import PHRASES, ProgramTest, Session, read_ini  # noqa: E402
from wine_session import (Display, Wine, bmp_info, make_jpeg, screenshot,  # noqa: E402
                          wait_until, windows_path, xdotool)
from online_e2e import DailyUpdate, PeriodChange  # noqa: E402,F401
from names_e2e import AnyFileName, LanguageFiles  # noqa: E402,F401
from startup_e2e import StartWithWindows  # noqa: E402,F401
from window_e2e import Keyboard, ListEditing, TrayIcon  # noqa: E402,F401
from dpi_e2e import HighDpi  # noqa: E402,F401
from placement_e2e import Placements  # noqa: E402,F401
from monitors_e2e import Monitors  # noqa: E402,F401

class StartAndSave(ProgramTest):
    def test_only_worktype_offline_starts_from_list_and_exit_writes_every_key(self):
        p = self.program
        p.write_site("dova.ini", "[Main]\nWorkType=offline\n")
        t0 = time.time()
        p.start()
        started = time.time() - t0
        self.assertFalse(p.visible())  # start minimized is on by default
        self.assertTrue(p.close())
        ini = read_ini(p.read_site("dova.ini"))
        expected = {
            "Main": {"Section": "0", "Resize": "windows", "CurrentWallpaper": "",
                     "Language": "English", "Filter": "6", "WorkType": "offline", "InTray": "1"},
            "OnLine": {"UseProxy": "1", "UseProxyPassword": "1", "LimitSpeed": "1",
                       "ProxyServer": "", "ProxyPort": "", "ProxyLogin": "", "ProxyPassword": "",
                       "MaximumDowloadFileSize": "12", "MaximumDowloadSpeed": "4", "OnLoad": "1",
                       "OnTime": "1", "Hours": "13", "Minutes": "0"},
            "OffLine": {"CursorPosition": "0", "OnLoad": "1", "Selecting": "random",
                        "Changing": "period", "Hours": "13", "Minutes": "0", "inaHours": "0",
                        "inaMinutes": "20", "PreviousSetWallpaper": "0"},
        }
        for section, keys in expected.items():
            for key, value in keys.items():
                self.assertEqual(ini[section][key], value, "%s %s" % (section, key))
        self.assertIn("Path", ini["OffLine"])
        # The settings replace dova.ini whole, through a copy that does not stay behind.
        self.assertEqual([n for n in os.listdir(os.path.dirname(p.site("dova.ini")))
                          if n.endswith((".new", ".tmp"))], [])
        log = self.log()
        self.assertIn("NOTICE " + PHRASES["start"], log)
        self.assertIn("%s - 1024x768 (%s - 1.33 )" % (PHRASES["resolution"],
                                                        PHRASES["widthandheight"]), log)
        self.assertIn(PHRASES["language"] + " " + windows_path(p.dir) + "\\Languages\\English",
                      log)
        self.assertTrue(log.rstrip().endswith("NOTICE " + PHRASES["finish"]))
        self.assertIn("\r\n", log)
        first = log
        p.start()
        p.close()
        self.assertEqual(p.read_site("dova.log~", encoding="utf-8-sig"), first)
        print("\n  start to window: %.2f s (Wine process start included)" % started)

    def test_minimized_word_keeps_window_hidden_other_words_let_it_show(self):
        p = self.program
        p.write_site("dova.ini", "[Main]\nInTray=0\n[OnLine]\nOnLoad=0\n")
        p.start("minimized")
        self.assertFalse(p.visible())
        p.close()
        p.start("Minimized")
        self.assertTrue(wait_until(p.visible, 10))
        p.close()
        p.start()
        self.assertTrue(wait_until(p.visible, 10))
        screenshot(self.display, "window-shown")
        p.close()


class Pages(ProgramTest):
    def test_screenshot_every_page_in_english_and_russian(self):
        p = self.program
        for language in ("English", "Russian"):
            for page in range(4):
                p.write_site("dova.ini", "[Main]\nInTray=0\nSection=%d\nLanguage=%s\n"
                             "[OnLine]\nOnLoad=0\n" % (page, language))
                p.start()
                self.assertTrue(wait_until(p.visible, 10))
                time.sleep(1.0)
                screenshot(self.display, "page%d-%s" % (page, language))
                p.close()
                self.assertEqual(read_ini(p.read_site("dova.ini"))["Main"]["Section"], str(page))


class Installation(ProgramTest):
    def list_with(self, *pictures):
        lines = []
        for path, size in pictures:
            lines.append("%s\t%s" % (size, windows_path(path)))
        self.program.write_site("dova.lst", "\n".join(lines) + "\n")

    def test_resize_modes_write_the_right_bitmap_and_registry_values(self):
        p = self.program
        picture = os.path.join(p.dir, "photo.jpg")
        make_jpeg(picture, 800, 600)
        self.list_with((picture, "800x600"))
        # WallpaperStyle and TileWallpaper are what Windows reads: centred for "none", stretched
        # otherwise; StrechWallpaper stays for earlier versions.
        for resize, size, stretch, style in (("dova", (1024, 768), "0", "2"),
                                             ("windows", (800, 600), "0", "2"),
                                             ("none", (800, 600), "1", "0")):
            p.write_site("dova.ini", "[Main]\nWorkType=offline\nResize=%s\n[OffLine]\n"
                         "Selecting=line\nCursorPosition=0\n" % resize)
            self.start_until_changed()
            p.close()
            bitmaps = [n for n in ("wallpaper1.bmp", "wallpaper2.bmp")
                       if os.path.exists(p.site(n))]
            self.assertEqual(len(bitmaps), 1, resize)  # the other bitmap is gone
            self.assertEqual(bmp_info(p.site(bitmaps[0])), size + (24,), resize)
            self.assertEqual(self.wine.reg_value("Wallpaper"),
                             windows_path(p.dir) + "\\Sites\\" + bitmaps[0])
            self.assertEqual(self.wine.reg_value("StrechWallpaper"), stretch)
            self.assertEqual(self.wine.reg_value("WallpaperStyle"), style, resize)
            self.assertEqual(self.wine.reg_value("TileWallpaper"), "0", resize)

    def test_corrupt_picture_and_bomb_show_an_error_and_keep_the_wallpaper(self):
        p = self.program
        good = os.path.join(p.dir, "good.jpg")
        make_jpeg(good, 640, 480)
        corrupt = os.path.join(p.dir, "corrupt.jpg")
        with open(good, "rb") as f:
            data = bytearray(f.read())
        data[len(data) // 3:len(data) // 3 + 400] = b"\x00" * 400
        data[2:20] = b"\xff\xc0\x00\x11\x08\x00\x00\x00\x00\x03\x01\x22\x00\x02\x11\x01\x03\x11"
        with open(corrupt, "wb") as f:
            f.write(bytes(data))
        bomb = os.path.join(p.dir, "bomb.jpg")
        with open(bomb, "wb") as f:  # a header that claims 60000 x 60000 pixels
            f.write(bytes.fromhex("ffd8ffc0001108ea60ea6003012200021101031101ffda000c03010002"
                                  "110311003f00") + b"\x00" * 64 + bytes.fromhex("ffd9"))
        self.list_with((good, "640x480"), (corrupt, "640x480"), (bomb, "60000x60000"))
        p.write_site("dova.ini", "[Main]\nWorkType=offline\n[OffLine]\nSelecting=line\n"
                     "CursorPosition=2\nOnLoad=1\n")
        self.start_until_changed()
        p.close()
        self.assertTrue(os.path.exists(p.site("wallpaper1.bmp")))
        current = self.wine.reg_value("Wallpaper")
        for row in (1, 2):
            p.write_site("dova.ini", "[Main]\nWorkType=offline\n[OffLine]\nSelecting=line\n"
                         "CursorPosition=%d\nOnLoad=1\n" % (row - 1))
            p.start(wait=False)
            # The error box comes up during the start-up change; the program keeps running.
            self.assertTrue(wait_until(lambda: xdotool(self.display, "search", "--name",
                                                       "Dova Wallpaper Changer") != "", 30))
            time.sleep(2)
            screenshot(self.display, "error-box-row%d" % row)
            xdotool(self.display, "key", "Return")
            self.assertEqual(self.wine.driver("wait", "30")[0], 0)
            p.close()
            self.assertEqual(self.wine.reg_value("Wallpaper"), current)
            self.assertTrue(os.path.exists(p.site("wallpaper1.bmp")))


    def test_a_missing_list_picture_is_reported_and_the_wallpaper_stays(self):
        p = self.program
        good = os.path.join(p.dir, "good.jpg")
        make_jpeg(good, 320, 240)
        gone = os.path.join(p.dir, "gone.jpg")
        self.list_with((good, "320x240"), (gone, "320x240"))
        for cursor in (1, 0):  # the first start installs row 0, the second tries row 1
            p.write_site("dova.ini", "[Main]\nWorkType=offline\n[OffLine]\nSelecting=line\n"
                         "CursorPosition=%d\nOnLoad=1\n" % cursor)
            if cursor == 1:
                self.start_until_changed()
            else:
                p.start()
                self.assertTrue(wait_until(lambda: PHRASES["notfound1"] in self.log(), 60))
            p.close()
        self.assertEqual(self.wine.reg_value("Wallpaper"), windows_path(p.site("wallpaper1.bmp")))
        self.assertTrue(os.path.exists(p.site("wallpaper1.bmp")))
        self.assertFalse(os.path.exists(p.site("wallpaper2.bmp")))
        self.assertIn("NOTICE %s %s %s" % (PHRASES["notfound1"], windows_path(gone),
                                           PHRASES["notfound2"]), self.log())


class PictureList(ProgramTest):
    def test_in_order_start_up_change_alternates_the_bitmaps(self):
        p = self.program
        pictures = []
        for i, colour in enumerate(("red", "green", "blue")):
            path = os.path.join(p.dir, "pic%d.jpg" % i)
            make_jpeg(path, 320, 240, colour)
            pictures.append(path)
        p.write_site("dova.lst", "".join("320x240\t%s\n" % windows_path(x) for x in pictures))
        p.write_site("dova.ini", "[Main]\nWorkType=offline\n[OffLine]\nOnLoad=1\n"
                     "Selecting=line\nCursorPosition=1\n")
        self.start_until_changed()
        p.close()
        self.assertTrue(os.path.exists(p.site("wallpaper1.bmp")))
        self.assertEqual(self.wine.reg_value("Wallpaper"), windows_path(p.site("wallpaper1.bmp")))
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["OffLine"]["CursorPosition"], "2")
        self.assertEqual(ini["Main"]["CurrentWallpaper"], windows_path(pictures[2]))
        self.start_until_changed()
        p.close()
        self.assertTrue(os.path.exists(p.site("wallpaper2.bmp")))
        self.assertFalse(os.path.exists(p.site("wallpaper1.bmp")))
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["Main"]["CurrentWallpaper"], windows_path(pictures[0]))
        self.assertEqual(p.read_site("dova.lst"),
                         "".join("320x240\t%s\r\n" % windows_path(x) for x in pictures))


def shard_of_every_test():
    """Every test class of the run, or with DOVA_E2E_SHARD=k/n only the k-th of n shards: the
    classes in name order, dealt out in turn, so that shards take about equal shares."""
    k, n = (int(x) for x in os.environ.get("DOVA_E2E_SHARD", "1/1").split("/"))
    classes = sorted((c for c in vars(sys.modules[__name__]).values()
                      if isinstance(c, type) and issubclass(c, unittest.TestCase)),
                     key=lambda c: c.__name__)
    loader = unittest.TestLoader()
    return unittest.TestSuite(loader.loadTestsFromTestCase(c)
                              for i, c in enumerate(classes) if i % n == k - 1)


def main():
    Session.display = Display()
    ok = False
    try:
        Session.wine = Wine(Session.display)
        if len(sys.argv) > 1:
            program = unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[1:], exit=False)
            ok = program.result.wasSuccessful()
        else:
            result = unittest.TextTestRunner(verbosity=2).run(shard_of_every_test())
            ok = result.wasSuccessful()
    finally:
        subprocess.run(["wineserver", "-k"], env=Session.wine.env if Session.wine else None,
                       check=False)
        Session.display.close()
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()

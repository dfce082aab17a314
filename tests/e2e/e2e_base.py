"""What every end-to-end test shares: the display and Wine prefix of the run, the English
phrases, a settings reader, and a test case that gives each test a fresh copy of the program."""
import configparser
import os
import subprocess
import sys
import unittest

from wine_session import ROOT, Display, Program, wait_until


class Session:
    """The virtual display and the Wine prefix, set up once by the runner."""
    display = None
    wine = None

    @classmethod
    def ensure_display(cls):
        """A display that ended under a test is told of and started anew, with Wine, so that
        one test's loss does not fail every test after it."""
        if cls.display.alive():
            return
        sys.stderr.write("\nXvfb %s ended (exit %s); its messages are in %s\n"
                         % (cls.display.name, cls.display.process.returncode,
                            cls.display.log.name))
        subprocess.run(["wineserver", "-k"], env=cls.wine.env, check=False)
        cls.display.close()
        cls.display = Display(cls.display.size)
        cls.wine.env["DISPLAY"] = cls.display.name


def english_phrases():
    parser = configparser.RawConfigParser(strict=False, interpolation=None)
    parser.optionxform = str
    parser.read(os.path.join(ROOT, "Languages", "English.ini"), encoding="latin-1")
    # As the private-profile reader does: one pair of surrounding quotes is dropped.
    return {key: value[1:-1] if len(value) >= 2 and value[0] == value[-1] == '"' else value
            for key, value in parser["Phrases"].items()}


PHRASES = english_phrases()


def read_ini(text):
    parser = configparser.RawConfigParser(strict=False, interpolation=None)
    parser.optionxform = str
    parser.read_string(text)
    return parser


class ProgramTest(unittest.TestCase):
    def setUp(self):
        Session.ensure_display()
        self.wine = Session.wine
        self.display = Session.display
        self.program = Program(self.wine)
        self.wine.reg_delete("Wallpaper")
        for name in ("StrechWallpaper", "WallpaperStyle", "TileWallpaper"):
            self.wine.reg_delete(name)

    def tearDown(self):
        self.program.cleanup()

    def start_until_changed(self, *args):
        """Starts the program and waits until its start-up change has reached the desktop:
        closing the window while a picture is converted stops the conversion, as it does for a
        user who closes the window then."""
        self.wine.reg_delete("Wallpaper")
        self.program.start(*args)
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper") is not None, 60),
                        "the start-up change set no wallpaper")

    def log(self):
        # The journal is UTF-8 with a byte order mark.
        return self.program.read_site("dova.log", encoding="utf-8-sig")

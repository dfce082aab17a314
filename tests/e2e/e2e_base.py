"""What every end-to-end test shares: the display and Wine prefix of the run, the English
phrases, a settings reader, and a test case that gives each test a fresh copy of the program."""
import configparser
import os
import unittest

from wine_session import ROOT, Program


class Session:
    """The virtual display and the Wine prefix, set up once by the runner."""
    display = None
    wine = None


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
        self.wine = Session.wine
        self.display = Session.display
        self.program = Program(self.wine)
        self.wine.reg_delete("Wallpaper")
        for name in ("StrechWallpaper", "WallpaperStyle", "TileWallpaper"):
            self.wine.reg_delete(name)

    def tearDown(self):
        self.program.cleanup()

    def log(self):
        # The journal is UTF-8 with a byte order mark.
        return self.program.read_site("dova.log", encoding="utf-8-sig")

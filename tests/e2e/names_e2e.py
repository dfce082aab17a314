"""End-to-end tests of names and texts beyond the system's code page: a picture named in Chinese
letters and an emoji in a folder named in Cyrillic, on a Western system; language files in the
code pages of their languages, on a Western and on a Russian system."""
import os
import time

from e2e_base import PHRASES, ProgramTest, read_ini
from wine_session import (RUSSIAN, WESTERN, bmp_info, make_jpeg, screenshot, wait_until,
                          windows_path, xdotool)
from window_e2e import FIRST_ROW, ListEditing, WindowTest

FOLDER = "Картинки"
PICTURE = "山水画😀.jpg"
BOM = b"\xef\xbb\xbf"


def read_stored(data):
    """dova.ini and dova.lst: UTF-8 after a byte order mark, Windows-1252 (the test system's
    ANSI code page) otherwise."""
    return data[3:].decode("utf-8") if data.startswith(BOM) else data.decode("cp1252")


class StoredFilesTest(WindowTest):
    def program_bytes(self, name):
        with open(self.program.site(name), "rb") as f:
            return f.read()


class AnyFileName(StoredFilesTest):
    def test_a_picture_named_beyond_the_code_page_added_installed_and_kept(self):
        p = self.program
        folder = os.path.join(p.dir, FOLDER)
        os.makedirs(folder)
        picture = os.path.join(folder, PICTURE)
        make_jpeg(picture, 1024, 768, "orange")  # the screen's shape: a white row
        # The settings name the folder, so they are UTF-8 with their mark, as the program writes
        # them when a text does not fit the code page.
        p.write_site("dova.ini", "\ufeff[Main]\nInTray=0\nSection=1\nWorkType=offline\n"
                     "[OnLine]\nOnLoad=0\n[OffLine]\nOnLoad=0\nPath=%s\n" % windows_path(folder),
                     encoding="utf-8")
        p.start(locale=WESTERN)
        self.assertTrue(wait_until(p.visible, 15))
        time.sleep(1)

        # The folder picker opens on the remembered folder: OK takes its picture.
        before = self.open_window(click=ListEditing.ADD_DIRECTORY)
        screenshot(self.display, "unicode-folder-dialog")
        self.key("Return")
        self.wait_closed(before)

        # The file dialog opens there too: the picture is chosen in its list of files.
        before = self.open_window(click=ListEditing.ADD_FILES)
        self.key("shift+Tab", "Home", "space")
        time.sleep(0.5)
        screenshot(self.display, "unicode-file-dialog")
        self.key("Return")
        self.wait_closed(before)
        time.sleep(1)

        # Installed from the list: the first row, then Enter.
        self.click(*FIRST_ROW)
        self.key("Return")
        self.assertTrue(wait_until(lambda: os.path.exists(p.site("wallpaper1.bmp")), 30))
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper") ==
                                   windows_path(p.site("wallpaper1.bmp")), 20))
        self.assertEqual(bmp_info(p.site("wallpaper1.bmp")), (1024, 768, 24))
        time.sleep(1)
        screenshot(self.display, "unicode-list")
        p.close()

        expected = windows_path(picture)
        listed = self.program_bytes("dova.lst")
        self.assertTrue(listed.startswith(BOM), listed[:20])
        self.assertEqual(read_stored(listed), "1024x768\t%s\r\n1024x768\t%s\r\n" % (expected,
                                                                                  expected))
        settings = self.program_bytes("dova.ini")
        ini = read_ini(read_stored(settings))
        self.assertEqual(ini["Main"]["CurrentWallpaper"], expected)
        self.assertEqual(ini["OffLine"]["Path"].lower(), windows_path(folder).lower())
        log = self.program_bytes("dova.log")
        self.assertTrue(log.startswith(BOM))
        self.assertIn("NOTICE %s %s" % (PHRASES["convertingimage"], expected),
                      log.decode("utf-8"))

        # A start and an exit write the same bytes again.
        p.start(locale=WESTERN)
        p.close()
        self.assertEqual(self.program_bytes("dova.lst"), listed)
        self.assertEqual(read_ini(read_stored(self.program_bytes("dova.ini")))["Main"]
                         ["CurrentWallpaper"], expected)

    def test_files_of_earlier_versions_load_and_are_written_as_they_were(self):
        p = self.program
        picture = os.path.join(p.dir, "Größe.jpg")
        make_jpeg(picture, 640, 480)
        listed = ("640x480\t%s\r\n" % windows_path(picture)).encode("cp1252")
        p.write_site("dova.lst", listed, encoding="cp1252")
        p.write_site("dova.ini", "[Main]\nInTray=1\nWorkType=offline\nLanguage=English\n"
                     "[OnLine]\nOnLoad=0\nProxyLogin=Jürgen\n[OffLine]\nOnLoad=1\n"
                     "Selecting=line\nCursorPosition=0\n", encoding="cp1252")
        p.start(locale=WESTERN)
        self.assertTrue(wait_until(lambda: os.path.exists(p.site("wallpaper1.bmp")), 30))
        p.close()
        self.assertEqual(self.program_bytes("dova.lst"), listed)
        settings = self.program_bytes("dova.ini")
        self.assertFalse(settings.startswith(BOM))
        ini = read_ini(settings.decode("cp1252"))
        self.assertEqual(ini["OnLine"]["ProxyLogin"], "Jürgen")
        self.assertEqual(ini["Main"]["CurrentWallpaper"], windows_path(picture))


# German phrases in Windows-1252, as a German translator's editor saves them.
GERMAN = """; Dova Wallpaper Changer - deutsche Texte (Windows-1252)
[Phrases]
pictureoftheday=Bild des Tages
fromlist=Aus der Liste
options=Einstellungen
connectionoptions=Verbindung
startinsystemtray=Minimiert im Infobereich starten
startwithwindows=Mit Windows starten
imagesize=Bildgröße
workingmode=Betriebsart
commonoptions=Allgemein
imagesize_windows=Größe von Windows anpassen lassen (empfohlen)
imagesize_dova=Größe vom Programm anpassen lassen
imagesize_disable=Größe nicht ändern
imagesize_filter=Filter verwenden:
language=Sprache
"""


class LanguageFiles(StoredFilesTest):
    def test_german_in_windows_1252_and_russian_show_right_on_both_systems(self):
        p = self.program
        with open(os.path.join(p.dir, "Languages", "German.ini"), "wb") as f:
            f.write(GERMAN.replace("\n", "\r\n").encode("cp1252"))
        wanted = {"German": [" Bildgröße ", "Größe nicht ändern", "Mit Windows starten"],
                  "Russian": [" Размер изображения ", "Запускаться вместе с Windows", "Язык:"]}
        for system, code_page in ((WESTERN, "cp1252"), (RUSSIAN, "cp1251")):
            for language, texts in wanted.items():
                # A Cyrillic login tells which code page the program ran with: it is written
                # back in Windows-1251 on the Russian system, as UTF-8 on the Western one.
                p.write_site("dova.ini", "\ufeff[Main]\nInTray=0\nSection=2\nLanguage=%s\n"
                             "[OnLine]\nOnLoad=0\nProxyLogin=Аня\n" % language, encoding="utf-8")
                p.start(locale=system)
                self.assertTrue(wait_until(p.visible, 15))
                time.sleep(1)
                shown = self.wine.driver_text("texts")[1].split("\n")
                for text in texts:
                    self.assertIn(text, shown, "%s on %s" % (language, code_page))
                screenshot(self.display, "options-%s-%s" % (language, code_page))
                p.close()
                settings = self.program_bytes("dova.ini")
                if system == RUSSIAN:
                    self.assertIn("ProxyLogin=Аня".encode("cp1251"), settings)
                else:
                    self.assertTrue(settings.startswith(BOM))
                    self.assertIn("ProxyLogin=Аня".encode("utf-8"), settings)

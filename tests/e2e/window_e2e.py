"""End-to-end tests of the window as a user meets it: the tray icon's clicks and menu, the keys
of the list page, Escape, F1. The program is driven through the X display (xdotool) and through
the tray's callback message, as the shell sends it."""
import os
import subprocess
import time

from e2e_base import ProgramTest, read_ini
from wine_session import make_jpeg, screenshot, wait_until, windows_path, xdotool

# The window's client area is placed by its design at this point of the screen.
CLIENT = (400, 132)
TABS = {0: (48, 10), 1: (124, 10), 2: (178, 10), 3: (258, 10)}
FIRST_ROW = (100, 35)  # inside the list page's grid
ROW_HEIGHT = 16


def pixels(display, x, y, width, height):
    """The screen's pixels in a rectangle, as raw RGB bytes."""
    return subprocess.run(["import", "-display", display.name, "-window", "root", "-crop",
                           "%dx%d+%d+%d" % (width, height, x, y), "-depth", "8", "rgb:-"],
                          capture_output=True, check=True).stdout


def brightness(data):
    return sum(data) / max(1, len(data))


class WindowTest(ProgramTest):
    def click(self, x, y, button=1):
        xdotool(self.display, "mousemove", str(CLIENT[0] + x), str(CLIENT[1] + y))
        xdotool(self.display, "click", str(button))
        time.sleep(0.5)

    def key(self, *keys):
        for k in keys:
            xdotool(self.display, "key", k)
            time.sleep(0.4)

    def visible_windows(self):
        return set(xdotool(self.display, "search", "--onlyvisible", "--name", ".").split())

    def open_window(self, *keys, click=None):
        """Clicks or presses what opens a window (a dialog, the help), waits until it shows and
        returns the windows that were there before. A loaded machine may take seconds."""
        before = self.visible_windows()
        if click:
            self.click(*click)
        self.key(*keys)
        self.assertTrue(wait_until(lambda: self.visible_windows() - before, 30))
        time.sleep(1.5)  # the dialog fills its lists and takes the focus after it shows
        return before

    def wait_closed(self, before):
        self.assertTrue(wait_until(lambda: not (self.visible_windows() - before), 30))

    def start_shown(self, ini, *args):
        self.program.write_site("dova.ini", "[Main]\nInTray=0\n" + ini)
        self.program.start(*args)
        self.assertTrue(wait_until(self.program.visible, 15))
        time.sleep(1)


class TrayIcon(WindowTest):
    def test_right_click_opens_the_menu_left_and_middle_click_open_the_window(self):
        p = self.program
        p.write_site("dova.ini", "[OnLine]\nOnLoad=0\n[OffLine]\nOnLoad=0\n")
        p.start()
        self.assertFalse(p.visible())  # minimized to the tray by default
        xdotool(self.display, "mousemove", "200", "500")
        before = brightness(pixels(self.display, 205, 505, 100, 60))
        self.assertEqual(self.wine.driver("tray", "right")[0], 0)
        self.assertTrue(wait_until(
            lambda: brightness(pixels(self.display, 205, 505, 100, 60)) > before + 100, 10))
        screenshot(self.display, "tray-menu")
        self.assertFalse(p.visible())  # the menu, not the window
        self.key("Escape")
        self.assertFalse(p.visible())

        self.assertEqual(self.wine.driver("tray", "left")[0], 0)
        self.assertTrue(wait_until(p.visible, 10))
        p.close()

        p.start()
        self.assertFalse(p.visible())
        self.assertEqual(self.wine.driver("tray", "middle")[0], 0)
        self.assertTrue(wait_until(p.visible, 10))
        p.close()

    def test_menu_exit_quits_and_saves(self):
        p = self.program
        p.write_site("dova.ini", "[Main]\nSection=2\n[OnLine]\nOnLoad=0\n")
        p.start()
        xdotool(self.display, "mousemove", "200", "500")
        self.wine.driver("tray", "right")
        time.sleep(2)  # the menu opens on a busy machine too
        # The last item: Open, separator, two change commands, separator, Exit.
        self.key("Up", "Return")
        self.assertTrue(p.wait_exit(30))
        self.assertEqual(read_ini(p.read_site("dova.ini"))["Main"]["Section"], "2")


class Keyboard(WindowTest):
    def test_escape_quits_and_saves_even_from_an_edit_field(self):
        p = self.program
        self.start_shown("Section=3\n[OnLine]\nOnLoad=0\n")
        self.click(150, 75)  # the proxy server's edit field
        xdotool(self.display, "type", "proxy.example")
        time.sleep(0.5)
        screenshot(self.display, "typed-proxy")
        self.key("Escape")
        self.assertTrue(p.wait_exit(30))
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["OnLine"]["ProxyServer"], "proxy.example")
        self.assertEqual(ini["Main"]["Section"], "3")

    def list_of(self, count):
        pictures = []
        for i in range(count):
            path = os.path.join(self.program.dir, "key%d.jpg" % i)
            make_jpeg(path, 160, 120, ("red", "green", "blue", "yellow")[i % 4])
            pictures.append(path)
        self.program.write_site("dova.lst",
                                "".join("160x120\t%s\n" % windows_path(x) for x in pictures))
        return pictures

    def test_list_keys_select_all_delete_and_install(self):
        p = self.program
        pictures = self.list_of(3)
        self.start_shown("Section=1\nWorkType=offline\n[OnLine]\nOnLoad=0\n[OffLine]\nOnLoad=0\n")
        # Enter installs the chosen row.
        self.click(FIRST_ROW[0], FIRST_ROW[1] + ROW_HEIGHT)
        self.key("Return")
        self.assertTrue(wait_until(lambda: os.path.exists(p.site("wallpaper1.bmp")), 30))
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper") ==
                                   windows_path(p.site("wallpaper1.bmp")), 20))
        screenshot(self.display, "list-page-keys")
        # Ctrl+A selects every row, Delete removes them.
        self.key("ctrl+a", "Delete")
        screenshot(self.display, "list-page-emptied")
        p.close()
        self.assertEqual(p.read_site("dova.lst"), "\t\r\n")
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["Main"]["CurrentWallpaper"], windows_path(pictures[1]))

    def test_f1_opens_the_help(self):
        p = self.program
        self.start_shown("Section=2\n[OnLine]\nOnLoad=0\n")
        self.click(200, 50)  # a radio button of the picture size
        self.open_window("F1")
        screenshot(self.display, "help-f1")
        self.key("Escape")
        p.close()


class ListEditing(WindowTest):
    # The list page's buttons, by their centres in the window's client area.
    ADD_FILES = (52, 198)
    ADD_DIRECTORY = (76, 198)

    def test_a_directory_and_files_added_through_the_real_dialogs(self):
        p = self.program
        folder = os.path.join(p.dir, "Holiday")
        os.makedirs(os.path.join(folder, "nested.jpg"))  # a directory named like a picture
        make_jpeg(os.path.join(folder, "SEA.JPG"), 1024, 768, "skyblue")    # the screen's shape
        make_jpeg(os.path.join(folder, "hill.jpeg"), 600, 800, "green")      # upright
        make_jpeg(os.path.join(folder, "wide.jpg"), 3000, 1000, "orange")    # panorama
        with open(os.path.join(folder, "notes.txt"), "w") as f:
            f.write("not a picture")
        self.start_shown("Section=1\nWorkType=offline\n[OnLine]\nOnLoad=0\n[OffLine]\nOnLoad=0\n"
                         "Path=%s\n" % windows_path(folder))

        # The folder dialog opens on the remembered folder: OK takes its pictures.
        before = self.open_window(click=self.ADD_DIRECTORY)
        screenshot(self.display, "folder-dialog")
        self.key("Return")
        self.wait_closed(before)

        # The file dialog opens there too: three names typed into its name box.
        before = self.open_window(click=self.ADD_FILES)
        xdotool(self.display, "type", '"wide.jpg" "SEA.JPG" "hill.jpeg"')
        time.sleep(0.5)
        screenshot(self.display, "file-dialog")
        self.key("Return")
        self.wait_closed(before)
        time.sleep(1)
        screenshot(self.display, "list-coloured-rows")
        p.close()

        rows = [line.split("\t") for line in p.read_site("dova.lst").split("\r\n") if line]
        self.assertEqual(len(rows), 6, rows)
        names = [path.rsplit("\\", 1)[1] for _, path in rows]
        self.assertEqual(sorted(names[:3]), ["SEA.JPG", "hill.jpeg", "wide.jpg"])
        self.assertEqual(names[3:], ["wide.jpg", "SEA.JPG", "hill.jpeg"])
        self.assertEqual({path.rsplit("\\", 1)[0].lower() for _, path in rows},
                         {windows_path(folder).lower()})
        self.assertEqual(dict(zip(names, (size for size, _ in rows))),
                         {"SEA.JPG": "1024x768", "hill.jpeg": "600x800", "wide.jpg": "3000x1000"})
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["OffLine"]["Path"].lower(), windows_path(folder).lower())

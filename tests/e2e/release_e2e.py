"""End-to-end tests of the release: the installer and the portable zip that scripts/package.sh
makes from this checkout, installed, upgraded and removed under Wine in a prefix of their own,
and the demo run of scripts/run.sh on a Wine virtual desktop.

    python3 tests/e2e/release_e2e.py [TestClass...]     (as root: the demo channel needs port 80)

Prints the sizes of the release files and the installer's times. The demo run's screenshot goes
to build/e2e-screenshots/demo-run-desktop.png.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(__file__))
from e2e_base import PHRASES, read_ini  # noqa: E402
from wine_session import (DIST, ROOT, SCREENSHOTS, WINE, Display, Wine,  # noqa: E402
                          make_jpeg, screenshot, wait_until, xdotool)

RELEASE = os.path.join(ROOT, "build", "release")
PREFIX = os.path.join(ROOT, "build", "wineprefix-release")
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dova"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "Dova Wallpaper Changer"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SHORTCUT = r"Microsoft\Windows\Start Menu\Programs\Dova Wallpaper Changer.lnk"
PROGRAM_FILES = ["Dova.exe", "Dova.chm", "Languages/English.ini", "Languages/Russian.ini"]
# The release's settings list the shipped channels; the demo channel's are for development.
SAMPLE_FILES = sorted(["Sites/dova.ini"] + ["Sites/" + name
                                            for name in os.listdir(os.path.join(ROOT, "Sites"))
                                            if name.endswith(".bmp") and not name.startswith("demo")])
SOURCE_OF = {"Sites/dova.ini": "installer/dova.ini"}


def version():
    with open(os.path.join(ROOT, "build", "windows", "version.txt")) as f:
        return f.read().strip()


def setup_exe():
    return os.path.join(RELEASE, "Dova-%s-setup.exe" % version())


def portable_zip():
    return os.path.join(RELEASE, "Dova-%s-portable.zip" % version())


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class FreshWine(Wine):
    """A Wine prefix made anew for this run: nothing installed, no settings."""

    def __init__(self, display):  # noqa: super().__init__ would reuse the shared prefix
        shutil.rmtree(PREFIX, ignore_errors=True)
        self.prefix = PREFIX
        self.env = dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", DISPLAY=display.name,
                        WINEDLLOVERRIDES="winemenubuilder.exe=d")
        subprocess.run([WINE, "wineboot", "-i"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_server()

    def reg_values(self, key):
        """{name: (type, data)} of a registry key, or None when the key does not exist."""
        result = self.run("reg", "query", key, check=False)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split("    ")
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
        return values

    def unix_path(self, windows_path):
        drive, rest = windows_path[0].lower(), windows_path[3:].replace("\\", "/")
        return "/" + rest if drive == "z" else os.path.join(self.prefix, "drive_c", rest)


class Session:
    display = None
    wine = None


def setUpModule():
    """The release, made from this checkout as a user would make it."""
    t0 = time.time()
    subprocess.run([os.path.join(ROOT, "scripts", "package.sh")], check=True,
                   stdout=subprocess.DEVNULL)
    print("\n  scripts/package.sh: %.1f s" % (time.time() - t0))
    for path in (setup_exe(), portable_zip()):
        print("  %s: %d bytes (%.0f KiB)" % (os.path.basename(path), os.path.getsize(path),
                                            os.path.getsize(path) / 1024.0))


class PortableZip(unittest.TestCase):
    def test_zip_holds_exactly_the_program_folder(self):
        with zipfile.ZipFile(portable_zip()) as z:
            names = sorted(z.namelist())
            self.assertEqual(names, sorted(PROGRAM_FILES + SAMPLE_FILES))
            self.assertIsNone(z.testzip())
            # The program as the build made it, the data as the source tree has it.
            for name in ("Dova.exe", "Dova.chm"):
                self.assertEqual(z.read(name), read_bytes(os.path.join(DIST, name)), name)
            for name in names:
                if "/" in name:
                    self.assertEqual(z.read(name),
                                     read_bytes(os.path.join(ROOT, SOURCE_OF.get(name, name))),
                                     name)


class Installer(unittest.TestCase):
    """One installation's life: a fresh silent install, start-up at log-on, an upgrade over the
    user's changed files, an upgrade while the program runs, and a silent uninstall."""

    @classmethod
    def setUpClass(cls):
        cls.wine = Session.wine
        users = os.path.join(PREFIX, "drive_c", "users")
        cls.home = os.path.join(users, [u for u in os.listdir(users) if u != "Public"][0])

    # --- helpers ---------------------------------------------------------------------------
    def install(self, *args):
        t0 = time.time()
        result = self.wine.run(setup_exe(), "/S", *args, timeout=180, check=False)
        elapsed = time.time() - t0
        self.assertEqual(result.returncode, 0, "the installer failed")
        return elapsed

    def location(self):
        values = self.wine.reg_values(UNINSTALL_KEY)
        self.assertIsNotNone(values, "no uninstall entry")
        return values["InstallLocation"][1]

    def path(self, relative):
        return os.path.join(self.wine.unix_path(self.location()), relative)

    def shortcut(self):
        path = os.path.join(self.home, "AppData", "Roaming", SHORTCUT.replace("\\", "/"))
        return path if os.path.exists(path) else None

    def driver(self, *args):
        return self.wine.driver(*args)

    def start_from_shortcut(self):
        self.wine.run("start", self.shortcut_windows)
        code, _ = self.driver("wait", "50")
        self.assertEqual(code, 0, "the installed program showed no window")

    def close_program(self):
        self.driver("close")
        code, _ = self.driver("gone", "60")
        self.assertEqual(code, 0, "the installed program did not end")

    def program_running(self):
        return self.driver("wait", "0")[0] == 0

    def log(self):
        # The journal is UTF-8 with a byte order mark.
        with open(self.sites_path("dova.log"), "rb") as f:
            return f.read().decode("utf-8-sig")

    def sites_path(self, name):
        return os.path.join(self.install_dir, "Sites", name)

    def write_site(self, name, text):
        with open(self.sites_path(name), "wb") as f:
            f.write(text.replace("\n", "\r\n").encode("cp1251"))

    def read_site(self, name):
        with open(self.sites_path(name), "rb") as f:
            return f.read().decode("cp1251")

    # --- the test ----------------------------------------------------------------------------
    def test_install_start_upgrade_and_uninstall(self):
        self.assertIsNone(self.wine.reg_values(UNINSTALL_KEY))
        seconds = self.install()
        print("\n  fresh silent install: %.2f s (Wine process start included)" % seconds)

        # Every file in place, the program being the build's.
        location = self.location()
        self.assertTrue(location.lower().endswith(r"\appdata\local\programs\dova"), location)
        self.install_dir = self.wine.unix_path(location)
        for name in PROGRAM_FILES + SAMPLE_FILES + ["Uninstall.exe"]:
            self.assertTrue(os.path.isfile(os.path.join(self.install_dir, name)), name)
        for name in PROGRAM_FILES + SAMPLE_FILES:
            self.assertEqual(read_bytes(os.path.join(self.install_dir, name)),
                             read_bytes(os.path.join(DIST, name) if "/" not in name
                                        else os.path.join(ROOT, SOURCE_OF.get(name, name))),
                             name)
        self.assertEqual(sorted(os.listdir(self.install_dir)),
                         ["Dova.chm", "Dova.exe", "Languages", "Sites", "Uninstall.exe"])
        # The help's About line carries the version.
        help_dir = tempfile.mkdtemp(prefix="dova_chm_")
        try:
            subprocess.run(["extract_chmLib", os.path.join(self.install_dir, "Dova.chm"),
                            help_dir], check=True, stdout=subprocess.DEVNULL)
            with open(os.path.join(help_dir, "HTML", "default.htm"), "rb") as f:
                self.assertIn(("version %s." % version()).encode(), f.read())
        finally:
            shutil.rmtree(help_dir, ignore_errors=True)

        # The shortcut and the entry in the list of installed programs.
        shortcut = self.shortcut()
        self.assertIsNotNone(shortcut, "no Start-menu shortcut")
        self.shortcut_windows = "C:" + shortcut[len(os.path.join(self.wine.prefix,
                                                                 "drive_c")):].replace("/", "\\")
        entry = self.wine.reg_values(UNINSTALL_KEY)
        exe = location + r"\Dova.exe"
        uninstaller = location + r"\Uninstall.exe"
        self.assertEqual(entry["DisplayName"], ("REG_SZ", "Dova Wallpaper Changer"))
        self.assertEqual(entry["DisplayVersion"], ("REG_SZ", version()))
        self.assertEqual(entry["Publisher"], ("REG_SZ", "Dova"))
        self.assertEqual(entry["DisplayIcon"], ("REG_SZ", exe + ",0"))
        self.assertEqual(entry["UninstallString"], ("REG_SZ", '"%s"' % uninstaller))
        self.assertEqual(entry["QuietUninstallString"], ("REG_SZ", '"%s" /S' % uninstaller))
        self.assertEqual(entry["NoModify"], ("REG_DWORD", "0x1"))
        self.assertEqual(entry["NoRepair"], ("REG_DWORD", "0x1"))
        installed_kb = sum(os.path.getsize(os.path.join(self.install_dir, name))
                           for name in PROGRAM_FILES + SAMPLE_FILES) / 1024.0
        self.assertEqual(entry["EstimatedSize"][0], "REG_DWORD")
        self.assertAlmostEqual(int(entry["EstimatedSize"][1], 16), installed_kb, delta=16)
        run = self.wine.reg_values(RUN_KEY) or {}
        self.assertEqual(run.get(RUN_VALUE), ("REG_SZ", '"%s" minimized' % exe))

        # At log-on (Wine's boot sequence runs the Run values) it starts hidden in the tray.
        self.wine.run("wineboot")
        code, _ = self.driver("wait", "50")
        self.assertEqual(code, 0, "the start-up value did not start the program")
        self.assertEqual(self.driver("visible")[1], "0")
        self.close_program()
        log = self.log()
        self.assertIn("NOTICE " + PHRASES["start"], log)
        self.assertIn(location + r"\Languages\English", log)
        self.assertTrue(log.rstrip().endswith("NOTICE " + PHRASES["finish"]))

        # From the Start-menu shortcut it shows its window (the sample settings say so).
        self.start_from_shortcut()
        self.assertTrue(wait_until(lambda: self.driver("visible")[1] == "1", 10))
        self.close_program()

        # The user's changes: settings, list, a logo of their own, a wallpaper in use.
        ini = self.read_site("dova.ini").replace("\r\n", "\n")
        ini = set_ini_value(ini, "Main", "Section", "2")
        self.write_site("dova.ini", set_ini_value(ini, "OnLine", "OnLoad", "0"))
        picture = os.path.join(self.home, "own.jpg")
        make_jpeg(picture, 320, 240)
        picture_windows = "C:" + picture[len(os.path.join(PREFIX, "drive_c")):].replace("/", "\\")
        self.write_site("dova.lst", "320x240\t%s\n" % picture_windows)
        own_logo = read_bytes(os.path.join(ROOT, "Sites", "demo_logo2.bmp"))
        with open(self.sites_path("bing.bmp"), "wb") as f:
            f.write(own_logo)
        with open(self.sites_path("wallpaper1.bmp"), "wb") as f:
            f.write(own_logo)
        user_files = {name: read_bytes(self.sites_path(name))
                      for name in ("dova.ini", "dova.lst", "dova.log", "bing.bmp",
                                   "wallpaper1.bmp")}

        # An upgrade, without start-up this time: the user's files stay as they are.
        self.install("/NOSTARTUP")
        for name, data in user_files.items():
            self.assertEqual(read_bytes(self.sites_path(name)), data, name)
        self.assertEqual(read_bytes(os.path.join(self.install_dir, "Dova.exe")),
                         read_bytes(os.path.join(DIST, "Dova.exe")))
        self.assertNotIn(RUN_VALUE, self.wine.reg_values(RUN_KEY) or {})

        # An upgrade while the program runs: it is asked to close and saves as Exit would.
        self.start_from_shortcut()
        seconds = self.install()
        print("  silent upgrade over a running copy: %.2f s" % seconds)
        self.assertFalse(self.program_running(), "the running copy was not closed")
        self.assertTrue(self.log().rstrip().endswith("NOTICE " + PHRASES["finish"]))
        saved = read_ini(self.read_site("dova.ini"))
        self.assertEqual(saved["Main"]["Section"], "2")
        self.assertEqual(saved["OnLine"]["OnLoad"], "0")
        self.assertEqual(self.read_site("dova.lst"), "320x240\t%s\r\n" % picture_windows)
        self.assertEqual(read_bytes(self.sites_path("bing.bmp")), own_logo)
        # The upgrade keeps the user's choice of no start-up.
        self.assertNotIn(RUN_VALUE, self.wine.reg_values(RUN_KEY) or {})

        # The program's own start-up option writes the same value; the uninstaller removes it.
        self.wine.run("reg", "add", RUN_KEY, "/v", RUN_VALUE, "/t", "REG_SZ", "/d",
                      '"%s" minimized' % exe, "/f")
        # A silent uninstall, the program running: it closes, and every trace goes but Sites\.
        self.start_from_shortcut()
        self.wine.run(os.path.join(self.install_dir, "Uninstall.exe"), "/S")
        self.assertTrue(wait_until(lambda: self.wine.reg_values(UNINSTALL_KEY) is None and
                                   not os.path.exists(os.path.join(self.install_dir,
                                                                   "Uninstall.exe")), 90),
                        "the uninstaller did not finish")
        self.assertFalse(self.program_running())
        self.assertEqual(os.listdir(self.install_dir), ["Sites"])
        self.assertIsNone(self.shortcut())
        self.assertNotIn(RUN_VALUE, self.wine.reg_values(RUN_KEY) or {})
        for name in user_files:
            self.assertTrue(os.path.isfile(self.sites_path(name)), name)
        self.assertEqual(read_ini(self.read_site("dova.ini"))["Main"]["Section"], "2")

        # An upgrade over an older installation, whose dova.ini has only the user's own
        # channels, adds the shipped ones after them and changes nothing else.
        older = ("[Main]\nSection=2\n[Site1]\nURL=http://own/\nWPURL=http://own/potd\n"
                 "IMAGE=own.bmp\nENABLED=1\n[Site2]\nURL=https://apod.nasa.gov/apod/\n"
                 "WPURL=http://mirror/apod\nIMAGE=-\nENABLED=0\n")
        self.write_site("dova.ini", older)
        self.install()
        upgraded = self.read_site("dova.ini").replace("\r\n", "\n")
        self.assertTrue(upgraded.startswith(older), upgraded)
        settings = read_ini(self.read_site("dova.ini"))
        shipped = read_ini(read_bytes(os.path.join(ROOT, "installer", "dova.ini")).decode())
        self.assertEqual(settings["Site2"]["WPURL"], "http://mirror/apod")  # the user's APOD
        self.assertEqual(settings["Site3"]["URL"], shipped["Site1"]["URL"])  # Bing
        self.assertEqual(settings["Site3"]["PICTURE"], shipped["Site1"]["PICTURE"])
        self.assertEqual(settings["Site3"]["ENABLED"], "0")
        self.assertEqual(settings["Site4"]["URL"], shipped["Site2"]["URL"])  # Wikipedia
        self.assertEqual(settings["Site4"]["CAPTION"], shipped["Site2"]["CAPTION"])
        self.assertNotIn("Site5", settings)
        # The installer's pages are tested from no installation: remove this one again.
        self.wine.run(os.path.join(self.install_dir, "Uninstall.exe"), "/S")
        self.assertTrue(wait_until(lambda: self.wine.reg_values(UNINSTALL_KEY) is None, 90),
                        "the uninstaller did not finish")


class InstallerPages(unittest.TestCase):
    """The installer and the uninstaller as a user sees them, in English and in Russian,
    driven by the keyboard; screenshots of every page go to build/e2e-screenshots."""

    DIR = r"C:\DovaPages"

    def setUp(self):
        self.wine = Session.wine
        self.display = Session.display
        self.seen = set()
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()

    def launch(self, path, *args):
        # A new process may get the X window numbers of one that has ended.
        self.seen = set()
        self.processes.append(subprocess.Popen([WINE, path] + list(args), env=self.wine.env,
                                               stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))

    def windows(self, title):
        found = xdotool(self.display, "search", "--onlyvisible", "--name", title)
        return [int(w) for w in found.split()]

    def new_window(self, title, timeout=30):
        """Waits for a window with this title that was not there before, and gives it the
        keyboard."""
        fresh = []
        self.assertTrue(wait_until(lambda: fresh.extend(w for w in self.windows(title)
                                                        if w not in self.seen) or fresh,
                                   timeout), "no window %r" % title)
        window = fresh[-1]
        self.seen.add(window)
        self.focus(window)
        return window

    def focus(self, window):
        xdotool(self.display, "windowfocus", "--sync", str(window))
        time.sleep(0.5)

    def press(self, window, *keys):
        self.focus(window)
        for key in keys:
            xdotool(self.display, "key", key)
        time.sleep(1.5)

    def installed(self, name):
        return os.path.join(self.wine.unix_path(self.DIR), name)

    def test_pages_in_english_and_russian_and_the_uninstaller_asks(self):
        self.assertIsNone(self.wine.reg_values(UNINSTALL_KEY))
        # English, cancelled on the directory page: nothing is installed.
        self.launch(setup_exe(), "/D=" + self.DIR)
        language = self.new_window("^Installer Language$")
        screenshot(self.display, "installer-language")
        self.press(language, "Return")
        setup = self.new_window("^Dova Wallpaper Changer Setup")
        for page in ("welcome", "components", "directory"):
            screenshot(self.display, "installer-en-" + page)
            if page != "directory":
                self.press(setup, "Return")
        self.press(setup, "Escape")
        quit_box = self.new_window("^Dova Wallpaper Changer Setup")
        screenshot(self.display, "installer-en-cancel")
        self.press(quit_box, "Return")
        self.assertTrue(wait_until(lambda: self.processes[-1].poll() is not None, 20))
        self.assertFalse(os.path.exists(self.installed("Dova.exe")))
        self.assertIsNone(self.wine.reg_values(UNINSTALL_KEY))

        # Russian, installed, and the program started from the finish page speaks Russian.
        self.launch(setup_exe(), "/D=" + self.DIR)
        self.press(self.new_window("^Installer Language$"), "Down", "Return")
        setup = self.new_window("^Установка Dova Wallpaper Changer")
        for page in ("welcome", "components", "directory"):
            screenshot(self.display, "installer-ru-" + page)
            self.press(setup, "Return")
        self.assertTrue(wait_until(lambda: os.path.exists(self.installed("Uninstall.exe")), 30))
        time.sleep(1)
        screenshot(self.display, "installer-ru-finish")
        self.press(setup, "Return")
        self.assertEqual(self.wine.driver("wait", "50")[0], 0, "the finish page started nothing")
        self.assertTrue(wait_until(lambda: self.wine.driver("visible")[1] == "1", 10))
        settings = read_ini(read_bytes(self.installed("Sites/dova.ini")).decode("cp1251"))
        self.assertEqual(settings["Main"]["Language"], "Russian")
        self.assertTrue(settings["Site1"]["WPURL"].endswith("&mkt=ru-RU"))  # Bing in Russian
        with open(self.installed("Sites/dova.log"), "rb") as f:
            self.assertIn((self.DIR + r"\Languages\Russian").encode(), f.read())

        # The uninstaller closes the running program when the user agrees, and keeps Sites\
        # when the user just presses Enter at its question.
        self.launch(self.installed("Uninstall.exe"))
        uninstall = self.new_window("^Удаление Dova Wallpaper Changer")
        screenshot(self.display, "uninstaller-ru-confirm")
        self.press(uninstall, "Return")
        close_box = self.new_window("^Удаление Dova Wallpaper Changer")
        screenshot(self.display, "uninstaller-ru-close-running")
        self.press(close_box, "Return")
        keep_box = self.new_window("^Удаление Dova Wallpaper Changer", timeout=60)
        self.assertEqual(self.wine.driver("wait", "0")[0], 1, "the program still runs")
        screenshot(self.display, "uninstaller-ru-keep-settings")
        self.press(keep_box, "Return")
        self.assertTrue(wait_until(lambda: not os.path.exists(self.installed("Dova.exe")), 30))
        self.press(uninstall, "Return")
        self.assertTrue(wait_until(lambda: self.wine.reg_values(UNINSTALL_KEY) is None, 30))
        self.assertEqual(os.listdir(self.installed("")), ["Sites"])
        for name in ("dova.ini", "dova.log", "bing.bmp"):
            self.assertTrue(os.path.isfile(self.installed("Sites/" + name)), name)


class DemoRun(unittest.TestCase):
    """scripts/run.sh in a fresh clone of this checkout, as a new user runs it: it builds what
    the Windows build needs, then shows the window with its frame, the taskbar, and the picture
    of the day from the demo channel on a Wine virtual desktop."""

    CLONE = os.path.join(ROOT, "build", "fresh-clone")

    def setUp(self):
        self.wine = Session.wine
        shutil.rmtree(self.CLONE, ignore_errors=True)
        subprocess.run(["git", "clone", "-q", ROOT, self.CLONE], check=True)
        self.sites = os.path.join(self.CLONE, "build", "windows", "dist", "Sites")
        self.wine.run("reg", "delete", RUN_KEY, "/v", RUN_VALUE, "/f", check=False)
        self.wine.run("reg", "delete", DESKTOP_KEY, "/v", "Wallpaper", "/f", check=False)
        self.run_log = open(os.path.join(ROOT, "build", "e2e-demo-run.log"), "wb")
        self.process = None

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.close_demo()
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, 9)
                self.process.wait()
        self.run_log.close()

    def run_env(self):
        env = dict(self.wine.env)
        # The clone compiles the sources this checkout's build compiled already: ccache, when
        # there, hands those objects over (paths are taken relative to the checkout).
        if shutil.which("ccache"):
            env.update(CMAKE_C_COMPILER_LAUNCHER="ccache", CMAKE_CXX_COMPILER_LAUNCHER="ccache",
                       CCACHE_BASEDIR=ROOT, CCACHE_NOHASHDIR="1",
                       CCACHE_DIR=env.get("CCACHE_DIR", os.path.join(ROOT, "build", "ccache")))
        return env

    def close_demo(self):
        # The window lives on the virtual desktop: the driver must run there to find it.
        self.wine.run("explorer", "/desktop=Dova", os.path.join(DIST, "..", "dova_driver.exe"),
                      "close", check=False)

    def wallpaper(self):
        values = self.wine.reg_values(DESKTOP_KEY) or {}
        return values.get("Wallpaper", ("", ""))[1]

    def test_demo_shows_the_window_and_the_picture_of_the_day_on_the_desktop(self):
        self.process = subprocess.Popen([os.path.join(self.CLONE, "scripts", "run.sh")],
                                        cwd=self.CLONE, env=self.run_env(), stdout=self.run_log,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        self.assertTrue(wait_until(lambda: self.wallpaper() != "", 1200, step=1),
                        "the demo set no wallpaper (see build/e2e-demo-run.log)")
        bitmap = self.wine.unix_path(self.wallpaper())
        self.assertTrue(os.path.isfile(bitmap), bitmap)
        time.sleep(3)  # the desktop repaints
        shot = screenshot(Session.display, "demo-run-desktop")

        width, height, screen = rgb_pixels(shot)
        bmp_width, bmp_height, picture = rgb_pixels(bitmap)
        # Most of the desktop shows the picture, as this Wine draws it: centred, or from the
        # top left corner when it is larger than the screen, or stretched. The window and the
        # taskbar cover the rest.
        placements = {
            "centred": lambda x, y: (x + (bmp_width - width) // 2, y + (bmp_height - height) // 2),
            "top left": lambda x, y: (x, y),
            "stretched": lambda x, y: (x * bmp_width // width, y * bmp_height // height),
        }
        grid = [(x, y) for x in range(4, width, 17) for y in range(4, height - 40, 19)]
        shown = {name: matching(screen, width, picture, bmp_width, bmp_height, grid, place)
                 for name, place in placements.items()}
        best = max(shown, key=shown.get)
        self.assertGreater(shown[best], 0.6, shown)
        # The taskbar along the bottom holds the window's button. (This Wine lets the picture
        # show through the rest of the taskbar once the wallpaper changes.)
        row = height - 10
        button, run = 0, 0
        for x in range(width):
            same = matching(screen, width, picture, bmp_width, bmp_height, [(x, row)],
                            placements[best])
            run = 0 if same else run + 1
            button = max(button, run)
        self.assertGreater(button, 100, "no window button in the taskbar")
        # And the window covers a window-sized part of the rest.
        covered = [(x, y) for x, y in grid if not matching(screen, width, picture, bmp_width,
                                                           bmp_height, [(x, y)], placements[best])]
        left, right = min(x for x, _ in covered), max(x for x, _ in covered)
        top, bottom = min(y for _, y in covered), max(y for _, y in covered)
        self.assertGreater(right - left, 400)
        self.assertGreater(bottom - top, 250)
        print("\n  desktop picture %s: %.0f %% of the desktop shows it (%s)"
              % (best, 100 * shown[best], shot))

        self.close_demo()
        self.process.wait(timeout=60)
        self.assertEqual(self.process.returncode, 0)
        with open(os.path.join(self.sites, "dova.log"), "rb") as f:
            self.assertIn(PHRASES["finish"].encode("utf-8"), f.read())


def set_ini_value(text, section, key, value):
    """The settings text with one key of one section changed, as a user edits the file."""
    lines, current, done = text.split("\n"), None, False
    for i, line in enumerate(lines):
        if line.startswith("["):
            current = line.strip()[1:-1]
        elif current == section and line.split("=", 1)[0] == key and not done:
            lines[i], done = "%s=%s" % (key, value), True
    assert done, (section, key)
    return "\n".join(lines)


def rgb_pixels(path):
    """(width, height, bytes of r, g, b per pixel, top row first) of a picture file."""
    size = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], check=True,
                          capture_output=True).stdout.split()
    data = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgb:-"], check=True,
                          capture_output=True).stdout
    return int(size[0]), int(size[1]), data


def matching(screen, width, picture, picture_width, picture_height, points, place,
             tolerance=16):
    """The share of the screen's points whose colour is the picture's at the place given."""
    hits = 0
    for x, y in points:
        px, py = place(x, y)
        if not (0 <= px < picture_width and 0 <= py < picture_height):
            continue
        a = (y * width + x) * 3
        b = (py * picture_width + px) * 3
        if max(abs(screen[a + i] - picture[b + i]) for i in range(3)) <= tolerance:
            hits += 1
    return hits / float(len(points))


def main():
    os.makedirs(SCREENSHOTS, exist_ok=True)
    Session.display = Display()
    ok = False
    try:
        Session.wine = FreshWine(Session.display)
        program = unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[1:], exit=False,
                                defaultTest=["PortableZip", "Installer", "InstallerPages",
                                             "DemoRun"])
        ok = program.result.wasSuccessful()
    finally:
        subprocess.run(["wineserver", "-k"], env=Session.wine.env if Session.wine else None,
                       check=False)
        Session.display.close()
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()

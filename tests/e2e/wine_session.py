"""A virtual display, a Wine prefix and a copy of the program for one end-to-end test.

Each test gets a fresh program folder (Dova.exe with Languages/ and Sites/ beside it) and drives
the real program under Wine: it starts it, waits for its window, sends tray messages and keys,
reads the registry with `wine reg query`, takes screenshots, and ends it as a user would.
"""
import os
import select
import shutil
import subprocess
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DIST = os.path.join(ROOT, "build", "windows", "dist")
WINE = "/usr/lib/wine/wine64"
SCREENSHOTS = os.path.join(ROOT, "build", "e2e-screenshots")


class Display:
    """Xvfb at 1024x768x24 (or the size given), shared by all tests of a run."""

    def __init__(self, size="1024x768"):
        # Xvfb takes the first free display itself and names it on a pipe, so that runs side by
        # side never race for one. No reset when the last client leaves: every test's Wine ends.
        self.size = size
        os.makedirs(os.path.join(ROOT, "build"), exist_ok=True)
        self.log = open(os.path.join(ROOT, "build", "e2e-xvfb-%d.log" % os.getpid()), "ab")
        reader, writer = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writer), "-screen", "0", size + "x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=self.log)
        os.close(writer)
        with os.fdopen(reader) as named:
            ready = select.select([named], [], [], 30)[0]
            self.name = ":" + named.readline().strip() if ready else ":"
        if self.name == ":":
            self.close()  # no server left behind, nor its log open
            raise RuntimeError("Xvfb did not start (see %s)" % self.log.name)

    def alive(self):
        return self.process.poll() is None

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.log.close()


class Wine:
    """A Wine prefix of the test run's own, with the program's environment."""

    def __init__(self, display):
        # Each shard of a parallel run (tests/e2e/run.sh) has a prefix of its own.
        self.prefix = os.environ.get("DOVA_E2E_PREFIX") or os.path.join(ROOT, "build",
                                                                        "wineprefix-e2e")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        DISPLAY=display.name, WINEDLLOVERRIDES="winemenubuilder.exe=d")
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            subprocess.run([WINE, "wineboot", "-i"], env=self.env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.wait_server()

    def wait_server(self):
        subprocess.run(["wineserver", "-w"], env=self.env, check=False)

    def run(self, *args, timeout=60, check=True):
        # Output goes through files, not pipes: a Wine command that happens to start the
        # prefix's services (explorer, winedevice) hands them its output pipe, and reading the
        # pipe to its end would then wait for those services to end.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run([WINE] + list(args), env=self.env, stdout=out, stderr=err,
                                    timeout=timeout, check=False)
            out.seek(0)
            err.seek(0)
            result.stdout, result.stderr = out.read(), err.read()
        if check and result.returncode != 0:
            raise subprocess.CalledProcessError(result.returncode, result.args, result.stdout,
                                                result.stderr)
        return result

    def driver(self, *args, timeout=60):
        result = self.run(os.path.join(DIST, "..", "dova_driver.exe"), *args,
                          timeout=timeout, check=False)
        return result.returncode, result.stdout.decode("latin-1").strip()

    def driver_text(self, *args, timeout=60):
        """The driver's answer in UTF-8, the form of its Unicode commands (texts, click...)."""
        result = self.run(os.path.join(DIST, "..", "dova_driver.exe"), *args,
                          timeout=timeout, check=False)
        return result.returncode, result.stdout.decode("utf-8").replace("\r\n", "\n").strip()

    def reg_query(self, key, name):
        """(type, data) of one value as `wine reg query` shows it, or None when it is missing.
        The name may hold blanks; the columns are four blanks apart."""
        result = self.run("reg", "query", key, "/v", name, check=False)
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            if line.strip().startswith(name + "    "):
                parts = line.strip()[len(name):].split(None, 1)
                return parts[0], parts[1] if len(parts) == 2 else ""
        return None

    def reg_delete_value(self, key, name):
        self.run("reg", "delete", key, "/v", name, "/f", check=False)

    def reg_value(self, name):
        result = self.run("reg", "query", r"HKCU\Control Panel\Desktop", "/v", name, check=False)
        for line in result.stdout.decode("latin-1").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == name and parts[1] == "REG_SZ":
                return parts[2] if len(parts) == 3 else ""
        return None

    def reg_delete(self, name):
        self.run("reg", "delete", r"HKCU\Control Panel\Desktop", "/v", name, "/f", check=False)


LOCALES = os.path.join(ROOT, "build", "e2e-locales")


def locale_env(name):
    """The environment that gives Wine processes the Unix locale `name` ("ru_RU.UTF-8"), and so
    its Windows code page, compiled once into build/e2e-locales from Debian's locale sources."""
    language, charset = name.split(".")
    path = os.path.join(LOCALES, name)
    if not os.path.isdir(path):
        os.makedirs(LOCALES, exist_ok=True)
        subprocess.run(["localedef", "-i", language, "-f", charset, path], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return {"LOCPATH": LOCALES, "LC_ALL": name}


# The Western and the Cyrillic systems the tests play: Windows-1252 and Windows-1251.
WESTERN = "en_US.UTF-8"
RUSSIAN = "ru_RU.UTF-8"


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class Program:
    """A fresh copy of the dist folder and one running Dova.exe in it."""

    def __init__(self, wine):
        self.wine = wine
        self.dir = tempfile.mkdtemp(prefix="dova_e2e_")
        shutil.copytree(DIST, self.dir, dirs_exist_ok=True)
        # A fresh installation: nothing that an earlier run of the dist folder left behind.
        for name in ("dova.ini", "dova.lst", "dova.log", "dova.log~", "wallpaper1.bmp",
                     "wallpaper2.bmp", "temp.jpg"):
            path = os.path.join(self.dir, "Sites", name)
            if os.path.exists(path):
                os.remove(path)
        self.process = None

    def site(self, name):
        return os.path.join(self.dir, "Sites", name)

    def write_site(self, name, data, encoding="cp1251"):
        if isinstance(data, str):
            data = data.replace("\r\n", "\n").replace("\n", "\r\n").encode(encoding)
        with open(self.site(name), "wb") as f:
            f.write(data)

    def read_site(self, name, encoding="cp1251"):
        with open(self.site(name), "rb") as f:
            return f.read().decode(encoding)

    def start(self, *args, wait=True, locale=None):
        """Starts Dova.exe; `locale` (WESTERN, RUSSIAN) chooses the code page it runs with."""
        env = dict(self.wine.env, **(locale_env(locale) if locale else {}))
        self.process = subprocess.Popen(
            [WINE, os.path.join(self.dir, "Dova.exe")] + list(args), cwd=self.dir,
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if wait:
            code, _ = self.wine.driver("wait", "50")
            if code != 0:
                shot = os.path.join(SCREENSHOTS, "no-main-window.png")
                os.makedirs(SCREENSHOTS, exist_ok=True)
                subprocess.run(["import", "-display", self.wine.env["DISPLAY"], "-window", "root",
                                shot], check=False)
                raise AssertionError("Dova.exe showed no main window (see %s)" % shot)
        return self

    def visible(self):
        return self.wine.driver("visible")[1] == "1"

    def close(self, timeout=60):
        """The close box: a normal exit that saves."""
        self.wine.driver("close")
        return self.wait_exit(timeout)

    def wait_exit(self, timeout=60):
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise AssertionError("Dova.exe did not end")
        self.process = None
        return True

    def kill(self):
        if self.process:
            self.process.kill()
            self.process.wait()
            self.process = None

    def cleanup(self):
        self.kill()
        shutil.rmtree(self.dir, ignore_errors=True)


def xdotool(display, *args, check=False):
    return subprocess.run(["xdotool"] + list(args), env=dict(os.environ, DISPLAY=display.name),
                          capture_output=True, check=check).stdout.decode().strip()


def screenshot(display, name):
    os.makedirs(SCREENSHOTS, exist_ok=True)
    path = os.path.join(SCREENSHOTS, name + ".png")
    subprocess.run(["import", "-display", display.name, "-window", "root", path], check=True)
    return path


def make_jpeg(path, width, height, colour="skyblue", extra=()):
    subprocess.run(["convert", "-size", "%dx%d" % (width, height), "gradient:%s-navy" % colour]
                   + list(extra) + [path], check=True)


def bmp_info(path):
    """(width, height, bits per pixel) of a BMP file, read from its header."""
    import struct
    with open(path, "rb") as f:
        header = f.read(54)
    assert header[:2] == b"BM", path
    width, height = struct.unpack("<ii", header[18:26])
    bits = struct.unpack("<H", header[28:30])[0]
    return width, height, bits


def wait_until(condition, timeout, step=0.25):
    end = time.time() + timeout
    while time.time() < end:
        if condition():
            return True
        time.sleep(step)
    return condition()

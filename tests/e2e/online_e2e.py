"""End-to-end tests of the picture of the day: the real Dova.exe fetching from the demo channel
(scripts/demo_channel.py) on port 80 of a loopback address of the tests' own, and the
scheduler's first tick."""
import datetime
import os
import subprocess
import sys
import time

from e2e_base import PHRASES, ProgramTest, read_ini
from wine_session import ROOT, bmp_info, wait_until, windows_path
from window_e2e import brightness, pixels

CHANNEL = "127.0.77.3"


class DemoChannel:
    """scripts/demo_channel.py serving on CHANNEL:80 for the tests of this module."""

    def __init__(self):
        cache = os.path.join(ROOT, "build", "e2e-demo-cache")
        self.log = open(os.path.join(ROOT, "build", "e2e-demo-channel.log"), "wb")
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "scripts", "demo_channel.py"),
             "--address", CHANNEL, "--cache-dir", cache], stdout=self.log, stderr=self.log)
        import socket

        def listening():
            try:
                socket.create_connection((CHANNEL, 80), timeout=1).close()
                return True
            except OSError:
                return False
        if not wait_until(listening, 20):
            raise RuntimeError("the demo channel did not start (port 80 needs root)")

    def picture_url(self, page="potd"):
        folder = "pictures" if page == "potd" else "pictures2"
        return "http://%s/%s/%s.jpg" % (CHANNEL, folder, datetime.date.today().isoformat())

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.log.close()


def channel_sections(current):
    """Two demo channels; `current` (1 or 2) is the enabled one."""
    return "".join("[Site%d]\nURL=http://%s/\nWPURL=http://%s/%s\nIMAGE=demo_logo%d.bmp\n"
                   "ENABLED=%d\n" % (n, CHANNEL, CHANNEL, page, n, int(n == current))
                   for n, page in ((1, "potd"), (2, "potd2")))


def first_tick_minute(program_start):
    """The clock's hour index (OnLine list "01".."24") and minute when Timer1 first fires: one
    minute after the window is made, which takes a few seconds under Wine."""
    tick = program_start + datetime.timedelta(seconds=65)
    hour = tick.hour if tick.hour else 24
    return hour - 1, tick.minute


def tray_image(display):
    """The pixels of the tray icon, in Wine's tray window at the screen's top left corner."""
    return pixels(display, 2, 22, 20, 20)


def tray_state(image):
    """Which of the tray's pictures shows: the roller is blue while transferring (1), green
    after the transfers and on failure (2), grey at rest (3); None before the icon is there."""
    if brightness(image) < 100:
        return None
    blue = green = 0
    for i in range(0, len(image) - 2, 3):
        r, g, b = image[i], image[i + 1], image[i + 2]
        blue += b > r + 40 and b > g + 20
        green += g > r + 40 and g > b + 20
    if max(blue, green) < 10:
        return 3
    return 1 if blue > green else 2


def wait_for_quiet_half_minute():
    """Starts in the first half of a minute, so the first tick cannot straddle two minutes."""
    while datetime.datetime.now().second > 25:
        time.sleep(1)


class DailyUpdate(ProgramTest):
    channel = None

    @classmethod
    def setUpClass(cls):
        cls.channel = DemoChannel()

    @classmethod
    def tearDownClass(cls):
        cls.channel.close()

    def test_start_up_installs_the_picture_and_the_scheduler_finds_nothing_new(self):
        p = self.program
        # First a channel that cannot be reached: the tray is left on its "failed" image.
        sections = channel_sections(1).replace(CHANNEL + "/potd", "127.0.77.254/potd")
        p.write_site("dova.ini", "[Main]\nWorkType=online\n[OnLine]\nUseProxy=0\nOnLoad=1\n"
                     + sections)
        p.start()
        self.assertTrue(wait_until(lambda: PHRASES["connecterror"] in self.log(), 60))
        time.sleep(1)
        self.assertEqual(tray_state(tray_image(self.display)), 2)
        self.assertTrue(p.close())
        self.assertFalse(os.path.exists(p.site("wallpaper1.bmp")))
        self.assertIn("ERROR  " + PHRASES["connecterror"], self.log())
        self.assertEqual(read_ini(p.read_site("dova.ini"))["Main"]["CurrentWallpaper"], "")

        # Then the demo channel, at 20 KB/s so that the transfer's tray image can be seen.
        wait_for_quiet_half_minute()
        hours, minutes = first_tick_minute(datetime.datetime.now())
        p.write_site("dova.ini", "[Main]\nWorkType=online\nResize=dova\n[OnLine]\nUseProxy=0\n"
                     "LimitSpeed=1\nMaximumDowloadSpeed=5\nOnLoad=1\nOnTime=1\nHours=%d\n"
                     "Minutes=%d\n" % (hours, minutes) + channel_sections(1))
        p.start()
        url = self.channel.picture_url()
        states = []
        deadline = time.time() + 90
        while not os.path.exists(p.site("wallpaper1.bmp")) and time.time() < deadline:
            state = tray_state(tray_image(self.display))
            if state and (not states or states[-1] != state):
                states.append(state)
            time.sleep(0.2)
        self.assertTrue(os.path.exists(p.site("wallpaper1.bmp")))
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper") ==
                                   windows_path(p.site("wallpaper1.bmp")), 20))
        # Transferring, converting (when a screenshot catches it), then at rest.
        self.assertTrue(wait_until(lambda: tray_state(tray_image(self.display)) == 3, 10))
        self.assertIn(1, states)
        self.assertEqual(bmp_info(p.site("wallpaper1.bmp")), (1024, 768, 24))
        self.assertFalse(os.path.exists(p.site("temp.jpg")))
        # The first tick, a minute after start, runs the unforced update: same URL, no download.
        self.assertTrue(wait_until(lambda: PHRASES["dontneedupdate"] in self.log(), 100),
                        self.log())
        self.assertEqual(tray_state(tray_image(self.display)), 3)
        p.close()
        log = self.log()
        for line in ("NOTICE URL: http://%s/potd" % CHANNEL,
                     "NOTICE %s %s" % (PHRASES["connectingto"], CHANNEL),
                     "NOTICE %s/pictures/" % PHRASES["downloadingimage"],
                     "NOTICE " + PHRASES["convertingimage"],
                     "NOTICE " + PHRASES["frominternet"],
                     "NOTICE " + PHRASES["dontneedupdate"]):
            self.assertIn(line, log)
        self.assertNotIn("ERROR", log)
        self.assertEqual(log.count(PHRASES["convertingimage"]), 1)
        self.assertEqual(read_ini(p.read_site("dova.ini"))["Main"]["CurrentWallpaper"], url)


class PeriodChange(ProgramTest):
    def test_a_one_minute_period_changes_the_picture_at_the_first_tick(self):
        from wine_session import make_jpeg
        p = self.program
        pictures = []
        for i, colour in enumerate(("orange", "purple")):
            path = os.path.join(p.dir, "period%d.jpg" % i)
            make_jpeg(path, 200, 150, colour)
            pictures.append(path)
        p.write_site("dova.lst", "".join("200x150\t%s\n" % windows_path(x) for x in pictures))
        # The last change two minutes ago (a date-time in days since 30 December 1899), a period
        # of 00:01 and no change at start-up: the first tick, a minute after start, changes.
        previous = (datetime.datetime.now() - datetime.datetime(1899, 12, 30)).total_seconds()
        previous = previous / 86400 - 2.0 / 1440
        p.write_site("dova.ini", "[Main]\nWorkType=offline\n[OffLine]\nOnLoad=0\n"
                     "Selecting=line\nCursorPosition=0\nChanging=period\ninaHours=0\n"
                     "inaMinutes=1\nPreviousSetWallpaper=%.10f\n" % previous)
        started = time.time()
        p.start()
        self.assertTrue(wait_until(lambda: os.path.exists(p.site("wallpaper1.bmp")), 100))
        self.assertGreater(time.time() - started, 50)  # the tick's doing, not the start's
        self.assertTrue(wait_until(lambda: self.wine.reg_value("Wallpaper") ==
                                   windows_path(p.site("wallpaper1.bmp")), 20))
        p.close()
        ini = read_ini(p.read_site("dova.ini"))
        self.assertEqual(ini["Main"]["CurrentWallpaper"], windows_path(pictures[1]))
        self.assertEqual(ini["OffLine"]["CursorPosition"], "1")
        self.assertNotEqual(ini["OffLine"]["PreviousSetWallpaper"], "0")

"""End-to-end tests of "Start with Windows": the check box on the Options page writes and
removes the user's start-up entry in the registry, shows what the registry holds, and the
command line it writes starts the program hidden in the tray."""
import time

from e2e_base import ProgramTest
from wine_session import screenshot, wait_until, windows_path

RUN = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SWITCHES = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
ENTRY = "Dova Wallpaper Changer"
CAPTION = "Start with Windows"


class StartWithWindows(ProgramTest):
    def setUp(self):
        super().setUp()
        self.forget_entry()

    def tearDown(self):
        self.forget_entry()
        super().tearDown()

    def forget_entry(self):
        self.wine.reg_delete_value(RUN, ENTRY)
        self.wine.reg_delete_value(SWITCHES, ENTRY)

    def start_on_options(self):
        p = self.program
        p.write_site("dova.ini", "[Main]\nInTray=0\nSection=2\n[OnLine]\nOnLoad=0\n")
        p.start()
        self.assertTrue(wait_until(p.visible, 15))
        time.sleep(1)

    def checked(self):
        return self.wine.driver_text("checked", CAPTION)[1]

    def click(self):
        self.assertEqual(self.wine.driver_text("click", CAPTION)[0], 0)
        time.sleep(1)

    def test_check_writes_the_entry_clear_removes_it_and_it_starts_the_program_in_the_tray(self):
        p = self.program
        self.start_on_options()
        self.assertEqual(self.checked(), "0")
        self.click()
        command = '"%s\\Dova.exe" minimized' % windows_path(p.dir)
        self.assertEqual(self.wine.reg_query(RUN, ENTRY), ("REG_SZ", command))
        self.assertEqual(self.checked(), "1")
        screenshot(self.display, "start-with-windows-checked")
        self.click()
        self.assertIsNone(self.wine.reg_query(RUN, ENTRY))
        self.assertEqual(self.checked(), "0")
        self.click()
        p.close()
        # Nothing of it in dova.ini: the registry is the truth.
        self.assertNotIn("Windows", p.read_site("dova.ini"))

        # The log-on: Wine's boot sequence runs the start-up entries' command lines.
        self.assertEqual(self.wine.reg_query(RUN, ENTRY), ("REG_SZ", command))
        self.wine.run("wineboot")
        self.assertEqual(self.wine.driver("wait", "50")[0], 0, "the entry started no program")
        time.sleep(2)
        self.assertEqual(self.wine.driver("visible")[1], "0")  # hidden, in the tray
        self.assertEqual(self.wine.driver("tray", "left")[0], 0)
        self.assertTrue(wait_until(lambda: self.wine.driver("visible")[1] == "1", 10))
        self.assertEqual(self.checked(), "1")
        self.wine.driver("close")
        self.assertEqual(self.wine.driver("gone", "30")[0], 0)

    def test_an_entry_turned_off_or_of_another_copy_shows_off_and_checking_takes_it_over(self):
        p = self.program
        command = '"%s\\Dova.exe" minimized' % windows_path(p.dir)
        # Turned off by the user in the Task Manager's start-up list.
        self.wine.run("reg", "add", RUN, "/v", ENTRY, "/t", "REG_SZ", "/d", command, "/f")
        self.wine.run("reg", "add", SWITCHES, "/v", ENTRY, "/t", "REG_BINARY", "/d",
                      "030000000000000011223344", "/f")
        self.start_on_options()
        self.assertEqual(self.checked(), "0")
        self.click()
        self.assertEqual(self.checked(), "1")
        self.assertEqual(self.wine.reg_query(SWITCHES, ENTRY),
                         ("REG_BINARY", "020000000000000000000000"))
        self.assertEqual(self.wine.reg_query(RUN, ENTRY), ("REG_SZ", command))
        p.close()

        # A copy of the program elsewhere owns the entry.
        self.wine.run("reg", "add", RUN, "/v", ENTRY, "/t", "REG_SZ", "/d",
                      '"C:\\Old\\Dova.exe" minimized', "/f")
        self.start_on_options()
        self.assertEqual(self.checked(), "0")
        self.click()
        self.assertEqual(self.wine.reg_query(RUN, ENTRY), ("REG_SZ", command))
        p.close()

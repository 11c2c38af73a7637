"""Silent installations of the real setup, each in a fresh machine."""
import os
import re
import unittest

from harness import Machine, PAYLOAD, PAYLOAD_FILES, payload_bytes, cp1252

VIEWER_RUNNING = cp1252("Warnung: Pixmora läuft!\r\nBeenden Sie bitte Pixmora bevor Sie mit der Installation fortsetzen!")
INVALID_FOLDER = cp1252("Ungültiges Zielverzeichnis!")
CANNOT_CREATE = cp1252("Kann Zielverzeichnis nicht erstellen!\r\n\r\nBitte überprüfen Sie Ihre Schreibrechte und "
                       "System-Policies!\r\n\r\nVersuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")
INSTALL_FAILED = cp1252("Fehler beim Installieren!\r\n\r\nÜberprüfen Sie bitte ob Pixmora läuft oder das "
                        "Zielverzeichnis voll ist!")
SEPARATOR = b"-" * 48 + b"\r\n"
ENTRY = re.compile(rb"^(?P<date>[^\r\n]+) - (?P<time>\d\d:\d\d:\d\d): (?P<msg>.*)\r\n" + re.escape(SEPARATOR) + rb"$", re.S)


class SilentInstall(unittest.TestCase):
    def setUp(self):
        self.m = Machine()
        self.addCleanup(self.m.close)

    def assertInstalled(self, folder):
        for rel in PAYLOAD_FILES:
            path = os.path.join(self.m.unix(folder), rel)
            with self.subTest(file=rel):
                self.assertTrue(os.path.isfile(path), path)
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), payload_bytes(rel))
        with open(os.path.join(self.m.unix(folder), "pxm32.ini"), "rb") as f:
            self.assertEqual(f.read().replace(b"\r", b""), b"[Language]\nDLL=DEUTSCH.DLL\nLang=Deutsch\n")

    def assertLogEntry(self, message):
        log = self.m.log
        self.assertIsNotNone(log, "no install log written")
        m = ENTRY.match(log)
        self.assertIsNotNone(m, log)
        self.assertEqual(m.group("msg"), message)

    def test_silent_alone_installs_into_the_default_folder(self):
        self.assertEqual(self.m.setup("/silent"), 0)
        folder = self.m.program_files() + "\\Pixmora"
        self.assertInstalled(folder)
        self.assertIsNone(self.m.log)

    def test_quoted_folder_with_blank_before_the_next_switch(self):
        self.assertEqual(self.m.setup('/silent /folder="C:\\Bild Programme" /desktop=1 /group=1'), 0)
        self.assertInstalled("C:\\Bild Programme")

    def test_registered_installation_wins_over_the_default(self):
        self.m.wine("reg", "add", r"HKLM\SOFTWARE\Classes\Pixmora\shell\open\command", "/ve",
                    "/d", '"C:\\Tools\\Pixmora\\pxm32.exe" "%1"', "/f")
        self.assertEqual(self.m.setup("/silent"), 0)
        self.assertInstalled("C:\\Tools\\Pixmora")
        self.assertFalse(os.path.exists(self.m.unix(self.m.program_files() + "\\Pixmora")))

    def test_second_run_overwrites_every_file(self):
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px"), 0)
        root = self.m.unix("C:\\Px")
        for rel in PAYLOAD_FILES:
            with open(os.path.join(root, rel), "wb") as f:
                f.write(b"old version")
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px"), 0)
        self.assertInstalled("C:\\Px")

    def test_running_viewer_stops_the_run(self):
        self.m.start_display()
        self.m.start(os.path.join(PAYLOAD, "pxm32.exe"))
        self.assertTrue(self.m.wait_window("Pixmora"))
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px"), 2)
        self.assertLogEntry(VIEWER_RUNNING)
        self.assertFalse(os.path.exists(self.m.unix("C:\\Px")))

    def test_folder_of_blanks_is_invalid(self):
        self.assertEqual(self.m.setup("/silent /folder=   "), 3)
        self.assertLogEntry(INVALID_FOLDER + b": ")

    def test_folder_without_drive_is_invalid(self):
        self.assertEqual(self.m.setup("/silent /folder=Programme"), 3)
        self.assertLogEntry(INVALID_FOLDER + b": Programme")
        self.assertFalse(os.path.exists(os.path.join(self.m.cwd, "Programme")))

    def test_missing_drive_cannot_be_created(self):
        self.assertEqual(self.m.setup("/silent /folder=Q:\\Nowhere\\Pixmora"), 4)
        self.assertLogEntry(CANNOT_CREATE + b": Q:\\Nowhere\\Pixmora\\")

    def test_failing_runs_append_to_the_log(self):
        self.m.setup("/silent /folder=Programme")
        self.m.setup("/silent /folder=Programme")
        self.assertEqual(self.m.log.count(SEPARATOR), 2)


if __name__ == "__main__":
    unittest.main()

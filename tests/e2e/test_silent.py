"""Silent installations of the real setup, each in a fresh machine."""
import os
import re
import unittest

from harness import Machine, PAYLOAD, PAYLOAD_FILES, PXTOOL, SETUP_EXE, payload_bytes, cp1252
from shell_checks import UNINSTALL, payload_kib

VIEWER_RUNNING = cp1252("Warnung: Pixmora läuft!\r\nBeenden Sie bitte Pixmora bevor Sie mit der Installation fortsetzen!")
INVALID_FOLDER = cp1252("Ungültiges Zielverzeichnis!")
INVALID_LOG_FILE = cp1252("Ungültige Protokolldatei!")
CANNOT_CREATE = cp1252("Kann Zielverzeichnis nicht erstellen!\r\n\r\nBitte überprüfen Sie Ihre Schreibrechte und "
                       "System-Policies!\r\n\r\nVersuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")
INSTALL_FAILED = cp1252("Fehler beim Installieren!\r\n\r\nÜberprüfen Sie bitte ob Pixmora läuft oder das "
                        "Zielverzeichnis voll ist!")
INSTALLED = cp1252("Pixmora 4.00 erfolgreich installiert")
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

    def test_uninstall_entry_and_version_resource(self):
        self.assertEqual(self.m.setup('/silent /folder="C:\\Bild Programme"'), 0)
        # Read through the registry functions, which tell the value types apart.
        _, out = self.m.output("reg", "query", "HKLM\\" + UNINSTALL)
        values = {}
        for line in out.decode("cp1252").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
        self.assertEqual({name: values.get(name) for name in (
            "DisplayName", "UninstallString", "DisplayVersion", "Publisher", "InstallLocation", "DisplayIcon",
            "EstimatedSize", "NoModify", "NoRepair")}, {
            "DisplayName": ("REG_SZ", "Pixmora (remove only)"),
            "UninstallString": ("REG_SZ", '"C:\\Bild Programme\\pmx_uninstall.exe"'),
            "DisplayVersion": ("REG_SZ", "4.00"),
            "Publisher": ("REG_SZ", "Pixmora"),
            "InstallLocation": ("REG_SZ", "C:\\Bild Programme\\"),
            "DisplayIcon": ("REG_SZ", '"C:\\Bild Programme\\pxm32.exe",0'),
            "EstimatedSize": ("REG_DWORD", hex(payload_kib())),
            "NoModify": ("REG_DWORD", "0x1"),
            "NoRepair": ("REG_DWORD", "0x1"),
        })

        code, out = self.m.output(PXTOOL, "version", "Z:" + SETUP_EXE.replace("/", "\\"))
        self.assertEqual(code, 0)
        lines = out.decode("cp1252").splitlines()
        self.assertEqual(lines[:2], ["fixed 4.0.0.0 4.0.0.0", "translation 0407 1252"])
        strings = dict(line.split("=", 1) for line in lines[2:])
        self.assertRegex(strings.pop("LegalCopyright"), r"^Copyright © \d{4} Pixmora$")
        self.assertEqual(strings, {
            "CompanyName": "Pixmora", "FileDescription": "Pixmora Setup", "FileVersion": "4.00",
            "InternalName": "pixmora_setup", "OriginalFilename": "pixmora_setup.exe", "ProductName": "Pixmora",
            "ProductVersion": "4.00"})

    def test_quoted_folder_with_blank_before_the_next_switch(self):
        self.assertEqual(self.m.setup('/silent /folder="C:\\Bild Programme" /desktop=1 /group=1'), 0)
        self.assertInstalled("C:\\Bild Programme")

    def test_folder_without_switch_from_the_registry(self):
        command = r"HKLM\SOFTWARE\Classes\Pixmora\shell\open\command"
        version = r"HKLM\Software\Microsoft\Windows\CurrentVersion"
        rows = [  # (key, value name, type, data as stored, the folder installed into)
            (command, None, "REG_SZ", '"C:\\Tools\\Pixmora\\pxm32.exe" "%1"', "C:\\Tools\\Pixmora"),
            (command, None, "REG_SZ", 'C:\\PxmOld\\pxm32.exe "%1"', "C:\\PxmOld"),  # unquoted
            # As a set-up cut short leaves the program files folder.
            (version, "ProgramFilesDir", "REG_EXPAND_SZ", "%SystemDrive%\\Program Files", "C:\\Program Files\\Pixmora"),
        ]
        for i, (key, name, kind, data, folder) in enumerate(rows):
            with self.subTest(data=data):
                if i:
                    self.m = Machine()
                    self.addCleanup(self.m.close)
                self.m.wine("reg", "add", key, *(["/v", name] if name else ["/ve"]), "/t", kind, "/d", data, "/f")
                self.assertEqual(self.m.setup("/silent"), 0)
                self.assertInstalled(folder)
                if key == command:
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


class LogSwitch(unittest.TestCase):
    """"/log=PATH": where the entries of a run go, and the entry of a run that installs."""

    def test_where_the_log_goes(self):
        m = Machine()
        self.addCleanup(m.close)
        os.makedirs(m.unix("C:\\Logs"))
        with open(m.unix("C:\\Datei"), "w") as f:
            f.write("a file where the log's folder would be")
        # (switches after /silent, exit code, where the log lands or None, its one message)
        rows = [
            ("/folder=C:\\Px /log=C:\\Logs\\setup.log", 0, "C:\\Logs\\setup.log", INSTALLED + b": C:\\Px\\"),
            ("/log=C:\\Neu\\Tief\\setup.log /folder=C:\\Px", 0, "C:\\Neu\\Tief\\setup.log",
             INSTALLED + b": C:\\Px\\"),
            ('/log="C:\\Mit Blank\\setup.log" /folder="C:\\Bild Programme"', 0, "C:\\Mit Blank\\setup.log",
             INSTALLED + b": C:\\Bild Programme\\"),
            ("/log=C:\\Logs\\failed.log /folder=Programme", 3, "C:\\Logs\\failed.log", INVALID_FOLDER + b": Programme"),
            ("/log=C:\\Datei\\setup.log /folder=C:\\Px", 0, None, INSTALLED + b": C:\\Px\\"),
            ("/log=Q:\\Nowhere\\setup.log /folder=C:\\Px", 0, None, INSTALLED + b": C:\\Px\\"),
            ("/folder=C:\\Px", 0, None, None),
        ]
        for switches, code, path, message in rows:
            with self.subTest(switches=switches):
                cwd_log = os.path.join(m.cwd, "Pixmora_Install.log")
                if os.path.exists(cwd_log):
                    os.remove(cwd_log)
                self.assertEqual(m.setup("/silent " + switches), code)
                if path:
                    self.assertFalse(os.path.exists(cwd_log), "the log went to the current directory")
                    with open(m.unix(path), "rb") as f:
                        log = f.read()
                    os.remove(m.unix(path))
                else:
                    log = m.log  # the chosen file cannot be written: the current directory
                if message is None:
                    self.assertIsNone(log)
                    continue
                entry = ENTRY.match(log or b"")
                self.assertIsNotNone(entry, log)
                self.assertEqual(entry.group("msg"), message)
        self.assertTrue(os.path.isfile(m.unix("C:\\Datei")))


if __name__ == "__main__":
    unittest.main()

"""Silent runs that meet the faults an administrator meets: the payload all or nothing, every row
after it checked, the command-line window and the destination folders."""
import os
import sys
import time
import unittest

from harness import EMULATED, Machine, PAYLOAD_FILES, PXTOOL, SETUP_EXE, cp1252, deadline, payload_bytes
from pe_resources import resources
from test_silent import ENTRY, INSTALL_FAILED, INVALID_FOLDER, INVALID_LOG_FILE

INSTALLED_BUT = cp1252("Pixmora wurde installiert, aber folgende Einträge konnten nicht geschrieben werden!"
                       "\r\n\r\nBitte überprüfen Sie Ihre Schreibrechte und System-Policies!\r\n\r\n")
UNINSTALL = r"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pixmora"
PROGRAMS = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"  # of all users
SWITCHES = "/silent /folder=C:\\Px /group=1 /desktop=1 /allusers=1 /assoc=1"


def files_below(root):
    """{relative path: bytes} of every file below root."""
    found = {}
    for d, _, names in os.walk(root):
        for n in names:
            with open(os.path.join(d, n), "rb") as f:
                found[os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")] = f.read()
    return found


class Runs(unittest.TestCase):
    def setUp(self):
        self.m = None
        self.addCleanup(lambda: self.m and self.m.close())

    def fresh_machine(self):
        """A new machine for the next case (each case of a table gets its own)."""
        if self.m:
            self.m.close()
        self.m = Machine()

    def log_message(self):
        log = self.m.log
        self.assertIsNotNone(log, "no install log written")
        entry = ENTRY.match(log)
        self.assertIsNotNone(entry, log)
        return entry.group("msg")


class AllOrNothing(Runs):
    """A payload that cannot be completed leaves the destination exactly as it was."""

    def earlier_installation(self):
        """A complete installation whose files all hold other contents; returns them."""
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px"), 0)
        root = self.m.unix("C:\\Px")
        for rel in PAYLOAD_FILES:
            with open(os.path.join(root, rel), "wb") as f:
                f.write(b"version 3.99 of " + rel.encode())
        with open(os.path.join(root, "pxm32.ini"), "wb") as f:
            f.write(b"[Language]\r\nDLL=ENGLISH.DLL\r\n")
        return files_below(root)

    def hold(self, winpath):
        """Holds a file open without sharing, from another process, until the machine ends."""
        # It is the first program after the wineserver ended, which boots the machine's services:
        # on a loaded, emulated machine that took longer than the bound, or the helper died of
        # the emulator's own crash; such a helper is started once more.
        for attempt in range(2 if EMULATED else 1):
            holder = self.m.start(PXTOOL, "hold", winpath, "C:\\held.txt")
            end = deadline(60)
            while time.time() < end and holder.poll() is None:
                if os.path.exists(self.m.unix("C:\\held.txt")):
                    return
                time.sleep(0.1)
            if os.path.exists(self.m.unix("C:\\held.txt")):
                return
            sys.stderr.write(f"test_install_failures: the holder ended ({holder.poll()}) or was slow; once more\n")
            self.m.kill()
        self.fail(f"{winpath} was not held")

    def damaged_setup(self):
        """A copy of the setup on drive C with one byte flipped in the middle of the viewer
        program's resource (inside the LZMA stream when the build packed it); its Windows path."""
        with open(SETUP_EXE, "rb") as f:
            data = bytearray(f.read())
        offset, size = resources(data)[("EXE", 119)]
        data[offset + size // 2] ^= 0x01
        with open(self.m.unix("C:\\damaged_setup.exe"), "wb") as f:
            f.write(data)
        return "C:\\damaged_setup.exe"

    def test_failed_upgrade_keeps_the_previous_installation(self):
        for fault in ("a plug-in in use", "disk full", "a damaged payload resource"):
            with self.subTest(fault=fault):
                self.fresh_machine()
                before = self.earlier_installation()
                registry_before = self.m.registry()  # ends the wineserver: the registry is on disk
                if fault == "a plug-in in use":
                    self.hold("C:\\Px\\Plugins\\Slideshow.exe")
                    code = self.m.setup(SWITCHES)
                elif fault == "disk full":  # two pages left: the new files do not fit beside the old ones
                    self.m.full_disk("C:\\Px", 8192)
                    code = self.m.setup(SWITCHES)
                else:
                    code = self.m.setup(SWITCHES, exe=self.damaged_setup())
                self.assertEqual(code, 5)
                self.assertEqual(self.log_message(), b"C:\\Px\\: " + INSTALL_FAILED)
                registry = self.m.registry()
                self.assertEqual(files_below(self.m.unix("C:\\Px")), before)  # no temporary file either
                self.assertEqual(registry.hklm, registry_before.hklm)
                self.assertEqual(registry.hkcu, registry_before.hkcu)
                self.assertFalse(os.path.exists(self.m.unix(PROGRAMS + "\\Pixmora")))

    def test_failed_fresh_installation_leaves_no_payload_file(self):
        self.fresh_machine()
        self.m.full_disk("C:\\Neu", 8192)
        self.assertEqual(self.m.setup("/silent /folder=C:\\Neu\\Pixmora"), 5)
        self.assertEqual(self.log_message(), b"C:\\Neu\\Pixmora\\: " + INSTALL_FAILED)
        self.assertEqual(files_below(self.m.unix("C:\\Neu")), {})  # the folders it made may stay
        self.assertIsNone(self.m.registry().key("HKLM\\SOFTWARE\\Classes\\Pixmora"))


class FailedRows(Runs):
    """Rows after the payload that cannot be written: the run goes on, names them and ends with 6."""

    def test_each_failed_row_is_named_and_the_rest_is_written(self):
        group = PROGRAMS + "\\Pixmora"
        group_links = [group + "\\" + link for link in (
            "Pixmora 4.00.lnk", "Pixmora - Thumbnails.lnk", "Pixmora deinstallieren.lnk", "\u00dcber Pixmora.lnk",
            "Was ist neu.lnk", "Kommandozeilen-Optionen.lnk", "Verf\u00fcgbare PlugIns.lnk",
            "Verf\u00fcgbare Sprachen.lnk", "\u00dcber PlugIns.lnk", "Pixmora Hilfe.lnk")]
        cases = [
            # (fault, the rows named in the log)
            ("uninstall entry denies writes",
             ["HKEY_LOCAL_MACHINE\\" + UNINSTALL, f"HKEY_LOCAL_MACHINE\\{UNINSTALL} (DisplayName)",
              f"HKEY_LOCAL_MACHINE\\{UNINSTALL} (UninstallString)"] +
             [f"HKEY_LOCAL_MACHINE\\{UNINSTALL} ({value})" for value in (
                 "DisplayVersion", "Publisher", "InstallLocation", "DisplayIcon", "EstimatedSize", "NoModify",
                 "NoRepair")]),
            ("program group is a plain file", group_links),
            # A program of the user's plants a link where the group goes, pointing elsewhere.
            ("program group is a planted link", group_links),
            ("desktop link is a folder", ["C:\\users\\Public\\Desktop\\Pixmora.lnk"]),
            ("settings file is a folder", ["C:\\Px\\pxm32.ini"]),
        ]
        for fault, named in cases:
            with self.subTest(fault=fault):
                self.fresh_machine()
                m = self.m
                if fault.startswith("uninstall"):
                    m.keep_server()  # Wine keeps a key's security only while its server runs
                    self.assertEqual(m.wine(PXTOOL, "deny-writes", UNINSTALL), 0)
                elif fault == "program group is a plain file":
                    os.makedirs(m.unix(PROGRAMS), exist_ok=True)
                    with open(m.unix(group), "w") as f:
                        f.write("in the way")
                elif fault == "program group is a planted link":
                    os.makedirs(m.unix(PROGRAMS), exist_ok=True)
                    os.makedirs(m.unix("C:\\windows\\PxmElsewhere"))
                    os.symlink(m.unix("C:\\windows\\PxmElsewhere"), m.unix(group))
                elif fault.startswith("desktop"):
                    os.makedirs(m.unix("C:\\users\\Public\\Desktop\\Pixmora.lnk"))
                else:
                    os.makedirs(m.unix("C:\\Px\\pxm32.ini"))

                self.assertEqual(m.setup(SWITCHES), 6)
                message = self.log_message()
                head = b"C:\\Px\\: " + INSTALLED_BUT
                self.assertTrue(message.startswith(head), message)
                self.assertEqual(message[len(head):].decode("cp1252").split("\r\n"), named)

                # Everything else was written.
                for rel in PAYLOAD_FILES:
                    with open(os.path.join(m.unix("C:\\Px"), rel), "rb") as f:
                        self.assertEqual(f.read(), payload_bytes(rel), rel)
                reg = m.registry()
                self.assertEqual(reg.value("HKLM\\SOFTWARE\\Classes\\Pixmora\\shell\\open\\command"),
                                 '"C:\\Px\\pxm32.exe" "%1"')
                self.assertEqual(reg.value("HKLM\\SOFTWARE\\Classes\\Pixmora.jpg"), "Pixmora JPG File")
                self.assertEqual(reg.value("HKLM\\" + UNINSTALL, "DisplayName"),
                                 None if fault.startswith("uninstall") else "Pixmora (remove only)")
                self.assertEqual(os.path.isfile(m.unix("C:\\users\\Public\\Desktop\\Pixmora.lnk")),
                                 not fault.startswith("desktop"))
                if fault == "program group is a planted link":
                    self.assertEqual(os.listdir(m.unix("C:\\windows\\PxmElsewhere")), [])


class CommandLinesAndFolders(Runs):
    def test_exit_codes(self):
        long_dir = "C:\\" + "\\".join(["Bereitstellung Softwareverteilung Pakete"] * 5)
        window_left = 520 - len("/silent ") - len("/folder=C:\\Pixmora\\Unt")
        cases = [
            # (case, command line after the program name, exit code, installed into, log message)
            ("long program path, switches past 520 characters of the whole line",
             "/silent" + " " * 300 + "/folder=C:\\Px /group=1 /allusers=1", 0, "C:\\Px", None),
            ("/folder= value cut by the window", "/silent " + " " * window_left + "/folder=C:\\Pixmora\\Unterordner",
             3, None, INVALID_FOLDER + b": C:\\Pixmora\\Unt"),
            ("/log= value cut by the window",
             "/silent /folder=C:\\Pixmora" + " " * (window_left - len("/folder=C:\\Pixmora") + 3) +
             "/log=C:\\Pixmora\\Unterordner\\x.log", 3, None, INVALID_LOG_FILE + b": C:\\Pixmora\\Unt"),
            ("/log= value longer than a value may be", "/silent /folder=C:\\Pixmora /log=C:\\" + "L" * 300 + "\\x.log",
             3, None, INVALID_LOG_FILE + b": C:\\" + b"L" * 252),
            ("drive without backslash", "/silent /folder=C:Pixmora", 3, None, INVALID_FOLDER + b": C:Pixmora"),
            ("drive alone", "/silent /folder=C:", 3, None, INVALID_FOLDER + b": C:"),
            ("new folders below an existing share", "/silent /folder=\\\\server\\share\\Programme\\Pixmora",
             0, "\\\\server\\share\\Programme\\Pixmora", None),
        ]
        for case, cmdline, code, folder, logged in cases:
            with self.subTest(case=case):
                self.fresh_machine()
                m = self.m
                # Wine keeps the folders of \\server\share in the prefix, below dosdevices/unc.
                share = os.path.join(m.prefix, "dosdevices", "unc", "server", "share")
                os.makedirs(share)
                exe = None
                if case.startswith("long program path"):
                    os.makedirs(m.unix(long_dir))
                    with open(SETUP_EXE, "rb") as src, open(m.unix(long_dir + "\\pixmora_setup.exe"), "wb") as dst:
                        dst.write(src.read())
                    exe = long_dir + "\\pixmora_setup.exe"
                    self.assertGreater(len(exe) + 3 + len(cmdline) - len("/group=1 /allusers=1"), 520)
                self.assertEqual(m.setup(cmdline, exe=exe), code)
                if logged:
                    self.assertEqual(self.log_message(), logged)
                else:
                    self.assertIsNone(m.log)
                if folder:
                    root = os.path.join(share, "Programme", "Pixmora") if folder.startswith("\\\\") else m.unix(folder)
                    self.assertEqual(sorted(files_below(root)), sorted(PAYLOAD_FILES + ["pxm32.ini"]))
                if exe:
                    self.assertTrue(os.path.isfile(m.unix(PROGRAMS + "\\Pixmora\\Pixmora 4.00.lnk")))
                if code == 3:
                    self.assertFalse(os.path.exists(m.unix("C:\\Pixmora")))
                    self.assertFalse([n for n in os.listdir(m.unix("C:\\")) if n.startswith("LLL")])
                    self.assertEqual(os.listdir(share), [])


if __name__ == "__main__":
    unittest.main()

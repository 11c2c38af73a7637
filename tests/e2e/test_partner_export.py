"""The desktop-search check that the setup exports, called by another program that loads
pixmora_setup.exe as a library, on machines of each Windows version."""
import os
import unittest

from harness import BUILD, SETUP_EXE, Machine

PROBE = os.path.join(BUILD, "tools", "gds_probe.exe")
NT_VERSION = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
SERVICE_PACK = r"HKLM\System\CurrentControlSet\Control\Windows"
PROBE_DEFAULTS = r"HKCU\Software\Wine\AppDefaults\gds_probe.exe"
DESKTOP_KEY = r"HKCU\Software\Google\Google Desktop"


class ExportedCheck(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # One machine: the version is read when a process starts, so each case is a new probe run.
        cls.m = Machine()

    @classmethod
    def tearDownClass(cls):
        cls.m.close()

    def ask(self):
        """(answer by name, mask, answer by ordinal 1, mask, answer without a mask pointer)."""
        out = os.path.join(self.m.cwd, "answer.txt")
        if os.path.exists(out):
            os.remove(out)
        exe = "Z:" + SETUP_EXE.replace("/", "\\")
        self.assertEqual(self.m.wine(PROBE, exe, "answer.txt"), 0, "setup not loadable or export not found")
        with open(out) as f:
            return tuple(int(x) for x in f.read().split())

    def reg(self, *args):
        self.m.wine("reg", *args)

    def windows_2000(self, service_pack):
        """The system's own version record, as Windows 2000 with this service pack keeps it."""
        self.reg("add", NT_VERSION, "/v", "CurrentVersion", "/d", "5.0", "/f")
        self.reg("add", NT_VERSION, "/v", "CurrentBuildNumber", "/d", "2195", "/f")
        self.reg("add", NT_VERSION, "/v", "CSDVersion", "/d", f"Service Pack {service_pack}", "/f")
        for name in ("CurrentMajorVersionNumber", "CurrentMinorVersionNumber"):
            self.m.wine("reg", "delete", NT_VERSION, "/v", name, "/f", check=False)
        self.reg("add", SERVICE_PACK, "/v", "CSDVersion", "/t", "REG_DWORD", "/d", str(service_pack << 8), "/f")

    def test_answers_by_name_and_ordinal_per_machine(self):
        def timestamp(value):
            self.reg("add", DESKTOP_KEY, "/v", "timestamp", "/t", "REG_DWORD", "/d", str(value), "/f")

        cases = [  # (machine, how to make it, expected mask)
            ("Windows 7, never installed", lambda: None, 0),
            ("timestamp 0", lambda: timestamp(0), 0),
            ("timestamp set", lambda: timestamp(1136070000), 0x01),
            ("Windows 2000 SP2, timestamp set", lambda: self.windows_2000(2), 0x05),
            ("Windows 2000 SP2", lambda: timestamp(0), 0x04),
            ("Windows 2000 SP3", lambda: self.windows_2000(3), 0),
        ]
        # Wine's named versions come last: they take precedence over the system's record.
        for version, mask in (("win98", 0x04), ("win2k", 0), ("winxp", 0), ("vista", 0), ("win10", 0)):
            cases.append((version, lambda v=version: self.reg("add", PROBE_DEFAULTS, "/v", "Version", "/d", v, "/f"),
                          mask))
        for name, make, mask in cases:
            with self.subTest(machine=name):
                make()
                answer = 1 if mask == 0 else 0
                self.assertEqual(self.ask(), (answer, mask, answer, mask, answer))


if __name__ == "__main__":
    unittest.main()

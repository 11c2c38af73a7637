"""The setup never loads a library planted beside it, and imports only libraries that Windows
always takes from its own folder."""
import os
import re
import shutil
import subprocess
import unittest

from harness import Machine, BUILD, SETUP_EXE

TOOLS = os.path.join(BUILD, "tools")
# Libraries the setup loads itself after start or that system libraries load on its behalf.
# Not gdi32.dll and version.dll: Wine's user32 imports them, so they are resolved before the
# program's first instruction (on Windows gdi32 is a known library and user32 needs no version.dll).
PLANTED = ["shell32.dll", "ole32.dll", "comctl32.dll", "wininet.dll", "uxtheme.dll", "winmm.dll",
           "dwmapi.dll", "propsys.dll", "oleaut32.dll", "shlwapi.dll", "urlmon.dll", "iertutil.dll"]
# Libraries that Windows loads from its own folder whatever the search order says.
ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"}


class PlantedLibraries(unittest.TestCase):
    def setUp(self):
        self.m = Machine()
        self.addCleanup(self.m.close)
        self.downloads = self.m.unix("C:\\Downloads")
        os.makedirs(self.downloads)
        for name in PLANTED:
            shutil.copy(os.path.join(TOOLS, "trap.dll"), os.path.join(self.downloads, name))
        # Let Wine prefer a native library wherever the search finds one, as Windows would.
        stems = ",".join(n[:-4] for n in PLANTED)
        self.m.env["WINEDLLOVERRIDES"] += f";{stems}=n,b"

    def trapped(self):
        return sorted(f for f in os.listdir(self.downloads) if f.startswith("TRAPPED-"))

    def test_trap_works_for_an_unprotected_program(self):
        shutil.copy(os.path.join(TOOLS, "trap_probe.exe"), self.downloads)
        self.m.wine("C:\\Downloads\\trap_probe.exe", "shell32.dll")
        self.assertTrue(self.trapped(), "the trap library was not loaded by the control program")

    def test_setup_loads_none_of_them(self):
        shutil.copy(SETUP_EXE, self.downloads)
        self.m.start_display()
        code = self.m.wine("C:\\Downloads\\pixmora_setup.exe", "/silent", "/folder=C:\\Px", "/group=1",
                           "/desktop=1", "/thumbs=1", "/assoc=2", cwd=self.downloads)
        self.assertEqual(code, 0)
        self.assertEqual(self.trapped(), [])


class ImportTable(unittest.TestCase):
    def test_static_imports_are_system_libraries_only(self):
        out = subprocess.run(["i686-w64-mingw32-objdump", "-p", SETUP_EXE], capture_output=True,
                             text=True, check=True).stdout
        imports = {m.lower() for m in re.findall(r"^\s*DLL Name: (\S+)", out, re.M)}
        self.assertTrue(imports)
        self.assertLessEqual(imports, ALLOWED_IMPORTS)


if __name__ == "__main__":
    unittest.main()

"""The setup never loads a library planted beside it, and imports only libraries that Windows
always takes from its own folder."""
import os
import re
import shutil
import subprocess
import unittest

from harness import Machine, BUILD, SETUP_EXE, bound

TOOLS = os.path.join(BUILD, "tools")
# Libraries that a planted copy could replace on Windows: used by the setup or by the system
# libraries it loads, and not among the known libraries that Windows always takes from its own
# folder (shell32, ole32, oleaut32, shlwapi, wininet, urlmon, gdi32, ... are). Not version.dll:
# Wine's user32 imports it, so it is resolved before the program's first instruction.
PLANTED = ["comctl32.dll", "uxtheme.dll", "dwmapi.dll", "propsys.dll", "winmm.dll", "cryptbase.dll",
           "profapi.dll", "secur32.dll", "netapi32.dll", "linkinfo.dll", "ntshrui.dll", "msimg32.dll",
           "riched20.dll", "winhttp.dll", "dbghelp.dll", "apphelp.dll", "userenv.dll", "mpr.dll"]
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
        self.m.wine("C:\\Downloads\\trap_probe.exe", "uxtheme.dll")
        self.assertTrue(self.trapped(), "the trap library was not loaded by the control program")

    def test_setup_loads_none_of_them(self):
        shutil.copy(SETUP_EXE, self.downloads)
        self.m.start_display()
        code = self.m.wine("C:\\Downloads\\pixmora_setup.exe", "/silent", "/folder=C:\\Px", "/group=1",
                           "/desktop=1", "/thumbs=1", "/assoc=2", cwd=self.downloads)
        self.assertEqual(code, 0)
        self.assertEqual(self.trapped(), [])


class LazyLoading(unittest.TestCase):
    """A silent run loads the shell, COM, common controls and WinInet only when it needs them."""

    def modules_loaded(self, cmdline):
        m = Machine()
        self.addCleanup(m.close)
        trace = os.path.join(m.root, "loaddll.txt")
        with open(trace, "w") as out:
            code = subprocess.run(["wine", SETUP_EXE, *cmdline], env=dict(m.env, WINEDEBUG="+loaddll"),
                                  cwd=m.cwd, stdout=subprocess.DEVNULL, stderr=out, timeout=bound(120)).returncode
        self.assertEqual(code, 0)
        with open(trace, errors="replace") as f:
            lines = [l for l in f if "Loaded" in l]
        pid = next(l.split(":")[0] for l in lines if "pixmora_setup.exe" in l)
        return {re.search(r'([^\\"]+)" at', l).group(1).lower() for l in lines if l.startswith(pid + ":")}

    def test_silent_run_loads_no_common_controls_or_network(self):
        # The shell itself comes in for the association-changed notice that every run sends.
        loaded = self.modules_loaded(["/silent", "/folder=C:\\Px"])
        self.assertTrue({"kernel32.dll", "user32.dll"} <= loaded, loaded)
        self.assertEqual(loaded & {"comctl32.dll", "wininet.dll"}, set())

    def test_shortcuts_bring_in_com(self):
        loaded = self.modules_loaded(["/silent", "/folder=C:\\Px", "/group=1"])
        self.assertTrue({"shell32.dll", "ole32.dll"} <= loaded, loaded)


class ImportTable(unittest.TestCase):
    def test_static_imports_are_system_libraries_only(self):
        out = subprocess.run(["i686-w64-mingw32-objdump", "-p", SETUP_EXE], capture_output=True,
                             text=True, check=True).stdout
        imports = {m.lower() for m in re.findall(r"^\s*DLL Name: (\S+)", out, re.M)}
        self.assertTrue(imports)
        self.assertLessEqual(imports, ALLOWED_IMPORTS)


if __name__ == "__main__":
    unittest.main()

"""A machine for the partner steps: its mirrors are our test server, its temporary folder is one
the test chooses, and the started installers are a stand-in that records its command line."""
import ntpath
import os
import shutil

from harness import Machine
from network import FAKE_PARTNER, TestServer, import_reg, tool, use_proxy

TOOLBAR = "/google/google_toolbar4_de.exe"
TOOLBAR_9X = "/google/google_toolbar_9x_de.exe"
DESKTOP = "/google/google_ds_de.exe"
RECORD = "C:\\partner_record.txt"
HOLD = "C:\\partner_hold"          # the stand-in keeps running while this file exists
EXIT_CODE = "C:\\partner_exit.txt"  # the stand-in's exit code
BLANK_TEMP = "C:\\Documents and Settings\\pix\\Temp"

TOOLBAR_RUN = ("google_toolbar_installer.exe", "/q /-b /s:de")
TOOLBAR_9X_RUN = ("google_toolbar_installer.exe", "/q /s:de")
DESKTOP_RUN = ("gds_de.exe", "-silent -bundle PXMA")


def tampered(body):
    """The signed file with one byte of its (signed) padding changed."""
    middle = len(body) // 2
    return body[:middle] + bytes([body[middle] ^ 1]) + body[middle + 1:]


class PartnerMachine:
    """A fresh machine whose mirrors are our server and whose temporary folder is `temp`, with a
    program where an unquoted temporary path with a blank would lead the system."""

    def __init__(self, test, version, temp, routes):
        self.temp = temp
        self.m = Machine(version, display=True)
        test.addCleanup(self.m.close)
        self.server = TestServer(lifetime=400).start()
        test.addCleanup(self.server.stop)
        for path, route in routes.items():
            self.server.route(path, **route)
        use_proxy(self.m, self.server.port)
        escaped = temp.replace("\\", "\\\\")
        import_reg(self.m, '[HKEY_CURRENT_USER\\Environment]\n"TEMP"="%s"\n"TMP"="%s"\n' % (escaped, escaped))
        os.makedirs(self.m.unix(temp), exist_ok=True)
        shutil.copy(FAKE_PARTNER, self.m.unix("C:\\Documents.exe"))
        self.trace_path = os.path.join(self.m.root, "trace.txt")
        self.m.listen_debug(self.trace_path)

    def trace(self):
        """What the setup told a debugger: why a partner step failed, when one did."""
        if not os.path.exists(self.trace_path):
            return ""
        with open(self.trace_path, encoding="latin-1") as f:
            return f.read()

    def install(self, toolbar, desktop):
        """(exit code, printed "result toolbar-failed desktop-failed") of an installation with the
        partner steps after it, as the wizard runs them."""
        return tool(self.m, "install", "C:\\Px", str(toolbar), str(desktop), timeout=240)

    def record(self):
        """What the started programs wrote: start lines with program, command line and current
        directory, end lines."""
        if not os.path.exists(self.m.unix(RECORD)):
            return []
        with open(self.m.unix(RECORD), encoding="cp1252") as f:
            return f.read().splitlines()

    def check_started(self, test, started):
        """Each installer ran from a folder of its own under the temporary folder, with a name
        nobody could guess, under its full path, quoted, with its switches and that folder as its
        current directory (never a program that an unquoted path would name), was waited for and
        stayed on disk meanwhile."""
        lines = self.record()
        test.assertEqual(len(lines), 2 * len(started), lines)
        folders = set()
        for (file, switches), start, end in zip(started, lines[0::2], lines[1::2]):
            _, program, command, cwd = start.split("|")
            folder = ntpath.dirname(program)
            test.assertEqual(ntpath.dirname(folder), self.temp)
            test.assertRegex(ntpath.basename(folder), r"^pxm[0-9a-f]{16}$")
            test.assertEqual((ntpath.basename(program), command, cwd, end),
                             (file, '"%s" %s' % (program, switches), folder, "end|1"))
            folders.add(folder)
        test.assertEqual(len(folders), len(started))

    def left_in_temp(self):
        return sorted(os.listdir(self.m.unix(self.temp)))

    def requests(self):
        return [(r[1].split(":")[0], r[2]) for r in self.server.requests]

"""The partner steps of the installation run end to end: downloads from the mirrors (our HTTP
server as proxy), the size limits, the started installers (a stand-in that records its command
line) and what is left in the temporary folder."""
import os
import shutil
import threading
import time
import unittest

from harness import Machine
from network import FAKE_PARTNER, MIRROR_HOSTS, TestServer, import_reg, tool, use_proxy

TOOLBAR = "/google/google_toolbar4_de.exe"
TOOLBAR_9X = "/google/google_toolbar_9x_de.exe"
DESKTOP = "/google/google_ds_de.exe"
RECORD = "C:\\partner_record.txt"


def installer(size):
    """The stand-in installer padded to `size` bytes."""
    with open(FAKE_PARTNER, "rb") as f:
        data = f.read()
    assert len(data) <= size
    return data + bytes(size - len(data))


class PartnerSteps(unittest.TestCase):
    def run_steps(self, version, temp, routes, toolbar, desktop, driver=None):
        """Runs the installation with the two partner choices on a fresh machine of that Windows
        version, whose temporary folder is `temp`. Returns (printed result, started command
        lines with their end marks, files left in the temporary folder, requests)."""
        m = Machine(version, display=True)
        server = TestServer(lifetime=300).start()
        try:
            for path, route in routes.items():
                server.route(path, **route)
            use_proxy(m, server.port)
            import_reg(m, '[HKEY_CURRENT_USER\\Environment]\n"TEMP"="%s"\n"TMP"="%s"\n'
                       % (temp.replace("\\", "\\\\"), temp.replace("\\", "\\\\")))
            os.makedirs(m.unix(temp), exist_ok=True)
            # A program where an unquoted temporary path with a blank would lead the system.
            shutil.copy(FAKE_PARTNER, m.unix("C:\\Documents.exe"))
            if driver:
                driver(m)
            code, out = tool(m, "install", "C:\\Px", str(toolbar), str(desktop), timeout=240)
            self.assertEqual(code, 0, out)
            record = []
            if os.path.exists(m.unix(RECORD)):
                with open(m.unix(RECORD), encoding="cp1252") as f:
                    record = f.read().splitlines()
            return out, record, sorted(os.listdir(m.unix(temp))), [(r[1].split(":")[0], r[2]) for r in server.requests]
        finally:
            server.stop()
            m.close()

    def test_partner_steps(self):
        blank = "C:\\Documents and Settings\\pix\\Temp"
        toolbar = ("google_toolbar_installer.exe", "/q /-b /s:de")
        toolbar_9x = ("google_toolbar_installer.exe", "/q /s:de")
        desktop = ("gds_de.exe", "-silent -bundle PXMA")
        # (case, Windows, temporary folder, body sizes by path (None: 404), chosen toolbar and
        #  desktop, printed "result toolbar-failed desktop-failed", installers started)
        cases = [
            ("both accepted", "winxp", blank, {TOOLBAR: 811001, DESKTOP: 746001}, 1, 1, "1 0 0", [toolbar, desktop]),
            ("exactly at the limits", "winxp", "C:\\Temp", {TOOLBAR: 811000, DESKTOP: 746000}, 1, 1, "1 1 1", []),
            ("9x size on NT, desktop still tried", "winxp", "C:\\Temp", {TOOLBAR: 600000, DESKTOP: 746001}, 1, 1, "1 1 0", [desktop]),
            ("9x toolbar, desktop missing", "win98", "C:\\Temp", {TOOLBAR_9X: 600000, DESKTOP: None}, 1, 1, "1 0 1", [toolbar_9x]),
            ("9x toolbar at its limit", "win98", "C:\\Temp", {TOOLBAR_9X: 559000}, 1, 0, "1 1 0", []),
            ("desktop only", "winxp", "C:\\Temp", {DESKTOP: 746001}, 0, 1, "1 0 0", [desktop]),
        ]
        for name, version, temp, sizes, chosen_toolbar, chosen_desktop, printed, started in cases:
            with self.subTest(case=name):
                routes = {path: dict(body=installer(size)) for path, size in sizes.items() if size is not None}
                out, record, left, requests = self.run_steps(version, temp, routes, chosen_toolbar, chosen_desktop)
                self.assertEqual(out, printed)
                # Each installer ran from the temporary folder (never a program that an unquoted
                # path would name) with its switches, was waited for, and stayed on disk meanwhile.
                expected = []
                for file, switches in started:
                    path = "%s\\%s" % (temp, file)
                    expected += ['start|%s|"%s" %s' % (path, path, switches), "end|1"]
                self.assertEqual(record, expected)
                self.assertEqual(left, [])
                self.assertEqual([path for _, path in requests], list(sizes))
                for host, _ in requests:
                    self.assertIn(host, MIRROR_HOSTS)

    def test_cancelled_toolbar_download(self):
        # The user cancels the toolbar's (slow) download: its flag is set, nothing of it stays
        # in the temporary folder, and the desktop search still comes.
        seen = []

        def cancel_first_dialog(m):
            def drive():
                end = time.time() + 60
                while time.time() < end:
                    code, texts = tool(m, "texts")
                    if code == 0 and texts.split("|")[1]:
                        seen.append(texts.split("|")[1])
                        tool(m, "cancel")
                        return
                    time.sleep(0.3)
            thread = threading.Thread(target=drive, daemon=True)
            thread.start()
            self.addCleanup(thread.join, 90)

        routes = {TOOLBAR: dict(body=installer(811001), chunk=1024, delay=0.5), DESKTOP: dict(body=installer(746001))}
        out, record, left, _ = self.run_steps("winxp", "C:\\Temp", routes, 1, 1, driver=cancel_first_dialog)
        self.assertEqual(seen, ["Google Toolbar"])
        self.assertEqual(out, "1 1 0")
        self.assertEqual(record, ['start|C:\\Temp\\gds_de.exe|"C:\\Temp\\gds_de.exe" -silent -bundle PXMA', "end|1"])
        self.assertEqual(left, [])


if __name__ == "__main__":
    unittest.main()

"""The partner steps of the installation run end to end: downloads from the mirrors (our HTTP
server as proxy), the size limits, the started installers (a stand-in that records its command
line) and what is left in the temporary folder; once through the steps alone on each Windows
line, and through the wizard up to its finish page."""
import os
import shutil
import threading
import time
import unittest

from harness import Machine, Wizard
from network import FAKE_PARTNER, MIRROR_HOSTS, TestServer, import_reg, installer, tool, use_proxy

TOOLBAR = "/google/google_toolbar4_de.exe"
TOOLBAR_9X = "/google/google_toolbar_9x_de.exe"
DESKTOP = "/google/google_ds_de.exe"
RECORD = "C:\\partner_record.txt"
BLANK_TEMP = "C:\\Documents and Settings\\pix\\Temp"

TOOLBAR_RUN = ("google_toolbar_installer.exe", "/q /-b /s:de")
TOOLBAR_9X_RUN = ("google_toolbar_installer.exe", "/q /s:de")
DESKTOP_RUN = ("gds_de.exe", "-silent -bundle PXMA")


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

    def record(self):
        """What the started programs wrote: start lines with program and command line, end lines."""
        if not os.path.exists(self.m.unix(RECORD)):
            return []
        with open(self.m.unix(RECORD), encoding="cp1252") as f:
            return f.read().splitlines()

    def expected_record(self, started):
        lines = []
        for file, switches in started:
            path = "%s\\%s" % (self.temp, file)
            lines += ['start|%s|"%s" %s' % (path, path, switches), "end|1"]
        return lines

    def left_in_temp(self):
        return sorted(os.listdir(self.m.unix(self.temp)))

    def requests(self):
        return [(r[1].split(":")[0], r[2]) for r in self.server.requests]


class PartnerSteps(unittest.TestCase):
    def check(self, pm, started, paths):
        # Each installer ran from the temporary folder (never a program that an unquoted path
        # would name) with its switches, was waited for and stayed on disk meanwhile; nothing
        # of the downloads stays behind.
        self.assertEqual(pm.record(), pm.expected_record(started))
        self.assertEqual(pm.left_in_temp(), [])
        self.assertEqual([path for _, path in pm.requests()], paths)
        for host, _ in pm.requests():
            self.assertIn(host, MIRROR_HOSTS)

    def test_partner_steps(self):
        # (case, Windows, temporary folder, body sizes by path (None: 404), chosen toolbar and
        #  desktop, printed "result toolbar-failed desktop-failed", installers started)
        cases = [
            ("both accepted", "winxp", BLANK_TEMP, {TOOLBAR: 811001, DESKTOP: 746001}, 1, 1, "1 0 0", [TOOLBAR_RUN, DESKTOP_RUN]),
            ("exactly at the limits", "winxp", "C:\\Temp", {TOOLBAR: 811000, DESKTOP: 746000}, 1, 1, "1 1 1", []),
            ("9x size on NT, desktop still tried", "winxp", "C:\\Temp", {TOOLBAR: 600000, DESKTOP: 746001}, 1, 1, "1 1 0", [DESKTOP_RUN]),
            ("9x toolbar, desktop missing", "win98", "C:\\Temp", {TOOLBAR_9X: 600000, DESKTOP: None}, 1, 1, "1 0 1", [TOOLBAR_9X_RUN]),
            ("9x toolbar at its limit", "win98", "C:\\Temp", {TOOLBAR_9X: 559000}, 1, 0, "1 1 0", []),
            ("desktop only", "winxp", "C:\\Temp", {DESKTOP: 746001}, 0, 1, "1 0 0", [DESKTOP_RUN]),
        ]
        for name, version, temp, sizes, toolbar, desktop, printed, started in cases:
            with self.subTest(case=name):
                routes = {path: dict(body=installer(size)) for path, size in sizes.items() if size is not None}
                pm = PartnerMachine(self, version, temp, routes)
                code, out = tool(pm.m, "install", "C:\\Px", str(toolbar), str(desktop), timeout=240)
                self.assertEqual((code, out), (0, printed))
                self.check(pm, started, list(sizes))
                pm.m.close()

    def test_cancelled_toolbar_download(self):
        # The user cancels the toolbar's (slow) download: its flag is set, nothing of it stays
        # in the temporary folder, and the desktop search still comes.
        routes = {TOOLBAR: dict(body=installer(811001), chunk=1024, delay=0.5), DESKTOP: dict(body=installer(746001))}
        pm = PartnerMachine(self, "winxp", "C:\\Temp", routes)
        seen = []

        def cancel_first_dialog():
            end = time.time() + 60
            while time.time() < end:
                code, texts = tool(pm.m, "texts")
                if code == 0 and texts.split("|")[1]:
                    seen.append(texts.split("|")[1])
                    tool(pm.m, "cancel")
                    return
                time.sleep(0.3)

        driver = threading.Thread(target=cancel_first_dialog, daemon=True)
        driver.start()
        code, out = tool(pm.m, "install", "C:\\Px", "1", "1", timeout=240)
        driver.join(60)
        self.assertEqual(seen, ["Google Toolbar"])
        self.assertEqual((code, out), (0, "1 1 0"))
        self.check(pm, [DESKTOP_RUN], [TOOLBAR, DESKTOP])


class PartnerStepsInTheWizard(unittest.TestCase):
    def test_finish_page_notes_follow_the_downloads(self):
        # (case, body sizes by path (None: 404), installers started, toolbar note, desktop note)
        cases = [
            ("both installed", {TOOLBAR: 811001, DESKTOP: 746001}, [TOOLBAR_RUN, DESKTOP_RUN], 1, 1),
            ("toolbar download failed", {TOOLBAR: None, DESKTOP: 746001}, [DESKTOP_RUN], 0, 1),
        ]
        for name, sizes, started, toolbar_note, desktop_note in cases:
            with self.subTest(case=name):
                routes = {path: dict(body=installer(size)) for path, size in sizes.items() if size is not None}
                pm = PartnerMachine(self, None, BLANK_TEMP, routes)
                w = Wizard(pm.m, toolbar=True, desktop=True)
                for page in (1, 2, 3):
                    w.press("next", page)
                self.assertEqual((w.state(1034)[0], w.state(1035)[0]), (1, 1))  # both offers accepted
                w.press("next", 4)
                w.press("next")
                w.wait_page(5, seconds=120)
                self.assertEqual((w.state(1028)[2], w.state(1029)[2]), (toolbar_note, desktop_note))
                w.screenshot("partner-finish-" + name.replace(" ", "-"))
                self.check_record(pm, started)
                w.press("cancel")
                self.assertEqual(w.exit_code(), 0)
                pm.m.close()

    def check_record(self, pm, started):
        self.assertEqual(pm.record(), pm.expected_record(started))
        self.assertEqual(pm.left_in_temp(), [])


if __name__ == "__main__":
    unittest.main()

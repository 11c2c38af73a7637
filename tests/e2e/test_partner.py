"""The partner steps of the installation run end to end, once through the steps alone on each
Windows line: downloads from the mirrors (our HTTP server as proxy), the size limits, cancelling,
the signature check, the started installers (a stand-in that records its command line, signed at
test time) and what is left in the temporary folder."""
import os
import shutil
import subprocess
import threading
import time
import unittest

from harness import bound, deadline
from network import DLTOOL, FAKE_PARTNER, MIRROR_HOSTS, installer, tool
from partner import (BLANK_TEMP, DESKTOP, DESKTOP_RUN, TOOLBAR, TOOLBAR_9X, TOOLBAR_9X_RUN, TOOLBAR_RUN,
                     PartnerMachine)


class PartnerSteps(unittest.TestCase):
    def check(self, pm, started, paths, left=()):
        # Nothing of the downloads stays behind, and every request went to a mirror.
        pm.check_started(self, started)
        self.assertEqual(pm.left_in_temp(), sorted(left))
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
                self.assertEqual(pm.install(toolbar, desktop), (0, printed), pm.trace())
                self.check(pm, started, list(sizes))
                pm.m.close()

    def test_cancelled_toolbar_download(self):
        # The user cancels the toolbar's (slow) download: its flag is set, nothing of it stays
        # in the temporary folder, and the desktop search still comes.
        routes = {TOOLBAR: dict(body=installer(811001), chunk=1024, delay=0.5), DESKTOP: dict(body=installer(746001))}
        pm = PartnerMachine(self, "winxp", "C:\\Temp", routes)
        seen = []

        def cancel_first_dialog():
            end = deadline(60)
            while time.time() < end:
                code, texts = tool(pm.m, "texts")
                if code == 0 and texts.split("|")[1]:
                    seen.append(texts.split("|")[1])
                    tool(pm.m, "cancel")
                    return
                time.sleep(0.3)

        driver = threading.Thread(target=cancel_first_dialog, daemon=True)
        driver.start()
        result = pm.install(1, 1)
        driver.join(bound(60))
        self.assertEqual(seen, ["Google Toolbar"])
        self.assertEqual(result, (0, "1 1 0"), pm.trace())
        self.check(pm, [DESKTOP_RUN], [TOOLBAR, DESKTOP])

    def test_nothing_runs_where_signatures_cannot_be_checked(self):
        # A system without the trust library: the signed installer is fetched but not run.
        pm = PartnerMachine(self, "winxp", "C:\\Temp", {DESKTOP: dict(body=installer(746001))})
        pm.m.env["WINEDLLOVERRIDES"] += ";wintrust="
        self.assertEqual(pm.install(0, 1), (0, "1 0 1"), pm.trace())
        self.check(pm, [], [DESKTOP])

    def test_planted_files_at_the_old_names_are_left_alone(self):
        # Someone put a program at the desktop search's old fixed name in the temporary folder,
        # and at the toolbar's a link to a file of the user's: neither is run, followed,
        # overwritten or removed.
        pm = PartnerMachine(self, "winxp", "C:\\Temp", {TOOLBAR: dict(body=installer(811001)),
                                                        DESKTOP: dict(body=installer(746001))})
        planted = pm.m.unix("C:\\Temp\\gds_de.exe")
        shutil.copy(FAKE_PARTNER, planted)
        victim = pm.m.unix("C:\\victim.txt")
        with open(victim, "w") as f:
            f.write("keep")
        os.symlink(victim, pm.m.unix("C:\\Temp\\google_toolbar_installer.exe"))
        self.assertEqual(pm.install(1, 1), (0, "1 0 0"), pm.trace())
        self.check(pm, [TOOLBAR_RUN, DESKTOP_RUN], [TOOLBAR, DESKTOP],
                   left=["gds_de.exe", "google_toolbar_installer.exe"])
        with open(victim) as f:
            self.assertEqual(f.read(), "keep")
        with open(planted, "rb") as a, open(FAKE_PARTNER, "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_cancel_while_the_server_stalls(self):
        # The server stops in the middle of the body, or takes the request and never answers:
        # after Cancel the dialog is gone within a few seconds (not after the system's network
        # time-out), the step counts as failed, the next one still comes, and nothing is left.
        body = installer(811001)
        cases = [
            ("stalls after half of the body", dict(body=body, stall_after=len(body) // 2), lambda t: t[4] > 0),
            ("never answers", dict(silent=True), lambda t: True),
        ]
        for name, route, ready in cases:
            with self.subTest(case=name):
                pm = PartnerMachine(self, "winxp", "C:\\Temp", {TOOLBAR: route, DESKTOP: dict(body=installer(746001))})
                out_path = os.path.join(pm.m.root, "install.out")
                with open(out_path, "wb") as out:
                    run = subprocess.Popen(["wine", DLTOOL, "install", "C:\\Px", "1", "1"], env=pm.m.env,
                                           cwd=pm.m.cwd, stdout=out, stderr=subprocess.DEVNULL)
                pm.m.background.append(run)
                texts = self.wait_dialog(pm, lambda t: t[1] == "Google Toolbar" and ready(t))
                time.sleep(bound(1))  # the worker is now waiting on the server
                self.assertEqual(tool(pm.m, "cancel")[0], 0, texts)
                # Asked once a round: the dialog may close between two questions.
                gone = deadline(10)
                showing = True
                while showing and time.time() < gone:
                    showing = (self.dialog_texts(pm) or [None, None])[1] == "Google Toolbar"
                    if showing:
                        time.sleep(0.2)
                self.assertFalse(showing, "the dialog was still open 10 s after Cancel")
                run.wait(timeout=bound(120))
                with open(out_path, "rb") as f:
                    self.assertEqual(f.read().decode(), "1 1 0", pm.trace())
                self.check(pm, [DESKTOP_RUN], [TOOLBAR, DESKTOP])
                pm.m.close()

    def dialog_texts(self, pm):
        code, out = tool(pm.m, "texts")
        if code:
            return None
        parts = out.split("|")
        return parts[:4] + [int(p) for p in parts[4:]]

    def wait_dialog(self, pm, condition, timeout=60):
        end = deadline(timeout)
        while time.time() < end:
            texts = self.dialog_texts(pm)
            if texts and condition(texts):
                return texts
            time.sleep(0.3)
        raise AssertionError("the download dialog never showed what was expected")


if __name__ == "__main__":
    unittest.main()

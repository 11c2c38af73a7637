"""The partner steps of the installation run end to end: downloads from the mirrors (our HTTP
server as proxy), the size limits, the signature check, the started installers (a stand-in that
records its command line, signed at test time) and what is left in the temporary folder; once
through the steps alone on each Windows line, and through the wizard up to its finish page."""
import ntpath
import os
import shutil
import subprocess
import threading
import time
import unittest

from harness import Machine, R, Wizard, bound, deadline
from network import DLTOOL, FAKE_PARTNER, MIRROR_HOSTS, TestServer, import_reg, installer, tool, use_proxy

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
        code, out = tool(pm.m, "install", "C:\\Px", "1", "1", timeout=240)
        driver.join(bound(60))
        self.assertEqual(seen, ["Google Toolbar"])
        self.assertEqual((code, out), (0, "1 1 0"))
        self.check(pm, [DESKTOP_RUN], [TOOLBAR, DESKTOP])

    def test_nothing_runs_where_signatures_cannot_be_checked(self):
        # A system without the trust library: the signed installer is fetched but not run.
        pm = PartnerMachine(self, "winxp", "C:\\Temp", {DESKTOP: dict(body=installer(746001))})
        pm.m.env["WINEDLLOVERRIDES"] += ";wintrust="
        code, out = tool(pm.m, "install", "C:\\Px", "0", "1", timeout=240)
        self.assertEqual((code, out), (0, "1 0 1"))
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
        code, out = tool(pm.m, "install", "C:\\Px", "1", "1", timeout=240)
        self.assertEqual((code, out), (0, "1 0 0"))
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
                gone = deadline(10)
                while time.time() < gone and self.dialog_texts(pm) and self.dialog_texts(pm)[1] == "Google Toolbar":
                    time.sleep(0.2)
                self.assertNotEqual((self.dialog_texts(pm) or [None, None])[1], "Google Toolbar",
                                    "the dialog was still open 10 s after Cancel")
                run.wait(timeout=bound(120))
                with open(out_path, "rb") as f:
                    self.assertEqual(f.read().decode(), "1 1 0")
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


class PartnerStepsInTheWizard(unittest.TestCase):
    def test_finish_page_notes_follow_what_was_checked_and_run(self):
        # Only an installer signed by the expected publisher, unchanged since, is run, and only
        # one that ends with success counts as installed. Each row offers the toolbar the file
        # of the row and the desktop search a good one.
        # (case, toolbar body (None: 404), stand-in's exit code, installers started, toolbar
        #  note, desktop note, what the setup told a debugger)
        good = installer(811001)
        cases = [
            ("expected publisher", good, 0, [TOOLBAR_RUN, DESKTOP_RUN], 1, 1,
             "google_toolbar_installer.exe: signed by Google Inc"),
            ("toolbar download failed", None, 0, [DESKTOP_RUN], 0, 1, None),
            ("unsigned", installer(811001, signer=None), 0, [DESKTOP_RUN], 0, 1,
             "google_toolbar_installer.exe: signature not valid (0x800b0100)"),
            ("one byte changed after signing", tampered(good), 0, [DESKTOP_RUN], 0, 1,
             "google_toolbar_installer.exe: signature not valid (0x80096010)"),
            ("signed by another name", installer(811001, signer="Google Inc."), 0, [DESKTOP_RUN], 0, 1,
             'google_toolbar_installer.exe: signed by "Google Inc.", not by the partner'),
            ("stand-in exits with 1", good, 1, [TOOLBAR_RUN, DESKTOP_RUN], 0, 0,
             "google_toolbar_installer.exe: ended with exit code 1"),
        ]
        for name, toolbar, exit_code, started, toolbar_note, desktop_note, traced in cases:
            with self.subTest(case=name):
                routes = {DESKTOP: dict(body=installer(746001))}
                if toolbar is not None:
                    routes[TOOLBAR] = dict(body=toolbar)
                pm = PartnerMachine(self, None, BLANK_TEMP, routes)
                with open(pm.m.unix(EXIT_CODE), "w") as f:
                    f.write(str(exit_code))
                trace = os.path.join(pm.m.root, "trace.txt")
                w = Wizard(pm.m, toolbar=True, desktop=True, trace=trace)
                for page in (1, 2, 3):
                    w.press("next", page)
                self.assertEqual((w.state(R.IDC_BOTH_TOOLBAR)[0], w.state(R.IDC_BOTH_DESKTOP)[0]), (1, 1))  # both offers accepted
                w.press("next", 4)
                hold = name == "expected publisher"
                if hold:
                    with open(pm.m.unix(HOLD), "w"):
                        pass
                w.press("next")
                if hold:
                    self.check_wizard_alive_while_partner_runs(pm, w)
                w.wait_page(5, seconds=120)
                self.assertEqual((w.state(R.IDC_TOOLBAR_NOTE)[2], w.state(R.IDC_DESKTOP_NOTE)[2]), (toolbar_note, desktop_note))
                w.screenshot("partner-finish-" + name.replace(" ", "-"))
                pm.check_started(self, started)
                self.assertEqual(pm.left_in_temp(), [])
                w.press("cancel")
                self.assertEqual(w.exit_code(), 0)
                if traced:
                    with open(trace, encoding="latin-1") as f:
                        self.assertIn(traced, f.read())
                pm.m.close()

    def check_wizard_alive_while_partner_runs(self, pm, w):
        """While the setup waits for the (held) stand-in partner, the wizard answers (its page
        texts can be read, it paints) and takes no input; then the partner is let go."""
        end = deadline(120)
        while time.time() < end and not pm.record():
            time.sleep(0.3)
        self.assertTrue(pm.record(), "the partner was not started")
        # Its folder is closed to other users (Wine turns the folder's access list into the
        # Unix mode: nothing for others).
        folders = [n for n in pm.left_in_temp() if n.startswith("pxm")]
        self.assertEqual(len(folders), 1, pm.left_in_temp())
        mode = os.stat(os.path.join(pm.m.unix(pm.temp), folders[0])).st_mode
        self.assertEqual(mode & 0o007, 0, oct(mode))
        self.assertEqual(w("text", str(R.IDC_READY_TITLE)), "Bereit zum Installieren!")  # hangs if the wizard does not answer
        self.assertEqual(w("sheet-enabled"), "0")
        w.screenshot("partner-running-ready-page")
        os.remove(pm.m.unix(HOLD))


if __name__ == "__main__":
    unittest.main()

"""The partner steps through the wizard up to its finish page: what its notes say follows what
was checked and run, and the wizard stays alive while a partner installer runs."""
import os
import time
import unittest

from harness import R, Wizard, deadline
from network import installer
from partner import (BLANK_TEMP, DESKTOP, DESKTOP_RUN, EXIT_CODE, HOLD, TOOLBAR, TOOLBAR_RUN, PartnerMachine,
                     tampered)


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
                w = Wizard(pm.m, toolbar=True, desktop=True)
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
                self.assertEqual((w.state(R.IDC_TOOLBAR_NOTE)[2], w.state(R.IDC_DESKTOP_NOTE)[2]), (toolbar_note, desktop_note),
                                 pm.trace())
                w.screenshot("partner-finish-" + name.replace(" ", "-"))
                pm.check_started(self, started)
                self.assertEqual(pm.left_in_temp(), [])
                w.press("cancel")
                self.assertEqual(w.exit_code(), 0)
                if traced:
                    self.assertIn(traced, pm.trace())
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

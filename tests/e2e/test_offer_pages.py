"""The partner offer pages in the wizard: which page, default choices, links, and the finish page's notes."""
import os
import shutil
import subprocess
import time
import unittest

from harness import BUILD, Machine, R, Wizard, deadline
from network import serve_partner_installers

RECORDER = os.path.join(BUILD, "tools", "cmdline_recorder.exe")
TOOLBAR_TERMS = "http://toolbar.partner.example/support/toolbar/bin/static.py?page=terms.html&hl=de"
TOOLBAR_PRIVACY = "http://toolbar.partner.example/support/toolbar/?quick=privacy&v=4.0&hl=de"
TOOLBAR_PRIVACY_9X = "http://toolbar.partner.example/support/toolbar/?quick=privacy&v=3.0&hl=de"
DESKTOP_TERMS = "http://desktop.partner.example/de/eula.html"
DESKTOP_PRIVACY = "http://www.partner.example/privacypolicy.html"
# The toolbar's note and picture, the desktop search's note and picture.
NOTES = (R.IDC_TOOLBAR_NOTE, R.IDC_TOOLBAR_PICTURE, R.IDC_DESKTOP_NOTE, R.IDC_DESKTOP_PICTURE)


class OfferPages(unittest.TestCase):
    def setUp(self):
        self.m = Machine(display=True)
        self.addCleanup(self.m.close)

    def to_offer_page(self, w):
        w.run("set-text", str(R.IDC_FOLDER), "C:\\Px")
        for page in (1, 2, 3):
            w.press("next", page)

    def test_toolbar_offer_keeps_a_declined_choice(self):
        w = Wizard(self.m, toolbar=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", str(R.IDC_OFFER_TITLE)), "Google Toolbar für Internet Explorer")
        self.assertEqual(w("text", str(R.IDC_TERMS_LINK)), "Nutzungsbedingungen")
        self.assertEqual(w.state(R.IDC_TOOLBAR_ACCEPT)[0], 1)  # accepted by default
        w.screenshot("6-offer-toolbar")
        w.run("click", str(R.IDC_TOOLBAR_DECLINE))
        self.assertEqual((w.state(R.IDC_TOOLBAR_ACCEPT)[0], w.state(R.IDC_TOOLBAR_DECLINE)[0]), (0, 1))
        w.press("back", 2)
        w.press("next", 3)
        self.assertEqual((w.state(R.IDC_TOOLBAR_ACCEPT)[0], w.state(R.IDC_TOOLBAR_DECLINE)[0]), (0, 1))
        w.press("next", 4)  # the ready page follows the offer page
        self.assertEqual(w("text", str(R.IDC_READY_TITLE)), "Bereit zum Installieren!")
        w.press("next", 5)
        self.assertEqual(w.state(R.IDC_TOOLBAR_NOTE)[2], 0)  # declined: no toolbar note
        self.assertEqual(w.state(R.IDC_DESKTOP_NOTE)[2], 0)
        w.run("click", str(R.IDC_START_VIEWER))
        w.press("cancel")
        self.assertEqual(w.exit_code(), 0)

    def test_combined_offer_ticks_both_again_on_each_showing(self):
        w = Wizard(self.m, toolbar=True, desktop=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", str(R.IDC_OFFER_TITLE)), "Google Toolbar und Google Desktop")
        self.assertEqual((w.state(R.IDC_BOTH_TOOLBAR)[0], w.state(R.IDC_BOTH_DESKTOP)[0]), (1, 1))
        w.screenshot("7-offer-both")
        w.run("click", str(R.IDC_BOTH_DESKTOP))
        self.assertEqual(w.state(R.IDC_BOTH_DESKTOP)[0], 0)
        w.press("back", 2)
        w.press("next", 3)
        self.assertEqual((w.state(R.IDC_BOTH_TOOLBAR)[0], w.state(R.IDC_BOTH_DESKTOP)[0]), (1, 1))
        w.run("click", str(R.IDC_BOTH_TOOLBAR))
        w.run("click", str(R.IDC_BOTH_DESKTOP))
        w.press("next", 4)
        w.press("next", 5)  # finish page 114, both declined: no notes
        self.assertEqual(w("text", str(R.IDC_FINISH_TITLE)), "Einrichtung abgeschlossen!")
        for note in (R.IDC_TOOLBAR_NOTE, R.IDC_TOOLBAR_PICTURE, R.IDC_DESKTOP_NOTE, R.IDC_DESKTOP_PICTURE):
            self.assertEqual(w.state(note)[2], 0, note)
        w.run("sysclose")  # the close box on the finish page asks nothing
        self.assertEqual(w.exit_code(), 0)

    def test_desktop_offer_alone(self):
        w = Wizard(self.m, desktop=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", str(R.IDC_OFFER_TITLE)), "Google Desktop")
        self.assertEqual(w.state(R.IDC_DESKTOP_ACCEPT)[0], 1)
        w.run("sysclose")
        self.assertEqual(w.msgbox()[1], "Installation beenden?")
        w.answer("yes")
        self.assertEqual(w.exit_code(), 1)

    def stand_in_browser(self):
        """From now on web addresses open in a stand-in browser that records them (after the start:
        the command still names iexplore, as the toolbar offer wants)."""
        os.makedirs(self.m.unix("C:\\Browser"), exist_ok=True)
        shutil.copy(RECORDER, self.m.unix("C:\\Browser\\iexplore.exe"))
        self.m.wine("reg", "add", r"HKLM\Software\Classes\http\shell\open\command", "/ve", "/d",
                    '"C:\\Browser\\iexplore.exe" -nohome "%1"', "/f")
        self.browser_log = self.m.unix("C:\\Browser\\iexplore.exe.log")

    def opened(self):
        if not os.path.exists(self.browser_log):
            return []
        with open(self.browser_log, encoding="cp1252") as f:
            return f.read().splitlines()

    def click_link(self, w, control, target):
        before = len(self.opened())
        w.run("mouse-click", str(control))
        end = deadline(20)
        while len(self.opened()) == before and time.time() < end:
            time.sleep(0.2)
        self.assertGreater(len(self.opened()), before, f"link {control} opened nothing")
        self.assertIn(f'"{target}"', self.opened()[-1])

    def colours(self, w, control):
        """The colours ("#RRGGBB") drawn inside a control's rectangle on the screen."""
        left, top, right, bottom = (int(x) for x in w("rect", str(control)).split())
        path = os.path.join(self.m.root, "screen.png")
        self.m.screenshot(path)
        out = subprocess.run(["convert", path, "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                              "-unique-colors", "-depth", "8", "txt:-"], capture_output=True, text=True,
                             timeout=60).stdout
        return {line.split()[2] for line in out.splitlines()[1:] if len(line.split()) > 2}

    def test_links_open_their_targets_and_both_notes_show(self):
        serve_partner_installers(self, self.m)
        w = Wizard(self.m, toolbar=True, desktop=True)
        self.to_offer_page(w)
        self.stand_in_browser()
        self.assertIn("#FF0000", self.colours(w, R.IDC_FREE_LABEL))  # "Kostenlos!" in red
        self.assertIn("#0000EE", self.colours(w, R.IDC_TERMS_LINK))  # a link not yet opened
        for control, target in ((R.IDC_TERMS_LINK, TOOLBAR_TERMS), (R.IDC_PRIVACY_LINK, TOOLBAR_PRIVACY),
                                (R.IDC_DESKTOP_TERMS_LINK, DESKTOP_TERMS), (R.IDC_DESKTOP_PRIVACY_LINK, DESKTOP_PRIVACY)):
            with self.subTest(link=control):
                self.click_link(w, control, target)
        self.assertIn("#551A8B", self.colours(w, R.IDC_TERMS_LINK))  # opened: the visited colour
        w.press("next", 4)
        w.press("next")
        w.wait_page(5, seconds=120)  # finish page 114, both accepted and delivered
        w.screenshot("9-finish-both")
        self.assertEqual([w.state(note)[2] for note in NOTES], [1, 1, 1, 1])

    def test_desktop_offer_accepted_shows_its_note(self):
        serve_partner_installers(self, self.m)
        w = Wizard(self.m, desktop=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", str(R.IDC_DESKTOP_ACCEPT)), "&Installation von Google Desktop für Windows")
        self.assertEqual((w.state(R.IDC_DESKTOP_ACCEPT)[0], w.state(R.IDC_DESKTOP_DECLINE)[0]), (1, 0))
        w.screenshot("8-offer-desktop")
        w.press("next", 4)
        w.press("next")
        w.wait_page(5, seconds=120)  # the desktop search delivered and installed
        self.assertEqual([w.state(note)[2] for note in NOTES], [0, 0, 1, 1])

    def test_windows_98_gets_the_older_privacy_policy(self):
        self.m.wine("reg", "add", r"HKCU\Software\Wine\AppDefaults\pixmora_setup.exe", "/v", "Version",
                    "/d", "win98", "/f")
        w = Wizard(self.m, toolbar=True, desktop=True)  # no desktop search before XP: the toolbar alone
        self.to_offer_page(w)
        self.assertEqual(w("text", str(R.IDC_OFFER_TITLE)), "Google Toolbar für Internet Explorer")
        self.stand_in_browser()
        self.click_link(w, R.IDC_TERMS_LINK, TOOLBAR_TERMS)
        self.click_link(w, R.IDC_PRIVACY_LINK, TOOLBAR_PRIVACY_9X)


if __name__ == "__main__":
    unittest.main()

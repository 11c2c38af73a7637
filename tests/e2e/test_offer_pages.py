"""The partner offer pages in the wizard: which page, default choices, and the finish page's notes."""
import unittest

from harness import Machine, Wizard


class OfferPages(unittest.TestCase):
    def setUp(self):
        self.m = Machine(display=True)
        self.addCleanup(self.m.close)

    def to_offer_page(self, w):
        w.run("set-text", "1000", "C:\\Px")
        for page in (1, 2, 3):
            w.press("next", page)

    def test_toolbar_offer_keeps_a_declined_choice(self):
        w = Wizard(self.m, toolbar=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", "1029"), "Google Toolbar für Internet Explorer")
        self.assertEqual(w("text", "1027"), "Nutzungsbedingungen")
        self.assertEqual(w.state(1023)[0], 1)  # accepted by default
        w.screenshot("6-offer-toolbar")
        w.run("click", "1024")
        self.assertEqual((w.state(1023)[0], w.state(1024)[0]), (0, 1))
        w.press("back", 2)
        w.press("next", 3)
        self.assertEqual((w.state(1023)[0], w.state(1024)[0]), (0, 1))
        w.press("next", 4)  # the ready page follows the offer page
        self.assertEqual(w("text", "1014"), "Bereit zum Installieren!")
        w.press("next", 5)
        self.assertEqual(w.state(1028)[2], 0)  # declined: no toolbar note
        self.assertEqual(w.state(1029)[2], 0)
        w.run("click", "1020")
        w.press("cancel")
        self.assertEqual(w.exit_code(), 0)

    def test_combined_offer_ticks_both_again_on_each_showing(self):
        w = Wizard(self.m, toolbar=True, desktop=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", "1029"), "Google Toolbar und Google Desktop")
        self.assertEqual((w.state(1034)[0], w.state(1035)[0]), (1, 1))
        w.screenshot("7-offer-both")
        w.run("click", "1035")
        self.assertEqual(w.state(1035)[0], 0)
        w.press("back", 2)
        w.press("next", 3)
        self.assertEqual((w.state(1034)[0], w.state(1035)[0]), (1, 1))
        w.run("click", "1034")
        w.run("click", "1035")
        w.press("next", 4)
        w.press("next", 5)  # finish page 114, both declined: no notes
        self.assertEqual(w("text", "1015"), "Einrichtung abgeschlossen!")
        for note in (1028, 1030, 1029, 1033):
            self.assertEqual(w.state(note)[2], 0, note)
        w.run("sysclose")  # the close box on the finish page asks nothing
        self.assertEqual(w.exit_code(), 0)

    def test_desktop_offer_alone(self):
        w = Wizard(self.m, desktop=True)
        self.to_offer_page(w)
        self.assertEqual(w("text", "1029"), "Google Desktop")
        self.assertEqual(w.state(1031)[0], 1)
        w.run("sysclose")
        self.assertEqual(w.msgbox()[1], "Installation beenden?")
        w.answer("yes")
        self.assertEqual(w.exit_code(), 1)


if __name__ == "__main__":
    unittest.main()

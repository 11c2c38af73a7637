"""The question before file types are taken over, answered in the wizard: No leaves every
extension's class and user choice alone (the XP family writes nothing of the associations, the
Vista family only the classes, open-with lists and capabilities); Yes takes the ticked types over."""
import unittest

from harness import Machine, R
from shell_checks import VISTA, XP, Wizard, check_registry, expected_rows

JPG_ROW = 23


class Answer(unittest.TestCase):
    def run_wizard(self, version, answer):
        m = Machine(version, display=True)
        self.addCleanup(m.close)
        m.set_partner_offers(False, False)  # five pages: no offer page
        before = m.registry()
        wizard = Wizard(m)
        wizard.run("set-text", str(R.IDC_FOLDER), "C:\\Px")
        wizard.next()  # release notes
        wizard.next()  # file types
        self.assertEqual(wizard.run("list-set", str(JPG_ROW), "1")[0], 0)
        wizard.next()  # ready
        wizard.run("press", "next")
        self.assertIn("Dateitypen mit Pixmora", wizard.answer_question(answer))
        wizard.wait(lambda: wizard.page() == "4", "the finish page", seconds=60)
        return before, m.registry()

    def expect(self, family, confirmed):
        flags = [1 if g == JPG_ROW else 0 for g in range(67)]
        # The wizard proposes all three shortcuts.
        return expected_rows(family, "C:\\Px", flags, thumbs=True, confirmed=confirmed)

    def test_xp_no(self):
        before, after = self.run_wizard("winxp", "no")
        check_registry(self, before, after, self.expect(XP, False))

    def test_vista_no(self):
        before, after = self.run_wizard("vista", "no")
        check_registry(self, before, after, self.expect(VISTA, False))

    def test_vista_yes(self):
        before, after = self.run_wizard("vista", "yes")
        check_registry(self, before, after, self.expect(VISTA, True))


if __name__ == "__main__":
    unittest.main()

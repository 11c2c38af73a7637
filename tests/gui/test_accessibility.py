"""A user who needs high contrast: the offer page under a high-contrast scheme. And the keyboard:
no two controls of a page share a mnemonic, except where the page's fixed texts do. (What a screen
reader hears and where Tab goes is checked at every stop of the layout test's tours, see
accessibility.py.)"""
import os
import re
import unittest

from wizard import NEXT, R, SOURCE, Wizard, german_machine, high_contrast

# Controls of one page that share a mnemonic through the page's fixed texts (kept as they are):
# the second user choice and the sheet's quit button, the FAQ box and the finish button.
SHARED_MNEMONICS = {("IDD_DESTINATION", "b"), ("IDD_FINISH", "f"), ("IDD_FINISH_BOTH", "f")}


class Accessibility(unittest.TestCase):
    def test_high_contrast(self):
        # With the scheme on, the red label and the links draw in the scheme's text and link
        # colours (white and yellow on black); without it, in their own (the offer page tests).
        m = german_machine(self)
        high_contrast(m)
        w = Wizard(self, m, toolbar=True)
        w.set_text(R.IDC_FOLDER, "C:\\Px")
        for page in (1, 2, 3):
            w.press(NEXT, page)
        label, link = w.colours(R.IDC_FREE_LABEL), w.colours(R.IDC_TERMS_LINK)
        w.screenshot("offer-high-contrast")
        self.assertIn("#FFFFFF", label)
        self.assertLessEqual(label, {"#FFFFFF", "#000000"})  # no red left
        self.assertIn("#FFFF00", link)
        self.assertLessEqual(link, {"#FFFF00", "#000000"})

    def test_no_shared_mnemonics(self):
        with open(os.path.join(SOURCE, "res", "dialogs.rc"), encoding="utf-8") as f:
            rc = f.read()
        sheet = {"z", "w", "b"}  # < &Zurück, &Weiter >, &Beenden (&Fertig stellen on the finish pages)
        shared = set()
        for name, body in re.findall(r"^(IDD_\w+) DIALOGEX.*?^BEGIN\n(.*?)^END", rc, re.S | re.M):
            seen = set(sheet if name.startswith(("IDD_DESTINATION", "IDD_RELEASE", "IDD_FORMATS", "IDD_READY", "IDD_OFFER"))
                       else {"z", "w", "f"} if name.startswith("IDD_FINISH") else set())
            for text in re.findall(r'"((?:[^"]|"")*)"', body):
                marks = re.findall(r"&([^&])", text.replace("&&", ""))
                if not marks:
                    continue
                key = marks[0].lower()  # the first marked letter is the one the keyboard takes
                if key in seen:
                    shared.add((name, key))
                seen.add(key)
        self.assertEqual(shared, SHARED_MNEMONICS)


if __name__ == "__main__":
    unittest.main()

"""Screenshots of every wizard page from a real run, for the README (`make screenshots`).

Writes PNG files into PIXMORA_SCREENSHOTS (default: docs/screenshots of the source tree). Not a test
of its own: the GUI tests check the pages; this only walks through them and takes the pictures.
"""
import os
import unittest

from wizard import CANCEL, FINISH, FORMATS, NEXT, NOTES, READY, SOURCE, Wizard, german_machine

OUT = os.environ.get("PIXMORA_SCREENSHOTS") or os.path.join(SOURCE, "docs", "screenshots")


class Screenshots(unittest.TestCase):
    def test_five_pages(self):
        os.makedirs(OUT, exist_ok=True)
        w = Wizard(self, german_machine(self, "winxp"))

        def shot(name):
            w.screenshot(name, folder=OUT)

        shot("1-destination")
        w.press(NEXT, NOTES)
        shot("2-release-notes")
        w.press(NEXT, FORMATS)
        w.click(1091)  # "Nur Bilder"
        shot("3-file-types")
        w.press(NEXT, READY)
        shot("4-ready")
        w.press(NEXT)
        w.msgbox()
        shot("4a-ask-associate")
        w.answer("yes")
        w.wait_page(FINISH)
        shot("5-finish")
        w.click(1020)  # leave the viewer closed
        w.press(CANCEL)
        self.assertEqual(w.exit_code(), 0)


if __name__ == "__main__":
    unittest.main()

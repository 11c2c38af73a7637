"""Screenshots of everything the setup shows, from real runs, for the README (`make screenshots`).

Writes PNG files into PIXMORA_SCREENSHOTS (default: docs/screenshots of the source tree). Not a test
of its own: the GUI tests check the pages; this only walks through them (tours.py) and takes the
pictures.
"""
import os
import unittest

import tours
from wizard import SOURCE

OUT = os.environ.get("PIXMORA_SCREENSHOTS") or os.path.join(SOURCE, "docs", "screenshots")

# Stop of the tours: file name of its picture (stops not named here are not taken).
PICTURES = {
    "destination": "1-destination",
    "quit": "1a-ask-quit",
    "notes": "2-release-notes",
    "formats": "3-file-types",
    "ready": "4-ready",
    "associate": "4a-ask-associate",
    "finish": "5-finish",
    "offer-toolbar": "6-offer-toolbar",
    "download-toolbar": "6a-download",
    "finish-toolbar": "6b-finish-toolbar",
    "offer-desktop": "7-offer-desktop",
    "finish-desktop": "7b-finish-desktop",
    "offer-both": "8-offer-both",
    "finish-both": "8b-finish-both",
}
# At 144 DPI (150 %): the destination page, the combined offer and its download dialog.
PICTURES_144 = {
    "destination": "9-destination-144dpi",
    "offer-both": "9a-offer-both-144dpi",
    "download-both": "9b-download-144dpi",
}


# With the high-contrast scheme on: the same three.
PICTURES_CONTRAST = {
    "destination": "10-destination-high-contrast",
    "offer-both": "10a-offer-both-high-contrast",
    "download-both": "10b-download-high-contrast",
}


class Screenshots(unittest.TestCase):
    def shot(self, w, stop):
        if stop in PICTURES:
            w.screenshot(PICTURES[stop], folder=OUT)

    def shot_144(self, w, stop):
        if stop in PICTURES_144:
            w.screenshot(PICTURES_144[stop], folder=OUT)

    def shot_contrast(self, w, stop):
        if stop in PICTURES_CONTRAST:
            w.screenshot(PICTURES_CONTRAST[stop], folder=OUT)

    def setUp(self):
        os.makedirs(OUT, exist_ok=True)

    def test_without_offer(self):
        tours.without_offer(self, self.shot)

    def test_toolbar_offer(self):
        tours.with_offer(self, self.shot, toolbar=True, desktop=False)

    def test_desktop_offer(self):
        tours.with_offer(self, self.shot, toolbar=False, desktop=True)

    def test_both_offers(self):
        tours.with_offer(self, self.shot, toolbar=True, desktop=True)

    def test_without_offer_144dpi(self):
        tours.without_offer(self, self.shot_144, dpi=144)

    def test_both_offers_144dpi(self):
        tours.with_offer(self, self.shot_144, toolbar=True, desktop=True, dpi=144)

    def test_without_offer_high_contrast(self):
        tours.without_offer(self, self.shot_contrast, contrast=True)

    def test_both_offers_high_contrast(self):
        tours.with_offer(self, self.shot_contrast, toolbar=True, desktop=True, contrast=True)


if __name__ == "__main__":
    unittest.main()

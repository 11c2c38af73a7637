"""Every text the setup shows fits its control, measured in the control's own font inside the running
setup (the wizard's pages, the offer pages, the finish pages, the download dialog and both message
boxes). A text whose extent exceeds the control's room is cut or wrapped out of sight.

The same at each display scale of DPIS: there, too, no two visible controls overlap (but a group box
and what it holds), none lies outside the part of its window on view (a page outside the sheet's
room is cut off), and each picture shows the version of its bitmap made for that scale."""
import os
import re
import unittest

import accessibility
import tours
from wizard import SOURCE, R
from harness import EMULATED  # noqa: E402 (found through wizard's path)

SHEET_BACK, SHEET_NEXT, SHEET_CANCEL = 12323, 12324, 2

# (page, control): the id of the control, or for a control without an id the start of its text.
LAYOUT = [
    ("destination", R.IDC_WELCOME), ("destination", "Dieses Programm wird"), ("destination", "Verknüpfungen erzeugen:"),
    ("destination", R.IDC_DESKTOP), ("destination", R.IDC_THUMBS), ("destination", R.IDC_START_MENU), ("destination", R.IDC_CURRENT_USER),
    ("destination", R.IDC_ALL_USERS), ("destination", R.IDC_NO_SHORTCUTS), ("destination", "Zielverzeichnis:"), ("destination", R.IDC_BROWSE),
    ("destination", SHEET_BACK), ("destination", SHEET_NEXT), ("destination", SHEET_CANCEL),
    ("quit", "Installation beenden?"), ("quit", 6), ("quit", 7),
    ("notes", "Was ist neu"),
    ("formats", "Möchten Sie Dateien"), ("formats", "Info: wenn Sie"), ("formats", "* - PlugIns"),
    ("formats", R.IDC_IMAGES_ONLY), ("formats", R.IDC_SELECT_ALL), ("formats", R.IDC_SELECT_NONE), ("formats", R.IDC_ASSOC_ALL_USERS),
    ("ready", R.IDC_READY_TITLE), ("ready", R.IDC_READY_FOLDER), ("ready", "Drücken Sie"),
    ("associate", "Sie möchten die aktuellen"), ("associate", 6), ("associate", 7),
    ("finish", R.IDC_FINISH_TITLE), ("finish", "Die Installation dieses"), ("finish", "Anschließend"), ("finish", R.IDC_SHOW_FAQ),
    ("finish", R.IDC_START_VIEWER), ("finish", "____"), ("finish", "Pixmora deinstallieren?"),
    ("finish", SHEET_BACK), ("finish", SHEET_NEXT), ("finish", SHEET_CANCEL),

    ("offer-toolbar", R.IDC_FREE_LABEL), ("offer-toolbar", R.IDC_OFFER_TITLE), ("offer-toolbar", "Nutzen Sie"), ("offer-toolbar", R.IDC_OFFER_FEATURES),
    ("offer-toolbar", "* Websuche"), ("offer-toolbar", R.IDC_TOOLBAR_ACCEPT), ("offer-toolbar", "Sie können Google Toolbar"),
    ("offer-toolbar", R.IDC_TOOLBAR_DECLINE), ("offer-toolbar", "Durch die Installation von"), ("offer-toolbar", R.IDC_TERMS_LINK),
    ("offer-toolbar", "und"), ("offer-toolbar", R.IDC_PRIVACY_LINK), ("offer-toolbar", "der Google Toolbar"),
    ("download-toolbar", R.IDC_DL_HEADING), ("download-toolbar", R.IDC_DL_FILE), ("download-toolbar", "Verbliebene Zeit:"),
    ("download-toolbar", R.IDC_DL_TIME_LEFT), ("download-toolbar", "Geschwindigkeit:"), ("download-toolbar", R.IDC_DL_RATE),
    ("download-toolbar", 2),
    ("finish-toolbar", R.IDC_FINISH_TITLE), ("finish-toolbar", "Die Installation dieses"), ("finish-toolbar", R.IDC_TOOLBAR_NOTE),
    ("finish-toolbar", "Anschließend"), ("finish-toolbar", R.IDC_SHOW_FAQ), ("finish-toolbar", R.IDC_START_VIEWER),
    ("finish-toolbar", "____"), ("finish-toolbar", "Pixmora deinstallieren?"),

    ("offer-desktop", R.IDC_FREE_LABEL), ("offer-desktop", R.IDC_OFFER_TITLE), ("offer-desktop", "Sofortiges Durchsuchen"),
    ("offer-desktop", R.IDC_OFFER_FEATURES), ("offer-desktop", "* Sofortiges Finden"), ("offer-desktop", R.IDC_DESKTOP_ACCEPT),
    ("offer-desktop", "Sie können Google Desktop"), ("offer-desktop", R.IDC_DESKTOP_DECLINE),
    ("offer-desktop", "Durch die Installation von"), ("offer-desktop", R.IDC_TERMS_LINK), ("offer-desktop", "und"),
    ("offer-desktop", R.IDC_PRIVACY_LINK), ("offer-desktop", "für Google Desktop"),
    ("download-desktop", R.IDC_DL_HEADING), ("download-desktop", R.IDC_DL_FILE), ("download-desktop", "Verbliebene Zeit:"),
    ("download-desktop", R.IDC_DL_TIME_LEFT), ("download-desktop", "Geschwindigkeit:"), ("download-desktop", R.IDC_DL_RATE),
    ("download-desktop", 2),
    ("finish-desktop", R.IDC_FINISH_TITLE), ("finish-desktop", "Die Installation dieses"), ("finish-desktop", R.IDC_DESKTOP_NOTE),
    ("finish-desktop", "Anschließend"), ("finish-desktop", R.IDC_SHOW_FAQ), ("finish-desktop", R.IDC_START_VIEWER),
    ("finish-desktop", "____"), ("finish-desktop", "Pixmora deinstallieren?"),

    ("offer-both", R.IDC_FREE_LABEL), ("offer-both", R.IDC_OFFER_TITLE), ("offer-both", "Wählen Sie aus"), ("offer-both", R.IDC_BOTH_TOOLBAR),
    ("offer-both", "* Websuche"), ("offer-both", R.IDC_TERMS_LINK), ("offer-both", R.IDC_PRIVACY_LINK), ("offer-both", R.IDC_BOTH_DESKTOP),
    ("offer-both", "* Sofortiges Finden"), ("offer-both", R.IDC_DESKTOP_TERMS_LINK), ("offer-both", R.IDC_DESKTOP_PRIVACY_LINK),
    ("offer-both", "Durch die Installation dieser"),
    ("download-both", R.IDC_DL_HEADING), ("download-both", R.IDC_DL_FILE), ("download-both", "Verbliebene Zeit:"),
    ("download-both", R.IDC_DL_TIME_LEFT), ("download-both", "Geschwindigkeit:"), ("download-both", R.IDC_DL_RATE),
    ("download-both", 2),
    ("finish-both", R.IDC_FINISH_TITLE), ("finish-both", "Die Installation dieses"), ("finish-both", R.IDC_TOOLBAR_NOTE),
    ("finish-both", R.IDC_DESKTOP_NOTE), ("finish-both", "Anschließend"), ("finish-both", R.IDC_SHOW_FAQ), ("finish-both", R.IDC_START_VIEWER),
    ("finish-both", "____"), ("finish-both", "Pixmora deinstallieren?"),
]

NO_ID = (-1, 65535)

# Display scales, with the tours walked at each: at 96 DPI every page; above it (each tour costs
# minutes under emulation) the pages without an offer, both questions, the combined offer and its
# download dialog and finish page.
DPIS = [(96, ("without_offer", "toolbar_offer", "desktop_offer", "both_offers")),
        (120, ("without_offer", "both_offers")), (144, ("without_offer", "both_offers")),
        (192, ("without_offer", "both_offers"))]
if EMULATED:  # several times slower: the combined offer above 96 DPI at 144 only
    DPIS = [DPIS[0], (120, ("without_offer",)), DPIS[2], (192, ("without_offer",))]
# The pictures of each page, in the page's order.
PICTURES = {
    "destination": ["IDB_LOGO"], "ready": ["IDB_LOGO"], "finish": ["IDB_LOGO"],
    "offer-toolbar": ["IDB_LOGO", "IDB_TOOLBAR"], "offer-desktop": ["IDB_LOGO", "IDB_DESKTOP"],
    "offer-both": ["IDB_LOGO", "IDB_TOOLBAR_SMALL", "IDB_DESKTOP_TINY"],
    "finish-toolbar": ["IDB_LOGO", "IDB_TOOLBAR_SMALL"], "finish-desktop": ["IDB_LOGO", "IDB_DESKTOP_SMALL"],
    "finish-both": ["IDB_LOGO", "IDB_TOOLBAR_SMALL", "IDB_DESKTOP_SMALL"],
}
# The version of the pictures that each scale shows. At 192 DPI this Wine's "MS Sans Serif" has
# no face above 20 pixels, so the pages are laid out as at 144 DPI and take that version: the one
# made for 192 DPI would cover its neighbours.
VERSION = {96: "", 120: "_120", 144: "_144", 192: "_144"}


def _picture_sizes():
    """(width, height) of each bitmap resource by its name in res/resource.h (IDB_LOGO_144, ...)."""
    with open(os.path.join(SOURCE, "res", "dialogs.rc"), encoding="utf-8") as f:
        files = re.findall(r'^(IDB_\w+) (?:PX)?BITMAP "([^"]+?)(?:\.lzma)?"', f.read(), re.M)  # larger ones packed
    sizes = {}
    for name, file in files:
        with open(os.path.join(SOURCE, "res", file), "rb") as f:
            header = f.read(26)
        sizes[name] = (int.from_bytes(header[18:22], "little"), abs(int.from_bytes(header[22:26], "little", signed=True)))
    return sizes


PICTURE_SIZES = _picture_sizes()


class Layout(unittest.TestCase):
    dpi = 96

    def setUp(self):
        self.problems = []

    def tearDown(self):
        if self.problems:
            self.fail(f"at {self.dpi} DPI, texts that do not fit, controls that overlap or are cut off, "
                      "wrong pictures:\n" + "\n".join(self.problems))

    def check_controls(self, w, page, target):
        """No two visible controls of the window overlap, each lies inside the part of the window
        on view, and the pictures are the version made for this scale."""
        code, out = w.run("controls", target)
        self.assertEqual(code, 0, f"{page}: no controls of {target}")
        lines = [line.split("\t") for line in out.splitlines()]
        view = tuple(int(v) for v in lines[0][1:5])
        controls = [(int(c[0]), c[1], c[2], tuple(int(v) for v in c[3:7]), (int(c[7]), int(c[8]))) for c in lines[1:]]

        def inside(inner, outer):
            return outer[0] <= inner[0] and outer[1] <= inner[1] and inner[2] <= outer[2] and inner[3] <= outer[3]

        for i, (cid, cls, kind, rect, _) in enumerate(controls):
            if not inside(rect, view):
                self.problems.append(f"{page}: {cls} {cid} at {rect} lies outside the {target}'s view {view}")
            for other_id, other_cls, other_kind, other, _ in controls[i + 1:]:
                overlap = max(rect[0], other[0]) < min(rect[2], other[2]) and max(rect[1], other[1]) < min(rect[3], other[3])
                held = (kind == "groupbox" and inside(other, rect)) or (other_kind == "groupbox" and inside(rect, other))
                if overlap and not held:
                    self.problems.append(f"{page}: {cls} {cid} at {rect} overlaps {other_cls} {other_id} at {other}")
        if target == "page":
            shown = sorted(size for _, _, kind, _, size in controls if kind == "picture")
            made = sorted(PICTURE_SIZES[name + VERSION[self.dpi]] for name in PICTURES.get(page, []))
            if shown != made:
                self.problems.append(f"{page}: pictures of {shown} pixels, made for {self.dpi} DPI: {made}")

    def measure(self, w, page):
        """Measures `page` (a name of the tours) and checks it against its rows of LAYOUT, and its
        controls' places and pictures."""
        if page in ("quit", "associate"):
            targets = [("msgbox",)]
        elif page.startswith("download"):
            targets = [("download",)]
        elif page.startswith("offer"):
            targets = [("page", str(R.IDC_FREE_LABEL))]  # the red label is drawn in the bold of its font
        elif page in ("destination", "finish"):
            targets = [("page",), ("sheet",)]
        else:
            targets = [("page",)]
        measured = []
        for target in targets:
            code, out = w.run("layout", *target)
            self.assertEqual(code, 0, f"{page}: no layout of {target[0]}")
            measured += [line.split("\t", 6) for line in out.splitlines()]
        rows = [control for p, control in LAYOUT if p == page]
        found = set()
        for cid, kind, need_w, need_h, room_w, room_h, text in measured:
            cid = int(cid)
            key = next((r for r in rows if r == cid or (cid in NO_ID and isinstance(r, str) and text.startswith(r))),
                       None)
            if key is None:
                self.problems.append(f"{page}: control {cid} ({kind}) \"{text}\" is not in the layout table")
                continue
            found.add(key)
            if int(need_w) > int(room_w) or int(need_h) > int(room_h):
                self.problems.append(f"{page}: control {cid} ({kind}) \"{text}\" needs {need_w}x{need_h} "
                                     f"pixels, has {room_w}x{room_h}")
        for row in rows:
            if row not in found:
                self.problems.append(f"{page}: control {row!r} of the layout table shows no text")
        for target in {t[0] for t in targets}:
            self.check_controls(w, page, target)
        if self.dpi == 96:
            accessibility.check(self, w, page)


TOURS = {
    "without_offer": lambda test: tours.without_offer(test, test.measure, dpi=test.dpi),
    "toolbar_offer": lambda test: tours.with_offer(test, test.measure, toolbar=True, desktop=False, dpi=test.dpi),
    "desktop_offer": lambda test: tours.with_offer(test, test.measure, toolbar=False, desktop=True, dpi=test.dpi),
    "both_offers": lambda test: tours.with_offer(test, test.measure, toolbar=True, desktop=True, dpi=test.dpi),
}


def _add_tests():
    """One test per scale and tour: test_<tour>_<dpi>dpi."""
    for dpi, names in DPIS:
        for name in names:
            def test(self, dpi=dpi, tour=TOURS[name]):
                self.dpi = dpi
                tour(self)
            setattr(Layout, f"test_{name}_{dpi}dpi", test)


_add_tests()


if __name__ == "__main__":
    unittest.main()

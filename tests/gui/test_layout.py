"""Every text the setup shows fits its control, measured in the control's own font inside the running
setup (the wizard's pages, the offer pages, the finish pages, the download dialog and both message
boxes). A text whose extent exceeds the control's room is cut or wrapped out of sight."""
import unittest

import tours
from wizard import R

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


class Layout(unittest.TestCase):
    def setUp(self):
        self.problems = []

    def tearDown(self):
        if self.problems:
            self.fail("texts that do not fit:\n" + "\n".join(self.problems))

    def measure(self, w, page):
        """Measures `page` (a name of the tours) and checks it against its rows of LAYOUT."""
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

    def test_pages_without_offer(self):
        tours.without_offer(self, self.measure)

    def test_toolbar_offer(self):
        tours.with_offer(self, self.measure, toolbar=True, desktop=False)

    def test_desktop_offer(self):
        tours.with_offer(self, self.measure, toolbar=False, desktop=True)

    def test_both_offers(self):
        tours.with_offer(self, self.measure, toolbar=True, desktop=True)


if __name__ == "__main__":
    unittest.main()

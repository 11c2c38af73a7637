"""Every text the setup shows fits its control, measured in the control's own font inside the running
setup (the wizard's pages, the offer pages, the finish pages, the download dialog and both message
boxes). A text whose extent exceeds the control's room is cut or wrapped out of sight."""
import unittest

import tours

SHEET_BACK, SHEET_NEXT, SHEET_CANCEL = 12323, 12324, 2

# (page, control): the id of the control, or for a control without an id the start of its text.
LAYOUT = [
    ("destination", 1013), ("destination", "Dieses Programm wird"), ("destination", "Verknüpfungen erzeugen:"),
    ("destination", 1011), ("destination", 1021), ("destination", 1012), ("destination", 1016),
    ("destination", 1017), ("destination", 1019), ("destination", "Zielverzeichnis:"), ("destination", 1009),
    ("destination", SHEET_BACK), ("destination", SHEET_NEXT), ("destination", SHEET_CANCEL),
    ("quit", "Installation beenden?"), ("quit", 6), ("quit", 7),
    ("notes", "Was ist neu"),
    ("formats", "Möchten Sie Dateien"), ("formats", "Info: wenn Sie"), ("formats", "* - PlugIns"),
    ("formats", 1091), ("formats", 1080), ("formats", 1081), ("formats", 1037),
    ("ready", 1014), ("ready", 1010), ("ready", "Drücken Sie"),
    ("associate", "Sie möchten die aktuellen"), ("associate", 6), ("associate", 7),
    ("finish", 1015), ("finish", "Die Installation dieses"), ("finish", "Anschließend"), ("finish", 1022),
    ("finish", 1020), ("finish", "____"), ("finish", "Pixmora deinstallieren?"),
    ("finish", SHEET_BACK), ("finish", SHEET_NEXT), ("finish", SHEET_CANCEL),

    ("offer-toolbar", 1026), ("offer-toolbar", 1029), ("offer-toolbar", "Nutzen Sie"), ("offer-toolbar", 1025),
    ("offer-toolbar", "* Websuche"), ("offer-toolbar", 1023), ("offer-toolbar", "Sie können Google Toolbar"),
    ("offer-toolbar", 1024), ("offer-toolbar", "Durch die Installation von"), ("offer-toolbar", 1027),
    ("offer-toolbar", "und"), ("offer-toolbar", 1028), ("offer-toolbar", "der Google Toolbar"),
    ("download-toolbar", 1001), ("download-toolbar", 1002), ("download-toolbar", "Verbliebene Zeit:"),
    ("download-toolbar", 1004), ("download-toolbar", "Geschwindigkeit:"), ("download-toolbar", 1005),
    ("download-toolbar", 2),
    ("finish-toolbar", 1015), ("finish-toolbar", "Die Installation dieses"), ("finish-toolbar", 1028),
    ("finish-toolbar", "Anschließend"), ("finish-toolbar", 1022), ("finish-toolbar", 1020),
    ("finish-toolbar", "____"), ("finish-toolbar", "Pixmora deinstallieren?"),

    ("offer-desktop", 1026), ("offer-desktop", 1029), ("offer-desktop", "Sofortiges Durchsuchen"),
    ("offer-desktop", 1025), ("offer-desktop", "* Sofortiges Finden"), ("offer-desktop", 1031),
    ("offer-desktop", "Sie können Google Desktop"), ("offer-desktop", 1032),
    ("offer-desktop", "Durch die Installation von"), ("offer-desktop", 1027), ("offer-desktop", "und"),
    ("offer-desktop", 1028), ("offer-desktop", "für Google Desktop"),
    ("download-desktop", 1001), ("download-desktop", 1002), ("download-desktop", "Verbliebene Zeit:"),
    ("download-desktop", 1004), ("download-desktop", "Geschwindigkeit:"), ("download-desktop", 1005),
    ("download-desktop", 2),
    ("finish-desktop", 1015), ("finish-desktop", "Die Installation dieses"), ("finish-desktop", 1029),
    ("finish-desktop", "Anschließend"), ("finish-desktop", 1022), ("finish-desktop", 1020),
    ("finish-desktop", "____"), ("finish-desktop", "Pixmora deinstallieren?"),

    ("offer-both", 1026), ("offer-both", 1029), ("offer-both", "Wählen Sie aus"), ("offer-both", 1034),
    ("offer-both", "* Websuche"), ("offer-both", 1027), ("offer-both", 1028), ("offer-both", 1035),
    ("offer-both", "* Sofortiges Finden"), ("offer-both", 1030), ("offer-both", 1031),
    ("offer-both", "Durch die Installation dieser"),
    ("download-both", 1001), ("download-both", 1002), ("download-both", "Verbliebene Zeit:"),
    ("download-both", 1004), ("download-both", "Geschwindigkeit:"), ("download-both", 1005),
    ("download-both", 2),
    ("finish-both", 1015), ("finish-both", "Die Installation dieses"), ("finish-both", 1028),
    ("finish-both", 1029), ("finish-both", "Anschließend"), ("finish-both", 1022), ("finish-both", 1020),
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
            targets = [("page", "1026")]  # the red label is drawn in the bold of its font
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

"""What a user without a mouse or without sight meets at each stop of the tours (tours.py): what a
screen reader hears of each control (asked from another process through Active Accessibility, as
a screen reader asks), where Tab and Shift+Tab take the focus, and what the keys do: Enter and
Space open a link, the arrow keys move within a choice, Esc asks the quit question. The layout
test calls `check` at every stop of its tours at 96 DPI.

Wine's standard proxies answer "client" (10) as the role of most standard controls, where Windows
answers push button, check box and so on; the roles the setup answers itself are checked exactly."""
import time

from wizard import R
from harness import EMULATED  # noqa: E402 (found through wizard's path)

# Whether what a screen reader hears is asked. Under emulation, asking another process through COM
# made one side or the other die at random (signal 11: Wine's remote calls raise and catch
# exceptions, and the unwinding from one kills an emulated process), so there only the keyboard is
# checked here; the unit tests ask the setup's own answers in-process everywhere.
ASK = not EMULATED

LINK, PROGRESS_BAR = 30, 48
LINKED, FOCUSABLE = 0x400000, 0x100000
SHEET_BACK, SHEET_NEXT, SHEET_CANCEL = 12323, 12324, 2
ASK_QUIT = "Installation beenden?"

# stop of the tours: the controls of the page in Tab order (the sheet's enabled buttons follow),
# and the names a screen reader must hear for controls (by id).
PAGES = {
    "destination": ([R.IDC_DESKTOP, R.IDC_THUMBS, R.IDC_START_MENU, R.IDC_CURRENT_USER, R.IDC_NO_SHORTCUTS,
                     R.IDC_FOLDER, R.IDC_BROWSE],
                    {R.IDC_DESKTOP: "Pixmora-Verknüpfung auf dem Desktop", R.IDC_START_MENU: "Pixmora-Verknüpfung im Start-Menü -> Programme",
                     R.IDC_CURRENT_USER: "Nur für den aktuellen Benutzer", R.IDC_ALL_USERS: "Für alle Benutzer",
                     R.IDC_NO_SHORTCUTS: "Keine", R.IDC_FOLDER: "Zielverzeichnis:", R.IDC_BROWSE: "Durchsuchen"}),
    "notes": ([R.IDC_NOTES_TEXT], {}),
    "formats": ([R.IDC_FORMAT_LIST, R.IDC_IMAGES_ONLY, R.IDC_SELECT_ALL, R.IDC_SELECT_NONE, R.IDC_ASSOC_ALL_USERS],
                {R.IDC_IMAGES_ONLY: "Nur Bilder", R.IDC_SELECT_ALL: "Alle markieren", R.IDC_SELECT_NONE: "Keine markieren",
                 R.IDC_ASSOC_ALL_USERS: "Für alle User"}),
    "ready": ([], {R.IDC_READY_TITLE: "Bereit zum Installieren!"}),
    "offer-toolbar": ([R.IDC_TOOLBAR_ACCEPT, R.IDC_TERMS_LINK, R.IDC_PRIVACY_LINK],
                      {R.IDC_FREE_LABEL: "Kostenlos!", R.IDC_TOOLBAR_ACCEPT: "Installation der kostenlosen Google Toolbar",
                       R.IDC_TOOLBAR_DECLINE: "Die Google Toolbar nicht installieren",
                       R.IDC_TERMS_LINK: "Nutzungsbedingungen", R.IDC_PRIVACY_LINK: "Datenschutzbestimmungen"}),
    "offer-desktop": ([R.IDC_DESKTOP_ACCEPT, R.IDC_TERMS_LINK, R.IDC_PRIVACY_LINK],
                      {R.IDC_FREE_LABEL: "Kostenlos!", R.IDC_TERMS_LINK: "Nutzungsbedingungen",
                       R.IDC_PRIVACY_LINK: "Datenschutzbestimmungen"}),
    "offer-both": ([R.IDC_BOTH_TOOLBAR, R.IDC_TERMS_LINK, R.IDC_PRIVACY_LINK, R.IDC_BOTH_DESKTOP,
                    R.IDC_DESKTOP_TERMS_LINK, R.IDC_DESKTOP_PRIVACY_LINK],
                   {R.IDC_FREE_LABEL: "Kostenlos!", R.IDC_BOTH_TOOLBAR: "Google Toolbar für Internet Explorer",
                    R.IDC_BOTH_DESKTOP: "Google Desktop", R.IDC_TERMS_LINK: "Nutzungsbedingungen",
                    R.IDC_PRIVACY_LINK: "Datenschutzbestimmungen", R.IDC_DESKTOP_TERMS_LINK: "Nutzungsbedingungen",
                    R.IDC_DESKTOP_PRIVACY_LINK: "Datenschutzbestimmungen"}),
}
for _kind in ("", "-toolbar", "-desktop", "-both"):
    PAGES["finish" + _kind] = ([R.IDC_START_VIEWER], {R.IDC_START_VIEWER: "Pixmora starten"})
LINKS = {"offer-toolbar": (R.IDC_TERMS_LINK, R.IDC_PRIVACY_LINK), "offer-desktop": (R.IDC_TERMS_LINK, R.IDC_PRIVACY_LINK),
         "offer-both": (R.IDC_TERMS_LINK, R.IDC_PRIVACY_LINK, R.IDC_DESKTOP_TERMS_LINK, R.IDC_DESKTOP_PRIVACY_LINK)}
QUESTIONS = {"quit": {6: "Ja", 7: "Nein"}, "associate": {6: "Ja", 7: "Nein"}}

def heard(w, which):
    """{id: (role, name, state, action, value)} of what a screen reader hears in `which`."""
    code, out = w.run("acc", which)
    w.test.assertEqual(code, 0, f"nothing accessible in {which}")
    rows = {}
    for line in out.splitlines():
        parts = line.split("\t")
        if len(parts) == 6:
            rows[int(parts[0])] = (int(parts[1]), parts[2], int(parts[3]), parts[4], parts[5])
    return rows


def rotation_of(seen, cycle):
    """True when `seen` walks `cycle` (from any start) in its order."""
    if not cycle or seen[0] not in cycle:
        return False
    start = cycle.index(seen[0])
    return all(s == cycle[(start + i) % len(cycle)] for i, s in enumerate(seen))


def check(test, w, stop):
    """Checks one stop of a tour against the tables above."""
    with test.subTest(stop=stop):
        if stop in QUESTIONS:
            if not ASK:
                return
            rows = heard(w, "msgbox")
            for control, name in QUESTIONS[stop].items():
                test.assertEqual(rows[control][1], name)
            return
        if stop.startswith("download"):
            if not ASK:
                return
            rows = heard(w, "download")
            test.assertEqual(rows[R.IDC_DL_PROGRESS][0], PROGRESS_BAR)
            test.assertRegex(rows[R.IDC_DL_PROGRESS][4], r"^\d+ %$")
            test.assertRegex(rows[R.IDC_DL_TIME_LEFT][1], r"kopiert\)$")  # the figures are text
            test.assertEqual(rows[SHEET_CANCEL][1], "Abbrechen")
            return
        order, names = PAGES[stop]
        rows = heard(w, "page") if ASK else {}
        for control, name in (names.items() if ASK else ()):
            test.assertEqual(rows.get(control, (None, None))[1], name, f"name of {control}")
        for link in LINKS.get(stop, ()) if ASK else ():
            role, _, state, action, _ = rows[link]
            test.assertEqual((role, state & (LINKED | FOCUSABLE), action), (LINK, LINKED | FOCUSABLE, "Öffnen"))
        sheet = [b for b, (_, on) in zip((SHEET_BACK, SHEET_NEXT, SHEET_CANCEL), w.buttons()) if on]
        cycle = order + sheet
        forward = [int(v) for v in w("tab-walk", "tab", str(len(cycle) + 1)).split()]
        test.assertTrue(rotation_of(forward, cycle), f"Tab went {forward}, not around {cycle}")
        backward = [int(v) for v in w("tab-walk", "shift-tab", "3").split()]
        test.assertTrue(rotation_of(backward, cycle[::-1]), f"Shift+Tab went {backward}")
        keys(test, w, stop)

def keys(test, w, stop):
    """What the keys do on the pages where they do something of their own."""
    if stop == "destination":
        w.run("type", "escape")
        caption, text, kind = w.msgbox()
        test.assertEqual((text, kind), (ASK_QUIT, "yesno"))
        w.answer("no")
        w.wait_page(0)
    if stop == "offer-toolbar":
        focus(test, w, R.IDC_TOOLBAR_ACCEPT)
        w.run("type", "down")  # the arrow moves to the other choice and chooses it
        test.assertEqual((w.state(R.IDC_TOOLBAR_ACCEPT)[0], w.state(R.IDC_TOOLBAR_DECLINE)[0]), (0, 1))
        w.run("type", "up")
        test.assertEqual((w.state(R.IDC_TOOLBAR_ACCEPT)[0], w.state(R.IDC_TOOLBAR_DECLINE)[0]), (1, 0))
        opened = len(w.opened_urls())
        for key, link in (("enter", R.IDC_TERMS_LINK), ("space", R.IDC_PRIVACY_LINK)):
            focus(test, w, link)
            if key == "enter":
                w.screenshot("link-focused")
            w.run("type", key)
            end = time.time() + 60
            while len(w.opened_urls()) == opened and time.time() < end:
                time.sleep(0.3)
            test.assertEqual(len(w.opened_urls()), opened + 1, f"{key} on link {link} opened nothing")
            opened += 1
        test.assertIn("page=terms.html", w.opened_urls()[-2])
        test.assertIn("quick=privacy", w.opened_urls()[-1])

def focus(test, w, control):
    """Tabs until `control` has the focus."""
    for _ in range(12):
        if w("focus").split()[0] == str(control):
            return
        w.run("tab-walk", "tab", "1")
    test.fail(f"Tab never reached {control}")

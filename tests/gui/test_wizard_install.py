"""Installations through the wizard, page by page, and what they leave on the machine."""
import getpass
import os
import shutil
import sys
import unittest

from wizard import CANCEL, FINISH, FORMATS, NEXT, NOTES, READY, RECORDER, SOURCE, R, Wizard, german_machine

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import PAYLOAD_FILES, payload_bytes  # noqa: E402
from shell_checks import check_links  # noqa: E402

ASK_ASSOCIATE = ("Sie möchten die aktuellen Verknüpfungen ändern und einen oder mehrere Dateitypen mit "
                 "Pixmora verknüpfen!\n\nSind Sie sicher!?")
FAQ = "http://www.pixmora.de/faq.htm"
IMAGE_ROWS = "1" * 52 + "0" * 15
HKLM_CLASSES = "HKLM\\SOFTWARE\\Classes\\"
FILEEXTS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\"


def release_notes():
    with open(os.path.join(SOURCE, "res", "release_notes.txt"), "rb") as f:
        return f.read().decode("cp1252").replace("\r\n", "\n")


class WizardInstall(unittest.TestCase):
    def assertInstalled(self, w, folder):
        for rel in PAYLOAD_FILES:
            with self.subTest(file=rel):
                with open(os.path.join(w.m.unix(folder), rel), "rb") as f:
                    self.assertEqual(f.read(), payload_bytes(rel))
        with open(os.path.join(w.m.unix(folder), "pxm32.ini"), "rb") as f:
            self.assertEqual(f.read().replace(b"\r", b""), b"[Language]\nDLL=DEUTSCH.DLL\nLang=Deutsch\n")

    def test_full_installation_on_xp(self):
        m = german_machine(self, "winxp")
        # A program where an unquoted start of "C:\Program Files\Pixmora\pxm32.exe" would land.
        shutil.copy(RECORDER, m.unix("C:\\Program.exe"))
        trace = os.path.join(m.root, "trace.txt")
        w = Wizard(self, m, trace=trace)

        # Page 0: the default folder, the three boxes, the current user.
        self.assertEqual(w.text(R.IDC_WELCOME), "Willkommen zur Pixmora Installation!")
        self.assertEqual(w.text(R.IDC_FOLDER), "C:\\Program Files\\Pixmora")
        for box in (R.IDC_DESKTOP, R.IDC_THUMBS, R.IDC_START_MENU, R.IDC_CURRENT_USER):
            self.assertEqual(w.state(box), (True, True, True), box)
        self.assertEqual(w.state(R.IDC_ALL_USERS), (False, True, True))
        self.assertEqual(w.buttons(), [("< &Zurück", False), ("&Weiter >", True), ("&Beenden", True)])
        w.screenshot("1-destination")
        # Blanks typed after the folder: the installation and the finish action trim them.
        w.set_text(R.IDC_FOLDER, "C:\\Program Files\\Pixmora  ")

        w.press(NEXT, NOTES)
        self.assertEqual(w.text(R.IDC_NOTES_TEXT), release_notes())
        self.assertEqual(w.buttons()[0], ("< &Zurück", True))
        w.screenshot("2-release-notes")

        w.press(NEXT, FORMATS)
        rows = w.list_rows()
        self.assertEqual(len(rows), 67)
        self.assertEqual(rows[23], ("JPG/JPEG/JPE", "JPEG Format"))
        self.assertEqual(w.ticks(), "0" * 67)
        width, col0, col1 = w.list_columns()
        self.assertEqual((col0, col1), (width // 3, 2 * width // 3 - 25))
        self.assertEqual(w.state(R.IDC_ASSOC_ALL_USERS), (False, True, True))
        w.click(R.IDC_IMAGES_ONLY)  # "Nur Bilder"
        w.click(R.IDC_ASSOC_ALL_USERS)  # "Für alle User"
        self.assertEqual(w.ticks(), IMAGE_ROWS)
        w.screenshot("3-file-types")

        w.press(NEXT, READY)
        self.assertEqual(w.text(R.IDC_READY_TITLE), "Bereit zum Installieren!")
        self.assertEqual(w.text(R.IDC_READY_FOLDER), "Zielverzeichnis: C:\\Program Files\\Pixmora")
        w.screenshot("4-ready")

        w.press(NEXT)
        w.expect_msgbox(ASK_ASSOCIATE, "yesno", default="no", answer="yes", shot="4a-ask-associate")
        w.wait_page(FINISH)
        self.assertEqual(w.text(R.IDC_FINISH_TITLE), "Einrichtung abgeschlossen!")
        for note in (R.IDC_TOOLBAR_NOTE, R.IDC_TOOLBAR_PICTURE, R.IDC_DESKTOP_NOTE, R.IDC_DESKTOP_PICTURE):
            self.assertFalse(w.state(note)[2], f"partner note {note} is shown")
        self.assertEqual(w.state(R.IDC_SHOW_FAQ), (True, False, True))  # FAQ: ticked and fixed
        self.assertEqual(w.state(R.IDC_START_VIEWER), (True, True, True))   # start the viewer
        self.assertEqual(w.buttons(), [("< &Zurück", False), ("&Weiter >", False), ("&Fertig stellen", True)])
        w.screenshot("5-finish")

        w.press(CANCEL)
        self.assertTrue(w.closed())
        self.assertEqual(w.exit_code(), 0)
        self.assertEqual((w.viewer_program() or "no viewer started").lower(), "c:\\program files\\pixmora\\pxm32.exe")
        self.assertFalse(os.path.exists(w.m.unix("C:\\Program.exe.log")), "C:\\Program.exe was started")
        self.assertEqual(w.opened_urls(), [FAQ])
        # Wine runs every program elevated over a limited token, as Windows does for an
        # administrator, but has no desktop shell to ask: the setup starts them itself.
        with open(trace, encoding="latin-1") as f:
            said = f.read()
        for what in ("the viewer", "the FAQ page"):
            self.assertIn(f"Pixmora: {what} started by the setup", said)

        folder = "C:\\Program Files\\Pixmora"
        self.assertInstalled(w, folder)
        user = w.m.unix("C:\\users\\" + getpass.getuser())
        check_links(self, os.path.join(user, "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pixmora"),
                    os.path.join(user, "Desktop"), folder)
        r = w.m.registry()
        self.assertEqual(r.value(FILEEXTS + ".jpeg", "ProgID"), "Pixmora.jpg")
        self.assertEqual(r.value(HKLM_CLASSES + ".jpeg"), "Pixmora.jpg")  # "Für alle User"
        self.assertIsNone(r.key(FILEEXTS + ".ttf"))                      # not an image row
        self.assertIsNone(r.key(HKLM_CLASSES + "Pixmora.ttf"))

    def test_no_to_the_association_question_on_xp(self):
        w = Wizard(self, german_machine(self, "winxp"))
        w.set_text(R.IDC_FOLDER, "C:\\Px")
        w.to_ready_page(formats=R.IDC_SELECT_ALL)  # "Alle markieren"
        w.press(NEXT)
        w.expect_msgbox(ASK_ASSOCIATE, "yesno", default="no", answer="no")
        w.wait_page(FINISH)
        w.close_box()  # ends without a question and without the finish action
        self.assertTrue(w.closed())
        self.assertEqual(w.exit_code(), 0)
        self.assertIsNone(w.viewer_program(seconds=2))
        self.assertEqual(w.opened_urls(), [])

        self.assertInstalled(w, "C:\\Px")
        r = w.m.registry()
        for ext, cls in ((".jpg", "Pixmora.jpg"), (".mp3", "Pixmora.mp3")):
            self.assertIsNone(r.key(FILEEXTS + ext + "\\OpenWithProgids"), ext)
            self.assertNotEqual(r.value(FILEEXTS + ext, "ProgID"), cls)
            self.assertIsNone(r.key(HKLM_CLASSES + cls))
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora\\shell\\open\\command"), '"C:\\Px\\pxm32.exe" "%1"')

    def test_no_to_the_association_question_on_windows_7(self):
        w = Wizard(self, german_machine(self, "win7"))
        w.set_text(R.IDC_FOLDER, "C:\\Px")
        w.to_ready_page(formats=R.IDC_IMAGES_ONLY)
        w.press(NEXT)
        w.expect_msgbox(ASK_ASSOCIATE, "yesno", default="no", answer="no")
        w.wait_page(FINISH)
        w.close_box()
        self.assertEqual(w.exit_code(), 0)

        r = w.m.registry()
        # The classes are registered, but no extension is taken over.
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora.jpg"), "Pixmora JPG File")
        self.assertNotEqual(r.value(HKLM_CLASSES + ".jpg"), "Pixmora.jpg")
        self.assertIsNone(r.key(FILEEXTS + ".jpg\\UserChoice"))


if __name__ == "__main__":
    unittest.main()

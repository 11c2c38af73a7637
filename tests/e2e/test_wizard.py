"""The wizard, driven page by page on a virtual screen. Screenshots land in build/screenshots."""
import os
import unittest

from harness import Machine, Wizard, PAYLOAD, PAYLOAD_FILES

BACK, NEXT, CANCEL = 0x3023, 0x3024, 2
ASK_QUIT = "Installation beenden?"
INVALID = "Ungültiges Zielverzeichnis!"
RUNNING = "Warnung: Pixmora läuft!\nBeenden Sie bitte Pixmora bevor Sie mit der Installation fortsetzen!"
CANNOT_CREATE = "Kann Zielverzeichnis nicht erstellen!"
ASK_ASSOC = "Sie möchten die aktuellen Verknüpfungen ändern"


class WizardInstall(unittest.TestCase):
    def setUp(self):
        self.m = Machine(display=True)
        self.addCleanup(self.m.close)

    def test_install_from_start_to_finish(self):
        w = Wizard(self.m)
        self.assertEqual(w.page(), 0)
        self.assertEqual(w("text", str(BACK)), "< &Zurück")
        self.assertEqual(w("text", str(NEXT)), "&Weiter >")
        self.assertEqual(w("text", str(CANCEL)), "&Beenden")
        self.assertEqual(w.state(BACK)[1], 0)
        for box in (1011, 1021, 1012, 1016):
            self.assertEqual(w.state(box)[0], 1, box)
        self.assertEqual(w("text", "1000"), self.m.program_files_live() + "\\Pixmora")
        w.screenshot("1-destination")
        w.run("click", "1019")  # Keine: boxes cleared, user choice disabled
        w.run("click", "1012")  # one box again: enabled again
        self.assertEqual(w.state(1011)[0], 0)
        self.assertEqual(w.state(1016)[1], 1)
        w.run("set-text", "1000", "C:\\Bild Programme   ")

        w.press("next", 1)
        self.assertIn("Pixmora 4.00 - Was ist neu?", w("text", "1000"))
        w.screenshot("2-release-notes")
        w.press("back", 0)  # the entries survive going back
        self.assertEqual(w.state(BACK)[1], 0)
        self.assertEqual(w("text", "1000"), "C:\\Bild Programme   ")
        w.press("next", 1)

        w.press("next", 2)
        self.assertEqual(w.list(), "0" * 67)
        self.assertEqual(w("list-columns").split(), ["428", "142", "260"])  # W/3 and 2W/3 - 25
        w.run("click", "1080")
        self.assertEqual(w.list(), "1" * 67)
        w.run("click", "1091")
        self.assertEqual(w.list(), "1" * 52 + "0" * 15)
        w.screenshot("3-file-types")
        w.run("click", "1081")
        w.run("list-set", "23", "1")  # JPG/JPEG/JPE only

        w.press("next", 3)
        self.assertEqual(w("text", "1010"), "Zielverzeichnis: C:\\Bild Programme")
        w.screenshot("4-ready")
        w.press("next")
        caption, text, buttons = w.msgbox()
        self.assertEqual((caption, buttons), ("Pixmora Installation", "yesno"))
        self.assertTrue(text.startswith(ASK_ASSOC))
        w.answer("yes")
        w.wait_page(4)
        self.assertEqual(w("text", str(CANCEL)), "&Fertig stellen")
        self.assertEqual(w.state(BACK)[1], 0)
        self.assertEqual(w.state(NEXT)[1], 0)
        self.assertEqual(w.state(1022)[:2], (1, 0))
        self.assertEqual(w.state(1020)[0], 1)
        self.assertEqual(w.state(1028)[2], 0)  # no partner notes without an offer
        self.assertEqual(w.state(1029)[2], 0)
        w.screenshot("5-finish")

        w.press("cancel")  # "Fertig stellen" with "Pixmora starten" ticked
        self.assertEqual(w.exit_code(), 0)
        self.assertTrue(self.m.wait_window("Pixmora", 20000), "the viewer was not started")
        root = self.m.unix("C:\\Bild Programme")
        self.assertEqual(sorted(f for f in PAYLOAD_FILES if os.path.isfile(os.path.join(root, f))), sorted(PAYLOAD_FILES))
        r = self.m.registry()
        self.assertEqual(r.value("HKLM\\SOFTWARE\\Classes\\.jpeg"), "Pixmora.jpg")
        self.assertNotEqual(r.value("HKLM\\SOFTWARE\\Classes\\.png"), "Pixmora.png")
        desktop = self.m.unix("C:\\users\\root\\Desktop")
        self.assertEqual(os.listdir(desktop), [])  # the desktop boxes were cleared

    def test_quit_question_and_leaving_early(self):
        w = Wizard(self.m)
        w.press("cancel")
        self.assertEqual(w.msgbox()[1:], (ASK_QUIT, "yesno"))
        w.answer("no")
        self.assertEqual(w.page(), 0)
        w.press("next", 1)
        w.press("next", 2)
        w.press("next", 3)
        w.run("sysclose")  # the close box on the ready page asks too
        self.assertEqual(w.msgbox()[1], ASK_QUIT)
        w.answer("yes")
        self.assertEqual(w.exit_code(), 1)
        self.assertEqual(w.run("msgbox")[0], 1)  # asked once only
        self.assertFalse(os.path.exists(self.m.unix(self.m.program_files_live() + "\\Pixmora")))

    def test_rejected_folders_and_failed_installation(self):
        w = Wizard(self.m)
        for folder in ("", "Programme", "\\\\server\\share\\x"):
            w.run("set-text", "1000", folder)
            w.press("next")
            self.assertEqual(w.msgbox()[1:], (INVALID, "ok"), folder)
            w.answer("ok")
            self.assertEqual(w.page(), 0)
        w.run("set-text", "1000", "Q:\\Nowhere")
        w.press("next", 1)
        w.press("next", 2)
        w.press("next", 3)
        w.press("next")
        self.assertTrue(w.msgbox()[1].startswith(CANNOT_CREATE))
        w.answer("ok")
        w.wait_page(0)  # back to the start, entries intact
        self.assertEqual(w("text", "1000"), "Q:\\Nowhere")
        w.run("set-text", "1000", "C:\\Px")
        for page in (1, 2, 3):
            w.press("next", page)
        w.press("next", 4)  # no format ticked: no question
        w.run("click", "1020")  # do not start the viewer
        w.press("cancel")
        self.assertEqual(w.exit_code(), 0)
        self.assertTrue(os.path.isfile(self.m.unix("C:\\Px\\pxm32.exe")))
        self.assertFalse(self.m.wait_window("Pixmora", 1000))


class ViewerRunning(unittest.TestCase):
    def test_warned_on_the_first_page_and_kept_from_installing(self):
        m = Machine(display=True)
        self.addCleanup(m.close)
        viewer = m.start(os.path.join(PAYLOAD, "pxm32.exe"), "/quit-after", "15000")
        self.assertTrue(m.wait_window("Pixmora"))
        w = Wizard(m)
        self.assertEqual(w.msgbox()[1:], (RUNNING, "ok"))
        w.answer("ok")
        w.run("set-text", "1000", "C:\\Px")
        for page in (1, 2, 3):
            w.press("next", page)
        w.press("next")
        self.assertEqual(w.msgbox()[1], RUNNING)
        w.answer("ok")
        self.assertEqual(w.page(), 3)
        self.assertFalse(os.path.exists(m.unix("C:\\Px")))
        viewer.wait(timeout=60)  # the viewer closes itself
        w.press("next", 4)
        self.assertTrue(os.path.isfile(m.unix("C:\\Px\\pxm32.exe")))


if __name__ == "__main__":
    unittest.main()

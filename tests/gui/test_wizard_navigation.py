"""Moving through the wizard without installing: the quit question, the folder checks, the
shortcut boxes, the folder picker and going back and forth."""
import os
import unittest

from wizard import BACK, CANCEL, DESTINATION, FORMATS, NEXT, NOTES, READY, R, Wizard, german_machine
from harness import EMULATED  # noqa: E402 (found through wizard's path)

ASK_QUIT = "Installation beenden?"
INVALID_FOLDER = "Ungültiges Zielverzeichnis!"


class Navigation(unittest.TestCase):
    def test_quit_question_keeps_the_page_and_quitting_installs_nothing(self):
        w = Wizard(self, german_machine(self))
        w.set_text(R.IDC_FOLDER, "C:\\Px")
        for leave in (lambda: w.press(CANCEL), lambda: w.key("escape"), w.close_box):
            leave()
            w.expect_msgbox(ASK_QUIT, "yesno", default="no", answer="no")
            w.wait_page(DESTINATION)
            self.assertEqual(w.text(R.IDC_FOLDER), "C:\\Px")

        w.to_ready_page()
        w.close_box()  # asks on the ready page too
        w.expect_msgbox(ASK_QUIT, "yesno", default="no", answer="no")
        w.wait_page(READY)
        w.close_box()
        w.expect_msgbox(ASK_QUIT, "yesno", default="no", answer="yes", shot="ask-quit")
        self.assertTrue(w.closed())
        self.assertTrue(w.no_msgbox(), "asked a second time")
        self.assertEqual(w.exit_code(), 1)
        self.assertFalse(os.path.exists(w.m.unix("C:\\Px")))
        self.assertEqual(w.opened_urls(), [])
        self.assertIsNone(w.m.registry().key("HKLM\\SOFTWARE\\Classes\\Pixmora"))

    def test_folder_checks_shortcut_boxes_and_folder_picker(self):
        w = Wizard(self, german_machine(self))
        for folder in ("", "Programme", "C:Pixmora", "C:", "\\\\server\\share\\x", "  C:\\Px"):
            with self.subTest(folder=folder):
                w.set_text(R.IDC_FOLDER, folder)
                w.press(NEXT)
                w.expect_msgbox(INVALID_FOLDER, "ok")
                w.wait_page(DESTINATION)
                self.assertEqual(w.text(R.IDC_FOLDER), folder)

        # The two user choices follow the three boxes; "Keine" clears all three.
        users = (R.IDC_CURRENT_USER, R.IDC_ALL_USERS)
        for box in (R.IDC_DESKTOP, R.IDC_THUMBS, R.IDC_START_MENU):
            self.assertEqual([w.state(u)[1] for u in users], [True, True], box)
            w.click(box)
        self.assertEqual([w.state(u)[1] for u in users], [False, False])
        w.click(R.IDC_THUMBS)
        self.assertEqual([w.state(u)[1] for u in users], [True, True])
        self.assertTrue(w.state(R.IDC_CURRENT_USER)[0], "the radio choice itself stays")
        w.click(R.IDC_NO_SHORTCUTS)
        self.assertEqual([w.state(c)[0] for c in (R.IDC_DESKTOP, R.IDC_THUMBS, R.IDC_START_MENU)], [False, False, False])
        self.assertEqual([w.state(u)[1] for u in users], [False, False])
        w.screenshot("no-shortcuts")

        # The picker starts at the entered folder and returns it with a backslash; Cancel keeps the field.
        # Under emulation the shell lists no drives (test machines there go without the mount
        # manager, whose driver host dies at its start), so no folder on a drive can be picked: Cancel only.
        if not EMULATED:
            w.set_text(R.IDC_FOLDER, "C:\\WINDOWS\\SYSTEM32")
            w.click(R.IDC_BROWSE)
            w.picker("ok")
            self.assertEqual(w.text(R.IDC_FOLDER), "C:\\windows\\system32\\")
            w.set_text(R.IDC_FOLDER, "C:\\")
            w.click(R.IDC_BROWSE)
            w.picker("ok")
            self.assertEqual(w.text(R.IDC_FOLDER), "C:\\")
        w.click(R.IDC_BROWSE)
        w.set_text(R.IDC_FOLDER, "C:\\Typed")  # typed behind the open picker: Cancel must not replace it
        w.picker("cancel")
        self.assertEqual(w.text(R.IDC_FOLDER), "C:\\Typed")

        w.set_text(R.IDC_FOLDER, "D:\\")  # a drive root is a folder
        w.press(NEXT, NOTES)
        w.press(CANCEL)
        w.expect_msgbox(ASK_QUIT, "yesno", answer="yes")
        self.assertEqual(w.exit_code(), 1)

    def test_going_back_keeps_every_entry(self):
        w = Wizard(self, german_machine(self))
        w.click(R.IDC_THUMBS)  # no thumbnails link
        w.click(R.IDC_ALL_USERS)  # for all users
        w.set_text(R.IDC_FOLDER, "C:\\Px")
        w.press(NEXT, NOTES)
        w.press(BACK, DESTINATION)
        self.assertEqual(w.buttons()[0], ("< &Zurück", False))
        self.assertEqual(w.text(R.IDC_FOLDER), "C:\\Px")
        self.assertEqual([w.state(c)[0] for c in (R.IDC_DESKTOP, R.IDC_THUMBS, R.IDC_START_MENU, R.IDC_CURRENT_USER, R.IDC_ALL_USERS)], [True, False, True, False, True])

        w.press(NEXT, NOTES)
        w.press(NEXT, FORMATS)
        w.tick(23)
        w.tick(60)
        w.press(BACK, NOTES)
        w.press(NEXT, FORMATS)
        ticks = "0" * 23 + "1" + "0" * 36 + "1" + "0" * 6
        self.assertEqual(w.ticks(), ticks)
        rows = w.list_rows()
        self.assertEqual(len(rows), 67)
        self.assertEqual(len(set(rows)), 67)

        w.press(NEXT, READY)
        w.press(BACK, FORMATS)
        self.assertEqual(w.ticks(), ticks)
        w.press(NEXT, READY)
        self.assertEqual(w.text(R.IDC_READY_FOLDER), "Zielverzeichnis: C:\\Px")


if __name__ == "__main__":
    unittest.main()

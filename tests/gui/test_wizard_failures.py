"""The wizard when the installation cannot go on: a folder that cannot be created, a running viewer."""
import glob
import os
import sys
import unittest

from wizard import BACK, CANCEL, DESTINATION, FINISH, NEXT, NOTES, READY, R, Wizard, german_machine, start_viewer

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import PAYLOAD_FILES  # noqa: E402

CANNOT_CREATE = ("Kann Zielverzeichnis nicht erstellen!\n\nBitte überprüfen Sie Ihre Schreibrechte und "
                 "System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")
VIEWER_RUNNING = "Warnung: Pixmora läuft!\nBeenden Sie bitte Pixmora bevor Sie mit der Installation fortsetzen!"
FAQ = "http://www.pixmora.de/faq.htm"
INSTALLED_BUT = ("Pixmora wurde installiert, aber folgende Einträge konnten nicht geschrieben werden!\n\n"
                 "Bitte überprüfen Sie Ihre Schreibrechte und System-Policies!\n\n")


class Failures(unittest.TestCase):
    def assertFilesIn(self, w, folder):
        missing = [rel for rel in PAYLOAD_FILES if not os.path.isfile(os.path.join(w.m.unix(folder), rel))]
        self.assertEqual(missing, [])

    def test_uncreatable_folder_returns_to_the_first_page_and_the_next_attempt_installs(self):
        w = Wizard(self, german_machine(self, "winxp"))
        w.click(R.IDC_ALL_USERS)  # for all users, kept while "Keine" disables the choice
        w.click(R.IDC_NO_SHORTCUTS)
        w.click(R.IDC_START_MENU)  # the program group only
        w.set_text(R.IDC_FOLDER, "Q:\\Nowhere\\Pixmora")  # a drive that does not exist
        w.to_ready_page()
        w.press(NEXT)
        w.expect_msgbox(CANNOT_CREATE, "ok", shot="cannot-create")
        w.wait_page(DESTINATION)
        self.assertEqual(w.text(R.IDC_FOLDER), "Q:\\Nowhere\\Pixmora")
        self.assertEqual([w.state(c)[0] for c in (R.IDC_DESKTOP, R.IDC_THUMBS, R.IDC_START_MENU, R.IDC_CURRENT_USER, R.IDC_ALL_USERS)], [0, 0, 1, 0, 1])

        w.set_text(R.IDC_FOLDER, "C:\\Bild Programme")
        w.to_ready_page()
        self.assertEqual(w.text(R.IDC_READY_FOLDER), "Zielverzeichnis: C:\\Bild Programme")
        w.press(NEXT, FINISH)  # nothing ticked on page 2: no association question
        w.click(R.IDC_START_VIEWER)          # do not start the viewer
        w.press(CANCEL)
        self.assertTrue(w.closed())
        self.assertEqual(w.exit_code(), 0)
        self.assertFilesIn(w, "C:\\Bild Programme")
        self.assertIsNone(w.viewer_program(seconds=2))
        self.assertEqual(w.opened_urls(), [FAQ])  # the FAQ page opens on every finish
        group = w.m.unix("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Pixmora")
        self.assertTrue(os.path.isfile(os.path.join(group, "Pixmora 4.00.lnk")))
        self.assertEqual(glob.glob(w.m.unix("C:\\users") + "/*/Desktop/*.lnk"), [])  # no desktop links

    def test_rows_that_cannot_be_written_are_listed_before_the_finish_page(self):
        w = Wizard(self, german_machine(self))
        os.makedirs(w.m.unix("C:\\Px\\pxm32.ini"))  # the settings file cannot be written
        w.set_text(R.IDC_FOLDER, "C:\\Px")
        w.to_ready_page()
        w.press(NEXT)
        w.expect_msgbox(INSTALLED_BUT + "C:\\Px\\pxm32.ini", "ok", shot="installed-with-errors")
        w.wait_page(FINISH)
        w.click(R.IDC_START_VIEWER)  # do not start the viewer
        w.press(CANCEL)
        self.assertEqual(w.exit_code(), 6)
        self.assertFilesIn(w, "C:\\Px")

    def test_running_viewer_is_reported_on_the_first_page_and_blocks_the_installation(self):
        m = german_machine(self)
        # An installed viewer: its folder is proposed, with a trailing backslash.
        m.wine("reg", "add", r"HKLM\SOFTWARE\Classes\Pixmora\shell\open\command", "/ve",
               "/d", '"C:\\Tools\\Pixmora\\pxm32.exe" "%1"', "/f")
        start_viewer(self, m)
        w = Wizard(self, m)
        w.expect_msgbox(VIEWER_RUNNING, "ok", shot="viewer-running")
        w.wait_page(DESTINATION)
        self.assertEqual(w.text(R.IDC_FOLDER), "C:\\Tools\\Pixmora\\")

        w.press(NEXT, NOTES)
        w.press(BACK)
        w.expect_msgbox(VIEWER_RUNNING, "ok")  # again on every showing of the page
        w.wait_page(DESTINATION)

        w.to_ready_page()
        w.press(NEXT)
        w.expect_msgbox(VIEWER_RUNNING, "ok")
        w.wait_page(READY)
        self.assertFalse(os.path.exists(w.m.unix("C:\\Tools\\Pixmora")))

        w.close_viewer()
        w.press(NEXT, FINISH)
        w.press(CANCEL)  # starts the new viewer from the folder that already ends in a backslash
        self.assertEqual(w.exit_code(), 0)
        self.assertFilesIn(w, "C:\\Tools\\Pixmora")
        self.assertEqual((w.viewer_program() or "no viewer started").lower(), "c:\\tools\\pixmora\\pxm32.exe")


if __name__ == "__main__":
    unittest.main()

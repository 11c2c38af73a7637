"""Shell integration of a silent run on the XP family and on older Windows."""
import os
import unittest

from harness import Machine
from shell_checks import check_links

HKLM_CLASSES = "HKLM\\SOFTWARE\\Classes\\"
FILEEXTS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\"
UNINSTALL = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora"


class WindowsXP(unittest.TestCase):
    def setUp(self):
        self.m = Machine("winxp")
        self.addCleanup(self.m.close)

    def test_all_users_links_and_per_user_associations(self):
        code = self.m.setup("/silent /folder=C:\\Px /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=1")
        self.assertEqual(code, 0)
        common = self.m.unix("C:\\users\\Public")
        group = os.path.join(self.m.prefix, "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pixmora")
        check_links(self, group, os.path.join(common, "Desktop"), "C:\\Px")
        self.assertFalse(os.listdir(self.m.unix("C:\\users\\root\\Desktop")))

        r = self.m.registry()
        self.assertEqual(r.value(FILEEXTS + ".jpeg"), "")
        self.assertEqual(r.value(FILEEXTS + ".jpeg", "ProgID"), "Pixmora.jpg")
        self.assertNotEqual(r.value(HKLM_CLASSES + ".jpeg"), "Pixmora.jpg")  # no /assocallusers
        self.assertEqual(r.value(HKLM_CLASSES + ".jpeg\\OpenWithProgids", "Pixmora.jpg"), "")
        self.assertIsNone(r.key(FILEEXTS + ".ttf"))  # not an image row
        self.assertIsNone(r.key(HKLM_CLASSES + "Pixmora.ttf"))
        self.assertIsNone(r.key("HKLM\\SOFTWARE\\Pixmora"))
        self.assertIsNone(r.key(HKLM_CLASSES + "Directory\\shell\\Browse with &Pixmora"))
        self.assertEqual(r.value(UNINSTALL, "UninstallString"), '"C:\\Px\\pmx_uninstall.exe"')

    def test_assoc_all_users_sets_the_machine_default(self):
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px /assoc=2 /assocallusers"), 0)
        r = self.m.registry()
        self.assertEqual(r.value(HKLM_CLASSES + ".mpe"), "Pixmora.mpe")
        self.assertEqual(r.value(FILEEXTS + ".mpeg", "ProgID"), "Pixmora.mpg")


class Windows2000(unittest.TestCase):
    def test_machine_defaults_without_open_with(self):
        m = Machine("win2k")
        self.addCleanup(m.close)
        self.assertEqual(m.setup("/silent /folder=C:\\Px /assoc=2 /thumbs=1"), 0)
        r = m.registry()
        self.assertEqual(r.value(HKLM_CLASSES + ".gsm"), "Pixmora.nlm")
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora.ico\\DefaultIcon"), "%1")
        self.assertIsNone(r.key(HKLM_CLASSES + ".jpg\\OpenWithProgids"))
        self.assertIsNone(r.key(FILEEXTS + ".jpg"))
        self.assertIsNone(r.key(HKLM_CLASSES + "Directory\\shell\\Browse with &Pixmora"))
        self.assertEqual(r.value(UNINSTALL, "DisplayName"), "Pixmora (remove only)")


if __name__ == "__main__":
    unittest.main()

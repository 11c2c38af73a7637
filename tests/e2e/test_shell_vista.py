"""Shell integration of a silent run on the Vista family (Windows 7 and Windows 10 under Wine)."""
import os
import unittest

from harness import Machine
from shell_checks import check_links

FOLDER = "C:\\Bild Programme"
OPEN = '"C:\\Bild Programme\\pxm32.exe" "%1"'
HKLM_CLASSES = "HKLM\\SOFTWARE\\Classes\\"
FILEEXTS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\"


class Windows7(unittest.TestCase):
    version = "win7"

    def setUp(self):
        self.m = Machine(self.version)
        self.addCleanup(self.m.close)

    def test_full_run(self):
        # A class icon left by an earlier installation and links of earlier versions go away.
        self.m.wine("reg", "add", HKLM_CLASSES + "Pixmora\\DefaultIcon", "/ve", "/d", "old,1", "/f")
        self.m.wine("reg", "add", "HKLM\\SOFTWARE\\RegisteredApplications", "/f")
        users = self.m.unix("C:\\users\\root")
        group = os.path.join(users, "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pixmora")
        os.makedirs(group)
        for old in ("Pixmora 3.99.lnk", "Pixmora 3.98.lnk"):
            open(os.path.join(group, old), "wb").close()

        code = self.m.setup(f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=1')
        self.assertEqual(code, 0)
        check_links(self, group, os.path.join(users, "Desktop"), FOLDER)

        r = self.m.registry()
        program = FOLDER + "\\pxm32.exe"
        verb = "Browse with &Pixmora"
        for root in ("Directory", "Drive"):
            self.assertEqual(r.value(HKLM_CLASSES + f"{root}\\shell\\{verb}"), verb)
            self.assertEqual(r.value(HKLM_CLASSES + f"{root}\\shell\\{verb}\\command"), f'"{program}" "%1 /thumbs"')
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora"), "Pixmora")
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora\\shell\\open\\command"), OPEN)
        self.assertIsNone(r.key(HKLM_CLASSES + "Pixmora\\DefaultIcon"))
        self.assertEqual(r.value("HKCR\\Applications\\pxm32.exe\\shell\\open\\command"), OPEN)
        uninstall = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora"
        self.assertEqual(r.value(uninstall, "DisplayName"), "Pixmora (remove only)")
        self.assertEqual(r.value(uninstall, "UninstallString"), f'"{FOLDER}\\pmx_uninstall.exe"')
        self.assertEqual(r.value("HKLM\\SOFTWARE\\Pixmora\\shell\\open\\command"), f'"{program}"')
        caps = "HKLM\\SOFTWARE\\Pixmora\\Capabilities"
        self.assertTrue(r.value(caps, "ApplicationDescription").startswith("Picture viewer, editor"))
        self.assertEqual(r.value("HKLM\\SOFTWARE\\RegisteredApplications", "Pixmora"), "SOFTWARE\\Pixmora\\Capabilities")
        assoc = r.key(caps + "\\FileAssociations")
        self.assertEqual(len(assoc), 71)  # one value per type name: 87 extensions, 71 types
        self.assertEqual(assoc[".jpg"], "Pixmora.jpg")

        # /assoc=1: image extensions are taken over, the others only registered.
        self.assertEqual(r.value(HKLM_CLASSES + ".jpeg"), "Pixmora.jpg")
        self.assertEqual(r.value(FILEEXTS + ".jpeg\\UserChoice", "Progid"), "Pixmora.jpg")
        self.assertEqual(r.value(HKLM_CLASSES + ".jpeg\\OpenWithProgids", "Pixmora.jpg"), "")
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora.jpg\\DefaultIcon"), program + ",0")
        self.assertNotEqual(r.value(HKLM_CLASSES + ".mp3"), "Pixmora.mp3")
        self.assertIsNone(r.key(FILEEXTS + ".mp3\\UserChoice"))
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora.mp3"), "Pixmora MP3 File")

    def test_plain_run_registers_without_taking_over(self):
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px"), 0)
        r = self.m.registry()
        self.assertIsNone(r.key(HKLM_CLASSES + "Directory\\shell\\Browse with &Pixmora"))
        self.assertIsNone(r.key("HKLM\\SOFTWARE\\RegisteredApplications"))  # opened, never created
        self.assertEqual(r.value(HKLM_CLASSES + "Pixmora.jpg"), "Pixmora JPG File")
        self.assertNotEqual(r.value(HKLM_CLASSES + ".jpg"), "Pixmora.jpg")
        self.assertIsNone(r.key(FILEEXTS + ".jpg\\UserChoice"))
        desktop = self.m.unix("C:\\users\\root\\Desktop")
        self.assertEqual(os.listdir(desktop), [])


class Windows10(unittest.TestCase):
    def test_no_user_choice_from_windows_8_on(self):
        m = Machine("win10")
        self.addCleanup(m.close)
        self.assertEqual(m.setup("/silent /folder=C:\\Px /assoc=2"), 0)
        r = m.registry()
        self.assertEqual(r.value(HKLM_CLASSES + ".jpg"), "Pixmora.jpg")
        self.assertEqual(r.value("HKLM\\SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", ".mp3"), "Pixmora.mp3")
        self.assertEqual([k for k in r.hkcu if k.endswith("\\userchoice") and "pixmora" in str(r.hkcu[k]).lower()], [])


if __name__ == "__main__":
    unittest.main()

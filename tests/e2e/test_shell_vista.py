"""Shell integration of a silent run on Windows Vista (version 6.0)."""
import os
import unittest

from harness import Machine
from shell_checks import (CLASSES, FILEEXTS, VISTA, assoc_flags, check_links, check_registry,
                          expected_rows, user_folders, value_names)

FOLDER = "C:\\Bild Programme"


class WindowsVista(unittest.TestCase):
    def setUp(self):
        self.m = Machine("vista")
        self.addCleanup(self.m.close)

    def test_full_run_over_an_earlier_installation(self):
        # What an earlier version and another program left: a class icon, version-named links,
        # the user's choice for jpg; and a system that has the application list.
        self.m.wine("reg", "add", "HKLM\\" + CLASSES + "Pixmora\\DefaultIcon", "/ve", "/d", "old,1", "/f")
        self.m.wine("reg", "add", "HKLM\\SOFTWARE\\RegisteredApplications", "/f")
        choice = "HKCU\\" + FILEEXTS + "jpg\\UserChoice"
        self.m.wine("reg", "add", choice, "/v", "Progid", "/d", "Other.jpg", "/f")
        self.m.wine("reg", "add", choice, "/v", "Hash", "/d", "abc", "/f")
        (group, desktop), (common_group, _) = user_folders(self.m)
        os.makedirs(group)
        for old in ("Pixmora 3.99.lnk", "Pixmora 3.98.lnk"):
            open(os.path.join(group, old), "wb").close()
        before = self.m.registry()

        code = self.m.setup(f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=2 /assocallusers')
        self.assertEqual(code, 0)
        # The user choice is made anew (its old hash goes), the old class icon key is removed.
        check_registry(self, before, self.m.registry(),
                       expected_rows(VISTA, FOLDER, assoc_flags(2), thumbs=True, registered_apps=True),
                       removed=[("hklm", CLASSES + "pixmora\\defaulticon", ""),
                                ("hkcu", FILEEXTS + "jpg\\userchoice", "hash")])
        self.assertEqual(value_names(self.m.prefix, "user.reg", "Progid"), 87)
        check_links(self, group, desktop, FOLDER)
        self.assertFalse(os.path.exists(common_group))

    def test_no_group_selected_registers_without_taking_over(self):
        before = self.m.registry()
        self.assertEqual(self.m.setup("/silent /folder=C:\\Px"), 0)
        after = self.m.registry()
        # Classes, open-with lists and capabilities of all 87 extensions; no class default, no
        # user choice, no folder verb; the application list is not created.
        check_registry(self, before, after, expected_rows(VISTA, "C:\\Px", assoc_flags(0)))
        self.assertIsNone(after.key("HKLM\\SOFTWARE\\RegisteredApplications"))
        self.assertIsNotNone(after.key("HKLM\\SOFTWARE\\Pixmora\\Capabilities\\FileAssociations"))
        (group, desktop), (common_group, common_desktop) = user_folders(self.m)
        self.assertFalse(os.path.exists(group) or os.path.exists(common_group))
        self.assertEqual(os.listdir(desktop) + os.listdir(common_desktop), [])


if __name__ == "__main__":
    unittest.main()

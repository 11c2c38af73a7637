"""Shell integration of a silent run on Windows older than XP (98 and 2000)."""
import os
import unittest

from harness import Machine
from shell_checks import OLD, assoc_flags, check_links, check_registry, expected_rows, user_folders

FOLDER = "C:\\Bild Programme"


class Windows98(unittest.TestCase):
    def test_user_run(self):
        m = Machine("win98")
        self.addCleanup(m.close)
        before = m.registry()
        code = m.setup(f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=2 /assocallusers')
        self.assertEqual(code, 0)
        # Machine-wide class defaults, no open-with lists, no capabilities, no folder verb.
        check_registry(self, before, m.registry(), expected_rows(OLD, FOLDER, assoc_flags(2), thumbs=True))
        (group, desktop), _ = user_folders(m)
        check_links(self, group, desktop, FOLDER)


class Windows2000(unittest.TestCase):
    def test_all_users_group_without_desktop_links(self):
        m = Machine("win2k")
        self.addCleanup(m.close)
        before = m.registry()
        self.assertEqual(m.setup("/silent /folder=C:\\Px /group=1 /allusers=1 /assoc=1"), 0)
        check_registry(self, before, m.registry(), expected_rows(OLD, "C:\\Px", assoc_flags(1)))
        (group, desktop), (common_group, common_desktop) = user_folders(m)
        check_links(self, common_group, None, "C:\\Px", desktop=False)
        self.assertFalse(os.path.exists(group))
        self.assertEqual(os.listdir(desktop) + os.listdir(common_desktop), [])


if __name__ == "__main__":
    unittest.main()

"""Shell integration of a silent run on the XP family."""
import os
import unittest

from harness import Machine
from shell_checks import (XP, assoc_flags, check_links, check_registry, expected_rows, user_folders,
                          value_names)

FOLDER = "C:\\Bild Programme"


class WindowsXP(unittest.TestCase):
    def setUp(self):
        self.m = Machine("winxp")
        self.addCleanup(self.m.close)

    def test_user_links_and_machine_wide_defaults(self):
        before = self.m.registry()
        code = self.m.setup(f'/silent /folder="{FOLDER}" /group=1 /desktop=1 /thumbs=1 /assoc=2 /assocallusers')
        self.assertEqual(code, 0)
        check_registry(self, before, self.m.registry(),
                       expected_rows(XP, FOLDER, assoc_flags(2), thumbs=True, assoc_all_users=True))
        self.assertEqual(value_names(self.m.prefix, "user.reg", "ProgID"), 87)
        (group, desktop), (common_group, common_desktop) = user_folders(self.m)
        check_links(self, group, desktop, FOLDER)
        self.assertFalse(os.path.exists(common_group))
        self.assertEqual(os.listdir(common_desktop), [])

    def test_all_users_links_per_user_associations_and_a_second_run(self):
        switches = "/group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=1"
        before = self.m.registry()
        self.assertEqual(self.m.setup(f"/silent /folder=C:\\Px {switches}"), 0)
        first = self.m.registry()
        # Without /assocallusers the machine-wide class of an extension stays the system's.
        check_registry(self, before, first, expected_rows(XP, "C:\\Px", assoc_flags(1), thumbs=True))
        (group, desktop), (common_group, common_desktop) = user_folders(self.m)
        check_links(self, common_group, common_desktop, "C:\\Px")
        self.assertFalse(os.path.exists(group))
        self.assertEqual(os.listdir(desktop), [])

        # A second run, into another folder, replaces every link in place.
        self.assertEqual(self.m.setup(f"/silent /folder=C:\\Px2 {switches}"), 0)
        check_links(self, common_group, common_desktop, "C:\\Px2")
        check_registry(self, first, self.m.registry(), expected_rows(XP, "C:\\Px2", assoc_flags(1), thumbs=True))


if __name__ == "__main__":
    unittest.main()

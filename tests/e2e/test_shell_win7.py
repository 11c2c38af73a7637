"""Shell integration of a silent run on Windows 7 (version 6.1): common links, image formats."""
import os
import unittest

from harness import Machine
from shell_checks import VISTA, assoc_flags, check_links, check_registry, expected_rows, user_folders


class Windows7(unittest.TestCase):
    def test_all_users_run(self):
        m = Machine("win7")
        self.addCleanup(m.close)
        before = m.registry()
        self.assertEqual(m.setup("/silent /folder=C:\\Px /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=1"), 0)
        check_registry(self, before, m.registry(), expected_rows(VISTA, "C:\\Px", assoc_flags(1), thumbs=True))
        (group, desktop), (common_group, common_desktop) = user_folders(m)
        check_links(self, common_group, common_desktop, "C:\\Px")
        self.assertFalse(os.path.exists(group))
        self.assertEqual(os.listdir(desktop), [])


if __name__ == "__main__":
    unittest.main()

"""Shell integration of a silent run from Windows 8 on (version 6.2, as every newer Windows
reports itself to the program): everything of the Vista family but the user choice."""
import unittest

from harness import Machine
from shell_checks import FILEEXTS, WIN8, assoc_flags, check_registry, expected_rows


class Windows10(unittest.TestCase):
    def test_user_choice_left_alone(self):
        m = Machine("win10")
        self.addCleanup(m.close)
        m.wine("reg", "add", "HKCU\\" + FILEEXTS + "jpg\\UserChoice", "/v", "Progid", "/d", "Other.jpg", "/f")
        before = m.registry()
        self.assertEqual(m.setup("/silent /folder=C:\\Px /thumbs=1 /assoc=2 /assocallusers"), 0)
        check_registry(self, before, m.registry(), expected_rows(WIN8, "C:\\Px", assoc_flags(2), thumbs=True))


if __name__ == "__main__":
    unittest.main()

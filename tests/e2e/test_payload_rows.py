"""Payload files of every kind through the real build and a silent run: how the build stores each
(packed only where that makes it smaller) and that each comes out byte for byte."""
import os
import random
import re
import subprocess
import unittest

from harness import BUILD, PAYLOAD, PAYLOAD_FILES, SOURCE, Machine
from pe_resources import resources

ROWS_BUILD = os.path.join(BUILD, "payload_rows")
ROWS_PAYLOAD = os.path.join(ROWS_BUILD, "payload")
DICTIONARY = 8 << 20  # the most the setup's unpacking holds of one file

with open(os.path.join(SOURCE, "cmake", "payload_files.cmake")) as _f:
    RESOURCE = {rel: (int(t) if t.isdigit() else t, int(i))
                for i, t, rel in re.findall(r'"(\d+) (\w+) ([^"]+)"', _f.read())}


def words(seed, count):
    """Text of `count` words drawn from a vocabulary of its own: it packs well, but not to nothing."""
    rng = random.Random(seed)
    vocabulary = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 11)))
                  for _ in range(5000)]
    return " ".join(rng.choices(vocabulary, k=count)).encode()


# (what the row shows, file it replaces in the sample payload, its new bytes, stored packed)
ROWS = [
    ("compressible", "Html/thumbnails.html", b"<html><body>\r\n" + words(149, 40000) + b"\r\n</body></html>\r\n", True),
    ("incompressible: stays raw", "Toolbars/Tarnholm_24.png", random.Random(178).randbytes(60000), False),
    ("empty", "pxm_options.txt", b"", False),
    ("the largest: more than one dictionary", "Plugins/Video.dll", words(136, 1_500_000)[:DICTIONARY + 654321], True),
]


def write_if_changed(path, data):
    """Keeps the file (and its date) when it holds these bytes already: the build stays incremental."""
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


class PayloadRows(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        """The sample payload with the rows above in place, built into a setup of its own."""
        replaced = {rel: data for _, rel, data, _ in ROWS}
        for rel in PAYLOAD_FILES:
            if rel not in replaced:
                with open(os.path.join(PAYLOAD, rel), "rb") as f:
                    replaced[rel] = f.read()
        for rel, data in replaced.items():
            write_if_changed(os.path.join(ROWS_PAYLOAD, rel), data)
        cls.files = replaced
        out = os.path.join(ROWS_BUILD, "build")
        for cmd in (["cmake", "--no-warn-unused-cli", "-S", SOURCE, "-B", out, "-DPIXMORA_TESTS=OFF",
                     f"-DCMAKE_TOOLCHAIN_FILE={SOURCE}/cmake/mingw-i686.cmake",
                     f"-DPIXMORA_PAYLOAD_DIR={ROWS_PAYLOAD}", "-DPIXMORA_PAYLOAD_COMPRESSION=lzma"],
                    ["cmake", "--build", out, "--target", "pixmora_setup", "-j", str(os.cpu_count() or 1)]):
            r = subprocess.run(cmd, capture_output=True, text=True)
            if r.returncode:
                raise AssertionError(f"{' '.join(cmd)} failed:\n{r.stdout[-3000:]}\n{r.stderr[-3000:]}")
        cls.exe = os.path.join(out, "pixmora_setup.exe")

    def test_rows_are_stored_as_they_should_and_installed_byte_for_byte(self):
        with open(self.exe, "rb") as f:
            image = f.read()
        found = resources(image)
        for what, rel, data, packed in ROWS:
            with self.subTest(row=what, file=rel):
                offset, size = found[RESOURCE[rel]]
                stored = image[offset:offset + size]
                if packed:
                    self.assertEqual(stored[:4], b"PXLZ")
                    self.assertLess(size, len(data))
                else:
                    self.assertEqual(stored, data)

        m = Machine()
        self.addCleanup(m.close)
        exe = "C:\\rows_setup.exe"
        with open(m.unix(exe), "wb") as f:
            f.write(image)
        self.assertEqual(m.setup("/silent /folder=C:\\Px", exe=exe, timeout=300), 0)
        for rel in PAYLOAD_FILES:
            with self.subTest(file=rel):
                with open(m.unix("C:\\Px\\" + rel.replace("/", "\\")), "rb") as f:
                    self.assertEqual(f.read(), self.files[rel])


if __name__ == "__main__":
    unittest.main()

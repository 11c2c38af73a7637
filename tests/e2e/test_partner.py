"""The partner steps of the installation run end to end: downloads from the mirrors (our HTTP
server as proxy), the size limits, the started installers (a stand-in that records its command
line) and what is left in the temporary folder."""
import os
import shutil
import unittest

from harness import Machine
from network import FAKE_PARTNER, MIRROR_HOSTS, TestServer, import_reg, tool, use_proxy

TOOLBAR = "/google/google_toolbar4_de.exe"
TOOLBAR_9X = "/google/google_toolbar_9x_de.exe"
DESKTOP = "/google/google_ds_de.exe"
RECORD = "C:\\partner_record.txt"


def installer(size):
    """The stand-in installer padded to `size` bytes."""
    with open(FAKE_PARTNER, "rb") as f:
        data = f.read()
    assert len(data) <= size
    return data + bytes(size - len(data))


class PartnerSteps(unittest.TestCase):
    def run_steps(self, version, temp, routes, toolbar, desktop):
        """Runs the installation with the two partner choices on a fresh machine of that Windows
        version, whose temporary folder is `temp`. Returns (printed result, started command
        lines with their end marks, files left in the temporary folder, requests)."""
        m = Machine(version, display=True)
        self.addCleanup(m.close)
        server = TestServer(lifetime=300).start()
        self.addCleanup(server.stop)
        for path, route in routes.items():
            server.route(path, **route)
        use_proxy(m, server.port)
        import_reg(m, '[HKEY_CURRENT_USER\\Environment]\n"TEMP"="%s"\n"TMP"="%s"\n'
                   % (temp.replace("\\", "\\\\"), temp.replace("\\", "\\\\")))
        os.makedirs(m.unix(temp), exist_ok=True)
        # A program where an unquoted temporary path with a blank would lead the system.
        shutil.copy(FAKE_PARTNER, m.unix("C:\\Documents.exe"))
        code, out = tool(m, "install", "C:\\Px", str(toolbar), str(desktop), timeout=240)
        self.assertEqual(code, 0, out)
        record = []
        if os.path.exists(m.unix(RECORD)):
            with open(m.unix(RECORD), encoding="cp1252") as f:
                record = f.read().splitlines()
        return out, record, sorted(os.listdir(m.unix(temp))), [(r[1].split(":")[0], r[2]) for r in server.requests]

    def test_both_accepted_in_a_temporary_folder_with_a_blank(self):
        temp = "C:\\Documents and Settings\\pix\\Temp"
        out, record, left, requests = self.run_steps(
            "winxp", temp, {TOOLBAR: dict(body=installer(811001)), DESKTOP: dict(body=installer(746001))}, 1, 1)
        self.assertEqual(out, "1 0 0")
        # Each installer ran with its switches, was waited for, and was still on disk meanwhile.
        self.assertEqual(record, [
            'start|"%s\\google_toolbar_installer.exe" /q /-b /s:de' % temp, "end|1",
            'start|"%s\\gds_de.exe" -silent -bundle PXMA' % temp, "end|1",
        ])
        self.assertEqual(left, [])
        self.assertEqual([path for _, path in requests], [TOOLBAR, DESKTOP])
        for host, _ in requests:
            self.assertIn(host, MIRROR_HOSTS)


if __name__ == "__main__":
    unittest.main()

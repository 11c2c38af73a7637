"""The setup's download dialog against our HTTP server: results, error texts, the target file,
cancelling, credentials and the progress display."""
import os
import re
import sys
import unittest

from harness import EMULATED, Machine
from network import SCREENSHOTS, Download, TestServer, closed_port, import_reg, tool, use_proxy

URL = "http://mirror2.pixmora.de/google/google_ds_de.exe"
TARGET = "C:\\dl\\gds_de.exe"
BODY = bytes(range(256)) * 40 + b"tail"  # 10244 bytes: ten full blocks and a short one

MSG_CONNECT = "An error occurred connecting to the server, Error:%d"
MSG_HTTP = "Failed to receive a valid HTTP response from the server"
MSG_TRANSFER = "An error occurred while downloading the file, Error:%d"

IDOK, IDCANCEL = 1, 2


class DownloadDialog(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = TestServer(lifetime=500).start()
        cls.m = Machine(display=True)
        use_proxy(cls.m, cls.server.port)
        # No window manager runs on the virtual screen: Wine draws the frames itself.
        import_reg(cls.m, '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n')
        os.makedirs(cls.m.unix("C:\\dl"))

    @classmethod
    def tearDownClass(cls):
        cls.m.close()
        cls.server.stop()

    def setUp(self):
        self.server.routes.clear()
        del self.server.requests[:]
        if os.path.lexists(self.target):
            os.remove(self.target)

    @property
    def target(self):
        return self.m.unix(TARGET)

    def download(self, url=URL, target=TARGET):
        for attempt in range(2):
            code, out = tool(self.m, "download", url, target)
            self.assertEqual(code, 0, out)
            result, _, error = out.partition("|")
            # Under emulation the dialog was once not created at all (-1 from DoModal, nothing
            # asked of the server): the environment's failure, not a result; tried once more.
            if int(result) != -1 or not EMULATED or attempt:
                return int(result), error
            sys.stderr.write("test_download: the dialog could not be created under emulation; once more\n")

    def assertTarget(self, content):
        """content None: no target file."""
        if content is None:
            self.assertFalse(os.path.lexists(self.target), "the target file was left behind")
        else:
            with open(self.target, "rb") as f:
                self.assertEqual(f.read(), content)

    def test_answers_of_the_server(self):
        # (case, url, route or None, result, error text, target afterwards)
        cases = [
            ("200 with length", URL, dict(body=BODY), IDOK, "", BODY),
            ("200 without length", URL, dict(body=BODY, content_length=False), IDOK, "", BODY),
            ("no scheme", "mirror3.pixmora.de/google/google_ds_de.exe", dict(body=BODY), IDOK, "", BODY),
            ("empty body", URL, dict(body=b""), IDOK, "", b""),
            ("404", URL, None, IDCANCEL, MSG_HTTP, None),
            ("503", URL, dict(status=503, body=b"busy"), IDCANCEL, MSG_HTTP, None),
            # The transfer breaks off; the system names the reset as 12030 or 10054 depending on
            # where its reading was when the reset came.
            ("connection dropped", URL, dict(body=BODY * 4, drop_after=len(BODY)), IDCANCEL,
             (MSG_TRANSFER % 12030, MSG_TRANSFER % 10054), None),
        ]
        for name, url, route, result, error, content in cases:
            with self.subTest(case=name):
                self.setUp()
                if route is not None:
                    self.server.route("/google/google_ds_de.exe", **route)
                code, text = self.download(url)
                self.assertEqual(code, result)
                self.assertIn(text, error if isinstance(error, tuple) else (error,))
                self.assertTarget(content)
                host, path = self.server.requests[0][1:3]
                self.assertEqual((host.split(":")[0], path),
                                 (url.split("//")[-1].split("/")[0], "/google/google_ds_de.exe"))

    def test_nothing_to_fetch(self):
        # No worker is started and no file is made when the address is no URL even with
        # "http://" in front, or when the target cannot be created.
        self.server.route("/google/google_ds_de.exe", body=BODY)
        for name, url, target in [("unparsable address", "bad host/google_ds_de.exe", TARGET),
                                  ("target folder missing", URL, "C:\\missing\\gds_de.exe")]:
            with self.subTest(case=name):
                self.assertEqual(self.download(url, target), (IDCANCEL, ""))
                self.assertTarget(None)
                self.assertFalse(os.path.exists(self.m.unix("C:\\missing")))
        self.assertEqual(self.server.requests, [])

    def test_full_disk(self):
        self.server.route("/google/google_ds_de.exe", body=BODY)
        os.symlink("/dev/full", self.target)
        self.assertEqual(self.download(), (IDCANCEL, MSG_TRANSFER % 112))
        # Wine deletes a link's target rather than the link, and refuses to delete a device,
        # so the link itself stays: the deletion after an error is seen in the other cases.
        self.assertTrue(os.path.exists("/dev/full"))

    def test_connection_refused(self):
        use_proxy(self.m, closed_port())
        try:
            self.assertEqual(self.download(), (IDCANCEL, MSG_CONNECT % 12029))
        finally:
            use_proxy(self.m, self.server.port)
        self.assertTarget(None)

    def test_credentials(self):
        # (case, proxy asks, driver command): confirmed credentials send the request again and
        # get the file; a closed credential dialog ends with the empty answer as the download.
        cases = [
            ("server asks, user confirms", False, ("auth", "anna", "geheim"), BODY),
            ("proxy asks, user confirms", True, ("auth", "anna", "geheim"), BODY),
            ("server asks, user closes", False, ("auth-close",), b""),
        ]
        for name, proxy, command, content in cases:
            with self.subTest(case=name):
                self.setUp()
                self.server.route("/google/google_ds_de.exe", body=BODY, auth=("anna", "geheim"), proxy=proxy)
                for attempt in range(2):
                    run = Download(self.m, URL, TARGET)
                    if tool(self.m, *command)[0] == 0:
                        break
                    windows = tool(self.m, "windows")[1]
                    run.abandon()
                    # Under emulation the credential dialog once did not come at all: the
                    # environment's failure, as with the download dialog above; tried once more.
                    self.assertTrue(EMULATED and not attempt, "no credential dialog; open windows:\n" + windows)
                    sys.stderr.write("test_download: no credential dialog under emulation; once more\n" + windows)
                    del self.server.requests[:]
                    if os.path.lexists(self.target):
                        os.remove(self.target)
                self.assertEqual(run.finish(), (IDOK, ""))
                self.assertTarget(content)
                header = "Proxy-Authorization" if proxy else "Authorization"
                sent = [r[3].get(header) for r in self.server.requests]
                self.assertEqual(sent[0], None)
                if content:
                    self.assertEqual(sent[-1], "Basic YW5uYTpnZWhlaW0=")

    def test_cancel_does_not_wait_for_the_server(self):
        # One block every 20 seconds: the cancel lands while the worker waits for the next one.
        # The dialog ends without waiting for it, with IDCANCEL, no error text and the partial
        # file removed: the server's next block would only come after the time allowed here.
        body = bytes(100 * 1024)
        self.server.route("/google/google_ds_de.exe", body=body, chunk=1024, delay=20.0)
        run = Download(self.m, URL, TARGET)
        texts = run.wait_texts(lambda t: t[0] != "File Download")
        self.assertEqual(texts[:2], ["1% von google_ds_de.exe  fertig", "Google Desktop"])
        self.assertEqual(texts[4:], [1, 100, 1])
        os.makedirs(SCREENSHOTS, exist_ok=True)
        self.m.screenshot(os.path.join(SCREENSHOTS, "download_dialog_percent.png"))
        self.assertEqual(tool(self.m, "cancel")[0], 0)
        self.assertEqual(run.finish(timeout=15), (IDCANCEL, ""))
        self.assertTarget(None)

    def test_close_box_cancels(self):
        self.server.route("/google/google_ds_de.exe", body=bytes(100 * 1024), chunk=1024, delay=0.5)
        run = Download(self.m, URL, TARGET)
        run.wait_texts(lambda t: t[0] != "File Download")
        self.assertEqual(tool(self.m, "close")[0], 0)
        self.assertEqual(run.finish(timeout=30), (IDCANCEL, ""))
        self.assertTarget(None)

    def test_progress_of_a_large_file(self):
        # 70 MB announced: the bar's range is 71680 kilobytes (it would wrap in 16 bits), the
        # caption stays until the first whole percent, and time left and rate appear after a second.
        announced = 70 * 1024 * 1024
        self.server.route("/google/google_ds_de.exe", body=bytes(200 * 1024), announce=announced,
                          chunk=4096, delay=0.2)
        run = Download(self.m, URL, TARGET)
        texts = run.wait_texts(lambda t: t[2] and t[3])
        caption, display, left, rate, pos, maximum, cancel = texts
        self.assertEqual((caption, display, maximum, cancel), ("File Download", "Google Desktop", 71680, 1))
        self.assertRegex(left, r"^(\d+ sec|\d+ min|\d+ min \d+ sec) \(\d+\.\d KB von 70\.00 MB kopiert\)$")
        self.assertRegex(rate, r"^(\d+ Bytes/Sec|\d\.\d\d KB/Sec|\d\d+ KB/Sec)$")
        os.makedirs(SCREENSHOTS, exist_ok=True)
        self.m.screenshot(os.path.join(SCREENSHOTS, "download_dialog.png"))
        tool(self.m, "cancel")
        self.assertEqual(run.finish(timeout=30), (IDCANCEL, ""))
        self.assertTarget(None)


if __name__ == "__main__":
    unittest.main()

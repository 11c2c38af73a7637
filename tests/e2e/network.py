"""The test HTTP server as every mirror of a Machine, and the download tool (tests/fixtures/dltool)
that runs the setup's own download dialog and partner steps inside it."""
import atexit
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures"))
import http_server  # noqa: E402
from http_server import closed_port  # noqa: E402,F401
from signing import Signer  # noqa: E402
from harness import BUILD, bound, deadline, run_helper  # noqa: E402


class TestServer(http_server.TestServer):
    """The test server, whose lifetime (a guard against a server outliving its test) is stretched
    like every other bound here: under emulation a suite's server stopped by itself halfway
    through, and every later download failed."""

    def __init__(self, lifetime=300):
        super().__init__(lifetime=bound(lifetime))

DLTOOL = os.path.join(BUILD, "tools", "dltool.exe")
FAKE_PARTNER = os.path.join(BUILD, "tools", "fake_partner.exe")
MIRROR_HOSTS = ("mirror1.pixmora.de", "mirror2.pixmora.de", "mirror3.pixmora.de")
SCREENSHOTS = os.path.join(BUILD, "screenshots")


def import_reg(machine, text):
    """Imports registry text (REGEDIT4 syntax, without the header) in one Wine start."""
    path = os.path.join(machine.root, "import.reg")
    with open(path, "w", encoding="cp1252") as f:
        f.write("REGEDIT4\n\n" + text)
    machine.wine("regedit", "/S", path)


def use_proxy(machine, port):
    """Sends every HTTP request of the machine's WinInet to 127.0.0.1:port."""
    import_reg(machine, "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\n"
                        '"ProxyEnable"=dword:00000001\n"ProxyServer"="127.0.0.1:%d"\n' % port)


# The dltool commands that only look, asked again when one hangs under emulation (run_helper).
LOOKING = {"texts", "windows"}


def tool(machine, *args, timeout=None):
    """Runs one dltool command to its end; (exit code, printed text). "download" and "install" run
    the setup's own steps, never repeated; the commands that drive its dialog are quick helpers."""
    if args[0] in ("download", "install"):
        code, out = machine.output(DLTOOL, *args, timeout=timeout or 60)
        return code, out.decode("cp1252")
    return run_helper(machine, DLTOOL, args, LOOKING, timeout or 20)


PUBLISHER = "Google Inc"  # whose signature the setup expects on both partner installers
_signer = None


def installer(size, signer=PUBLISHER):
    """The stand-in partner installer padded to `size` bytes and signed by `signer` (None:
    unsigned). Signed files come in steps of 8 bytes: a size between two steps gives the next."""
    global _signer
    with open(FAKE_PARTNER, "rb") as f:
        data = f.read()
    if signer is None:
        assert len(data) <= size
        return data + bytes(size - len(data))
    if _signer is None:
        _signer = Signer(os.path.join(BUILD, "tmp", "signing.%d" % os.getpid()))
        atexit.register(shutil.rmtree, _signer.folder, True)
    # The padding goes in before signing, so that the signature covers it; the signature's own
    # length is found by signing once.
    padded, signed = os.path.join(_signer.folder, "padded.exe"), os.path.join(_signer.folder, "signed.exe")
    pad = size - len(data)
    for _ in range(3):
        with open(padded, "wb") as f:
            f.write(data + bytes(max(pad, 0)))
        _signer.sign(padded, signed, signer)
        length = os.path.getsize(signed)
        if 0 <= length - size < 8:
            break
        pad -= length - size - (length - size) % 8
    with open(signed, "rb") as f:
        body = f.read()
    assert 0 <= len(body) - size < 8, (size, len(body))
    return body


def serve_partner_installers(test, machine):
    """Makes our server every mirror of the machine, holding the partner installers (stand-ins
    above the size limits), so that accepted offers are delivered; it stops with the test."""
    server = TestServer(lifetime=400).start()
    test.addCleanup(server.stop)
    for path, size in (("/google/google_toolbar4_de.exe", 811001), ("/google/google_toolbar_9x_de.exe", 559001),
                       ("/google/google_ds_de.exe", 746001)):
        server.route(path, body=installer(size))
    use_proxy(machine, server.port)
    return server


class Download:
    """`dltool download` running in the background while a test drives its dialog."""

    def __init__(self, machine, url, target, *credentials):
        self.machine = machine
        self.out = os.path.join(machine.root, "download.out")
        with open(self.out, "wb") as out:
            self.process = subprocess.Popen(["wine", DLTOOL, "download", url, target, *credentials],
                                            env=machine.env, cwd=machine.cwd, stdout=out,
                                            stderr=subprocess.DEVNULL)
        machine.background.append(self.process)

    def finish(self, timeout=60):
        """(DoModal result, error text) once the dialog has ended."""
        try:
            self.process.wait(timeout=bound(timeout))
        except subprocess.TimeoutExpired:
            _, windows = tool(self.machine, "windows")
            self.machine.kill()
            raise AssertionError("the download dialog did not end; open windows:\n" + windows)
        with open(self.out, "rb") as f:
            result, _, error = f.read().decode("cp1252").partition("|")
        return int(result), error

    def abandon(self):
        """Ends the run and every other process of the machine, without a result."""
        self.machine.kill()
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def texts(self):
        """caption, display text, time left, rate, position, maximum, cancel enabled."""
        code, out = tool(self.machine, "texts")
        if code:
            return None
        parts = out.split("|")
        return parts[:4] + [int(p) for p in parts[4:]]

    def wait_texts(self, condition, timeout=30):
        """The dialog's texts once `condition(texts)` holds."""
        end = deadline(timeout)
        while time.time() < end:
            texts = self.texts()
            if texts and condition(texts):
                return texts
            time.sleep(0.3)
        raise AssertionError("the download dialog never showed what was expected; last: %r" % (self.texts(),))

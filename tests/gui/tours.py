"""Walks through every picture the setup shows a user: the wizard's pages without an offer, each of
the three offer pages, the finish pages after partner installs, the download dialog and the quit and
association questions. At each stop `visit(wizard, name)` is called while that window is open; the
layout test measures there, `make screenshots` takes its pictures there.

Accepted offers are delivered by our HTTP server as the mirrors, with the stand-in partner installer.
"""
import os
import sys
import time

from wizard import CANCEL, FORMATS, NEXT, NOTES, READY, R, Wizard, german_machine
from harness import deadline  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from network import TestServer, installer, use_proxy  # noqa: E402

PARTNER_FILES = (("/google/google_toolbar4_de.exe", 811001), ("/google/google_ds_de.exe", 746001))
OFFER, OFFER_READY, OFFER_FINISH = 3, 4, 5


def serve_partners(test, machine, slow=False):
    """Our server as every mirror, holding both partner installers; `slow` sends them in small
    blocks with pauses, so that the download dialog stays open for several seconds."""
    server = TestServer(lifetime=600).start()
    test.addCleanup(server.stop)
    for path, size in PARTNER_FILES:
        server.route(path, body=installer(size), **(dict(chunk=16384, delay=0.25) if slow else {}))
    use_proxy(machine, server.port)


def without_offer(test, visit, dpi=96, contrast=False):
    """The five pages, the quit question on the first and the association question on the ready
    page; `dpi`: the display's scale."""
    w = Wizard(test, german_machine(test, "winxp", dpi, contrast))
    visit(w, "destination")
    w.press(CANCEL)
    w.msgbox()
    visit(w, "quit")
    w.answer("no")
    w.wait_page(0)
    w.press(NEXT, NOTES)
    visit(w, "notes")
    w.press(NEXT, FORMATS)
    w.click(R.IDC_IMAGES_ONLY)  # "Nur Bilder"
    visit(w, "formats")
    w.press(NEXT, READY)
    visit(w, "ready")
    w.press(NEXT)
    w.msgbox()
    visit(w, "associate")
    w.answer("yes")
    w.wait_page(4)
    visit(w, "finish")
    _leave(test, w)


def with_offer(test, visit, toolbar, desktop, dpi=96, contrast=False):
    """The offer page, the download dialog (of the first partner installer) and the finish page
    after the accepted partner programs were installed."""
    m = german_machine(test, "winxp", dpi, contrast)
    serve_partners(test, m, slow=True)
    w = Wizard(test, m, toolbar=toolbar, desktop=desktop)
    name = "both" if toolbar and desktop else "toolbar" if toolbar else "desktop"
    w.press(NEXT, NOTES)
    w.press(NEXT, FORMATS)
    w.press(NEXT, OFFER)
    visit(w, "offer-" + name)
    w.press(NEXT, OFFER_READY)
    w.press(NEXT)
    _wait_download(test, w)
    visit(w, "download-" + name)
    w.wait_page(OFFER_FINISH, seconds=180)
    visit(w, "finish-" + name)
    _leave(test, w)


def _wait_download(test, w, seconds=60):
    """Waits until the download dialog shows its time left (R.IDC_DL_TIME_LEFT) and rate (R.IDC_DL_RATE)."""
    end = deadline(seconds)
    while time.time() < end:
        code, out = w.run("layout", "download")
        if code == 0 and {str(R.IDC_DL_TIME_LEFT), str(R.IDC_DL_RATE)} <= {line.split("\t")[0] for line in out.splitlines()}:
            return
        time.sleep(0.3)
    test.fail("no download dialog with its time left and rate")


def _leave(test, w):
    w.click(R.IDC_START_VIEWER)  # leave the viewer closed
    w.press(CANCEL)
    test.assertEqual(w.exit_code(), 0)

